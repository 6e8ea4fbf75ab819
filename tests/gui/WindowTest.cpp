// The real window under Wine: layout in twips, the resize rule, Clear, drops through
// the list's drop target, Start with real message boxes, and the close handling.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <functional>
#include <thread>

#include "collect/DropIntake.h"
#include "platform/Error.h"
#include "gui/ShellDoubles.h"
#include "gui/WindowFixture.h"
#include "support/Bytes.h"
#include "support/win32/FileListDataObject.h"

namespace tesvar::test {
namespace {

using namespace app::win32;
constexpr const wchar_t* kPrompt = L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい";

std::wstring Text(HWND hwnd) {
    wchar_t buffer[512] = {};
    ::GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

bool Equal(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

std::string Show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

// The list's height is the client height less the strip and 40 twips, which at
// 15 twips a pixel is not always a whole pixel: the nearest one.
LONG ListBottom(float clientTwips) {
    return static_cast<LONG>(std::lround((static_cast<double>(clientTwips) - 1525) / 15) * 15);
}

class WindowTest : public WindowFixture {};

TEST_F(WindowTest, OpensWithTitleInitialStateAndFocusOnStart) {
    Open();
    ASSERT_EQ(W().TwipsPerPixel(), 15.0f) << "these tests expect 96 DPI";
    EXPECT_EQ(Text(W().Hwnd()), L"Tesvar   Ver. 0.3.6");
    EXPECT_EQ(W().List1().ListCount(), 0);
    EXPECT_EQ(Text(Control(kTxtSelFileSts)), L"*.*");
    EXPECT_EQ(::SendMessageW(Control(kChkReadOnly), BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Text(Control(kLblListSts)), kPrompt);
    EXPECT_EQ(Text(Control(kLabel1)), L"拡張子");
    EXPECT_EQ(Text(Control(kChkReadOnly)), L"ReadOnly\r\nのみ表示");
    EXPECT_EQ(::GetFocus(), Control(kBtnStart));
    EXPECT_EQ(::GetMenu(W().Hwnd()), nullptr) << "no menu bar";
    EXPECT_FALSE(::IsZoomed(W().Hwnd()));
    EXPECT_EQ(::GetFileAttributesW(Ini().c_str()), INVALID_FILE_ATTRIBUTES) << "loading creates no profile";
}

TEST_F(WindowTest, TabFollowsTheFocusOrderAndEnterPressesOnlyTheFocusedButton) {
    Open();
    const auto key = [&](WPARAM vk) {
        MSG msg{::GetFocus(), WM_KEYDOWN, vk, 0, 0, {0, 0}};
        return W().PreTranslate(msg);
    };
    ASSERT_EQ(::GetFocus(), Control(kBtnStart));
    const ControlId order[] = {kBtnEnd, kList1, kBtnClear, kTxtSelFileSts, kChkReadOnly, kBtnStart};
    for (ControlId next : order) {
        EXPECT_TRUE(key(VK_TAB));
        EXPECT_EQ(::GetFocus(), Control(next)) << "expected control " << next;
    }
    // A disabled control is passed over.
    ::EnableWindow(Control(kBtnEnd), FALSE);
    key(VK_TAB);
    EXPECT_EQ(::GetFocus(), Control(kList1));
    ::EnableWindow(Control(kBtnEnd), TRUE);

    // Enter on the list, the filter or the switch presses no button.
    ::SetWindowTextW(Control(kTxtSelFileSts), L"*.txt");
    for (ControlId id : {kList1, kTxtSelFileSts, kChkReadOnly}) {
        ::SetFocus(Control(id));
        EXPECT_FALSE(key(VK_RETURN));
    }
    EXPECT_EQ(Text(Control(kTxtSelFileSts)), L"*.txt");
    // On Clear it presses Clear.
    ::SetFocus(Control(kBtnClear));
    EXPECT_TRUE(key(VK_RETURN));
    EXPECT_EQ(Text(Control(kTxtSelFileSts)), L"*.*");
    // A handler that fails behind Enter is stopped by the window's guard, as for a click.
    ::DestroyWindow(Control(kTxtSelFileSts));
    EXPECT_NO_THROW(EXPECT_TRUE(key(VK_RETURN)));
}

TEST_F(WindowTest, EveryControlSitsAtItsDesignPlaceInTwips) {
    Open();
    EXPECT_FLOAT_EQ(W().ScaleWidth(), 4170);
    EXPECT_FLOAT_EQ(W().ScaleHeight(), 4380);
    for (const auto& c : kControls) {
        RECT expected{c.left, c.top, c.left + c.width, c.top + c.height};
        // Laid out by the resize rule: 4170 x 2855 twips, in whole pixels.
        if (c.id == kList1) expected = {0, 0, 4170, ListBottom(4380)};
        const RECT got = TwipsRect(Control(c.id));
        EXPECT_TRUE(Equal(got, expected)) << "control " << c.id << ": " << Show(got) << " expected " << Show(expected);
    }
    // The outer size at load is the minimum.
    const RECT outer = OuterPixels();
    EXPECT_EQ(W().Form().lngMinWidth(), (outer.right - outer.left) * 15);
    EXPECT_EQ(W().Form().lngMinHeight(), (outer.bottom - outer.top) * 15);
}

TEST_F(WindowTest, ListFollowsGrowingMaximisingMinimisingAndRestoring) {
    Open();
    const RECT outer = OuterPixels();
    ::SetWindowPos(W().Hwnd(), nullptr, 0, 0, outer.right - outer.left + 100, outer.bottom - outer.top + 60,
                   SWP_NOMOVE | SWP_NOZORDER);
    Pump(window.get(), 20);
    const auto checkLayout = [&](const char* when) {
        const float cw = W().ScaleWidth(), ch = W().ScaleHeight();
        const RECT list = TwipsRect(Control(kList1));
        EXPECT_TRUE(Equal(list, {0, 0, static_cast<LONG>(cw), ListBottom(ch)})) << when << Show(list);
        const RECT strip = TwipsRect(Control(kPicture1));
        EXPECT_TRUE(Equal(strip, {0, static_cast<LONG>(ch) - 1485, static_cast<LONG>(cw), static_cast<LONG>(ch)}))
            << when << Show(strip);
        // The strip's controls keep their places at its left.
        EXPECT_TRUE(Equal(TwipsRect(Control(kBtnEnd)), {3240, 840, 3975, 1335})) << when;
    };
    EXPECT_FLOAT_EQ(W().ScaleWidth(), 4170 + 1500);
    checkLayout("grown: ");
    const RECT before = TwipsRect(Control(kList1));

    ::ShowWindow(W().Hwnd(), SW_MAXIMIZE);
    Pump(window.get(), 20);
    EXPECT_EQ(W().WindowState(), platform::window_state::Maximized);
    checkLayout("maximised: ");

    ::ShowWindow(W().Hwnd(), SW_RESTORE);
    Pump(window.get(), 20);
    ::ShowWindow(W().Hwnd(), SW_MINIMIZE);
    Pump(window.get(), 20);
    EXPECT_EQ(W().WindowState(), platform::window_state::Minimized);
    ::ShowWindow(W().Hwnd(), SW_RESTORE);
    Pump(window.get(), 20);
    checkLayout("restored: ");
    EXPECT_TRUE(Equal(TwipsRect(Control(kList1)), before));
}

TEST_F(WindowTest, SizeBelowTheMinimumIsRaisedOneDimensionAtATime) {
    Open();
    const RECT outer = OuterPixels();
    const int w = outer.right - outer.left, h = outer.bottom - outer.top;
    const struct {
        int width, height, wantWidth, wantHeight;
    } cases[] = {
        {w - 40, h + 50, w, h + 50},  // too narrow: width springs back, the new height stays
        {w + 30, h - 40, w + 30, h},  // too low: height springs back, the new width stays
        {w, h, w, h},                 // exactly the minimum stays
        {w - 1, h - 1, w, h},
    };
    for (const auto& c : cases) {
        ::SetWindowPos(W().Hwnd(), nullptr, 0, 0, c.width, c.height, SWP_NOMOVE | SWP_NOZORDER);
        Pump(window.get(), 10);
        const RECT now = OuterPixels();
        EXPECT_EQ(now.right - now.left, c.wantWidth);
        EXPECT_EQ(now.bottom - now.top, c.wantHeight);
        EXPECT_EQ(TwipsRect(Control(kList1)).bottom, ListBottom(W().ScaleHeight()));
    }
}

TEST_F(WindowTest, ClearPutsBackListFilterSwitchAndCaption) {
    MakeFile(tree + L"\\a.txt", 33);
    Open();
    Drop({tree + L"\\a.txt"});
    ASSERT_EQ(W().List1().ListCount(), 1);
    ::SetWindowTextW(Control(kTxtSelFileSts), L"*.doc");
    ::SendMessageW(Control(kChkReadOnly), BM_CLICK, 0, 0);
    ASSERT_EQ(W().ReadOnlySwitch(), 0);
    Click(kBtnClear);
    EXPECT_EQ(W().List1().ListCount(), 0);
    EXPECT_EQ(Text(Control(kTxtSelFileSts)), L"*.*");
    EXPECT_EQ(W().ReadOnlySwitch(), 1);
    EXPECT_EQ(Text(Control(kLblListSts)), kPrompt);
}

TEST_F(WindowTest, DropListsARealTreeThroughTheDropTarget) {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(tree + L"\\b.txt", 32);
    MakeFolder(tree + L"\\sub");
    MakeFile(tree + L"\\sub\\c.log", 35);  // read-only, hidden
    MakeFile(tree + L"\\sub\\d.txt", 1);
    Open();
    EXPECT_EQ(Drop({tree}), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{tree + L"\\a.txt", tree + L"\\sub\\c.log", tree + L"\\sub\\d.txt"}));
    EXPECT_EQ(W().List1().SelCount(), 3);
    EXPECT_EQ(Text(Control(kLblListSts)), L"ReadOnly ( 3 ) / File ( 3 )");
    EXPECT_TRUE(::IsWindowVisible(Control(kList1)));

    // With the switch clear and a filter, writable entries show too, unselected.
    ::SetWindowTextW(Control(kTxtSelFileSts), L"*.txt");
    ::SendMessageW(Control(kChkReadOnly), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SetFocus(Control(kList1));
    Drop({tree});
    EXPECT_EQ(::GetFocus(), Control(kList1)) << "the list lost the focus to its own drop";
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{tree + L"\\", tree + L"\\a.txt", tree + L"\\b.txt",
                                                    tree + L"\\sub", tree + L"\\sub\\d.txt"}));
    EXPECT_EQ(Text(Control(kLblListSts)), L"ReadOnly ( 2 ) / File ( 5 )");
}

// The drop data is read once, within its block, wide or in the code page; data that
// cannot be read changes nothing and the source hears that nothing was taken.
TEST_F(WindowTest, DropDataOfEveryShapeIsReadWithinItsBlock) {
    const std::wstring jp = tree + L"\\報告書.txt", a = tree + L"\\a.txt";
    MakeFile(jp, 33);
    MakeFile(a, 33);
    Open();
    const DWORD copy = DROPEFFECT_COPY, none = DROPEFFECT_NONE;
    const struct {
        const char* name;
        Payload payload;
        DWORD effect;
        std::vector<std::wstring> listed;
    } cases[] = {
        {"code page 932", Payload::AnsiFileList, copy, {jp, a}},
        {"without its closing zeros", Payload::Unterminated, copy, {jp}},  // a.txt runs past the end
        {"no names", Payload::NoNames, none, {jp}},
        {"GetData fails", Payload::FailingGetData, none, {jp}},
        {"a stream", Payload::StreamMedium, none, {jp}},
    };
    for (const auto& c : cases) {
        // The flag cleared by hand stays cleared when nothing is taken.
        if (W().List1().ListCount() > 0) W().List1().SetSelected(0, false);
        const std::wstring caption = Text(Control(kLblListSts));
        EXPECT_EQ(Drop({jp, a}, c.payload), c.effect) << c.name;
        EXPECT_EQ(Entries(), c.listed) << c.name;
        if (c.effect == none) {
            EXPECT_EQ(W().List1().SelCount(), 0) << c.name;
            EXPECT_EQ(Text(Control(kLblListSts)), caption) << c.name;
        }
    }
    // 20,000 names, read in one pass (a name-by-name query of the block would take the
    // square of that).
    // (Looked up ahead on other threads; one path in the middle is missing.)
    std::vector<std::wstring> many;
    for (int i = 0; i < 20000; ++i) many.push_back(i % 2 ? a : jp);
    std::vector<std::wstring> dropped = many;
    dropped.insert(dropped.begin() + 10000, tree + L"\\gone.txt");
    const ULONGLONG before = ::GetTickCount64();
    EXPECT_EQ(Drop(dropped), copy);
    EXPECT_EQ(Entries(), many);
    std::printf("a drop of 20,000 names took %llu ms\n", ::GetTickCount64() - before);
}

// File services that count the listings started once the session has ended.
class ListingsAfterTheEnd final : public ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    std::atomic<bool> ended{false};
    std::atomic<int> starts{0};
    std::atomic<int> startsAfter{0};
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override {
        ++starts;
        if (ended) ++startsAfter;
        return inner_.Dir(folder, mask);
    }
    using ForwardingFiles::Dir;
};

// A session that ends during a long drop: the window keeps answering the system, the
// close handling stores the placement, and the program ends without going back into
// the walk.
TEST_F(WindowTest, TheSessionEndingDuringADropStoresThePlacementAndStopsTheWalk) {
    constexpr int kFolders = 3000;
    for (int i = 0; i < kFolders; ++i) MakeFolder(tree + L"\\d" + std::to_wstring(i));
    ListingsAfterTheEnd counting(*files);
    window = std::make_unique<app::win32::TesvarWindow>(app::win32::WindowServices{counting, real, ansi, profile},
                                                         app::Version{0, 3, 6});
    window->SetQuitOnDestroy(false);
    window->Create(SW_SHOWNORMAL);
    Pump(window.get(), 50);
    const HWND main = W().Hwnd(), list = Control(kList1);
    LRESULT query = 0;
    std::thread system([&] {
        for (int i = 0; i < 5000 && ::IsWindowVisible(list); ++i) ::Sleep(1);  // the drop has begun
        ::SendMessageTimeoutW(main, WM_QUERYENDSESSION, 0, 0, SMTO_BLOCK, 5000, reinterpret_cast<PDWORD_PTR>(&query));
        ::SendMessageTimeoutW(main, WM_ENDSESSION, TRUE, 0, SMTO_BLOCK, 5000, nullptr);
        counting.ended = true;
    });
    Drop({tree});
    system.join();
    Pump(window.get(), 20);
    EXPECT_EQ(query, TRUE);
    EXPECT_EQ(W().Hwnd(), nullptr);
    EXPECT_NE(ReadBytes(Ini()).find("MainLeft="), std::string::npos);
    EXPECT_LT(counting.starts, kFolders) << "the session's end was answered only after the walk";
    EXPECT_LE(counting.startsAfter, 1) << "the walk went on after the session ended";
}

TEST_F(WindowTest, DragOverAnswersCopyOnlyForAFileList) {
    Open();
    IDropTarget* target = W().ListDropTarget();
    const struct {
        Payload payload;
        DWORD want;
    } cases[] = {{Payload::FileList, DROPEFFECT_COPY}, {Payload::TextOnly, DROPEFFECT_NONE}};
    for (const auto& c : cases) {
        auto data = platform::win32::ComPtr<IDataObject>::Attach(new FileListDataObject({tree}, c.payload));
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        EXPECT_EQ(target->DragEnter(data.get(), MK_LBUTTON, {0, 0}, &effect), S_OK);
        EXPECT_EQ(effect, c.want);
        effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
        target->DragOver(MK_LBUTTON, {1, 1}, &effect);
        EXPECT_EQ(effect, c.want);
        target->DragLeave();
    }
}

TEST_F(WindowTest, StartAsksReleasesAndReportsThroughRealMessageBoxes) {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(tree + L"\\h.txt", 35);
    Open();
    Drop({tree});
    ASSERT_EQ(W().List1().SelCount(), 2);
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDOK});
    Click(kBtnStart);
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[0].title, L"Tesvar");
    EXPECT_EQ(boxes.seen[0].text, L"2 File の  読取専用ｽﾃｰﾀｽを解除します\r\nよろしいですか？");
    EXPECT_EQ(boxes.seen[0].Style(), 36);
    EXPECT_EQ(boxes.seen[1].text, L"2 File の処理が終了しました");
    EXPECT_EQ(boxes.seen[1].Style(), 64);
    EXPECT_EQ(::GetFileAttributesW((tree + L"\\a.txt").c_str()), 32u);
    EXPECT_EQ(::GetFileAttributesW((tree + L"\\h.txt").c_str()), 34u);
    EXPECT_EQ(W().List1().SelCount(), 2) << "moving the current entry changes no selected flag";
    EXPECT_TRUE(::IsWindowEnabled(Control(kBtnStart)));
    EXPECT_TRUE(::IsWindowEnabled(Control(kBtnClear)));
    const std::string log = ReadBytes(Log());
    EXPECT_EQ(log.substr(0, kReleasedSjis.size()), kReleasedSjis);
    EXPECT_NE(log.find(" 33 -> 32  0 \r\n"), std::string::npos) << log;
}

