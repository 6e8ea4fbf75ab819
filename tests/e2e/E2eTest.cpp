// Tesvar.exe worked from outside as a user meets it: real drags, real buttons, real
// message boxes, real files; checked afterwards from the files themselves.
#include <windows.h>
#include <oleacc.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e/Driver.h"
#include "support/Bytes.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::test {
namespace {

using namespace app::win32;
constexpr const wchar_t* kPrompt = L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい";

DWORD Attr(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()); }

std::vector<std::string> Lines(const std::string& bytes) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < bytes.size()) {
        const auto end = bytes.find("\r\n", at);
        if (end == std::string::npos) {
            out.push_back(bytes.substr(at));
            break;
        }
        out.push_back(bytes.substr(at, end + 2 - at));
        at = end + 2;
    }
    return out;
}

std::string Narrow(const std::wstring& ascii) { return std::string(ascii.begin(), ascii.end()); }

bool StartsWith(const std::string& s, const std::string& prefix) { return s.compare(0, prefix.size(), prefix) == 0; }
bool EndsWith(const std::string& s, const std::string& suffix) {
    return s.size() >= suffix.size() && s.compare(s.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class E2e : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring fixtures = FixturesFolder();
        ASSERT_FALSE(fixtures.empty()) << "run through tests/win32/run-with-fixtures.sh";
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        base = fixtures + L"\\e2e-" + std::wstring(name.begin(), name.end());
        RemoveTree(base);
        MakeFolder(base);
        app = base + L"\\app";
        tree = base + L"\\tree";
        MakeFolder(app);
        MakeFolder(tree);
    }
    void TearDown() override {
        process.reset();
        EXPECT_EQ(CountTesvarProcesses(), 0) << "no Tesvar.exe may be left behind";
        RemoveTree(base);
    }
    TesvarProcess& Start() {
        process = std::make_unique<TesvarProcess>(app);
        return *process;
    }
    // A read-only folder (made on the Unix side) moved into the tree under `name`.
    std::wstring ReadOnlyFolderInTree(const std::wstring& name) {
        const std::wstring fixture = NextReadOnlyFolder();
        if (fixture.empty()) return {};
        const std::wstring path = tree + L"\\" + name;
        return ::MoveFileW(fixture.c_str(), path.c_str()) ? path : std::wstring();
    }
    std::string Log() { return ReadBytes(app + L"\\Tesvar.log"); }
    std::string Ini() { return ReadBytes(app + L"\\Tesvar.ini"); }

    std::wstring base, app, tree;
    std::unique_ptr<TesvarProcess> process;
};

TEST_F(E2e, HappyPathOverAMixedTree) {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(tree + L"\\h.txt", 35);  // read-only, hidden
    MakeFile(tree + L"\\s.txt", 37);  // read-only, system: never visited by the walk
    MakeFile(tree + L"\\w.txt", 32);  // writable
    MakeFolder(tree + L"\\sub");
    MakeFile(tree + L"\\sub\\deep.txt", 33);
    const std::wstring roSub = ReadOnlyFolderInTree(L"rosub");
    ASSERT_FALSE(roSub.empty()) << "no read-only folder fixture";
    ASSERT_EQ(Attr(roSub), 17u);

    auto& t = Start();
    EXPECT_EQ(t.Title(), L"Tesvar   Ver. 0.3.6");
    EXPECT_EQ(t.Text(kLblListSts), kPrompt);
    EXPECT_EQ(t.Text(kTxtSelFileSts), L"*.*");
    EXPECT_TRUE(t.Switch());

    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    EXPECT_EQ(t.Entries(), (std::vector<std::wstring>{tree + L"\\a.txt", tree + L"\\h.txt", roSub,
                                                      tree + L"\\sub\\deep.txt"}));
    EXPECT_EQ(t.SelCount(), 4);
    EXPECT_EQ(t.Text(kLblListSts), L"ReadOnly ( 4 ) / File ( 4 )");

    t.Press(kBtnStart);
    const SeenBox confirm = t.Answer(IDYES);
    EXPECT_EQ(confirm.title, L"Tesvar");
    EXPECT_EQ(confirm.text, L"4 File の  読取専用ｽﾃｰﾀｽを解除します\r\nよろしいですか？");
    EXPECT_EQ(confirm.buttons, (std::vector<int>{IDYES, IDNO}));
    const SeenBox done = t.Answer(IDOK);
    EXPECT_EQ(done.text, L"4 File の処理が終了しました");
    EXPECT_EQ(done.buttons, (std::vector<int>{IDOK}));

    EXPECT_EQ(Attr(tree + L"\\a.txt"), 32u);
    EXPECT_EQ(Attr(tree + L"\\h.txt"), 34u) << "hidden stays";
    EXPECT_EQ(Attr(tree + L"\\s.txt"), 37u) << "a system file is never touched";
    EXPECT_EQ(Attr(tree + L"\\w.txt"), 32u);
    EXPECT_EQ(Attr(roSub), 16u);
    EXPECT_EQ(Attr(tree + L"\\sub\\deep.txt"), 32u);

    const auto lines = Lines(Log());
    ASSERT_EQ(lines.size(), 4u) << Log();
    const struct {
        std::wstring path;
        const char* change;
    } want[] = {{tree + L"\\a.txt", " 33 -> 32  0 \r\n"},
                {tree + L"\\h.txt", " 35 -> 34  0 \r\n"},
                {roSub, " 17 -> 16  0 \r\n"},
                {tree + L"\\sub\\deep.txt", " 33 -> 32  0 \r\n"}};
    for (std::size_t i = 0; i < lines.size(); ++i) {
        EXPECT_TRUE(StartsWith(lines[i], kReleasedSjis)) << i;
        EXPECT_NE(lines[i].find(Narrow(want[i].path)), std::string::npos) << lines[i];
        EXPECT_TRUE(EndsWith(lines[i], want[i].change)) << lines[i];
    }

    t.Press(kBtnEnd);
    ASSERT_TRUE(t.WaitExit());
    EXPECT_TRUE(StartsWith(Ini(), "[Settings]\r\nMainLeft=")) << Ini();
}

