#!/usr/bin/env bash
# Screenshots of Option.exe's pages as a person sees them: under Xvfb, in a
# Wine virtual desktop, at 100 % and 150 % scale, with HidHost.exe and the
# driver emulator running so that the window shows a connected mouse.
#
#   scripts/screenshots.sh [--bin DIR] [--out DIR]
#
# DIR defaults to build/mingw-x64/bin (a mingw-x64 build with the emulated
# driver); the PNGs go to docs/ as option-<page>-<scale>.png.
set -euo pipefail

SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=$SRC/build/mingw-x64/bin
OUT=$SRC/docs
while [ $# -gt 0 ]; do
  case $1 in
    --bin) BIN=$(cd "$2" && pwd); shift 2 ;;
    --out) OUT=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
    *) echo "usage: $0 [--bin DIR] [--out DIR]" >&2; exit 1 ;;
  esac
done
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
for tool in xvfb-run import "$WINE"; do
  command -v "$tool" >/dev/null || { echo "need $tool (apt-get install xvfb xauth imagemagick fonts-wine wine64)" >&2; exit 1; }
done
for exe in Option.exe HidHost.exe hidhost-driver-emu.exe; do
  [ -f "$BIN/$exe" ] || { echo "$BIN/$exe is missing: build the mingw-x64 preset" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/hidhost-shots.XXXXXX)
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  rm -rf "$WORK"
}
trap cleanup EXIT

"$WINE" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
APP=$WINEPREFIX/drive_c/HidHost
mkdir -p "$APP"
# The caption buttons' glyphs, where the prefix looks for them first.
[ -f /usr/share/wine/fonts/marlett.ttf ] && cp /usr/share/wine/fonts/marlett.ttf "$WINEPREFIX/drive_c/windows/Fonts/"
cp "$BIN/Option.exe" "$BIN/HidHost.exe" "$APP/"
[ -f "$BIN/lan.dll" ] && cp "$BIN/lan.dll" "$APP/"

# One run of the desktop: the emulator, the host, then WHAT in the virtual desktop.
shoot() {
  local dpi=$1 name=$2 size=$3
  shift 3
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w
  xvfb-run -a -s "-screen 0 1600x1000x24" bash -c '
    set -u
    APP=$1 OUTFILE=$2 SIZE=$3 BIN=$4 WINE=$5
    shift 5
    mkfifo "$APP/../emu.fifo"
    "$WINE" "$BIN/hidhost-driver-emu.exe" <"$APP/../emu.fifo" >/dev/null 2>&1 &
    exec 7>"$APP/../emu.fifo"
    sleep 2
    # In the virtual desktop too: windows find each other only on one desktop.
    "$WINE" explorer /desktop=shot,$SIZE "C:\\HidHost\\HidHost.exe" >/dev/null 2>&1 &
    sleep 5
    "$WINE" explorer /desktop=shot,$SIZE "$@" >/dev/null 2>&1 &
    sleep 6
    import -window root -crop "$SIZE+0+0" +repage "$OUTFILE"
    exec 7>&-
  ' shoot "$APP" "$OUT/$name.png" "$size" "$BIN" "$WINE" "$@"
  rm -f "$APP/../emu.fifo"
  "$WINESERVER" -k >/dev/null 2>&1 || true
  echo "$OUT/$name.png"
}

PAGES=(buttons pointer device profiles)
for scale in 100:96:900x560 150:144:1300x800; do
  IFS=: read -r percent dpi size <<<"$scale"
  for page in 0 1 2 3; do
    shoot "$dpi" "option-${PAGES[$page]}-$percent" "$size" "C:\\HidHost\\Option.exe" window --page "$page" --log "C:\\option.log"
  done
done
