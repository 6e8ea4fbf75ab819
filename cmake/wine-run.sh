#!/usr/bin/env bash
# Runs a Windows program under Wine in a private prefix beside the build tree, with the
# Japanese ANSI code page (932). The prefix is made once and then reused.
set -euo pipefail
build_dir=${TESVAR_BUILD_DIR:-$PWD}
while [ ! -f "$build_dir/CMakeCache.txt" ] && [ "$build_dir" != / ]; do
  build_dir=$(dirname "$build_dir")
done
[ -f "$build_dir/CMakeCache.txt" ] || build_dir=$PWD
export WINEPREFIX=${WINEPREFIX:-$build_dir/wineprefix}
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
      wineserver -w || true
      touch "$WINEPREFIX/.tesvar-ready"
    fi
  )
fi
exec wine "$@"
