// The drop on List1: admission rule, filter test, status caption and the order of the
// drop's own steps, on the simulated tree and the scripted UI.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "collect/CollectRig.h"
#include "platform/Error.h"

namespace tesvar::collect::test {
namespace {

using sim::Op;

// --- filter test ---

struct FilterRow {
    const char* name;
    std::wstring filter;
    std::wstring file;
    bool passes;
};

struct FilterExample : ::testing::TestWithParam<FilterRow> {};

TEST_P(FilterExample, DecidesWhetherTheFileIsListed) {
    const auto& row = GetParam();
    CollectRig rig;
    rig.ui.filterText = row.filter;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFile(L"C:\\f\\" + row.file);
    rig.Drop({L"C:\\f\\" + row.file});
    EXPECT_EQ(rig.ui.entries.size(), row.passes ? 1u : 0u);
}

const FilterRow kFilters[] = {
    {"StarDotTxt_a_txt", L"*.txt", L"a.txt", true},
    {"StarDotTxt_A_TXT", L"*.txt", L"A.TXT", true},
    {"StarDotTxt_a_t", L"*.txt", L"a.t", true},
    {"StarDotTxt_a_tx", L"*.txt", L"a.tx", true},
    {"StarDotTxt_b_c_txt", L"*.txt", L"b.c.txt", false},
    {"StarDotTxt_readme", L"*.txt", L"readme", true},
    {"StarDotTxt_a_html", L"*.txt", L"a.html", false},
    {"StarDotHtml_a_htm", L"*.html", L"a.htm", true},
    {"Empty_a_txt", L"", L"a.txt", false},
    {"Empty_readme", L"", L"readme", false},
    {"AllFiles_b_c_txt", L"*.*", L"b.c.txt", true},
    {"AllFilesAfterTxt_a_doc", L"*.txt *.*", L"a.doc", true},
    {"AllFilesBeforeDoc_a_exe", L"*.*;*.doc", L"a.exe", true},
    {"AllFilesAnyCase_x_y", L"foo *.* bar", L"x.y", true},
    {"TwoPatterns_a_doc", L"*.txt;*.doc", L"a.doc", true},
    {"TwoPatterns_a_xls", L"*.txt;*.doc", L"a.xls", false},
};

INSTANTIATE_TEST_SUITE_P(Filters, FilterExample, ::testing::ValuesIn(kFilters),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(FilterTest, EmptyExtensionIsInEveryNonEmptyFilterOnly) {
    EXPECT_TRUE(FilterTest(L"x", false, L""));
    EXPECT_FALSE(FilterTest(L"", false, L""));
    EXPECT_TRUE(FilterTest(L"", true, L".txt"));
}

// --- admission rule ---

struct AdmissionRow {
    const char* name;
    bool folder;
    bool filterPasses;
    bool readOnly;
    std::int32_t readOnlySwitch;
    bool listed;
    bool selected;
};

struct AdmissionTable : ::testing::TestWithParam<AdmissionRow> {};

TEST_P(AdmissionTable, GivesTheOutcome) {
    const auto& row = GetParam();
    CollectRig rig;
    rig.ui.filterText = row.filterPasses ? L"*.txt" : L"*.doc";
    rig.ui.readOnlySwitch = row.readOnlySwitch;
    std::wstring dropped, entry;
    if (row.folder) {
        rig.fs.AddFolder(L"C:\\d", attr::Directory | (row.readOnly ? attr::ReadOnly : 0));
        rig.fs.AddFile(L"C:\\d\\inner.txt", kRO);  // shows the folder is walked either way
        dropped = L"C:\\d";
        entry = L"C:\\d\\";
    } else {
        rig.fs.AddFile(L"C:\\d\\f.txt", row.readOnly ? kRO : kRW);
        dropped = entry = L"C:\\d\\f.txt";
    }
    rig.Drop({dropped});
    Listed expected;
    if (row.listed) expected.emplace_back(entry, row.selected);
    if (row.folder && row.filterPasses) expected.emplace_back(L"C:\\d\\inner.txt", true);
    EXPECT_EQ(rig.List(), expected);
}

const AdmissionRow kAdmission[] = {
    {"FileFailsFilterReadOnlyTicked", false, false, true, 1, false, false},
    {"FileFailsFilterWritableClear", false, false, false, 0, false, false},
    {"FilePassesReadOnlyTicked", false, true, true, 1, true, true},
    {"FilePassesReadOnlyClear", false, true, true, 0, true, true},
    {"FilePassesWritableTicked", false, true, false, 1, false, false},
    {"FilePassesWritableClear", false, true, false, 0, true, false},
    {"FolderReadOnlyTicked", true, true, true, 1, true, true},
    {"FolderReadOnlyClear", true, true, true, 0, true, true},
    {"FolderWritableTicked", true, true, false, 1, false, false},
    {"FolderWritableClear", true, true, false, 0, true, false},
    {"FolderSkipsFilterTest", true, false, false, 0, true, false},
};

INSTANTIATE_TEST_SUITE_P(Rows, AdmissionTable, ::testing::ValuesIn(kAdmission),
                         [](const auto& p) { return std::string(p.param.name); });

TEST(AdmissionRule, OnlyZeroCountsAsClear) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\w.txt", kRW);
    rig.ui.readOnlySwitch = 2;
    rig.Drop({L"C:\\w.txt"});
    EXPECT_TRUE(rig.ui.entries.empty());
}

// --- the drop as a whole ---

TEST(Drop, StepsComeInTheirOrder) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\r.txt", kRO);
    rig.ui.journal.clear();
    rig.Drop({L"C:\\r.txt"});
    EXPECT_EQ(rig.ui.journal,
              (std::vector<std::string>{"front", "active", "clear", "visible 0", "pointer 13", "pointer 0", "visible 1"}));
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 1 ) / File ( 1 )");
}

