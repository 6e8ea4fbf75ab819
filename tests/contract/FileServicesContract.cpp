// What the logic relies on from the file services, checked against whichever
// implementation this build links: the simulated one natively, Win32 under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "contract/ContractTree.h"
#include "platform/Error.h"

namespace tesvar::contract {
namespace {

namespace attr = platform::attr;
using platform::Error;

class FileServicesContract : public ::testing::Test {
protected:
    void SetUp() override { tree = MakeContractTree(); }
    platform::FileServices& files() { return tree->Files(); }

    // Number and text of the error an operation throws; number 0 when it did not throw.
    template <class F>
    static std::pair<std::int32_t, std::wstring> Failure(F&& f) {
        try {
            f();
        } catch (const Error& e) {
            return {e.Number(), e.Message()};
        }
        return {0, L""};
    }

    std::vector<std::wstring> ListAll(const std::wstring& folder) {
        std::vector<std::wstring> names;
        for (auto name = files().Dir(folder, platform::kWalkMask); !name.empty(); name = files().Dir())
            names.push_back(name);
        return names;
    }

    std::unique_ptr<ContractTree> tree;
};

TEST_F(FileServicesContract, ReadOnlyHiddenArchivedFileLosesOnlyReadOnly) {
    tree->AddFile(L"a.txt", attr::ReadOnly | attr::Hidden | attr::Archive);
    const auto path = tree->Path(L"a.txt");
    EXPECT_EQ(files().GetAttr(path), 35);
    files().SetAttr(path, 34);
    EXPECT_EQ(files().GetAttr(path), 34);
}

TEST_F(FileServicesContract, SystemBitIsKeptWhenHandedBack) {
    tree->AddFile(L"s.txt", attr::ReadOnly | attr::System | attr::Archive);
    const auto path = tree->Path(L"s.txt");
    EXPECT_EQ(files().GetAttr(path), 37);
    files().SetAttr(path, 36);
    EXPECT_EQ(files().GetAttr(path), 36);
}

TEST_F(FileServicesContract, ReadOnlyFolderReleasedKeepsDirectoryBit) {
    const auto folder = tree->ReadOnlyFolder();
    if (folder.empty()) GTEST_SKIP() << "no read-only folder can be made here";
    const auto before = files().GetAttr(folder);
    EXPECT_EQ(before & (attr::ReadOnly | attr::Directory), attr::ReadOnly | attr::Directory);
    // The run hands the word less its read-only and directory bits.
    files().SetAttr(folder, before - attr::ReadOnly - attr::Directory);
    const auto after = files().GetAttr(folder);
    EXPECT_EQ(after & attr::ReadOnly, 0);
    EXPECT_NE(after & attr::Directory, 0);
}

TEST_F(FileServicesContract, WordZeroReallyClearsAFileWhoseOnlyBitIsReadOnly) {
    tree->AddFile(L"only-ro.txt", attr::ReadOnly);
    const auto path = tree->Path(L"only-ro.txt");
    const auto before = files().GetAttr(path);
    ASSERT_NE(before & attr::ReadOnly, 0);
    // The run computes before - 1; for a lone read-only bit that is 0.
    files().SetAttr(path, (before - attr::ReadOnly) & ~attr::Archive);
    EXPECT_EQ(files().GetAttr(path) & attr::ReadOnly, 0);
}

TEST_F(FileServicesContract, MissingEntryFailsWithNumberAndText) {
    const auto [fileNumber, fileText] = Failure([&] { files().GetAttr(tree->Path(L"missing.txt")); });
    EXPECT_EQ(fileNumber, platform::win_error::FileNotFound);
    EXPECT_FALSE(fileText.empty());
    EXPECT_NE(fileText.back(), L'\n');
    const auto [pathNumber, pathText] = Failure([&] { files().GetAttr(tree->Path(L"gone\\x.txt")); });
    EXPECT_EQ(pathNumber, platform::win_error::PathNotFound);
    EXPECT_FALSE(pathText.empty());
    const auto [setNumber, setText] = Failure([&] { files().SetAttr(tree->Path(L"missing.txt"), 32); });
    EXPECT_EQ(setNumber, platform::win_error::FileNotFound);
}

TEST_F(FileServicesContract, FolderAnswersWithAndWithoutTrailingBackslash) {
    tree->AddFolder(L"sub");
    EXPECT_NE(files().GetAttr(tree->Path(L"sub")) & attr::Directory, 0);
    EXPECT_NE(files().GetAttr(tree->Path(L"sub\\")) & attr::Directory, 0);
}

TEST_F(FileServicesContract, FileWithTrailingBackslashCannotBeQueried) {
    tree->AddFile(L"f.txt");
    const auto [number, text] = Failure([&] { files().GetAttr(tree->Path(L"f.txt\\")); });
    EXPECT_NE(number, 0);
    EXPECT_FALSE(text.empty());
}

TEST_F(FileServicesContract, RefusedChangeFailsAndLeavesTheWord) {
    const auto path = tree->RefusingFile();
    if (path.empty()) GTEST_SKIP() << "no change can be refused here";
    const auto before = files().GetAttr(path);
    const auto [number, text] = Failure([&] { files().SetAttr(path, before - attr::ReadOnly); });
    EXPECT_NE(number, 0);
    EXPECT_FALSE(text.empty());
    EXPECT_EQ(files().GetAttr(path), before);
}

TEST_F(FileServicesContract, ListingStartsWithDotsAndSkipsSystemEntries) {
    tree->AddFolder(L"d");
    tree->AddFile(L"d\\plain.txt");
    tree->AddFile(L"d\\hidden.txt", attr::Hidden | attr::Archive);
    tree->AddFile(L"d\\system.txt", attr::System | attr::Archive);
    tree->AddFile(L"d\\ro.txt", attr::ReadOnly | attr::Archive);
    tree->AddFolder(L"d\\sub");
    tree->AddFolder(L"d\\hiddensub", attr::Directory | attr::Hidden);
    const auto names = ListAll(tree->Path(L"d\\"));
    ASSERT_GE(names.size(), 2u);
    EXPECT_EQ(names[0], L".");
    EXPECT_EQ(names[1], L"..");
    const std::set<std::wstring> rest(names.begin() + 2, names.end());
    EXPECT_EQ(rest, (std::set<std::wstring>{L"plain.txt", L"hidden.txt", L"ro.txt", L"sub", L"hiddensub"}));
    EXPECT_EQ(rest.size(), names.size() - 2) << "a name was listed twice";
}

TEST_F(FileServicesContract, EmptyFolderListsOnlyDots) {
    tree->AddFolder(L"empty");
    EXPECT_EQ(ListAll(tree->Path(L"empty\\")), (std::vector<std::wstring>{L".", L".."}));
}

TEST_F(FileServicesContract, NewListingAbandonsTheOneInProgress) {
    tree->AddFolder(L"a");
    tree->AddFile(L"a\\1.txt");
    tree->AddFolder(L"b");
    tree->AddFile(L"b\\2.txt");
    EXPECT_EQ(files().Dir(tree->Path(L"a\\"), platform::kWalkMask), L".");
    EXPECT_EQ(files().Dir(tree->Path(L"b\\"), platform::kWalkMask), L".");
    EXPECT_EQ(files().Dir(), L"..");
    EXPECT_EQ(files().Dir(), L"2.txt");
    EXPECT_EQ(files().Dir(), L"");
}

TEST_F(FileServicesContract, UnlistableFolderAndEndedListingFail) {
    EXPECT_NE(Failure([&] { files().Dir(tree->Path(L"nope\\"), platform::kWalkMask); }).first, 0);
    tree->AddFolder(L"e");
    ListAll(tree->Path(L"e\\"));
    EXPECT_NE(Failure([&] { files().Dir(); }).first, 0);
}

TEST_F(FileServicesContract, ProgramFolderHasNoTrailingBackslash) {
    const auto folder = files().ProgramFolder();
    ASSERT_FALSE(folder.empty());
    if (folder.size() > 3) {
        EXPECT_NE(folder.back(), L'\\');
    }
    EXPECT_NE(files().GetAttr(folder) & attr::Directory, 0);
}

TEST_F(FileServicesContract, TextOutputWritesExactBytesAndEmptiesOnOpen) {
    auto& out = tree->Out();
    const auto path = tree->Path(L"out.log");
    const auto n = out.FreeFile();
    EXPECT_GE(n, 1);
    out.OpenForOutput(n, path);
    EXPECT_NE(out.FreeFile(), n);
    out.Write(n, "first\r\n");
    out.Write(n, std::string("\x89\xf0\x8f\x9c\r\n", 6));
    out.Flush(n);  // on disk with the file still open
    EXPECT_EQ(tree->Content(path), "first\r\n" + std::string("\x89\xf0\x8f\x9c\r\n", 6));
    out.Close(n);
    EXPECT_EQ(out.FreeFile(), n);
    // Reopening empties it.
    out.OpenForOutput(n, path);
    out.Write(n, "again\r\n");
    out.Close(n);
    EXPECT_EQ(tree->Content(path), "again\r\n");
}

TEST_F(FileServicesContract, HiddenFileIsEmptiedOnOpenAReadOnlyOneIsRefused) {
    auto& out = tree->Out();
    const auto write = [&](const std::wstring& path) {
        const auto n = out.FreeFile();
        out.OpenForOutput(n, path);
        out.Write(n, "line\r\n");
        out.Close(n);
    };
    tree->AddFile(L"hidden.log", attr::Hidden | attr::Archive);
    write(tree->Path(L"hidden.log"));
    write(tree->Path(L"hidden.log"));
    EXPECT_EQ(tree->Content(tree->Path(L"hidden.log")), "line\r\n") << "emptied on open, not appended to";
    EXPECT_NE(files().GetAttr(tree->Path(L"hidden.log")) & attr::Hidden, 0);
    tree->AddFile(L"locked.log", attr::ReadOnly | attr::Archive);
    EXPECT_EQ(Failure([&] { out.OpenForOutput(out.FreeFile(), tree->Path(L"locked.log")); }).first,
              platform::win_error::AccessDenied);
}

TEST_F(FileServicesContract, WritingToANumberThatIsNotOpenFails) {
    auto& out = tree->Out();
    const auto [number, text] = Failure([&] { out.Write(out.FreeFile(), "x"); });
    EXPECT_EQ(number, platform::win_error::InvalidHandle);
    EXPECT_FALSE(text.empty());
    EXPECT_NE(Failure([&] { out.OpenForOutput(out.FreeFile(), tree->Path(L"gone\\x.log")); }).first, 0);
}

TEST_F(FileServicesContract, AnsiCodePageIs932) {
    auto& ansi = tree->Ansi();
    // "解除" and a half-width katakana "ﾌ" in Shift-JIS.
    EXPECT_EQ(ansi.ToAnsi(L"解除ﾌ:a"), std::string("\x89\xf0\x8f\x9c\xcc:a"));
    EXPECT_EQ(ansi.FromAnsi(std::string("\x89\xf0\x8f\x9c\xcc:a")), L"解除ﾌ:a");
    EXPECT_EQ(ansi.ToAnsi(L"　："), std::string("\x81\x40\x81\x46"));
    // A character code page 932 cannot hold becomes "?", never a look-alike that would
    // name another file: é, À and ä have best-fit forms, 한 and an emoji have none.
    EXPECT_EQ(ansi.ToAnsi(L"caf\u00e9.txt"), "caf?.txt");
    EXPECT_EQ(ansi.ToAnsi(L"\u00c0\u00e4"), "??");
    EXPECT_EQ(ansi.ToAnsi(L"\ud55c"), "?");
    EXPECT_EQ(ansi.ToAnsi(L"a\U0001F600b"), "a??b");
}

}  // namespace
}  // namespace tesvar::contract
