#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimUi.h"
#include "release/ReleaseRun.h"
#include "release/RunLog.h"
#include "support/Bytes.h"

namespace tesvar::release {
namespace {

namespace attr = platform::attr;
namespace msgbox = platform::msgbox;
namespace win_error = platform::win_error;
using sim::Op;
using test::Hex;

const std::wstring kLog = L"C:\\Program Files\\Tesvar\\Tesvar.log";

class ReleaseRunTest : public ::testing::Test {
protected:
    ReleaseRunTest() { fs.AddFolder(L"C:\\Program Files\\Tesvar"); }

    bool Start() {
        ReleaseRun run({fs, fs, ansi, ui, ui, ui});
        return run.BtnStart_Click();
    }
    std::string Log() const { return fs.Content(kLog); }
    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        const std::string all = Log();
        std::size_t from = 0;
        for (std::size_t at; (at = all.find("\r\n", from)) != std::string::npos; from = at + 2)
            lines.push_back(all.substr(from, at - from));
        EXPECT_EQ(from, all.size()) << "the log does not end with CR LF";
        return lines;
    }
    // A released line for a short ASCII path: label, zone, path, zone, change group.
    static std::string Released(const std::string& path, const std::string& change) {
        const std::size_t end = 28 + path.size();
        return test::kReleasedSjis + std::string(6, ' ') + path + std::string((end / 14 + 1) * 14 - end, ' ') + change;
    }

    sim::SimFileSystem fs;
    sim::SimAnsi ansi;
    sim::SimUi ui;
};

TEST_F(ReleaseRunTest, EmptyListShowsTheListEmptyMessageAndNothingElse) {
    EXPECT_TRUE(Start());
    ASSERT_EQ(ui.prompts.size(), 1u);
    EXPECT_EQ(ui.prompts[0].text, L"対象ﾌｧｲﾙをﾘｽﾄﾎﾞｯｸｽへﾄﾞﾛｯﾌﾟして下さい");
    EXPECT_EQ(ui.prompts[0].style, msgbox::OkExclamation);
    EXPECT_EQ(ui.journal, std::vector<std::string>{"msgbox 48"});
    EXPECT_FALSE(fs.Exists(kLog));
}

TEST_F(ReleaseRunTest, NoOnTheConfirmationLeavesThePreviousLogAndChangesNothing) {
    fs.AddFile(kLog, attr::Archive, "previous run\r\n");
    fs.AddFile(L"C:\\d\\a.txt", attr::ReadOnly | attr::Archive);
    ui.Add(L"C:\\d\\a.txt", true);
    ui.Add(L"C:\\d\\b.txt", true);
    ui.Add(L"C:\\d\\c.txt", false);
    ui.Answer(msgbox::No);
    Start();
    ASSERT_EQ(ui.prompts.size(), 1u);
    // Two spaces between "の" and "読取": each piece brings its own.
    EXPECT_EQ(ui.prompts[0].text, L"2 File の  読取専用ｽﾃｰﾀｽを解除します\r\nよろしいですか？");
    EXPECT_EQ(ui.prompts[0].style, msgbox::YesNoQuestion);
    EXPECT_EQ(ui.journal, std::vector<std::string>{"msgbox 36"});
    EXPECT_EQ(Log(), "previous run\r\n");
    EXPECT_EQ(fs.AttributesOf(L"C:\\d\\a.txt"), 33);
}

TEST_F(ReleaseRunTest, ThreeEntryRunWritesTheThreeLinesByteForByte) {
    fs.AddFile(L"C:\\docs\\a.txt", 33).AddFile(L"C:\\docs\\b.txt", 32).AddFile(L"C:\\docs\\c.txt", 33);
    ui.Add(L"C:\\docs\\a.txt", true);
    ui.Add(L"C:\\docs\\b.txt", true);
    ui.Add(L"C:\\docs\\c.txt", false);
    ui.Answer(msgbox::Yes);
    EXPECT_TRUE(Start());
    // Label (22 bytes) moves to column 29; the 13-byte path ends at column 42, the next
    // zone start is 43.
    const std::string expected = test::kReleasedSjis + "      C:\\docs\\a.txt  33 -> 32  0 \r\n" +
                                 test::kNotReadOnlySjis + "      C:\\docs\\b.txt  32 \r\n" +
                                 test::kNotSelectedSjis + "      C:\\docs\\c.txt\r\n";
    EXPECT_EQ(Log(), expected);
    EXPECT_EQ(fs.AttributesOf(L"C:\\docs\\a.txt"), 32);
    EXPECT_EQ(fs.AttributesOf(L"C:\\docs\\c.txt"), 33);
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].text, L"2 File の処理が終了しました");
    EXPECT_EQ(ui.prompts[1].style, msgbox::OkInformation);
}

