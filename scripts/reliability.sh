#!/usr/bin/env bash
# Reruns every long robustness check and writes docs/reliability.md with
# what was tried and what held:
#   fuzz    each fast fuzz target (fast_*) for a number of executions, each
#           whole-host target for a set time (libFuzzer, ASan+UBSan);
#   faults  the fault table under ASan+UBSan: every call failed in every phase;
#   stress  the concurrency stress under ThreadSanitizer;
#   suite   the whole unit and scenario suite under ASan+UBSan;
#   fidelity the simulated desktop held to the Win32 backend under Wine: the
#           conformance cases by facet on both backends, and every Wine
#           case's recorded session replayed (needs the mingw-x64 and native builds);
#   report  docs/reliability.md from the results kept in build/reliability/.
#
# Usage: scripts/reliability.sh                 # all of it, then the report
#        scripts/reliability.sh fuzz [TARGET...] | faults | stress | suite | fidelity | report
#        scripts/reliability.sh keep            # the minimised corpora become seeds
#   FUZZ_RUNS (executions per fast target, default 10000000), FUZZ_MAX_SECONDS
#   (a fast target stops there even short of its executions, default 7200),
#   FUZZ_SECONDS (per whole-host target, default 300), FUZZ_JOBS (targets
#   fuzzed at once, default 2), STRESS_SECONDS (default 60).
# What the fuzzers discover stays in build/reliability/corpus/<target>; the
# seeds in fuzz/corpus/<target> (fuzz/make_seeds.py) and fuzz/minimised/<target>
# are only read. After a fast target's run its corpus and seeds are merged
# into build/reliability/minimised/<target>, the smallest set with the same
# coverage; `keep` puts those sets into fuzz/minimised/, which the repository
# keeps and every fuzz run (CI's short ones too) starts from.
# Stages can run one at a time (each keeps its result until it runs again),
# so that a long run can be split. Exit status 1 when a check failed.
set -uo pipefail
cd "$(dirname "$0")/.."
fuzz_seconds=${FUZZ_SECONDS:-300}
fuzz_runs=${FUZZ_RUNS:-10000000}
fuzz_max_seconds=${FUZZ_MAX_SECONDS:-7200}
fuzz_jobs=${FUZZ_JOBS:-2}
stress_seconds=${STRESS_SECONDS:-60}
work=build/reliability
rows=$work/rows
mkdir -p "$rows"
failed=0
started=$(date +%s)

note() { echo "=== $* ($(( $(date +%s) - started ))s)"; }
verdict() { if [ "$1" -eq 0 ]; then echo "held"; else echo "**FAILED**"; fi; }
record() {  # record NAME STATUS ROW: keeps one row of the report
  [ "$2" -eq 0 ] || failed=1
  echo "$3" >"$rows/$1.md"
  echo "$3"
}
# Sums a property that the tests recorded, and counts the test cases where it is not zero.
property() {
  python3 - "$1" "$2" <<'EOF'
import sys, xml.etree.ElementTree as ET
values = [int(p.get("value")) for p in ET.parse(sys.argv[1]).iter("property")
          if p.get("name") == sys.argv[2]]
print(sum(values), sum(1 for v in values if v))
EOF
}

