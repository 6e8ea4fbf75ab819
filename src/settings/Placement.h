#pragma once
// The main window's position and size, kept in Tesvar.ini beside the program.
#include <cstdint>
#include <string>
#include <string_view>

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
// Stores the four values unless the window is minimised or maximised. A value the
// platform refuses to store does not stop the ones after it.
void mSaveSettings(SettingsServices services);

// The text a placement value is stored as: a whole number as plain digits with "-"
// when negative; a fraction with "." and the fewest digits that read back as the same
// single-precision number. Never an exponent.
std::wstring ValueText(float twips);
// A stored text as whole twips: a decimal number (blanks around it, a sign, a fraction
// and an exponent allowed), rounded to the nearest whole number and a half to the even
// one, exactly on the decimal digits. Throws platform::Error: kTypeMismatch for text
// that is not such a number, kOverflow outside the 32-bit range. (32 bits, not 16: a
// window closed on a second monitor right of or below a wide main one lies beyond
// 32,767 twips.)
std::int32_t ToTwips(std::wstring_view text);

}  // namespace tesvar::settings
