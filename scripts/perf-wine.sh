#!/usr/bin/env bash
# Measures HidHost.exe under Wine: start-up time to its window (and to the
# end of its start-up), tear-down time from WM_CLOSE to exit, peak resident
# set of its Wine process, and the context switches of its threads over an
# idle period; then the latency of a button press through the host. Scenarios:
#   no-driver    the driver cannot be reached (no notification icon)
#   driver       the driver emulator serves: the host opens it and shows its icon
#   driver-no-wm the same on a bare X server without a window manager, where
#                Wine's X11 driver waits 2 s for a window manager to withdraw
#                the removed icon's window before Shell_NotifyIcon(NIM_DELETE)
#                returns: shown so that this wait is not taken for the host's
#   latency      N presses (and releases) of a button assigned to X button 1,
#                one injected input each: from the emulator releasing the
#                host's semaphore (and from it answering the read) to a
#                low-level hook in another process seeing the event; then the
#                emulator's own part alone, the same words read by a bare
#                client. Stamps are QueryPerformanceCounter values of the
#                three processes, which share one clock under one wineserver
#                (checked: a stamp taken in the emulator between a client's
#                two stamps must fall between them, every time)
#
#   scripts/perf-wine.sh [--runs N] [--idle SECONDS] [--presses N] [--build DIR]
#
# --runs 0 skips the start-up scenarios and measures the latency alone.
# HIDHOST_PERF_KEEP=DIR keeps the latency logs and the paired stamps
# (host.rows: word, queued, word, read, event, hook; client.rows: word,
# queued, word, read, word, sent, got) in DIR.
#
# Needs the mingw-x64 build (HidHost.exe with the emulated driver,
# hidhost-driver-emu.exe, wine-recorder.exe and wine-driver-client.exe in
# DIR/bin, default build/mingw-x64), wine64, xvfb,
# evilwm (a small window manager; installed when missing and run as root) and
# the posix mingw compiler (for the small timing program). Runs itself under
# xvfb-run in a fresh Wine prefix that it removes at the end.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=3
IDLE=10
PRESSES=250
SETTLE=2
BUILD="$ROOT/build/mingw-x64"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --idle) IDLE=$2; shift 2 ;;
    --presses) PRESSES=$2; shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--idle SECONDS] [--presses N] [--build DIR]" >&2; exit 2 ;;
  esac
done

if [[ -z "${HIDHOST_PERF_UNDER_XVFB:-}" ]]; then
  if ! command -v evilwm >/dev/null && [[ $(id -u) -eq 0 ]]; then
    echo "# installing evilwm (a window manager for the Xvfb display)"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends evilwm >/dev/null ||
      echo "# evilwm could not be installed: the driver scenario runs without a window manager" >&2
  fi
  # A top-level window under Wine needs a display; the tray icon needs X.
  exec env HIDHOST_PERF_UNDER_XVFB=1 xvfb-run -a "$0" --runs "$RUNS" --idle "$IDLE" \
    --presses "$PRESSES" --build "$BUILD"
fi

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# No Mono or Gecko: the host needs neither, and their installers would stall the boot.
export WINEDLLOVERRIDES="mscoree,mshtml="
HOST_EXE="$BUILD/bin/HidHost.exe"
EMU_EXE="$BUILD/bin/hidhost-driver-emu.exe"
RECORDER_EXE="$BUILD/bin/wine-recorder.exe"
CLIENT_EXE="$BUILD/bin/wine-driver-client.exe"
for f in "$HOST_EXE" "$EMU_EXE" "$RECORDER_EXE" "$CLIENT_EXE"; do
  [[ -f "$f" ]] || { echo "missing $f: build the mingw-x64 preset first" >&2; exit 2; }
done

WORK=$(mktemp -d /tmp/hidhost-perf.XXXXXX)
export WINEPREFIX="$WORK/prefix"
# Only the session-registration stub speaks: one line per call it gets.
export WINEDEBUG=-all,fixme+wtsapi
WM_PID=
start_wm() {
  command -v evilwm >/dev/null || { echo "# no window manager (evilwm missing)"; return 0; }
  evilwm -fn fixed >/dev/null 2>&1 &
  WM_PID=$!
  sleep 0.5
}
stop_wm() {
  [[ -n "$WM_PID" ]] || return 0
  kill "$WM_PID" 2>/dev/null || true
  wait "$WM_PID" 2>/dev/null || true
  WM_PID=
}
cleanup() {
  stop_wm
  "$WINESERVER" -k 2>/dev/null || true
  timeout 30 "$WINESERVER" -w 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

# The timing program: one Wine process that starts the host and watches it.
TIMER_EXE="$WORK/hidhost-timer.exe"
x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -Werror -DWIN32_LEAN_AND_MEAN -static \
  -o "$TIMER_EXE" "$ROOT/bench/wine/HostTimer.cpp"

echo "# preparing a fresh Wine prefix"
# Without a display: the boot needs none.
DISPLAY= timeout 180 "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || {
  cat "$WORK/wineboot.log" >&2
  exit 1
}
timeout 60 "$WINESERVER" -w
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINESERVER" -k
timeout 30 "$WINESERVER" -w
sleep 1  # a window made within about a second of the boot can fail