TEST_F(E2e, FilterAndSwitchNarrowTheList) {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(tree + L"\\b.log", 33);
    MakeFile(tree + L"\\c.txt", 32);
    MakeFile(tree + L"\\readme", 32);
    auto& t = Start();
    t.TypeFilter(L"*.log");
    t.SetSwitch(false);
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    EXPECT_EQ(t.Entries(), (std::vector<std::wstring>{tree + L"\\", tree + L"\\b.log", tree + L"\\readme"}));
    EXPECT_EQ(t.Text(kLblListSts), L"ReadOnly ( 1 ) / File ( 3 )");

    // Something that is not a file list is refused and changes nothing.
    EXPECT_EQ(t.DragOnto({L"just text"}, Payload::TextOnly), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(t.Entries().size(), 3u);

    t.TypeFilter(L"*.*");
    t.SetSwitch(true);
    const std::wstring before = t.Text(kLblListSts);
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(before));
    EXPECT_EQ(t.Entries(), (std::vector<std::wstring>{tree + L"\\a.txt", tree + L"\\b.log"}));
    EXPECT_EQ(t.Text(kLblListSts), L"ReadOnly ( 2 ) / File ( 2 )");
}

TEST_F(E2e, NoOnTheConfirmationChangesNothing) {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(app + L"\\Tesvar.log", 32, "the last run\r\n");
    auto& t = Start();
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    t.Press(kBtnStart);
    EXPECT_EQ(t.Answer(IDNO).text, L"1 File の  読取専用ｽﾃｰﾀｽを解除します\r\nよろしいですか？");
    EXPECT_FALSE(t.WaitBox(500).has_value()) << "nothing follows a No";
    EXPECT_EQ(Attr(tree + L"\\a.txt"), 33u);
    EXPECT_EQ(Log(), "the last run\r\n");
    EXPECT_TRUE(::IsWindowEnabled(t.Control(kBtnStart)));
}

