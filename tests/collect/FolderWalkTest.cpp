// The folder walk: order of entries, hidden and system entries, restarts and re-finds,
// and the faults a real tree can throw at it.
#include <gtest/gtest.h>

#include <pthread.h>

#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "collect/CollectRig.h"
#include "platform/Error.h"

namespace tesvar::collect::test {
namespace {

using sim::ListingOrder;
using sim::Op;

// The worked example: a.txt (writable), sub (read-only) holding b.txt (read-only),
// c.log (read-only), in this listing order.
void BuildExample(sim::SimFileSystem& fs) {
    fs.AddFolder(L"C:\\d")
        .AddFile(L"C:\\d\\a.txt", kRW)
        .AddFolder(L"C:\\d\\sub", kRODir)
        .AddFile(L"C:\\d\\sub\\b.txt", kRO)
        .AddFile(L"C:\\d\\c.log", kRO);
}

TEST(FolderWalk, WorkedExampleWithSwitchTicked) {
    CollectRig rig;
    BuildExample(rig.fs);
    rig.ui.filterText = L"*.txt";
    rig.Drop({L"C:\\d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\sub", true}, {L"C:\\d\\sub\\b.txt", true}}));
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 2 ) / File ( 2 )");
}

TEST(FolderWalk, WorkedExampleWithSwitchClear) {
    CollectRig rig;
    BuildExample(rig.fs);
    rig.ui.filterText = L"*.txt";
    rig.ui.readOnlySwitch = 0;
    rig.Drop({L"C:\\d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\", false},
                                  {L"C:\\d\\a.txt", false},
                                  {L"C:\\d\\sub", true},
                                  {L"C:\\d\\sub\\b.txt", true}}));
}

// A tree with files and folders interleaved, several subfolders, a nested one and a
// subfolder as the last entry of its parent.
void BuildInterleaved(sim::SimFileSystem& fs) {
    fs.AddFolder(L"C:\\t")
        .AddFile(L"C:\\t\\1.txt")
        .AddFolder(L"C:\\t\\A")
        .AddFile(L"C:\\t\\A\\a1.txt")
        .AddFolder(L"C:\\t\\A\\deep")
        .AddFile(L"C:\\t\\A\\deep\\d.txt")
        .AddFile(L"C:\\t\\A\\a2.txt")
        .AddFile(L"C:\\t\\2.txt")
        .AddFolder(L"C:\\t\\B")
        .AddFolder(L"C:\\t\\C")
        .AddFile(L"C:\\t\\C\\c.txt")
        .AddFolder(L"C:\\t\\C\\last");
}

struct OrderCase {
    const char* name;
    ListingOrder order;
    std::vector<std::wstring> expected;
};

struct WalkOrder : ::testing::TestWithParam<OrderCase> {};

