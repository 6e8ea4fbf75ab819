#include "app/win32/Startup.h"

#include <windows.h>

namespace tesvar::app::win32 {

bool RestrictDllSearch() noexcept {
    // Looked up rather than imported, so that the program still starts on a system
    // that lacks it.
    using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
    const HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
    const auto address = kernel ? ::GetProcAddress(kernel, "SetDefaultDllDirectories") : nullptr;
    bool restricted = false;
    if (address) {
        // GetProcAddress hands every function as FARPROC; this one takes a DWORD.
        const auto setDefault = reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void (*)()>(address));
        restricted = setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32) != FALSE;
    }
    ::SetDllDirectoryW(L"");  // takes the current folder out of the search path
    return restricted;
}

}  // namespace tesvar::app::win32