// Paths longer than 260 characters and names that code page 932 cannot hold are
// listed with their exact text and released; the log writes "?" for what the code page
// cannot hold.
TEST_F(WindowTest, LongPathsAndNamesBeyondTheCodePageGoFromDropToLog) {
    using platform::win32::Win32Path;
    std::wstring deep = tree;
    while (deep.size() < 290) {
        deep += L"\\" + std::wstring(40, L'd');
        MakeFolder(Win32Path(deep));
    }
    const std::wstring names[] = {deep + L"\\long.txt", tree + L"\\\ud55c\uae00.txt", tree + L"\\\U0001F600.txt",
                                  tree + L"\\caf\u00e9.txt"};
    for (const auto& path : names) MakeFile(Win32Path(path), 33);
    ASSERT_GT(names[0].size(), 300u);
    Open();
    Drop({tree});
    std::vector<std::wstring> listed = Entries(), wanted(std::begin(names), std::end(names));
    std::sort(listed.begin(), listed.end());
    std::sort(wanted.begin(), wanted.end());
    EXPECT_EQ(listed, wanted);
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDOK});
    Click(kBtnStart);
    for (const auto& path : names) EXPECT_EQ(::GetFileAttributesW(Win32Path(path).c_str()), 32u);
    const std::string log = ReadBytes(Log());
    const std::string at = ansi.ToAnsi(tree);
    for (const std::string& line : {ansi.ToAnsi(names[0]), at + "\\??.txt", at + "\\??.txt", at + "\\caf?.txt"})
        EXPECT_NE(log.find(line + " "), std::string::npos) << line;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 4) << "one line each, no error";
}

