#!/usr/bin/env bash
# Runs a Windows program that shows windows under Wine on a private X server (Xvfb),
# with a wineserver of its own so that no earlier headless Wine process is reused.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
export TESVAR_FRESH_WINESERVER=1
# TESVAR_SCREEN: the screen's size (a wide one for placements beyond 32,767 twips);
# TESVAR_DPI (read by wine-run.sh): its dots per inch.
exec xvfb-run -a -s "-screen 0 ${TESVAR_SCREEN:-1280x1024}x24 -nolisten tcp" "$here/../../cmake/wine-run.sh" "$@"
