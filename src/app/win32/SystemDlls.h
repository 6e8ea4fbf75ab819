#pragma once
// DLLs that are not among the system's known DLLs (the common controls, UxTheme) are
// never imported: Windows would look for them in the program's folder before the
// program's first line runs, and a DLL of that name lying in a Downloads folder would
// run with the user's rights. They are loaded once the search is restricted, from the
// system only, and their functions are found by name.
#include <windows.h>
#include <uxtheme.h>

namespace tesvar::app::win32 {

// Loads a DLL from the system only: the side-by-side store where the manifest names
// one, else the system folder. Null when it cannot be loaded.
HMODULE LoadSystemDll(const wchar_t* name) noexcept;

// A function of a loaded DLL found by its name, as the type it has (GetProcAddress
// hands every one as FARPROC); null when the DLL or the function is missing.
template <class Function>
Function FindFunction(HMODULE module, const char* name) noexcept {
    const FARPROC address = module ? ::GetProcAddress(module, name) : nullptr;
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(address));
}

// The common controls (version 6, as the manifest asks) with the classes the window
// uses beyond the standard ones (the tooltip). False when they cannot be loaded.
bool LoadCommonControls() noexcept;

// The UxTheme functions the list's check box is drawn with; all null where UxTheme
// cannot be loaded, and the check box is then drawn the classic way.
struct ThemeFunctions {
    decltype(&::OpenThemeData) open = nullptr;
    decltype(&::CloseThemeData) close = nullptr;
    decltype(&::GetThemePartSize) partSize = nullptr;
    decltype(&::DrawThemeBackground) background = nullptr;
    // Windows 10 1703 and later only; null before.
    decltype(&::OpenThemeDataForDpi) openForDpi = nullptr;

    explicit operator bool() const noexcept { return open && close && partSize && background; }
    // Loaded at the first call.
    static const ThemeFunctions& Get() noexcept;
};

// The system's metrics (its fonts) at a DPI, as a screen of that scale shows them:
// scaled from the system DPI's where the system cannot tell them for a DPI.
bool NonClientMetricsAt(int dpi, int systemDpi, NONCLIENTMETRICSW& metrics) noexcept;

}  // namespace tesvar::app::win32
