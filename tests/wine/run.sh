#!/usr/bin/env bash
# End-to-end cases of HidHost.exe under Wine, with hidhost-driver-emu.exe in
# the driver's place, Option.exe in the configuration program's, and small
# programs (tests/wine/programs) that watch the desktop. Each case is a file
# cases/NAME.sh that defines case_NAME; the pieces they share are in lib.sh.
# Every case's host records its session, which the simulator then replays:
# the two traces must match line for line. A case that cannot be replayed
# sets RECORDS_SESSION="" and says why (README, Reporting a problem).
#
#   run.sh [--bin DIR] [CASE...]          fresh prefix, the cases (all by default), clean up
#   run.sh [--bin DIR] prepare WORKFILE   make a prefix in a temp dir; its path goes to WORKFILE
#   run.sh [--bin DIR] case NAME WORKFILE run one case in the prefix that WORKFILE names
#   run.sh cleanup WORKFILE               end Wine in that prefix and remove it
#   run.sh list                           the case names
#   run.sh [--bin DIR] watch              HidHost.exe by hand: type the emulator's commands
#                                         (press 4, tilt left, remove, arrive, mask, quit);
#                                         HIDHOST_CONFIG=FILE gives it a config.ini; without
#                                         DISPLAY it runs under Xvfb
#
# DIR is the bin directory of the mingw-x64 build (default build/mingw-x64/bin,
# or $HIDHOST_WINE_BIN). Each case runs under its own Xvfb with a time limit;
# all its processes and the wineserver are ended when it finishes, and the
# prefix's registry is put back to its freshly booted state before the next.
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SELF="$HERE/$(basename "${BASH_SOURCE[0]}")"
source "$HERE/lib.sh"
CASE_TIMEOUT=${HIDHOST_WINE_CASE_TIMEOUT:-120}

case_names() { for f in "$HERE"/cases/*.sh; do f=${f##*/}; printf '%s\n' "${f%.sh}"; done; }

run_case() {
  local name=$1 workfile=$2 work rc
  [ -f "$HERE/cases/$name.sh" ] || die "no case named '$name' (run.sh list)"
  [ -f "$workfile" ] || die "no prepared prefix: $workfile is missing (run the prepare step first)"
  work=$(cat "$workfile")
  [ -f "$work/snapshot/user.reg" ] || die "the prefix in $work was not prepared"
  export WINEPREFIX="$work/prefix"
  stop_wine
  cp "$work"/snapshot/*.reg "$WINEPREFIX/"
  export CASE_DIR="$work/cases/$name"
  rm -rf "$CASE_DIR" && mkdir -p "$CASE_DIR/app" "$CASE_DIR/logs"
  local started=$SECONDS
  under_xvfb "$CASE_TIMEOUT" bash "$SELF" __inner "$name" "$BIN"
  rc=$?
  stop_wine
  if [ $rc -eq 0 ]; then
    say "PASS $name ($((SECONDS - started)) s)"
  else
    [ $rc -eq 124 ] && say "FAIL $name: no result within ${CASE_TIMEOUT} s"
    say "FAIL $name ($((SECONDS - started)) s); logs in $CASE_DIR/logs"
  fi
  return $rc
}

inner() {
  CURRENT_CASE=$1
  BIN=$2
  LOGS="$CASE_DIR/logs"
  APP="$CASE_DIR/app"
  trap end_case_processes EXIT
  [ -f "$BIN/wine-agent.exe" ] || fail "$BIN/wine-agent.exe is missing: build the mingw-x64 preset first"
  say "case $CURRENT_CASE (DISPLAY=$DISPLAY)"
  RECORDS_SESSION=1
  source "$HERE/cases/$CURRENT_CASE.sh"
  [ -n "$RECORDS_SESSION" ] && SESSION="$LOGS/session"
  "case_$CURRENT_CASE"
  [ -z "$SESSION" ] || compare_session
}

# ------------------------------------------------------------- by hand

watch() {
  local work
  WATCH_WORKFILE=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
  trap 'cleanup_work "$WATCH_WORKFILE"' EXIT
  prepare_work "$WATCH_WORKFILE"
  work=$(cat "$WATCH_WORKFILE")
  export WINEPREFIX="$work/prefix"
  APP="$work/app" LOGS="$work/logs" CURRENT_CASE=watch
  mkdir -p "$APP" "$LOGS"
  setup_app noconfig
  [ -n "${HIDHOST_CONFIG:-}" ] && cp "$HIDHOST_CONFIG" "$APP/config.ini"
  cat <<EOT
HidHost.exe runs in $APP (DISPLAY=$DISPLAY); config.ini: ${HIDHOST_CONFIG:-none, defaults}.
Type emulator commands: press N, release N, tilt left, tilt right, arrive, remove, mask, quit.
In another shell:  WINEPREFIX=$WINEPREFIX $WINE $APP/Option.exe get
                   WINEPREFIX=$WINEPREFIX $WINE $BIN/wine-agent.exe tray "find|$HOST_TITLE" spi
EOT
  # The typed commands go to the emulator; what the host asks of it is shown as it happens.
  "$WINE" "$BIN/hidhost-driver-emu.exe" --log "$(winpath "$work/emu.log")" <&0 &
  local emulator=$!
  wait_for_lines "$work/emu.log" ' listening$' 20 || die "the driver emulator did not start"
  tail -n +1 -f "$work/emu.log" &
  local tailer=$!
  "$WINE" "$APP/HidHost.exe" &
  local host=$!
  "$WINE" "$BIN/wine-agent.exe" "wait-window|$HOST_TITLE|20000" || die "HidHost.exe did not start"
  wait "$emulator"
  kill "$tailer" 2>/dev/null
  "$WINE" "$BIN/wine-agent.exe" "post|$HOST_TITLE|$WM_CLOSE" >/dev/null 2>&1
  wait "$host"
  say "HidHost.exe ended with exit code $?"
}

# ------------------------------------------------------------- dispatch

while [ $# -gt 0 ]; do
  case "$1" in
    --bin) BIN=$(cd "$2" 2>/dev/null && pwd || printf '%s' "$2"); shift 2 ;;
    *) break ;;
  esac
done

command=${1:-all}
case "$command" in
  list) case_names ;;
  prepare) prepare_work "${2:?workfile}" ;;
  case) run_case "${2:?case name}" "${3:?workfile}" ;;
  cleanup) cleanup_work "${2:?workfile}" ;;
  __inner) shift; inner "$@" ;;
  watch)
    if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$SELF" --bin "$BIN" watch; fi
    watch ;;
  *)
    [ "$command" == all ] && shift
    selected=("$@")
    [ ${#selected[@]} -eq 0 ] && mapfile -t selected < <(case_names)
    start=$SECONDS
    workfile=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
    trap 'cleanup_work "$workfile"' EXIT
    prepare_work "$workfile" || exit 1
    failed=()
    for name in "${selected[@]}"; do run_case "$name" "$workfile" || failed+=("$name"); done
    say "wine: ${#selected[@]} cases, ${#failed[@]} failed, $((SECONDS - start)) s"
    [ ${#failed[@]} -eq 0 ] || { say "failed: ${failed[*]}"; exit 1; }
    ;;
esac