TEST_F(E2e, ARefusedChangeAnsweredNoGoesOnAndYesStops) {
    for (int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDNO ? "No" : "Yes");
        const std::wstring refusing = NextRefusingFile();  // chattr +i on the Unix side
        ASSERT_FALSE(refusing.empty()) << "no immutable fixture: the file system does not refuse";
        const std::wstring folder = tree + (answer == IDNO ? L"\\no" : L"\\yes");
        MakeFolder(folder);
        MakeFile(folder + L"\\z1.txt", 33);
        MakeFile(folder + L"\\z2.txt", 33);
        const DWORD refusingWord = Attr(refusing);
        ASSERT_TRUE(refusingWord & FILE_ATTRIBUTE_READONLY);

        auto& t = Start();
        ASSERT_EQ(t.DragOnto({refusing, folder}), static_cast<DWORD>(DROPEFFECT_COPY));
        ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
        ASSERT_EQ(t.Entries(), (std::vector<std::wstring>{refusing, folder + L"\\z1.txt", folder + L"\\z2.txt"}));
        t.Press(kBtnStart);
        t.Answer(IDYES);
        const SeenBox error = t.Answer(answer);
        EXPECT_EQ(error.title, L"Tesvar");
        EXPECT_EQ(error.buttons, (std::vector<int>{IDYES, IDNO}));
        EXPECT_TRUE(error.text.size() > 11 && error.text.substr(error.text.size() - 12) == L"\r\n処理を中断しますか？")
            << "the platform's message, then the question";
        const SeenBox done = t.Answer(IDOK);
        EXPECT_EQ(done.text, L"3 File の処理が終了しました") << "shown after an abort too";
        EXPECT_EQ(Attr(refusing), refusingWord);

        const auto lines = Lines(Log());
        const std::string word = " " + std::to_string(refusingWord) + " ";
        ASSERT_GE(lines.size(), 2u) << Log();
        EXPECT_TRUE(StartsWith(lines[0], kReleasedSjis));
        EXPECT_NE(lines[0].find(word + "->" + word), std::string::npos) << "before and after equal: " << lines[0];
        EXPECT_FALSE(EndsWith(lines[0], "  0 \r\n")) << "the refusal's number: " << lines[0];
        EXPECT_TRUE(StartsWith(lines[1], kErrorSjis));
        EXPECT_TRUE(EndsWith(lines[1], word + "\r\n")) << lines[1];
        if (answer == IDNO) {
            EXPECT_EQ(lines.size(), 4u);
            EXPECT_EQ(Attr(folder + L"\\z1.txt"), 32u);
            EXPECT_EQ(Attr(folder + L"\\z2.txt"), 32u);
        } else {
            EXPECT_EQ(lines.size(), 2u) << "Yes stops at once";
            EXPECT_EQ(Attr(folder + L"\\z1.txt"), 33u);
            EXPECT_EQ(Attr(folder + L"\\z2.txt"), 33u);
        }
        t.Press(kBtnEnd);
        ASSERT_TRUE(t.WaitExit());
    }
}

TEST_F(E2e, ADropDuringARunIsRefusedAndTheRunsListStays) {
    const int count = 6000;
    for (int i = 0; i < count; ++i) MakeFile(tree + L"\\f" + std::to_wstring(i) + L".txt", 33);
    MakeFile(base + L"\\other.txt", 33);
    auto& t = Start();
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    ASSERT_EQ(t.SelCount(), count);
    t.Press(kBtnStart);
    t.Answer(IDYES);
    ASSERT_TRUE(t.WaitButtonEnabled(kBtnStart, false));
    const DWORD effect = t.DragOnto({base + L"\\other.txt"});
    const bool stillRunning = !::IsWindowEnabled(t.Control(kBtnStart));
    EXPECT_TRUE(stillRunning) << "the run ended before the drop arrived; make the tree larger";
    EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
    const SeenBox done = t.Answer(IDOK, 120000);
    EXPECT_EQ(done.text, std::to_wstring(count) + L" File の処理が終了しました");
    EXPECT_EQ(t.Entries().size(), static_cast<std::size_t>(count));
    EXPECT_EQ(Attr(base + L"\\other.txt"), 33u);
    EXPECT_EQ(Attr(tree + L"\\f" + std::to_wstring(count - 1) + L".txt"), 32u);
    EXPECT_EQ(Lines(Log()).size(), static_cast<std::size_t>(count));
}

// The shell's window never waits for the walk: DoDragDrop returns while the drop is
// still to run, and the list arrives afterwards.
TEST_F(E2e, TheDragSourceIsFreeBeforeTheListArrives) {
    // Many folders: each is a directory read, so the walk lasts long enough to be seen.
    const int folders = 2000, perFolder = 1;
    for (int d = 0; d < folders; ++d) {
        const std::wstring folder = tree + L"\\d" + std::to_wstring(d);
        MakeFolder(folder);
        for (int i = 0; i < perFolder; ++i) MakeFile(folder + L"\\f" + std::to_wstring(i) + L".txt", 33);
    }
    auto& t = Start();
    // The effect is the one Tesvar reports once it has taken the drop up.
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_TRUE(t.DropInHandAtReturn()) << "the drop had ended before DoDragDrop returned";
    EXPECT_LT(t.DropWaitMs(), 1000u) << "DoDragDrop waited after the drop";
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt, 60000));
    const std::wstring all = std::to_wstring(folders * perFolder);
    EXPECT_EQ(t.Text(kLblListSts), L"ReadOnly ( " + all + L" ) / File ( " + all + L" )");
    std::printf("DoDragDrop returned %lu ms after the drop\n", t.DropWaitMs());
}