TEST(Drop, ReplacesTheList) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO).AddFile(L"C:\\b.txt", kRO);
    rig.Drop({L"C:\\a.txt"});
    rig.Drop({L"C:\\b.txt"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\b.txt", true}}));
}

TEST(Drop, FilterAndSwitchAreTakenAtTheDropAndKept) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO);
    rig.ui.filterText = L"*.TXT *.*";
    rig.Drop({L"C:\\a.txt"});
    EXPECT_EQ(rig.drop.strFilter(), L"*.TXT *.*");
    EXPECT_TRUE(rig.drop.blnAllFiles());
    rig.ui.filterText = L"*.doc";  // an edit counts from the next drop on
    EXPECT_EQ(rig.drop.strFilter(), L"*.TXT *.*");
    rig.Drop({L"C:\\a.txt"});
    EXPECT_FALSE(rig.drop.blnAllFiles());
    EXPECT_TRUE(rig.ui.entries.empty());
}

TEST(Drop, FolderAndAFileInsideItAreBothListed) {
    CollectRig rig;
    rig.fs.AddFolder(L"C:\\d", kRODir).AddFile(L"C:\\d\\x.txt", kRO);
    rig.Drop({L"C:\\d", L"C:\\d\\x.txt"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\", true}, {L"C:\\d\\x.txt", true}, {L"C:\\d\\x.txt", true}}));
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 3 ) / File ( 3 )");
}

TEST(Drop, EmptyPathsAreSkipped) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO);
    rig.Drop({L"", L"C:\\a.txt", L""});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\a.txt", true}}));
}

// The program ending during a long drop (the session ended while the window let the
// system through) stops it before the next dropped path; it still ends cleanly.
TEST(Drop, TheProgramEndingStopsItBeforeTheNextPath) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO).AddFile(L"C:\\b.txt", kRO);
    rig.ui.onStayResponsive = [](int call) { return call < 2; };
    rig.Drop({L"C:\\a.txt", L"C:\\b.txt"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\a.txt", true}}));
    EXPECT_TRUE(rig.EndedCleanly());
}

TEST(Drop, NothingAdmittedShowsThePrompt) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\w.txt", kRW);
    rig.ui.statusCaption = L"old";
    rig.Drop({L"C:\\w.txt"});
    EXPECT_EQ(rig.ui.statusCaption, kDropPrompt);
    rig.Drop({});
    EXPECT_EQ(rig.ui.statusCaption, kDropPrompt);
}

TEST(Drop, AllWritableShowsZeroSelected) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFile(L"C:\\w1.txt", kRW).AddFile(L"C:\\w2.txt", kRW);
    rig.Drop({L"C:\\w1.txt", L"C:\\w2.txt"});
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 0 ) / File ( 2 )");
}

