#!/usr/bin/env bash
# The 64-bit installer under Wine, as a user meets it: install, upgrade over a
# running host, uninstall; then an upgrade that a hung host blocks, and an
# uninstall with nothing running and no config.ini.
#
#   installer.sh --installer OLD --next NEW [--bin DIR] [--ca CERT.pem]
#
# OLD and NEW are HidHost-<version>-win64.exe of two versions, NEW the newer
# (the same sources built with HIDHOST_VERSION_OVERRIDE), or the build folders
# that made them (their CPack version names the file; a folder that is not
# there skips the stage with exit status 77, as CTest counts it). DIR is the bin
# directory of the mingw-x64 build, for wine-agent.exe and wine-stubborn-host.exe
# (default build/mingw-x64/bin). Makes its own prefix and removes it.
# The first install is also checked as shipped (tests/release/check_shipped.py):
# stripped, and matching OLD's HidHost-<version>-win64-symbols.zip beside it;
# With --ca (or HIDHOST_INSTALLER_CA), OLD and every installed binary must be
# signed by CERT.pem.
set -uo pipefail

HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
SELF="$HERE/$(basename "${BASH_SOURCE[0]}")"
STAGE=installer
source "$HERE/lib.sh"
WINDRES=${WINDRES:-x86_64-w64-mingw32-windres}

STUBBORN_STOP_EVENT="HidHostWineStubbornStop"
RUN_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
UNINSTALL_KEY='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\HidHost'
# The installer's exit code when a running host does not end (cmake/nsis/NSIS.template.in).
EXIT_HOST_STILL_RUNNING=3
# Its time limit for that, in seconds (HIDHOST_CLOSE_TIMEOUT_MS).
CLOSE_LIMIT_S=10

# ------------------------------------------------------------ inside Xvfb

# The Windows path C:\... as a path of this system.
unix_path() {
  local p=${1#[Cc]:}
  printf '%s/drive_c%s' "$WINEPREFIX" "${p//\\//}"
}

# install INSTALLER ARG...: runs it to its end; its exit code, its standard error in $LOGS/setup.err.
install() {
  local setup=$1
  shift
  "$WINE" "$setup" "$@" >"$LOGS/setup.out" 2>"$LOGS/setup.err"
}

# "name=value" lines of one key (values of type REG_SZ and REG_DWORD).
reg_values() {
  win reg query "$1" 2>/dev/null | sed -nE 's/^ +([^ ]+) +REG_[A-Z_]+ +(.*)$/\1=\2/p'
}

# One string of a file's version resource.
version_string() {
  "$WINDRES" -i "$1" -O rc 2>/dev/null | sed -nE "s/.*VALUE \"$2\", \"([^\"]*)\".*/\\1/p"
}
file_version() { version_string "$1" FileVersion; }

host_window() { agent "find|$HOST_TITLE" | sed -nE 's/.* class=([^ ]*).*/\1/p'; }

# The file a shell link (.lnk) opens: the local base path of its link information.
shortcut_target() {
  python3 - "$1" <<'EOF'
import struct, sys
data = open(sys.argv[1], "rb").read()
flags = struct.unpack_from("<I", data, 0x14)[0]
at = 0x4C
if flags & 0x1:  # HasLinkTargetIDList: the item list comes first
    at += 2 + struct.unpack_from("<H", data, at)[0]
if not flags & 0x2:
    sys.exit("the link has no link information")
info_flags, _, local_path = struct.unpack_from("<III", data, at + 8)
if not info_flags & 0x1:
    sys.exit("the link has no local base path")
start = at + local_path
print(data[start:data.index(b"\0", start)].decode("cp1252"))
EOF
}

# What is left of the installation: file names in its folder, or "none".
install_files() {
  if [ -d "$INSTDIR" ]; then (cd "$INSTDIR" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' '); else printf none; fi
}

check_installed() {
  local version=$1 values
  check "$2: files" "HidHost.exe Option.exe Uninstall.exe lan.dll " "$(install_files | tr ' ' '\n' |
    grep -v '^config.ini$' | sort | tr '\n' ' ')"
  local file
  for file in HidHost.exe lan.dll Option.exe Uninstall.exe; do
    check "$2: $file is version $version" "$version" "$(file_version "$INSTDIR/$file")"
    check "$2: $file is named so in its version resource" "$file" \
      "$(version_string "$INSTDIR/$file" OriginalFilename)"
  done
  values=$(reg_values "$UNINSTALL_KEY")
  printf '%s\n' "$values" >>"$LOGS/uninstall-key.log"
  check "$2: DisplayVersion" "$version" "$(sed -n 's/^DisplayVersion=//p' <<<"$values")"
  local name
  for name in DisplayName Publisher UninstallString QuietUninstallString InstallLocation EstimatedSize; do
    grep -q "^$name=." <<<"$values" || fail "$2: the Uninstall key has no $name: $values"
  done
  check "$2: InstallLocation" "$INSTDIR_WIN" "$(sed -n 's/^InstallLocation=//p' <<<"$values")"
  check "$2: QuietUninstallString" "\"$INSTDIR_WIN\\Uninstall.exe\" /S" \
    "$(sed -n 's/^QuietUninstallString=//p' <<<"$values")"
  check "$2: the Run value starts the installed host" "\"$INSTDIR_WIN\\HidHost.exe\"" \
    "$(reg_values "$RUN_KEY" | sed -n 's/^HidHost=//p')"
  [ -f "$SHORTCUT" ] || fail "$2: no Start-menu shortcut at $SHORTCUT"
  [ -f "$SETTINGS_SHORTCUT" ] || fail "$2: no Start-menu shortcut at $SETTINGS_SHORTCUT"
  check "$2: the Start-menu shortcut HidHost opens the host" "$INSTDIR_WIN\\HidHost.exe" \
    "$(shortcut_target "$SHORTCUT")"
  check "$2: the Start-menu shortcut HidHost Settings opens Option.exe" "$INSTDIR_WIN\\Option.exe" \
    "$(shortcut_target "$SETTINGS_SHORTCUT")"
}

