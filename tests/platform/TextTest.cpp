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

// Dropped paths as the file services get them: canonical, device forms read or refused.
TEST(Text, DroppedPathIsCanonicalAndNeverADevice) {
    const struct {
        const wchar_t* given;
        const wchar_t* dropped;
    } cases[] = {
        {L"C:/d/sub/../foo.", L"C:\\d\\foo."},
        {L"C:\\d\\\\x.txt", L"C:\\d\\x.txt"},
        {L"\\\\.\\C:\\d\\.\\rep.", L"C:\\d\\rep."},
        {L"\\\\.\\UNC\\srv\\share\\a", L"\\\\srv\\share\\a"},
        {L"\\\\.\\PhysicalDrive0", L""},
        {L"\\\\.\\C:", L""},
        {L"\\\\.\\pipe\\x", L""},
        {L"\\\\?\\C:\\a\\..\\b", L"\\\\?\\C:\\a\\..\\b"},
    };
    for (const auto& c : cases) EXPECT_EQ(DroppedPath(c.given, L"C:\\cur"), c.dropped) << c.given;
}

// A command line split as paths: quotes group, a backslash never escapes.
TEST(Text, CommandLineArgumentsAreSplitAsPaths) {
    using Args = std::vector<std::wstring>;
    const struct {
        const wchar_t* line;
        Args arguments;
    } cases[] = {
        {L"Tesvar.exe", {}},
        {L"\"C:\\Program Files\\Tesvar.exe\" \"C:\\\" \"D:\\a b.txt\"", {L"C:\\", L"D:\\a b.txt"}},
        {L"Tesvar.exe C:\\ D:\\x\\", {L"C:\\", L"D:\\x\\"}},
        {L"Tesvar.exe \"D:\\dir\\\"\t\"E:\\f g\"", {L"D:\\dir\\", L"E:\\f g"}},
        {L"Tesvar.exe \"\" a.txt  \"\"", {L"a.txt"}},
        {L"Tesvar.exe D:\\\"a b\"\\c.txt", {L"D:\\a b\\c.txt"}},
        {L"\"C:\\my dir\\Tesvar.exe\"x.txt", {L"x.txt"}},
    };
    for (const auto& c : cases) EXPECT_EQ(CommandLineArguments(c.line), c.arguments) << c.line;
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
