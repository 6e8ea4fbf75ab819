// What the simulated profile does beyond the contract suite: choices where real
// Windows and Wine part ways or that only the simulated tree can show.
#include <gtest/gtest.h>

#include <string>

#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimProfile.h"
#include "support/Bytes.h"

namespace tesvar::sim {
namespace {

using test::Hex;

class SimProfileTest : public ::testing::Test {
protected:
    SimProfileTest() { fs.AddFolder(L"C:\\p"); }
    std::string Read(const std::string& section, const std::string& key, const std::string& fallback = "-",
                     std::uint32_t size = 256) {
        std::string buffer;
        const std::uint32_t n = profile.GetString(section, key, fallback, buffer, size, path);
        return buffer.substr(0, n);
    }

    const std::wstring file = L"C:\\p\\a.ini";
    const std::wstring path = file;
    SimFileSystem fs;
    SimAnsi ansi;
    SimProfile profile{fs};
};

TEST_F(SimProfileTest, WriteKeepsEveryOtherByteOfTheFile) {
    // Blank lines, blanks inside lines and lines ending in LF alone stay as they are
    // (Wine rewrites the whole file; Windows keeps it, as here).
    fs.AddFile(file, attr::Archive, "; mine\n\n[A]  \n  k  =  1  \n\n[B]\r\nx=1\r\n");
    ASSERT_TRUE(profile.WriteString("A", "n", "2", path));
    ASSERT_TRUE(profile.WriteString("A", "K", "3", path));
    EXPECT_EQ(fs.Content(file), "; mine\n\n[A]  \n  k  =3\nn=2\r\n\n[B]\r\nx=1\r\n");
}

TEST_F(SimProfileTest, OnlyAsciiLettersMatchInAnotherCase) {
    // Full-width Ａ and ａ are different names to the platform's profile functions.
    fs.AddFile(file, attr::Archive, "[" + Hex("8260") + "]\r\nk=1\r\n[S]\r\n" + Hex("8260") + "=2\r\n");
    EXPECT_EQ(Read(Hex("8260"), "K"), "1");
    EXPECT_EQ(Read(Hex("8281"), "k"), "-");
    EXPECT_EQ(Read("s", Hex("8281")), "-");
    EXPECT_EQ(Read("s", Hex("8260")), "2");
}

TEST_F(SimProfileTest, SecondByteOfACharacterIsNeverABracket) {
    // 0x5D, "]", is also the second byte of some double-byte characters.
    fs.AddFile(file, attr::Archive, "[a" + Hex("835d") + "\r\nk=1\r\n[b" + Hex("835d") + "]\r\nk=2\r\n");
    EXPECT_EQ(Read("a" + Hex("83"), "k"), "-");
    EXPECT_EQ(Read("b" + Hex("835d"), "k"), "2");
}

TEST_F(SimProfileTest, NewNamesKeepTrailingBlanksThatReadsIgnore) {
    ASSERT_TRUE(profile.WriteString(" S ", " k ", "  v  ", path));
    EXPECT_EQ(fs.Content(file), "[S ]\r\nk =v  \r\n");
    EXPECT_EQ(Read("S", "k"), "v");
}

TEST_F(SimProfileTest, UnchangedValueNeedsNoWrite) {
    fs.AddFile(file, attr::Archive, "[S]\r\nk=1\r\n");
    fs.SetWritable(L"C:\\p", false);
    EXPECT_TRUE(profile.WriteString("S", "k", "1", path));
    EXPECT_FALSE(profile.WriteString("S", "k", "2", path));
    EXPECT_EQ(fs.Content(file), "[S]\r\nk=1\r\n");
}

TEST_F(SimProfileTest, ReadOnlyFileRefusesTheWrite) {
    fs.AddFile(file, attr::Archive | attr::ReadOnly, "[S]\r\nk=1\r\n");
    EXPECT_FALSE(profile.WriteString("S", "k", "2", path));
    EXPECT_EQ(Read("S", "k"), "1");
}

TEST_F(SimProfileTest, BareFileNameLiesInTheWindowsFolder) {
    fs.AddFolder(L"C:\\Windows");
    ASSERT_TRUE(profile.WriteString("S", "k", "1", L"bare.ini"));
    EXPECT_EQ(fs.Content(L"C:\\Windows\\bare.ini"), "[S]\r\nk=1\r\n");
    EXPECT_FALSE(profile.WriteString("S", "k", "1", L""));
}

TEST_F(SimProfileTest, TinyBuffersHoldOnlyTheZeroByte) {
    fs.AddFile(file, attr::Archive, "[S]\r\nk=" + Hex("82a0") + "\r\n");
    std::string buffer = "junk";
    EXPECT_EQ(profile.GetString("S", "k", "", buffer, 0, path), 0u);
    EXPECT_TRUE(buffer.empty());
    EXPECT_EQ(profile.GetString("S", "k", "", buffer, 1, path), 0u);
    EXPECT_EQ(buffer, std::string(1, '\0'));
    // Two bytes of room: the double-byte character does not fit beside the zero byte.
    EXPECT_EQ(profile.GetString("S", "k", "", buffer, 2, path), 0u);
    EXPECT_EQ(Read("S", "k", "", 3), Hex("82a0"));
}

TEST_F(SimProfileTest, ArgumentsEndAtTheirFirstZeroByte) {
    fs.AddFile(file, attr::Archive, "[S]\r\nk=1\r\n");
    EXPECT_EQ(Read(std::string("S\0x", 3), std::string("k\0y", 3)), "1");
    ASSERT_TRUE(profile.WriteString("S", "k", std::string("2\0z", 3), path));
    EXPECT_EQ(fs.Content(file), "[S]\r\nk=2\r\n");
}

}  // namespace
}  // namespace tesvar::sim
