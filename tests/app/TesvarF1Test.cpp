// The main window's own logic on the simulated window: load, resize rule, Clear,
// close handling, and how Start and drops are handed on.
#include <gtest/gtest.h>

#include "app/TesvarF1.h"
#include "collect/DropIntake.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimProfile.h"
#include "sim/SimUi.h"

namespace tesvar::app {
namespace {

namespace msgbox = platform::msgbox;

class TesvarF1Test : public ::testing::Test {
protected:
    TesvarF1Test() {
        fs.AddFolder(fs.ProgramFolder());
        // The real window runs the resize rule whenever its size changes.
        ui.onResize = [this] { form.Form_Resize(); };
    }
    std::wstring Ini() { return fs.ProgramFolder() + L"\\Tesvar.ini"; }

    sim::SimFileSystem fs;
    sim::SimAnsi ansi;
    sim::SimProfile profile{fs};
    sim::SimUi ui;
    TesvarF1 form{{fs, fs, ansi, profile, ui, ui, ui}, {0, 3, 6}};
};

TEST(Title, IsTheLiteralAndTheUnpaddedVersion) {
    EXPECT_EQ(Title({0, 3, 6}), L"Tesvar   Ver. 0.3.6");
    EXPECT_EQ(Title({1, 10, 0}), L"Tesvar   Ver. 1.10.0");
}

TEST_F(TesvarF1Test, FirstStartWithoutProfileSetsTheInitialState) {
    ui.width = 4380.5f;  // half a twip rounds to the even neighbour
    ui.height = 4951.5f;
    ui.filterText = L"leftover";
    ui.Add(L"C:\\old", true);
    form.Form_Load();
    EXPECT_EQ(ui.caption, L"Tesvar   Ver. 0.3.6");
    EXPECT_EQ(form.lngMinWidth(), 4380);
    EXPECT_EQ(form.lngMinHeight(), 4952);
    EXPECT_TRUE(ui.entries.empty());
    EXPECT_EQ(ui.filterText, L"*.*");
    EXPECT_EQ(ui.statusCaption, L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい");
    EXPECT_EQ(ui.readOnlySwitch, 1);
    EXPECT_FALSE(fs.Exists(Ini())) << "loading must not create the profile";
}

TEST_F(TesvarF1Test, MinimumComesFromTheCreatedSizeNotFromTheProfile) {
    fs.AddFile(Ini(), 32, "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=3000\r\nMainHeight=6000\r\n");
    ui.width = 4380;
    ui.height = 4950;
    form.Form_Load();
    EXPECT_EQ(ui.left, 1200);
    EXPECT_EQ(ui.top, 900);
    EXPECT_EQ(ui.width, 4380) << "a stored size never makes the window smaller";
    EXPECT_EQ(ui.height, 6000);
}

TEST_F(TesvarF1Test, ResizeRuleLaysOutTheListAndHoldsTheMinimum) {
    form.Form_Load();
    form.Form_Resize();
    EXPECT_EQ(ui.listWidth, 4170);
    EXPECT_EQ(ui.listHeight, 2855);
    // Below the minimum width: springs back; the new height stays.
    ui.SetHeight(6000);
    ui.SetWidth(3000);
    EXPECT_EQ(ui.width, 4380);
    EXPECT_EQ(ui.height, 6000);
    EXPECT_EQ(ui.listHeight, ui.scaleHeight - 1525);
    // Exactly the minimum stays.
    ui.SetHeight(4950);
    EXPECT_EQ(ui.height, 4950);
    ui.SetHeight(100);
    EXPECT_EQ(ui.height, 4950);
    EXPECT_EQ(ui.width, 4380);
    EXPECT_EQ(ui.listWidth, 4170);
    EXPECT_EQ(ui.listHeight, 2855);
}

TEST_F(TesvarF1Test, MinimisedWindowKeepsItsLayoutUntilRestored) {
    form.Form_Load();
    form.Form_Resize();
    ui.windowState = platform::window_state::Minimized;
    ui.width = 2000;
    ui.scaleWidth = 0;
    ui.scaleHeight = 0;
    form.Form_Resize();  // size refused, negative list height refused: nothing changes
    EXPECT_EQ(ui.listHeight, 2855);
    ui.windowState = platform::window_state::Normal;
    ui.width = 4380;
    ui.scaleWidth = 4170;
    ui.scaleHeight = 4380;
    form.Form_Resize();
    EXPECT_EQ(ui.listWidth, 4170);
    EXPECT_EQ(ui.listHeight, 2855);
}

TEST_F(TesvarF1Test, ClearPutsBackListFilterSwitchAndCaption) {
    form.Form_Load();
    ui.Add(L"C:\\x", true);
    ui.filterText = L"*.txt";
    ui.readOnlySwitch = 0;
    ui.statusCaption = L"ReadOnly ( 1 ) / File ( 1 )";
    form.BtnClear_Click();
    EXPECT_TRUE(ui.entries.empty());
    EXPECT_EQ(ui.filterText, L"*.*");
    EXPECT_EQ(ui.readOnlySwitch, 1);
    EXPECT_EQ(ui.statusCaption, collect::kDropPrompt);
}

TEST_F(TesvarF1Test, DropsAreRefusedWhileARunIsInProgress) {
    form.Form_Load();
    fs.AddFile(L"C:\\d\\a.txt", 33).AddFile(L"C:\\e\\b.txt", 33);
    EXPECT_EQ(form.List1_OLEDragOver(true), 1);
    EXPECT_EQ(form.List1_OLEDragOver(false), 0);
    form.List1_OLEDragDrop({L"C:\\d"});
    ASSERT_EQ(ui.entries.size(), 1u);
    std::int32_t effectDuringRun = -1;
    ui.onYield = [&](int) {
        effectDuringRun = form.List1_OLEDragOver(true);
        form.List1_OLEDragDrop({L"C:\\e"});
        return true;
    };
    ui.Answer({msgbox::Yes, msgbox::Ok});
    EXPECT_TRUE(form.BtnStart_Click());
    EXPECT_EQ(effectDuringRun, 0);
    ASSERT_EQ(ui.entries.size(), 1u);
    EXPECT_EQ(ui.entries[0].text, L"C:\\d\\a.txt");
    EXPECT_FALSE(form.RunInProgress());
    EXPECT_EQ(form.List1_OLEDragOver(true), 1);
}

TEST_F(TesvarF1Test, CloseStoresThePlacementInNormalStateOnly) {
    form.Form_Load();
    ui.left = 1200;
    ui.top = 900;
    ui.width = 4500;
    ui.height = 5100;
    form.Form_QueryUnload();
    EXPECT_EQ(fs.Content(Ini()), "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
    ui.windowState = platform::window_state::Maximized;
    ui.left = 0;
    form.Form_QueryUnload();
    EXPECT_EQ(fs.Content(Ini()), "[Settings]\r\nMainLeft=1200\r\nMainTop=900\r\nMainWidth=4500\r\nMainHeight=5100\r\n");
}

TEST_F(TesvarF1Test, CloseNeverFailsWhenTheProfileCannotBeWritten) {
    form.Form_Load();
    fs.SetWritable(fs.ProgramFolder(), false);
    EXPECT_NO_THROW(form.Form_QueryUnload());
    EXPECT_FALSE(fs.Exists(Ini()));
}

}  // namespace
}  // namespace tesvar::app