// A network share: a folder below it, the share's root (with and without its "\") and
// a server named in another case are walked, listed, released and logged by their UNC
// names, never by the "\\?\UNC\" form the file system is asked with.
TEST_F(WindowTest, UncPathsGoFromDropToLogByTheirUncNames) {
    const std::wstring name = L"share" + std::to_wstring(::GetCurrentProcessId());
    const TestShare share(L"tesvar-nas", name);
    const std::wstring& unc = share.Unc();
    if (unc.empty()) GTEST_SKIP() << "no Wine prefix to serve a share from";
    MakeFolder(unc + L"\\proj");
    MakeFolder(unc + L"\\proj\\sub");
    MakeFile(unc + L"\\proj\\a.txt", 33);
    MakeFile(unc + L"\\proj\\sub\\b.txt", 33);
    MakeFile(unc + L"\\top.txt", 33);
    Open();
    const std::vector<std::wstring> inProj{unc + L"\\proj\\a.txt", unc + L"\\proj\\sub\\b.txt"};
    EXPECT_EQ(Drop({unc + L"\\proj"}), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Entries(), inProj);
    for (const std::wstring& root : {unc, unc + L"\\"}) {
        Drop({root});
        EXPECT_EQ(Entries(), (std::vector<std::wstring>{inProj[0], inProj[1], unc + L"\\top.txt"})) << ansi.ToAnsi(root);
    }
    const std::wstring upper = L"\\\\TESVAR-NAS\\" + name;
    Drop({upper + L"\\proj\\"});
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{upper + L"\\proj\\a.txt", upper + L"\\proj\\sub\\b.txt"}));
    EXPECT_EQ(Text(Control(kLblListSts)), L"ReadOnly ( 2 ) / File ( 2 )");
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDOK});
    Click(kBtnStart);
    for (const auto& path : inProj) EXPECT_EQ(::GetFileAttributesW(path.c_str()), 32u) << ansi.ToAnsi(path);
    EXPECT_EQ(::GetFileAttributesW((unc + L"\\top.txt").c_str()), 33u);
    const std::string log = ReadBytes(Log());
    for (const auto& path : {upper + L"\\proj\\a.txt", upper + L"\\proj\\sub\\b.txt"})
        EXPECT_NE(log.find(ansi.ToAnsi(path) + " "), std::string::npos) << log;
    EXPECT_EQ(log.find("\\\\?\\"), std::string::npos) << log;
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 2) << "one line each, no error";
}