TEST_F(ReleaseRunTest, RunStepsComeInOrderAroundEveryEntry) {
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 32);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", false);
    ui.Answer(msgbox::Yes);
    Start();
    const std::vector<std::string> expected = {
        "msgbox 36", "pointer 13", "enabled Start 0", "enabled Clear 0",
        "top 0", "index 0", "yield", "top 1", "index 1", "yield",
        "front", "active", "enabled Start 1", "enabled Clear 1", "pointer 0", "msgbox 64"};
    EXPECT_EQ(ui.journal, expected);
    EXPECT_EQ(ui.listIndex, 1);
    // Moving the current entry changed no selected flag.
    EXPECT_TRUE(ui.entries[0].selected);
    EXPECT_FALSE(ui.entries[1].selected);
}

TEST_F(ReleaseRunTest, RefusedChangeGivesEqualWordsTheRefusalNumberAndAnErrorLine) {
    fs.AddFile(L"C:\\p\\x.txt", 33);
    fs.FailSetAttr(L"C:\\p\\x.txt", win_error::AccessDenied);
    ui.Add(L"C:\\p\\x.txt", true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Start();
    const std::string expected = test::kReleasedSjis + "      C:\\p\\x.txt     33 -> 33  5 \r\n" + test::kErrorSjis +
                                 "      C:\\p\\x.txt" + std::string(4, ' ') + test::kAccessDeniedSjis +
                                 std::string(2, ' ') + " 33 \r\n";
    EXPECT_EQ(Log(), expected);
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].text, L"アクセスが拒否されました。\r\n処理を中断しますか？");
    EXPECT_EQ(ui.prompts[1].style, msgbox::YesNoExclamation);
    EXPECT_EQ(ui.prompts[2].style, msgbox::OkInformation);
}

TEST_F(ReleaseRunTest, MissingEntryCarriesThePreviousWordsAndHasNoErrorLine) {
    fs.AddFile(L"C:\\a.txt", 33).AddFile(L"C:\\w.txt", 32);
    ui.Add(L"C:\\gone.txt", true);  // first: nothing read yet, so 0 and 0
    ui.Add(L"C:\\a.txt", true);
    ui.Add(L"C:\\w.txt", true);     // read (32) but not released
    ui.Add(L"C:\\gone.txt", true);  // before = 32 from w.txt, after = 32 from a.txt
    ui.Answer({msgbox::Yes, msgbox::No, msgbox::No});
    Start();
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], Released("C:\\gone.txt", " 0 -> 0  2 "));
    EXPECT_EQ(lines[1], Released("C:\\a.txt", " 33 -> 32  0 "));
    EXPECT_EQ(lines[2], test::kNotReadOnlySjis + "      C:\\w.txt       32 ");
    EXPECT_EQ(lines[3], Released("C:\\gone.txt", " 32 -> 32  2 "));
    ASSERT_EQ(ui.prompts.size(), 4u);
    EXPECT_EQ(ui.prompts[1].text, L"指定されたファイルが見つかりません。\r\n処理を中断しますか？");
    EXPECT_TRUE(fs.setAttrCalls.size() == 1 && fs.setAttrCalls[0].path == L"C:\\a.txt");
}

