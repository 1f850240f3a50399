#!/usr/bin/env bash
# Runs a Windows test program of the mingw-x64 build under Wine and Xvfb in a
# throw-away prefix.
#
#   run-checks.sh [BIN [PROGRAM [ARG...]]]   BIN: the build's bin directory
#                         (default build/mingw-x64/bin); PROGRAM: default
#                         hidhost-win32-checks.exe, the Win32 backend's checks
#
# Test programs make top-level windows, hence Xvfb. Exit status is the
# program's: 0 when every check held.
set -uo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/../wine/lib.sh"
BIN=${1:-$BIN}
program=${2:-hidhost-win32-checks.exe} STAGE=${program%.exe}
[ -x "$BIN/$program" ] || { echo "no $BIN/$program" >&2; exit 2; }
run_in_fresh_prefix 120 "$BIN" "$program" "${@:3}"
