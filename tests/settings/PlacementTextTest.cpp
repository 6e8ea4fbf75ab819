// The number forms the placement is stored in and read back from. Built into both
// test binaries: the Windows build formats with its own standard library.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cwchar>
#include <limits>
#include <optional>
#include <string>

#include "platform/Error.h"
#include "settings/Placement.h"
#include "settings/SettingsError.h"

namespace tesvar::settings {
namespace {

// --- the value text ---

struct TextCase {
    float twips;
    const wchar_t* text;
};

TEST(ValueText, WholeNumbersPlainAndFractionsShortest) {
    const TextCase cases[] = {
        {1200, L"1200"},
        {-120, L"-120"},
        {0, L"0"},
        {-0.0f, L"0"},
        {1440.5f, L"1440.5"},
        {-300.25f, L"-300.25"},
        {0.1f, L"0.1"},
        {1234.567f, L"1234.567"},
        {0.001f, L"0.001"},
        {16777216, L"16777216"},
        {1e20f, L"100000000000000000000"},
        {-32768, L"-32768"},
    };
    for (const auto& c : cases) EXPECT_EQ(ValueText(c.twips), c.text) << c.twips;
}

TEST(ValueText, UndefinedNumbersGiveTextThatIsNoNumber) {
    EXPECT_EQ(ValueText(std::numeric_limits<float>::infinity()), L"inf");
    EXPECT_EQ(ValueText(-std::numeric_limits<float>::infinity()), L"-inf");
    EXPECT_EQ(ValueText(std::numeric_limits<float>::quiet_NaN()), L"nan");
    EXPECT_THROW(ToTwips(ValueText(std::numeric_limits<float>::quiet_NaN())), platform::Error);
}

TEST(ValueText, ReadsBackAsTheSameNumber) {
    const float values[] = {0.1f, 1.0f / 3, 4500.0625f, -1e-7f, 123456.79f, 3.4028235e38f, 1e-45f, -2.5e-38f,
                            std::nextafter(1440.5f, 2000.0f)};
    for (float v : values) {
        const std::wstring text = ValueText(v);
        EXPECT_EQ(text.find_first_of(L"eE"), std::wstring::npos) << "no exponent: " << v;
        EXPECT_EQ(std::wcstof(text.c_str(), nullptr), v) << std::string(text.begin(), text.end());
    }
}

// --- reading a stored text as whole twips ---

struct TwipsCase {
    const wchar_t* text;
    std::optional<std::int32_t> twips;  // nothing: the error below
    std::int32_t error;
};

constexpr std::int32_t kNone = 0;

TEST(ToTwips, RoundsHalfToEvenAndFailsOnWhatIsNoFittingNumber) {
    const TwipsCase cases[] = {
        {L"1200", 1200, kNone},
        {L"-300", -300, kNone},
        {L"+5", 5, kNone},
        {L"1440.5", 1440, kNone},
        {L"1441.5", 1442, kNone},
        {L"-1440.5", -1440, kNone},
        {L"-1441.5", -1442, kNone},
        {L"0.5", 0, kNone},
        {L"1.5", 2, kNone},
        {L"2.50000000000000000001", 3, kNone},
        {L"0.49999999999999999999", 0, kNone},
        {L"1440.4", 1440, kNone},
        {L"1440.6", 1441, kNone},
        {L"4500.25", 4500, kNone},
        {L"  12\t", 12, kNone},
        {L".5", 0, kNone},
        {L"5.", 5, kNone},
        {L"0.05", 0, kNone},
        {L"1.2e3", 1200, kNone},
        {L"12E-1", 1, kNone},
        {L"25e-1", 2, kNone},
        {L"0000000000000032767", 32767, kNone},
        {L"32767.4", 32767, kNone},
        {L"-32768.5", -32768, kNone},
        {L"0e999999999999", 0, kNone},
        {L"7e-999999999999", 0, kNone},
        {L"-0", 0, kNone},
        // Beyond 16 bits (a second monitor right of a wide one), within 32.
        {L"32767.5", 32768, kNone},
        {L"36000", 36000, kNone},
        {L"-40000", -40000, kNone},
        {L"1e5", 100000, kNone},
        {L"2147483647.4", 2147483647, kNone},
        {L"-2147483648.5", INT32_MIN, kNone},
        {L"2147483647.5", std::nullopt, kOverflow},
        {L"-2147483648.6", std::nullopt, kOverflow},
        {L"9999999999", std::nullopt, kOverflow},
        {L"1e10", std::nullopt, kOverflow},
        {L"99999999999999999999", std::nullopt, kOverflow},
        {L"1e999999999999", std::nullopt, kOverflow},
        {L"abc", std::nullopt, kTypeMismatch},
        {L"", std::nullopt, kTypeMismatch},
        {L"  ", std::nullopt, kTypeMismatch},
        {L"12a", std::nullopt, kTypeMismatch},
        {L"1 2", std::nullopt, kTypeMismatch},
        {L"1,200", std::nullopt, kTypeMismatch},
        {L".", std::nullopt, kTypeMismatch},
        {L"-", std::nullopt, kTypeMismatch},
        {L"1e", std::nullopt, kTypeMismatch},
        {L"1e+", std::nullopt, kTypeMismatch},
        {L"0x10", std::nullopt, kTypeMismatch},
        {L"１２", std::nullopt, kTypeMismatch},
        {L"nan", std::nullopt, kTypeMismatch},
        {L"inf", std::nullopt, kTypeMismatch},
        {L"99999999999999999999x", std::nullopt, kTypeMismatch},
    };
    for (const auto& c : cases) {
        const std::string label(c.text, c.text + std::wcslen(c.text));
        if (c.twips) {
            EXPECT_EQ(ToTwips(c.text), *c.twips) << label;
            continue;
        }
        try {
            ToTwips(c.text);
            ADD_FAILURE() << label << ": no error";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), c.error) << label;
        }
    }
}

TEST(ToTwips, ReadsBackEveryStoredValueAsItsNearestWholeTwip) {
    // Saving and loading rounds exactly as rounding the window's own number would.
    for (float v : {0.5f, 1.5f, 2.5f, -0.5f, -1.5f, 1440.5f, 1441.5f, 0.49999997f, 1234.567f, -32768.4f, 32767.49f,
                    std::nextafter(2.5f, 3.0f), std::nextafter(2.5f, 2.0f)}) {
        EXPECT_EQ(ToTwips(ValueText(v)), static_cast<std::int32_t>(std::nearbyint(v))) << v;
    }
}

}  // namespace
}  // namespace tesvar::settings
