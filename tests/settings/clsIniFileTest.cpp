// clsIniFile against a scripted profile: what reaches the platform, in which code
// page, and how the class turns the platform's answers into its results.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "sim/SimAnsi.h"
#include "settings/SettingsError.h"
#include "settings/clsIniFile.h"
#include "support/Bytes.h"

namespace tesvar::settings {
namespace {

using test::Hex;

// Answers every call as scripted and records its arguments as they arrived.
class ScriptedProfile : public platform::ProfileServices {
public:
    struct Call {
        std::string op, section, key, value;
        std::wstring path;
        std::uint32_t bufferSize = 0;
        std::int32_t intDefault = 0;
    };
    std::vector<Call> calls;
    std::string place;         // bytes the next read leaves in the buffer
    std::uint32_t report = 0;  // count the read reports
    bool stored = true;
    std::uint32_t integer = 0;

    std::uint32_t GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                            std::string& buffer, std::uint32_t bufferSize, const std::wstring& path) override {
        calls.push_back({"get", section, key, defaultValue, path, bufferSize, 0});
        buffer.assign(bufferSize, '\0');
        buffer.replace(0, std::min<std::size_t>(place.size(), bufferSize), place.substr(0, bufferSize));
        return report;
    }
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::wstring& path) override {
        calls.push_back({"write", section, key, value, path, 0, 0});
        return stored;
    }
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                         const std::wstring& path) override {
        calls.push_back({"int", section, key, "", path, 0, defaultValue});
        return integer;
    }
};

class clsIniFileTest : public ::testing::Test {
protected:
    clsIniFileTest() { ini.pFileName(L"C:\\設定\\Tesvar.ini"); }
    // The path goes as it is: the profile functions take it wide.
    const std::wstring pathGiven = L"C:\\設定\\Tesvar.ini";

    ScriptedProfile profile;
    sim::SimAnsi ansi;
    clsIniFile ini{profile, ansi};
};

TEST(clsIniFilePath, IsEmptyUntilSetAndThenACopyOfWhatWasGiven) {
    ScriptedProfile profile;
    sim::SimAnsi ansi;
    clsIniFile ini(profile, ansi);
    EXPECT_EQ(ini.pFileName(), L"");
    std::wstring path = L"not a path at all\\\\";
    ini.pFileName(path);
    path += L"x";
    EXPECT_EQ(ini.pFileName(), L"not a path at all\\\\");
    EXPECT_TRUE(profile.calls.empty()) << "setting the path touches nothing";
}

TEST_F(clsIniFileTest, ReadPassesEveryTextInCodePage932AndA256ByteBuffer) {
    profile.place = "1200";
    profile.report = 4;
    EXPECT_EQ(ini.mGetString(L"設定", L"左", L"既定"), L"1200");
    ASSERT_EQ(profile.calls.size(), 1u);
    const auto& call = profile.calls[0];
    EXPECT_EQ(call.section, Hex("90dd 92e8"));
    EXPECT_EQ(call.key, Hex("8db6"));
    EXPECT_EQ(call.value, Hex("8af9 92e8"));
    EXPECT_EQ(call.bufferSize, 256u);
    EXPECT_EQ(call.path, pathGiven);
}

struct CutCase {
    const char* name;
    std::string placed;
    std::uint32_t reported;
    std::wstring expected;
};

