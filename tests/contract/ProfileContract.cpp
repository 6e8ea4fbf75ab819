// The profile operations as clsIniFile and the placement procedures see them: the same
// cases natively against the simulated profile and under Wine against kernel32
// (code page 932). Where the two differ, kernel32 is right.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "contract/ProfileTree.h"
#include "platform/Error.h"
#include "sim/SimUi.h"
#include "settings/Placement.h"
#include "settings/SettingsError.h"
#include "settings/clsIniFile.h"
#include "support/Bytes.h"

namespace tesvar::contract {
namespace {

using test::Hex;

// Twenty hiragana, two bytes each in code page 932.
const std::wstring kTwentyKana = L"あいうえおかきくけこさしすせそたちつてと";
const std::string kTwentyKanaSjis =
    Hex("82a0 82a2 82a4 82a6 82a8 82a9 82ab 82ad 82af 82b1 82b3 82b5 82b7 82b9 82bb 82bd 82bf 82c2 82c4 82c6");
std::string Repeat(const std::string& unit, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) out += unit;
    return out;
}
const std::string kA = Hex("82a0");  // あ

// Parameterised cases are named by their own name field.
struct CaseName {
    template <class Case>
    std::string operator()(const ::testing::TestParamInfo<Case>& param) const {
        return param.param.name;
    }
};

class ProfileContract : public ::testing::Test {
protected:
    settings::clsIniFile Ini(const std::wstring& path) {
        settings::clsIniFile ini(tree->Profile(), tree->Ansi());
        ini.pFileName(path);
        return ini;
    }
    std::wstring File() { return tree->Path(L"Tesvar.ini"); }

