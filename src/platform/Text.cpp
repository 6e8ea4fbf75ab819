#include "platform/Text.h"

#include <algorithm>

namespace tesvar::platform {

wchar_t FoldCase(wchar_t c) noexcept {
    if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - (L'a' - L'A'));
    // Latin-1 lower case letters, but not the division sign and y with diaeresis.
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
    // Full-width a..z.
    if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0x20);
    return c;
}

std::wstring FoldCase(std::wstring_view text) {
    std::wstring out(text);
    for (auto& c : out) c = FoldCase(c);
    return out;
}

bool EqualsNoCase(std::wstring_view a, std::wstring_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldCase(a[i]) != FoldCase(b[i])) return false;
    }
    return true;
}

std::size_t FindNoCase(std::wstring_view haystack, std::wstring_view needle) noexcept {
    if (needle.empty()) return 0;
    if (needle.size() > haystack.size()) return std::wstring_view::npos;
    for (std::size_t i = 0; i + needle.size() <= haystack.size(); ++i) {
        if (EqualsNoCase(haystack.substr(i, needle.size()), needle)) return i;
    }
    return std::wstring_view::npos;
}

std::wstring_view TrimSpaces(std::wstring_view text) noexcept {
    const auto first = text.find_first_not_of(L' ');
    if (first == std::wstring_view::npos) return {};
    const auto last = text.find_last_not_of(L' ');
    return text.substr(first, last - first + 1);
}

bool EndsWithBackslash(std::wstring_view text) noexcept {
    return !text.empty() && text.back() == L'\\';
}

namespace {

// Length of a path's root: "C:\" (3), "\\server\share\" (up to the share's "\"), "\"
// (1), "C:" (2); 0 for a relative path. Separators are already "\".
std::size_t RootLength(std::wstring_view path) {
    if (path.starts_with(L"\\\\")) {
        const auto server = path.find(L'\\', 2);
        if (server == std::wstring_view::npos) return path.size();
        const auto share = path.find(L'\\', server + 1);
        return share == std::wstring_view::npos ? path.size() : share + 1;
    }
    if (path.size() >= 2 && path[1] == L':') return path.size() >= 3 && path[2] == L'\\' ? 3 : 2;
    return path.starts_with(L"\\") ? 1 : 0;
}

}  // namespace

std::wstring AbsolutePath(std::wstring_view given, std::wstring_view folder) {
    if (given.starts_with(L"\\\\?\\")) return std::wstring(given);
    std::wstring path(given);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    std::wstring base(folder);
    std::replace(base.begin(), base.end(), L'/', L'\\');
    const std::size_t baseRoot = RootLength(base);
    std::wstring joined;
    const std::size_t root = RootLength(path);
    if (root == 3 || (root > 2 && path.starts_with(L"\\\\"))) {
        joined = path;  // absolute already
    } else if (root == 1) {
        // On folder's drive or share.
        const std::wstring_view head = std::wstring_view(base).substr(0, baseRoot);
        joined = std::wstring(head.ends_with(L'\\') ? head.substr(0, head.size() - 1) : head) + path;
    } else if (root == 2) {
        // "C:x": in folder when it is on that drive, else at that drive's root.
        const bool sameDrive = baseRoot >= 2 && base[1] == L':' && FoldCase(base[0]) == FoldCase(path[0]);
        joined = (sameDrive ? base + L"\\" : path.substr(0, 2) + L"\\") + path.substr(2);
    } else {
        joined = base + L"\\" + path;
    }
    // The parts after the root, with "." and empty ones gone and ".." taking one away.
    const std::size_t head = RootLength(joined);
    std::wstring out = joined.substr(0, head);
    if (!out.empty() && !out.ends_with(L'\\')) out.push_back(L'\\');
    const std::size_t rootEnd = out.size();
    const bool trailing = joined.size() > head && joined.ends_with(L'\\');
    std::size_t at = head;
    while (at < joined.size()) {
        const std::size_t end = std::min(joined.find(L'\\', at), joined.size());
        const std::wstring_view part = std::wstring_view(joined).substr(at, end - at);
        if (part == L"..") {
            if (out.size() > rootEnd) {
                out.pop_back();  // the "\" after the last part
                out.resize(out.rfind(L'\\') + 1);
            }
        } else if (!part.empty() && part != L".") {
            out.append(part);
            out.push_back(L'\\');
        }
        at = end + 1;
    }
    // Only the root keeps its "\" when the path did not end in one.
    if (!trailing && out.size() > rootEnd) out.pop_back();
    return out;
}

std::wstring DroppedPath(std::wstring_view path, std::wstring_view folder) {
    std::wstring given(path);
    std::replace(given.begin(), given.end(), L'/', L'\\');
    if (given.starts_with(L"\\\\.\\")) {
        const std::wstring_view device = std::wstring_view(given).substr(4);
        const bool drive = device.size() >= 3 && device[1] == L':' && device[2] == L'\\' &&
                           ((device[0] >= L'A' && device[0] <= L'Z') || (device[0] >= L'a' && device[0] <= L'z'));
        if (drive) return AbsolutePath(device, folder);
        if (device.size() > 4 && EqualsNoCase(device.substr(0, 4), L"UNC\\"))
            return AbsolutePath(L"\\\\" + std::wstring(device.substr(4)), folder);
        return {};
    }
    return AbsolutePath(given, folder);
}

std::vector<std::wstring> CommandLineArguments(std::wstring_view line) {
    std::vector<std::wstring> arguments;
    const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
    std::size_t at = 0;
    // The program's name: up to the closing quote when it is quoted, else up to white
    // space, as Windows itself reads it.
    if (at < line.size() && line[at] == L'"') {
        const auto close = line.find(L'"', 1);
        at = close == std::wstring_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && !blank(line[at])) ++at;
    }
    std::wstring current;
    bool quoted = false;
    for (; at < line.size(); ++at) {
        const wchar_t c = line[at];
        if (c == L'"') {
            quoted = !quoted;
        } else if (blank(c) && !quoted) {
            if (!current.empty()) arguments.push_back(std::move(current));
            current.clear();
        } else {
            current.push_back(c);
        }
    }
    if (!current.empty()) arguments.push_back(std::move(current));
    return arguments;
}

std::wstring Decimal(std::int64_t value) {
    // Built by hand: std::to_wstring is fine too, but this stays allocation-light.
    wchar_t buf[24];
    wchar_t* end = buf + std::size(buf);
    wchar_t* p = end;
    const bool negative = value < 0;
    // Work on the negative side so that INT64_MIN needs no special case.
    std::int64_t v = negative ? value : -value;
    do {
        *--p = static_cast<wchar_t>(L'0' - (v % 10));
        v /= 10;
    } while (v != 0);
    if (negative) *--p = L'-';
    return std::wstring(p, end);
}

std::wstring Widen(std::string_view ascii) {
    std::wstring out;
    out.reserve(ascii.size());
    for (char c : ascii) out.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace tesvar::platform
