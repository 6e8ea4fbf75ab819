#include "app/win32/Startup.h"

#include <windows.h>

#include "app/win32/SystemDlls.h"
#include "platform/Text.h"

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

std::vector<std::wstring> CommandLinePaths() {
    // Not CommandLineToArgvW: it reads \" as an escaped quote, so "C:\" "D:\a b.txt"
    // would become one argument split again at its spaces, naming files nobody named.
    return platform::CommandLineArguments(::GetCommandLineW());
}

std::wstring CurrentFolder() {
    std::wstring current(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
        if (n < current.size()) {
            current.resize(n);
            return current;
        }
        current.resize(n);
    }
}

}  // namespace tesvar::app::win32
