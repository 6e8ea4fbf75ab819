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

// Paths from the command line, made absolute against the current folder C:\cur\dir.
TEST(Text, AbsolutePathResolvesAgainstTheFolderAndKeepsNames) {
    const struct {
        const wchar_t* given;
        const wchar_t* absolute;
    } cases[] = {
        {L"a.txt", L"C:\\cur\\dir\\a.txt"},
        {L"..\\x\\.\\b.txt", L"C:\\cur\\x\\b.txt"},
        {L"sub/報告書 .txt", L"C:\\cur\\dir\\sub\\報告書 .txt"},  // a name's trailing space stays
        {L"rep.", L"C:\\cur\\dir\\rep."},
        {L"D:\\x\\..\\y\\", L"D:\\y\\"},
        {L"C:\\", L"C:\\"},
        {L"\\top", L"C:\\top"},
        {L"C:rel", L"C:\\cur\\dir\\rel"},
        {L"E:rel", L"E:\\rel"},
        {L"..\\..\\..\\..", L"C:\\"},
        {L"\\\\server\\share\\d\\..\\f.txt", L"\\\\server\\share\\f.txt"},
        {L"\\\\?\\C:\\a\\..\\nul", L"\\\\?\\C:\\a\\..\\nul"},
    };
    for (const auto& c : cases) EXPECT_EQ(AbsolutePath(c.given, L"C:\\cur\\dir"), c.absolute) << c.given;
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
