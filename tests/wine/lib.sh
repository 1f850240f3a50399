# What the Wine stages share (tests/wine/run.sh and its cases, tests/wine/installer.sh,
# tests/win32/run-checks.sh): Wine's settings, the prepared prefix, the processes of one
# check under Xvfb, waiting, checking and how a failure is reported. Sourced, not run;
# the script that sources it may set STAGE (the name its messages start with).

WINE_LIB=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SRC=$(cd "$WINE_LIB/../.." && pwd)
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
BIN=${HIDHOST_WINE_BIN:-$SRC/build/mingw-x64/bin}
export WINEDEBUG=${WINEDEBUG:--all}
# No Mono or Gecko: nothing here needs them, and their installers would stall the boot.
export WINEDLLOVERRIDES="mscoree,mshtml="

# ---- names and numbers of the wire contracts: the build writes them out of
# src/contracts/*.h into contracts.sh at the top of every build folder (the same
# text in each).
for CONTRACTS in ${HIDHOST_CONTRACTS:-} "$BIN/../contracts.sh" "$SRC"/build/*/contracts.sh; do
  [ -f "$CONTRACTS" ] && break
done
[ -f "$CONTRACTS" ] || { printf 'no contracts.sh: configure a build first\n' >&2; exit 1; }
# shellcheck source=/dev/null
. "$CONTRACTS"
HOST_TITLE=$HIDHOST_HOST_WINDOW_TITLE
HOST_CLASS=$HIDHOST_FRAMEWORK_WINDOW_CLASS
OPTION_TITLE=$HIDHOST_CONFIGURATION_WINDOW_TITLE
INSTANCE_MUTEX=$HIDHOST_INSTANCE_MUTEX_NAME
SHARED_MUTEX=$HIDHOST_SHARED_MUTEX_NAME
DEVICE_READY_NOTICE=$HIDHOST_DEVICE_READY_NOTICE
SETTINGS_APPLY_ALL=$HIDHOST_SETTINGS_APPLY_ALL
SETTINGS_RELOAD_1=$HIDHOST_SETTINGS_RELOAD1
SETTINGS_RELOAD_2=$HIDHOST_SETTINGS_RELOAD2
SETTINGS_APPLY_MASK_FIRST=$HIDHOST_SETTINGS_APPLY_MASK_FIRST
# ---- end of the wire contracts
WM_CLOSE=0x10
WM_DEVICECHANGE=0x219
WM_WTSSESSION_CHANGE=0x2B1

say() { printf '%s\n' "$*"; }
die() { printf '%s: %s\n' "${STAGE:-wine}" "$*" >&2; exit 1; }

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
# A template is touched each time it is copied: one unused for a day goes too.
purge_stale_prefixes() {
  local dir
  for dir in "${TMPDIR:-/tmp}"/hidhost-wine.*; do
    [ -d "$dir" ] || continue
    [ -z "$(find "$dir" -maxdepth 3 -newermt '-3 hours' -print -quit 2>/dev/null)" ] || continue
    say "wine: removing the stale prefix $dir"
    rm -rf "$dir"
  done
  for dir in "${TMPDIR:-/tmp}"/hidhost-wine-template.*/; do
    [ -n "$(find "$dir" -maxdepth 0 -mmin +1440 2>/dev/null)" ] && rm -rf "$dir"
  done
}

# boot_prefix DIR LOG: a prefix booted in DIR, ready for programs under Xvfb.
boot_prefix() (
  export WINEPREFIX=$1
  # Without a display: the boot needs none, and windows are made only under Xvfb later.
  if ! DISPLAY= timeout 180 "$WINE" wineboot -i >"$2" 2>&1; then
    cat "$2" >&2
    die "Wine cannot start: 'wine64 wineboot -i' failed (log above)"
  fi
  timeout 60 "$WINESERVER" -w || die "Wine cannot start: the wineserver did not finish the boot"
  # A program that crashes would otherwise wait for ever on the crash dialog.
  DISPLAY= "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
    >>"$2" 2>&1 || die "Wine cannot start: 'wine64 reg add' failed"
  stop_wine
  [ -f "$WINEPREFIX/user.reg" ] || die "Wine cannot start: the prefix has no registry"
)

