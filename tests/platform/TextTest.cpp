#include <gtest/gtest.h>

#include <climits>

#include "platform/Text.h"

namespace tesvar::platform {
namespace {

TEST(Text, CaseInsensitiveComparisonCoversAsciiLatin1AndFullWidth) {
    EXPECT_TRUE(EqualsNoCase(L"a.TXT", L"A.txt"));
    EXPECT_TRUE(EqualsNoCase(L"\u00e9t\u00e9", L"\u00c9T\u00c9"));
    EXPECT_TRUE(EqualsNoCase(L"\uff41\uff42", L"\uff21\uff22"));  // full-width ab / AB
    EXPECT_FALSE(EqualsNoCase(L"a", L"b"));
    EXPECT_FALSE(EqualsNoCase(L"ab", L"a"));
    // Kana have no case.
    EXPECT_FALSE(EqualsNoCase(L"ｱ", L"ア"));
}

TEST(Text, FindNoCase) {
    EXPECT_EQ(FindNoCase(L"*.txt *.*", L"*.*"), 6u);
    EXPECT_TRUE(ContainsNoCase(L"*.TXT", L".tx"));
    EXPECT_TRUE(ContainsNoCase(L"*.txt", L""));
    EXPECT_FALSE(ContainsNoCase(L"", L".t"));
    EXPECT_FALSE(ContainsNoCase(L"*.txt", L".c.txt"));
}

TEST(Text, TrimSpacesOnlyTakesSpaces) {
    EXPECT_EQ(TrimSpaces(L"  C:\\a b  "), L"C:\\a b");
    EXPECT_EQ(TrimSpaces(L"   "), L"");
    EXPECT_EQ(TrimSpaces(L"\tx\t"), L"\tx\t");
    EXPECT_EQ(TrimSpaces(L"\u3000x"), L"\u3000x");
}

TEST(Text, DecimalIsPlain) {
    EXPECT_EQ(Decimal(0), L"0");
    EXPECT_EQ(Decimal(12), L"12");
    EXPECT_EQ(Decimal(-120), L"-120");
    EXPECT_EQ(Decimal(INT64_MIN), L"-9223372036854775808");
    EXPECT_EQ(Decimal(INT32_MAX), L"2147483647");
}

}  // namespace
}  // namespace tesvar::platform
