#!/usr/bin/env bash
# End-to-end cases of HidHost.exe under Wine, with hidhost-driver-emu.exe in
# the driver's place, Option.exe in the configuration program's, and small
# programs (tests/wine/programs) that watch the desktop.
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
SRC=$(cd "$HERE/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
BIN=${HIDHOST_WINE_BIN:-$SRC/build/mingw-x64/bin}
CASE_TIMEOUT=${HIDHOST_WINE_CASE_TIMEOUT:-120}
# The simulator that replays the recorded sessions (the native build's).
SIM=${HIDHOST_SIM:-$SRC/build/native/tools/hidhost-sim/hidhost-sim}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would stall the boot.
export WINEDLLOVERRIDES="mscoree,mshtml="

HOST_TITLE="QUILL48HidHost"
OPTION_TITLE="RQ4471 Setting Option"
WM_CLOSE=0x10
WM_DEVICECHANGE=0x219
WM_WTSSESSION_CHANGE=0x2B1

# Cases whose host runs with --record: after the case, the session it recorded
# is replayed by the simulator and the two traces must match line for line.
# (tray_menu minimises Option.exe from outside, which no recording holds: tray_exit instead.)
RECORDED_CASES=(road_of_one_event hscroll autofire settings_roundtrip removal_arrival tray_exit)

CASES=(emulator single_instance hidden_window teardown shared_mutex_taken start_without_device
       start_with_device refused_registration session_change road_of_one_event actions hscroll
       autofire settings_roundtrip removal_arrival tray_menu tray_exit)

say() { printf '%s\n' "$*"; }
die() { printf 'wine: %s\n' "$*" >&2; exit 1; }

# ---------------------------------------------------------------- the prefix

need_tools() {
  local missing=()
  [ -x "$WINE" ] || missing+=(wine64)
  command -v xvfb-run >/dev/null || missing+=(xvfb)
  command -v xauth >/dev/null || missing+=(xauth)
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || die "need ${missing[*]} and cannot install them (not root, no sudo)"
    sudo=sudo
  fi
  $sudo apt-get update -qq && DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
    --no-install-recommends "${missing[@]}" || die "cannot install ${missing[*]}"
  [ -x "$WINE" ] || die "$WINE is missing after installing wine64"
}

stop_wine() {
  [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ] || return 0
  "$WINESERVER" -k >/dev/null 2>&1
  timeout 30 "$WINESERVER" -w >/dev/null 2>&1
  return 0
}

# Prefixes of runs that were interrupted before their clean-up (each holds
# some 700 MB): none of their files changed for hours, so no run uses them.
purge_stale_prefixes() {
  local dir
  for dir in "${TMPDIR:-/tmp}"/hidhost-wine.*; do
    [ -d "$dir" ] || continue
    [ -z "$(find "$dir" -maxdepth 3 -newermt '-3 hours' -print -quit 2>/dev/null)" ] || continue
    say "wine: removing the stale prefix $dir"
    rm -rf "$dir"
  done
}

prepare() {
  local workfile=$1 work
  need_tools
  purge_stale_prefixes
  work=$(mktemp -d "${TMPDIR:-/tmp}/hidhost-wine.XXXXXX") || die "cannot make a temp dir"
  printf '%s\n' "$work" >"$workfile"
  export WINEPREFIX="$work/prefix"
  say "wine: preparing $WINEPREFIX"
  # Without a display: the boot needs none, and windows are made only under Xvfb later.
  if ! DISPLAY= timeout 180 "$WINE" wineboot -i >"$work/wineboot.log" 2>&1; then
    cat "$work/wineboot.log" >&2
    die "Wine cannot start: 'wine64 wineboot -i' failed (log above)"
  fi
  timeout 60 "$WINESERVER" -w || die "Wine cannot start: the wineserver did not finish the boot"
  # A program that crashes would otherwise wait for ever on the crash dialog.
  DISPLAY= "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$work/wineboot.log" 2>&1 || die "Wine cannot start: 'wine64 reg add' failed"
  stop_wine
  [ -f "$WINEPREFIX/user.reg" ] || die "Wine cannot start: the prefix has no registry"
  mkdir -p "$work/snapshot" && cp "$WINEPREFIX"/*.reg "$work/snapshot/"
  say "wine: prefix ready"
}

cleanup() {
  local workfile=$1 work
  [ -f "$workfile" ] || return 0
  work=$(cat "$workfile")
  export WINEPREFIX="$work/prefix"
  stop_wine
  case "$work" in */hidhost-wine.*) rm -rf "$work" ;; esac
  rm -f "$workfile"
}

run_case() {
  local name=$1 workfile=$2 work rc
  declare -F "case_$name" >/dev/null || die "no case named '$name' (run.sh list)"
  [ -f "$workfile" ] || die "no prepared prefix: $workfile is missing (run the prepare step first)"
  work=$(cat "$workfile")
  [ -f "$work/snapshot/user.reg" ] || die "the prefix in $work was not prepared"
  export WINEPREFIX="$work/prefix"
  stop_wine
  cp "$work"/snapshot/*.reg "$WINEPREFIX/"
  export CASE_DIR="$work/cases/$name"
  rm -rf "$CASE_DIR" && mkdir -p "$CASE_DIR/app" "$CASE_DIR/logs"
  local started=$SECONDS
  # Display numbers spread out: other runs on the machine may pick one at the same moment.
  timeout -k 10 "$CASE_TIMEOUT" xvfb-run -a -n $((100 + RANDOM % 800)) \
    -s "-screen 0 1024x768x24 -nolisten tcp" \
    bash "$SELF" __inner "$name" "$BIN"
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

# ------------------------------------------------- helpers inside one case

declare -A PIDS=()
LOGS=""
APP=""
EMU_FD=""
EMU_SEQ=0
REC_MARK=0
SESSION=""  # the folder the host records into; empty: no recording

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

end_case_processes() {
  local name
  [ -n "$EMU_FD" ] && { printf 'quit\n' >&"$EMU_FD"; } 2>/dev/null
  for name in "${!PIDS[@]}"; do kill "${PIDS[$name]}" 2>/dev/null; done
  "$WINESERVER" -k >/dev/null 2>&1
}

# Ends the case. On standard error, so that a failure inside $(...) is seen
# rather than taken as the value, which then fails the check around it too.
fail() {
  {
    say "FAIL [$CURRENT_CASE] $*"
    local f
    for f in "$LOGS"/*; do
      [ -s "$f" ] || continue
      say "--- ${f##*/} (last lines)"
      tail -n 25 "$f"
    done
  } >&2
  exit 1
}

note() { say "  ok: $*"; }

