#!/usr/bin/env bash
# Runs hidhost-win32-checks.exe under Wine and Xvfb in a throw-away prefix.
#
#   run-checks.sh [BIN]   BIN: the bin directory of a mingw-x64 build
#                         (default build/mingw-x64/bin)
#
# The checks make top-level windows, hence Xvfb. Exit status is the
# program's: 0 when every check held.
set -uo pipefail
STAGE=win32-checks
source "$(dirname "${BASH_SOURCE[0]}")/../wine/lib.sh"
BIN=${1:-$BIN}
[ -x "$BIN/hidhost-win32-checks.exe" ] || { echo "no $BIN/hidhost-win32-checks.exe" >&2; exit 2; }
run_in_fresh_prefix 120 "$BIN" hidhost-win32-checks.exe