DRIVE_C="$WINEPREFIX/drive_c"
mkdir -p "$DRIVE_C/HidHost" "$DRIVE_C/perf"
cp "$HOST_EXE" "$DRIVE_C/HidHost/HidHost.exe"
# The string library sits beside the host when it is installed.
if [[ -f "$BUILD/bin/lan.dll" ]]; then cp "$BUILD/bin/lan.dll" "$DRIVE_C/HidHost/"; fi
cp "$EMU_EXE" "$TIMER_EXE" "$RECORDER_EXE" "$CLIENT_EXE" "$DRIVE_C/perf/"

# Waits up to $2 seconds for the file $1 to hold a line matching $3.
wait_for_line() {
  local file=$1 seconds=$2 pattern=$3 i
  for ((i = 0; i < seconds * 20; ++i)); do
    if [[ -f "$file" ]] && grep -q -- "$pattern" "$file"; then return 0; fi
    sleep 0.05
  done
  return 1
}

# The Unix pid of the Wine process that runs HidHost.exe in this prefix.
host_pid() {
  local p
  for p in /proc/[0-9]*; do
    [[ "$(cat "$p/comm" 2>/dev/null)" == "HidHost.exe" ]] || continue
    tr '\0' '\n' 2>/dev/null <"$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX" || continue
    echo "${p#/proc/}"
    return 0
  done
  return 1
}

# "tid comm switches" for every thread of the process, switches being
# voluntary plus involuntary context switches so far.
thread_switches() {
  local t
  for t in /proc/"$1"/task/*; do
    awk -v tid="${t##*/}" -v comm="$(tr ' ' '_' <"$t/comm")" \
      '/^(non)?voluntary_ctxt_switches/ { s += $2 } END { print tid, comm, s }' "$t/status"
  done
}

status_kb() { awk -v key="$2:" '$1 == key { print $2 }' "/proc/$1/status"; }

