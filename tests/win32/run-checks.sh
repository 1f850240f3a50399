#!/usr/bin/env bash
# Runs hidhost-win32-checks.exe under Wine in a fresh, throw-away prefix.
#
#   run-checks.sh [BIN]   BIN: the bin directory of a mingw-x64 build
#                         (default build/mingw-x64/bin)
#
# The checks make top-level windows, so they run under Xvfb. Exit status is
# the program's: 0 when every check held.
set -uo pipefail

SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
BIN=${1:-$SRC/build/mingw-x64/bin}
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
[ -x "$BIN/hidhost-win32-checks.exe" ] || { echo "no $BIN/hidhost-win32-checks.exe" >&2; exit 2; }

WORK=$(mktemp -d "${TMPDIR:-/tmp}/hidhost-win32-checks.XXXXXX")
export WINEPREFIX="$WORK/prefix" WINEDEBUG=${WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1
  timeout 30 "$WINESERVER" -w >/dev/null 2>&1
  rm -rf "$WORK"
}
trap cleanup EXIT

DISPLAY= timeout 180 "$WINE" wineboot -i >"$WORK/wineboot.log" 2>&1 || {
  cat "$WORK/wineboot.log" >&2
  exit 2
}
"$WINESERVER" -w
# A crash must end the program, not wait on a dialog nobody sees.
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
"$WINESERVER" -k
"$WINESERVER" -w

cd "$BIN" || exit 2
timeout 120 xvfb-run -a "$WINE" hidhost-win32-checks.exe
