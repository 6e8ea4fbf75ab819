#include "app/win32/Startup.h"

#include <windows.h>
#include <shellapi.h>

#include "app/win32/SystemDlls.h"
#include "platform/Text.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

bool RestrictDllSearch() noexcept {
    // Looked up rather than imported, so that the program still starts on a system
    // that lacks it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const auto setDefault = FindFunction<SetDefaultDllDirectoriesFn>(::GetModuleHandleW(L"kernel32.dll"),
                                                                     "SetDefaultDllDirectories");
    const bool restricted = setDefault && setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search path
    return restricted;
}

std::vector<std::wstring> CommandLinePaths(const wchar_t* commandLine) {
    std::vector<std::wstring> paths;
    int count = 0;
    // The shell quotes what it hands over; CommandLineToArgvW takes the quotes off.
    const platform::win32::ScopedLocal owner(::CommandLineToArgvW(commandLine, &count));
    const auto* arguments = static_cast<wchar_t**>(owner.get());
    if (!arguments || count < 2) return paths;
    std::wstring current(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
        if (n < current.size()) {
            current.resize(n);
            break;
        }
        current.resize(n);
    }
    for (int i = 1; i < count; ++i) {
        if (arguments[i][0] != L'\0') paths.push_back(platform::AbsolutePath(arguments[i], current));
    }
    return paths;
}

}  // namespace tesvar::app::win32
