#!/usr/bin/env bash
# Builds the two release installers from the product presets:
#   build/mingw-x86/HidHost-<version>-win32.exe           (32-bit Windows, the product)
#   build/mingw-x64-product/HidHost-<version>-win64.exe   (64-bit Windows)
# Only what ships is built (HidHost.exe, lan.dll, Option.exe); the installers
# take the files from `cmake --install` through CPack's NSIS generator.
# Usage: bash scripts/build-installers.sh [PRESET...]   (default: both)
set -euo pipefail
cd "$(dirname "$0")/.."
presets=("$@")
[ ${#presets[@]} -gt 0 ] || presets=(mingw-x86 mingw-x64-product)
command -v makensis >/dev/null || { echo "makensis is missing: apt-get install nsis" >&2; exit 1; }
for preset in "${presets[@]}"; do
  cmake --preset "$preset" >/dev/null
  cmake --build "build/$preset" -j2 --target HidHost lan Option
  (cd "build/$preset" && cpack -B . >/dev/null)
  version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "build/$preset/CPackConfig.cmake")
  ls "build/$preset/HidHost-$version-"win*.exe
done