// The word handed to SetAttr, for every combination of the listed bits: the fresh word
// less exactly its read-only, directory and compressed bits, and no SetAttr at all
// without the read-only bit.
TEST_F(ReleaseRunTest, HandedWordSweepOverBitCombinations) {
    const std::vector<std::int32_t> bits = {1, 2, 4, 16, 32, 128, 256, 1024, 2048, 8192};
    std::vector<std::int32_t> words;
    for (std::uint32_t mask = 0; mask < (1u << bits.size()); ++mask) {
        std::int32_t word = 0;
        for (std::size_t b = 0; b < bits.size(); ++b)
            if (mask & (1u << b)) word |= bits[b];
        if (word == 0) continue;  // a word of 0 reads back as 128, which the sweep has
        words.push_back(word);
        const std::wstring path = L"C:\\sweep\\e" + std::to_wstring(word);
        if (word & attr::Directory) fs.AddFolder(path, word); else fs.AddFile(path, word);
        ui.Add(path, true);
    }
    ui.Answer(msgbox::Yes);
    Start();
    std::size_t call = 0;
    for (std::int32_t word : words) {
        const std::wstring path = L"C:\\sweep\\e" + std::to_wstring(word);
        if (!(word & attr::ReadOnly)) continue;
        ASSERT_LT(call, fs.setAttrCalls.size());
        EXPECT_EQ(fs.setAttrCalls[call].path, path);
        EXPECT_EQ(fs.setAttrCalls[call].word, word & ~(attr::ReadOnly | attr::Directory | attr::Compressed))
            << "word " << word;
        ++call;
    }
    EXPECT_EQ(call, fs.setAttrCalls.size()) << "SetAttr was called for an entry without the read-only bit";
    EXPECT_EQ(ui.prompts.size(), 2u) << "no entry of the sweep should raise an error";
}

struct HandedCase {
    std::int32_t word;
    bool folder;
    std::int32_t handed;
    std::int32_t after;
};
void PrintTo(const HandedCase& c, std::ostream* os) { *os << "word " << c.word << (c.folder ? " folder" : " file"); }
class HandedWordTest : public ReleaseRunTest, public ::testing::WithParamInterface<HandedCase> {};

TEST_P(HandedWordTest, GivesTheWordAndAfterValue) {
    const auto& c = GetParam();
    if (c.folder) fs.AddFolder(L"C:\\e", c.word); else fs.AddFile(L"C:\\e", c.word);
    ui.Add(L"C:\\e", true);
    ui.Answer(msgbox::Yes);
    Start();
    ASSERT_EQ(fs.setAttrCalls.size(), 1u);
    EXPECT_EQ(fs.setAttrCalls[0].word, c.handed);
    const auto lines = Lines();
    ASSERT_EQ(lines.size(), 1u);
    const std::string change = " " + std::to_string(c.word) + " -> " + std::to_string(c.after) + "  0 ";
    EXPECT_EQ(lines[0], Released("C:\\e", change));
}

INSTANTIATE_TEST_SUITE_P(Cases, HandedWordTest,
                         ::testing::Values(HandedCase{35, false, 34, 34},     // archive, hidden, read-only
                                           HandedCase{17, true, 0, 16},       // read-only folder
                                           HandedCase{2065, true, 0, 2064},   // compressed folder
                                           HandedCase{2081, false, 32, 2080}, // compressed file
                                           HandedCase{37, false, 36, 36}),    // system kept
                         [](const auto& param_info) {
                             return (param_info.param.folder ? "Folder" : "File") + std::to_string(param_info.param.word);
                         });

TEST_F(ReleaseRunTest, NoneSelectedConfirmsZeroAndLogsEveryEntryAsNotSelected) {
    fs.AddFile(L"C:\\a", 33);
    ui.Add(L"C:\\a", false);
    ui.Add(L"C:\\b", false);
    ui.Answer(msgbox::Yes);
    Start();
    EXPECT_EQ(ui.prompts[0].text.substr(0, 2), L"0 ");
    EXPECT_EQ(Lines(), (std::vector<std::string>{test::kNotSelectedSjis + "      C:\\a",
                                                 test::kNotSelectedSjis + "      C:\\b"}));
    EXPECT_EQ(ui.prompts.back().text, L"0 File の処理が終了しました");
    EXPECT_TRUE(fs.setAttrCalls.empty());
}

