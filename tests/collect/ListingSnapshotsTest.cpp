// The snapshot stack behind the listing services: which starts read the folder and
// which are served from what was read before.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "platform/ListingSnapshots.h"

namespace tesvar::platform {
namespace {

class ListingSnapshotsTest : public ::testing::Test {
protected:
    std::map<std::wstring, std::vector<std::wstring>> tree{
        {L"C:\\p\\", {L"a", L"s", L"t"}},
        {L"C:\\p\\s\\", {L"x", L"y"}},
        {L"C:\\p\\t\\", {L"z"}},
        {L"C:\\p\\s\\y\\", {}},
    };
    std::vector<std::wstring> reads;
    ListingSnapshots listings{[this](const std::wstring& folder, std::int32_t) {
        reads.push_back(folder);
        const auto it = tree.find(folder);
        if (it == tree.end()) throw Error(3, L"not found");
        std::vector<ListedEntry> entries;
        for (const auto& name : it->second) entries.push_back({name, static_cast<std::int32_t>(32 + name.size())});
        return entries;
    }};

    std::vector<std::wstring> Rest() {
        std::vector<std::wstring> out;
        for (auto n = listings.Next(); n && !n->empty(); n = listings.Next()) out.push_back(*n);
        return out;
    }
};

TEST_F(ListingSnapshotsTest, ParentRestartIsServedFromItsSnapshot) {
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"a");
    EXPECT_EQ(listings.Next(), L"s");
    EXPECT_EQ(listings.Start(L"C:\\p\\s\\", 19), L"x");
    tree[L"C:\\p\\"] = {L"new"};  // changes after the snapshot are not seen by a restart
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"a");
    EXPECT_EQ(Rest(), (std::vector<std::wstring>{L"s", L"t"}));
    EXPECT_EQ(reads, (std::vector<std::wstring>{L"C:\\p\\", L"C:\\p\\s\\"}));
}

TEST_F(ListingSnapshotsTest, GrandparentRestartDropsEverythingAbove) {
    listings.Start(L"C:\\p\\", 19);
    listings.Next();  // s
    listings.Start(L"C:\\p\\s\\", 19);
    listings.Next();  // y
    EXPECT_EQ(listings.Start(L"C:\\p\\s\\y\\", 19), L"");
    EXPECT_EQ(listings.Depth(), 3u);
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"a");
    EXPECT_EQ(listings.Depth(), 1u);
    EXPECT_EQ(listings.Reads(), 3u);
}

TEST_F(ListingSnapshotsTest, TopFolderStartedAgainIsReadAfresh) {
    listings.Start(L"C:\\p\\", 19);
    Rest();
    tree[L"C:\\p\\"] = {L"b"};
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"b");
    EXPECT_EQ(listings.Reads(), 2u);
}

TEST_F(ListingSnapshotsTest, FolderNotJustNamedIsReadAfreshAndForgetsTheStack) {
    listings.Start(L"C:\\p\\", 19);
    listings.Next();  // s
    listings.Next();  // t: the top listing no longer names s
    EXPECT_EQ(listings.Start(L"C:\\p\\s\\", 19), L"x");
    EXPECT_EQ(listings.Depth(), 1u);
    tree[L"C:\\p\\"] = {L"b"};
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"b");
}

TEST_F(ListingSnapshotsTest, AnotherMaskIsAnotherListing) {
    listings.Start(L"C:\\p\\", 19);
    listings.Next();
    listings.Start(L"C:\\p\\s\\", 23);
    EXPECT_EQ(listings.Depth(), 1u);
}

TEST_F(ListingSnapshotsTest, UnlistableChildKeepsTheParentsSnapshot) {
    tree.erase(L"C:\\p\\s\\");
    listings.Start(L"C:\\p\\", 19);
    listings.Next();  // s
    EXPECT_THROW(listings.Start(L"C:\\p\\s\\", 19), Error);
    EXPECT_FALSE(listings.Next().has_value());
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"a");
    EXPECT_EQ(listings.Reads(), 2u);
}

TEST_F(ListingSnapshotsTest, EndedOrFailedListingHasNoNext) {
    EXPECT_FALSE(listings.Next().has_value());
    listings.Start(L"C:\\p\\t\\", 19);
    EXPECT_EQ(listings.Next(), L"");
    EXPECT_FALSE(listings.Next().has_value());
    EXPECT_THROW(listings.Start(L"C:\\none\\", 19), Error);
    EXPECT_FALSE(listings.Next().has_value());
    EXPECT_EQ(listings.Depth(), 0u);
}

TEST_F(ListingSnapshotsTest, FolderWithoutTrailingBackslashIsTheSameFolder) {
    listings.Start(L"C:\\p", 19);
    listings.Next();
    listings.Start(L"C:\\p\\s", 19);
    EXPECT_EQ(listings.Start(L"C:\\p\\", 19), L"a");
    EXPECT_EQ(listings.Reads(), 2u);
}

TEST_F(ListingSnapshotsTest, ServingOffReadsEveryStart) {
    listings.SetServeRestarts(false);
    listings.Start(L"C:\\p\\", 19);
    listings.Next();
    listings.Start(L"C:\\p\\s\\", 19);
    listings.Start(L"C:\\p\\", 19);
    EXPECT_EQ(listings.Reads(), 3u);
}

TEST_F(ListingSnapshotsTest, FindJumpsToTheEntryWalkedIntoOrSearchesTheFreshListing) {
    listings.Start(L"C:\\p\\", 19);
    listings.Next();  // s
    listings.Start(L"C:\\p\\s\\", 19);
    EXPECT_EQ(listings.Find(L"C:\\p\\", 19, L"s"), L"s");
    EXPECT_EQ(listings.Next(), L"t");
    EXPECT_EQ(listings.Reads(), 2u);
    // Read afresh: the same name, else one differing in case; "" ends the listing.
    listings.SetServeRestarts(false);
    EXPECT_EQ(listings.Find(L"C:\\p\\", 19, L"S"), L"s");
    EXPECT_EQ(listings.Next(), L"t");
    EXPECT_EQ(listings.Find(L"C:\\p\\", 19, L"gone"), L"");
    EXPECT_FALSE(listings.Next().has_value());
}

TEST_F(ListingSnapshotsTest, OnlyADropScopeAnswersAndOnlyForTheEntryJustNamed) {
    listings.Start(L"C:\\p\\", 19);
    listings.Next();  // s
    EXPECT_FALSE(listings.Cached(L"C:\\p\\s")) << "no drop scope";
    listings.OpenDropScope();
    EXPECT_EQ(listings.Depth(), 0u) << "a drop starts with no snapshot";
    listings.Start(L"C:\\p\\", 19);
    EXPECT_EQ(listings.Next(), L"s");
    EXPECT_EQ(listings.Cached(L"C:\\p\\s"), 33);
    EXPECT_FALSE(listings.Cached(L"C:\\p\\a")) << "named before";
    EXPECT_FALSE(listings.Cached(L"C:\\p\\S")) << "another text";
    listings.Next();  // t
    listings.Next();  // "": ended
    EXPECT_FALSE(listings.Cached(L"C:\\p\\t"));
    listings.Start(L"C:\\p\\", 19);
    listings.Next();
    listings.CloseDropScope();
    EXPECT_FALSE(listings.Cached(L"C:\\p\\s"));
    EXPECT_EQ(listings.Depth(), 0u) << "closing forgets the snapshots";
}

}  // namespace
}  // namespace tesvar::platform
