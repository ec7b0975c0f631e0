#!/usr/bin/env bash
# Installs the Debian packages that building and testing tlxvl needs, when they are missing.
# Usage: tools/deps.sh [build|test|ci|bench|package|windows]   (test and ci each include the
# level before; bench is build plus Google Benchmark and pugixml; package is build plus pkg-config
# and the Debian packaging tools, and ci includes it; windows is build plus the mingw-w64 cross
# compiler, GoogleTest's sources, Wine and what the Windows stage of CI runs)
set -euo pipefail
level="${1:-build}"

packages=(cmake g++ make nlohmann-json3-dev)
if [ "$level" = test ] || [ "$level" = ci ]; then
    packages+=(libgtest-dev libgmock-dev libtinyxml2-dev)
fi
if [ "$level" = ci ]; then
    packages+=(clang libclang-rt-14-dev)
fi
if [ "$level" = ci ] || [ "$level" = package ]; then
    packages+=(pkgconf dpkg-dev file)
fi
if [ "$level" = windows ]; then
    packages+=(g++-mingw-w64-x86-64-posix googletest wine wine64 ccache python3)
fi
if [ "$level" = bench ]; then
    packages+=(libbenchmark-dev libpugixml-dev)
fi

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