TEST_F(ReleaseRunTest, YesOnTheFirstAbortPromptStopsAfterTheFailingEntry) {
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\c", 33);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\missing", true);
    ui.Add(L"C:\\c", true);
    ui.Answer({msgbox::Yes, msgbox::Yes});
    Start();
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_EQ(fs.AttributesOf(L"C:\\c"), 33) << "an entry after the abort was changed";
    EXPECT_EQ(ui.prompts.back().style, msgbox::OkInformation);
    EXPECT_EQ(ui.prompts.back().text, L"3 File の処理が終了しました");
    EXPECT_EQ(ui.yields, 1) << "no yield for the aborting entry";
    EXPECT_TRUE(ui.startEnabled && ui.clearEnabled);
    EXPECT_EQ(ui.mousePointer, platform::pointer::Default);
}

TEST_F(ReleaseRunTest, NoOnEveryAbortPromptVisitsEveryEntry) {
    for (int i = 0; i < 5; ++i) ui.Add(L"C:\\missing" + std::to_wstring(i), true);
    ui.Answer({msgbox::Yes, msgbox::No, msgbox::No, msgbox::No, msgbox::No, msgbox::No});
    Start();
    EXPECT_EQ(ui.prompts.size(), 7u);
    EXPECT_EQ(Lines().size(), 5u);
    EXPECT_EQ(ui.yields, 5);
}

TEST_F(ReleaseRunTest, LogThatCannotBeOpenedStillReleasesAndPromptsForEveryEntry) {
    fs.FailOpen(kLog, win_error::SharingViolation);
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", false);
    ui.Answer({msgbox::Yes, msgbox::No, msgbox::No});
    Start();
    EXPECT_EQ(fs.AttributesOf(L"C:\\a"), 32);
    ASSERT_EQ(ui.prompts.size(), 4u);
    EXPECT_EQ(ui.prompts[1].text, L"ハンドルが無効です。\r\n処理を中断しますか？");
    EXPECT_EQ(ui.prompts[2].text, L"ハンドルが無効です。\r\n処理を中断しますか？");
    EXPECT_FALSE(fs.Exists(kLog));
}

TEST_F(ReleaseRunTest, LogThatCannotBeOpenedAnsweredYesStopsTheRun) {
    fs.SetWritable(L"C:\\Program Files\\Tesvar", false);
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", true);
    ui.Answer({msgbox::Yes, msgbox::Yes});
    Start();
    EXPECT_EQ(fs.AttributesOf(L"C:\\a"), 32);
    EXPECT_EQ(fs.AttributesOf(L"C:\\b"), 33);
    EXPECT_EQ(ui.prompts.size(), 3u);
}

TEST_F(ReleaseRunTest, EntryThatFailsTwiceIsReportedWithTheLastFailure) {
    fs.AddFile(L"C:\\a", 33);
    fs.FailSetAttr(L"C:\\a", win_error::AccessDenied);
    fs.FailWritesAfter(0);
    ui.Add(L"C:\\a", true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Start();
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].text, L"ディスクに十分な空き領域がありません。\r\n処理を中断しますか？");
}

TEST_F(ReleaseRunTest, LinesAlreadyWrittenStayWhenALaterWriteFails) {
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33);
    fs.FailWritesAfter(1);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Start();
    EXPECT_EQ(Lines(), (std::vector<std::string>{Released("C:\\a", " 33 -> 32  0 ")}));
    EXPECT_EQ(fs.AttributesOf(L"C:\\b"), 32);
}

// Lines go out to the file in frames: a failure to write the run's last lines out is the
// last entry's, with its abort question, not lost unseen at the close.
TEST_F(ReleaseRunTest, AFailureToWriteOutTheLastLinesIsTheLastEntrysOwn) {
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33);
    fs.FailFlushes(win_error::DiskFull);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Start();
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].text, L"ディスクに十分な空き領域がありません。\r\n処理を中断しますか？");
    EXPECT_EQ(fs.AttributesOf(L"C:\\b"), 32);
}

