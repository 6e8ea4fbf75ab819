#include "app/win32/SystemDlls.h"

#include <commctrl.h>

#include <string>

namespace tesvar::app::win32 {

HMODULE LoadSystemDll(const wchar_t* name) noexcept {
    if (const HMODULE module = ::LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return module;
    // A system without the restricted search refuses the flag: the system folder by
    // its full path then.
    if (::GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
    wchar_t folder[MAX_PATH];
    const UINT n = ::GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return nullptr;
    try {
        return ::LoadLibraryW((std::wstring(folder, n) + L"\\" + name).c_str());
    } catch (...) {
        return nullptr;
    }
}

bool LoadCommonControls() noexcept {
    using InitFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    const auto init = FindFunction<InitFn>(LoadSystemDll(L"comctl32.dll"), "InitCommonControlsEx");
    if (!init) return false;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    return init(&controls) != FALSE;
}

const ThemeFunctions& ThemeFunctions::Get() noexcept {
    static const ThemeFunctions functions = [] {
        ThemeFunctions f;
        const HMODULE theme = LoadSystemDll(L"uxtheme.dll");
        f.open = FindFunction<decltype(f.open)>(theme, "OpenThemeData");
        f.close = FindFunction<decltype(f.close)>(theme, "CloseThemeData");
        f.partSize = FindFunction<decltype(f.partSize)>(theme, "GetThemePartSize");
        f.background = FindFunction<decltype(f.background)>(theme, "DrawThemeBackground");
        if (!f) f = ThemeFunctions{};
        return f;
    }();
    return functions;
}

}  // namespace tesvar::app::win32