    std::unique_ptr<ProfileTree> tree = MakeProfileTree();
};

// --- reading ---

struct ReadCase {
    const char* name;
    std::optional<std::string> file;  // nothing: no file
    std::wstring section;
    std::wstring key;
    std::optional<std::wstring> strDefault;  // nothing: omitted
    std::wstring expected;
};

class ProfileRead : public ProfileContract, public ::testing::WithParamInterface<ReadCase> {};

TEST_P(ProfileRead, GivesTheValueOrTheDefault) {
    const ReadCase& c = GetParam();
    if (c.file) tree->WriteFile(File(), *c.file);
    auto ini = Ini(File());
    const std::wstring got = c.strDefault ? ini.mGetString(c.section, c.key, *c.strDefault)
                                          : ini.mGetString(c.section, c.key);
    EXPECT_EQ(got, c.expected);
    EXPECT_EQ(tree->ReadFile(File()), c.file) << "a read changes nothing";
}

const std::string kSettings = "[Settings]\r\n";

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRead, ::testing::Values(
    ReadCase{"MissingFile", std::nullopt, L"Settings", L"MainLeft", L"1200", L"1200"},
    ReadCase{"MissingFileNoDefault", std::nullopt, L"Settings", L"MainLeft", std::nullopt, L""},
    ReadCase{"MissingSection", "[Other]\r\nMainLeft=5\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"MissingEntry", kSettings + "MainTop=5\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"MissingEntryNoDefault", kSettings + "MainTop=5\r\n", L"Settings", L"MainLeft", std::nullopt, L""},
    ReadCase{"EmptyValue", kSettings + "MainLeft=\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"EmptyValueNoDefault", kSettings + "MainLeft=\r\n", L"Settings", L"MainLeft", std::nullopt, L""},
    ReadCase{"BlankValue", kSettings + "MainLeft=   \r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"Value300SingleByte", kSettings + "MainLeft=" + std::string(300, 'a') + "\r\n", L"Settings",
             L"MainLeft", L"", std::wstring(255, L'a')},
    ReadCase{"ValueExactly255Bytes", kSettings + "MainLeft=" + std::string(255, 'b') + "\r\n", L"Settings",
             L"MainLeft", L"", std::wstring(255, L'b')},
    ReadCase{"Value255BytesEndingDoubleByte", kSettings + "MainLeft=c" + Repeat(kA, 127) + "\r\n", L"Settings",
             L"MainLeft", L"", L"c" + std::wstring(127, L'あ')},
    ReadCase{"TwentyDoubleByteCharacters", kSettings + "MainLeft=" + kTwentyKanaSjis + "\r\n", L"Settings",
             L"MainLeft", L"", kTwentyKana},
    // 400 bytes: only whole characters come back, never half of one.
    ReadCase{"DoubleByteValueLongerThanBuffer", kSettings + "MainLeft=" + Repeat(kA, 200) + "\r\n", L"Settings",
             L"MainLeft", L"", std::wstring(127, L'あ')},
    ReadCase{"LongDefaultForMissingEntry", kSettings, L"Settings", L"MainLeft", std::wstring(300, L'd'),
             std::wstring(255, L'd')},
    ReadCase{"LongDefaultForMissingFile", std::nullopt, L"Settings", L"MainLeft", std::wstring(300, L'd'),
             std::wstring(255, L'd')},
    ReadCase{"LongDoubleByteDefaultForMissingEntry", kSettings, L"Settings", L"MainLeft", std::wstring(200, L'あ'),
             std::wstring(127, L'あ')},
    ReadCase{"LongDefaultForEmptyValue", kSettings + "MainLeft=\r\n", L"Settings", L"MainLeft",
             std::wstring(300, L'd'), std::wstring(300, L'd')},
    ReadCase{"NamesInAnotherLetterCase", "[settings]\r\nmainleft=1200\r\n", L"SETTINGS", L"MainLeft", L"7", L"1200"},
    ReadCase{"NamesInUpperCase", "[SETTINGS]\r\nMAINLEFT=1200\r\n", L"settings", L"mainleft", L"7", L"1200"},
    ReadCase{"BlanksAroundNamesAndValue", "  [ Settings ]  \r\n  MainLeft  =  12 00  \r\n", L"Settings",
             L"MainLeft", L"7", L"12 00"},
    ReadCase{"TabsAroundValue", kSettings + "MainLeft=\t1200\t\r\n", L"Settings", L"MainLeft", L"7", L"1200"},
    ReadCase{"BlanksAroundAskedNames", kSettings + "MainLeft=1200\r\n", L" Settings ", L" MainLeft ", L"7", L"1200"},
    ReadCase{"ValueUpToLineEndAfterFirstEquals", kSettings + "MainLeft=a=b\r\n", L"Settings", L"MainLeft", L"7",
             L"a=b"},
    ReadCase{"DoubleQuotesDropped", kSettings + "MainLeft=\" 12 \"\r\n", L"Settings", L"MainLeft", L"7", L" 12 "},
    ReadCase{"SingleQuotesDropped", kSettings + "MainLeft='12'\r\n", L"Settings", L"MainLeft", L"7", L"12"},
    ReadCase{"LongQuotedValueKeepsItsCut", kSettings + "MainLeft=\"" + std::string(300, 'a') + "\"\r\n", L"Settings",
             L"MainLeft", L"7", std::wstring(255, L'a')},
    // Without its opening mark the value just fills the buffer; the platform then drops
    // the last character it copied, which is not the closing mark.
    ReadCase{"QuotedValueOneShortOfTheBuffer", kSettings + "MainLeft=\"" + std::string(255, 'a') + "\"\r\n",
             L"Settings", L"MainLeft", L"7", std::wstring(254, L'a')},
    ReadCase{"UnpairedQuoteKept", kSettings + "MainLeft=\"12\r\n", L"Settings", L"MainLeft", L"7", L"\"12"},
    ReadCase{"LinesEndingInLineFeed", "[Settings]\nMainTop=1\nMainLeft=2\n", L"Settings", L"MainLeft", L"7", L"2"},
    ReadCase{"LinesEndingInCarriageReturn", "[Settings]\rMainTop=1\rMainLeft=2", L"Settings", L"MainLeft", L"7",
             L"2"},
    ReadCase{"OnlyTheFirstOfTwoSections", kSettings + "MainTop=1\r\n" + kSettings + "MainLeft=2\r\n", L"Settings",
             L"MainLeft", L"7", L"7"},
    ReadCase{"FirstOfTwoEntries", kSettings + "MainLeft=1\r\nMainLeft=2\r\n", L"Settings", L"MainLeft", L"7", L"1"},
    ReadCase{"LineWithoutEquals", kSettings + "MainLeft\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"EntryBeforeAnySection", "MainLeft=1\r\n[Settings]\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"SectionLineWithoutBracket", "[Settings\r\nMainLeft=1\r\n", L"Settings", L"MainLeft", L"7", L"7"},
    ReadCase{"SectionNameEndsAtBracket", "[Settings]; note\r\nMainLeft=1\r\n", L"Settings", L"MainLeft", L"7",
             L"1"},
    ReadCase{"DefaultLosesTrailingSpaces", kSettings, L"Settings", L"MainLeft", L"12  ", L"12"}),
    CaseName());

TEST_F(ProfileContract, CountIsTheBytesPlacedBeforeAZeroByte) {
    tree->WriteFile(File(), kSettings + "MainLeft=" + kTwentyKanaSjis + "\r\n");
    std::string buffer;
    const auto path = File();
    EXPECT_EQ(tree->Profile().GetString("Settings", "MainLeft", "", buffer, 256, path), 40u);
    ASSERT_EQ(buffer.size(), 256u);
    EXPECT_EQ(buffer.substr(0, 41), kTwentyKanaSjis + std::string(1, '\0'));
    EXPECT_EQ(tree->Profile().GetString("Settings", "Missing", "abc", buffer, 256, path), 3u);
    EXPECT_EQ(buffer.substr(0, 4), std::string("abc\0", 4));
}

// --- integers ---

struct IntCase {
    const char* name;
    std::optional<std::string> value;  // nothing: no entry
    std::int16_t intDefault;
    std::optional<std::int16_t> expected;  // nothing: overflow error
};

class ProfileInteger : public ProfileContract, public ::testing::WithParamInterface<IntCase> {};

TEST_P(ProfileInteger, ReadsNarrowedTo16Bits) {
    const IntCase& c = GetParam();
    tree->WriteFile(File(), kSettings + (c.value ? "Value=" + *c.value + "\r\n" : std::string()));
    auto ini = Ini(File());
    if (c.expected) {
        EXPECT_EQ(ini.mGetInteger(L"Settings", L"Value", c.intDefault), *c.expected);
    } else {
        try {
            ini.mGetInteger(L"Settings", L"Value", c.intDefault);
            ADD_FAILURE() << "no overflow error";
        } catch (const platform::Error& e) {
            EXPECT_EQ(e.Number(), settings::kOverflow);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileInteger, ::testing::Values(
    IntCase{"Overflow40000", "40000", 0, std::nullopt},
    IntCase{"MissingEntry", std::nullopt, 0, 0},
    IntCase{"MissingEntryGivenDefault", std::nullopt, -7, -7},
    IntCase{"EmptyValue", "", 9, 9},
    IntCase{"Negative", "-5", 0, -5},
    IntCase{"Largest", "32767", 0, 32767},
    IntCase{"Smallest", "-32768", 0, -32768},
    IntCase{"OneAboveLargest", "32768", 0, std::nullopt},
    IntCase{"OneBelowSmallest", "-32769", 0, std::nullopt},
    IntCase{"DigitsThenLetters", "12abc", 0, 12},
    IntCase{"Letters", "abc", 5, 0},
    IntCase{"Quoted", "\"12\"", 0, 12},
    IntCase{"Hexadecimal", "0x10", 0, 16},
    IntCase{"Fraction", "1.5", 0, 1},
    IntCase{"WrapsAt32Bits", "4294967295", 0, -1},
    IntCase{"TooLongFor32Bits", "99999999999", 0, std::nullopt}),
    CaseName());

TEST_F(ProfileContract, IntegerFromMissingFileIsTheDefaultAndCreatesNothing) {
    auto ini = Ini(File());
    EXPECT_EQ(ini.mGetInteger(L"Settings", L"Value"), 0);
    EXPECT_EQ(ini.mGetInteger(L"Settings", L"Value", 5), 5);
    EXPECT_FALSE(tree->ReadFile(File()));
}

// --- writing ---

struct WriteCase {
    const char* name;
    std::optional<std::string> file;  // nothing: no file
    std::wstring section;
    std::wstring key;
    std::wstring value;
    std::string expected;
};

class ProfileWrite : public ProfileContract, public ::testing::WithParamInterface<WriteCase> {};

TEST_P(ProfileWrite, ChangesOnlyTheEntry) {
    const WriteCase& c = GetParam();
    if (c.file) tree->WriteFile(File(), *c.file);
    EXPECT_TRUE(Ini(File()).mSetString(c.section, c.key, c.value));
    EXPECT_EQ(tree->ReadFile(File()), c.expected);
}

const std::string kThreeSections =
    "; placement\r\n[Other]\r\nMainLeft=1\r\n[Settings]\r\nMainLeft=5\r\nMainTop=6\r\n[Last]\r\nx=1\r\n";

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::Values(
    WriteCase{"CreatesMissingFile", std::nullopt, L"Settings", L"MainLeft", L"1200",
              "[Settings]\r\nMainLeft=1200\r\n"},
    WriteCase{"FillsEmptyFile", "", L"Settings", L"MainLeft", L"1200", "[Settings]\r\nMainLeft=1200\r\n"},
    WriteCase{"ReplacesValueInItsLine", kThreeSections, L"Settings", L"MainLeft", L"-300",
              "; placement\r\n[Other]\r\nMainLeft=1\r\n[Settings]\r\nMainLeft=-300\r\nMainTop=6\r\n[Last]\r\nx=1\r\n"},
    WriteCase{"AddsEntryAtEndOfItsSection", kThreeSections, L"Settings", L"MainWidth", L"4500",
              "; placement\r\n[Other]\r\nMainLeft=1\r\n[Settings]\r\nMainLeft=5\r\nMainTop=6\r\nMainWidth=4500\r\n"
              "[Last]\r\nx=1\r\n"},
    WriteCase{"AddsSectionAtEndOfFile", "[Other]\r\nx=1\r\n", L"Settings", L"MainLeft", L"1200",
              "[Other]\r\nx=1\r\n[Settings]\r\nMainLeft=1200\r\n"},
    WriteCase{"KeepsTheFilesSpellingOfNames", "[settings]\r\nmainleft=1\r\n", L"Settings", L"MainLeft", L"2",
              "[settings]\r\nmainleft=2\r\n"},
    WriteCase{"EndsUnfinishedLineBeforeNewEntry", kSettings + "MainTop=1", L"Settings", L"MainLeft", L"2",
              kSettings + "MainTop=1\r\nMainLeft=2\r\n"},
    WriteCase{"EndsUnfinishedLineBeforeNewSection", "[Other]\r\nx=1", L"Settings", L"MainLeft", L"2",
              "[Other]\r\nx=1\r\n[Settings]\r\nMainLeft=2\r\n"},
    WriteCase{"EmptyValue", kSettings + "MainLeft=5\r\n", L"Settings", L"MainLeft", L"", kSettings + "MainLeft=\r\n"},
    WriteCase{"LeadingBlanksOfValueDropped", std::nullopt, L"Settings", L"MainLeft", L"  5",
              kSettings + "MainLeft=5\r\n"},
    WriteCase{"SameValueAgain", kSettings + "MainLeft=1\r\n", L"Settings", L"MainLeft", L"1",
              kSettings + "MainLeft=1\r\n"},
    WriteCase{"DoubleByteValueInCodePage932", std::nullopt, L"Settings", L"MainLeft", kTwentyKana,
              kSettings + "MainLeft=" + kTwentyKanaSjis + "\r\n"}),
    CaseName());

TEST_F(ProfileContract, WriteThenReadGivesTheValueBack) {
    auto ini = Ini(File());
    ASSERT_TRUE(ini.mSetString(L"Settings", L"MainLeft", L"1200"));
    ASSERT_TRUE(ini.mSetString(L"Settings", L"MainLeft", kTwentyKana));
    ASSERT_TRUE(ini.mSetString(L"Other", L"MainLeft", L"3"));
    EXPECT_EQ(ini.mGetString(L"Settings", L"MainLeft"), kTwentyKana);
    EXPECT_EQ(ini.mGetString(L"other", L"mainleft"), L"3");
}

TEST_F(ProfileContract, DoubledSeparatorFindsTheSameFile) {
    // What a program folder at a drive root gives: its text already ends in "\".
    auto ini = Ini(tree->Root() + L"\\\\Tesvar.ini");
    ASSERT_TRUE(ini.mSetString(L"Settings", L"MainLeft", L"1200"));
    EXPECT_EQ(tree->ReadFile(File()), "[Settings]\r\nMainLeft=1200\r\n");
    EXPECT_EQ(ini.mGetString(L"Settings", L"MainLeft"), L"1200");
}

TEST_F(ProfileContract, FolderThatDoesNotExistRefusesTheWriteWithoutError) {
    const std::wstring path = tree->Path(L"missing\\Tesvar.ini");
    auto ini = Ini(path);
    bool stored = true;
    EXPECT_NO_THROW(stored = ini.mSetString(L"Settings", L"MainLeft", L"1200"));
    EXPECT_FALSE(stored);
    EXPECT_FALSE(tree->ReadFile(path));
    EXPECT_EQ(ini.mGetString(L"Settings", L"MainLeft", L"7"), L"7");
}

TEST_F(ProfileContract, FolderThatCannotBeWrittenRefusesTheWriteWithoutError) {
    const std::wstring folder = tree->UnwritableFolder();
    if (folder.empty()) GTEST_SKIP() << "no unwritable folder can be made here";
    const std::wstring path = folder + L"\\Tesvar.ini";
    auto ini = Ini(path);
    bool stored = true;
    EXPECT_NO_THROW(stored = ini.mSetString(L"Settings", L"MainLeft", L"1200"));
    EXPECT_FALSE(stored);
    EXPECT_FALSE(tree->ReadFile(path));
}

// --- the placement procedures over the profile ---

TEST_F(ProfileContract, ClosingInNormalStateWritesTheFiveLines) {
    sim::SimUi ui;
    ui.left = 1200;
    ui.top = 900;
    ui.width = 4500;
    ui.height = 5100;
    settings::mSaveSettings({tree->Files(), tree->Profile(), tree->Ansi(), ui});
    EXPECT_EQ(tree->ReadFile(File()),
              "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
}

TEST_F(ProfileContract, LoadingRestoresUpToTheFirstValueThatIsNoNumber) {
    tree->WriteFile(File(), "[settings]\r\nmainleft=1440.5\r\nMainTop=-300\r\nMAINWIDTH=6000\r\nMainHeight=abc\r\n");
    sim::SimUi ui;
    ui.height = 4950;
    try {
        settings::mLoadSettings({tree->Files(), tree->Profile(), tree->Ansi(), ui});
        ADD_FAILURE() << "no type mismatch error";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.Number(), settings::kTypeMismatch);
    }
    EXPECT_EQ(ui.left, 1440);
    EXPECT_EQ(ui.top, -300);
    EXPECT_EQ(ui.width, 6000);
    EXPECT_EQ(ui.height, 4950);
}

}  // namespace
}  // namespace tesvar::contract
