#include "platform/win32/Win32Profile.h"

#include <windows.h>

#include <vector>

#include "platform/win32/Win32FileServices.h"

namespace tesvar::platform::win32 {
namespace {

// The ANSI forms take the path in the code page too: a folder named with characters it
// cannot hold (a user's name in Korean, "Café") would turn into "?" and the profile
// never be found. The wide forms take the path as it is and read and write an ANSI file
// as ANSI (a new one is made ANSI); the texts go through the code page here exactly as
// the ANSI forms pass them on to the wide ones.
std::wstring Wide(const std::string& ansi) {
    // Up to a zero byte, as the ANSI forms read their texts.
    return Win32Ansi().FromAnsi(std::string_view(ansi).substr(0, ansi.find('\0')));
}

}  // namespace

std::uint32_t Win32Profile::GetString(const std::string& section, const std::string& key,
                                      const std::string& defaultValue, std::string& buffer, std::uint32_t bufferSize,
                                      const std::wstring& path) {
    // Zero-filled, so that bytes the call reports but does not place (it does so when
    // a double-byte character does not fit the end of the buffer) read as zero.
    buffer.assign(bufferSize, '\0');
    if (bufferSize == 0) return 0;
    std::vector<wchar_t> wide(bufferSize, L'\0');
    const DWORD placed = ::GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(),
                                                    Wide(defaultValue).c_str(), wide.data(), bufferSize, path.c_str());
    // The characters into the buffer in the code page, with room for the zero byte;
    // what does not fit counts as a full buffer (a double-byte character that does not
    // fit at its end leaves its place empty).
    int bytes = 0;
    if (placed > 0) {
        bytes = ::WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(placed), buffer.data(),
                                      static_cast<int>(bufferSize) - 1, nullptr, nullptr);
        if (bytes == 0) bytes = static_cast<int>(bufferSize) - 1;
    }
    buffer[static_cast<std::size_t>(bytes)] = '\0';
    return static_cast<std::uint32_t>(bytes);
}

bool Win32Profile::WriteString(const std::string& section, const std::string& key, const std::string& value,
                               const std::wstring& path) {
    return ::WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                        path.c_str()) != FALSE;
}

std::uint32_t Win32Profile::GetInt(const std::string& section, const std::string& key, std::int32_t defaultValue,
                                   const std::wstring& path) {
    return ::GetPrivateProfileIntW(Wide(section).c_str(), Wide(key).c_str(), defaultValue, path.c_str());
}

}  // namespace tesvar::platform::win32