TEST_P(WalkOrder, FollowsTheListingDepthFirst) {
    CollectRig rig;
    rig.fs.SetListingOrder(GetParam().order);
    BuildInterleaved(rig.fs);
    rig.ui.readOnlySwitch = 0;
    rig.Drop({L"C:\\t\\"});
    std::vector<std::wstring> got;
    for (const auto& [text, selected] : rig.List()) got.push_back(text);
    EXPECT_EQ(got, GetParam().expected);
    EXPECT_EQ(rig.fs.endedListingRequests, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Orders, WalkOrder,
    ::testing::Values(
        OrderCase{"Insertion",
                  ListingOrder::Insertion,
                  {L"C:\\t\\", L"C:\\t\\1.txt", L"C:\\t\\A", L"C:\\t\\A\\a1.txt", L"C:\\t\\A\\deep",
                   L"C:\\t\\A\\deep\\d.txt", L"C:\\t\\A\\a2.txt", L"C:\\t\\2.txt", L"C:\\t\\B", L"C:\\t\\C",
                   L"C:\\t\\C\\c.txt", L"C:\\t\\C\\last"}},
        OrderCase{"ReverseInsertion",
                  ListingOrder::ReverseInsertion,
                  {L"C:\\t\\", L"C:\\t\\C", L"C:\\t\\C\\last", L"C:\\t\\C\\c.txt", L"C:\\t\\B", L"C:\\t\\2.txt",
                   L"C:\\t\\A", L"C:\\t\\A\\a2.txt", L"C:\\t\\A\\deep", L"C:\\t\\A\\deep\\d.txt",
                   L"C:\\t\\A\\a1.txt", L"C:\\t\\1.txt"}},
        OrderCase{"NameNoCase",
                  ListingOrder::NameNoCase,
                  {L"C:\\t\\", L"C:\\t\\1.txt", L"C:\\t\\2.txt", L"C:\\t\\A", L"C:\\t\\A\\a1.txt",
                   L"C:\\t\\A\\a2.txt", L"C:\\t\\A\\deep", L"C:\\t\\A\\deep\\d.txt", L"C:\\t\\B", L"C:\\t\\C",
                   L"C:\\t\\C\\c.txt", L"C:\\t\\C\\last"}}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(FolderWalk, HiddenEntriesAreWalkedSystemOnesNeverVisited) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFolder(L"C:\\h")
        .AddFile(L"C:\\h\\hid.txt", attr::Hidden | kRW)
        .AddFolder(L"C:\\h\\hidsub", attr::Directory | attr::Hidden)
        .AddFile(L"C:\\h\\hidsub\\in.txt")
        .AddFile(L"C:\\h\\sys.txt", attr::System | kRO)
        .AddFolder(L"C:\\h\\syssub", attr::Directory | attr::System)
        .AddFile(L"C:\\h\\syssub\\secret.txt", kRO);
    std::set<std::wstring> asked;
    rig.fs.beforeCall = [&](Op op, const std::wstring& path) {
        if (op == Op::GetAttr || op == Op::DirStart) asked.insert(path);
    };
    rig.Drop({L"C:\\h"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\h\\", false},
                                  {L"C:\\h\\hid.txt", false},
                                  {L"C:\\h\\hidsub", false},
                                  {L"C:\\h\\hidsub\\in.txt", false}}));
    for (const auto& path : asked) EXPECT_EQ(path.find(L"sys"), std::wstring::npos) << "visited a system entry";
}

TEST(FolderWalk, EmptyFoldersAndRootsWithoutDots) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFolder(L"C:\\empty");
    rig.Drop({L"C:\\empty"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\empty\\", false}}));
    EXPECT_EQ(rig.fs.Calls(Op::DirStart), 1);

    // A drive root lists no "." and "..": its first entry is walked like any other.
    CollectRig root;
    root.ui.readOnlySwitch = 0;
    root.fs.AddFile(L"C:\\top.txt").AddFolder(L"C:\\f").AddFile(L"C:\\f\\in.txt");
    root.Drop({L"C:\\"});
    EXPECT_EQ(root.List(),
              (Listed{{L"C:\\", false}, {L"C:\\top.txt", false}, {L"C:\\f", false}, {L"C:\\f\\in.txt", false}}));
}

TEST(FolderWalk, WritableSubfolderWithSwitchTickedIsWalkedButNotListed) {
    CollectRig rig;
    rig.fs.AddFolder(L"C:\\w\\plain\\deeper").AddFile(L"C:\\w\\plain\\deeper\\r.txt", kRO);
    rig.Drop({L"C:\\w"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\w\\plain\\deeper\\r.txt", true}}));
}

TEST(FolderWalk, DeepFileTakesTheFilterOnItsOwnExtension) {
    CollectRig rig;
    rig.ui.filterText = L"*.txt";
    rig.fs.AddFolder(L"C:\\x.txt.d\\y.doc").AddFile(L"C:\\x.txt.d\\y.doc\\z.doc", kRO);
    rig.fs.AddFile(L"C:\\x.txt.d\\y.doc\\README", kRO);
    rig.Drop({L"C:\\x.txt.d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\x.txt.d\\y.doc\\README", true}}));
}

// A deep tree on a thread with a small stack: the walk's depth must not cost stack.
TEST(FolderWalk, DeepTreeNeedsNoDeepStack) {
    constexpr int kDepth = 3000;
    CollectRig rig;
    std::wstring folder = L"C:\\deep";
    std::vector<std::wstring> expected;
    for (int i = 0; i < kDepth; ++i) {
        folder += L"\\n";
        rig.fs.AddFolder(folder, kRODir);
        expected.push_back(folder);
    }
    rig.fs.AddFile(folder + L"\\bottom.txt", kRO);
    expected.push_back(folder + L"\\bottom.txt");
    rig.fs.AddFile(L"C:\\deep\\z.txt", kRO);
    expected.push_back(L"C:\\deep\\z.txt");

    pthread_attr_t attrs;
    pthread_attr_init(&attrs);
    pthread_attr_setstacksize(&attrs, 256 * 1024);
    pthread_t thread;
    auto body = [](void* arg) -> void* {
        static_cast<CollectRig*>(arg)->Drop({L"C:\\deep"});
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attrs, body, &rig), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attrs);

    std::vector<std::wstring> got;
    for (const auto& [text, selected] : rig.List()) got.push_back(text);
    EXPECT_EQ(got, expected);
}

// --- restarts served from snapshots ---

TEST(FolderWalk, ManySubfoldersCostOneReadEach) {
    Listed lists[2];
    std::size_t reads[2];
    for (int serve = 0; serve < 2; ++serve) {
        CollectRig rig;
        rig.fs.SetSnapshotRestarts(serve == 1);
        for (int i = 0; i < 200; ++i) rig.fs.AddFile(L"C:\\many\\s" + std::to_wstring(i) + L"\\f.txt", kRO);
        rig.Drop({L"C:\\many"});
        lists[serve] = rig.List();
        reads[serve] = rig.fs.FolderReads();
    }
    EXPECT_EQ(lists[0], lists[1]);
    EXPECT_EQ(lists[1].size(), 200u);
    EXPECT_EQ(reads[1], 201u);
    EXPECT_EQ(reads[0], 401u);
}

TEST(FolderWalk, ANewDropSeesTheTreeAsItIsNow) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\d\\s\\1.txt", kRO);
    rig.Drop({L"C:\\d"});
    rig.fs.AddFile(L"C:\\d\\2.txt", kRO);
    rig.fs.AddFile(L"C:\\d\\s\\3.txt", kRO);
    rig.Drop({L"C:\\d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\s\\1.txt", true}, {L"C:\\d\\s\\3.txt", true}, {L"C:\\d\\2.txt", true}}));
    rig.fs.Remove(L"C:\\d\\s\\1.txt");
    rig.Drop({L"C:\\d\\s"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\s\\3.txt", true}}));
}

TEST(FolderWalk, ADropAfterAnInterruptedOneReadsAfresh) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\d\\s\\1.txt", kRO).AddFile(L"C:\\d\\z.txt", kRO);
    // A fault in the middle of C:\d\s ends the first drop there, both listings read.
    bool inSub = false;
    rig.fs.beforeCall = [&](Op op, const std::wstring& path) {
        if (op == Op::DirNext && inSub) throw std::runtime_error("fault");
        inSub = inSub || (op == Op::DirStart && path == L"C:\\d\\s\\");
    };
    EXPECT_THROW(rig.Drop({L"C:\\d"}), std::runtime_error);
    EXPECT_TRUE(rig.EndedCleanly());
    rig.fs.beforeCall = nullptr;
    rig.fs.AddFile(L"C:\\d\\new.txt", kRO);
    rig.Drop({L"C:\\d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\s\\1.txt", true}, {L"C:\\d\\z.txt", true}, {L"C:\\d\\new.txt", true}}));
    EXPECT_EQ(rig.fs.SnapshotEntries(), 0u) << "snapshots are freed when the drop ends";
}