// A path too long for the list shows whole in a tooltip when the pointer rests on it.
TEST_F(WindowTest, ThePointerRestingOnAnEntryShowsItsWholePath) {
    const std::wstring path = tree + L"\\" + std::wstring(60, L'x') + L"\\file-name-at-the-end.txt";
    MakeFolder(tree + L"\\" + std::wstring(60, L'x'));
    MakeFile(path, 33);
    Open();
    Drop({tree});
    ASSERT_EQ(Entries(), std::vector<std::wstring>{path});
    // Rests the pointer on the list's top entry; what the tooltip then shows.
    const auto restOnTheTopEntry = [&] {
        RECT item{};
        const auto top = ::SendMessageW(Control(kList1), LB_GETTOPINDEX, 0, 0);
        ::SendMessageW(Control(kList1), LB_GETITEMRECT, static_cast<WPARAM>(top), reinterpret_cast<LPARAM>(&item));
        POINT at{(item.left + item.right) / 2, (item.top + item.bottom) / 2};
        ::ClientToScreen(Control(kList1), &at);
        ::SetCursorPos(at.x - 5, at.y);
        Pump(window.get(), 50);
        ::SetCursorPos(at.x, at.y);
        // The tooltip appears once the pointer has rested a moment.
        std::wstring shown;
        for (int i = 0; i < 40 && shown.empty(); ++i) {
            Pump(window.get(), 50);
            for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
                 tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
                if (::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId() && ::IsWindowVisible(tip))
                    shown = Text(tip);
            }
        }
        return shown;
    };
    EXPECT_EQ(restOnTheTopEntry(), path);

    // Beyond 65,535 entries (a point's entry number no longer fits in 16 bits).
    W().List1().SetVisible(false);  // filled as a drop fills it
    for (int i = 1; i <= 70000; ++i) W().List1().AddItem(L"C:\\e" + std::to_wstring(i));
    W().List1().SetVisible(true);
    ::SendMessageW(Control(kList1), LB_SETTOPINDEX, 65540, 0);
    ::SetCursorPos(0, 0);
    Pump(window.get(), 100);
    EXPECT_EQ(restOnTheTopEntry(), L"C:\\e65540");
}

TEST_F(WindowTest, StartAndClearAreDisabledWhileTheRunIsInProgress) {
    OpenWithAMissingEntry();
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDNO, IDOK});
    bool startEnabled = true, clearEnabled = true, endEnabled = false;
    std::string logAtPrompt;
    boxes.onBox = [&](const SeenBox& box) {
        if (box.Style() != 52) return;
        logAtPrompt = ReadBytes(Log());  // what a user or a crash would find meanwhile
        startEnabled = ::IsWindowEnabled(Control(kBtnStart)) != FALSE;
        clearEnabled = ::IsWindowEnabled(Control(kBtnClear)) != FALSE;
        endEnabled = ::IsWindowEnabled(Control(kBtnEnd)) != FALSE;
    };
    Click(kBtnStart);
    ASSERT_EQ(boxes.seen.size(), 3u);
    EXPECT_EQ(boxes.seen[1].Style(), 52);
    EXPECT_NE(boxes.seen[1].text.find(L"処理を中断しますか？"), std::wstring::npos);
    EXPECT_FALSE(startEnabled);
    EXPECT_FALSE(clearEnabled);
    EXPECT_TRUE(endEnabled);
    // The lines before the question are on disk while it waits: a.txt's and the
    // released line of the missing entry.
    EXPECT_EQ(std::count(logAtPrompt.begin(), logAtPrompt.end(), '\n'), 2) << logAtPrompt;
    EXPECT_TRUE(logAtPrompt.ends_with("\r\n")) << logAtPrompt;
    EXPECT_NE(logAtPrompt.find(ansi.ToAnsi(tree + L"\\gone.txt")), std::string::npos) << logAtPrompt;
    EXPECT_EQ(::GetFileAttributesW((tree + L"\\z.txt").c_str()), 32u) << "No goes on with the next entry";
    EXPECT_TRUE(::IsWindowEnabled(Control(kBtnStart)));
}

