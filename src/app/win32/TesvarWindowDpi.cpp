// The window on screens of different scales: its controls, fonts and minimum laid out
// at the DPI of the screen it is on, while its place and size keep the twips of the
// system's DPI, which the profile stores.
#include "app/win32/TesvarWindow.h"

#include <cmath>

#include "app/win32/SystemDlls.h"

namespace tesvar::app::win32 {

bool TesvarWindow::MessageFont(int dpi, int systemDpi, LOGFONTW& font) noexcept {
    NONCLIENTMETRICSW metrics{};
    if (!NonClientMetricsAt(dpi, systemDpi, metrics)) return false;
    font = metrics.lfMessageFont;
    return true;
}

RECT TesvarWindow::DesignOuter(int dpi) const {
    const float tpp = 1440.0f / static_cast<float>(dpi);
    const auto px = [tpp](int twips) {
        return static_cast<LONG>(std::lround(static_cast<double>(twips) / static_cast<double>(tpp)));
    };
    RECT outer{0, 0, px(kDesignClientWidth), px(kDesignClientHeight)};
    using AdjustFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);
    static const auto adjustForDpi = FindFunction<AdjustFn>(::GetModuleHandleW(L"user32.dll"), "AdjustWindowRectExForDpi");
    // The frame of another DPI than the system's, where the system can tell it.
    if (dpi == systemDpi_ || !adjustForDpi ||
        !adjustForDpi(&outer, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(dpi)))
        ::AdjustWindowRectEx(&outer, kWindowStyle, FALSE, kWindowExStyle);
    return outer;
}

void TesvarWindow::AdoptWindowDpi() {
    using DpiFn = UINT(WINAPI*)(HWND);
    static const auto dpiForWindow = FindFunction<DpiFn>(::GetModuleHandleW(L"user32.dll"), "GetDpiForWindow");
    const int dpi = dpiForWindow ? static_cast<int>(dpiForWindow(Hwnd())) : 0;
    if (dpi <= 0 || dpi == dpi_) return;
    // Placed by the system on a screen of another scale: the design client area there.
    dpi_ = dpi;
    const RECT outer = DesignOuter(dpi_);
    ::SetWindowPos(Hwnd(), nullptr, 0, 0, outer.right - outer.left, outer.bottom - outer.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TesvarWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    if (dpi <= 0 || !strip_) return;
    dpi_ = dpi;
    ApplyUiFont();
    list_.SetDpi(dpi_);
    // The strip and its controls at their twips; the list follows by the resize rule.
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& c = kControls[i];
        if (c.kind == Kind::List) continue;
        const int height = LayoutPixels(static_cast<float>(c.height));
        if (c.kind == Kind::Strip) {
            ::SetWindowPos(controls_[i], nullptr, 0, 0, LayoutPixels(static_cast<float>(c.width)), height,
                           SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
            continue;
        }
        ::SetWindowPos(controls_[i], nullptr, LayoutPixels(static_cast<float>(c.left)),
                       LayoutPixels(static_cast<float>(c.top)), LayoutPixels(static_cast<float>(c.width)), height,
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // The size the window opens with on such a screen is its minimum there; set before
    // the suggested size is taken, which the minimum would otherwise bound.
    const RECT outer = DesignOuter(dpi_);
    form_.SetMinimumSize(Twips(outer.right - outer.left), Twips(outer.bottom - outer.top));
    if (WindowState() == platform::window_state::Normal) {
        ::SetWindowPos(Hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                       suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    // Laid out even where the size stayed (no WM_SIZE then).
    OnSize(::IsIconic(Hwnd()) ? SIZE_MINIMIZED : SIZE_RESTORED);
    ::InvalidateRect(Hwnd(), nullptr, TRUE);
}

}  // namespace tesvar::app::win32