// --- faults ---

// The drop answers an entry from the listing that named it: one that vanishes after its
// folder was read is listed as the listing saw it (the release run reads afresh), and
// a vanished subfolder is not walked; the walk goes on.
TEST(FolderWalkFault, EntryVanishingAfterItsFolderWasReadIsListedAsTheListingSawIt) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\v\\a.txt", kRO)
        .AddFile(L"C:\\v\\gone.txt", kRO)
        .AddFolder(L"C:\\v\\gonesub", kRODir)
        .AddFile(L"C:\\v\\gonesub\\in.txt", kRO)
        .AddFile(L"C:\\v\\z.txt", kRO);
    rig.fs.beforeCall = [&](Op op, const std::wstring&) {
        if (op == Op::DirNext && rig.ui.entries.size() == 1) {
            rig.fs.Remove(L"C:\\v\\gone.txt");
            rig.fs.Remove(L"C:\\v\\gonesub");
        }
    };
    rig.Drop({L"C:\\v"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\v\\a.txt", true},
                                  {L"C:\\v\\gone.txt", true},
                                  {L"C:\\v\\gonesub", true},
                                  {L"C:\\v\\z.txt", true}}));
    EXPECT_TRUE(rig.EndedCleanly());
    EXPECT_EQ(rig.fs.endedListingRequests, 0);
}