TEST_F(WindowTest, DropDuringARunIsRefusedAndChangesNothing) {
    MakeFile(folder + L"\\other.txt", 33);
    OpenWithAMissingEntry();
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDNO, IDOK});
    DWORD overDuringRun = 99, dropDuringRun = 99;
    boxes.onBox = [&](const SeenBox& box) {
        if (box.Style() != 52) return;  // the abort prompt: the run is in the middle
        IDropTarget* target = W().ListDropTarget();
        auto data = platform::win32::ComPtr<IDataObject>::Attach(new FileListDataObject({folder + L"\\other.txt"}));
        overDuringRun = DROPEFFECT_COPY;
        target->DragEnter(data.get(), MK_LBUTTON, {0, 0}, &overDuringRun);
        dropDuringRun = DROPEFFECT_COPY;
        target->Drop(data.get(), 0, {0, 0}, &dropDuringRun);
    };
    Click(kBtnStart);
    ASSERT_EQ(boxes.seen.size(), 3u);
    EXPECT_EQ(overDuringRun, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(dropDuringRun, static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{tree + L"\\a.txt", tree + L"\\gone.txt", tree + L"\\z.txt"}));
    EXPECT_EQ(::GetFileAttributesW((tree + L"\\z.txt").c_str()), 32u);
    EXPECT_EQ(::GetFileAttributesW((folder + L"\\other.txt").c_str()), 33u);
    EXPECT_EQ(Drop({folder + L"\\other.txt"}), static_cast<DWORD>(DROPEFFECT_COPY)) << "after the run drops work again";
    EXPECT_EQ(W().List1().ListCount(), 1);
}

// A source that lets the drop be read after DoDragDrop has returned hears the effect
// that happened, once the drop has been taken up or refused.
TEST_F(WindowTest, AnAsyncSourceHearsWhatBecameOfItsDrop) {
    MakeFile(tree + L"\\a.txt", 33);
    Open();
    const auto drop = [this] {
        auto data = platform::win32::ComPtr<FileListDataObject>::Attach(
            new FileListDataObject({tree}, Payload::FileList, true));
        DWORD effect = DROPEFFECT_COPY;
        W().ListDropTarget()->DragEnter(data.get(), MK_LBUTTON, {0, 0}, &effect);
        effect = DROPEFFECT_COPY;
        W().ListDropTarget()->Drop(data.get(), 0, {0, 0}, &effect);
        EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
        EXPECT_TRUE(data->Started());
        EXPECT_FALSE(data->Ended()) << "ended before the window took the drop up";
        return data;
    };
    const auto taken = drop();
    Pump(window.get(), 20);
    EXPECT_TRUE(taken->Ended());
    EXPECT_EQ(taken->EndEffect(), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(W().List1().ListCount(), 1);
    // The window closes before it takes the drop up: nothing was taken.
    const auto refused = drop();
    ::SendMessageW(W().Hwnd(), WM_CLOSE, 0, 0);
    Pump(window.get(), 20);
    EXPECT_TRUE(refused->Ended());
    EXPECT_EQ(refused->EndEffect(), static_cast<DWORD>(DROPEFFECT_NONE));
}

// Dropped paths are made canonical once, on arrival; a device path names nothing.
TEST_F(WindowTest, DroppedPathsAreTakenInTheirCanonicalForm) {
    MakeFile(tree + L"\\a.txt", 33);
    Open();
    const struct {
        std::wstring dropped;
        std::vector<std::wstring> listed;
    } cases[] = {
        {tree + L"/sub/../a.txt", {tree + L"\\a.txt"}},
        {L"\\\\.\\" + tree + L"\\\\a.txt", {tree + L"\\a.txt"}},
        {L"\\\\.\\PhysicalDrive0", {}},
    };
    for (const auto& c : cases) {
        Drop({c.dropped});
        EXPECT_EQ(Entries(), c.listed);
    }
}

// A close that arrives while the confirmation is open ends the program: after Yes,
// nothing of the run happens, and the last run's log stays as it was.
TEST_F(WindowTest, ACloseDuringTheConfirmationEndsTheProgramBeforeTheRun) {
    const struct {
        const char* name;
        std::function<void()> close;
    } ways[] = {
        {"WM_CLOSE", [this] { ::PostMessageW(W().Hwnd(), WM_CLOSE, 0, 0); }},
        {"session end", [this] { ::SendMessageW(W().Hwnd(), WM_ENDSESSION, TRUE, 0); }},
        {"END", [this] { ::PostMessageW(Control(kBtnEnd), BM_CLICK, 0, 0); }},
    };
    for (const auto& way : ways) {
        for (int i = 0; i < 2; ++i) MakeFile(tree + L"\\f" + std::to_wstring(i) + L".txt", 33);
        MakeFile(Log(), 32, "old\r\n");
        ::DeleteFileW(Ini().c_str());
        Open();
        Drop({tree});
        BoxAnswerer boxes;
        boxes.Answer({IDYES});
        boxes.onBox = [&](const SeenBox& box) {
            if (box.Style() == 36) way.close();  // handled while the box waits
        };
        Click(kBtnStart);
        EXPECT_EQ(boxes.seen.size(), 1u) << way.name;
        EXPECT_EQ(W().Hwnd(), nullptr) << way.name;
        EXPECT_EQ(::GetFileAttributesW((tree + L"\\f0.txt").c_str()), 33u) << way.name << ": nothing released";
        EXPECT_EQ(ReadBytes(Log()), "old\r\n") << way.name << ": the old log untouched";
        EXPECT_NE(ReadBytes(Ini()).find("MainLeft="), std::string::npos) << way.name;
    }
}

// During a run the keyboard keeps working. The focus leaves the disabled Start for the
// list the run highlights, so Enter and Space pressed there (because nothing seemed
// to happen) do not end the run; Tab goes round the controls that can take the focus,
// and Enter on END ends the program after the entry being processed, for the yield
// after every entry handles it. The keys come from another thread, as a user's would,
// at any moment of the run.
TEST_F(WindowTest, TheKeyboardDuringARunReachesEndOnlyOnPurpose) {
    constexpr int kFiles = 1500;
    std::vector<std::wstring> paths;
    for (int i = 0; i < kFiles; ++i) {
        paths.push_back(tree + L"\\f" + std::to_wstring(10000 + i) + L".txt");
        MakeFile(paths.back(), 33);
    }
    Open();
    Drop({tree});
    ASSERT_EQ(W().List1().ListCount(), kFiles);
    const DWORD gui = ::GetCurrentThreadId();
    const auto focus = [gui] {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(gui, &info) ? info.hwndFocus : nullptr;
    };
    // The run goes through the files in order: the first one still read-only is where
    // it stands.
    const auto released = [&] {
        std::size_t lo = 0, hi = paths.size();
        while (lo < hi) {
            const std::size_t mid = (lo + hi) / 2;
            if (::GetFileAttributesW(paths[mid].c_str()) & FILE_ATTRIBUTE_READONLY)
                hi = mid;
            else
                lo = mid + 1;
        }
        return static_cast<long>(lo);
    };
    const auto await = [](const std::function<bool()>& done) {
        for (int i = 0; i < 5000 && !done(); ++i) ::Sleep(1);
        return done();
    };
    const auto key = [](HWND to, WPARAM vk) {
        ::PostMessageW(to, WM_KEYDOWN, vk, 0);
        if (vk == VK_SPACE) ::PostMessageW(to, WM_CHAR, L' ', 0);
        ::PostMessageW(to, WM_KEYUP, vk, 0xC0000000);
    };
    const HWND main = W().Hwnd();
    const std::vector<HWND> tabOrder{Control(kTxtSelFileSts), Control(kChkReadOnly), Control(kBtnEnd)};

    // Enter and Space on the focused control: the run goes on to its end.
    HWND focusInRun = nullptr;
    std::thread impatient([&] {
        if (!await([&] { return released() > 0; })) return;
        focusInRun = focus();
        key(focusInRun, VK_RETURN);
        key(focusInRun, VK_SPACE);
        key(focusInRun, VK_RETURN);
    });
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDOK});
    Click(kBtnStart);
    impatient.join();
    EXPECT_EQ(focusInRun, Control(kList1));
    ASSERT_EQ(boxes.seen.size(), 2u) << "the run was ended";
    EXPECT_EQ(boxes.seen[1].Style(), 64);
    EXPECT_EQ(released(), kFiles);
    ASSERT_NE(W().Hwnd(), nullptr);

    // Tab to END and Enter there: the program ends after the entry in hand.
    for (const auto& p : paths) ::SetFileAttributesW(p.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
    ::SendMessageW(Control(kList1), LB_SETSEL, TRUE, -1);
    std::vector<HWND> tabbed;
    long releasedAtEnter = -1;
    std::thread keyboard([&] {
        if (!await([&] { return released() > 0; })) return;
        for (int i = 0; i < 3; ++i) {  // List1 -> filter -> switch -> END (Start and Clear are off)
            const HWND from = focus();
            ::PostMessageW(from, WM_KEYDOWN, VK_TAB, 0);
            await([&] { return focus() != from; });
            tabbed.push_back(focus());
        }
        const HWND button = focus();
        ::Sleep(10);  // a moment later, in the middle of the run
        releasedAtEnter = released();
        ::PostMessageW(button, WM_KEYDOWN, VK_RETURN, 0);
        await([&] { return !::IsWindow(main); });  // the user stays at the keyboard
    });
    BoxAnswerer more;
    more.Answer({IDYES, IDOK});
    Click(kBtnStart);
    keyboard.join();
    EXPECT_EQ(tabbed, tabOrder);
    ASSERT_GE(releasedAtEnter, 0) << "the run ended before the keyboard was used";
    EXPECT_EQ(W().Hwnd(), nullptr);
    EXPECT_EQ(more.seen.size(), 1u) << "no completion message";
    const std::string log = ReadBytes(Log());
    const long lines = static_cast<long>(std::count(log.begin(), log.end(), '\n'));
    EXPECT_EQ(lines, released()) << "one whole line for each entry done";
    // The entry being processed when Enter came, and one that may have begun between
    // the look at the files and the key.
    EXPECT_LE(lines - releasedAtEnter, 2) << "entries done after Enter on END";
    EXPECT_LT(lines, kFiles);
    EXPECT_NE(ReadBytes(Ini()).find("MainLeft="), std::string::npos);
}

