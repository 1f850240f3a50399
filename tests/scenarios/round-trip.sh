#!/bin/sh
# round-trip.sh SIM SCENARIO
# Runs SCENARIO with the host recorded, as HidHost.exe --record records it:
# the run's own trace must still be the unrecorded run's (recording changes
# nothing the host does); then the recorded session is replayed and its trace compared
# with the recorded one, so whatever the recorder leaves out of the scenario
# or gets wrong in the trace shows up as a difference. A recording cut short
# inside its last input (a crash, a full disk) replays up to its last whole
# line. A recording into a folder that cannot be written must say so and
# leave the run as it was.
set -u
sim=$1
scenario=$2
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT

"$sim" "$scenario" >"$folder/plain.trace" 2>/dev/null
expected="$folder/plain.trace"
"$sim" --record "$folder" "$scenario" >"$folder/run.trace" 2>"$folder/run.err" ||
  { echo "the recorded run failed:"; cat "$folder/run.err"; exit 1; }
diff -u "$expected" "$folder/run.trace" || { echo "recording changed the run's trace"; exit 1; }
"$sim" --compare "$folder" || { echo "--- recorded scenario:"; cat "$folder/session.scn"; exit 1; }

mkdir "$folder/cut"
head -c -3 "$folder/session.scn" >"$folder/cut/session.scn"
last=$(grep -n '^> ' "$folder/session.trace" | tail -n 1 | cut -d: -f1)
head -n $((last - 1)) "$folder/session.trace" >"$folder/cut/session.trace"
"$sim" --compare "$folder/cut" >/dev/null || { echo "a recording cut inside its last line:"; "$sim" --compare "$folder/cut"; exit 1; }

"$sim" --record "$folder/missing/folder" "$scenario" >"$folder/unwritable.trace" 2>"$folder/unwritable.err"
grep -q "cannot record into" "$folder/unwritable.err" ||
  { echo "an unwritable folder was not reported"; cat "$folder/unwritable.err"; exit 1; }
diff -u "$expected" "$folder/unwritable.trace" || { echo "an unwritable folder changed the run"; exit 1; }