// One read before the change serves the before value, the tests and the word handed
// on; the after value is a read of its own. On Windows each read opens the entry.
TEST_F(ReleaseRunTest, EachEntryCostsOnlyTheFileSystemCallsItNeeds) {
    const struct {
        const char* name;
        std::int32_t word;  // -1: missing
        bool selected;
        int reads, changes;
    } cases[] = {
        {"selected, read-only", 33, true, 2, 1},
        {"selected, writable", 32, true, 1, 0},
        {"not selected", 33, false, 0, 0},
        {"selected, missing", -1, true, 2, 0},
    };
    for (const auto& c : cases) {
        sim::SimFileSystem files;
        files.AddFolder(L"C:\\Program Files\\Tesvar");
        if (c.word >= 0) files.AddFile(L"C:\\a", c.word);
        sim::SimUi boxes;
        boxes.Add(L"C:\\a", c.selected);
        boxes.Answer({msgbox::Yes, msgbox::No});
        ReleaseRun({files, files, ansi, boxes, boxes, boxes}).BtnStart_Click();
        EXPECT_EQ(files.Calls(Op::GetAttr), c.reads + (c.word < 0 ? 1 : 0)) << c.name << " (a missing entry's error line reads once more)";
        EXPECT_EQ(files.Calls(Op::SetAttr), c.changes) << c.name;
    }
}

TEST_F(ReleaseRunTest, TheWordHandedOnAndLoggedIsTheOneReadBeforeTheChange) {
    fs.AddFile(L"C:\\a", 33);
    ui.Add(L"C:\\a", true);
    ui.Answer(msgbox::Yes);
    // Right after the read, another program sets the hidden bit: the change acts on the
    // word read, and the log shows that word before and the word read after.
    fs.beforeCall = [&](Op op, const std::wstring&) {
        if (op == Op::SetAttr) fs.SetAttributesDirect(L"C:\\a", 35);
    };
    Start();
    ASSERT_EQ(fs.setAttrCalls.size(), 1u);
    EXPECT_EQ(fs.setAttrCalls[0].word, 32);
    ASSERT_EQ(Lines().size(), 1u);
    EXPECT_EQ(Lines()[0], Released("C:\\a", " 33 -> 32  0 "));
}

TEST_F(ReleaseRunTest, CloseDuringTheRunEndsItAfterTheCurrentEntryWithoutCompletion) {
    for (int i = 0; i < 4; ++i) {
        fs.AddFile(L"C:\\f" + std::to_wstring(i), 33);
        ui.Add(L"C:\\f" + std::to_wstring(i), true);
    }
    ui.Answer(msgbox::Yes);
    ui.onYield = [](int n) { return n < 2; };  // END pressed during the second yield
    EXPECT_FALSE(Start());
    EXPECT_EQ(Lines().size(), 2u);
    EXPECT_EQ(fs.AttributesOf(L"C:\\f2"), 33);
    EXPECT_EQ(ui.prompts.size(), 1u) << "the completion message must not be shown";
    EXPECT_EQ(fs.Calls(Op::Close), 1) << "the log is closed with the lines written so far";
}

TEST_F(ReleaseRunTest, CloseDuringTheAbortQuestionAnsweredYesShowsNoCompletion) {
    ui.Add(L"C:\\missing", true);
    ui.Answer({msgbox::Yes, msgbox::Yes});
    ui.onPrompt = [this](const sim::SimUi::Prompt& box) {
        if (box.style == msgbox::YesNoExclamation) ui.ending = true;
    };
    EXPECT_FALSE(Start());
    EXPECT_EQ(ui.prompts.size(), 2u) << "the completion message must not be shown";
    EXPECT_EQ(fs.Calls(Op::Close), 1);
}

