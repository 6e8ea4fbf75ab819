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
        if (f) f.openForDpi = FindFunction<decltype(f.openForDpi)>(theme, "OpenThemeDataForDpi");
        return f;
    }();
    return functions;
}

bool NonClientMetricsAt(int dpi, int systemDpi, NONCLIENTMETRICSW& metrics) noexcept {
    metrics = {};
    metrics.cbSize = sizeof metrics;
    if (dpi != systemDpi) {
        using ForDpiFn = BOOL(WINAPI*)(UINT, UINT, void*, UINT, UINT);
        static const auto forDpi =
            FindFunction<ForDpiFn>(::GetModuleHandleW(L"user32.dll"), "SystemParametersInfoForDpi");
        if (forDpi && forDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, static_cast<UINT>(dpi)))
            return true;
    }
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return false;
    if (dpi != systemDpi) {
        for (LOGFONTW* font : {&metrics.lfCaptionFont, &metrics.lfSmCaptionFont, &metrics.lfMenuFont,
                               &metrics.lfStatusFont, &metrics.lfMessageFont})
            font->lfHeight = ::MulDiv(font->lfHeight, dpi, systemDpi);
    }
    return true;
}

}  // namespace tesvar::app::win32
