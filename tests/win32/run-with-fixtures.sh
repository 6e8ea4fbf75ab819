#!/usr/bin/env bash
# Prepares the fixtures that only the Unix side can make under Wine, runs the given
# Windows test binary through Wine (on a private X server when TESVAR_GUI is set),
# then removes them again.
#  - read-only folders: Wine reports READONLY for a folder without write bits (some
#    of them holding a desktop.ini, as Explorer marks a customized folder);
#  - files whose change is refused even for root: chattr +i, where the file system has it;
#  - folders in which not even root can create a file: chattr +i on the folder;
#  - names that Win32 reaches only through the \\?\ prefix.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
exe=$1; shift
fixtures=$(mktemp -d "${TMPDIR:-/tmp}/tesvar-fixtures.XXXXXX")
cleanup() {
  chattr -i "$fixtures"/immutable-* 2>/dev/null
  chmod -R u+w "$fixtures" 2>/dev/null
  rm -rf "$fixtures"
}
trap cleanup EXIT
for i in $(seq 1 16); do
  mkdir "$fixtures/ro-folder-$i"
  : > "$fixtures/ro-folder-$i/inner.txt"
  chmod 0555 "$fixtures/ro-folder-$i"
done
# A tree for the folder walk: walk-tree/ro-sub and walk-tree/ro-sub/ro-deeper are
# read-only folders, each holding inner.txt; the test adds the rest.
mkdir -p "$fixtures/walk-tree/ro-sub/ro-deeper"
: > "$fixtures/walk-tree/ro-sub/inner.txt"
: > "$fixtures/walk-tree/ro-sub/ro-deeper/inner.txt"
chmod 0555 "$fixtures/walk-tree/ro-sub/ro-deeper" "$fixtures/walk-tree/ro-sub"
# Folders carrying Explorer's mark: read-only, holding a desktop.ini (any case), one
# inside the other.
mkdir -p "$fixtures/marked/inner-marked"
: > "$fixtures/marked/DeskTop.ini"
: > "$fixtures/marked/inner-marked/desktop.ini"
: > "$fixtures/marked/inner-marked/inner.txt"
chmod 0555 "$fixtures/marked/inner-marked" "$fixtures/marked"
for i in $(seq 1 8); do
  f="$fixtures/immutable-$i"
  echo data > "$f"
  chmod 0444 "$f"
  chattr +i "$f" 2>/dev/null || rm -f "$f"
done
# Folders in which no file can be created, even by root: chattr +i on the folder.
for i in $(seq 1 4); do
  d="$fixtures/immutable-folder-$i"
  mkdir "$d"
  chattr +i "$d" 2>/dev/null || rmdir "$d"
done
# Names Win32 changes on their way unless a path carries the \\?\ prefix (a trailing dot
# or space is stripped, device names name the device), each read-only, beside a
# writable "rep" that "rep." would otherwise reach.
mkdir "$fixtures/odd-names"
for n in 'rep.' 'nul' 'con.txt' 'com1.log' 'a.txt '; do
  echo data > "$fixtures/odd-names/$n"
  chmod a-w "$fixtures/odd-names/$n"
done
echo data > "$fixtures/odd-names/rep"
export TESVAR_FIXTURES="$fixtures"
if [ -n "${TESVAR_GUI:-}" ]; then
  "$here/../gui/run-gui.sh" "$exe" "$@"
else
  "$here/../../cmake/wine-run.sh" "$exe" "$@"
fi
