#!/usr/bin/env bash
# Sets up, builds hidhost-sim and runs it on its built-in demo scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh native
cmake --preset native >/dev/null
cmake --build build/native -j2 --target hidhost-sim
./build/native/tools/hidhost-sim/hidhost-sim "$@"