TEST(FolderWalkFault, UnlistableSubfolderIsListedNotWalkedAndTheWalkGoesOn) {
    CollectRig rig;
    rig.fs.AddFolder(L"C:\\u\\locked", kRODir)
        .AddFile(L"C:\\u\\locked\\hidden-from-us.txt", kRO)
        .AddFolder(L"C:\\u\\open", kRODir)
        .AddFile(L"C:\\u\\open\\o.txt", kRO)
        .AddFile(L"C:\\u\\after.txt", kRO);
    rig.fs.FailListing(L"C:\\u\\locked\\", platform::win_error::AccessDenied);
    rig.Drop({L"C:\\u"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\u\\locked", true},
                                  {L"C:\\u\\open", true},
                                  {L"C:\\u\\open\\o.txt", true},
                                  {L"C:\\u\\after.txt", true}}));
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 4 ) / File ( 4 )");
}

// Renames C:\c\sub while it is being walked (once its first entry is listed), and
// adds a file to C:\c when asked.
void RenameSubOnceListed(CollectRig& rig, const std::wstring& newName, bool addFile = false) {
    rig.fs.beforeCall = [&rig, newName, addFile, renamed = false](Op op, const std::wstring&) mutable {
        if (op != Op::DirNext || rig.ui.entries.empty() || renamed) return;
        renamed = true;
        rig.fs.Rename(L"C:\\c\\sub", newName);
        if (addFile) rig.fs.AddFile(L"C:\\c\\new.txt", kRO);
    };
}

TEST(FolderWalkFault, FolderChangedDuringItsWalkEndsThatWalk) {
    CollectRig rig;
    rig.fs.SetSnapshotRestarts(false);
    rig.fs.AddFile(L"C:\\c\\sub\\in.txt", kRO).AddFile(L"C:\\c\\next.txt", kRO).AddFile(L"C:\\other.txt", kRO);
    RenameSubOnceListed(rig, L"moved");
    rig.Drop({L"C:\\c", L"C:\\other.txt"});
    // The saved name is not met again: the walk of C:\c ends, the drop goes on.
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\c\\sub\\in.txt", true}, {L"C:\\other.txt", true}}));
    EXPECT_EQ(rig.fs.endedListingRequests, 0);
    EXPECT_TRUE(rig.EndedCleanly());
}

