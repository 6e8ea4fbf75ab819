// The splitter and the drop on real Win32 file services under Wine: drive roots,
// folders with and without a trailing "\", missing paths, and a real tree with hidden
// and system entries and read-only subfolders.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "collect/DropIntake.h"
#include "collect/FNameEdit.h"
#include "collect/SplitOutputs.h"
#include "collect/modMain.h"
#include "sim/SimUi.h"
#include "platform/win32/Win32FileServices.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::collect {
namespace {

namespace attr = platform::attr;

class CollectWin32 : public ::testing::Test {
protected:
    void SetUp() override { root = test::MakeTempFolder(L"collect"); }
    void TearDown() override { test::RemoveTree(root); }
    Split Run(const std::wstring& path) { return SplitOf(module.objFNameEdit(), path); }
    platform::win32::Win32FileServices files;
    modMain module{files};
    std::wstring root;
};

TEST_F(CollectWin32, SplitterRecognisesRootsFoldersAndMissingPaths) {
    test::MakeFolder(root + L"\\sub.d");
    test::MakeFile(root + L"\\sub.d\\b.c.txt");
    test::MakeFile(root + L"\\.hidden", attr::Hidden | attr::Archive);
    test::MakeFile(root + L"\\sys.dat", attr::System | attr::Archive);
    const std::wstring folder = root + L"\\sub.d\\";
    EXPECT_EQ(Run(L"Z:\\"), (Split{L"Z:\\", L"", L"", L""}));
    EXPECT_EQ(Run(L"C:\\"), (Split{L"C:\\", L"", L"", L""}));
    EXPECT_EQ(Run(root + L"\\sub.d"), (Split{folder, L"", L"", L""}));
    EXPECT_EQ(Run(folder), (Split{folder, L"", L"", L""}));
    EXPECT_EQ(Run(L"  " + folder + L" "), (Split{folder, L"", L"", L""}));
    EXPECT_EQ(Run(folder + L"b.c.txt"), (Split{folder, L"b.c.txt", L"b", L".c.txt"}));
    EXPECT_EQ(Run(root + L"\\.hidden"), (Split{root + L"\\", L".hidden", L"", L".hidden"}));
    EXPECT_EQ(Run(root + L"\\sys.dat"), (Split{root + L"\\", L"sys.dat", L"sys", L".dat"}));
    EXPECT_EQ(Run(root + L"\\missing\\x.txt"), (Split{root + L"\\missing\\x.txt\\", L"", L"", L""}));
    EXPECT_EQ(Run(root + L"\\gone\\\\"), (Split{root + L"\\gone\\", L"", L"", L""}));
    // "file\" cannot be queried; without its "\" it is the file again.
    EXPECT_EQ(Run(folder + L"b.c.txt\\"), (Split{folder, L"b.c.txt", L"b", L".c.txt"}));
}

using Listed = std::vector<std::pair<std::wstring, bool>>;

Listed Entries(const sim::SimUi& ui) {
    Listed out;
    for (const auto& e : ui.entries) out.emplace_back(e.text, e.selected);
    return out;
}

// The fixture tree (read-only folders come from the Unix side) with hidden and system
// entries added here. Wine lists by name without regard to case.
std::wstring BuildWalkTree() {
    const std::wstring fixtures = test::FixturesFolder();
    if (fixtures.empty()) return {};
    const std::wstring t = fixtures + L"\\walk-tree";
    if (::GetFileAttributesW((t + L"\\ro-sub").c_str()) == INVALID_FILE_ATTRIBUTES) return {};
    test::MakeFile(t + L"\\a.txt");
    test::MakeFile(t + L"\\h.txt", attr::Hidden | attr::ReadOnly | attr::Archive);
    test::MakeFolder(t + L"\\hidsub", attr::Directory | attr::Hidden);
    test::MakeFile(t + L"\\hidsub\\in.txt", attr::ReadOnly | attr::Archive);
    test::MakeFile(t + L"\\r.log", attr::ReadOnly | attr::Archive);
    test::MakeFile(t + L"\\s.txt", attr::System | attr::ReadOnly | attr::Archive);
    test::MakeFolder(t + L"\\syssub", attr::Directory | attr::System);
    test::MakeFile(t + L"\\syssub\\secret.txt", attr::ReadOnly | attr::Archive);
    return t;
}

TEST_F(CollectWin32, DropOfARealTreeGivesTheExpectedList) {
    const std::wstring t = BuildWalkTree();
    if (t.empty()) GTEST_SKIP() << "no fixtures folder (run through run-with-fixtures.sh)";
    for (const std::int32_t readOnlySwitch : {1, 0}) {
        sim::SimUi ui;
        ui.filterText = L"*.*";
        ui.readOnlySwitch = readOnlySwitch;
        DropIntake drop({files, ui, ui, module});
        drop.List1_OLEDragDrop({t});
        const Listed expected =
            readOnlySwitch == 1
                ? Listed{{t + L"\\h.txt", true},
                         {t + L"\\hidsub\\in.txt", true},
                         {t + L"\\r.log", true},
                         {t + L"\\ro-sub", true},
                         {t + L"\\ro-sub\\ro-deeper", true}}
                : Listed{{t + L"\\", false},
                         {t + L"\\a.txt", false},
                         {t + L"\\h.txt", true},
                         {t + L"\\hidsub", false},
                         {t + L"\\hidsub\\in.txt", true},
                         {t + L"\\r.log", true},
                         {t + L"\\ro-sub", true},
                         {t + L"\\ro-sub\\inner.txt", false},
                         {t + L"\\ro-sub\\ro-deeper", true},
                         {t + L"\\ro-sub\\ro-deeper\\inner.txt", false}};
        EXPECT_EQ(Entries(ui), expected) << "switch " << readOnlySwitch;
        EXPECT_EQ(ui.statusCaption, readOnlySwitch == 1 ? L"ReadOnly ( 5 ) / File ( 5 )"
                                                        : L"ReadOnly ( 5 ) / File ( 10 )");
    }
    // Filter *.txt with the switch ticked: r.log fails the filter, folders never take it.
    sim::SimUi ui;
    ui.filterText = L"*.txt";
    ui.readOnlySwitch = 1;
    DropIntake drop({files, ui, ui, module});
    drop.List1_OLEDragDrop({t + L"\\", t + L"\\r.log", t + L"\\h.txt"});
    EXPECT_EQ(Entries(ui), (Listed{{t + L"\\h.txt", true},
                                   {t + L"\\hidsub\\in.txt", true},
                                   {t + L"\\ro-sub", true},
                                   {t + L"\\ro-sub\\ro-deeper", true},
                                   {t + L"\\h.txt", true}}));
}

// Read-only folders holding a desktop.ini, the one as Explorer leaves it (hidden and
// system), are listed but not selected; a read-only folder without one is selected.
TEST_F(CollectWin32, MarkedReadOnlyFoldersAreListedNotSelected) {
    const std::wstring fixtures = test::FixturesFolder();
    const std::wstring plain = test::NextReadOnlyFolder();
    const std::wstring t = fixtures.empty() ? L"" : fixtures + L"\\marked";
    if (plain.empty() || ::GetFileAttributesW(t.c_str()) == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no fixtures folder (run through run-with-fixtures.sh)";
    ASSERT_TRUE(::SetFileAttributesW((t + L"\\inner-marked\\desktop.ini").c_str(),
                                     FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    sim::SimUi ui;
    ui.filterText = L"*.txt";
    ui.readOnlySwitch = 1;
    DropIntake drop({files, ui, ui, module});
    drop.List1_OLEDragDrop({t, plain});
    EXPECT_EQ(Entries(ui), (Listed{{t + L"\\", false}, {t + L"\\inner-marked", false}, {plain + L"\\", true}}));
    EXPECT_EQ(ui.statusCaption, L"ReadOnly ( 1 ) / File ( 3 )");
}

TEST_F(CollectWin32, ManySubfoldersAreReadOncePerFolder) {
    for (int i = 0; i < 300; ++i) {
        const std::wstring sub = root + L"\\s" + std::to_wstring(i);
        test::MakeFolder(sub);
        test::MakeFile(sub + L"\\f.txt", attr::ReadOnly | attr::Archive);
    }
    sim::SimUi ui;
    ui.filterText = L"*.*";
    ui.readOnlySwitch = 1;
    DropIntake drop({files, ui, ui, module});
    const std::size_t before = files.FolderReads();
    drop.List1_OLEDragDrop({root});
    EXPECT_EQ(ui.entries.size(), 300u);
    EXPECT_EQ(files.FolderReads() - before, 301u);
}

TEST_F(CollectWin32, VanishedAndMissingDroppedPathsAreLeftOut) {
    test::MakeFile(root + L"\\keep.txt", attr::ReadOnly | attr::Archive);
    sim::SimUi ui;
    ui.filterText = L"*.*";
    ui.readOnlySwitch = 0;
    DropIntake drop({files, ui, ui, module});
    drop.List1_OLEDragDrop({root + L"\\nothing.txt", root + L"\\keep.txt", root + L"\\no-folder\\"});
    EXPECT_EQ(Entries(ui), (Listed{{root + L"\\keep.txt", true}}));
    EXPECT_EQ(ui.mousePointer, 0);
    EXPECT_TRUE(ui.listVisible);
    EXPECT_EQ(ui.statusCaption, L"ReadOnly ( 1 ) / File ( 1 )");
}

}  // namespace
}  // namespace tesvar::collect
