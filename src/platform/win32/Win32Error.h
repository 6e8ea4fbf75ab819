#pragma once
// The adapter edge: BOOL + GetLastError become platform::Error with FormatMessageW text.
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/Error.h"

namespace tesvar::platform::win32 {

// The system's message text for an error number, trailing line break removed.
std::wstring FormatMessageText(std::int32_t number);

// Throws the error; 0 (a failure that set no error) becomes ERROR_INTERNAL_ERROR.
[[noreturn]] void ThrowError(DWORD number);
[[noreturn]] inline void ThrowLastError() { ThrowError(::GetLastError()); }

}  // namespace tesvar::platform::win32
