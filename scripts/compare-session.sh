#!/bin/sh
# compare-session.sh FOLDER
# Replays the session that HidHost.exe --record FOLDER recorded and compares
# the replay's trace with the recorded one. Prints the first differing line
# with the input it belongs to; exits 0 only when the two traces match.
# HIDHOST_SIM names the simulator (default: the native build's).
set -u
[ $# -eq 1 ] || { echo "usage: compare-session.sh FOLDER" >&2; exit 2; }
here=$(cd "$(dirname "$0")/.." && pwd)
sim=${HIDHOST_SIM:-$here/build/native/tools/hidhost-sim/hidhost-sim}
[ -x "$sim" ] || { echo "compare-session.sh: no simulator at $sim (cmake --preset native && cmake --build build/native)" >&2; exit 2; }
exec "$sim" --compare "$1"