TEST_F(ReleaseRunTest, AFaultThatEndsTheRunStillClosesTheLogAndGivesTheButtonsBack) {
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33);
    ui.Add(L"C:\\a", true);
    ui.Add(L"C:\\b", true);
    ui.Answer({msgbox::Yes, msgbox::Yes, msgbox::Ok});
    ui.onYield = [](int) -> bool { throw std::logic_error("a fault in a handler"); };
    EXPECT_THROW(Start(), std::logic_error);
    EXPECT_EQ(fs.Calls(Op::Close), 1) << "the log is closed";
    EXPECT_TRUE(ui.startEnabled);
    EXPECT_TRUE(ui.clearEnabled);
    EXPECT_EQ(ui.mousePointer, platform::pointer::Default);
    // The next run works: the file number is free again and the log is rewritten.
    ui.onYield = nullptr;
    EXPECT_TRUE(Start());
    EXPECT_EQ(Lines().size(), 2u);
}

TEST_F(ReleaseRunTest, MoreThan32767EntriesRunToTheEnd) {
    constexpr int kCount = 40000;
    for (int i = 0; i < kCount; ++i) ui.Add(L"C:\\x", false);
    ui.Answer(msgbox::Yes);
    Start();
    EXPECT_EQ(ui.yields, kCount);
    EXPECT_EQ(Lines().size(), static_cast<std::size_t>(kCount));
    EXPECT_EQ(ui.prompts.back().text, L"0 File の処理が終了しました");
}

TEST_F(ReleaseRunTest, FolderWordsAndTheLogFileNumberComeFromThePlatform) {
    fs.AddFolder(L"C:\\ro", 17);
    ui.Add(L"C:\\ro", true);
    ui.Answer(msgbox::Yes);
    Start();
    EXPECT_EQ(fs.AttributesOf(L"C:\\ro"), 16);
    EXPECT_EQ(fs.Calls(Op::Open), 1);
    EXPECT_EQ(fs.Calls(Op::Close), 1);
}

TEST(SubtractBits, TakesSetBitsAndRefusesMissingOnes) {
    sim::SimFileSystem fs;
    EXPECT_EQ(SubtractBits(2081, {attr::Compressed, attr::ReadOnly}, fs), 32);
    EXPECT_EQ(SubtractBits(INT32_MIN | 1, {attr::ReadOnly}, fs), INT32_MIN);
    EXPECT_THROW(SubtractBits(32, {attr::ReadOnly}, fs), platform::Error);
}

struct NumberCase {
    std::int32_t value;
    const char* text;
};
void PrintTo(const NumberCase& c, std::ostream* os) { *os << c.value; }
class PrintLineNumberTest : public ::testing::TestWithParam<NumberCase> {};
TEST_P(PrintLineNumberTest, WritesTheNumberForm) {
    sim::SimAnsi ansi;
    PrintLine line(ansi);
    EXPECT_EQ(line.Number(GetParam().value).End(), std::string(GetParam().text) + "\r\n");
}
INSTANTIATE_TEST_SUITE_P(Forms, PrintLineNumberTest,
                         ::testing::Values(NumberCase{33, " 33 "}, NumberCase{0, " 0 "}, NumberCase{-1, "-1 "},
                                           NumberCase{INT32_MIN, "-2147483648 "}, NumberCase{INT32_MAX, " 2147483647 "}),
                         [](const auto& param_info) {
                             const auto v = static_cast<long long>(param_info.param.value);
                             return (v < 0 ? "Minus" : "Plus") + std::to_string(v < 0 ? -v : v);
                         });

TEST(PrintLine, ZoneMovesNeverGlueItems) {
    sim::SimAnsi ansi;
    // 14 bytes stand exactly at the start of zone 2; the move goes on to zone 3.
    EXPECT_EQ(PrintLine(ansi).Text(L"12345678901234").FieldJoint().Text(L"x").End(),
              "12345678901234" + std::string(14, ' ') + "x\r\n");
    EXPECT_EQ(PrintLine(ansi).Text(L"ab").FieldJoint().Text(L"c").End(), "ab" + std::string(12, ' ') + "c\r\n");
    // Columns count bytes: "解除" is 4 bytes wide.
    EXPECT_EQ(PrintLine(ansi).Text(L"解除").FieldJoint().End(), Hex("89f08f9c") + std::string(10, ' ') + "\r\n");
}

}  // namespace
}  // namespace tesvar::release