# The booted prefix is made once and copied for each stage: a copy takes 1 to 5 s,
# a boot 30 to 50 s. Its name holds Wine's version and the boot's steps, so that a
# change to either boots a new one; it has its name only once it is complete.
make_template() {
  local key
  key=$({ "$WINE" --version; declare -f boot_prefix; } 2>/dev/null | md5sum | cut -c1-12)
  TEMPLATE="${TMPDIR:-/tmp}/hidhost-wine-template.$key"
  (
    flock 9
    [ -d "$TEMPLATE" ] && exit 0
    say "wine: booting the prefix template $TEMPLATE"
    rm -rf "$TEMPLATE.new"
    boot_prefix "$TEMPLATE.new" "$TEMPLATE.log" && mv "$TEMPLATE.new" "$TEMPLATE"
  ) 9>"$TEMPLATE.lock" || exit 1
  touch "$TEMPLATE"
}

# prepare_work WORKFILE: a copy of the booted prefix in a new temp dir, whose path
# goes to WORKFILE; the registry as booted is kept beside it in snapshot/.
prepare_work() {
  local workfile=$1 work
  need_tools
  purge_stale_prefixes
  make_template
  work=$(mktemp -d "${TMPDIR:-/tmp}/hidhost-wine.XXXXXX") || die "cannot make a temp dir"
  printf '%s\n' "$work" >"$workfile"
  export WINEPREFIX="$work/prefix"
  cp -a "$TEMPLATE" "$WINEPREFIX" || die "cannot copy the prefix template $TEMPLATE"
  mkdir -p "$work/snapshot" && cp "$WINEPREFIX"/*.reg "$work/snapshot/"
  say "wine: prefix ready in $WINEPREFIX"
}

# cleanup_work WORKFILE: end Wine in that prefix and remove it.
cleanup_work() {
  local workfile=$1 work
  [ -f "$workfile" ] || return 0
  work=$(cat "$workfile")
  export WINEPREFIX="$work/prefix"
  stop_wine
  case "$work" in */hidhost-wine.*) rm -rf "$work" ;; esac
  rm -f "$workfile"
}

# under_xvfb SECONDS COMMAND...: on a display of its own, ended after SECONDS.
# Display numbers spread out: other runs on the machine may pick one at the same moment.
under_xvfb() {
  local limit=$1
  shift
  timeout -k 10 "$limit" xvfb-run -a -n $((100 + RANDOM % 800)) \
    -s "-screen 0 1024x768x24 -nolisten tcp" "$@"
}

# run_in_fresh_prefix SECONDS DIR PROGRAM ARG...: a Windows program of DIR, in a prefix
# of its own under Xvfb; its exit status.
run_in_fresh_prefix() {
  local limit=$1 dir=$2 rc
  shift 2
  RUN_WORKFILE=$(mktemp "${TMPDIR:-/tmp}/hidhost-wine-work.XXXXXX")
  trap 'cleanup_work "$RUN_WORKFILE"' EXIT
  prepare_work "$RUN_WORKFILE" || exit 1
  (cd "$dir" && under_xvfb "$limit" "$WINE" "$@")
  rc=$?
  [ $rc -eq 124 ] && say "FAIL ${STAGE:-wine}: no result within $limit s"
  return $rc
}

# ------------------------------------------------ inside one check, under Xvfb

declare -A PIDS=()
LOGS=""
CURRENT_CASE=""

