#!/usr/bin/env bash
# The shipped program: one static Tesvar.exe that needs nothing but Windows' own DLLs,
# carries its version record, icon and manifest, is built for ASLR and NX, stays small,
# installs with its README.txt only, and packs into the release ZIP.
# Usage: check-exe.sh TESVAR_EXE BUILD_DIR
set -euo pipefail
exe=$1 build=$2
fail() { echo "FAIL: $*"; exit 1; }

# Imports: the system's known DLLs only, which Windows never looks for in the program's
# folder (msvcrt.dll ships with every Windows). The common controls and UxTheme are not
# known DLLs: the program loads them from the system itself.
allowed='^(KERNEL32|USER32|GDI32|SHELL32|ole32|OLEAUT32|ADVAPI32|msvcrt)\.dll$'
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

# Address-space layout randomisation (64-bit) and no execution from data pages.
flags=$(x86_64-w64-mingw32-objdump -p "$exe")
for flag in DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT; do
  grep -qw "$flag" <<< "$flags" || fail "not built with $flag"
done
echo "hardening: DYNAMIC_BASE HIGH_ENTROPY_VA NX_COMPAT"

size=$(stat -c %s "$exe")
echo "size: $size bytes"
[ "$size" -lt 1572864 ] || fail "larger than 1.5 MB"

# Installing puts Tesvar.exe and README.txt, and nothing else, in one folder.
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
cmake --install "$build" --prefix "$dest/install" >/dev/null
found=$(cd "$dest/install" && find . -type f | sort | tr '\n' ' ')
[ "$found" = "./README.txt ./Tesvar.exe " ] || fail "install put: $found"
cmp -s "$exe" "$dest/install/Tesvar.exe" || fail "installed Tesvar.exe differs from the built one"
# README.txt: Japanese, UTF-8 with a byte-order mark, CR LF lines (Notepad reads it so).
readme=$dest/install/README.txt
[ "$(head -c 3 "$readme" | od -An -tx1 | tr -d ' ')" = efbbbf ] || fail "README.txt has no UTF-8 byte-order mark"
iconv -f UTF-8 -t UTF-8 "$readme" >/dev/null || fail "README.txt is not UTF-8"
grep -q $'読み取り専用.*\r$' "$readme" || fail "README.txt is not Japanese text with CR LF lines"
[ "$(grep -c $'\r$' "$readme")" = "$(wc -l < "$readme")" ] || fail "README.txt has a line without CR LF"
echo "install: Tesvar.exe and README.txt"

# The release ZIP, made by cpack: the same two files in one folder named by the version.
(cd "$build" && cpack -G ZIP -B "$dest/package" >/dev/null)
zip=$dest/package/Tesvar-0.3.6-win64.zip
[ -f "$zip" ] || fail "no Tesvar-0.3.6-win64.zip: $(ls "$dest/package")"
listing=$(unzip -Z1 "$zip" | grep -v '/$' | sort | tr '\n' ' ')
[ "$listing" = "Tesvar-0.3.6-win64/README.txt Tesvar-0.3.6-win64/Tesvar.exe " ] || fail "the ZIP holds: $listing"
unzip -p "$zip" Tesvar-0.3.6-win64/Tesvar.exe | cmp -s - "$exe" || fail "the ZIP's Tesvar.exe differs from the built one"
echo "package: Tesvar-0.3.6-win64.zip with Tesvar.exe and README.txt"
