// A real release run under Wine: real attributes, a real Tesvar.log beside the test
// program in code page 932, message boxes answered by the scripted UI.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>

#include "collect/DropIntake.h"
#include "collect/modMain.h"
#include "platform/Error.h"
#include "sim/SimUi.h"
#include "platform/win32/Win32Error.h"
#include "platform/win32/Win32FileServices.h"
#include "release/ReleaseRun.h"
#include "support/Bytes.h"
#include "win32/Win32TestSupport.h"

namespace tesvar {
namespace {

namespace msgbox = platform::msgbox;

// Pads a line under construction to the next 14-byte print zone.
std::string& Zone(std::string& line) {
    line.append((line.size() / 14 + 1) * 14 - line.size(), ' ');
    return line;
}

class ReleaseRunWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        root = test::MakeTempFolder(L"release");
        log = files.ProgramFolder() + L"\\Tesvar.log";
        ::DeleteFileW(log.c_str());
    }
    void TearDown() override { test::RemoveTree(root); }
    void Run() {
        release::ReleaseRun run({files, files, ansi, ui, ui, ui});
        run.BtnStart_Click();
    }
    std::string Sjis(const std::wstring& text) { return ansi.ToAnsi(text); }

    std::wstring root, log;
    platform::win32::Win32FileServices files;
    platform::win32::Win32Ansi ansi;
    sim::SimUi ui;
};

TEST_F(ReleaseRunWin32, WritesTesvarLogBesideTheProgramInCodePage932) {
    ASSERT_EQ(::GetACP(), 932u) << "the test needs LANG=ja_JP.UTF-8 (code page 932)";
    const std::wstring a = root + L"\\読取.txt";
    const std::wstring b = root + L"\\b.txt";
    const std::wstring c = root + L"\\c.txt";
    test::MakeFile(a, 35);
    test::MakeFile(b, 32);
    test::MakeFile(c, 33);
    ui.Add(a, true);
    ui.Add(b, true);
    ui.Add(c, false);
    ui.Answer(msgbox::Yes);
    Run();

    EXPECT_EQ(files.GetAttr(a), 34);
    EXPECT_EQ(files.GetAttr(c), 33);
    std::string l1 = test::kReleasedSjis;
    Zone(l1) += Sjis(a);
    Zone(l1) += " 35 -> 34  0 \r\n";
    std::string l2 = test::kNotReadOnlySjis;
    Zone(l2) += Sjis(b);
    Zone(l2) += " 32 \r\n";
    std::string l3 = test::kNotSelectedSjis;
    Zone(l3) += Sjis(c) + "\r\n";
    EXPECT_EQ(test::ReadBytes(log), l1 + l2 + l3);
    // The file name's kanji went through code page 932.
    EXPECT_NE(l1.find(test::Hex("93c78ee6")), std::string::npos);
    ASSERT_EQ(ui.prompts.size(), 2u);
    EXPECT_EQ(ui.prompts[1].text, L"2 File の処理が終了しました");
}

TEST_F(ReleaseRunWin32, ReadOnlyFolderIsReleasedKeepingItsDirectoryBit) {
    const std::wstring folder = test::NextReadOnlyFolder();
    if (folder.empty()) GTEST_SKIP() << "no read-only folder fixture";
    ui.Add(folder, true);
    ui.Answer(msgbox::Yes);
    Run();
    EXPECT_EQ(files.GetAttr(folder) & 17, 16);
    std::string line = test::kReleasedSjis;
    Zone(line) += Sjis(folder);
    Zone(line) += " 17 -> 16  0 \r\n";
    EXPECT_EQ(test::ReadBytes(log), line);
}

