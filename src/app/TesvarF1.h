#pragma once
// The main window's own logic: load handling, resize rule, Clear, close handling, and
// the hand-off of Start and drops to the subsystems that do the work. The Win32 window
// (and the simulated one in tests) calls these handlers.
#include <cstdint>
#include <string>
#include <vector>

#include "collect/DropIntake.h"
#include "collect/modMain.h"
#include "platform/FileServices.h"
#include "platform/Profile.h"
#include "platform/Ui.h"
#include "release/ReleaseRun.h"

namespace tesvar::app {

struct AppServices {
    platform::FileServices& files;
    platform::TextOutput& out;
    platform::AnsiCodePage& ansi;
    platform::ProfileServices& profile;
    platform::TargetList& list;
    platform::MainWindow& window;
    platform::MessageBoxes& boxes;
};

struct Version {
    int major;
    int minor;
    int revision;
};

// "Tesvar   Ver. " and major.minor.revision, unpadded.
std::wstring Title(Version version);

inline constexpr float kListGap = 40;  // twips between the list and the strip

class TesvarF1 {
public:
    TesvarF1(AppServices services, Version version);

    void Form_Load();
    void Form_Resize();
    void BtnClear_Click();
    // False when the program is ending (closed during the run).
    bool BtnStart_Click();
    // Stores the placement; the caller then ends the program. Never refuses.
    void Form_QueryUnload();
    // Copy for a file list, none otherwise, and none while a run is in progress.
    std::int32_t List1_OLEDragOver(bool carriesFileList) const;
    // A drop while a run is in progress changes nothing and is not taken (false).
    bool List1_OLEDragDrop(const std::vector<std::wstring>& paths);

    bool RunInProgress() const { return run_.InProgress(); }
    std::int32_t lngMinWidth() const { return lngMinWidth_; }
    std::int32_t lngMinHeight() const { return lngMinHeight_; }
    // The window went to a screen of another scale: the size it opens with there (in
    // the window's twips) is its minimum from now on.
    void SetMinimumSize(float width, float height);

private:
    AppServices s_;
    Version version_;
    collect::modMain module_;
    collect::DropIntake drop_;
    release::ReleaseRun run_;
    std::int32_t lngMinWidth_ = 0;
    std::int32_t lngMinHeight_ = 0;
};

}  // namespace tesvar::app
