#pragma once
// Text helpers shared by every subsystem: the case-insensitive comparisons the window
// logic uses, and plain decimal forms of numbers.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesvar::platform {

// Folds one character for case-insensitive comparison: ASCII, Latin-1 and the
// full-width Latin letters, the same on every platform.
wchar_t FoldCase(wchar_t c) noexcept;
std::wstring FoldCase(std::wstring_view text);

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept;
// Position of needle in haystack (0-based), or npos; an empty needle is found at 0.
std::size_t FindNoCase(std::wstring_view haystack, std::wstring_view needle) noexcept;
inline bool ContainsNoCase(std::wstring_view haystack, std::wstring_view needle) noexcept {
    return FindNoCase(haystack, needle) != std::wstring_view::npos;
}

// Leading and trailing spaces (U+0020 only) removed.
std::wstring_view TrimSpaces(std::wstring_view text) noexcept;
bool EndsWithBackslash(std::wstring_view text) noexcept;

// A path given from outside (the command line) made absolute against folder (an
// absolute folder path) and canonical, once: "/" counts as "\", empty and "." parts go,
// ".." takes the part before it away; "\x" lies on folder's drive or share, "C:x" in
// folder when that is on drive C and in C:\ otherwise. A trailing "\" stays. The names
// themselves are never changed (a trailing dot or space stays), and a "\\?\" path is
// taken exactly as it stands.
std::wstring AbsolutePath(std::wstring_view path, std::wstring_view folder);

// A path handed over by a drop or the command line, as the file services get it:
// absolute and canonical (AbsolutePath), with "\\.\X:\" read as "X:\" and "\\.\UNC\"
// as "\\". Any other "\\.\" path names a device, not a file or folder: empty, which a
// drop passes over.
std::wstring DroppedPath(std::wstring_view path, std::wstring_view folder);

// The arguments after the program's name on a command line, split as paths: white
// space separates, quotes only group (a path cannot hold one), and a backslash is a
// backslash, also before a quote ("C:\" "D:\a b" gives C:\ and D:\a b). Empty
// arguments are left out.
std::vector<std::wstring> CommandLineArguments(std::wstring_view commandLine);

// Plain decimal digits with "-" when negative: no padding, no grouping.
std::wstring Decimal(std::int64_t value);

// Narrow ASCII text (error texts of the portable code) to a wide string.
std::wstring Widen(std::string_view ascii);

}  // namespace tesvar::platform
