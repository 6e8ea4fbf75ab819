#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix beside the build tree, with the
# Japanese ANSI code page (932). The prefix is made once and then reused.
set -euo pipefail
# The build tree is found from the program run (a test or the shipped program), so a
# run started from anywhere else does not leave a prefix there.
start=$PWD
[ -n "${1:-}" ] && [ -e "$1" ] && start=$(cd "$(dirname "$1")" && pwd)
build_dir=${TESVAR_BUILD_DIR:-$start}
while [ ! -f "$build_dir/CMakeCache.txt" ] && [ "$build_dir" != / ]; do
  build_dir=$(dirname "$build_dir")
done
[ -f "$build_dir/CMakeCache.txt" ] || build_dir=$PWD
# TESVAR_DPI: a prefix of its own whose screen has that many dots per inch.
dpi=${TESVAR_DPI:-}
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix${dpi:+-dpi$dpi}}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
if [ ! -f "$WINEPREFIX/.tesvar-ready" ]; then
  (
    # Two builds may run tests at once; only one makes the prefix.
    exec 9>"$build_dir/.wineprefix.lock"
    flock 9
    if [ ! -f "$WINEPREFIX/.tesvar-ready" ]; then
      wineboot -i >/dev/null 2>&1 || true
      # Unmanaged windows: no 2 s wait per window shown or destroyed without a window manager.
      wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
      # A crash fails the test instead of waiting on a dialog.
      wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
      if [ -n "$dpi" ]; then
        wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
      fi
      wineserver -w || true
      touch "$WINEPREFIX/.tesvar-ready"
    fi
  )
fi
if [ -n "${TESVAR_FRESH_WINESERVER:-}" ]; then
  # Programs that show windows get a wineserver (and desktop) started on this display,
  # and leave none behind bound to it.
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  status=0
  wine "$@" || status=$?
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  exit $status
fi
exec wine "$@"
