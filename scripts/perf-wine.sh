#!/usr/bin/env bash
# Measures HidHost.exe under Wine: start-up time to its window (and to the
# end of its start-up), tear-down time from WM_CLOSE to exit, peak resident
# set of its Wine process, and the context switches of its threads over an
# idle period. Scenarios:
#   no-driver    the driver cannot be reached (no notification icon)
#   driver       the driver emulator serves: the host opens it and shows its icon
#   driver-no-wm the same on a bare X server without a window manager, where
#                Wine's X11 driver waits 2 s for a window manager to withdraw
#                the removed icon's window before Shell_NotifyIcon(NIM_DELETE)
#                returns: shown so that this wait is not taken for the host's
#
#   scripts/perf-wine.sh [--runs N] [--idle SECONDS] [--build DIR]
#
# Needs the mingw-x64 build (HidHost.exe with the emulated driver and
# hidhost-driver-emu.exe in DIR/bin, default build/mingw-x64), wine64, xvfb,
# evilwm (a small window manager; installed when missing and run as root) and
# the posix mingw compiler (for the small timing program). Runs itself under
# xvfb-run in a fresh Wine prefix that it removes at the end.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
RUNS=3
IDLE=10
SETTLE=2
BUILD="$ROOT/build/mingw-x64"
while [[ $# -gt 0 ]]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --idle) IDLE=$2; shift 2 ;;
    --build) BUILD=$2; shift 2 ;;
    *) echo "usage: $0 [--runs N] [--idle SECONDS] [--build DIR]" >&2; exit 2 ;;
  esac
done

if [[ -z "${HIDHOST_PERF_UNDER_XVFB:-}" ]]; then
  if ! command -v evilwm >/dev/null && [[ $(id -u) -eq 0 ]]; then
    echo "# installing evilwm (a window manager for the Xvfb display)"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends evilwm >/dev/null ||
      echo "# evilwm could not be installed: the driver scenario runs without a window manager" >&2
  fi
  # A top-level window under Wine needs a display; the tray icon needs X.
  exec env HIDHOST_PERF_UNDER_XVFB=1 xvfb-run -a "$0" --runs "$RUNS" --idle "$IDLE" --build "$BUILD"
fi

WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
# No Mono or Gecko: the host needs neither, and their installers would stall the boot.
export WINEDLLOVERRIDES="mscoree,mshtml="
HOST_EXE="$BUILD/bin/HidHost.exe"
EMU_EXE="$BUILD/bin/hidhost-driver-emu.exe"
for f in "$HOST_EXE" "$EMU_EXE"; do
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
cp "$EMU_EXE" "$TIMER_EXE" "$DRIVE_C/perf/"

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
