#!/usr/bin/env bash
# Builds the monitor and runs the demo host on its embedded default scenario.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh build
cmake -S . -B build/demo -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTLXVL_BUILD_TESTS=OFF
cmake --build build/demo -j "$(nproc)" --target tlxvl-demo
./build/demo/tools/tlxvl-demo "$@"
