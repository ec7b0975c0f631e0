#!/usr/bin/env bash
# Builds tlxvl with its test suite (preset "default") and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/deps.sh test
cmake --preset default -DTLXVL_WERROR=ON
cmake --build --preset default -j "$(nproc)"
ctest --preset default -j "$(nproc)"