class clsIniFileCut : public clsIniFileTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(clsIniFileCut, TakesTheReportedBytesBeforeDecoding) {
    profile.place = GetParam().placed;
    profile.report = GetParam().reported;
    EXPECT_EQ(ini.mGetString(L"S", L"K", L"default"), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, clsIniFileCut, ::testing::Values(
    // Two double-byte characters are four bytes: the count never counts characters.
    CutCase{"DoubleByteCharactersComeBackWhole", Hex("82a0 82a2") + "XYZ", 4, L"あい"},
    CutCase{"NothingBehindTheCount", "1200junk", 4, L"1200"},
    // A count that ends inside a character leaves its lead byte undecodable.
    CutCase{"CountInsideACharacter", Hex("82a0 82a2"), 3, L"あ?"},
    CutCase{"ZeroByteEndsTheValue", std::string("12\0" "34", 5), 5, L"12"},
    CutCase{"CountBeyondTheBufferIsHeldTo255Bytes", std::string(256, 'a'), 1000, std::wstring(255, L'a')},
    CutCase{"NothingPlacedGivesTheDefault", "", 0, L"default"},
    CutCase{"ZeroByteFirstGivesTheDefault", std::string(1, '\0'), 1, L"default"}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(clsIniFileTest, EmptyReadGivesTheDefaultWholeEvenBeyond255Characters) {
    const std::wstring longDefault(400, L'd');
    EXPECT_EQ(ini.mGetString(L"S", L"K", longDefault), longDefault);
    EXPECT_EQ(ini.mGetString(L"S", L"K"), L"");
    EXPECT_EQ(profile.calls.back().value, "") << "an omitted default is the empty text";
}

TEST_F(clsIniFileTest, WritePassesTextsInCodePage932AndGivesThePlatformsAnswer) {
    EXPECT_TRUE(ini.mSetString(L"設定", L"左", L"値"));
    ASSERT_EQ(profile.calls.size(), 1u);
    EXPECT_EQ(profile.calls[0].op, "write");
    EXPECT_EQ(profile.calls[0].section, Hex("90dd 92e8"));
    EXPECT_EQ(profile.calls[0].key, Hex("8db6"));
    EXPECT_EQ(profile.calls[0].value, Hex("926c"));
    EXPECT_EQ(profile.calls[0].path, pathGiven);
    profile.stored = false;
    EXPECT_FALSE(ini.mSetString(L"S", L"K", L"V"));
}

TEST_F(clsIniFileTest, TextsThatWouldBreakTheFileAreRefusedBeforeThePlatform) {
    // A line break would end the value early and start entries of its own; the
    // platform would cut at a zero character and still report success.
    const std::wstring bad[] = {L"a\r\nMainTop=1", L"a\nb", L"a\rb", std::wstring(L"a\0b", 3)};
    for (const auto& text : bad) {
        EXPECT_FALSE(ini.mSetString(L"Settings", L"MainLeft", text));
        EXPECT_FALSE(ini.mSetString(text, L"MainLeft", L"1"));
        EXPECT_FALSE(ini.mSetString(L"Settings", text, L"1"));
    }
    EXPECT_TRUE(profile.calls.empty());
}

struct IntegerCase {
    const char* name;
    std::uint32_t platform;
    std::int16_t expected;
    bool overflow;
};

class clsIniFileInteger : public clsIniFileTest, public ::testing::WithParamInterface<IntegerCase> {};

TEST_P(clsIniFileInteger, NarrowsThePlatformsResultTo16Bits) {
    profile.integer = GetParam().platform;
    if (GetParam().overflow) {
        try {
            ini.mGetInteger(L"S", L"K");
            ADD_FAILURE() << "no overflow error";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), kOverflow);
            EXPECT_EQ(e.Message(), L"オーバーフローしました。");
        }
    } else {
        EXPECT_EQ(ini.mGetInteger(L"S", L"K"), GetParam().expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, clsIniFileInteger, ::testing::Values(
    IntegerCase{"Zero", 0, 0, false},
    IntegerCase{"Largest", 32767, 32767, false},
    IntegerCase{"OneAbove", 32768, 0, true},
    IntegerCase{"Smallest", 0xFFFF8000u, -32768, false},
    IntegerCase{"OneBelow", 0xFFFF7FFFu, 0, true},
    IntegerCase{"MinusOne", 0xFFFFFFFFu, -1, false},
    IntegerCase{"Largest32Bit", 0x7FFFFFFFu, 0, true},
    IntegerCase{"Smallest32Bit", 0x80000000u, 0, true},
    IntegerCase{"LowBitsWouldFit", 0x00010005u, 0, true}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(clsIniFileTest, IntegerDefaultIsWidenedWithItsSign) {
    ini.mGetInteger(L"設定", L"K", -7);
    ini.mGetInteger(L"S", L"K");
    ASSERT_EQ(profile.calls.size(), 2u);
    EXPECT_EQ(profile.calls[0].section, Hex("90dd 92e8"));
    EXPECT_EQ(profile.calls[0].intDefault, -7);
    EXPECT_EQ(profile.calls[0].path, pathGiven);
    EXPECT_EQ(profile.calls[1].intDefault, 0);
}

}  // namespace
}  // namespace tesvar::settings