winpath() { local p=${1//\//\\}; printf 'Z:%s' "$p"; }

# Ends the check. On standard error, so that a failure inside $(...) is seen
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

# poll_until SECONDS COMMAND...: true once COMMAND is, false if SECONDS pass first.
poll_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.05
  done
}

lines_match() { [ -f "$1" ] && [ "$(grep -cE -- "$2" "$1")" -ge "$3" ]; }

# wait_for_lines FILE REGEX [SECONDS] [COUNT]: until COUNT lines of FILE match.
wait_for_lines() { poll_until "${3:-15}" lines_match "$1" "$2" "${4:-1}"; }

# win PROGRAM ARG...: run a Windows program; its output without carriage returns.
win() {
  local out rc
  out=$("$WINE" "$@" 2>>"$LOGS/wine.err")
  rc=$?
  printf '%s' "${out//$'\r'/}"
  return $rc
}

spawn() {
  local name=$1
  shift
  "$@" >"$LOGS/$name.out" 2>&1 &
  PIDS[$name]=$!
}

process_ended() { ! kill -0 "$1" 2>/dev/null; }

# wait_exit NAME [SECONDS]: the exit status of a spawned process, or fail.
wait_exit() {
  local name=$1 limit=${2:-20} pid=${PIDS[$1]} rc
  poll_until "$limit" process_ended "$pid" || fail "$name still running after $limit s"
  wait "$pid"
  rc=$?
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

wait_host_window() { agent "wait-window|$HOST_TITLE|20000" >/dev/null; }

# stop_host [WHAT]: WM_CLOSE to the host window, as its menu does; the host spawned
# as "host" must end with exit code 0.
stop_host() {
  local out after rc
  out=$(agent "watch|$HOST_TITLE" "post|$HOST_TITLE|$WM_CLOSE" "wait-exit|20000")
  check "${1:+$1: }host exit code (seen by Windows)" "0" "$(sed -nE 's/^exit code=([0-9]+).*/\1/p' <<<"$out")"
  after=$(sed -nE 's/.* after=([0-9]+)$/\1/p' <<<"$out")
  wait_exit host 20
  rc=$?
  check "${1:+$1: }host exit status (seen by wine64)" 0 "$rc"
  HOST_TEARDOWN_MS=$after
}

# ------------------------------------- the pieces of the end-to-end cases (cases/)

APP=""
EMU_FD=""
EMU_SEQ=0
REC_MARK=0
SESSION=""  # the folder the host records into; empty: no recording
# The simulator that replays the recorded sessions (the native build's).
SIM=${HIDHOST_SIM:-$SRC/build/native/tools/hidhost-sim/hidhost-sim}

# What a press of a button assigned to copy (action 41) sends: Ctrl down, C down, Ctrl up, C up.
COPY_KEYS="key 11 down flags=11 scan=00 extra=0
key 43 down flags=11 scan=00 extra=0
key 11 up flags=91 scan=00 extra=0
key 43 up flags=91 scan=00 extra=0"

end_case_processes() {
  local name
  [ -n "$EMU_FD" ] && { printf 'quit\n' >&"$EMU_FD"; } 2>/dev/null
  for name in "${!PIDS[@]}"; do kill "${PIDS[$name]}" 2>/dev/null; done
  "$WINESERVER" -k >/dev/null 2>&1
}

lines_of() { [ -f "$1" ] && cut -d' ' -f2- "$1"; }

# ini_value KEY: the value in config.ini, as the profile functions read it.
ini_value() {
  [ -f "$APP/config.ini" ] || return 0
  tr -d '\r' <"$APP/config.ini" | awk -F= -v key="$1" \
    'tolower($1) == tolower(key) { sub(/^[^=]*=/, ""); print; exit }'
}

device_flag_is() { [ "$(ini_value Device)" == "$1" ]; }

wait_device_flag() {
  poll_until 10 device_flag_is "$1" || fail "config.ini: Device should be $1, is [$(ini_value Device)]"
  note "config.ini Device=$1"
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
  wait_for_lines "$LOGS/emu.log" ' listening$' 20 || fail "the driver emulator did not start"
}

# emu COMMAND...: one script line for the emulator, done when this returns.
emu() {
  EMU_SEQ=$((EMU_SEQ + 1))
  local errors
  errors=$(grep -c ' error ' "$LOGS/emu.log")
  printf '%s\necho done %s\n' "$*" "$EMU_SEQ" >&"$EMU_FD"
  wait_for_lines "$LOGS/emu.log" " echo done $EMU_SEQ\$" 40 || fail "emulator: '$*' did not finish"
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
  wait_for_lines "$LOGS/emu.log" ' disconnected connection=' 10 "$1" ||
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

# Host started with the emulator: the channel is open once the mask has arrived.
start_host_with_device() {
  start_host
  emu "wait-registered 1 20000"
  emu "wait-mask ${1:-E0FF0000} 10000"
  wait_host_window
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

start_option_window() {
  spawn option "$WINE" "$APP/Option.exe" window --log "$(winpath "$LOGS/option.log")"
  wait_for_lines "$LOGS/option.log" ' started ' 20 || fail "Option.exe did not open its window"
}

option() { win "$APP/Option.exe" "$@"; }

start_targets() {
  spawn targets "$WINE" "$BIN/wine-targets.exe" --log "$(winpath "$LOGS/targets.log")" "$@"
  wait_for_lines "$LOGS/targets.log" ' ready$' 20 || fail "wine-targets did not open its windows"
}

start_recorder() {
  spawn recorder "$WINE" "$BIN/wine-recorder.exe" --out "$(winpath "$LOGS/input.log")"
  wait_for_lines "$LOGS/input.log" ' ready$' 20 || fail "wine-recorder did not install its hooks"
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
  wait_for_lines "$LOGS/targets.log" " $2 marker $seq\$" 10 || fail "$1 did not see marker $seq"
  tail -n +"$((${from:-1} + 1))" "$LOGS/targets.log" | cut -d' ' -f2- | grep "^$2 " |
    grep -v " marker $seq\$"
}

tray_icons() { agent tray | sed -nE 's/^tray icons=//p'; }

repeat_lines() {
  local n=$1 line
  shift
  for ((i = 0; i < n; i++)); do for line in "$@"; do printf '%s\n' "$line"; done; done
}