// After a run the focus goes back to Start only when it is still on the list the run
// gave it to; one the user moved during the run stays where the user put it.
HWND g_focusDuringRun = nullptr;
HWND g_startButton = nullptr;

void CALLBACK MoveFocusDuringTheRun(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    if (::IsWindowEnabled(g_startButton)) return;  // the run has not begun, or has ended
    ::KillTimer(nullptr, timer);
    if (g_focusDuringRun) ::SetFocus(g_focusDuringRun);
}

TEST_F(WindowTest, FocusGoesBackToStartWhenTheRunEndsUnlessTheUserMovedIt) {
    const struct {
        ControlId movedTo;  // kList1: left where the run put it
        ControlId after;
    } cases[] = {{kList1, kBtnStart}, {kTxtSelFileSts, kTxtSelFileSts}, {kBtnEnd, kBtnEnd}};
    for (int i = 0; i < 300; ++i) MakeFile(tree + L"\\f" + std::to_wstring(i) + L".txt", 33);
    Open();
    for (const auto& c : cases) {
        Drop({tree});
        ::SetFocus(Control(kBtnStart));
        g_startButton = Control(kBtnStart);
        g_focusDuringRun = c.movedTo == kList1 ? nullptr : Control(c.movedTo);
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 1, &MoveFocusDuringTheRun);
        BoxAnswerer boxes;
        boxes.Answer({IDYES, IDOK});
        Click(kBtnStart);
        ::KillTimer(nullptr, timer);
        Pump(window.get(), 20);
        EXPECT_EQ(::GetFocus(), Control(c.after)) << "focus moved to control " << c.movedTo;
        for (int i = 0; i < 300; ++i)
            ::SetFileAttributesW((tree + L"\\f" + std::to_wstring(i) + L".txt").c_str(), 33);
    }
}

// The list's menu, opened by a right click on the list or as from the keyboard
// (Shift+F10, the menu key), and the item at `pick` chosen with the keyboard; its texts.
std::vector<std::wstring> g_menuTexts;
int g_menuPick = 0;

