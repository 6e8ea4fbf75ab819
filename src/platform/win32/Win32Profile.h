#pragma once
// The profile operations of kernel32: the wide forms, given and giving texts in the ANSI
// code page as the ANSI forms would.
#include "platform/Profile.h"

namespace tesvar::platform::win32 {

class Win32Profile : public ProfileServices {
public:
    std::uint32_t GetString(const std::string& section, const std::string& key, const std::string& defaultValue,
                            std::string& buffer, std::uint32_t bufferSize, const std::wstring& path) override;
    bool WriteString(const std::string& section, const std::string& key, const std::string& value,
                     const std::wstring& path) override;
    std::uint32_t GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                         const std::wstring& path) override;
};

}  // namespace tesvar::platform::win32
