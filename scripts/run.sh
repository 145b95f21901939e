#!/usr/bin/env bash
# Builds the game and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESSRIN_BENCH=OFF >/dev/null
cmake --build build --target vessrin
exec ./build/vessrin "$@"