void CALLBACK PickFromMenu(HWND, UINT, UINT_PTR timer, DWORD) noexcept {
    const HWND menu = ::FindWindowW(L"#32768", nullptr);
    if (!menu || !::IsWindowVisible(menu)) return;
    ::KillTimer(nullptr, timer);
    const auto items = reinterpret_cast<HMENU>(::SendMessageW(menu, MN_GETHMENU, 0, 0));
    for (int i = 0; i < ::GetMenuItemCount(items); ++i) {
        wchar_t text[64] = {};
        ::GetMenuStringW(items, static_cast<UINT>(i), text, 64, MF_BYPOSITION);
        g_menuTexts.push_back(text);
    }
    for (int i = 0; i <= g_menuPick; ++i) ::PostMessageW(menu, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(menu, WM_KEYDOWN, VK_RETURN, 0);
}

// The whole list at once: Ctrl+A in the list, and the list's menu with its three
// commands, on 100,000 entries; the status caption stays as the drop set it.
TEST_F(WindowTest, TheWholeListAtOnceByCtrlAAndTheListsMenu) {
    Open();
    CheckedList& list = W().List1();
    constexpr int kCount = 100000;
    list.SetVisible(false);  // filled as a drop fills it: every third entry selected
    for (int i = 0; i < kCount; ++i) {
        list.AddItem(L"C:\\e" + std::to_wstring(i));
        if (i % 3 == 0) list.SetSelected(i, true);
    }
    list.SetVisible(true);
    const std::wstring caption = Text(Control(kLblListSts));
    const HWND listBox = Control(kList1);
    const auto menu = [&](bool byMouse, int pick) {
        g_menuTexts.clear();
        g_menuPick = pick;
        ::SetTimer(nullptr, 0, 20, &PickFromMenu);
        if (byMouse) {
            ::PostMessageW(listBox, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(20, 5));
            ::PostMessageW(listBox, WM_RBUTTONUP, 0, MAKELPARAM(20, 5));
        } else {
            ::PostMessageW(W().Hwnd(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(listBox), MAKELPARAM(-1, -1));
        }
        Pump(window.get(), 300);
        EXPECT_EQ(g_menuTexts, (std::vector<std::wstring>{L"すべて選択", L"すべて解除", L"選択の反転"}));
    };

    menu(false, 2);  // 選択の反転
    EXPECT_EQ(list.SelCount(), kCount - (kCount + 2) / 3);
    EXPECT_FALSE(list.Selected(0));
    EXPECT_TRUE(list.Selected(1));
    EXPECT_TRUE(list.Selected(kCount - 2));
    EXPECT_FALSE(list.Selected(kCount - 1));  // 99,999 is a third
    menu(true, 1);  // すべて解除
    EXPECT_EQ(list.SelCount(), 0);
    menu(true, 0);  // すべて選択
    EXPECT_EQ(list.SelCount(), kCount);
    menu(false, 1);
    // Ctrl+A in the list, typed.
    ::SetForegroundWindow(W().Hwnd());
    ::SetFocus(listBox);
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_CONTROL, 0}, {'A', 0}, {'A', KEYEVENTF_KEYUP}, {VK_CONTROL, KEYEVENTF_KEYUP}};
    for (int i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.dwFlags = order[i][1];
    }
    ASSERT_EQ(::SendInput(4, keys, sizeof(INPUT)), 4u);
    Pump(window.get(), 300);
    EXPECT_EQ(list.SelCount(), kCount);
    EXPECT_EQ(Text(Control(kLblListSts)), caption);
}

// File services whose every listing start takes a while, so that a drop lasts.
class SlowListings final : public ForwardingFiles {
public:
    using ForwardingFiles::ForwardingFiles;
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override {
        ::Sleep(100);
        return inner_.Dir(folder, mask);
    }
    using ForwardingFiles::Dir;
};

// The taskbar button: indeterminate during a drop that lasts, then cleared; during a run
// how far it has come, at most once a frame; paused while an abort question waits;
// cleared at the end.
TEST_F(WindowTest, TheTaskbarButtonShowsDropsAndRuns) {
    constexpr int kFiles = 1500;
    for (int i = 0; i < kFiles; ++i) MakeFile(tree + L"\\f" + std::to_wstring(10000 + i) + L".txt", 33);
    for (int i = 0; i < 6; ++i) MakeFolder(tree + L"\\d" + std::to_wstring(i));
    auto taskbar = platform::win32::ComPtr<TaskbarDouble>::Attach(new TaskbarDouble);
    const TesvarWindow::ShellParts shell{nullptr, [&] {
        taskbar->AddRef();
        return platform::win32::ComPtr<ITaskbarList3>::Attach(taskbar.get());
    }};
    SlowListings slow(*files);
    Open(&slow, &shell);
    ::SendMessageW(W().Hwnd(), W().TaskbarButtonCreatedMessage(), 0, 0);
    ASSERT_FALSE(taskbar->calls.empty());
    EXPECT_EQ(taskbar->calls[0].what, "init");

    Drop({tree});  // seven listings, a tenth of a second each
    ASSERT_EQ(W().List1().ListCount(), kFiles);
    std::vector<std::string> states;
    for (const auto& c : taskbar->calls)
        if (c.what == "state") states.push_back(std::to_string(c.a));
    EXPECT_EQ(states, (std::vector<std::string>{std::to_string(TBPF_INDETERMINATE), std::to_string(TBPF_NOPROGRESS)}));

    RemoveTree(tree + L"\\f10700.txt");  // the run stops at an abort question in its middle
    taskbar->calls.clear();
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDNO, IDOK});
    TBPFLAG atQuestion = TBPF_NOPROGRESS, atCompletion = TBPF_NORMAL;
    boxes.onBox = [&](const SeenBox& box) {
        if (box.Style() == 52) atQuestion = taskbar->State();
        if (box.Style() == 64) atCompletion = taskbar->State();
    };
    const ULONGLONG started = ::GetTickCount64();
    Click(kBtnStart);
    const ULONGLONG took = ::GetTickCount64() - started;
    EXPECT_EQ(atQuestion, TBPF_PAUSED);
    EXPECT_EQ(atCompletion, TBPF_NOPROGRESS);
    EXPECT_EQ(taskbar->State(), TBPF_NOPROGRESS);
    ULONGLONG last = 0;
    int values = 0;
    for (const auto& c : taskbar->calls) {
        if (c.what != "value") continue;
        ++values;
        EXPECT_EQ(c.b, static_cast<ULONGLONG>(kFiles));
        EXPECT_GE(c.a, last) << "the bar goes back";
        last = c.a;
    }
    EXPECT_GT(values, 0);
    EXPECT_LE(values, static_cast<int>(took / 100) + 3) << "more than once a frame";
}

// While files are dragged over the list, the shell's drag image follows: every call of
// the drag reaches the helper with the effect answered.
TEST_F(WindowTest, TheDragImageHelperHearsEveryCallOfTheDrag) {
    MakeFile(tree + L"\\a.txt", 33);
    auto helper = platform::win32::ComPtr<DragImageDouble>::Attach(new DragImageDouble);
    const TesvarWindow::ShellParts shell{[&] {
        helper->AddRef();
        return platform::win32::ComPtr<IDropTargetHelper>::Attach(helper.get());
    }, nullptr};
    Open(nullptr, &shell);
    Drop({tree});
    IDropTarget* target = W().ListDropTarget();
    auto text = platform::win32::ComPtr<IDataObject>::Attach(new FileListDataObject({tree}, Payload::TextOnly));
    DWORD effect = DROPEFFECT_COPY;
    target->DragEnter(text.get(), MK_LBUTTON, {0, 0}, &effect);
    target->DragLeave();
    std::vector<std::string> calls;
    for (const auto& c : helper->calls) calls.push_back(c.what + " " + std::to_string(c.effect));
    const std::string copy = std::to_string(DROPEFFECT_COPY), none = std::to_string(DROPEFFECT_NONE);
    EXPECT_EQ(calls, (std::vector<std::string>{"enter " + copy, "over " + copy, "drop " + copy, "enter " + none,
                                               "leave 0"}));
    EXPECT_EQ(helper->calls[0].window, Control(kList1));
    EXPECT_EQ(W().List1().ListCount(), 1);
}

