#!/usr/bin/env bash
# Builds Tesvar and runs every test: the native logic against the simulated platform,
# then the Windows build under Wine (real file services, profile functions, window).
# Installs what is missing on a fresh Debian machine first (needs root or sudo).
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh

cmake --preset linux
cmake --build --preset linux
ctest --preset linux

# The same tests again under the address and undefined-behaviour sanitizers.
cmake --preset linux-asan
cmake --build --preset linux-asan
ctest --preset linux-asan

cmake --preset windows
cmake --build --preset windows
ctest --preset windows
