#include "platform/win32/Win32Error.h"

#include "platform/Text.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::platform::win32 {

std::wstring FormatMessageText(std::int32_t number) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(number), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    ScopedLocal owner(buffer);  // FormatMessageW allocated it with LocalAlloc
    if (length == 0 || buffer == nullptr) return L"エラー " + Decimal(number);
    std::wstring text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' ')) text.pop_back();
    return text;
}

void ThrowError(DWORD number) {
    // A call that failed without setting an error still failed: 0 would read as
    // "no error" to the release run.
    if (number == ERROR_SUCCESS) number = ERROR_INTERNAL_ERROR;
    const auto n = static_cast<std::int32_t>(number);
    throw Error(n, FormatMessageText(n));
}

}  // namespace tesvar::platform::win32