TEST_F(WindowTest, AControlThatCannotBeCreatedFailsTheWindow) {
    window = std::make_unique<app::win32::TesvarWindow>(app::win32::WindowServices{*files, real, ansi, profile},
                                                         app::Version{0, 3, 6});
    window->SetQuitOnDestroy(false);
    window->SetControlCreationHook([](ControlId id) {
        if (id == kBtnClear) throw platform::Error(ERROR_NOT_ENOUGH_MEMORY, L"no memory");
    });
    try {
        window->Create(SW_SHOWNORMAL);
        ADD_FAILURE() << "Create succeeded with a control missing";
    } catch (const platform::Error& e) {
        EXPECT_EQ(e.Number(), static_cast<std::int32_t>(ERROR_NOT_ENOUGH_MEMORY));
    }
    EXPECT_EQ(window->Hwnd(), nullptr);
    EXPECT_EQ(::FindWindowW(kWindowClass, nullptr), nullptr) << "no half-made window is left";
}

TEST_F(WindowTest, EndStoresThePlacementAndClosesTheWindow) {
    Open();
    ::SetWindowPos(W().Hwnd(), nullptr, 80, 60, 300, 340, SWP_NOZORDER);
    Pump(window.get(), 20);
    Click(kBtnEnd);
    EXPECT_EQ(W().Hwnd(), nullptr);
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
}

// A program folder named with characters code page 932 cannot hold (a user's name in
// Korean, "Café"): the placement is stored there, in the file's usual bytes, and the
// next start restores it.
TEST_F(WindowTest, ThePlacementIsKeptInAFolderTheCodePageCannotName) {
    const std::wstring odd = folder + L"\\\uae40\ubbfc\uc218 Caf\u00e9";
    MakeFolder(odd);
    files = std::make_unique<ProgramFolderIn>(real, odd);
    Open();
    ::SetWindowPos(W().Hwnd(), nullptr, 80, 60, 300, 340, SWP_NOZORDER);
    Pump(window.get(), 20);
    Click(kBtnEnd);
    EXPECT_EQ(ReadBytes(odd + L"\\Tesvar.ini"),
              "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
    Open();
    const RECT r = OuterPixels();
    EXPECT_EQ(r.left, 80);
    EXPECT_EQ(r.top, 60);
    EXPECT_EQ(r.right - r.left, 300);
}

TEST_F(WindowTest, EveryWayOfClosingStoresThePlacement) {
    const struct {
        const char* name;
        UINT message;
        WPARAM wParam;
    } ways[] = {{"close box", WM_SYSCOMMAND, SC_CLOSE}, {"WM_CLOSE", WM_CLOSE, 0}, {"session end", WM_ENDSESSION, TRUE}};
    for (const auto& way : ways) {
        ::DeleteFileW(Ini().c_str());
        Open();
        ::SetWindowPos(W().Hwnd(), nullptr, 20, 30, 320, 350, SWP_NOZORDER);
        Pump(window.get(), 10);
        ::SendMessageW(W().Hwnd(), way.message, way.wParam, 0);
        Pump(window.get(), 10);
        EXPECT_EQ(W().Hwnd(), nullptr) << way.name;
        EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nMainLeft=300\r\nMainTop=450\r\nMainWidth=4800\r\nMainHeight=5250\r\n")
            << way.name;
    }
}

TEST_F(WindowTest, MaximisedOrMinimisedCloseLeavesTheProfileAlone) {
    for (int show : {SW_MAXIMIZE, SW_MINIMIZE}) {
        MakeFile(Ini(), 32, "[Settings]\r\nMainLeft=1200\r\n");
        Open();
        ::ShowWindow(W().Hwnd(), show);
        Pump(window.get(), 10);
        Click(kBtnEnd);
        if (W().Hwnd()) ::SendMessageW(W().Hwnd(), WM_CLOSE, 0, 0);
        EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nMainLeft=1200\r\n");
    }
}

TEST_F(WindowTest, ASecondStartRestoresThePlacement) {
    MakeFile(Ini(), 32, "[Settings]\r\nMainLeft=1500\r\nMainTop=750\r\nMainWidth=6000\r\nMainHeight=7500\r\n");
    Open();
    const RECT r = OuterPixels();
    EXPECT_EQ(r.left, 100);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 500);
    EXPECT_EQ(TwipsRect(Control(kList1)).bottom, ListBottom(W().ScaleHeight()));
}

TEST_F(WindowTest, APlacementOffEveryMonitorComesBackOntoOne) {
    const struct {
        const char* ini;
        bool moved;
    } cases[] = {
        {"[Settings]\r\nMainLeft=-30000\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n", true},
        {"[Settings]\r\nMainLeft=32000\r\nMainTop=32000\r\nMainWidth=4500\r\nMainHeight=5100\r\n", true},
        // Partly off the screen: comes wholly onto it, at the nearest place.
        {"[Settings]\r\nMainLeft=-1500\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n", false},
    };
    for (const auto& c : cases) {
        window.reset();
        MakeFile(Ini(), 32, c.ini);
        Open();
        RECT r = OuterPixels();
        EXPECT_EQ(r.right - r.left, 300) << c.ini << " keeps its size";
        EXPECT_EQ(r.bottom - r.top, 340) << c.ini << " keeps its size";
        MONITORINFO info{};
        info.cbSize = sizeof info;
        ASSERT_TRUE(::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info));
        RECT inside{};
        ::IntersectRect(&inside, &r, &info.rcMonitor);
        if (c.moved) {
            EXPECT_TRUE(Equal(inside, r)) << c.ini << ": wholly on the monitor at " << Show(r);
        } else {
            EXPECT_EQ(r.left, info.rcWork.left) << c.ini;
            EXPECT_EQ(r.top, 60) << c.ini;
        }
    }
}

}  // namespace
}  // namespace tesvar::test
