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
