// What the folder walk relies on from the listings, checked against the simulated
// services natively and the Win32 ones under Wine: restarts of a parent during a nested
// walk come from the snapshot taken when its listing began, while every new walk sees
// the folder as it is now.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "contract/ContractTree.h"
#include "platform/Error.h"

namespace tesvar::contract {
namespace {

namespace attr = platform::attr;
using Names = std::vector<std::wstring>;

class ListingContract : public ::testing::Test {
protected:
    void SetUp() override {
        tree = MakeContractTree();
        tree->AddFolder(L"d");
        tree->AddFile(L"d\\a.txt");
        tree->AddFolder(L"d\\sub");
        tree->AddFile(L"d\\sub\\in.txt");
        tree->AddFile(L"d\\z.txt");
        tree->AddFolder(L"other");
    }
    platform::FileServices& files() { return tree->Files(); }
    std::wstring D() { return tree->Path(L"d\\"); }

    Names Rest(std::wstring first) {
        Names names;
        for (auto name = std::move(first); !name.empty(); name = files().Dir()) names.push_back(name);
        return names;
    }
    Names ListAll(const std::wstring& folder) { return Rest(files().Dir(folder, platform::kWalkMask)); }
    // Starts the listing of d and reads up to and including "sub".
    void ReadUpToSub() {
        for (auto name = files().Dir(D(), platform::kWalkMask); name != L"sub"; name = files().Dir())
            ASSERT_FALSE(name.empty()) << "sub not listed";
    }

    std::unique_ptr<ContractTree> tree;
};

TEST_F(ListingContract, ParentRestartedAfterANestedListingIsServedAsItBegan) {
    const Names before = ListAll(D());
    ReadUpToSub();
    EXPECT_EQ(ListAll(D() + L"sub\\"), (Names{L".", L"..", L"in.txt"}));
    tree->AddFile(L"d\\late.txt");
    EXPECT_EQ(ListAll(D()), before);
}

TEST_F(ListingContract, RestartGivesTheNamesFromTheFirstAgain) {
    ReadUpToSub();
    files().Dir(D() + L"sub\\", platform::kWalkMask);
    auto name = files().Dir(D(), platform::kWalkMask);
    EXPECT_EQ(name, L".");
    while (name != L"sub" && !name.empty()) name = files().Dir();
    ASSERT_EQ(name, L"sub");
    const Names rest = Rest(files().Dir());
    EXPECT_EQ(std::set<std::wstring>(rest.begin(), rest.end()).count(L"sub"), 0u);
}

TEST_F(ListingContract, FolderListedAgainAfterItsListingEndedIsReadAfresh) {
    ListAll(D());
    tree->AddFile(L"d\\late.txt");
    const Names again = ListAll(D());
    EXPECT_NE(std::find(again.begin(), again.end(), L"late.txt"), again.end());
}

TEST_F(ListingContract, FolderListedAgainAfterAnUnrelatedListingIsReadAfresh) {
    ReadUpToSub();
    ListAll(tree->Path(L"other\\"));
    tree->AddFile(L"d\\late.txt");
    const Names again = ListAll(D());
    EXPECT_NE(std::find(again.begin(), again.end(), L"late.txt"), again.end());
}

TEST_F(ListingContract, ChildStartedWhenItsParentNamedAnotherEntryIsReadAfresh) {
    ReadUpToSub();
    files().Dir();  // the parent has moved past sub
    tree->AddFile(L"d\\sub\\late.txt");
    const Names sub = ListAll(D() + L"sub\\");
    EXPECT_NE(std::find(sub.begin(), sub.end(), L"late.txt"), sub.end());
}

TEST_F(ListingContract, NamesKeepTheirCase) {
    tree->AddFile(L"other\\MiXed.TxT");
    EXPECT_EQ(ListAll(tree->Path(L"other\\")), (Names{L".", L"..", L"MiXed.TxT"}));
}

TEST_F(ListingContract, HiddenFoldersListedSystemFoldersNot) {
    tree->AddFolder(L"other\\hid", attr::Directory | attr::Hidden);
    tree->AddFolder(L"other\\sys", attr::Directory | attr::System);
    const Names names = ListAll(tree->Path(L"other\\"));
    EXPECT_EQ(std::set<std::wstring>(names.begin(), names.end()), (std::set<std::wstring>{L".", L"..", L"hid"}));
    EXPECT_NE(files().GetAttr(tree->Path(L"other\\hid")) & attr::Hidden, 0);
}

TEST_F(ListingContract, ListingAFileFailsAndLeavesNoListing) {
    EXPECT_THROW(files().Dir(tree->Path(L"d\\a.txt\\"), platform::kWalkMask), platform::Error);
    EXPECT_THROW(files().Dir(), platform::Error);
}

}  // namespace
}  // namespace tesvar::contract
