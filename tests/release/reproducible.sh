#!/usr/bin/env bash
# reproducible.sh SOURCE BUILD: copies the sources to another, deeper folder,
# builds HidHost.exe and lan.dll there as BUILD was configured, and compares
# them byte for byte with BUILD's. Paths or link times in the binaries differ.
# When BUILD holds its installer (scripts/build-installers.sh ran), Option.exe
# is built there too, and what ships is compared instead: the stripped files
# as `cmake --install` puts them, their symbol files, the symbols archive and
# the installer; and the stripped files are checked against their symbols
# (check_shipped.py). An installer signed since cannot compare: the
# signature is new each time. Build it unsigned for this check.
set -uo pipefail
src=$1 build=$2
cache() { sed -n "s/^$1:[A-Z]*=//p" "$build/CMakeCache.txt"; }
[ -f "$build/CMakeCache.txt" ] || { echo "no CMakeCache.txt in $build"; exit 1; }
toolchain=$(cache CMAKE_TOOLCHAIN_FILE)
[ -n "$toolchain" ] || { echo "$build was not configured for Windows"; exit 1; }

# A fixed place, so that ccache serves the second build's compiles next time;
# the comparison is about paths and links, which are always made anew.
elsewhere="$build/reproducible/another/folder"
copy="$elsewhere/sources"
second="$elsewhere/build"
rm -rf "$elsewhere" && mkdir -p "$copy"
cp -r "$src/CMakeLists.txt" "$src/cmake" "$src/src" "$src/tools" "$src/resources" "$copy/"
cmake -S "$copy" -B "$second" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$copy/${toolchain#"$src"/}" \
  -DCMAKE_BUILD_TYPE="$(cache CMAKE_BUILD_TYPE)" \
  -DHIDHOST_EMULATED_DRIVER="$(cache HIDHOST_EMULATED_DRIVER)" \
  -DHIDHOST_VERSION_OVERRIDE="$(cache HIDHOST_VERSION_OVERRIDE)" >"$elsewhere/configure.log" 2>&1 ||
  { cat "$elsewhere/configure.log"; exit 1; }
files=(bin/HidHost.exe bin/lan.dll)
targets=(HidHost lan)
installer=$(cd "$build" && ls HidHost-*-win*.exe 2>/dev/null | head -n 1)
if [ -n "$installer" ]; then
  targets+=(Option)
  files=(installed/HidHost.exe installed/lan.dll installed/Option.exe
         symbols/HidHost.exe.debug symbols/lan.dll.debug symbols/Option.exe.debug
         "${installer%.exe}-symbols.zip" "$installer")
fi
cmake --build "$second" -j2 --target "${targets[@]}" >"$elsewhere/build.log" 2>&1 ||
  { tail -n 30 "$elsewhere/build.log"; exit 1; }
if [ -n "$installer" ]; then
  (cd "$second" && cpack -B . >>"$elsewhere/build.log" 2>&1) || { tail -n 30 "$elsewhere/build.log"; exit 1; }
  # Unsigned in both, whatever cpack did in BUILD.
  for dir in "$build" "$second"; do
    rm -rf "$dir/installed"
    cmake --install "$dir" --prefix "$dir/installed" >>"$elsewhere/build.log" 2>&1 ||
      { tail -n 30 "$elsewhere/build.log"; exit 1; }
  done
fi

status=0
for file in "${files[@]}"; do
  if cmp -s "$build/$file" "$second/$file"; then
    echo "same bytes: $file"
  else
    echo "DIFFERENT: $file (first differing bytes: offset, value in $build, value in $second)"
    cmp -l "$build/$file" "$second/$file" | head -n 8
    if [ "$file" == "$installer" ] && command -v osslsigncode >/dev/null &&
      osslsigncode extract-signature -in "$build/$file" -out "$elsewhere/signature" >/dev/null 2>&1; then
      echo "($installer in $build is signed: build it unsigned to compare)"
    fi
    status=1
  fi
done
if [ -n "$installer" ]; then
  python3 "$(dirname "$0")/check_shipped.py" "$build/installed" "$build/${installer%.exe}-symbols.zip" || status=1
fi
[ $status -eq 0 ] && rm -rf "$build/reproducible/another/folder/build"
exit $status
