#!/usr/bin/env bash
# Builds the two release installers from the product presets:
#   build/mingw-x86/HidHost-<version>-win32.exe           (32-bit Windows, the product)
#   build/mingw-x64-product/HidHost-<version>-win64.exe   (64-bit Windows)
# and beside each its symbols, HidHost-<version>-win32-symbols.zip (win64):
# what ships is stripped, and these are the debugging information a crash
# dump is read with. Only what ships is built (HidHost.exe, lan.dll,
# Option.exe); the installers take the files from `cmake --install` through
# CPack's NSIS generator.
#
# Usage: bash scripts/build-installers.sh [--cert CERT --key KEY [--timestamp URL]] [PRESET...]
#   (default: both presets)
# With a certificate and its key (here or as HIDHOST_SIGN_CERT, HIDHOST_SIGN_KEY,
# HIDHOST_SIGN_TIMESTAMP; HIDHOST_SIGN_PASSFILE for a key with a password),
# every shipped .exe and .dll, the uninstaller and the installer are signed
# with Authenticode (cmake/Sign.cmake); without one they are not.
set -euo pipefail
cd "$(dirname "$0")/.."
presets=()
while [ $# -gt 0 ]; do
  case $1 in
    --cert) export HIDHOST_SIGN_CERT=$2; shift 2 ;;
    --key) export HIDHOST_SIGN_KEY=$2; shift 2 ;;
    --timestamp) export HIDHOST_SIGN_TIMESTAMP=$2; shift 2 ;;
    -*) echo "unknown option $1 (see the head of $0)" >&2; exit 1 ;;
    *) presets+=("$1"); shift ;;
  esac
done
[ ${#presets[@]} -gt 0 ] || presets=(mingw-x86 mingw-x64-product)
command -v makensis >/dev/null || { echo "makensis is missing: apt-get install nsis" >&2; exit 1; }
if [ -n "${HIDHOST_SIGN_CERT:-}" ]; then
  command -v osslsigncode >/dev/null || { echo "osslsigncode is missing: apt-get install osslsigncode" >&2; exit 1; }
  for file in "$HIDHOST_SIGN_CERT" "${HIDHOST_SIGN_KEY:?a certificate needs its key}"; do
    [ -r "$file" ] || { echo "cannot read $file" >&2; exit 1; }
  done
  # Relative paths would be taken from the folders CPack and makensis run in.
  HIDHOST_SIGN_CERT=$(realpath "$HIDHOST_SIGN_CERT") HIDHOST_SIGN_KEY=$(realpath "$HIDHOST_SIGN_KEY")
  [ -z "${HIDHOST_SIGN_PASSFILE:-}" ] || export HIDHOST_SIGN_PASSFILE=$(realpath "$HIDHOST_SIGN_PASSFILE")
  echo "signing with $HIDHOST_SIGN_CERT${HIDHOST_SIGN_TIMESTAMP:+, timestamps from $HIDHOST_SIGN_TIMESTAMP}"
fi
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j2 --target HidHost lan Option
  (cd "build/$preset" && cpack -B . >"cpack.log" 2>&1) || { tail -n 40 "build/$preset/cpack.log" >&2; exit 1; }
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "build/$preset/CPackConfig.cmake")
  ls "build/$preset/HidHost-$version-"win*.exe "build/$preset/HidHost-$version-"win*-symbols.zip
done
