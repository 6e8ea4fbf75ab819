#!/usr/bin/env bash
# The shipped program: one static Tesvar.exe that needs nothing but Windows' own DLLs,
# carries its version record, icon and manifest, stays small, and installs alone.
# Usage: check-exe.sh TESVAR_EXE BUILD_DIR
set -euo pipefail
exe=$1 build=$2
fail() { echo "FAIL: $*"; exit 1; }

# Imports: Windows system DLLs only (msvcrt.dll ships with every Windows).
allowed='^(KERNEL32|USER32|GDI32|COMCTL32|ole32|OLEAUT32|SHELL32|msvcrt|ADVAPI32|api-ms-win-[a-z0-9-]+)\.dll$'
dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p')
[ -n "$dlls" ] || fail "no import table read"
while read -r dll; do
  echo "$dll" | grep -qiE "$allowed" || fail "imports $dll, which is not part of Windows"
done <<< "$dlls"
echo "imports: $(echo $dlls)"

# Resources: version record 0.3.0.6, one 32x32 16-colour icon, the manifest.
rc=$(x86_64-w64-mingw32-windres -i "$exe" -O rc)
grep -q 'FILEVERSION 0, 3, 0, 6' <<< "$rc" || fail "no version record 0.3.0.6"
grep -q 'RT_GROUP_ICON' <<< "$rc" || fail "no icon"
grep -qF '"\040\040\020\000", 1, 4' <<< "$rc" || fail "the icon is not 32x32 in 16 colours"
grep -q 'Microsoft.Windows.Common-Controls' <<< "$rc$(strings -e l "$exe")$(strings "$exe")" || fail "no common controls 6 in the manifest"
strings "$exe" | grep -q '<dpiAware' || fail "the manifest does not declare DPI awareness"
! strings "$exe" | grep -q 'activeCodePage' || fail "the manifest must not switch the code page"

size=$(stat -c %s "$exe")
echo "size: $size bytes"
[ "$size" -lt 1572864 ] || fail "larger than 1.5 MB"

# Installing puts Tesvar.exe, and nothing else, in one folder.
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest" >/dev/null
found=$(cd "$dest" && find . -type f | sort)
[ "$found" = "./Tesvar.exe" ] || fail "install put: $found"
cmp -s "$exe" "$dest/Tesvar.exe" || fail "installed Tesvar.exe differs from the built one"
echo "install: Tesvar.exe alone"
