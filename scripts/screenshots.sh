#!/usr/bin/env bash
# Screenshots of Option.exe's pages as a person sees them: under Xvfb, in a
# Wine virtual desktop, at 100 % and 150 % scale, with HidHost.exe and the
# driver emulator running so that the window shows a connected mouse.
#
#   scripts/screenshots.sh [--bin DIR] [--out DIR] [--option EXE] [--one NAME WxH]
#
# DIR defaults to build/mingw-x64/bin (a mingw-x64 build with the emulated
# driver); the PNGs go to docs/ as option-<page>-<scale>.png. --option
# photographs another Option.exe (an earlier build) beside DIR's host; --one
# takes a single shot at 100 % of the window as it opens, in a desktop of
# W x H pixels, as option-NAME-100.png.
set -euo pipefail

SRC=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BIN=$SRC/build/mingw-x64/bin
OUT=$SRC/docs
OPTION="" ONE="" ONE_SIZE=""
while [ $# -gt 0 ]; do
  case $1 in
    --bin) BIN=$(cd "$2" && pwd); shift 2 ;;
    --out) OUT=$(mkdir -p "$2" && cd "$2" && pwd); shift 2 ;;
    --option) OPTION=$(realpath "$2"); shift 2 ;;
    --one) ONE=$2 ONE_SIZE=$3; shift 3 ;;
    *) echo "usage: $0 [--bin DIR] [--out DIR] [--option EXE] [--one NAME WxH]" >&2; exit 1 ;;
  esac
done
WINE=${WINE:-/usr/lib/wine/wine64}
WINESERVER=${WINESERVER:-/usr/lib/wine/wineserver}
for tool in Xvfb import "$WINE"; do
  command -v "$tool" >/dev/null || { echo "need $tool (apt-get install xvfb xauth imagemagick fonts-wine wine64)" >&2; exit 1; }
done
for exe in Option.exe HidHost.exe hidhost-driver-emu.exe; do
  [ -f "$BIN/$exe" ] || { echo "$BIN/$exe is missing: build the mingw-x64 preset" >&2; exit 1; }
done

WORK=$(mktemp -d /tmp/hidhost-shots.XXXXXX)
export WINEPREFIX=$WORK/prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
XVFB_PID=""
cleanup() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
  [ -z "$XVFB_PID" ] || kill "$XVFB_PID" 2>/dev/null
  rm -rf "$WORK"
}
fail() { echo "screenshots: $*" >&2; exit 1; }
trap cleanup EXIT

"$WINE" wineboot -i >/dev/null 2>&1
"$WINESERVER" -w
"$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
APP=$WINEPREFIX/drive_c/HidHost
mkdir -p "$APP"
# The caption buttons' glyphs: Wine draws them with the Marlett font and, where
# it has none, draws the letters that stand for them ("0 1 r"). This Wine takes
# it only from the prefix's Fonts folder, not from the one fonts-wine fills.
MARLETT=/usr/share/wine/fonts/marlett.ttf
[ -f "$MARLETT" ] || { echo "no $MARLETT: apt-get install fonts-wine" >&2; exit 1; }
cp "$MARLETT" "$WINEPREFIX/drive_c/windows/Fonts/"
cp "${OPTION:-$BIN/Option.exe}" "$APP/Option.exe"
cp "$BIN/HidHost.exe" "$APP/"
[ -f "$BIN/lan.dll" ] && cp "$BIN/lan.dll" "$APP/"

# until LIMIT FILE REGEX: FILE has a line matching REGEX within LIMIT seconds.
until_line() {
  local deadline=$((SECONDS + $1))
  until [ -f "$2" ] && tr -d '\r' <"$2" | grep -qE "$3"; do
    [ $SECONDS -lt "$deadline" ] || return 1
    sleep 0.2
  done
}

# One run of the desktop: the emulator, the host, then Option.exe with ARG... in
# the virtual desktop. Each waits for the one before: the emulator listening, the
# host connected to the mouse (Device=1 in config.ini), the window shown.
shoot() {
  local dpi=$1 name=$2 size=$3 display
  shift 3
  "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w
  rm -f "$APP/config.ini" "$WORK/emu.log" "$WORK/option.log"
  mkfifo "$WORK/emu.fifo"
  display=$((100 + RANDOM % 800))
  Xvfb ":$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  export DISPLAY=":$display"
  sleep 1
  "$WINE" "$BIN/hidhost-driver-emu.exe" --log "Z:${WORK//\//\\}\\emu.log" <"$WORK/emu.fifo" >/dev/null 2>&1 &
  exec 7>"$WORK/emu.fifo"
  until_line 60 "$WORK/emu.log" ' listening$' || fail "$name: the driver emulator did not start"
  # In the virtual desktop too: windows find each other only on one desktop.
  "$WINE" explorer /desktop=shot,"$size" "C:\\HidHost\\HidHost.exe" >/dev/null 2>&1 &
  until_line 60 "$APP/config.ini" '^Device=1$' || fail "$name: the host did not connect to the mouse"
  "$WINE" explorer /desktop=shot,"$size" "C:\\HidHost\\Option.exe" window "$@" --log 'C:\option.log' \
    >/dev/null 2>&1 &
  until_line 60 "$WINEPREFIX/drive_c/option.log" ' started ' || fail "$name: Option.exe showed no window"
  # The first paint of every control, and the caret's blink, settle.
  sleep 2
  import -window root -crop "${size}+0+0" +repage "$OUT/$name.png"
  exec 7>&-
  "$WINESERVER" -k >/dev/null 2>&1 || true
  "$WINESERVER" -w
  kill "$XVFB_PID" 2>/dev/null
  wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
  unset DISPLAY
  rm -f "$WORK/emu.fifo" "$WINEPREFIX/drive_c/option.log"
  echo "$OUT/$name.png"
}

if [ -n "$ONE" ]; then
  shoot 96 "option-$ONE-100" "$ONE_SIZE"
  exit 0
fi
PAGES=(buttons pointer device profiles)
for scale in 100:96:900x560 150:144:1300x800; do
  IFS=: read -r percent dpi size <<<"$scale"
  for page in 0 1 2 3; do
    shoot "$dpi" "option-${PAGES[$page]}-$percent" "$size" --page "$page"
  done
done