# check WHAT EXPECTED ACTUAL
check() {
  [ "$2" == "$3" ] || fail "$1: expected [$2], got [$3]"
  note "$1"
}

# check_lines WHAT EXPECTED ACTUAL (multi-line, compared line by line)
check_lines() {
  if [ "$2" != "$3" ]; then
    # The whole sequence, so that a move reads as one: ' ' both, '-' expected only, '+' got only.
    fail "$1 differs (- expected, + got):
$(diff -U1000 <(printf '%s\n' "$2") <(printf '%s\n' "$3") | tail -n +4 | sed 's/^/  /')"
  fi
  note "$1"
}

# wait_for FILE REGEX [SECONDS] [COUNT]: until COUNT lines of FILE match.
wait_for() {
  local file=$1 regex=$2 limit=${3:-15} count=${4:-1} deadline
  deadline=$((SECONDS + limit))
  while [ "$(grep -cE -- "$regex" "$file" 2>/dev/null)" -lt "$count" ] 2>/dev/null \
        || [ ! -f "$file" ]; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.05
  done
  return 0
}

# win PROGRAM ARG...: run a Windows program; its output without carriage returns.
win() {
  local out rc
  out=$("$WINE" "$@" 2>>"$LOGS/wine.err")
  rc=$?
  printf '%s' "${out//$'\r'/}"
  return $rc
}

lines_of() { [ -f "$1" ] && cut -d' ' -f2- "$1"; }

spawn() {
  local name=$1
  shift
  "$@" >"$LOGS/$name.out" 2>&1 &
  PIDS[$name]=$!
}

# wait_exit NAME [SECONDS]: the exit status of a spawned process, or fail.
wait_exit() {
  local name=$1 limit=${2:-20} pid=${PIDS[$1]} deadline
  deadline=$((SECONDS + limit))
  while kill -0 "$pid" 2>/dev/null; do
    [ $SECONDS -ge $deadline ] && fail "$name still running after $limit s"
    sleep 0.05
  done
  wait "$pid"
  local rc=$?
  unset "PIDS[$name]"
  return $rc
}

agent() {
  local out rc
  out=$(win "$BIN/wine-agent.exe" "$@")
  rc=$?
  printf '%s\n' "$out" >>"$LOGS/agent.log"
  [ $rc -eq 0 ] || fail "agent: $(printf '%s' "$out" | grep FAIL || printf 'exit %s' "$rc")"
  printf '%s' "$out"
}

# ini_value KEY: the value in config.ini, as the profile functions read it.
ini_value() {
  [ -f "$APP/config.ini" ] || return 0
  tr -d '\r' <"$APP/config.ini" | awk -F= -v key="$1" \
    'tolower($1) == tolower(key) { sub(/^[^=]*=/, ""); print; exit }'
}

wait_device_flag() {
  local want=$1 deadline=$((SECONDS + 10))
  until [ "$(ini_value Device)" == "$want" ]; do
    [ $SECONDS -ge $deadline ] && fail "config.ini: Device should be $want, is [$(ini_value Device)]"
    sleep 0.05
  done
  note "config.ini Device=$want"
}

# button_info B0 B1 B2 B3: the ten-digit profile structure with its checksum.
button_info() {
  printf '%02X%02X%02X%02X%02X' "0x$1" "0x$2" "0x$3" "0x$4" $(((0x$1 + 0x$2 + 0x$3 + 0x$4) & 0xFF))
}

