// The path splitter on the simulated tree: its worked examples and edge cases.
#include <gtest/gtest.h>

#include <cwchar>
#include <string>
#include <vector>

#include "collect/FNameEdit.h"
#include "collect/SplitOutputs.h"
#include "collect/modMain.h"
#include "platform/Error.h"
#include "sim/SimFileSystem.h"

namespace tesvar::collect {
namespace {

namespace attr = platform::attr;
using sim::Op;

Split Outputs(const FNameEdit& e) { return {e.ifaDirName, e.ifaFileName, e.ifaFileSts1, e.ifaFileSts2}; }

// The tree the worked examples assume.
void BuildExampleTree(sim::SimFileSystem& fs) {
    fs.AddFile(L"C:\\a\\b.c.txt")
        .AddFile(L"C:\\a\\readme")
        .AddFile(L"C:\\a\\.profile")
        .AddFile(L"C:\\a\\notes.")
        .AddFile(L"C:\\a\\spaced.txt ")
        .AddFolder(L"C:\\old.data")
        .AddFile(L"C:\\old.data\\inside");
}

struct ExampleRow {
    const char* name;
    std::wstring fullPath;
    Split expected;
};

struct SplitterExample : ::testing::TestWithParam<std::tuple<ExampleRow, bool>> {};

TEST_P(SplitterExample, GivesTheTableRow) {
    const auto& [row, refuseTrailing] = GetParam();
    sim::SimFileSystem fs;
    BuildExampleTree(fs);
    fs.SetRefuseTrailingBackslash(refuseTrailing);
    modMain module(fs);
    auto& split = module.objFNameEdit();
    split.ifaFullPath = row.fullPath;
    split.cFNameEdit();
    EXPECT_EQ(Outputs(split), row.expected);
    EXPECT_EQ(split.ifaFullPath, row.fullPath);
    EXPECT_EQ(split.ifaFileSts1 + split.ifaFileSts2, split.ifaFileName);
}

const ExampleRow kExamples[] = {
    {"FileWithTwoDots", L"C:\\a\\b.c.txt", {L"C:\\a\\", L"b.c.txt", L"b", L".c.txt"}},
    {"FolderWithBackslash", L"C:\\a\\", {L"C:\\a\\", L"", L"", L""}},
    {"FolderWithoutBackslash", L"C:\\a", {L"C:\\a\\", L"", L"", L""}},
    {"FileWithoutDot", L"C:\\a\\readme", {L"C:\\a\\", L"readme", L"readme", L""}},
    {"FileBeginningWithDot", L"C:\\a\\.profile", {L"C:\\a\\", L".profile", L"", L".profile"}},
    {"FileEndingInDot", L"C:\\a\\notes.", {L"C:\\a\\", L"notes.", L"notes", L"."}},
    {"FolderWithDot", L"C:\\old.data", {L"C:\\old.data\\", L"", L"", L""}},
    {"DriveRoot", L"C:\\", {L"C:\\", L"", L"", L""}},
    {"MissingPath", L"C:\\x\\y.txt", {L"C:\\x\\y.txt\\", L"", L"", L""}},
    {"ThreeSpaces", L"   ", {L"", L"", L"", L""}},
    {"DotInFolderNotInFile", L"C:\\old.data\\inside", {L"C:\\old.data\\", L"inside", L"inside", L""}},
    {"SurroundingSpaces", L"  C:\\a\\b.c.txt   ", {L"C:\\a\\", L"b.c.txt", L"b", L".c.txt"}},
    {"MissingWithSeveralBackslashes", L"C:\\gone\\\\\\", {L"C:\\gone\\", L"", L"", L""}},
    {"FileWithTrailingBackslash", L"C:\\a\\b.c.txt\\", {L"C:\\a\\", L"b.c.txt", L"b", L".c.txt"}},
    {"FolderWithSpacesAndBackslash", L" C:\\a\\ ", {L"C:\\a\\", L"", L"", L""}},
    // A name that ends in a space exists as given: it is not trimmed away.
    {"NameEndingInASpaceAsGiven", L"C:\\a\\spaced.txt ", {L"C:\\a\\", L"spaced.txt ", L"spaced", L".txt "}},
};

INSTANTIATE_TEST_SUITE_P(Table, SplitterExample, ::testing::Combine(::testing::ValuesIn(kExamples), ::testing::Bool()),
                         [](const auto& p) {
                             return std::string(std::get<0>(p.param).name) +
                                    (std::get<1>(p.param) ? "_RefusingTrailingBackslash" : "");
                         });

class SplitterTest : public ::testing::Test {
protected:
    SplitterTest() { BuildExampleTree(fs); }
    Split Run(const std::wstring& path) { return SplitOf(split, path); }
    sim::SimFileSystem fs;
    modMain module{fs};
    FNameEdit& split = module.objFNameEdit();
};

TEST_F(SplitterTest, BlankPathAsksNothing) {
    for (const wchar_t* blank : {L"", L" ", L"      "}) {
        EXPECT_EQ(Run(blank), Split{}) << "blank of length " << std::wcslen(blank);
    }
    EXPECT_EQ(fs.Calls(Op::GetAttr), 0);
}

TEST_F(SplitterTest, OneInstanceForTheWholeProgram) {
    EXPECT_EQ(&module.objFNameEdit(), &module.objFNameEdit());
}

TEST_F(SplitterTest, EarlierOutputsNeverSurvive) {
    Run(L"C:\\a\\b.c.txt");
    EXPECT_EQ(Run(L"C:\\a"), (Split{L"C:\\a\\", L"", L"", L""}));
    EXPECT_EQ(Run(L"C:\\a\\readme"), (Split{L"C:\\a\\", L"readme", L"readme", L""}));
    EXPECT_EQ(Run(L"   "), Split{});
}

TEST_F(SplitterTest, MissingPathLosesBackslashesOneAtATime) {
    std::vector<std::wstring> asked;
    fs.beforeCall = [&](Op op, const std::wstring& path) {
        if (op == Op::GetAttr) asked.push_back(path);
    };
    EXPECT_EQ(Run(L"C:\\gone\\\\"), (Split{L"C:\\gone\\", L"", L"", L""}));
    EXPECT_EQ(asked, (std::vector<std::wstring>{L"C:\\gone\\\\", L"C:\\gone\\", L"C:\\gone", L"C:\\gone"}));
}

TEST_F(SplitterTest, ExistingFolderIsAskedAgainForItsDirectoryBit) {
    int queries = 0;
    fs.beforeCall = [&](Op op, const std::wstring&) { queries += op == Op::GetAttr; };
    Run(L"C:\\a\\b.c.txt");
    EXPECT_EQ(queries, 2);
}

TEST_F(SplitterTest, NetworkShareKeepsItsLeadingBackslashes) {
    fs.AddFile(L"\\\\server\\share\\dir\\f.txt");
    EXPECT_EQ(Run(L"\\\\server\\share\\dir\\f.txt"), (Split{L"\\\\server\\share\\dir\\", L"f.txt", L"f", L".txt"}));
    EXPECT_EQ(Run(L"\\\\server\\share\\dir"), (Split{L"\\\\server\\share\\dir\\", L"", L"", L""}));
    EXPECT_EQ(Run(L"\\\\server\\share\\none.txt"), (Split{L"\\\\server\\share\\none.txt\\", L"", L"", L""}));
}

TEST_F(SplitterTest, RelativeFileHasNoFolderPart) {
    fs.SetCurrentFolder(L"C:\\a");
    EXPECT_EQ(Run(L"readme"), (Split{L"", L"readme", L"readme", L""}));
    EXPECT_EQ(Run(L"b.c.txt"), (Split{L"", L"b.c.txt", L"b", L".c.txt"}));
}

TEST_F(SplitterTest, UnqueryablePathCountsAsFolderAndNothingEscapes) {
    fs.FailGetAttr(L"C:\\a\\b.c.txt", platform::win_error::AccessDenied);
    EXPECT_NO_THROW(Run(L"C:\\a\\b.c.txt"));
    EXPECT_EQ(Outputs(split), (Split{L"C:\\a\\b.c.txt\\", L"", L"", L""}));
}

TEST_F(SplitterTest, FileThatFailsOnlyOnTheSecondQueryCountsAsFolder) {
    int queries = 0;
    fs.beforeCall = [&](Op op, const std::wstring&) {
        if (op == Op::GetAttr && ++queries == 2) fs.Remove(L"C:\\a\\readme");
    };
    EXPECT_EQ(Run(L"C:\\a\\readme"), (Split{L"C:\\a\\readme\\", L"", L"", L""}));
}

}  // namespace
}  // namespace tesvar::collect