TEST(FolderWalkFault, FolderChangedDuringItsWalkIsServedFromItsSnapshot) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\c\\sub\\in.txt", kRO).AddFile(L"C:\\c\\next.txt", kRO);
    RenameSubOnceListed(rig, L"moved", true);
    rig.Drop({L"C:\\c"});
    // The parent's listing as it began: the walk resumes after sub; new.txt came later.
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\c\\sub\\in.txt", true}, {L"C:\\c\\next.txt", true}}));
}

TEST(FolderWalkFault, CaseOnlyRenameDuringTheWalkIsFoundAgain) {
    CollectRig rig;
    rig.fs.SetSnapshotRestarts(false);
    rig.fs.AddFile(L"C:\\c\\sub\\in.txt", kRO).AddFile(L"C:\\c\\next.txt", kRO);
    RenameSubOnceListed(rig, L"SUB");
    rig.Drop({L"C:\\c"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\c\\sub\\in.txt", true}, {L"C:\\c\\next.txt", true}}));
}

TEST(FolderWalkFault, CaseTwinsAreEachWalkedOnce) {
    for (const bool serve : {true, false}) {
        CollectRig rig;
        rig.fs.SetCaseSensitive(true);
        rig.fs.SetSnapshotRestarts(serve);
        rig.ui.readOnlySwitch = 0;
        rig.fs.AddFolder(L"C:\\k")
            .AddFolder(L"C:\\k\\Dup")
            .AddFile(L"C:\\k\\Dup\\upper.txt")
            .AddFolder(L"C:\\k\\dup")
            .AddFile(L"C:\\k\\dup\\lower.txt")
            .AddFile(L"C:\\k\\end.txt");
        rig.Drop({L"C:\\k"});
        EXPECT_EQ(rig.List(), (Listed{{L"C:\\k\\", false},
                                      {L"C:\\k\\Dup", false},
                                      {L"C:\\k\\Dup\\upper.txt", false},
                                      {L"C:\\k\\dup", false},
                                      {L"C:\\k\\dup\\lower.txt", false},
                                      {L"C:\\k\\end.txt", false}}))
            << (serve ? "served from snapshots" : "read afresh");
    }
}

// Reparse points that are no links (placeholders of synced folders, deduplicated,
// virtualised or layered folders) are ordinary folders and are walked; links (name
// surrogates) and folders whose tag cannot be told are listed, never entered.
TEST(FolderWalk, ReparsePointsAreEnteredUnlessTheyMayBeLinks) {
    namespace reparse = platform::reparse;
    const struct {
        const wchar_t* name;
        std::uint32_t tag;
        bool entered;
    } cases[] = {
        {L"cloud", reparse::Cloud, true},       {L"dedup", reparse::Dedup, true},
        {L"projfs", reparse::ProjFs, true},     {L"wci", reparse::Wci, true},
        {L"mount", reparse::MountPoint, false}, {L"symlink", reparse::Symlink, false},
        {L"unknown", 0, false},
    };
    CollectRig rig;
    Listed expected;
    for (const auto& c : cases) {
        const std::wstring folder = std::wstring(L"C:\\r\\") + c.name;
        rig.fs.AddFolder(folder, kRODir | attr::ReparsePoint).AddFile(folder + L"\\x.txt", kRO);
        rig.fs.SetReparseTag(folder, c.tag);
        expected.emplace_back(folder, true);
        if (c.entered) expected.emplace_back(folder + L"\\x.txt", true);
    }
    rig.Drop({L"C:\\r"});
    EXPECT_EQ(rig.List(), expected);
}

// A read-only folder holding a desktop.ini carries Explorer's mark (Documents, a folder
// with its own icon): it is listed but not selected, whatever the filter or the mask
// leave out, and found in the listing the walk reads anyway. A link is not listed, so
// its bit alone decides.
struct MarkCase {
    const char* name;
    std::int32_t folderWord;
    const wchar_t* ini;  // the file in the folder, or none
    std::int32_t iniWord;
    const wchar_t* filter;
    bool deeper;  // the folder below the dropped one, else the dropped one itself
    bool link;    // the folder is a link (to a folder holding the file)
    bool selected;
};

constexpr std::int32_t kIniWord = attr::Hidden | attr::System | kRW;

const MarkCase kMarks[] = {
    {"ReadOnlyWithIni", kRODir, L"desktop.ini", kIniWord, L"*.*", false, false, false},
    {"ReadOnlyWithUpperCaseIni", kRODir, L"DESKTOP.INI", kIniWord, L"*.*", false, false, false},
    {"ReadOnlyWithPlainIni", kRODir, L"Desktop.ini", kRW, L"*.*", false, false, false},
    {"ReadOnlyWithoutIni", kRODir, nullptr, 0, L"*.*", false, false, true},
    {"ReadOnlyWithOtherIni", kRODir, L"desktop.ini.bak", kIniWord, L"*.*", false, false, true},
    {"ReadOnlyWithIniFolder", kRODir, L"desktop.ini", attr::Directory, L"*.*", false, false, true},
    {"WritableWithIni", attr::Directory, L"desktop.ini", kIniWord, L"*.*", false, false, false},
    {"FilterLeavesIniOut", kRODir, L"desktop.ini", kRW, L"*.txt", false, false, false},
    {"DeeperWithIni", kRODir, L"desktop.ini", kIniWord, L"*.*", true, false, false},
    {"DeeperWithoutIni", kRODir, nullptr, 0, L"*.*", true, false, true},
    {"DeeperLinkToMarkedFolder", kRODir | attr::ReparsePoint, L"desktop.ini", kIniWord, L"*.*", true, true, true},
};

struct MarkedFolder : ::testing::TestWithParam<MarkCase> {};

TEST_P(MarkedFolder, IsListedButNotSelected) {
    const MarkCase& c = GetParam();
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.ui.filterText = c.filter;
    const std::wstring dropped = c.deeper ? L"C:\\top" : L"C:\\F";
    const std::wstring folder = c.deeper ? L"C:\\top\\F" : L"C:\\F";
    const std::wstring holder = c.link ? L"C:\\target" : folder;
    rig.fs.AddFolder(holder, c.folderWord & ~attr::ReparsePoint);
    if (c.ini && (c.iniWord & attr::Directory)) rig.fs.AddFolder(holder + L"\\" + c.ini, c.iniWord);
    if (c.ini && !(c.iniWord & attr::Directory)) rig.fs.AddFile(holder + L"\\" + c.ini, c.iniWord);
    rig.fs.AddFile(holder + L"\\a.txt", kRO);
    if (c.link) rig.fs.AddLink(folder, holder, c.folderWord);
    rig.Drop({dropped});

    const std::wstring entry = c.deeper ? folder : folder + L"\\";
    std::int32_t selected = 0;
    bool found = false;
    for (const auto& [text, sel] : rig.List()) {
        selected += sel ? 1 : 0;
        if (text == entry) {
            found = true;
            EXPECT_EQ(sel, c.selected);
        }
        if (text == folder + L"\\a.txt") {
            EXPECT_TRUE(sel) << "its read-only files are selected as ever";
        }
    }
    EXPECT_TRUE(found) << "the folder is listed";
    EXPECT_EQ(rig.ui.statusCaption, StatusCaption(selected, static_cast<std::int32_t>(rig.List().size())));
    if (!c.link) {
        const bool iniFolder = c.ini && (c.iniWord & attr::Directory);
        EXPECT_EQ(rig.fs.FolderReads(), (c.deeper ? 2u : 1u) + (iniFolder ? 1u : 0u)) << "one read per folder";
    }
}

INSTANTIATE_TEST_SUITE_P(Rows, MarkedFolder, ::testing::ValuesIn(kMarks),
                         [](const auto& p) { return std::string(p.param.name); });

// The switch ticked lists read-only entries only: a marked folder is one of them.
TEST(FolderWalk, MarkedFolderIsListedWithTheSwitchTicked) {
    CollectRig rig;
    rig.fs.AddFolder(L"C:\\Docs", kRODir).AddFile(L"C:\\Docs\\desktop.ini", kIniWord);
    rig.Drop({L"C:\\Docs"});
    ASSERT_EQ(rig.List(), (Listed{{L"C:\\Docs\\", false}}));
    EXPECT_EQ(rig.ui.statusCaption, L"ReadOnly ( 0 ) / File ( 1 )");
}

// A file system that lists "." and ".." after other names: they are still never
// taken for subfolders (each would be the folder itself again).
TEST(FolderWalk, DotEntriesAreLeftOutWhereverTheListingGivesThem) {
    CollectRig rig;
    rig.fs.SetDotEntriesLast(true);
    rig.fs.AddFile(L"C:\\d\\a.txt", kRO).AddFolder(L"C:\\d\\sub", kRODir).AddFile(L"C:\\d\\sub\\b.txt", kRO);
    rig.Drop({L"C:\\d"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\d\\a.txt", true}, {L"C:\\d\\sub", true}, {L"C:\\d\\sub\\b.txt", true}}));
}

TEST(FolderWalkFault, LinkLoopIsListedButNotEntered) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFolder(L"C:\\loop").AddFile(L"C:\\loop\\f.txt");
    rig.fs.AddLink(L"C:\\loop\\self", L"C:\\loop");
    rig.fs.AddLink(L"C:\\loop\\up", L"C:\\");
    rig.fs.AddFile(L"C:\\loop\\g.txt");
    ASSERT_EQ(rig.fs.GetAttr(L"C:\\loop\\self\\self\\f.txt") & attr::Directory, 0) << "the link leads back";
    rig.Drop({L"C:\\loop"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\loop\\", false},
                                  {L"C:\\loop\\f.txt", false},
                                  {L"C:\\loop\\self", false},
                                  {L"C:\\loop\\up", false},
                                  {L"C:\\loop\\g.txt", false}}));
}

TEST(FolderWalkFault, DroppedLinkIsWalkedItsInnerLinksAreNot) {
    CollectRig rig;
    rig.ui.readOnlySwitch = 0;
    rig.fs.AddFolder(L"C:\\real").AddFile(L"C:\\real\\r.txt");
    rig.fs.AddLink(L"C:\\real\\back", L"C:\\real");
    rig.fs.AddLink(L"C:\\j", L"C:\\real");
    rig.Drop({L"C:\\j"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\j\\", false}, {L"C:\\j\\r.txt", false}, {L"C:\\j\\back", false}}));
}

// Within a drop an entry is answered by the listing that named it, never asked of the
// file system again: one whose own query would fail is listed (and walked) all the same.
TEST(FolderWalkFault, ListedEntryIsAnsweredFromItsListingEvenWhenItsQueryWouldFail) {
    CollectRig rig;
    rig.fs.AddFile(L"C:\\q\\bad.txt", kRO).AddFolder(L"C:\\q\\badsub", kRODir).AddFile(L"C:\\q\\badsub\\x.txt", kRO);
    rig.fs.FailGetAttr(L"C:\\q\\bad.txt", platform::win_error::AccessDenied);
    rig.fs.FailGetAttr(L"C:\\q\\badsub", platform::win_error::SharingViolation);
    rig.Drop({L"C:\\q"});
    EXPECT_EQ(rig.List(), (Listed{{L"C:\\q\\bad.txt", true}, {L"C:\\q\\badsub", true}, {L"C:\\q\\badsub\\x.txt", true}}));
    EXPECT_EQ(rig.fs.Calls(Op::GetAttr), 2) << "only the dropped path is asked: as given and as a folder";
}

}  // namespace
}  // namespace tesvar::collect::test
