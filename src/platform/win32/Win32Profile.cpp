#include "platform/win32/Win32Profile.h"

#include <windows.h>

namespace tesvar::platform::win32 {

std::uint32_t Win32Profile::GetString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue, std::string& buffer, std::uint32_t bufferSize,
                                      const std::string& path) {
    // Zero-filled, so that bytes the call reports but does not place (it does so when
    // a double-byte character does not fit the end of the buffer) read as zero.
    buffer.assign(bufferSize, '\0');
    if (bufferSize == 0) return 0;
    return ::GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(), buffer.data(), bufferSize,
                                      path.c_str());
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value,
                               const std::string& path) {
    return ::WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

std::uint32_t Win32Profile::GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                                   const std::string& path) {
    return ::GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, path.c_str());
}

}  // namespace tesvar::platform::win32