TEST_F(ReleaseRunWin32, RefusedChangeLogsTheRealErrorAndItsText) {
    const std::wstring path = test::NextRefusingFile();
    if (path.empty()) GTEST_SKIP() << "no file whose change is refused could be made here";
    const std::int32_t before = files.GetAttr(path);
    std::int32_t number = 0;
    try {
        files.SetAttr(path, before - 1);
    } catch (const platform::Error& e) {
        number = e.Number();
    }
    ASSERT_NE(number, 0);
    ui.Add(path, true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Run();
    const std::wstring text = platform::win32::FormatMessageText(number);
    std::string l1 = test::kReleasedSjis;
    Zone(l1) += Sjis(path);
    Zone(l1) += " " + std::to_string(before) + " -> " + std::to_string(before) + "  " + std::to_string(number) + " \r\n";
    std::string l2 = test::kErrorSjis;
    Zone(l2) += Sjis(path);
    Zone(l2) += Sjis(text);
    Zone(l2) += " " + std::to_string(before) + " \r\n";
    EXPECT_EQ(test::ReadBytes(log), l1 + l2);
    ASSERT_EQ(ui.prompts.size(), 3u);
    EXPECT_EQ(ui.prompts[1].text, text + L"\r\n処理を中断しますか？");
}

TEST_F(ReleaseRunWin32, MissingEntryReportsFileNotFound) {
    ui.Add(root + L"\\gone.txt", true);
    ui.Answer({msgbox::Yes, msgbox::No});
    Run();
    std::string line = test::kReleasedSjis;
    Zone(line) += Sjis(root + L"\\gone.txt");
    Zone(line) += " 0 -> 0  2 \r\n";
    EXPECT_EQ(test::ReadBytes(log), line);
}

// A call that fails without setting an error must not read as "no error" to the run.
// Names Win32 would change on their way without the "\\?\" prefix (a trailing dot or
// space, device names), made on the Unix side: each is listed, released and logged as
// exactly the entry the listing named, and "rep", which "rep." would otherwise reach,
// is left alone.
TEST_F(ReleaseRunWin32, OddNamesAreListedReleasedAndLoggedAsExactlyThoseEntries) {
    const std::wstring fixtures = test::FixturesFolder();
    if (fixtures.empty()) GTEST_SKIP() << "no fixtures folder (run through run-with-fixtures.sh)";
    const std::wstring d = fixtures + L"\\odd-names";
    const auto word = [](const std::wstring& path) { return ::GetFileAttributesW((L"\\\\?\\" + path).c_str()); };
    ASSERT_EQ(word(d + L"\\rep"), 32u);
    ui.filterText = L"*.*";
    ui.readOnlySwitch = 1;
    collect::modMain module(files);
    collect::DropIntake({files, ui, ui, module}).List1_OLEDragDrop({d});
    std::vector<std::wstring> listed;
    for (const auto& e : ui.entries) listed.push_back(e.text);
    const std::vector<std::wstring> names{L"a.txt ", L"com1.log", L"con.txt", L"nul", L"rep."};
    std::vector<std::wstring> expected;
    for (const auto& n : names) expected.push_back(d + L"\\" + n);
    ASSERT_EQ(listed, expected);
    EXPECT_EQ(ui.SelCount(), 5);

    ui.Answer(msgbox::Yes);
    Run();
    for (const auto& path : expected) EXPECT_EQ(word(path), 32u) << ansi.ToAnsi(path);
    EXPECT_EQ(word(d + L"\\rep"), 32u);
    const std::string bytes = test::ReadBytes(log);
    for (const auto& path : expected) {
        std::string line = test::kReleasedSjis;
        Zone(line) += Sjis(path);
        Zone(line) += " 33 -> 32  0 \r\n";
        EXPECT_NE(bytes.find(line), std::string::npos) << line << "\n" << bytes;
    }
}

// A write-out that fails after part of the held bytes went out (a disk that filled up)
// keeps only the rest for the next try; and a line held a frame goes out at the run's
// yield, not only at the next write.
BOOL WINAPI WriteThreeBytesThenFail(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED) {
    DWORD done = 0;
    ::WriteFile(file, data, std::min<DWORD>(size, 3), &done, nullptr);
    *written = done;
    ::SetLastError(ERROR_DISK_FULL);
    return FALSE;
}

TEST_F(ReleaseRunWin32, HeldLinesGoOutAtTheYieldAndAPartialWriteIsNeverRepeated) {
    const std::int16_t n = files.FreeFile();
    files.OpenForOutput(n, log);
    files.Write(n, "first line\r\n");
    files.FlushDue();
    EXPECT_EQ(test::ReadBytes(log), "") << "held less than a frame";
    ::Sleep(120);
    files.FlushDue();
    EXPECT_EQ(test::ReadBytes(log), "first line\r\n");

    files.Write(n, "second\r\n");
    files.SetWriter(&WriteThreeBytesThenFail);
    EXPECT_THROW(files.Flush(n), platform::Error);
    files.SetWriter(&::WriteFile);
    files.Close(n);
    EXPECT_EQ(test::ReadBytes(log), "first line\r\nsecond\r\n");
}

TEST(Win32Error, AFailureThatSetNoErrorStillCarriesANumberAndAText) {
    ::SetLastError(ERROR_SUCCESS);
    try {
        platform::win32::ThrowLastError();
    } catch (const platform::Error& e) {
        EXPECT_NE(e.Number(), 0);
        EXPECT_FALSE(e.Message().empty());
    }
}

}  // namespace
}  // namespace tesvar
