#!/usr/bin/env bash
# Builds Tesvar and starts it. Until the Win32 window lands, this builds everything
# (native logic and the Windows build) and says so; then it will start Tesvar.exe
# under Wine with a Japanese font.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
cmake --preset linux && cmake --build --preset linux
cmake --preset windows && cmake --build --preset windows
if [ -f build/windows/src/app/win32/Tesvar.exe ]; then
  cd build/windows && exec ../../cmake/wine-run.sh src/app/win32/Tesvar.exe
fi
echo "Built the logic, the simulated platform, the Windows services and all tests."
echo "The Tesvar.exe window is not part of this build yet; run ./scripts/test.sh for the tests."
