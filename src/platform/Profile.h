#pragma once
// The three profile (INI file) operations. Section, key and value texts are in the
// system's ANSI code page, as the ANSI forms take them; the path is wide, so that a
// program folder named with characters the code page cannot hold is reached too.
#include <cstdint>
#include <string>

namespace tesvar::platform {

class ProfileServices {
public:
    virtual ~ProfileServices() = default;
    // GetPrivateProfileStringA: fills buffer (resized to bufferSize bytes) with the value
    // or the default, cut to bufferSize - 1 bytes and a zero byte; returns the count of
    // bytes placed, the zero byte not counted.
    virtual std::uint32_t GetString(const std::string& section, const std::string& key,
                                    const std::string& defaultValue, std::string& buffer,
                                    std::uint32_t bufferSize, const std::wstring& path) = 0;
    // WritePrivateProfileStringA: true when the value was stored.
    virtual bool WriteString(const std::string& section, const std::string& key,
                             const std::string& value, const std::wstring& path) = 0;
    // GetPrivateProfileIntA.
    virtual std::uint32_t GetInt(const std::string& section, const std::string& key,
                                 std::int32_t defaultValue, const std::wstring& path) = 0;
};

}  // namespace tesvar::platform
