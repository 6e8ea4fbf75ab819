// The placement procedures on the simulated window over the simulated profile.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/Error.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimProfile.h"
#include "sim/SimUi.h"
#include "settings/Placement.h"
#include "settings/SettingsError.h"

namespace tesvar::settings {
namespace {

namespace window_state = platform::window_state;

// --- the procedures ---

struct Place {
    float left, top, width, height;
    bool operator==(const Place&) const = default;
};

class PlacementTest : public ::testing::Test {
protected:
    PlacementTest() {
        fs.AddFolder(fs.ProgramFolder());
        Put({100, 200, 4380, 4950});
    }
    void Put(const Place& place) {
        ui.left = place.left;
        ui.top = place.top;
        ui.width = place.width;
        ui.height = place.height;
    }
    std::wstring Ini() const { return L"C:\\Program Files\\Tesvar\\Tesvar.ini"; }
    SettingsServices Services() { return {fs, profile, ansi, ui}; }
    // Runs the load; the number of the error that ended it, or 0.
    std::int32_t Load() {
        try {
            mLoadSettings(Services());
        } catch (const platform::Error& e) {
            return e.Number();
        }
        return 0;
    }
    Place Now() const { return {ui.left, ui.top, ui.width, ui.height}; }

    sim::SimFileSystem fs;
    sim::SimAnsi ansi;
    sim::SimProfile profile{fs};
    sim::SimUi ui;
};

struct LoadCase {
    const char* name;
    std::optional<std::string> file;
    float left, top, width, height;  // after the load
    std::int32_t error;
};

class PlacementLoad : public PlacementTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(PlacementLoad, RestoresInOrderUpToTheFirstFailure) {
    const LoadCase& c = GetParam();
    if (c.file) fs.AddFile(Ini(), platform::attr::Archive, *c.file);
    EXPECT_EQ(Load(), c.error);
    EXPECT_EQ(ui.left, c.left);
    EXPECT_EQ(ui.top, c.top);
    EXPECT_EQ(ui.width, c.width);
    EXPECT_EQ(ui.height, c.height);
    EXPECT_EQ(fs.Exists(Ini()), c.file.has_value()) << "loading creates nothing";
    if (c.file) {
        EXPECT_EQ(fs.Content(Ini()), *c.file);
    }
}

const std::string kHead = "[Settings]\r\n";

INSTANTIATE_TEST_SUITE_P(Cases, PlacementLoad, ::testing::Values(
    LoadCase{"MissingFile", std::nullopt, 100, 200, 4380, 4950, 0},
    LoadCase{"AllFour", kHead + "MainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n", 1200, 900,
             4500, 5100, 0},
    LoadCase{"MainTopLetters", kHead + "MainLeft=1200\r\nMainTop=abc\r\nMainWidth=4500\r\nMainHeight=5100\r\n", 1200,
             200, 4380, 4950, kTypeMismatch},
    LoadCase{"MainLeftBeyond16Bits", kHead + "MainLeft=36000\r\nMainTop=-40000\r\n", 36000, -40000, 4380, 4950, 0},
    LoadCase{"MainWidthBeyond32Bits", kHead + "MainLeft=1200\r\nMainTop=900\r\nMainWidth=3000000000\r\nMainHeight=5100\r\n",
             1200, 900, 4380, 4950, kOverflow},
    LoadCase{"NegativeLeft", kHead + "MainLeft=-300\r\nMainTop=-15\r\n", -300, -15, 4380, 4950, 0},
    LoadCase{"FractionsHalfToEven",
             kHead + "MainLeft=1440.5\r\nMainTop=1441.5\r\nMainWidth=4500.4\r\nMainHeight=5100.6\r\n", 1440, 1442,
             4500, 5101, 0},
    LoadCase{"LowerCaseNames", "[settings]\r\nmainleft=1200\r\nmaintop=900\r\nmainwidth=4500\r\nmainheight=5100\r\n",
             1200, 900, 4500, 5100, 0},
    LoadCase{"MissingAndEmptyKeysKeepTheirValue", kHead + "MainTop=\r\nMainHeight=6000\r\n", 100, 200, 4380, 6000, 0},
    LoadCase{"OtherSectionsIgnored", "[Other]\r\nMainLeft=1\r\n" + kHead + "MainTop=2\r\n", 100, 2, 4380, 4950, 0},
    LoadCase{"FirstKeyFails", kHead + "MainLeft=x\r\nMainTop=900\r\n", 100, 200, 4380, 4950, kTypeMismatch},
    LoadCase{"LastKeyOverflows", kHead + "MainLeft=1\r\nMainTop=2\r\nMainWidth=4500\r\nMainHeight=-3000000000\r\n", 1, 2,
             4500, 4950, kOverflow}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(PlacementTest, LoadRoundsTheCurrentValueWhenAKeyIsMissing) {
    ui.left = 100.5f;
    ui.top = 201.5f;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(ui.left, 100);
    EXPECT_EQ(ui.top, 202);
}

TEST_F(PlacementTest, LoadStopsWhereTheWindowRefusesAValue) {
    fs.AddFile(Ini(), platform::attr::Archive, kHead + "MainLeft=1200\r\n");
    ui.windowState = window_state::Minimized;
    EXPECT_EQ(Load(), platform::win_error::InvalidParameter);
    EXPECT_EQ(Now(), (Place{100, 200, 4380, 4950}));
}

TEST_F(PlacementTest, LoadedSizeGoesThroughTheResizeRule) {
    fs.AddFile(Ini(), platform::attr::Archive, kHead + "MainWidth=3000\r\nMainHeight=6000\r\n");
    // The window's rule: never below the size it was created with.
    ui.onResize = [this] {
        if (ui.width < 4380) ui.width = 4380;
        if (ui.height < 4950) ui.height = 4950;
    };
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(ui.width, 4380);
    EXPECT_EQ(ui.height, 6000);
}

TEST_F(PlacementTest, SaveWritesTheFiveLinesAndUpdatesThemInPlace) {
    Put({1200, 900, 4500, 5100});
    mSaveSettings(Services());
    EXPECT_EQ(fs.Content(Ini()), kHead + "MainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
    ui.left = -300;
    ui.top = 12.5f;
    mSaveSettings(Services());
    EXPECT_EQ(fs.Content(Ini()), kHead + "MainLeft=-300\r\nMainTop=12.5\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
}

TEST_F(PlacementTest, SaveKeepsWhatElseTheFileHolds) {
    fs.AddFile(Ini(), platform::attr::Archive,
               "; mine\r\n[Other]\r\nx=1\r\n\r\n[settings]\r\nmaintop=5\r\n\r\n[Last]\r\ny=2\r\n");
    mSaveSettings(Services());
    EXPECT_EQ(fs.Content(Ini()),
              "; mine\r\n[Other]\r\nx=1\r\n\r\n[settings]\r\nmaintop=200\r\nMainLeft=100\r\nMainWidth=4380\r\n"
              "MainHeight=4950\r\n\r\n[Last]\r\ny=2\r\n");
}

TEST_F(PlacementTest, MinimisedOrMaximisedSaveLeavesTheFileAsItWas) {
    const std::string before = kHead + "MainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n";
    for (std::int32_t state : {window_state::Minimized, window_state::Maximized}) {
        ui.windowState = state;
        ui.left = 0;
        mSaveSettings(Services());
        EXPECT_FALSE(fs.Exists(Ini())) << state;
        fs.AddFile(Ini(), platform::attr::Archive, before);
        mSaveSettings(Services());
        EXPECT_EQ(fs.Content(Ini()), before) << state;
        fs.Remove(Ini());
    }
    EXPECT_EQ(profile.writes, 0);
    // The next start restores the last placement stored in normal state.
    fs.AddFile(Ini(), platform::attr::Archive, before);
    ui.windowState = window_state::Normal;
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(Now(), (Place{1200, 900, 4500, 5100}));
}

TEST_F(PlacementTest, RefusedWritesAreIgnoredAndEveryKeyIsTried) {
    fs.SetWritable(fs.ProgramFolder(), false);
    EXPECT_NO_THROW(mSaveSettings(Services()));
    EXPECT_EQ(profile.writes, 4);
    EXPECT_FALSE(fs.Exists(Ini()));
}

// Passes every call on, recording the paths, and refuses the first write when asked.
class RecordingProfile : public platform::ProfileServices {
public:
    RecordingProfile(platform::ProfileServices& inner, bool refuseFirstWrite)
        : inner_(inner), refuseFirstWrite_(refuseFirstWrite) {}
    std::uint32_t GetString(const std::string& s, const std::string& k, const std::string& d, std::string& buffer,
                            std::uint32_t size, const std::wstring& path) override {
        paths.push_back(path);
        return inner_.GetString(s, k, d, buffer, size, path);
    }
    bool WriteString(const std::string& s, const std::string& k, const std::string& v,
                     const std::wstring& path) override {
        paths.push_back(path);
        if (refuseFirstWrite_ && paths.size() == 1) return false;
        return inner_.WriteString(s, k, v, path);
    }
    std::uint32_t GetInt(const std::string& s, const std::string& k, std::int32_t d, const std::wstring& path) override {
        paths.push_back(path);
        return inner_.GetInt(s, k, d, path);
    }
    std::vector<std::wstring> paths;

private:
    platform::ProfileServices& inner_;
    bool refuseFirstWrite_;
};

TEST_F(PlacementTest, AFailedWriteDoesNotStopTheOnesAfterIt) {
    RecordingProfile refusing(profile, true);
    mSaveSettings({fs, refusing, ansi, ui});
    EXPECT_EQ(refusing.paths.size(), 4u);
    EXPECT_EQ(fs.Content(Ini()), kHead + "MainTop=200\r\nMainWidth=4380\r\nMainHeight=4950\r\n");
}

TEST_F(PlacementTest, ProfileNameIsAppendedToTheFolderAsItIs) {
    // At a drive root the folder already ends in "\": the path then holds two, and the
    // platform finds the file at the root all the same.
    fs.SetProgramFolder(L"C:\\");
    RecordingProfile recording(profile, false);
    mSaveSettings({fs, recording, ansi, ui});
    mLoadSettings({fs, recording, ansi, ui});
    ASSERT_EQ(recording.paths.size(), 8u);
    for (const auto& path : recording.paths) EXPECT_EQ(path, L"C:\\\\Tesvar.ini");
    EXPECT_EQ(fs.Content(L"C:\\Tesvar.ini"), kHead + "MainLeft=100\r\nMainTop=200\r\nMainWidth=4380\r\nMainHeight=4950\r\n");
}

TEST_F(PlacementTest, UndefinedNumbersAreNotStored) {
    ui.left = std::numeric_limits<float>::quiet_NaN();
    ui.width = std::numeric_limits<float>::infinity();
    mSaveSettings(Services());
    EXPECT_EQ(fs.Content(Ini()), kHead + "MainTop=200\r\nMainHeight=4950\r\n");
}

TEST_F(PlacementTest, SavedFractionsLoadRoundedToEven) {
    Put({1440.5f, 1441.5f, 4500.25f, 5100.75f});
    mSaveSettings(Services());
    EXPECT_EQ(fs.Content(Ini()),
              kHead + "MainLeft=1440.5\r\nMainTop=1441.5\r\nMainWidth=4500.25\r\nMainHeight=5100.75\r\n");
    EXPECT_EQ(Load(), 0);
    EXPECT_EQ(Now(), (Place{1440, 1442, 4500, 5101}));
}

}  // namespace
}  // namespace tesvar::settings
