// The simulated tree's own behaviour beyond the contract suite: builders, listing
// order, fault injection and the hook that changes the tree at a chosen moment.
#include <gtest/gtest.h>

#include <vector>

#include "platform/Error.h"
#include "sim/SimFileSystem.h"

namespace tesvar::sim {
namespace {

std::vector<std::wstring> ListAll(SimFileSystem& fs, const std::wstring& folder) {
    std::vector<std::wstring> names;
    for (auto n = fs.Dir(folder, kWalkMask); !n.empty(); n = fs.Dir()) names.push_back(n);
    return names;
}

std::int32_t ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const Error& e) {
        return e.Number();
    }
    return 0;
}

TEST(SimFileSystem, ListingOrdersAndDriveRootWithoutDots) {
    SimFileSystem fs;
    fs.AddFile(L"C:\\d\\b.txt").AddFile(L"C:\\d\\A.txt").AddFolder(L"C:\\d\\c");
    EXPECT_EQ(ListAll(fs, L"C:\\d\\"), (std::vector<std::wstring>{L".", L"..", L"b.txt", L"A.txt", L"c"}));
    fs.SetListingOrder(ListingOrder::NameNoCase);
    EXPECT_EQ(ListAll(fs, L"C:\\d\\"), (std::vector<std::wstring>{L".", L"..", L"A.txt", L"b.txt", L"c"}));
    fs.SetListingOrder(ListingOrder::ReverseInsertion);
    EXPECT_EQ(ListAll(fs, L"C:\\d\\"), (std::vector<std::wstring>{L".", L"..", L"c", L"A.txt", L"b.txt"}));
    EXPECT_EQ(ListAll(fs, L"C:\\"), (std::vector<std::wstring>{L"d"}));
    fs.SetDotEntries(L"C:\\d", false);
    EXPECT_EQ(ListAll(fs, L"C:\\d\\").front(), L"c");
}

TEST(SimFileSystem, MaskDecidesHiddenSystemAndFolders) {
    SimFileSystem fs;
    fs.AddFile(L"C:\\m\\h", attr::Hidden).AddFile(L"C:\\m\\s", attr::System).AddFolder(L"C:\\m\\f");
    fs.AddFile(L"C:\\m\\r", attr::ReadOnly);
    std::vector<std::wstring> plain;
    for (auto n = fs.Dir(L"C:\\m\\", 0); !n.empty(); n = fs.Dir()) plain.push_back(n);
    EXPECT_EQ(plain, std::vector<std::wstring>{L"r"});
    EXPECT_EQ(ListAll(fs, L"C:\\m\\"), (std::vector<std::wstring>{L".", L"..", L"h", L"f", L"r"}));
}

TEST(SimFileSystem, PathsAreCaseInsensitiveAndRelativeOnesUseTheCurrentFolder) {
    SimFileSystem fs;
    fs.AddFile(L"C:\\Work\\Note.TXT", 33);
    EXPECT_EQ(fs.GetAttr(L"c:\\work\\note.txt"), 33);
    fs.SetCurrentFolder(L"C:\\Work");
    EXPECT_EQ(fs.GetAttr(L"note.txt"), 33);
    EXPECT_EQ(ErrorOf([&] { fs.GetAttr(L"C:\\Work\\\\Note.TXT"); }), win_error::InvalidName);
    EXPECT_EQ(ErrorOf([&] { fs.GetAttr(L""); }), win_error::InvalidName);
}

TEST(SimFileSystem, SetAttrKeepsDirectoryAndCompressedAndReportsNormalForNothing) {
    SimFileSystem fs;
    fs.AddFolder(L"C:\\f", attr::Directory | attr::Compressed | attr::ReadOnly);
    fs.SetAttr(L"C:\\f", 0);
    EXPECT_EQ(fs.GetAttr(L"C:\\f"), attr::Directory | attr::Compressed);
    fs.AddFile(L"C:\\x", attr::ReadOnly);
    fs.SetAttr(L"C:\\x", 0);
    EXPECT_EQ(fs.GetAttr(L"C:\\x"), attr::Normal);
    // Bits a file system cannot set are ignored.
    fs.SetAttr(L"C:\\x", attr::Archive | attr::ReparsePoint | attr::Directory);
    EXPECT_EQ(fs.GetAttr(L"C:\\x"), attr::Archive);
}

