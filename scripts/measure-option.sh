#!/usr/bin/env bash
# Measures Option.exe under Wine with HidHost.exe and the driver emulator
# running, and prints the medians of 20 (the figures of docs/performance.md):
#   - from the start of Option.exe to its window showing the settings: as the
#     program itself sees it (from its process's creation) and as seen from
#     outside (from the wine64 command to the window's "shown" line);
#   - from a change in the window to the host acting on it: the block
#     written, the notice sent and handled by the host (its handler has
#     pushed the setting to the system, or taken the button's new action,
#     when SendMessageTimeout returns), for a system setting and a button.
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
  # Two kinds of change, 20 of each. The swap check box is a system setting:
  # the host reads the block and applies the system's mouse settings, each
  # with its WM_SETTINGCHANGE broadcast. Button 4's action (row 3), between a
  # key and auto-fire, is one of the mouse's own: the host reads the block and
  # the next press of button 4 does the new action.
  local controls=() action=$((1120 + 3))
  for ((i = 0; i < RUNS; i++)); do
    controls+=("click|1207" "select|$action|$((i % 2 ? 5 : 24))")
  done
  win "$BIN/wine-controls.exe" "$OPTION_TITLE" "${controls[@]}" >/dev/null ||
    fail "the window could not be driven"
  stop_host
  [ "$(grep -c ' applied us=' "$LOGS/option.log")" -eq $((2 * RUNS)) ] ||
    fail "expected $((2 * RUNS)) changes in force, the log has $(grep -c ' applied us=' "$LOGS/option.log")"
  field() { grep ' shown ms=' "$LOGS/option.log" | sed -nE "s/.* $1 ms=([0-9.]+).*/\1/p"; }
  local inside entered own cpu
  inside=$(field shown | median)
  entered=$(field entered | median)
  own=$(paste <(field shown) <(field entered) | awk '{ print $1 - $2 }' | median)
  cpu=$(field cpu | median)
  # applied us=N wParam=NOTICE: the system settings' notice is the one that applies all.
  applied() { grep ' applied us=' "$LOGS/option.log" | grep "$@" | sed -nE 's/.* applied us=([0-9]+).*/\1/p' |
    median | awk '{ printf "%.2f", $1 / 1000 }'; }
  local all=${SETTINGS_APPLY_ALL#0x}
  say "start to settings shown, from the wine64 command: median $(printf '%s\n' "${outside[@]}" | median) ms of $RUNS"
  say "start to settings shown, from the process's creation: median $inside ms of $RUNS"
  say "  of which from the creation to main (Wine's start of the process): median $entered ms"
  say "  of which Option.exe's own part, from main to the window shown: median $own ms"
  say "  processor time of Option.exe's own threads from main to shown: median $cpu ms"
  say "change to the host acting, a system setting (swap buttons): median $(applied "wParam=$all ") ms of $RUNS"
  say "change to the host acting, a button's action: median $(applied -v "wParam=$all ") ms of $RUNS"
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