median() { sort -n | awk '{ v[NR] = $1 } END { if (NR % 2) print v[(NR + 1) / 2]; else printf "%.1f\n", (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
minmax() { sort -n | awk 'NR == 1 { lo = $1 } { hi = $1 } END { print lo "-" hi }'; }

RESULTS="$WORK/results"
: >"$RESULTS"

# One start, idle period and close of the host; appends a results line.
measure_run() {
  local scenario=$1 run=$2
  local out="$WORK/timer-$scenario-$run.out" err="$WORK/timer-$scenario-$run.err"
  rm -f "$DRIVE_C/perf/close"
  "$WINE" 'C:\perf\hidhost-timer.exe' 'C:\HidHost\HidHost.exe' 'C:\perf\close' >"$out" 2>"$err" &
  local timer=$!
  if ! wait_for_line "$out" 90 '^ready'; then
    echo "run $scenario/$run: the host did not come up" >&2
    cat "$out" "$err" >&2
    return 1
  fi
  local pid
  pid=$(host_pid) || { echo "run $scenario/$run: no HidHost.exe process" >&2; return 1; }

  sleep "$SETTLE"
  thread_switches "$pid" | sort >"$WORK/before"
  sleep "$IDLE"
  thread_switches "$pid" | sort >"$WORK/after"
  local hwm rss
  hwm=$(status_kb "$pid" VmHWM)
  rss=$(status_kb "$pid" VmRSS)

  touch "$DRIVE_C/perf/close"
  wait "$timer" || true
  if ! grep -q '^exit' "$out"; then
    echo "run $scenario/$run: no exit" >&2
    cat "$out" >&2
    return 1
  fi

  local window ready exit_ms code registrations
  window=$(awk -F'ms=' '/^window/ { print $2 }' "$out")
  ready=$(awk -F'ms=' '/^ready/ { print $2 }' "$out")
  exit_ms=$(awk '/^exit/ { sub("ms=", "", $2); print $2 }' "$out")
  code=$(awk '/^exit/ { sub("code=", "", $3); print $3 }' "$out")
  registrations=$(grep -c 'WTSRegisterSessionNotification' "$err" || true)

  # Per thread: switches during the idle period (threads that ended or began count from 0).
  local per_thread total
  per_thread=$(join -a 2 -e 0 -o '2.1,2.2,1.3,2.3' "$WORK/before" "$WORK/after" |
    awk -v main="$pid" '{ printf "%s%s:%s=%d", sep, $1, ($1 == main ? "window_thread" : $2), $4 - $3; sep = " " }')
  total=$(join -a 2 -e 0 -o '1.3,2.3' "$WORK/before" "$WORK/after" | awk '{ s += $2 - $1 } END { print s + 0 }')

  printf '%s run=%s window_ms=%s ready_ms=%s exit_ms=%s exit_code=%s vmhwm_kb=%s vmrss_kb=%s idle_switches=%s session_registrations=%s threads=[%s]\n' \
    "$scenario" "$run" "$window" "$ready" "$exit_ms" "$code" "$hwm" "$rss" "$total" \
    "$registrations" "$per_thread" | tee -a "$RESULTS"
}

summarize() {
  local scenario=$1 field
  for field in window_ms ready_ms exit_ms vmhwm_kb idle_switches; do
    local values
    values=$(grep "^$scenario " "$RESULTS" | tr ' ' '\n' | awk -F= -v k="$field" '$1 == k { print $2 }')
    printf '%-13s %-14s median=%-9s range=%s\n' "$scenario" "$field" \
      "$(median <<<"$values")" "$(minmax <<<"$values")"
  done
}

echo "# machine: $(lscpu | awk -F: '/Model name/ { gsub(/^ +/, "", $2); print $2 }'), $(nproc) cores, $(. /etc/os-release && echo "$PRETTY_NAME"), $("$WINE" --version)"
echo "# runs=$RUNS idle=${IDLE}s (after ${SETTLE}s to settle)"

if ((RUNS > 0)); then
  start_wm
  echo "# scenario no-driver: the driver cannot be reached"
  for ((run = 1; run <= RUNS; ++run)); do measure_run no-driver "$run"; done

  echo "# scenario driver: the driver emulator serves; the host opens it and shows its icon"
  "$WINE" 'C:\perf\hidhost-driver-emu.exe' --log 'C:\perf\emu.log' </dev/null \
    >"$WORK/emu.out" 2>&1 &
  EMU=$!
  wait_for_line "$DRIVE_C/perf/emu.log" 60 'listening' || { echo "the driver emulator did not start" >&2; exit 1; }
  for ((run = 1; run <= RUNS; ++run)); do measure_run driver "$run"; done

  echo "# scenario driver-no-wm: as driver, with the window manager gone"
  stop_wm
  for ((run = 1; run <= RUNS; ++run)); do measure_run driver-no-wm "$run"; done
  echo "# driver emulator: $(grep -c 'register pid=' "$DRIVE_C/perf/emu.log" || true) registrations accepted"
  kill "$EMU" 2>/dev/null || true

  echo "# summary"
  summarize no-driver
  summarize driver
  summarize driver-no-wm
fi

# --- latency of a button press -------------------------------------------

# button_info B0 B1 B2 B3: a profile entry with its checksum.
button_info() {
  printf '%02X%02X%02X%02X%02X' "0x$1" "0x$2" "0x$3" "0x$4" $(((0x$1 + 0x$2 + 0x$3 + 0x$4) & 0xFF))
}

# The host's settings for the latency runs: button 6 does X button 1, which
# is not its own function, so the host sends one injected input per word
# (down on the press, up on the release) and nothing else.
write_latency_config() {
  {
    printf '[Setting]\r\n'
    printf '%s\r\n' HScrollWheelSpeed=3 MainSens=10 XYSensFlag=1 XSens=10 YSens=10 OTFStatus=1 \
      DpiValue0=6 DpiValue1=12 DpiValue2=1 PRValue=3 OTGSpeed=10 LightSwitch=1 LightEffectType=0 \
      MouseColor=0 Device=0 \
      "ButtonInfo0=$(button_info 01 01 00 00)" "ButtonInfo1=$(button_info 02 02 00 00)" \
      "ButtonInfo2=$(button_info 03 03 00 00)" "ButtonInfo3=$(button_info 04 0C 00 00)" \
      "ButtonInfo4=$(button_info 05 0B 00 00)" "ButtonInfo5=$(button_info 06 0C 00 00)" \
      "ButtonInfo6=$(button_info 07 10 00 00)"
  } >"$DRIVE_C/HidHost/config.ini"
}

# The emulator's script: once a client has registered, PRESSES presses and
# releases of button 6, 20 ms apart (each is done long before the next).
write_press_script() {
  local i
  {
    echo "wait-registered 1 60000"
    echo "sleep ${1:-0}"
    for ((i = 0; i < PRESSES; ++i)); do printf 'press 6\nsleep 20\nrelease 6\nsleep 20\n'; done
    echo "sleep 500"
    echo "echo presses-done"
  } >"$WORK/presses.script"
}

# start_latency_emulator LOG: the emulator with counter stamps, fed the press script.
start_latency_emulator() {
  "$WINE" 'C:\perf\hidhost-driver-emu.exe' --qpc --log "C:\\perf\\$1" <"$WORK/presses.script" \
    >"$WORK/$1.out" 2>&1 &
  EMU=$!
  wait_for_line "$DRIVE_C/perf/$1" 60 ' listening' || { echo "the driver emulator did not start" >&2; exit 1; }
}

stop_latency_emulator() {
  kill "$EMU" 2>/dev/null || true
  wait "$EMU" 2>/dev/null || true
}

qpc_frequency() { sed -nE 's/.*clock qpc-frequency=([0-9]+).*/\1/p' "$1" | head -n 1; }

# "WORD QPC" for each word the emulator queued (its semaphore released) or
# handed over in a read answer, in log order (the queue is first in, first out).
emu_words() { sed -nE "s/^[0-9]+ $2 ([0-9A-F]{8}) qpc=([0-9]+)$/\1 \2/p" "$1"; }

# stats NAME FREQUENCY: min, median, p99 (nearest rank) and max of counter
# intervals on standard input, in milliseconds.
stats() {
  sort -n | awk -v name="$1" -v f="$2" '
    { v[NR] = $1 }
    END {
      if (NR == 0) { print name ": no samples"; exit 1 }
      p99 = int(NR * 0.99); if (p99 < NR * 0.99) ++p99
      med = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
      printf "%-34s n=%d min=%.3f median=%.3f p99=%.3f max=%.3f ms\n", name, NR,
        v[1] * 1000 / f, med * 1000 / f, v[p99] * 1000 / f, v[NR] * 1000 / f
    }'
}

median_ms() { sort -n | awk -v f="$1" '{ v[NR] = $1 } END { printf "%.3f", ((NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) * 1000 / f }'; }

latency_fail() {
  echo "latency: $*" >&2
  exit 1
}

measure_latency() {
  local expected=$((PRESSES * 2)) seconds=$((120 + PRESSES / 2))
  write_latency_config
  write_press_script 2000

  echo "# latency: $PRESSES presses of button 6 (X button 1) through the host"
  "$WINE" 'C:\perf\wine-recorder.exe' --out 'C:\perf\input.log' --qpc >"$WORK/recorder.out" 2>&1 &
  local recorder=$!
  wait_for_line "$DRIVE_C/perf/input.log" 60 ' ready' || latency_fail "wine-recorder did not install its hooks"
  start_latency_emulator host-emu.log
  rm -f "$DRIVE_C/perf/close"
  "$WINE" 'C:\perf\hidhost-timer.exe' 'C:\HidHost\HidHost.exe' 'C:\perf\close' >"$WORK/latency-timer.out" 2>&1 &
  local timer=$!
  wait_for_line "$DRIVE_C/perf/host-emu.log" "$seconds" ' echo presses-done' ||
    latency_fail "the presses did not finish in $seconds s"
  touch "$DRIVE_C/perf/close"
  wait "$timer" || true
  stop_latency_emulator
  kill "$recorder" 2>/dev/null || true
  wait "$recorder" 2>/dev/null || true

  echo "# latency: the emulator alone, the same words read by a bare client"
  write_press_script 500
  start_latency_emulator client-emu.log
  "$WINE" 'C:\perf\wine-driver-client.exe' open "timed-wait-read|$expected" >"$WORK/client.out" 2>&1 ||
    latency_fail "wine-driver-client: $(tail -n 1 "$WORK/client.out")"
  wait_for_line "$DRIVE_C/perf/client-emu.log" 60 ' echo presses-done' || latency_fail "the client run did not finish"
  stop_latency_emulator

  local f
  f=$(qpc_frequency "$DRIVE_C/perf/host-emu.log")
  [[ -n "$f" && "$f" == "$(qpc_frequency "$DRIVE_C/perf/input.log")" &&
    "$f" == "$(qpc_frequency "$WORK/client.out")" ]] ||
    latency_fail "the three processes report different counter frequencies"

  # One row per word: word queued-qpc read-qpc hook-event hook-qpc.
  local host_rows="$WORK/host.rows" client_rows="$WORK/client.rows"
  sed -nE 's/^[0-9]+ mouse (xdown|xup) .* qpc=([0-9]+)$/\1 \2/p' "$DRIVE_C/perf/input.log" >"$WORK/hook.cols"
  paste -d' ' <(emu_words "$DRIVE_C/perf/host-emu.log" queued) <(emu_words "$DRIVE_C/perf/host-emu.log" read) \
    "$WORK/hook.cols" >"$host_rows"
  # The client writes to a console: its lines end in CR LF.
  tr -d '\r' <"$WORK/client.out" | sed -nE 's/^word ([0-9A-F]{8}) sent=([0-9]+) got=([0-9]+)$/\1 \2 \3/p' \
    >"$WORK/client.cols"
  paste -d' ' <(emu_words "$DRIVE_C/perf/client-emu.log" queued) <(emu_words "$DRIVE_C/perf/client-emu.log" read) \
    "$WORK/client.cols" >"$client_rows"

  # Every word must be matched by its own event, in order, and no stamp may
  # come before the one that caused it: else the figures would pair the wrong
  # lines (or the clocks would disagree) and are not printed.
  awk -v n="$expected" '
    NF != 6 || $1 != $3 || ($1 == "00000020") != ($5 == "xdown") || ($1 != "00000020" && $1 != "00000000") {
      bad = "row " NR ": " $0; exit }
    $4 < $2 || $6 < $4 { bad = "row " NR " out of order: " $0; exit }
    END { if (bad == "" && NR != n) bad = NR " rows for " n " words"; if (bad != "") { print bad; exit 1 } }' \
    "$host_rows" >"$WORK/host.check" || latency_fail "host run: $(cat "$WORK/host.check")"
  awk -v n="$expected" '
    NF != 7 || $1 != $3 || $1 != $5 { bad = "row " NR ": " $0; exit }
    $4 < $2 || $6 > $4 || $7 < $4 { bad = "row " NR " out of order: " $0; exit }
    END { if (bad == "" && NR != n) bad = NR " rows for " n " words"; if (bad != "") { print bad; exit 1 } }' \
    "$client_rows" >"$WORK/client.check" || latency_fail "client run: $(cat "$WORK/client.check")"
  echo "# clock check: counter frequency $f Hz in all three processes; in all $expected reads the emulator's stamp fell between the client's two"

  echo "# latency summary (ms; press and release together, $expected words)"
  awk '{ print $6 - $2 }' "$host_rows" | stats "signal -> hook (host run)" "$f"
  awk '$5 == "xdown" { print $6 - $2 }' "$host_rows" | stats "  presses only" "$f"
  awk '$5 == "xup" { print $6 - $2 }' "$host_rows" | stats "  releases only" "$f"
  awk '{ print $4 - $2 }' "$host_rows" | stats "signal -> read asked (host run)" "$f"
  awk '{ print $6 - $4 }' "$host_rows" | stats "read answered -> hook (host run)" "$f"
  awk '{ print $7 - $2 }' "$client_rows" | stats "signal -> word in client (alone)" "$f"
  awk '{ print $4 - $2 }' "$client_rows" | stats "signal -> read asked (alone)" "$f"
  awk '{ print $7 - $6 }' "$client_rows" | stats "read round trip (alone)" "$f"
  if [[ -n "${HIDHOST_PERF_KEEP:-}" ]]; then
    mkdir -p "$HIDHOST_PERF_KEEP"
    cp "$host_rows" "$client_rows" "$DRIVE_C/perf/"*.log "$HIDHOST_PERF_KEEP/"
  fi
  local whole alone
  whole=$(awk '{ print $6 - $2 }' "$host_rows" | median_ms "$f")
  alone=$(awk '{ print $7 - $2 }' "$client_rows" | median_ms "$f")
  echo "host's share (median signal -> hook minus median signal -> word alone): $(awk -v a="$whole" -v b="$alone" 'BEGIN { printf "%.3f", a - b }') ms"
}

start_wm
measure_latency
stop_wm
