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

# The profile fuzz target (clang, libFuzzer) for a fixed number of runs from its
# seeds, so it takes seconds and gives the same inputs every time. Longer runs by hand:
#   build/fuzz/fuzz/profile_fuzz -max_total_time=600 <corpus folder> fuzz/seeds/profile
cmake --preset fuzz
cmake --build --preset fuzz
corpus=$(mktemp -d)
build/fuzz/fuzz/profile_fuzz -runs=30000 -seed=1 "$corpus" fuzz/seeds/profile
rm -rf "$corpus"

cmake --preset windows
cmake --build --preset windows
ctest --preset windows

# A second compiler over the Windows sources (clang for MinGW-w64): built, warnings as
# errors, not run.
cmake --preset windows-clang
cmake --build --preset windows-clang