# One fuzz target; writes its row. Fast targets (fast_*) run for $fuzz_runs
# executions, the whole-host ones for $fuzz_seconds.
fuzz_one() {
  local target=$1 log="$work/fuzz_$1.log" options=() dictionary=() budget seeds=("fuzz/corpus/$1")
  mkdir -p "$work/corpus/$target" "$work/artifacts/$target"
  [ -d "fuzz/minimised/$target" ] && seeds+=("fuzz/minimised/$target")
  [ -f "fuzz/$target.dict" ] && dictionary=(-dict="fuzz/$target.dict")
  [ -f "fuzz/$target.options" ] && mapfile -t options < <(grep '^-' "fuzz/$target.options")
  case $target in
    fast_*) budget=(-runs="$fuzz_runs" -max_total_time="$fuzz_max_seconds") ;;
    *) budget=(-max_total_time="$fuzz_seconds") ;;
  esac
  local began status
  began=$(date +%s)
  nice -n 10 "build/native-fuzz/fuzz/fuzz_$target" "${dictionary[@]}" "${options[@]}" "${budget[@]}" \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$work/artifacts/$target/" "$work/corpus/$target" "${seeds[@]}" \
    >"$log" 2>&1
  status=$?
  local seconds runs coverage corpus findings kept=""
  seconds=$(( $(date +%s) - began ))
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' | tail -1)
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*')
  corpus=$(ls "$work/corpus/$target" | wc -l)
  local seeded
  seeded=$(find "${seeds[@]}" -type f | wc -l)
  findings=$(ls "$work/artifacts/$target" | wc -l)
  if [[ $target == fast_* ]]; then
    rm -rf "$work/minimised/$target" && mkdir -p "$work/minimised/$target"
    nice -n 10 "build/native-fuzz/fuzz/fuzz_$target" "${options[@]}" -merge=1 \
      "$work/minimised/$target" "$work/corpus/$target" "${seeds[@]}" >>"$log" 2>&1
    kept=", minimised to $(ls "$work/minimised/$target" | wc -l)"
  fi
  local result
  result=$(verdict $status)
  if [[ $target == fast_* && $status -eq 0 && ${runs:-0} -lt $fuzz_runs ]]; then
    result="$result; stopped by the ${fuzz_max_seconds} s cap, short of ${fuzz_runs}"
  fi
  record "fuzz-$target" $status "| \`$target\` | ${runs:-0} | ${seconds} s | $(( ${runs:-0} / (seconds > 0 ? seconds : 1) )) | ${coverage:-?} | ${seeded} seeds, ${corpus} kept${kept} | ${findings} | ${result} |"
}