check_removed() {
  check "$1: Run value" "" "$(reg_values "$RUN_KEY" | sed -n 's/^HidHost=//p')"
  win reg query "$UNINSTALL_KEY" >/dev/null 2>&1 && fail "$1: the Uninstall key is still there"
  note "$1: no Uninstall key"
  [ -e "$SHORTCUT" ] && fail "$1: the Start-menu shortcut is still there"
  [ -e "$SETTINGS_SHORTCUT" ] && fail "$1: the settings shortcut is still there"
  note "$1: no shortcut"
  check "$1: no host window" "" "$(host_window)"
}

inner() {
  LOGS="$WORK/installer-logs"
  rm -rf "$LOGS" && mkdir -p "$LOGS"
  local dirs
  dirs=$(win cmd /c 'echo %LOCALAPPDATA%& echo %APPDATA%')
  local local_app roaming
  local_app=$(sed -n 1p <<<"$dirs")
  roaming=$(sed -n 2p <<<"$dirs")
  INSTDIR_WIN="$local_app\\Programs\\HidHost"
  INSTDIR=$(unix_path "$INSTDIR_WIN")
  SHORTCUT=$(unix_path "$roaming\\Microsoft\\Windows\\Start Menu\\Programs\\HidHost.lnk")
  SETTINGS_SHORTCUT=$(unix_path "$roaming\\Microsoft\\Windows\\Start Menu\\Programs\\HidHost Settings.lnk")
  [ -n "$local_app" ] || fail "Wine reports no LOCALAPPDATA"

  say "1: silent install of $OLD_VERSION"
  install "$OLD" /S || fail "1: the installer ended with code $?"
  check_installed "$OLD_VERSION" 1
  python3 "$SRC/tests/release/check_shipped.py" "$INSTDIR" "${OLD%.exe}-symbols.zip" \
    ${CA:+--ca "$CA" --also "$OLD"} >"$LOGS/shipped.log" 2>&1 || fail "1: $(grep FAIL "$LOGS/shipped.log")"
  sed 's/^  ok: /  ok: 1: /' "$LOGS/shipped.log"
  agent "wait-window|$HOST_TITLE|20000" >/dev/null
  check "1: the installer started the host, its hidden window" "$HOST_CLASS" "$(host_window)"
  # The user's settings, in a form the host would not write itself (LF ends,
  # a comment): any rewrite shows. Device=0 as the running host keeps it.
  printf '[Setting]\nDevice=0\nMainSens=7\n; chosen by the user\nButtonInfo3=040C000010\n' \
    >"$INSTDIR/config.ini"
  cp "$INSTDIR/config.ini" "$LOGS/config.before"

  say "2: silent upgrade to $NEW_VERSION over the running host"
  "$WINE" "$BIN/wine-agent.exe" "watch|$HOST_TITLE" "find|$HOST_TITLE" "wait-exit|30000" \
    >"$LOGS/watch.out" 2>>"$LOGS/wine.err" &
  PIDS[watch]=$!
  wait_for_lines "$LOGS/watch.out" '^window ' 20 || fail "2: the agent did not get hold of the host"
  install "$NEW" /S || fail "2: the upgrade ended with code $?"
  wait "${PIDS[watch]}" || fail "2: the old host did not end: $(tr -d '\r' <"$LOGS/watch.out")"
  check "2: the old host ended with code 0" 0 \
    "$(tr -d '\r' <"$LOGS/watch.out" | sed -nE 's/^exit code=([0-9]+).*/\1/p')"
  check_installed "$NEW_VERSION" 2
  agent "wait-window|$HOST_TITLE|20000" >/dev/null
  check "2: the new host runs" "$HOST_CLASS" "$(host_window)"
  cmp -s "$LOGS/config.before" "$INSTDIR/config.ini" ||
    fail "2: config.ini changed: $(diff "$LOGS/config.before" "$INSTDIR/config.ini" | tr '\n' ' ')"
  note "2: config.ini unchanged, byte for byte"

  say "3: silent uninstall (the Uninstall key's QuietUninstallString) with the host running"
  # The uninstaller runs from a copy in the temp folder and the command returns at
  # once: done when the wineserver has no program left.
  "$WINE" "$INSTDIR/Uninstall.exe" /S >"$LOGS/uninstall.out" 2>&1 || fail "3: the uninstaller failed to start"
  timeout 60 "$WINESERVER" -w || fail "3: the uninstaller did not finish within 60 s"
  check "3: only config.ini is left" "config.ini " "$(install_files)"
  cmp -s "$LOGS/config.before" "$INSTDIR/config.ini" || fail "3: config.ini changed"
  check_removed 3

  say "4: an upgrade that a host ignoring WM_CLOSE blocks"
  rm -f "$INSTDIR/config.ini"
  install "$OLD" /S /NOSTART || fail "4: the installer ended with code $?"
  check "4: /NOSTART: no host started" "" "$(host_window)"
  "$WINE" "$BIN/wine-stubborn-host.exe" --log "Z:${LOGS//\//\\}\\stubborn.log" \
    >"$LOGS/stubborn.out" 2>&1 &
  PIDS[stubborn]=$!
  wait_for_lines "$LOGS/stubborn.log" ' ready$' 20 || fail "4: the stand-in did not open its window"
  local started=$SECONDS rc
  install "$NEW" /S
  rc=$?
  check "4: the installer's exit code" "$EXIT_HOST_STILL_RUNNING" "$rc"
  [ $((SECONDS - started)) -ge $((CLOSE_LIMIT_S - 1)) ] ||
    fail "4: the installer gave up after $((SECONDS - started)) s, before its limit of $CLOSE_LIMIT_S s"
  grep -q 'ignored WM_CLOSE' "$LOGS/stubborn.log" || fail "4: the installer never asked the window to close"
  grep -q "HidHost is still running: it did not exit within $CLOSE_LIMIT_S seconds" "$LOGS/setup.err" ||
    fail "4: no clear message on standard error: [$(cat "$LOGS/setup.err")]"
  note "4: the message: $(tr -d '\r' <"$LOGS/setup.err")"
  check_installed "$OLD_VERSION" "4: the old installation is untouched"
  agent "signal|$STUBBORN_STOP_EVENT" >/dev/null
  wait "${PIDS[stubborn]}" || fail "4: the stand-in failed"
  spawn host "$WINE" "$INSTDIR/HidHost.exe"
  agent "wait-window|$HOST_TITLE|20000" >/dev/null
  check "4: the old installation's host still starts" "$HOST_CLASS" "$(host_window)"
  stop_host 4

  say "5: uninstall with no host running and no config.ini"
  rm -f "$INSTDIR/config.ini"
  # Run in place from a copy (as the uninstaller does itself), to get its exit code.
  cp "$INSTDIR/Uninstall.exe" "$WORK/un.exe"
  "$WINE" "$WORK/un.exe" /S "_?=$INSTDIR_WIN" >"$LOGS/uninstall.out" 2>&1 ||
    fail "5: the uninstaller ended with code $?"
  check "5: the folder is gone" none "$(install_files)"
  [ -d "$INSTDIR" ] && fail "5: the empty folder is still there"
  check_removed 5
  say "PASS installer"
}

