#!/usr/bin/env bash
# Measures Option.exe under Wine with HidHost.exe and the driver emulator
# running, and prints the medians of 20 (the figures of docs/performance.md):
#   - from the start of Option.exe to its window showing the settings: as the
#     program itself sees it (from its process's creation) and as seen from
#     outside (from the wine64 command to the window's "shown" line);
#   - from a change in the window to the host acting on it: the block
#     written, the notice sent and handled by the host (its handler has
#     pushed the setting to the system when SendMessageTimeout returns).
#
#   scripts/measure-option.sh [--bin DIR]    DIR: the mingw-x64 build's bin
set -uo pipefail

SCRIPT=$(realpath "${BASH_SOURCE[0]}")
source "$(dirname "$SCRIPT")/../tests/wine/lib.sh"
RUNS=20

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else print (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {
  LOGS=$CASE_DIR/logs APP=$CASE_DIR/app CURRENT_CASE=measure-option
  trap end_case_processes EXIT
  setup_app
  start_emulator
  start_host_with_device
  local i started outside=()
  for ((i = 1; i <= RUNS; i++)); do
    started=$(date +%s%N)
    spawn option "$WINE" "$APP/Option.exe" window --log "$(winpath "$LOGS/option.log")"
    wait_for_lines "$LOGS/option.log" ' shown ' 20 "$i" || fail "start $i: no window"
    outside+=($((($(date +%s%N) - started) / 1000000)))
    agent "post|$OPTION_TITLE|$WM_CLOSE" >/dev/null
    wait_exit option 20 || fail "start $i: Option.exe did not end with 0"
  done
  spawn option "$WINE" "$APP/Option.exe" window --log "$(winpath "$LOGS/option.log")"
  wait_for_lines "$LOGS/option.log" ' shown ' 20 $((RUNS + 1)) || fail "no window for the changes"
  # The swap check box, clicked 20 times: a system setting, so each change
  # has the host read the block and apply the system settings.
  win "$BIN/wine-controls.exe" "$OPTION_TITLE" $(for ((i = 0; i < RUNS; i++)); do printf 'click|1207 '; done) >/dev/null ||
    fail "the window could not be driven"
  stop_host
  local inside own applied
  inside=$(grep -o ' shown ms=[0-9.]*' "$LOGS/option.log" | cut -d= -f2 | median)
  own=$(sed -nE 's/.* shown ms=([0-9.]+) entered ms=([0-9.]+) .*/\1 \2/p' "$LOGS/option.log" |
    awk '{ print $1 - $2 }' | median)
  applied=$(grep -o ' applied us=[0-9]*' "$LOGS/option.log" | cut -d= -f2 | median)
  [ "$(grep -c ' applied us=' "$LOGS/option.log")" -eq "$RUNS" ] || fail "expected $RUNS changes in force"
  say "start to settings shown, from the process's creation: median $inside ms of $RUNS"
  say "  of which Option.exe's own part, from main to the window shown: median $own ms"
  say "start to settings shown, from the wine64 command: median $(printf '%s\n' "${outside[@]}" | median) ms of $RUNS"
  say "change to the host acting: median $(awk -v us="$applied" 'BEGIN { printf "%.2f", us / 1000 }') ms of $RUNS"
}

if [ "${1:-}" == __inner ]; then
  BIN=$2 CASE_DIR=$3
  measure
  exit $?
fi
[ "${1:-}" == --bin ] && BIN=$(cd "$2" && pwd)
WORKFILE=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
trap 'cleanup_work "$WORKFILE"' EXIT
prepare_work "$WORKFILE" >/dev/null || exit 1
work=$(cat "$WORKFILE")
export WINEPREFIX="$work/prefix"
mkdir -p "$work/measure/app" "$work/measure/logs"
under_xvfb 600 bash "$SCRIPT" __inner "$BIN" "$work/measure"
