#!/usr/bin/env bash
# Builds Tesvar.exe and starts it under Wine with the Japanese code page and font.
# Without a display, starts a private X server instead and runs a short demo: Tesvar.exe
# over a sample tree, driven from outside (drop, Start, Yes, OK, END); prints the
# Tesvar.log it wrote and leaves a screenshot of the listed tree.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/setup.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Tesvar TesvarDriver
exe=build/windows/src/app/win32/Tesvar.exe
export TESVAR_BUILD_DIR=$PWD/build/windows  # Wine's prefix lives in the build tree

if [ -n "${DISPLAY:-}" ]; then
  exec cmake/wine-run.sh "$exe"
fi

demo=$PWD/build/demo
rm -rf "$demo" && mkdir -p "$demo"
winpath="Z:$(printf '%s' "$demo" | tr / '\\')"
export TESVAR_FRESH_WINESERVER=1 DEMO="$demo" WINPATH="$winpath"
xvfb-run -a -s "-screen 0 640x480x24 -nolisten tcp" bash -c '
  cmake/wine-run.sh build/windows/tests/e2e/TesvarDriver.exe --demo "$WINPATH" --screenshot-pause &
  driver=$!
  for _ in $(seq 1 600); do [ -f "$DEMO/ready-for-screenshot" ] && break; sleep 0.1; done
  sleep 0.5
  import -window root -trim +repage "$DEMO/screenshot.png" || true
  touch "$DEMO/screenshot-done"
  wait $driver'
echo
echo "Tesvar.log (code page 932, shown as UTF-8):"
iconv -f CP932 -t UTF-8 "$demo/app/Tesvar.log"
echo
echo "Tesvar.ini:"
cat "$demo/app/Tesvar.ini"
echo
echo "Screenshot of the listed tree: $demo/screenshot.png"
