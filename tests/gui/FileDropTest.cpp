// Drops by WM_DROPFILES, the route an elevated Tesvar takes drops by: when it is taken
// instead of OLE, and that such a drop is the same drop as the drop target's.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/win32/FileDrops.h"
#include "gui/MessageBoxes.h"
#include "gui/WindowFixture.h"

namespace tesvar::test {
namespace {

using namespace app::win32;

std::wstring Text(HWND hwnd) {
    wchar_t buffer[512] = {};
    ::GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

TEST(FileDropsOnly, OnlyAShellBelowTesvarsLevelTakesOle) {
    constexpr DWORD medium = SECURITY_MANDATORY_MEDIUM_RID, high = SECURITY_MANDATORY_HIGH_RID;
    const struct {
        const char* name;
        IntegrityLevel own, shell;
        bool fileDrops;
    } cases[] = {
        {"equal", high, high, false},
        {"lower shell", high, medium, true},
        {"higher shell", medium, high, false},
        {"own unreadable", std::nullopt, medium, false},
        {"shell unreadable", high, std::nullopt, false},
    };
    for (const auto& c : cases) EXPECT_EQ(FileDropsOnly(c.own, c.shell), c.fileDrops) << c.name;
    // Wine gives every process high integrity: the shell's drags stay OLE there.
    EXPECT_EQ(IntegrityOf(::GetCurrentProcess()), IntegrityLevel(high));
    EXPECT_FALSE(ShellRunsBelowUs());
}

// A WM_DROPFILES block built here, as the shell hands one over: wide names after the
// header, each ended by a zero, and one more zero.
HDROP FileDropOf(const std::vector<std::wstring>& paths) {
    std::wstring names;
    for (const auto& p : paths) names += p + L'\0';
    names += L'\0';
    const SIZE_T size = sizeof(DROPFILES) + names.size() * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

bool Freed(HDROP drop) { return ::GlobalFlags(drop) == GMEM_INVALID_HANDLE; }

class FileDropTest : public WindowFixture {
protected:
    struct Seen {
        std::vector<std::wstring> entries;
        std::vector<bool> ticks;
        std::wstring caption;
        bool operator==(const Seen&) const = default;
    };
    Seen Now() {
        Seen seen{Entries(), {}, Text(Control(kLblListSts))};
        for (std::int32_t i = 0; i < W().List1().ListCount(); ++i) seen.ticks.push_back(W().List1().Selected(i));
        return seen;
    }
    // Posts the drop to the list and handles what follows; true when its block was freed.
    bool PostDrop(const std::vector<std::wstring>& paths) {
        const HDROP drop = FileDropOf(paths);
        EXPECT_FALSE(Freed(drop));
        EXPECT_TRUE(::PostMessageW(Control(kList1), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0));
        Pump(window.get(), 30);
        return Freed(drop);
    }
    void MakeTree() {
        MakeFile(tree + L"\\a.txt", 33);
        MakeFile(tree + L"\\b.txt", 32);
        MakeFolder(tree + L"\\sub");
        MakeFile(tree + L"\\sub\\c.log", 33);
    }
};

TEST_F(FileDropTest, AFileDropIsTheSameDropAsTheDropTargets) {
    MakeTree();
    Open();
    ::SendMessageW(Control(kChkReadOnly), BM_SETCHECK, BST_UNCHECKED, 0);
    const std::vector<std::wstring> paths{tree, tree + L"\\b.txt"};
    ASSERT_TRUE(PostDrop(paths)) << "the drop's block is freed";
    const Seen byMessage = Now();
    EXPECT_EQ(byMessage.entries.size(), 6u);
    EXPECT_EQ(byMessage.caption, L"ReadOnly ( 2 ) / File ( 6 )");
    Click(kBtnClear);
    ASSERT_EQ(W().List1().ListCount(), 0);
    ::SendMessageW(Control(kChkReadOnly), BM_SETCHECK, BST_UNCHECKED, 0);
    EXPECT_EQ(Drop(paths), static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(Now(), byMessage);

    // A block without names changes nothing, and is freed all the same.
    W().List1().SetSelected(0, true);
    const Seen before = Now();
    EXPECT_TRUE(PostDrop({}));
    EXPECT_EQ(Now(), before);
}

TEST_F(FileDropTest, AFileDropDuringARunChangesNothingAndIsFreed) {
    MakeFile(folder + L"\\other.txt", 33);
    OpenWithAMissingEntry();
    BoxAnswerer boxes;
    boxes.Answer({IDYES, IDNO, IDOK});
    HDROP drop = nullptr;
    bool freedInRun = false;
    boxes.onBox = [&](const SeenBox& box) {
        if (box.Style() != 52) return;  // the abort prompt
        drop = FileDropOf({folder + L"\\other.txt"});
        ::PostMessageW(Control(kList1), WM_DROPFILES, reinterpret_cast<WPARAM>(drop), 0);
        // Handled here, inside the run, as the prompt's own loop would.
        MSG msg;
        while (::PeekMessageW(&msg, Control(kList1), WM_DROPFILES, WM_DROPFILES, PM_REMOVE)) ::DispatchMessageW(&msg);
        freedInRun = Freed(drop);
    };
    Click(kBtnStart);
    Pump(window.get(), 30);
    ASSERT_EQ(boxes.seen.size(), 3u);
    EXPECT_TRUE(freedInRun);
    EXPECT_EQ(Entries(), (std::vector<std::wstring>{tree + L"\\a.txt", tree + L"\\gone.txt", tree + L"\\z.txt"}));
    EXPECT_EQ(::GetFileAttributesW((folder + L"\\other.txt").c_str()), 33u);
}

// Which route the list takes drops by, as the start-up decides it.
TEST_F(FileDropTest, BelowTheShellTheListAcceptsFilesAndHasNoOleTarget) {
    for (const bool fileDrops : {false, true}) {
        const TesvarWindow::ShellParts shell{nullptr, nullptr, [fileDrops] { return fileDrops; }};
        Open(nullptr, &shell);
        const HWND list = Control(kList1);
        EXPECT_EQ((::GetWindowLongPtrW(list, GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0, fileDrops);
        // Registering a target again succeeds only where the list has none.
        const HRESULT again = ::RegisterDragDrop(list, W().ListDropTarget());
        EXPECT_EQ(again, fileDrops ? S_OK : DRAGDROP_E_ALREADYREGISTERED);
        if (again == S_OK) ::RevokeDragDrop(list);
        MakeFile(tree + L"\\x" + std::to_wstring(fileDrops) + L".txt", 33);
        EXPECT_TRUE(PostDrop({tree}));
        EXPECT_EQ(W().List1().ListCount(), fileDrops ? 2 : 1);
        window.reset();
    }
}

}  // namespace
}  // namespace tesvar::test