// Paths on the command line (a Send To shortcut, files dropped on the program's icon,
// Open with) are taken as one drop of them once the window is shown: a folder and a
// file with spaces and Japanese in their names, a path relative to the current folder,
// and one that does not exist.
TEST_F(E2e, PathsOnTheCommandLineAreTakenAsADrop) {
    const std::wstring folder = tree + L"\\写真 フォルダー";
    MakeFolder(folder);
    MakeFile(folder + L"\\img 01.jpg", 33);
    const std::wstring file = tree + L"\\報告 書.txt";
    MakeFile(file, 33);
    MakeFile(tree + L"\\rel.txt", 33);
    MakeFile(tree + L"\\not-given.txt", 33);
    TesvarProcess::Launch launch;
    launch.arguments = {folder, file, L"rel.txt", tree + L"\\gone.txt"};
    launch.currentFolder = tree;
    process = std::make_unique<TesvarProcess>(app, launch);
    auto& t = *process;
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    EXPECT_EQ(t.Entries(), (std::vector<std::wstring>{folder + L"\\img 01.jpg", file, tree + L"\\rel.txt"}));
    EXPECT_EQ(t.Text(kLblListSts), L"ReadOnly ( 3 ) / File ( 3 )");
    t.Press(kBtnEnd);
    ASSERT_TRUE(t.WaitExit());
}

// A UNC path on the command line, as Send To gives one for a folder on a share.
TEST_F(E2e, AUncPathOnTheCommandLineIsTakenByItsUncName) {
    const std::wstring name = L"e2e" + std::to_wstring(::GetCurrentProcessId());
    const TestShare share(L"tesvar-nas", name);
    if (share.Unc().empty()) GTEST_SKIP() << "no Wine prefix to serve a share from";
    const std::wstring folder = share.Unc() + L"\\案件 A";
    MakeFolder(folder);
    MakeFile(folder + L"\\図 1.txt", 33);
    TesvarProcess::Launch launch;
    launch.arguments = {L"\\\\TESVAR-NAS\\" + name + L"\\案件 A\\"};
    process = std::make_unique<TesvarProcess>(app, launch);
    auto& t = *process;
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    EXPECT_EQ(t.Entries(), (std::vector<std::wstring>{L"\\\\TESVAR-NAS\\" + name + L"\\案件 A\\図 1.txt"}));
    t.Press(kBtnEnd);
    ASSERT_TRUE(t.WaitExit());
}

// UxTheme, the common controls and oleacc are not among the system's known DLLs: copies
// of them planted beside the program (as in a Downloads folder) are never loaded, even
// where the loader looks beside the program first, through a start, a screen reader's
// question, a drop, a run and END. Run by its own test entry, which starts the driver
// (and so Tesvar.exe) with those native-first under Wine, as Windows treats DLLs that
// are not known ones.
TEST_F(E2e, DllsPlantedBesideTheProgramAreNeverLoaded) {
    const wchar_t* overrides = _wgetenv(L"WINEDLLOVERRIDES");
    if (!overrides || !std::wstring(overrides).ends_with(L"uxtheme,comctl32,oleacc=n,b"))
        GTEST_SKIP() << "needs WINEDLLOVERRIDES ending in uxtheme,comctl32,oleacc=n,b (test e2e_planted_dlls)";
    const std::vector<std::wstring> planted{L"uxtheme.dll", L"comctl32.dll", L"oleacc.dll"};
    for (const auto& dll : planted) {
        ASSERT_TRUE(::CopyFileW((DriverFolder() + L"\\planted\\" + dll).c_str(), (app + L"\\" + dll).c_str(), FALSE))
            << "the planted DLLs are built beside the driver";
    }
    MakeFile(tree + L"\\a.txt", 33);
    auto& t = Start();
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    // A screen reader reads the list: the program's own answer, made with the system's oleacc.
    IAccessible* list = nullptr;
    ASSERT_EQ(::AccessibleObjectFromWindow(t.Control(kList1), static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                           reinterpret_cast<void**>(&list)),
              S_OK);
    LONG children = 0;
    EXPECT_EQ(list->get_accChildCount(&children), S_OK);
    EXPECT_EQ(children, 1);
    list->Release();
    t.Press(kBtnStart);
    t.Answer(IDYES);
    t.Answer(IDOK);
    t.Press(kBtnEnd);
    ASSERT_TRUE(t.WaitExit());
    EXPECT_EQ(Attr(tree + L"\\a.txt"), 32u) << "the program did its work";
    for (const auto& dll : planted)
        EXPECT_EQ(Attr(app + L"\\" + dll + L".loaded"), INVALID_FILE_ATTRIBUTES) << "a planted " << Narrow(dll) << " ran";
}