# ------------------------------------------------------------------ main

if [ "${1:-}" == __inner ]; then
  CURRENT_CASE=installer WORK=$2 OLD=$3 NEW=$4 BIN=$5 OLD_VERSION=$6 NEW_VERSION=$7 CA=$8
  export WINEPREFIX="$WORK/prefix"
  trap '"$WINESERVER" -k >/dev/null 2>&1' EXIT
  inner
  exit $?
fi

OLD="" NEW="" CA=${HIDHOST_INSTALLER_CA:-}
while [ $# -gt 0 ]; do
  case $1 in
    --installer) OLD=$2; shift 2 ;;
    --next) NEW=$2; shift 2 ;;
    --bin) BIN=$2; shift 2 ;;
    --ca) CA=$(realpath "$2"); shift 2 ;;
    *) die "unknown argument $1 (see the head of $0)" ;;
  esac
done
version_of() { sed -nE 's/^HidHost-([0-9]+\.[0-9]+\.[0-9]+)-win64\.exe$/\1/p' <<<"${1##*/}"; }
installer_of() {
  [ -d "$1" ] || { printf '%s' "$1"; return; }
  printf '%s/HidHost-%s-win64.exe' "$1" \
    "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$1/CPackConfig.cmake" 2>/dev/null)"
}
[ -n "$OLD" ] && [ -n "$NEW" ] || die "need --installer OLD and --next NEW"
[ -e "$OLD" ] && [ -e "$NEW" ] || { say "installer: skipped, no $OLD or $NEW (built by the release stage)"; exit 77; }
OLD=$(installer_of "$OLD") NEW=$(installer_of "$NEW")
[ -f "$OLD" ] && [ -f "$NEW" ] || die "no installer $OLD or $NEW"
OLD_VERSION=$(version_of "$OLD") NEW_VERSION=$(version_of "$NEW")
[ -n "$OLD_VERSION" ] && [ -n "$NEW_VERSION" ] || die "installer names must read HidHost-x.y.z-win64.exe"
[ "$OLD_VERSION" != "$NEW_VERSION" ] || die "the two installers have the same version $OLD_VERSION"
for exe in wine-agent.exe wine-stubborn-host.exe; do
  [ -f "$BIN/$exe" ] || die "$BIN/$exe is missing: build the mingw-x64 preset first"
done

workfile=$(mktemp)
trap 'cleanup_work "$workfile" >/dev/null; rm -f "$workfile"' EXIT
started=$SECONDS
prepare_work "$workfile" || die "no Wine prefix"
WORK=$(cat "$workfile")
under_xvfb 300 bash "$SELF" __inner "$WORK" "$(cd "$(dirname "$OLD")" && pwd)/${OLD##*/}" \
  "$(cd "$(dirname "$NEW")" && pwd)/${NEW##*/}" "$BIN" "$OLD_VERSION" "$NEW_VERSION" "$CA"
rc=$?
[ $rc -eq 124 ] && say "FAIL installer: no result within 300 s"
say "installer stage: $((SECONDS - started)) s"
exit $rc
