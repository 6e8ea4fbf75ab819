#include "settings/Placement.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>

#include "platform/Text.h"
#include "settings/SettingsError.h"
#include "settings/clsIniFile.h"

namespace tesvar::settings {
namespace {

using platform::MainWindow;

struct PlacementKey {
    const wchar_t* name;
    float (MainWindow::*get)();
    void (MainWindow::*set)(float);
};

// The order in which both procedures handle the keys.
constexpr PlacementKey kKeys[] = {
    {L"MainLeft", &MainWindow::Left, &MainWindow::SetLeft},
    {L"MainTop", &MainWindow::Top, &MainWindow::SetTop},
    {L"MainWidth", &MainWindow::Width, &MainWindow::SetWidth},
    {L"MainHeight", &MainWindow::Height, &MainWindow::SetHeight},
};

// The file name is appended without looking at how the folder text ends.
std::wstring ProfilePath(platform::FileServices& files) {
    return files.ProgramFolder() + L"\\" + kProfileFileName;
}

bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

}  // namespace

std::wstring ValueText(float twips) {
    if (twips == 0) return L"0";  // no "-0"
    // The shortest digits that read back as the same number, with their exponent,
    // then written out without one ("1e+20" becomes 1 and twenty zeros).
    char buf[32];
    const auto result = std::to_chars(buf, buf + sizeof buf, twips, std::chars_format::scientific);
    const std::string_view sci(buf, static_cast<std::size_t>(result.ptr - buf));
    const std::size_t e = sci.find('e');
    if (e == std::string_view::npos) return platform::Widen(sci);  // "inf" or "nan": read back as no number
    std::string digits;
    for (char c : sci.substr(0, e)) {
        if (c >= '0' && c <= '9') digits.push_back(c);
    }
    int exponent = 0;
    std::from_chars(sci.data() + e + (sci[e + 1] == '+' ? 2 : 1), sci.data() + sci.size(), exponent);
    const int point = exponent + 1;  // digits before the decimal point
    const auto size = static_cast<int>(digits.size());
    std::string text = twips < 0 ? "-" : "";
    if (point <= 0) {
        text += "0." + std::string(static_cast<std::size_t>(-point), '0') + digits;
    } else if (point >= size) {
        text += digits + std::string(static_cast<std::size_t>(point - size), '0');
    } else {
        text += digits.substr(0, static_cast<std::size_t>(point)) + "." + digits.substr(static_cast<std::size_t>(point));
    }
    return platform::Widen(text);
}

std::int32_t ToTwips(std::wstring_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);

    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negative = text[i++] == L'-';
    // The significant digits, and how many of them stand before the decimal point.
    std::string digits;
    std::int64_t point = 0;
    bool anyDigit = false;
    for (; i < text.size() && IsDigit(text[i]); ++i) {
        anyDigit = true;
        if (digits.empty() && text[i] == L'0') continue;
        digits.push_back(static_cast<char>(text[i]));
        ++point;
    }
    if (i < text.size() && text[i] == L'.') {
        for (++i; i < text.size() && IsDigit(text[i]); ++i) {
            anyDigit = true;
            if (digits.empty() && text[i] == L'0') {
                --point;
                continue;
            }
            digits.push_back(static_cast<char>(text[i]));
        }
    }
    if (!anyDigit) throw TypeMismatchError();
    if (i < text.size() && (text[i] == L'e' || text[i] == L'E')) {
        ++i;
        bool negativeExponent = false;
        if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) negativeExponent = text[i++] == L'-';
        if (i == text.size() || !IsDigit(text[i])) throw TypeMismatchError();
        std::int64_t exponent = 0;
        // Any exponent beyond a million moves every digit far out of range either way.
        for (; i < text.size() && IsDigit(text[i]); ++i) exponent = std::min<std::int64_t>(exponent * 10 + (text[i] - L'0'), 1000000);
        point += negativeExponent ? -exponent : exponent;
    }
    if (i != text.size()) throw TypeMismatchError();
    if (digits.empty()) return 0;
    if (point > 10) throw OverflowError();  // 10,000,000,000 or more

    // Whole part, then the first digit behind the point and whether any other follows.
    std::int64_t whole = 0;
    for (std::int64_t d = 0; d < point; ++d) {
        const auto at = static_cast<std::size_t>(d);
        whole = whole * 10 + (at < digits.size() ? digits[at] - '0' : 0);
    }
    int firstFraction = 0;
    bool restNonZero = false;
    if (point >= 0 && static_cast<std::size_t>(point) < digits.size()) {
        const auto at = static_cast<std::size_t>(point);
        firstFraction = digits[at] - '0';
        restNonZero = digits.find_first_not_of('0', at + 1) != std::string::npos;
    } else if (point < 0) {
        restNonZero = true;  // zeros first, then the digits: below one half
    }
    if (firstFraction > 5 || (firstFraction == 5 && (restNonZero || whole % 2 == 1))) ++whole;
    const std::int64_t value = negative ? -whole : whole;
    if (value < INT32_MIN || value > INT32_MAX) throw OverflowError();
    return static_cast<std::int32_t>(value);
}

void mLoadSettings(SettingsServices services) {
    clsIniFile ini(services.profile, services.ansi);
    ini.pFileName(ProfilePath(services.files));
    for (const PlacementKey& key : kKeys) {
        // The current value is the default: a missing or empty entry leaves the
        // property where it is, rounded to a whole twip.
        const std::wstring current = ValueText((services.window.*key.get)());
        const std::int32_t twips = ToTwips(ini.mGetString(kSection, key.name, current));
        (services.window.*key.set)(static_cast<float>(twips));
    }
}

void mSaveSettings(SettingsServices services) {
    clsIniFile ini(services.profile, services.ansi);
    ini.pFileName(ProfilePath(services.files));
    const std::int32_t state = services.window.WindowState();
    if (state == platform::window_state::Minimized || state == platform::window_state::Maximized) return;
    for (const PlacementKey& key : kKeys) {
        const float twips = (services.window.*key.get)();
        // An infinite or undefined number is no placement; storing it would make every
        // later start stop at this key.
        if (!std::isfinite(twips)) continue;
        // The result is not examined: a refused write does not stop the next one.
        ini.mSetString(kSection, key.name, ValueText(twips));
    }
}

}  // namespace tesvar::settings