// A quit message posted to the window's thread during a run (by another program or a
// component) is a close request: the run stops after the entry in hand, its lines are
// whole, the placement is stored, and the program ends with the quit's exit code.
TEST_F(E2e, AQuitMessageDuringARunEndsTheProgramAsACloseDoes) {
    const int count = 3000;
    for (int i = 0; i < count; ++i) MakeFile(tree + L"\\f" + std::to_wstring(10000 + i) + L".txt", 33);
    auto& t = Start();
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    t.Press(kBtnStart);
    t.Answer(IDYES);
    ASSERT_TRUE(t.WaitButtonEnabled(kBtnStart, false));
    ::Sleep(200);
    ASSERT_TRUE(::PostThreadMessageW(t.ThreadId(), WM_QUIT, 7, 0));
    ASSERT_TRUE(t.WaitExit(5000)) << "the quit was not taken during the run";
    EXPECT_EQ(t.ExitCode(), 7u);
    const std::string log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(EndsWith(log, "\r\n")) << "a line cut short";
    long released = 0;
    for (int i = 0; i < count; ++i) released += Attr(tree + L"\\f" + std::to_wstring(10000 + i) + L".txt") == 32u;
    EXPECT_LT(released, count) << "the run went on to its end";
    EXPECT_EQ(static_cast<long>(Lines(log).size()), released) << "one whole line for each entry done";
    EXPECT_TRUE(StartsWith(Ini(), "[Settings]\r\nMainLeft=")) << Ini();
}

TEST_F(E2e, ClearPutsBackListFilterSwitchAndCaption) {
    MakeFile(tree + L"\\a.txt", 33);
    auto& t = Start();
    ASSERT_EQ(t.DragOnto({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    ASSERT_TRUE(t.WaitCaptionNot(kPrompt));
    t.TypeFilter(L"*.doc");
    t.SetSwitch(false);
    t.Press(kBtnClear);
    ASSERT_TRUE(t.WaitCaptionNot(L"ReadOnly ( 1 ) / File ( 1 )"));
    EXPECT_TRUE(t.Entries().empty());
    EXPECT_EQ(t.Text(kTxtSelFileSts), L"*.*");
    EXPECT_TRUE(t.Switch());
    EXPECT_EQ(t.Text(kLblListSts), kPrompt);
}

TEST_F(E2e, EndAndTheCloseBoxStoreThePlacementAndTheNextStartRestoresIt) {
    {
        auto& t = Start();
        t.MoveTo(40, 30, 320, 350);
        t.Press(kBtnEnd);
        ASSERT_TRUE(t.WaitExit());
    }
    EXPECT_EQ(Ini(), "[Settings]\r\nMainLeft=600\r\nMainTop=450\r\nMainWidth=4800\r\nMainHeight=5250\r\n");
    {
        auto& t = Start();
        const RECT r = t.Placement();
        EXPECT_EQ(r.left, 40);
        EXPECT_EQ(r.top, 30);
        EXPECT_EQ(r.right - r.left, 320);
        EXPECT_EQ(r.bottom - r.top, 350);
        t.MoveTo(70, 50, 330, 360);
        t.CloseBox();
        ASSERT_TRUE(t.WaitExit());
    }
    EXPECT_EQ(Ini(), "[Settings]\r\nMainLeft=1050\r\nMainTop=750\r\nMainWidth=4950\r\nMainHeight=5400\r\n");
}

TEST_F(E2e, APlacementOffEveryMonitorComesBackOntoOne) {
    MakeFile(app + L"\\Tesvar.ini", 32,
             "[Settings]\r\nMainLeft=-30000\r\nMainTop=-30000\r\nMainWidth=4800\r\nMainHeight=5250\r\n");
    auto& t = Start();
    RECT r = t.Placement();
    EXPECT_EQ(r.right - r.left, 320);
    EXPECT_EQ(r.bottom - r.top, 350);
    EXPECT_NE(::MonitorFromRect(&r, MONITOR_DEFAULTTONULL), nullptr);
    EXPECT_GE(r.left, 0);
    EXPECT_GE(r.top, 0);
}

}  // namespace
}  // namespace tesvar::test
