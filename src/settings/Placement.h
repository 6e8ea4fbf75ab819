#pragma once
// The main window's position and size, kept in Tesvar.ini beside the program.
#include "platform/FileServices.h"
#include "platform/Profile.h"
#include "platform/Ui.h"

namespace tesvar::settings {

inline constexpr const wchar_t* kProfileFileName = L"Tesvar.ini";
inline constexpr const wchar_t* kSection = L"Settings";

struct SettingsServices {
    platform::FileServices& files;  // program folder and error texts
    platform::ProfileServices& profile;
    platform::AnsiCodePage& ansi;
    platform::MainWindow& window;
};

// Restores Left, Top, Width and Height in that order. Throws platform::Error (type
// mismatch or overflow) at the first value that cannot be used; the keys before it
// stay restored.
void mLoadSettings(SettingsServices services);
// Stores the four values unless the window is minimised or maximised.
void mSaveSettings(SettingsServices services);

}  // namespace tesvar::settings