TEST(SimFileSystem, FaultsAndTheHook) {
    SimFileSystem fs;
    fs.AddFile(L"C:\\a", 33).AddFile(L"C:\\b", 33).AddFolder(L"C:\\d");
    fs.FailGetAttr(L"C:\\a", win_error::AccessDenied);
    fs.RejectSetAttrBits(attr::Hidden);
    fs.FailListing(L"C:\\d", win_error::AccessDenied);
    EXPECT_EQ(ErrorOf([&] { fs.GetAttr(L"C:\\a"); }), win_error::AccessDenied);
    EXPECT_EQ(ErrorOf([&] { fs.SetAttr(L"C:\\b", attr::Hidden); }), win_error::InvalidParameter);
    EXPECT_EQ(ErrorOf([&] { fs.Dir(L"C:\\d\\", kWalkMask); }), win_error::AccessDenied);
    fs.ClearFaults();
    EXPECT_EQ(fs.GetAttr(L"C:\\a"), 33);
    // The entry vanishes just before its second query.
    int queries = 0;
    fs.beforeCall = [&](Op op, const std::wstring& path) {
        if (op == Op::GetAttr && path == L"C:\\b" && ++queries == 2) fs.Remove(L"C:\\b");
    };
    EXPECT_EQ(fs.GetAttr(L"C:\\b"), 33);
    EXPECT_EQ(ErrorOf([&] { fs.GetAttr(L"C:\\b"); }), win_error::FileNotFound);
    EXPECT_EQ(fs.Calls(Op::GetAttr), 4);
}

TEST(SimFileSystem, EndedListingRequestIsCountedAndFails) {
    SimFileSystem fs;
    fs.AddFolder(L"C:\\e");
    ListAll(fs, L"C:\\e\\");
    EXPECT_EQ(ErrorOf([&] { fs.Dir(); }), win_error::InvalidParameter);
    EXPECT_EQ(fs.endedListingRequests, 1);
}

TEST(SimFileSystem, RenameMovesTheWholeSubtreeAndKeepsItsPlace) {
    SimFileSystem fs;
    fs.AddFile(L"C:\\p\\first").AddFile(L"C:\\p\\sub\\deep\\x.txt", 33).AddFile(L"C:\\p\\last");
    fs.Rename(L"C:\\p\\sub", L"Moved");
    EXPECT_FALSE(fs.Exists(L"C:\\p\\sub"));
    EXPECT_EQ(fs.GetAttr(L"C:\\p\\moved\\deep\\x.txt"), 33);
    EXPECT_EQ(ListAll(fs, L"C:\\p\\"), (std::vector<std::wstring>{L".", L"..", L"first", L"Moved", L"last"}));
}

TEST(SimFileSystem, TextOutputHonoursWritableFoldersAndReadOnlyFiles) {
    SimFileSystem fs;
    fs.AddFolder(L"C:\\locked").AddFile(L"C:\\ro.log", 33);
    fs.SetWritable(L"C:\\locked", false);
    EXPECT_EQ(ErrorOf([&] { fs.OpenForOutput(1, L"C:\\locked\\x.log"); }), win_error::AccessDenied);
    EXPECT_EQ(ErrorOf([&] { fs.OpenForOutput(1, L"C:\\ro.log"); }), win_error::AccessDenied);
    EXPECT_EQ(fs.FreeFile(), 1);
    fs.OpenForOutput(1, L"C:\\ok.log");
    EXPECT_EQ(fs.FreeFile(), 2);
    fs.FailWritesAfter(1);
    fs.Write(1, "a");
    EXPECT_EQ(ErrorOf([&] { fs.Write(1, "b"); }), win_error::DiskFull);
    fs.FailClose(win_error::DiskFull);
    EXPECT_EQ(ErrorOf([&] { fs.Close(1); }), win_error::DiskFull);
    EXPECT_EQ(fs.FreeFile(), 1) << "a failed close still frees the number";
    EXPECT_EQ(fs.Content(L"C:\\ok.log"), "a");
}

}  // namespace
}  // namespace tesvar::sim