fuzz() {
  note "fuzzing: fast targets ${fuzz_runs} executions each, whole-host ones ${fuzz_seconds}s, ${fuzz_jobs} at once"
  cmake --preset native-fuzz >/dev/null && cmake --build build/native-fuzz -j2 --target fuzz_targets ||
    { record fuzz-build 1 "| fuzz build | | | | | | | **FAILED** |"; return; }
  git rev-parse --short HEAD >"$work/fuzz-commit"
  local targets=("$@")
  if [ ${#targets[@]} -eq 0 ]; then
    for binary in build/native-fuzz/fuzz/fuzz_*; do [ -x "$binary" ] && targets+=("${binary##*/fuzz_}"); done
  fi
  for target in "${targets[@]}"; do
    while [ "$(jobs -rp | wc -l)" -ge "$fuzz_jobs" ]; do wait -n; done
    note "fuzz $target"
    fuzz_one "$target" &
  done
  wait
  for target in "${targets[@]}"; do
    grep -q FAILED "$rows/fuzz-$target.md" 2>/dev/null && failed=1
  done
}

faults() {
  note "fault table under AddressSanitizer and UBSan"
  cmake --preset native-asan >/dev/null && cmake --build build/native-asan -j2 --target test_robustness
  local xml="$work/faults.xml"
  build/native-asan/tests/test_robustness --gtest_filter='FaultTable.*:EveryCall/*' \
    --gtest_output=xml:"$xml" >"$work/faults.log" 2>&1
  local status=$?
  local runs calls fired
  runs=$(grep -c 'name="HostEndsCleanly' "$xml" 2>/dev/null)
  read -r calls fired < <(property "$xml" failed_calls 2>/dev/null || echo "0 0")
  record faults $status "| fault injection (ASan+UBSan) | ${runs:-0} runs: each of the table's calls failed every time it is made during start-up, during a workload that reaches every call, or during the tear-down; the fault met the host in ${fired} runs, ${calls} failed calls in all | no crash or sanitizer report; exit code 0; nothing left open but objects whose release was failed; no key or button left down (every button is held into the tear-down) but one whose key-up was refused | $(verdict $status) |"
}

stress() {
  note "stress under ThreadSanitizer, ${stress_seconds}s"
  cmake --preset native-tsan >/dev/null && cmake --build build/native-tsan -j2 --target test_robustness
  HIDHOST_STRESS_SECONDS=$stress_seconds TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1" \
    build/native-tsan/tests/test_robustness --gtest_filter='Stress.*' >"$work/stress.log" 2>&1
  local status=$?
  local figures
  figures=$(grep -o 'stress: .*' "$work/stress.log" | tail -1 | sed 's/^stress: //')
  record stress $status "| concurrency stress (TSan) | ${figures:-no figures}: event words read at full rate, updates, timer ticks, session and device changes, a tear-down under load each life | no data race, deadlock or crash; every life exits 0 with nothing left open, the channel closed and no key or button down | $(verdict $status) |"
}

suite() {
  note "unit and scenario suite under AddressSanitizer and UBSan"
  cmake --preset native-asan >/dev/null && cmake --build build/native-asan -j2
  ctest --preset native-asan -LE 'wine|slow' -j2 >"$work/suite.log" 2>&1
  local status=$?
  local summary
  summary=$(grep -o '[0-9]*% tests passed, [0-9]* tests failed out of [0-9]*' "$work/suite.log" | tail -1)
  record suite $status "| whole suite (ASan+UBSan) | ${summary:-no summary} | no sanitizer report | $(verdict $status) |"
}

# The fault table's runs, one line per call: how many calls failed in each phase.
# Without a run of the faults stage here, the table of the last report stays.
fault_calls() {
  if [ ! -f "$work/faults.xml" ]; then
    awk '/^Faults injected, by call/ { on = 1; print ""; }
         on && /^$/ && table { exit } on { print } /^\|/ { table = on }' "$work/previous.md"
    return 0
  fi
  echo
  echo "Faults injected, by call: the number of calls that failed in each phase (0: the"
  echo "host makes no such call in that phase)."
  echo
  python3 - "$work/faults.xml" <<'EOF'
import re, sys, xml.etree.ElementTree as ET
rows = {}
for case in ET.parse(sys.argv[1]).iter("testcase"):
    match = re.search(r"/(\d+)_(\w+)_(StartUp|Running|TearDown)$", case.get("name", ""))
    if not match:
        continue
    failed = [int(p.get("value")) for p in case.iter("property") if p.get("name") == "failed_calls"]
    broken = case.find("failure") is not None
    cell = ("**failed** " if broken else "") + str(failed[0] if failed else 0)
    rows.setdefault(int(match.group(1)), [match.group(2), {}])[1][match.group(3)] = cell
print("| # | Call | start-up | running | tear-down |")
print("|---|---|---|---|---|")
for index in sorted(rows):
    name, cells = rows[index]
    print(f"| {index} | `{name}` | " +
          " | ".join(cells.get(p, "-") for p in ("StartUp", "Running", "TearDown")) + " |")
EOF
}

# The conformance cases, by facet: each runs on the simulated desktop
# (conformance-sim) and on the Win32 backend under Wine; a case agrees when
# every check held on both, Wine's marked differences from Windows aside. Then
# the Wine cases' recorded sessions and how many of them replayed to the same trace.
fidelity() {
  note "fidelity: the conformance cases on both backends and the Wine cases"
  git rev-parse --short HEAD >"$work/fidelity-commit"
  build/native/tests/conformance/conformance-sim >"$work/fidelity-sim.log" 2>&1
  bash tests/win32/run-checks.sh build/mingw-x64/bin >"$work/fidelity-checks.log" 2>&1
  bash tests/wine/run.sh >"$work/fidelity-wine.log" 2>&1
  local cases unrecorded
  cases=$(ls tests/wine/cases/*.sh | wc -l)
  unrecorded=$(grep -l '^RECORDS_SESSION=""' tests/wine/cases/*.sh | wc -l)
  python3 - "$work/fidelity-sim.log" "$work/fidelity-checks.log" "$work/fidelity-wine.log" "$cases" \
    "$unrecorded" >"$rows/fidelity.md" <<'EOF'
import re, sys
def outcomes(path):
    found, marked = {}, {}
    for line in open(path, errors="replace"):
        case = re.match(r"case ([\w.-]+): (.*)$", line)
        if case:
            found[case.group(1)] = case.group(2).strip()
        check = re.match(r"wine ([\w.-]+) \d+:", line)
        if check:
            marked[check.group(1)] = marked.get(check.group(1), 0) + 1
    return found, marked
sim, _ = outcomes(sys.argv[1])
wine, marked = outcomes(sys.argv[2])
facets = {}
for name in sorted(set(sim) | set(wine), key=lambda n: n.split(".")[0]):
    row = facets.setdefault(name.split(".")[0], [0, 0, 0, 0])
    both = sim.get(name) == "agrees" and wine.get(name, "").startswith("agrees")
    row[0] += 1
    row[1] += both
    row[2] += both and name in marked
    row[3] += marked.get(name, 0)
print("| Facet | Conformance cases | Agree on both backends | of which with marked Wine differences | Checks marked as Wine's |")
print("|---|---|---|---|---|")
for facet, (count, agree, with_marks, checks) in facets.items():
    print(f"| {facet} | {count} | {agree} | {with_marks} | {checks} |")
total = [sum(r[i] for r in facets.values()) for i in range(4)]
print(f"| all | {total[0]} | {total[1]} | {total[2]} | {total[3]} |")
wine_log = open(sys.argv[3], errors="replace").read()
replayed = wine_log.count("recorded session replays to the same trace")
recorded = int(sys.argv[4]) - int(sys.argv[5])
print()
print(f"Recorded sessions replayed to the same trace: {replayed} of {recorded} "
      f"(the Wine stage's {sys.argv[4]} cases, {sys.argv[5]} of which record nothing).")
if replayed < recorded or total[1] < total[0]:
    print()
    print("**FAILED**")
EOF
  grep -q FAILED "$rows/fidelity.md" && failed=1
  cat "$rows/fidelity.md"
}

# The fidelity rows of the last report, without a run of the fidelity stage here.
fidelity_rows() {
  if [ -f "$rows/fidelity.md" ]; then
    cat "$rows/fidelity.md"
  else
    awk '/^\| Facet \| Conformance cases/ { on = 1 } on { print } on && /^Recorded sessions/ { exit }' \
      "$work/previous.md"
  fi
}

# A check not run here keeps its row of the last report.
previous_row() {  # previous_row NAME PREFIX
  [ -f "$rows/$1.md" ] || grep -m1 "^| $2" "$work/previous.md" >"$rows/$1.md" || rm -f "$rows/$1.md"
}

report() {
  note "writing docs/reliability.md"
  mkdir -p docs
  cp docs/reliability.md "$work/previous.md" 2>/dev/null || : >"$work/previous.md"
  previous_row faults "fault injection"
  previous_row stress "concurrency stress"
  previous_row suite "whole suite"
  {
    cat <<'EOF'
# Reliability

What the host has been put through, and what held. `scripts/reliability.sh`
reruns all of it and rewrites this file (its stages can also run one at a
time); CI (`scripts/test-all.sh`) runs the short versions: each fuzz target for
15 s, the fault table, the stress test for 3 s under ThreadSanitizer and the
whole suite under ASan+UBSan.

- **Fuzzing** (`fuzz/`, libFuzzer with ASan+UBSan, seeds in `fuzz/corpus/<target>/`,
  written by `fuzz/make_seeds.py`, and the minimised corpus of the last long
  run in `fuzz/minimised/<target>/`). The fast targets (`fast_*`) run the host's
  own code on a light desktop made for them (`fuzz/light/`): no threads, no
  trace text, every handle, key, button, registration and mask in plain
  memory where a check reads it; each runs for ten million executions, or
  until its time cap (a row short of that says so).
  `fast_events`: a whole host life per input (start-up, steps, tear-down,
  through `RunApplication`), its steps any sequence of event words, updates
  with any record or part of one, timer ticks, removals, arrivals, console
  disconnects and reconnections, device changes, tray clicks and cursor
  moves; every word the host reads is also decoded on the side against the
  protocol. `fast_record`: any 116-byte records through the four update
  messages, each followed by presses of every button. After every step: no up
  for input the host does not hold, nothing the host pressed down after a
  removal or a disconnect, the driver holding the mask of the record in force
  (everything passing through once closed), the record taken whole (a torn
  block not at all) and never written back; after the tear-down: exit code 0,
  every handle and key closed, the driver released, no icon, no session
  registration, COM balanced, nothing down. `fast_config_ini` and
  `fast_registry` are `config_ini` and `registry` (below) on the light desktop.
  The whole-host targets run for a set time and reach what only the simulated
  desktop has (its threads, its trace): `event_words`: any sequence of event words,
  with any settings record, through the decoder and the dispatcher of a running
  host on the simulated desktop, timers ticking and the record replaced between
  words. `shared_block`: any 116-byte records through the four update messages,
  each followed by presses of every button, so that every action code, modifier
  and usage byte is performed. `config_ini`: any `config.ini` through
  `ReadConfiguration`, and the `Device` write-back. `registry`: any value types and
  bytes, and keys that cannot be opened, created or written, through
  `ReadSystemMouseSettings` and `ApplySystemMouseSettings`. `scenario`: any text
  through hidhost-sim's parser, and every scenario that parses run to its end.
  Besides crashes, sanitizer reports and hangs, each input must leave a
  consistent state: the host exits 0 with nothing left open, the driver
  channel closed and no synthesized key or button down; it takes an update's record whole and never writes the block
  back; reading `config.ini` twice, or after `Device` was written, gives the
  same settings; acceleration switched off is sent as 0,0,0 whatever the
  registry holds; the parser names a line of the text or accepts it all.
- **Fault injection** (`tests/robustness/FaultInjectionTest.cpp`): the table of
  every call the simulated platform can fail, each failed every time it is made
  in one phase: start-up, a workload that reaches every call the host makes, or
  tear-down.
- **Stress** (`tests/robustness/StressTest.cpp`): from its own thread the driver
  keeps 100 to 150 words queued ahead of the host's reads, so that the
  semaphore stays at or near its 100 counts, while the window thread applies
  updates, ticks the timers, loses and regains the console and tears the host
  down at a random step; a new host each life.

Fuzzing, as last run: each target's executions, the time they took and their
rate (two targets at once, niced, on a machine others were building on),
libFuzzer's coverage points (only the host's own code, the simulator's model
of profile text and, for `scenario`, hidhost-sim's parser and runner carry
coverage: the desktops, the trace and the targets themselves are built with
the sanitizers alone, so that neither the guidance nor the per-input cost
comes from them), the corpus, and findings (inputs that crashed,
broke a consistency check, leaked, ran out of memory or took over 10 s; kept
in `build/reliability/artifacts/<target>/`).

| Target | Executions | Time | Executions/s | Coverage | Corpus | Findings | Result |
|---|---|---|---|---|---|---|---|
EOF
    for name in fuzz-fast_events fuzz-fast_record fuzz-fast_config_ini fuzz-fast_registry \
                fuzz-event_words fuzz-shared_block fuzz-config_ini fuzz-registry fuzz-scenario \
                fuzz-build; do
      [ -f "$rows/$name.md" ] && cat "$rows/$name.md"
    done
    echo
    echo "| Check | What was tried | What must hold | Result |"
    echo "|---|---|---|---|"
    for name in faults stress suite; do
      [ -f "$rows/$name.md" ] && cat "$rows/$name.md"
    done
    fault_calls
    echo
    echo "Fidelity of the simulated desktop, on which almost every test of the host runs."
    echo "Each value of \`platform/Constants.h\` is held to the system's headers when the"
    echo "Windows builds compile (\`src/platform/win32/SystemValues.cpp\`). The conformance"
    echo "cases (\`tests/conformance\`) are written once against the seam and run on both"
    echo "backends: natively on the simulated desktop, and under Wine on the Win32 backend"
    echo "(\`hidhost-win32-checks.exe\`, the driver's side served by the emulator's code). A"
    echo "check Wine is known to answer otherwise than Windows says why and reports the"
    echo "difference instead of failing: Sleep(1) at the default resolution, SPI_SETMOUSESPEED"
    echo "read from uiParam, WindowFromPoint outside every window, and Wine's X11 keyboard"
    echo "table for the keypad's digits, the media keys, Print Screen, Pause and three 3270"
    echo "keys. Each Wine case's recorded session is replayed by the simulator. As last run,"
    echo "at commit $(cat "$work/fidelity-commit" 2>/dev/null || echo '?'):"
    echo
    fidelity_rows
    echo
    local fuzzed
    fuzzed=$(cat "$work/fuzz-commit" 2>/dev/null || echo "?")
    echo "Written on $(date -u '+%Y-%m-%d') at commit $(git rev-parse --short HEAD) (the fuzz rows ran at $fuzzed), on this"
    echo "machine: $(nproc) cores, $(uname -sr), $(clang --version | head -1)."
    echo "Logs, new inputs and any input that failed: \`build/reliability/\`."
  } >docs/reliability.md
  grep -q FAILED docs/reliability.md && failed=1
  cat docs/reliability.md
}

# The minimised corpora of the last run become seeds kept in the repository.
keep() {
  local target
  for target in "$work"/minimised/*; do
    [ -d "$target" ] || continue
    rm -rf "fuzz/minimised/${target##*/}" && mkdir -p fuzz/minimised
    cp -r "$target" "fuzz/minimised/${target##*/}"
    note "kept $(ls "$target" | wc -l) inputs as fuzz/minimised/${target##*/}"
  done
}

stage=${1:-all}
[ $# -gt 0 ] && shift
case $stage in
  fuzz) fuzz "$@" ;;
  faults) faults ;;
  stress) stress ;;
  suite) suite ;;
  fidelity) fidelity ;;
  report) report ;;
  keep) keep ;;
  all) rm -rf "$rows"; mkdir -p "$rows"; fuzz; faults; stress; suite; fidelity; report ;;
  *) echo "usage: $0 [fuzz [TARGET...] | faults | stress | suite | fidelity | report | keep]" >&2
     exit 2 ;;
esac
exit $failed
