#pragma once
// Named text values in one profile (INI) file, through the platform's ANSI profile
// operations. Holds the path and nothing else.
#include <cstdint>
#include <string>

#include "platform/FileServices.h"
#include "platform/Profile.h"

namespace tesvar::settings {

class clsIniFile {
public:
    clsIniFile(platform::ProfileServices& profile, platform::AnsiCodePage& ansi) : profile_(profile), ansi_(ansi) {}

    void pFileName(std::wstring strNewFileName);
    std::wstring pFileName() const;
    // True when the platform reports the value stored.
    bool mSetString(std::wstring strSection, std::wstring strKey, std::wstring strValue);
    // The stored value, or strDefault when there is none or it is empty.
    std::wstring mGetString(std::wstring strSection, std::wstring strKey, std::wstring strDefault = L"");
    // Throws platform::Error (overflow) when the value does not fit 16 bits.
    std::int16_t mGetInteger(std::wstring strSection, std::wstring strKey, std::int16_t intDefault = 0);

private:
    platform::ProfileServices& profile_;
    platform::AnsiCodePage& ansi_;
    std::wstring fileName_;
};

}  // namespace tesvar::settings
