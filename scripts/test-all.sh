#!/usr/bin/env bash
# Sets up and runs every test: unit and scenario tests (with the seam check), the
# same under ThreadSanitizer and under AddressSanitizer+UBSan, both mingw
# builds, the installers (and their install, upgrade and removal under Wine),
# and the real executable under Wine.
set -euo pipefail
cd "$(dirname "$0")/.."
start=$(date +%s)
# Each stage's seconds, printed as it ends and in a table at the end, also when one fails.
rows=() name="" began=0
end_stage() {
  [ -n "$name" ] || return 0
  rows+=("$(printf '%7s  %-6s  %s' $(( $(date +%s) - began )) "$1" "$name")")
  echo "=== $name: $(( $(date +%s) - began ))s, $1"
  name=""
}
stage() { end_stage ok; name=$* began=$(date +%s); echo; echo "=== $* ($(( began - start ))s)"; }
summary() {
  local result=ok
  [ "$1" -eq 0 ] || result=failed
  end_stage $result
  echo; echo "seconds  result  stage"; printf '%s\n' "${rows[@]}"
  printf '%7s  %-6s  %s\n' $(( $(date +%s) - start )) $result total
}
trap 'summary $?' EXIT

stage setup
bash scripts/setup-debian.sh all

stage "native: unit and scenario tests"
cmake --preset native >/dev/null
cmake --build build/native -j2
ctest --preset native -LE 'wine|slow' -j2

stage "ThreadSanitizer"
cmake --preset native-tsan >/dev/null
cmake --build build/native-tsan -j2
TSAN_OPTIONS="halt_on_error=1" ctest --preset native-tsan -LE 'wine|slow' -j2

stage "AddressSanitizer and UBSan"
cmake --preset native-asan >/dev/null
cmake --build build/native-asan -j2
ctest --preset native-asan -LE 'wine|slow' -j2

# ---- fuzz: each libFuzzer target for a short bounded time (fuzz/CMakeLists.txt) ----
stage "fuzz"
cmake --preset native-fuzz >/dev/null
cmake --build build/native-fuzz -j2 --target fuzz_targets
ctest --test-dir build/native-fuzz -L fuzz -j2 --output-on-failure
# ---- end of fuzz ----

stage "mingw x86 (product target) and x64 (Wine tests)"
cmake --preset mingw-x86 >/dev/null
cmake --build build/mingw-x86 -j2
cmake --preset mingw-x64 >/dev/null
cmake --build build/mingw-x64 -j2

# ---- release: installers, reproducible binaries, signatures, the installer under Wine ----
stage "release: both installers; a second build elsewhere gives the same stripped files, symbols and x86 installer"
bash scripts/build-installers.sh mingw-x86 mingw-x64-product
ctest --test-dir build/mingw-x86 -L reproducible --output-on-failure

stage "release: signed with a throwaway certificate, every signature verified"
signing=$PWD/build/test-signing
rm -rf "$signing" && mkdir -p "$signing"
openssl req -x509 -newkey rsa:2048 -nodes -subj /CN=HidHost-test -days 2 \
  -keyout "$signing/key.pem" -out "$signing/cert.pem" 2>/dev/null
export HIDHOST_SIGN_CERT="$signing/cert.pem" HIDHOST_SIGN_KEY="$signing/key.pem"
bash scripts/build-installers.sh mingw-x86 mingw-x64-product
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' build/mingw-x64-product/CPackConfig.cmake)
# What the x86 installer packed, the host within its 1 MB; the 64-bit one is
# checked once installed, under Wine.
staged="build/mingw-x86/_CPack_Packages/win32/NSIS"
python3 tests/release/check_shipped.py "$staged/HidHost-$version-win32" \
  "build/mingw-x86/HidHost-$version-win32-symbols.zip" --host-budget 1048576 --ca "$HIDHOST_SIGN_CERT" \
  --also "$staged/uninstaller/Uninstall.exe" "build/mingw-x86/HidHost-$version-win32.exe"
# The upgrade case needs a newer installer: the same sources one patch version up.
next="${version%.*}.$(( ${version##*.} + 1 ))"
cmake --preset mingw-x64-product -B build/mingw-x64-next -DHIDHOST_VERSION_OVERRIDE="$next" >/dev/null
cmake --build build/mingw-x64-next -j2 --target HidHost lan Option
(cd build/mingw-x64-next && cpack -B . >/dev/null)
unset HIDHOST_SIGN_CERT HIDHOST_SIGN_KEY

stage "Wine: install (signed, stripped), upgrade over a running host, uninstall"
HIDHOST_INSTALLER_CA="$signing/cert.pem" ctest --test-dir build/native -L installer --output-on-failure
# ---- end of release ----

stage "Wine: the Win32 backend's own checks"
ctest --test-dir build/native -L win32-checks --output-on-failure

stage "Wine: the real executable end to end"
ctest --test-dir build/native -L e2e --output-on-failure