TEST(StatusCaptionText, PlainDecimals) {
    EXPECT_EQ(StatusCaption(3, 12), L"ReadOnly ( 3 ) / File ( 12 )");
    EXPECT_EQ(StatusCaption(0, 100000), L"ReadOnly ( 0 ) / File ( 100000 )");
    EXPECT_EQ(StatusCaption(0, 0), kDropPrompt);
}

TEST(DragOver, CopyOnlyForAFileList) {
    EXPECT_EQ(List1_OLEDragOver(true), 1);
    EXPECT_EQ(List1_OLEDragOver(false), 0);
}

// --- failures during a drop ---

TEST(DropFailure, VanishedDroppedPathIsLeftOutAndTheRestGoesOn) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO).AddFile(L"C:\\b.txt", kRO);
    rig.Drop({L"C:\\gone.txt", L"C:\\a.txt", L"C:\\gone\\", L"C:\\b.txt"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\a.txt", true}, {L"C:\\b.txt", true}}));
    EXPECT_TRUE(rig.EndedCleanly());
    EXPECT_EQ(rig.fs.endedListingRequests, 0);
}

// A drop asks the file system once about a dropped file: the splitter and the
// read-only rule get that one answer, as the walk's entries get their listing's.
TEST(DropFailure, ADroppedFileIsAskedAboutOnceAndVanishingLaterChangesNothing) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\a.txt", kRO).AddFile(L"C:\\b.txt", kRO);
    int queries = 0;
    rig.fs.beforeCall = [&](Op op, const std::wstring& path) {
        if (op == Op::GetAttr && path == L"C:\\a.txt" && ++queries == 1) rig.fs.Remove(L"C:\\b.txt");
    };
    rig.Drop({L"C:\\a.txt", L"C:\\b.txt"});
    EXPECT_EQ(queries, 1);
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\a.txt", true}})) << "b.txt vanished before it was asked about";
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 1 ) / File ( 1 )");
}

TEST(DropFailure, UnqueryableFolderIsLeftOutButNotTheDrop) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFolder(L"C:\\locked").AddFile(L"C:\\locked\\x.txt").AddFile(L"C:\\ok.txt");
    rig.fs.FailGetAttr(L"C:\\locked", platform::win_error::AccessDenied);
    rig.fs.FailGetAttr(L"C:\\locked\\", platform::win_error::AccessDenied);
    rig.fs.FailListing(L"C:\\locked\\", platform::win_error::AccessDenied);
    rig.Drop({L"C:\\locked", L"C:\\ok.txt"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\ok.txt", false}}));
    EXPECT_TRUE(rig.EndedCleanly());
}

// A list control that fails at an entry: the drop still ends as it must and the
// failure reaches the caller.
struct FailingList : sim::SimUi {
    int addsLeft = 1;
    void AddItem(const std::wstring& text) override {
        if (addsLeft-- <= 0) throw std::bad_alloc();
        SimUi::AddItem(text);
    }
};

TEST(DropFailure, ListFailureStillResetsPointerShowsListAndSetsCaption) {
    sim::SimFileSystem fs;
    FailingList ui;
    ui.filterText = L"*.*";
    ui.readOnlySwitch = 1;
    modMain module(fs);
    DropIntake drop({fs, ui, ui, module});
    fs.AddFile(L"C:\\a.txt", kRO).AddFile(L"C:\\b.txt", kRO);
    EXPECT_THROW(drop.List1_OLEDragDrop({L"C:\\a.txt", L"C:\\b.txt"}), std::bad_alloc);
    EXPECT_EQ(ui.mousePointer, 0);
    EXPECT_TRUE(ui.listVisible);
    EXPECT_EQ(ui.statusCaption, L"ReadOnly ( 1 ) / File ( 1 )");
}

struct RefusingFront : sim::SimUi {
    void SetForegroundWindow() override { throw platform::Error(5, L"denied"); }
};

TEST(DropFailure, FrontWindowRefusalIsIgnored) {
    sim::SimFileSystem fs;
    RefusingFront ui;
    ui.filterText = L"*.*";
    modMain module(fs);
    DropIntake drop({fs, ui, ui, module});
    fs.AddFile(L"C:\\a.txt", kRO);
    drop.List1_OLEDragDrop({L"C:\\a.txt"});
    EXPECT_EQ(ui.entries.size(), 1u);
    EXPECT_TRUE(ui.HasJournal("active"));
}

}  // namespace
}  // namespace tesvar::collect::test