# setup_app [noconfig] [KEY=VALUE...]: the host's directory with config.ini.
setup_app() {
  local exe
  for exe in HidHost.exe Option.exe hidhost-driver-emu.exe wine-agent.exe wine-recorder.exe \
             wine-targets.exe; do
    [ -f "$BIN/$exe" ] || fail "$BIN/$exe is missing: build the mingw-x64 preset first"
  done
  cp "$BIN/HidHost.exe" "$BIN/Option.exe" "$APP/"
  [ -f "$BIN/lan.dll" ] && cp "$BIN/lan.dll" "$APP/"
  if [ "${1:-}" == noconfig ]; then return 0; fi
  declare -A cfg=(
    [HScrollWheelSpeed]=3 [MainSens]=10 [XYSensFlag]=1 [XSens]=10 [YSens]=10 [OTFStatus]=1
    [DpiValue0]=6 [DpiValue1]=12 [DpiValue2]=1 [PRValue]=3 [OTGSpeed]=10 [LightSwitch]=1
    [LightEffectType]=0 [MouseColor]=0 [Device]=0
    [ButtonInfo0]=$(button_info 01 01 00 00) [ButtonInfo1]=$(button_info 02 02 00 00)
    [ButtonInfo2]=$(button_info 03 03 00 00) [ButtonInfo3]=$(button_info 04 0C 00 00)
    [ButtonInfo4]=$(button_info 05 0B 00 00) [ButtonInfo5]=$(button_info 06 0F 00 00)
    [ButtonInfo6]=$(button_info 07 10 00 00))
  local pair
  for pair in "$@"; do cfg[${pair%%=*}]=${pair#*=}; done
  {
    printf '[Setting]\r\n'
    for pair in "${!cfg[@]}"; do printf '%s=%s\r\n' "$pair" "${cfg[$pair]}"; done
  } >"$APP/config.ini"
}

start_emulator() {
  mkfifo "$LOGS/emu.fifo"
  "$WINE" "$BIN/hidhost-driver-emu.exe" --log "$(winpath "$LOGS/emu.log")" "$@" \
    <"$LOGS/emu.fifo" >"$LOGS/emu.out" 2>&1 &
  PIDS[emu]=$!
  exec {EMU_FD}>"$LOGS/emu.fifo"
  wait_for "$LOGS/emu.log" ' listening$' 20 || fail "the driver emulator did not start"
}

# emu COMMAND...: one script line for the emulator, done when this returns.
emu() {
  EMU_SEQ=$((EMU_SEQ + 1))
  local errors
  errors=$(grep -c ' error ' "$LOGS/emu.log")
  printf '%s\necho done %s\n' "$*" "$EMU_SEQ" >&"$EMU_FD"
  wait_for "$LOGS/emu.log" " echo done $EMU_SEQ\$" 40 || fail "emulator: '$*' did not finish"
  [ "$(grep -c ' error ' "$LOGS/emu.log")" -eq "$errors" ] ||
    fail "emulator: '$*': $(grep ' error ' "$LOGS/emu.log" | tail -n 1 | cut -d' ' -f2-)"
}

# The emulator's log reduced to what the host asked of the device.
emu_requests() {
  lines_of "$LOGS/emu.log" | grep -E '^(connected|registered|register refused|mask|read|close|unregistered|disconnected)' |
    sed -E 's/ connection=[0-9]+//; s/^registered count=/registered #/'
}

# wait_disconnects N: the emulator has seen N connections end (it notices
# a closed handle on its own thread, after the host's last request).
wait_disconnects() {
  wait_for "$LOGS/emu.log" ' disconnected connection=' 10 "$1" ||
    fail "the emulator saw $(grep -c ' disconnected ' "$LOGS/emu.log") connections end, expected $1"
}

start_host() {
  local record=()
  # The case's first host records; a later start in the same case would overwrite it.
  if [ -n "$SESSION" ] && [ ! -e "$SESSION" ]; then
    mkdir -p "$SESSION"
    record=(--record "$(winpath "$SESSION")")
  fi
  "$WINE" "$APP/HidHost.exe" "${record[@]}" >"$LOGS/host.out" 2>&1 &
  PIDS[host]=$!
}

# The recorded session, replayed on the simulated desktop, gives the same trace.
compare_session() {
  [ -n "$SESSION" ] && [ -f "$SESSION/session.scn" ] || fail "the host recorded no session"
  [ -x "$SIM" ] || fail "no simulator at $SIM to replay the session: build the native preset"
  local out
  out=$("$SIM" --compare "$SESSION" 2>&1) ||
    fail "the recorded session does not replay to the same trace: $out"
  note "recorded session replays to the same trace (${out#session matches: })"
  if [ -f "$LOGS/input.log" ]; then check_keys_reached_windows; fi
}

# The trace says what the host asked of keybd_event; the low-level hook saw
# what Windows made of it. Both sequences must agree, key for key, so a fault
# in the Win32 backend's own calls shows even where the replay agrees.
check_keys_reached_windows() {
  local asked seen n=0 line vk flags want got
  asked=$(grep -n '^keybd_event ' "$SESSION/session.trace")
  seen=$(cut -d' ' -f2- "$LOGS/input.log" | grep '^key ' | sed 's/ scan=.*//')
  while IFS= read -r line; do
    [ -n "$line" ] || continue
    n=$((n + 1))
    vk=$(sed -E 's/.* vk=0x([0-9A-F]+) .*/\1/' <<<"$line")
    flags=$((16#$(sed -E 's/.* flags=0x([0-9A-F]+).*/\1/' <<<"$line")))
    # KEYEVENTF_EXTENDEDKEY shows as LLKHF_EXTENDED, KEYEVENTF_KEYUP as LLKHF_UP; all are injected.
    want=$(printf 'key %02X %s flags=%02X' $((16#$vk)) "$( ((flags & 2)) && echo up || echo down)" \
      $((0x10 | (flags & 1) | ((flags & 2) ? 0x80 : 0))))
    got=$(sed -n "${n}p" <<<"$seen")
    [ "$want" == "$got" ] ||
      fail "session.trace line ${line%%:*}: ${line#*:} reached Windows as '${got:-nothing}', expected '$want'"
  done <<<"$asked"
  [ "$(grep -c '^key ' <<<"$seen")" -eq "$n" ] || fail "Windows saw more keys than the trace holds"
  note "each of the $n keys in the trace reached Windows as asked"
}

wait_host_window() { agent "wait-window|$HOST_TITLE|20000" >/dev/null; }

# Host started with the emulator: the channel is open once the mask has arrived.
start_host_with_device() {
  start_host
  emu "wait-registered 1 20000"
  emu "wait-mask ${1:-E0FF0000} 10000"
  wait_host_window
}

# stop_host: WM_CLOSE to the host window; it must end with exit code 0.
stop_host() {
  local out after rc
  out=$(agent "watch|$HOST_TITLE" "post|$HOST_TITLE|$WM_CLOSE" "wait-exit|20000")
  check "host exit code (seen by Windows)" "0" "$(sed -nE 's/^exit code=([0-9]+).*/\1/p' <<<"$out")"
  after=$(sed -nE 's/.* after=([0-9]+)$/\1/p' <<<"$out")
  wait_exit host 20
  rc=$?
  check "host exit status (seen by wine64)" 0 "$rc"
  HOST_TEARDOWN_MS=$after
}

start_option_window() {
  spawn option "$WINE" "$APP/Option.exe" window --log "$(winpath "$LOGS/option.log")"
  wait_for "$LOGS/option.log" ' started ' 20 || fail "Option.exe did not open its window"
}

option() { win "$APP/Option.exe" "$@"; }

start_targets() {
  spawn targets "$WINE" "$BIN/wine-targets.exe" --log "$(winpath "$LOGS/targets.log")" "$@"
  wait_for "$LOGS/targets.log" ' ready$' 20 || fail "wine-targets did not open its windows"
}

start_recorder() {
  spawn recorder "$WINE" "$BIN/wine-recorder.exe" --out "$(winpath "$LOGS/input.log")"
  wait_for "$LOGS/input.log" ' ready$' 20 || fail "wine-recorder did not install its hooks"
  rec_mark
}

# Injected input since the last rec_mark, without pointer moves and positions.
rec_mark() { REC_MARK=$(wc -l <"$LOGS/input.log"); }
rec_since() { rec_since_at | sed 's/ at=.*//'; }
rec_since_at() { tail -n +"$((REC_MARK + 1))" "$LOGS/input.log" | cut -d' ' -f2- | grep -v '^mouse move'; }

# target_lines WINDOW-TITLE ROLE: what that target logged since the last
# marker to any target, up to a new one. Every message the host posted before is logged by
# then. (Runs in a subshell: the marker's number comes from the log itself.)
target_lines() {
  local seq from
  seq=$(($(grep -c ' marker [0-9]*$' "$LOGS/targets.log") + 1))
  from=$(grep -n ' marker [0-9]*$' "$LOGS/targets.log" | tail -n 1 | cut -d: -f1)
  agent "mark|$1|$seq" >/dev/null
  wait_for "$LOGS/targets.log" " $2 marker $seq\$" 10 || fail "$1 did not see marker $seq"
  tail -n +"$((${from:-1} + 1))" "$LOGS/targets.log" | cut -d' ' -f2- | grep "^$2 " |
    grep -v " marker $seq\$"
}

tray_icons() { agent tray | sed -nE 's/^tray icons=//p'; }

repeat_lines() {
  local n=$1 line
  shift
  for ((i = 0; i < n; i++)); do for line in "$@"; do printf '%s\n' "$line"; done; done
}

# ------------------------------------------------------------------ the cases

# The emulator on its own, against a client that plays the host.
case_emulator() {
  start_emulator
  emu "press 4"
  emu "release 4"
  local client
  client=$(win "$BIN/wine-driver-client.exe" open count "wait-read|2" read "mask|0xFFE0")
  check_lines "1: words queued before registration are signalled on it, in order" \
"open ok
pending 2
word 00000008
word 00000000
read failed
mask ok" "$client"
  wait_for "$LOGS/emu.log" ' disconnected connection=1$' 10 || fail "2: an ended client stays connected"
  emu mask
  check "2: the mask is kept, bytes in memory order" "last-mask E0FF0000" \
    "$(lines_of "$LOGS/emu.log" | grep '^last-mask' | tail -n 1)"
  emu "tilt left"
  emu "arrive"
  client=$(win "$BIN/wine-driver-client.exe" open "wait-read|2" drop)
  wait_for "$LOGS/emu.log" ' disconnected connection=2$' 10 || fail "3: a dropped client stays connected"
  client+=$'\n'$(win "$BIN/wine-driver-client.exe" open read close)
  check_lines "3: a client that drops its handle and comes back is served again" \
"open ok
word 00FF0000
word 00000400
open ok
read failed" "$client"
  emu "refuse on"
  client=$(win "$BIN/wine-driver-client.exe" open)
  check "4: registration refused on request" "open refused" "$client"
  emu "refuse off"
  emu "press 2"
  emu "remove"
  client=$(win "$BIN/wine-driver-client.exe" open "wait-read|2" close)
  check_lines "5: buttons kept across words; removal word" \
"open ok
word 00000002
word 00000802" "$client"
  wait_disconnects 5
  check_lines "6: requests seen by the emulator" \
"connected
registered #1
read 00000008
read 00000000
read none
mask E0FF0000
unregistered
disconnected
connected
registered #2
read 00FF0000
read 00000400
unregistered
disconnected
connected
registered #3
read none
mask 00000000
close
unregistered
disconnected
connected
register refused
disconnected
connected
registered #4
read 00000002
read 00000802
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
}

case_single_instance() {
  setup_app
  start_emulator
  start_option_window
  start_host_with_device
  wait_for "$LOGS/option.log" ' notice 0x4E6 ' 10 || fail "Option.exe got no device-ready notice"
  local before after rc
  before=$(md5sum <"$APP/config.ini")
  timeout 60 "$WINE" "$APP/HidHost.exe" >"$LOGS/second.out" 2>&1
  rc=$?
  check "second copy exit code" 0 "$rc"
  check "top-level windows titled $HOST_TITLE" "count \"$HOST_TITLE\" 1" \
    "$(agent "count|$HOST_TITLE")"
  after=$(md5sum <"$APP/config.ini")
  check "config.ini untouched by the second copy" "$before" "$after"
  check "the second copy did not open the device" 1 \
    "$(emu_requests | grep -c '^connected')"
  check "the second copy posted nothing to Option.exe" "1 notice, no close" \
    "$(grep -c ' notice ' "$LOGS/option.log") notice, $(grep -q ' close ' "$LOGS/option.log" && echo close || echo no close)"
  kill -0 "${PIDS[host]}" 2>/dev/null || fail "the first host ended"
  note "the first host still runs"
  stop_host
}

case_hidden_window() {
  setup_app
  start_emulator
  start_host_with_device
  local info style exstyle visible
  info=$(agent "find|$HOST_TITLE")
  say "  $info"
  visible=$(sed -nE 's/.* visible=([0-9]+) .*/\1/p' <<<"$info")
  style=$(sed -nE 's/.* style=([0-9A-F]+) .*/\1/p' <<<"$info")
  exstyle=$(sed -nE 's/.* exstyle=([0-9A-F]+) .*/\1/p' <<<"$info")
  check "1: the window is not visible" 0 "$visible"
  check "2: extended style exactly WS_EX_TOOLWINDOW" 00000080 "$exstyle"
  check "3: WS_POPUP set" 1 $(((0x$style & 0x80000000) != 0))
  check "4: WS_VISIBLE clear" 0 $(((0x$style & 0x10000000) != 0))
  stop_host
}

case_teardown() {
  setup_app
  start_emulator
  start_option_window
  start_targets --osd
  start_host_with_device
  wait_for "$LOGS/option.log" ' notice 0x4E6 ' 10 || fail "Option.exe got no device-ready notice"
  stop_host
  # The host waits for its event thread instead of sleeping a fixed second;
  # without a window manager Wine itself spends 2 s withdrawing the tray icon.
  [ "${HOST_TEARDOWN_MS:-0}" -lt 5000 ] || fail "tear-down took ${HOST_TEARDOWN_MS} ms"
  note "tear-down took ${HOST_TEARDOWN_MS} ms"
  wait_exit option 10
  check "Option.exe exit code after the host's WM_CLOSE" 0 $?
  local option_close osd_close channel_close
  option_close=$(grep ' close ' "$LOGS/option.log" | head -n 1 | cut -d' ' -f1)
  osd_close=$(grep ' osd close$' "$LOGS/targets.log" | head -n 1 | cut -d' ' -f1)
  channel_close=$(grep ' mask 00000000$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  [ -n "$option_close" ] || fail "the configuration program's window got no WM_CLOSE"
  [ -n "$osd_close" ] || fail "the on-screen display got no WM_CLOSE"
  [ -n "$channel_close" ] || fail "the channel was not closed (no mask 0)"
  # The host posts both WM_CLOSE messages before it closes the channel (the
  # simulator's traces prove the order); when each peer handles its message
  # depends on the scheduler, now that the host no longer sleeps a second.
  note "WM_CLOSE reached both windows; the channel was closed"
  wait_disconnects 1
  check_lines "requests of the whole run" \
"connected
registered #1
mask E0FF0000
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
  check "after exit: tray icons, window, instance mutex" \
    "tray icons=0|window \"$HOST_TITLE\" absent|mutex Tarno_HidHost absent" \
    "$(agent tray "find|$HOST_TITLE" "mutex|Tarno_HidHost" | paste -sd'|')"
}

# A configuration program that made the shared block's mutex first keeps the
# host from starting: the host must end rather than run on without a window
# and with its instance mutex held.
case_shared_mutex_taken() {
  setup_app
  start_emulator
  start_targets --hold-mutex K2290-ShareData-Mutex-Object
  start_host
  wait_exit host 30
  check "1: the refused host ends with exit code 0" 0 $?
  check "2: no window, no instance mutex left" \
    "window \"$HOST_TITLE\" absent|mutex Tarno_HidHost absent" \
    "$(agent "find|$HOST_TITLE" "mutex|Tarno_HidHost" | paste -sd'|')"
  agent "signal|HidHostWineTargetsStop" >/dev/null
  wait_exit targets 10
  start_host_with_device
  note "3: once the mutex is gone the host starts"
  stop_host
}

case_start_without_device() {
  setup_app noconfig
  start_option_window
  start_host
  wait_host_window
  wait_device_flag 0
  check "1: no tray icon without the device" 0 "$(tray_icons)"
  check "2: defaults applied to the system (config.ini missing)" \
    "double-click=500 swap=0 mouse=0,0,0 wheel=3" \
    "$(agent spi | sed 's/ speed=.*//')"
  check_lines "3: defaults in the shared block" \
"HScrollWheelSpeed=3
OTGSpeed=10
Acceleration=0
ButtonInfo0=01010000
ButtonInfo3=040C0000
ButtonInfo6=07100000" "$(option get HScrollWheelSpeed OTGSpeed Acceleration ButtonInfo0 ButtonInfo3 ButtonInfo6)"
  start_emulator
  check "4: WM_DEVICECHANGE answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x8000|0")"
  emu "wait-mask E0FF0000 5000"
  wait_device_flag 1
  wait_for "$LOGS/option.log" ' notice 0x4E6 ' 10 || fail "5: no device-ready notice after the device change"
  note "5: device-ready notice"
  check "6: tray icon after the device change" 1 "$(tray_icons)"
  check "7: WM_DEVICECHANGE with the channel open answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x7|0")"
  check_lines "8: the second device change opened nothing" \
"connected
registered #1
mask E0FF0000" "$(emu_requests)"
  stop_host
}

case_start_with_device() {
  setup_app Device=0
  start_emulator
  start_option_window
  start_host_with_device
  wait_device_flag 1
  wait_for "$LOGS/option.log" ' notice 0x4E6 wParam=0 lParam=0$' 10 ||
    fail "no device-ready notice (0x4E6, 0, 0) at Option.exe"
  note "device-ready notice 0x4E6 with wParam 0, lParam 0"
  check "tray icons" 1 "$(tray_icons)"
  check_lines "requests at start-up" \
"connected
registered #1
mask E0FF0000" "$(emu_requests)"
  check "notices received" 1 "$(grep -c ' notice 0x4E6 ' "$LOGS/option.log")"
  stop_host
}

case_refused_registration() {
  setup_app Device=1
  start_emulator --refuse
  start_host
  wait_host_window
  wait_device_flag 0
  check "1: no tray icon when registration fails" 0 "$(tray_icons)"
  wait_disconnects 1
  check_lines "2: the refused handle was closed" \
"connected
register refused
disconnected" "$(emu_requests)"
  emu "refuse off"
  check "3: WM_DEVICECHANGE answers TRUE" "result 1" \
    "$(agent "send|$HOST_TITLE|$WM_DEVICECHANGE|0x8000|0")"
  emu "wait-mask E0FF0000 5000"
  wait_device_flag 1
  check "4: tray icon once the device registered" 1 "$(tray_icons)"
  stop_host
}

case_session_change() {
  setup_app "ButtonInfo3=$(button_info 04 41 00 00)"
  start_recorder
  start_emulator
  start_host_with_device E8FF0000
  check "1: console disconnect answers 0" "result 0" \
    "$(agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|2|1")"
  wait_device_flag 0
  check "2: the tray icon stays on disconnect" 1 "$(tray_icons)"
  agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|7|1" "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|5|1" >/dev/null
  wait_disconnects 1
  check_lines "3: disconnect closes the channel; lock and logon change nothing" \
"connected
registered #1
mask E8FF0000
mask 00000000
close
unregistered
disconnected" "$(emu_requests)"
  agent "send|$HOST_TITLE|$WM_WTSSESSION_CHANGE|1|1" >/dev/null
  emu "wait-registered 2 5000"
  emu "wait-mask E8FF0000 5000"
  wait_device_flag 1
  rec_mark
  emu "press 4"
  emu "sync"
  check_lines "4: a button works on the reopened channel" \
"key 11 down flags=11 scan=00 extra=0
key 43 down flags=11 scan=00 extra=0
key 11 up flags=91 scan=00 extra=0
key 43 up flags=91 scan=00 extra=0" "$(rec_since)"
  stop_host
}

case_road_of_one_event() {
  setup_app "ButtonInfo3=$(button_info 04 41 00 00)"
  start_recorder
  start_emulator
  start_host_with_device E8FF0000
  emu "press 4"
  emu "sync"
  check_lines "press of button 4 (copy): Ctrl down, C down, Ctrl up, C up" \
"key 11 down flags=11 scan=00 extra=0
key 43 down flags=11 scan=00 extra=0
key 11 up flags=91 scan=00 extra=0
key 43 up flags=91 scan=00 extra=0" "$(rec_since)"
  rec_mark
  emu "release 4"
  emu "sync"
  check_lines "release of button 4: nothing" "" "$(rec_since)"
  check_lines "words read" \
"read 00000008
read 00000008
read 00000000
read 00000000" "$(emu_requests | grep '^read')"
  stop_host
}

# One row per button: what its press and its release send.
case_actions() {
  setup_app \
    "ButtonInfo1=$(button_info 02 01 00 00)" \
    "ButtonInfo2=$(button_info 03 05 02 04)" \
    "ButtonInfo3=$(button_info 04 20 00 00)" \
    "ButtonInfo4=$(button_info 05 30 00 00)" \
    "ButtonInfo5=$(button_info 06 0C 00 00)" \
    "ButtonInfo6=$(button_info 07 05 01 06)"
  start_recorder
  start_emulator
  start_host_with_device FEFF0000
  local -a rows=(
    "1|left button on button 2 (not native)|2|mouse ldown data=0 flags=01 extra=0|mouse lup data=0 flags=01 extra=0"
    "2|key combination Shift+A on button 3|3||key 10 down flags=10 scan=2A extra=0;key 41 down flags=10 scan=1E extra=0;key 41 up flags=90 scan=1E extra=0;key 10 up flags=90 scan=2A extra=0"
    "3|media key play/pause on button 4|4||key B3 down flags=11 scan=00 extra=0;key B3 up flags=91 scan=00 extra=0"
    "4|wheel up on button 5|5||mouse wheel data=120 flags=01 extra=0"
    "5|X button 1 on button 6 (not native)|6|mouse xdown data=1 flags=01 extra=0|mouse xup data=1 flags=01 extra=0"
    "6|key combination Ctrl+C on button 7|7||key 11 down flags=10 scan=1D extra=0;key 43 down flags=10 scan=2E extra=0;key 43 up flags=90 scan=2E extra=0;key 11 up flags=90 scan=1D extra=0"
    "7|native left button on button 1|1||"
  )
  local row number what button on_press on_release
  for row in "${rows[@]}"; do
    IFS='|' read -r number what button on_press on_release <<<"$row"
    rec_mark
    emu "press $button"
    emu "sync"
    check_lines "row $number, $what: press" "${on_press//;/$'\n'}" "$(rec_since)"
    rec_mark
    emu "release $button"
    emu "sync"
    check_lines "row $number, $what: release" "${on_release//;/$'\n'}" "$(rec_since)"
  done
  stop_host
}

case_hscroll() {
  setup_app HScrollWheelSpeed=3
  start_targets
  start_recorder
  start_emulator
  start_host_with_device
  local left right
  left=$(repeat_lines 3 "wwg hscroll code=0 lparam=scrollbar")
  right=$(repeat_lines 3 "wwg hscroll code=1 lparam=scrollbar")
  agent "cursor-to|Target WwG|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "1: tilt left over _WwG: SB_LINELEFT x3 to the scroll bar's parent" "$left" \
    "$(target_lines "Target WwG" wwg)"
  emu "tilt right"
  emu "sync"
  check_lines "2: tilt right over _WwG: SB_LINERIGHT x3" "$right" "$(target_lines "Target WwG" wwg)"
  agent "cursor-to|Target Plain|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "3: tilt left over another class with WS_HSCROLL: plain WM_HSCROLL x3" \
    "$(repeat_lines 3 "plain hscroll code=0 lparam=0")" "$(target_lines "Target Plain" plain)"
  agent "cursor-to|Target Mozilla|60|60" >/dev/null
  emu "tilt left"
  emu "sync"
  check_lines "4: tilt left over MozillaWindowClass: left arrow x3 to the parent" \
    "$(repeat_lines 3 "mozilla keydown vk=25 lparam=014B0001" "mozilla keyup vk=25 lparam=C14B0001")" \
    "$(target_lines "Target Mozilla" mozilla)"
  emu "tilt right"
  emu "sync"
  check_lines "5: tilt right over MozillaWindowClass: right arrow x3" \
    "$(repeat_lines 3 "mozilla keydown vk=27 lparam=014D0001" "mozilla keyup vk=27 lparam=C14D0001")" \
    "$(target_lines "Target Mozilla" mozilla)"
  check_lines "6: no input injected while scrolling by messages" "" "$(rec_since)"
  agent "cursor-to|Target Still|60|60" >/dev/null
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "7: tilt left over nothing scrollable: one wheel notch" \
    "mouse wheel data=120 flags=01 extra=0" "$(rec_since)"
  rec_mark
  emu "tilt right"
  emu "sync"
  check_lines "8: tilt right over nothing scrollable: one notch down" \
    "mouse wheel data=-120 flags=01 extra=0" "$(rec_since)"
  check_lines "9: nothing posted to the still window" "" "$(target_lines "Target Still" still)"
  # Target Excel's scroll bar lies at (40,670)-(340,700) on the screen.
  check "10: cursor over EXCEL7" "cursor 100,580 over class=EXCEL7 root=\"Target Excel\"" \
    "$(agent "cursor-to|Target Excel|60|40")"
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "10: tilt left over EXCEL7: three clicks 5 px inside the scroll bar's left end" \
    "$(repeat_lines 3 "mouse ldown data=0 flags=01 extra=0 at=45,675" "mouse lup data=0 flags=01 extra=0 at=45,675")" \
    "$(rec_since_at)"
  check "10: the cursor is back" "cursor 100,580" "$(agent cursor)"
  rec_mark
  emu "tilt right"
  emu "sync"
  check_lines "11: tilt right over EXCEL7: three clicks 5 px inside its right end" \
    "$(repeat_lines 3 "mouse ldown data=0 flags=01 extra=0 at=335,675" "mouse lup data=0 flags=01 extra=0 at=335,675")" \
    "$(rec_since_at)"
  check "11: the cursor is back" "cursor 100,580" "$(agent cursor)"
  check_lines "10, 11: the clicks reached the scroll bar's arrows" \
    "$(repeat_lines 3 "excel hscroll code=0 lparam=scrollbar" "excel hscroll code=8 lparam=scrollbar")
$(repeat_lines 3 "excel hscroll code=1 lparam=scrollbar" "excel hscroll code=8 lparam=scrollbar")" \
    "$(target_lines "Target Excel" excel)"
  agent "cursor-to|Target Vertical|60|60" >/dev/null
  rec_mark
  emu "tilt left"
  emu "sync"
  check_lines "12: only vertically scrollable: no input" "" "$(rec_since)"
  check_lines "12: only vertically scrollable: no message" "" "$(target_lines "Target Vertical" vertical)"
  stop_host
}

case_autofire() {
  local period_ms=50 hold_ms=1000
  setup_app OTGSpeed=$((period_ms / 10)) "ButtonInfo6=$(button_info 07 18 00 00)"
  start_recorder
  start_emulator
  start_host_with_device
  emu "press 7"
  emu "sleep 300"
  emu "release 7"
  emu "sync"
  check_lines "1: auto-fire held alone sends nothing" "" "$(rec_since)"
  rec_mark
  emu "press 1"
  emu "press 7"
  emu "sleep $hold_ms"
  emu "release 7"
  emu "release 1"
  emu "sync"
  local clicks downs ups
  clicks=$(rec_since)
  downs=$(grep -c '^mouse ldown' <<<"$clicks")
  ups=$(grep -c '^mouse lup' <<<"$clicks")
  [ "$(printf '%s\n' "$clicks" | grep -v '^$' | grep -vcE '^mouse l(down|up) data=0 flags=01 extra=0$')" -eq 0 ] ||
    fail "2: only left clicks expected, got:
$clicks"
  check "3: every press has its release" "$downs" "$ups"
  check_lines "4: clicks alternate down, up" "$(repeat_lines "$downs" "mouse ldown data=0 flags=01 extra=0" "mouse lup data=0 flags=01 extra=0")" "$clicks"
  # The host held the button from reading the press word (buttons 1 and 7) to
  # reading the release of 7. Its timer never fires early; under load it may
  # fire late, so fewer clicks are allowed than fit, never more.
  local pressed released held
  pressed=$(grep ' read 00000041$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  released=$(awk '/ read 00000041$/ { held = 1 } held && / read 00000001$/ { print $1; exit }' \
    "$LOGS/emu.log")
  held=$((released - pressed))
  local most=$((held / period_ms + 1)) least=$((held / period_ms / 2))
  [ "$downs" -ge "$least" ] && [ "$downs" -le "$most" ] ||
    fail "5: $downs clicks while held $held ms at one per $period_ms ms; expected $least..$most"
  note "5: $downs clicks while held $held ms at one per $period_ms ms"
  local first last
  first=$(tail -n +"$((REC_MARK + 1))" "$LOGS/input.log" | grep ' mouse ldown' | head -n 1 | cut -d' ' -f1)
  last=$(tail -n +"$((REC_MARK + 1))" "$LOGS/input.log" | grep ' mouse ldown' | tail -n 1 | cut -d' ' -f1)
  if [ "$downs" -gt 1 ]; then
    local mean=$(((last - first) / (downs - 1)))
    [ "$mean" -ge $((period_ms - 10)) ] || fail "6: clicks every $mean ms, faster than $period_ms ms"
    note "6: clicks every $mean ms on average"
  fi
  rec_mark
  emu "sleep 300"
  emu "sync"
  check_lines "7: nothing after the release" "" "$(rec_since)"
  stop_host
}

case_settings_roundtrip() {
  setup_app HScrollWheelSpeed=4 OTGSpeed=7 MouseColor=5
  start_recorder
  start_emulator
  start_host_with_device
  check_lines "1: the block holds what the host loaded" \
"SwapMouseButtons=0
DoubleClickSpeed=500
WheelScrollLines=3
WheelPageScroll=0
MouseSensitivity=10
SpeedPreset=-1
Acceleration=1
Reserved=-1
HScrollWheelSpeed=4
OTGSpeed=7
MouseColor=5
ButtonInfo0=01010000
ButtonInfo3=040C0000" \
    "$(option get SwapMouseButtons DoubleClickSpeed WheelScrollLines WheelPageScroll MouseSensitivity SpeedPreset Acceleration Reserved HScrollWheelSpeed OTGSpeed MouseColor ButtonInfo0 ButtonInfo3)"
  check "2: system settings applied at start" "double-click=500 swap=0 mouse=6,10,1 wheel=3" \
    "$(agent spi | sed 's/ speed=.*//')"
  local masks
  masks=$(emu_requests | grep -c '^mask')
  option set DoubleClickSpeed=700 SwapMouseButtons=1 WheelScrollLines=7 --notify 0x4C8 >/dev/null ||
    fail "3: Option.exe set failed"
  check "3: 0x4C8 applies the system settings" "double-click=700 swap=1 mouse=6,10,1 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  check "3: 0x4C8 resends the mask (channel open)" "$((masks + 1))" "$(emu_requests | grep -c '^mask')"
  option set Acceleration=0 --notify 0x4C8 >/dev/null || fail "4: Option.exe set failed"
  check "4: acceleration off clears the thresholds" "double-click=700 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  masks=$(emu_requests | grep -c '^mask')
  option set DoubleClickSpeed=300 --notify 0x4C9 >/dev/null || fail "5: Option.exe set failed"
  check "5: 0x4C9 reads only" "double-click=700 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  option set "ButtonInfo3=04410000" --notify 0x4CA >/dev/null || fail "6: Option.exe set failed"
  check "6: 0x4C9 and 0x4CA send no mask" "$masks" "$(emu_requests | grep -c '^mask')"
  rec_mark
  emu "press 4"
  emu "release 4"
  emu "sync"
  check_lines "6: the assignment read by 0x4CA acts on the next press" \
"key 11 down flags=11 scan=00 extra=0
key 43 down flags=11 scan=00 extra=0
key 11 up flags=91 scan=00 extra=0
key 43 up flags=91 scan=00 extra=0" "$(rec_since)"
  option set "ButtonInfo0=01020000" --notify 0x4CB >/dev/null || fail "7: Option.exe set failed"
  emu "wait-mask E9FF0000 5000"
  note "7: 0x4CB sends the new mask E9FF0000"
  check "7: 0x4CB applies the system settings" "double-click=300 swap=1 mouse=0,0,0 wheel=7" \
    "$(agent spi | sed 's/ speed=.*//')"
  option set WheelPageScroll=1 --notify 0x4CB >/dev/null || fail "8: Option.exe set failed"
  # WHEEL_PAGESCROLL (0xFFFFFFFF), as another process reads it back under Wine:
  # a value set without SPIF_UPDATEINIFILE is kept as text and parsed as a
  # signed long there, which clamps it to 2147483647.
  check "8: page scrolling applied as WHEEL_PAGESCROLL" \
    "double-click=300 swap=1 mouse=0,0,0 wheel=2147483647" \
    "$(agent spi | sed 's/ speed=.*//')"
  check_lines "9: the block keeps what Option.exe wrote" \
"DoubleClickSpeed=300
SwapMouseButtons=1
WheelScrollLines=7
WheelPageScroll=1
Acceleration=0
ButtonInfo0=01020000
ButtonInfo3=04410000" \
    "$(option get DoubleClickSpeed SwapMouseButtons WheelScrollLines WheelPageScroll Acceleration ButtonInfo0 ButtonInfo3)"
  check "10: the acceleration values in the registry are cleared" "0 0 0" \
    "$(for v in MouseSpeed MouseThreshold1 MouseThreshold2; do
         "$WINE" reg query 'HKCU\Control Panel\Mouse' /v "$v" 2>/dev/null | tr -d '\r' |
           awk -v v="$v" '$1 == v { print $3 }'
       done | paste -sd' ')"
  stop_host
}

case_removal_arrival() {
  setup_app
  start_emulator
  start_option_window
  start_host_with_device
  wait_device_flag 1
  check "1: tray icon at start" 1 "$(tray_icons)"
  emu "remove"
  emu "sync"
  wait_device_flag 0
  check "2: removal takes the tray icon away" 0 "$(tray_icons)"
  emu "arrive"
  emu "sync 20000"
  wait_device_flag 1
  check "3: arrival brings the tray icon back" 1 "$(tray_icons)"
  check "4: device-ready notices (start, arrival)" 2 "$(grep -c ' notice 0x4E6 ' "$LOGS/option.log")"
  local arrived ready
  arrived=$(grep ' read 00000400$' "$LOGS/emu.log" | head -n 1 | cut -d' ' -f1)
  ready=$(grep ' mask E0FF0000$' "$LOGS/emu.log" | sed -n 2p | cut -d' ' -f1)
  [ -n "$ready" ] || fail "5: no mask after the arrival"
  [ $((ready - arrived)) -ge 7980 ] || fail "5: the ready steps came $((ready - arrived)) ms after the arrival, not 8 s"
  note "5: the ready steps came $((ready - arrived)) ms after the arrival"
  check_lines "6: requests" \
"connected
registered #1
mask E0FF0000
read 00000800
read 00000000
read 00000400
mask E0FF0000
read 00000000" "$(emu_requests)"
  stop_host
}

case_tray_menu() {
  setup_app
  start_emulator
  start_host_with_device
  check "1: one tray icon" 1 "$(tray_icons)"
  agent "tray-click|0|ldbl" >/dev/null
  wait_for "$APP/Option.log" ' started ' 20 || fail "2: a double click did not start Option.exe beside the host"
  agent "wait-window|$OPTION_TITLE|10000" >/dev/null
  note "2: a double click started Option.exe from the host's directory"
  agent "post|$OPTION_TITLE|0x112|0xF020" >/dev/null  # WM_SYSCOMMAND SC_MINIMIZE
  wait_iconic 1 "3: Option.exe's window minimised"
  agent "tray-click|0|ldbl" >/dev/null
  wait_iconic 0 "4: a double click restores the minimised Option.exe"
  check "4: and starts no second copy" "count \"$OPTION_TITLE\" 1" "$(agent "count|$OPTION_TITLE")"
  agent "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x1B" "menu-gone|10000" >/dev/null
  kill -0 "${PIDS[host]}" 2>/dev/null || fail "5: dismissing the menu ended the host"
  note "5: the menu opens on a right click; Escape dismisses it"
  agent "post|$OPTION_TITLE|0x112|0xF020" >/dev/null
  wait_iconic 1 "6: Option.exe's window minimised again"
  # VK_HOME selects the first item, VK_RETURN chooses it.
  agent "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x24|0x0D" "menu-gone|10000" >/dev/null
  wait_iconic 0 "6: the menu's first item restores Option.exe"
  check "6: and starts no second copy" "count \"$OPTION_TITLE\" 1" "$(agent "count|$OPTION_TITLE")"
  # VK_END selects the last item (exit), VK_RETURN chooses it.
  local out
  out=$(agent "watch|$HOST_TITLE" "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x23|0x0D" "wait-exit|20000")
  check "7: exit from the menu: exit code" "exit code=0" "$(grep -o '^exit code=[0-9]*' <<<"$out")"
  wait_exit host 20
  check "7: host exit status" 0 $?
  wait_for "$APP/Option.log" ' close ' 10 || fail "8: Option.exe got no WM_CLOSE at exit"
  note "8: Option.exe closed by the host's exit"
  check "9: no tray icon after exit" 0 "$(tray_icons)"
}

# The tray menu's exit item alone, recorded.
case_tray_exit() {
  setup_app
  start_emulator
  start_host_with_device
  local out
  out=$(agent "watch|$HOST_TITLE" "tray-click|0|rdown" "menu-wait|10000" "menu-key|0x23|0x0D" "wait-exit|20000")
  check "1: exit from the menu: exit code" "exit code=0" "$(grep -o '^exit code=[0-9]*' <<<"$out")"
  wait_exit host 20
  check "1: host exit status" 0 $?
}

# wait_iconic 0|1 WHAT: until Option.exe's window is (not) minimised.
wait_iconic() {
  local deadline=$((SECONDS + 10)) info
  until info=$(agent "find|$OPTION_TITLE") && [[ "$info" == *" iconic=$1 "* ]]; do
    [ $SECONDS -lt $deadline ] || fail "$2: $info"
    sleep 0.1
  done
  note "$2"
}

inner() {
  CURRENT_CASE=$1
  BIN=$2
  LOGS="$CASE_DIR/logs"
  APP="$CASE_DIR/app"
  trap end_case_processes EXIT
  [ -f "$BIN/wine-agent.exe" ] || fail "$BIN/wine-agent.exe is missing: build the mingw-x64 preset first"
  say "case $CURRENT_CASE (DISPLAY=$DISPLAY)"
  SESSION=""
  [[ " ${RECORDED_CASES[*]} " == *" $CURRENT_CASE "* ]] && SESSION="$LOGS/session"
  "case_$CURRENT_CASE"
  [ -z "$SESSION" ] || compare_session
}

# ------------------------------------------------------------- by hand

watch() {
  local work app
  WATCH_WORKFILE=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
  trap 'cleanup "$WATCH_WORKFILE"' EXIT
  prepare "$WATCH_WORKFILE"
  work=$(cat "$WATCH_WORKFILE")
  export WINEPREFIX="$work/prefix"
  app="$work/app"
  mkdir -p "$app"
  for exe in HidHost.exe Option.exe hidhost-driver-emu.exe; do
    [ -f "$BIN/$exe" ] || die "$BIN/$exe is missing: build the mingw-x64 preset first"
  done
  cp "$BIN/HidHost.exe" "$BIN/Option.exe" "$app/"
  [ -f "$BIN/lan.dll" ] && cp "$BIN/lan.dll" "$app/"
  [ -n "${HIDHOST_CONFIG:-}" ] && cp "$HIDHOST_CONFIG" "$app/config.ini"
  cat <<EOT
HidHost.exe runs in $app (DISPLAY=$DISPLAY); config.ini: ${HIDHOST_CONFIG:-none, defaults}.
Type emulator commands: press N, release N, tilt left, tilt right, arrive, remove, mask, quit.
In another shell:  WINEPREFIX=$WINEPREFIX $WINE $app/Option.exe get
                   WINEPREFIX=$WINEPREFIX $WINE $BIN/wine-agent.exe tray "find|$HOST_TITLE" spi
EOT
  # The typed commands go to the emulator; what the host asks of it is shown as it happens.
  "$WINE" "$BIN/hidhost-driver-emu.exe" --log "$(winpath "$work/emu.log")" <&0 &
  local emulator=$!
  local deadline=$((SECONDS + 20))
  until grep -q ' listening$' "$work/emu.log" 2>/dev/null; do
    [ $SECONDS -lt $deadline ] || die "the driver emulator did not start"
    sleep 0.1
  done
  tail -n +1 -f "$work/emu.log" &
  local tailer=$!
  "$WINE" "$app/HidHost.exe" &
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
  list) printf '%s\n' "${CASES[@]}" ;;
  prepare) prepare "${2:?workfile}" ;;
  case) run_case "${2:?case name}" "${3:?workfile}" ;;
  cleanup) cleanup "${2:?workfile}" ;;
  __inner) shift; inner "$@" ;;
  watch)
    if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a bash "$SELF" --bin "$BIN" watch; fi
    watch ;;
  *)
    [ "$command" == all ] && shift
    selected=("$@")
    [ ${#selected[@]} -eq 0 ] && selected=("${CASES[@]}")
    start=$SECONDS
    workfile=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
    trap 'cleanup "$workfile"' EXIT
    prepare "$workfile" || exit 1
    failed=()
    for name in "${selected[@]}"; do run_case "$name" "$workfile" || failed+=("$name"); done
    say "wine: ${#selected[@]} cases, ${#failed[@]} failed, $((SECONDS - start)) s"
    [ ${#failed[@]} -eq 0 ] || { say "failed: ${failed[*]}"; exit 1; }
    ;;
esac
