#!/usr/bin/env bash
# Builds both presets and runs every benchmark; each prints its figures as ratios
# against a baseline measured in the same run.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
cmake --preset linux >/dev/null && cmake --build --preset linux
cmake --preset windows >/dev/null && cmake --build --preset windows
for b in build/linux/bench/bench_*; do
  [ -x "$b" ] || continue
  echo "== $(basename "$b")"; "$b"
done
for b in build/windows/bench/bench_*.exe; do
  [ -f "$b" ] || continue
  # The list's bench at full size: 200,000 and 1,000,000 entries (a minute or two).
  args=()
  [ "$(basename "$b")" = bench_list_win32.exe ] && args=(--million)
  # Under a private X server: some of them show the real window.
  echo "== $(basename "$b")"; (cd build/windows && ../../tests/gui/run-gui.sh "../../$b" "${args[@]}")
done
