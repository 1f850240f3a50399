#!/bin/sh
# run-scenario.sh SIM SCENARIO [EXPECTED_TRACE]
# Runs hidhost-sim on SCENARIO ("builtin": no argument) and compares its
# output with the expected trace (default: SCENARIO with .trace). When a
# .stderr file sits beside the scenario, the run must end with exit status 2
# and that message: with no trace at all for a malformed scenario, or with
# the .trace up to the line that could not complete. A difference is shown
# as a unified diff with line numbers. A golden may leave a section out
# ("..." as its body: golden.py); HIDHOST_UPDATE_GOLDENS=1 rewrites the
# golden from the run instead of comparing.
set -u
sim=$1
scenario=$2
base=${scenario%.scn}
expected=${3:-$base.trace}
out=$(mktemp)
err=$(mktemp)
trap 'rm -f "$out" "$err"' EXIT
here=$(dirname "$0")
compare() {
  if [ "${HIDHOST_UPDATE_GOLDENS:-0}" = 1 ]; then
    python3 "$here/golden.py" update "$1" "$2"
  else
    python3 "$here/golden.py" check "$1" "$2"
  fi
}

if [ "$scenario" = builtin ]; then
  "$sim" >"$out" 2>"$err"
else
  "$sim" "$scenario" >"$out" 2>"$err"
fi
status=$?

if [ "$scenario" != builtin ] && [ -f "$base.stderr" ]; then
  if [ $status -ne 2 ]; then
    echo "exit status $status, expected 2"
    exit 1
  fi
  diff -u "$base.stderr" "$err" || exit 1
  if [ -f "$expected" ]; then
    compare "$expected" "$out" || exit 1
  elif [ -s "$out" ]; then
    echo "a malformed scenario printed a trace:"
    cat "$out"
    exit 1
  fi
  exit 0
fi

if [ $status -ne 0 ]; then
  echo "exit status $status, expected 0"
  cat "$err"
  exit 1
fi
compare "$expected" "$out" || exit 1

# The finer system timer is lowered once for every raise, never before it; a
# scenario that makes the system refuse the raise shows the unmatched line.
grep -q '^fail timeBeginPeriod' "$scenario" 2>/dev/null && exit 0
awk '/^timeBeginPeriod / { held++ }
     /^timeEndPeriod / { if (--held < 0) { print "timeEndPeriod without a raise, line " NR; exit 1 } }
     END { if (held > 0) { print held " timeBeginPeriod never lowered"; exit 1 } }' "$out" || exit 1
