#include "app/win32/TesvarWindow.h"

#include <algorithm>
#include <cmath>

#include "platform/win32/Win32Error.h"

// The main window's controls: created at their places in twips, their texts and
// values as the logic reads and sets them, and the window's placement and layout.
namespace tesvar::app::win32 {
namespace {

using platform::win32::ThrowError;
using platform::win32::ThrowLastError;

[[noreturn]] void Refuse() { ThrowError(ERROR_INVALID_PARAMETER); }

std::wstring TextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void SetText(HWND hwnd, const std::wstring& text) {
    if (!::SetWindowTextW(hwnd, text.c_str())) ThrowLastError();
}

// The strip Picture1: it passes its controls' notices on to the main window and draws
// a thin line between the list and itself.
LRESULT CALLBACK StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
        case WM_CTLCOLOREDIT:
            return ::SendMessageW(::GetParent(hwnd), message, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            const HDC dc = ::BeginPaint(hwnd, &ps);
            RECT r;
            ::GetClientRect(hwnd, &r);
            ::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace

void TesvarWindow::RegisterStripClass() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW strip{};
    strip.cbSize = sizeof strip;
    if (::GetClassInfoExW(instance, kStripClass, &strip)) return;
    strip = {};
    strip.cbSize = sizeof strip;
    strip.lpfnWndProc = &StripProc;
    strip.hInstance = instance;
    strip.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    strip.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    strip.lpszClassName = kStripClass;
    if (!::RegisterClassExW(&strip)) ThrowLastError();
}

int TesvarWindow::Pixels(float twips) const noexcept {
    return static_cast<int>(std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel_)));
}

int TesvarWindow::LayoutPixels(float twips) const noexcept {
    return static_cast<int>(std::lround(static_cast<double>(twips) / static_cast<double>(LayoutTwipsPerPixel())));
}

void TesvarWindow::CreateControls() {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& c = kControls[i];
        if (onCreateControl_) onCreateControl_(c.id);
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (c.kind) {
            case Kind::List:
                cls = L"LISTBOX";
                // A click flips one entry's selected flag; each entry shows its flag as
                // a check box, and the current entry as a highlighted line.
                style |= WS_TABSTOP | WS_VSCROLL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT | LBS_OWNERDRAWFIXED |
                         LBS_HASSTRINGS;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case Kind::Strip:
                cls = kStripClass;
                style |= WS_CLIPCHILDREN;
                break;
            case Kind::Label:
                style |= SS_LEFT | SS_NOPREFIX;
                break;
            case Kind::Edit:
                cls = L"EDIT";
                style |= WS_TABSTOP | ES_AUTOHSCROLL;
                exStyle = WS_EX_CLIENTEDGE;
                break;
            case Kind::Button:
                cls = L"BUTTON";
                style |= WS_TABSTOP | BS_PUSHBUTTON;
                break;
            case Kind::CheckBox:
                cls = L"BUTTON";
                style |= WS_TABSTOP | BS_AUTOCHECKBOX | BS_MULTILINE;
                break;
        }
        int top = LayoutPixels(static_cast<float>(c.top));
        int width = LayoutPixels(static_cast<float>(c.width));
        if (c.kind == Kind::Strip) {
            // Docked to the bottom edge at full client width.
            width = client.right;
            top = client.bottom - LayoutPixels(static_cast<float>(c.height));
        }
        const HWND control = ::CreateWindowExW(
            exStyle, cls, c.text, style, LayoutPixels(static_cast<float>(c.left)), top, width,
            LayoutPixels(static_cast<float>(c.height)), c.inStrip ? strip_ : Hwnd(),
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (!control) ThrowLastError();
        controls_[i] = control;
        if (c.kind == Kind::Strip) strip_ = control;
    }
}

void TesvarWindow::ApplyUiFont() {
    // Every control but the list uses the system's user-interface font.
    LOGFONTW message{};
    platform::win32::ScopedFont font;
    if (MessageFont(dpi_, systemDpi_, message)) font.reset(::CreateFontIndirectW(&message));
    const HFONT use = font ? font.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].kind != Kind::List && controls_[i])
            ::SendMessageW(controls_[i], WM_SETFONT, reinterpret_cast<WPARAM>(use), TRUE);
    }
    uiFont_ = std::move(font);  // the old font goes only once no control uses it
}

void TesvarWindow::KeepWithinReach() {
    // A stored placement from a monitor that is gone, or placed otherwise now, must
    // not open the window where the user cannot take hold of it: it is never larger
    // than the work area it lands on (the one it overlaps most; nor smaller than its
    // minimum), and lies wholly inside it.
    if (WindowState() != platform::window_state::Normal) return;
    const RECT r = WindowRect();
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT& work = info.rcWork;
    const int width = std::max<int>(std::min<int>(r.right - r.left, work.right - work.left),
                                    Pixels(static_cast<float>(form_.lngMinWidth())));
    const int height = std::max<int>(std::min<int>(r.bottom - r.top, work.bottom - work.top),
                                     Pixels(static_cast<float>(form_.lngMinHeight())));
    // A minimum larger than the work area keeps the caption's corner on it.
    const int x = std::clamp<int>(r.left, work.left, std::max<int>(work.left, work.right - width));
    const int y = std::clamp<int>(r.top, work.top, std::max<int>(work.top, work.bottom - height));
    if (x == r.left && y == r.top && width == r.right - r.left && height == r.bottom - r.top) return;
    ::SetWindowPos(Hwnd(), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TesvarWindow::LayoutStrip() {
    RECT client;
    ::GetClientRect(Hwnd(), &client);
    RECT strip;
    ::GetWindowRect(strip_, &strip);
    const int height = strip.bottom - strip.top;
    ::SetWindowPos(strip_, nullptr, 0, client.bottom - height, client.right, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TesvarWindow::OnSize(WPARAM kind) {
    if (!strip_) return;
    if (kind != SIZE_MINIMIZED) LayoutStrip();
    if (formReady_ && !ending_) form_.Form_Resize();
}

void TesvarWindow::OnGetMinMaxInfo(MINMAXINFO& info) const {
    // The size the window was created with is as small as it gets.
    if (form_.lngMinWidth() > 0) info.ptMinTrackSize.x = Pixels(static_cast<float>(form_.lngMinWidth()));
    if (form_.lngMinHeight() > 0) info.ptMinTrackSize.y = Pixels(static_cast<float>(form_.lngMinHeight()));
}

// --- texts and values ---

void TesvarWindow::SetCaption(const std::wstring& caption) { SetText(Hwnd(), caption); }
std::wstring TesvarWindow::FilterText() { return TextOf(Control(kTxtSelFileSts)); }
void TesvarWindow::SetFilterText(const std::wstring& text) { SetText(Control(kTxtSelFileSts), text); }

std::int32_t TesvarWindow::ReadOnlySwitch() {
    return ::SendMessageW(Control(kChkReadOnly), BM_GETCHECK, 0, 0) == BST_CHECKED ? 1 : 0;
}

void TesvarWindow::SetReadOnlySwitch(std::int32_t value) {
    if (value != 0 && value != 1) Refuse();
    ::SendMessageW(Control(kChkReadOnly), BM_SETCHECK, value == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
}

std::wstring TesvarWindow::StatusCaption() { return TextOf(Control(kLblListSts)); }
void TesvarWindow::SetStatusCaption(const std::wstring& caption) { SetText(Control(kLblListSts), caption); }

// --- placement, twips outside and pixels inside ---

RECT TesvarWindow::WindowRect() const {
    RECT r{};
    if (!::GetWindowRect(Hwnd(), &r)) ThrowLastError();
    return r;
}

float TesvarWindow::Left() { return Twips(WindowRect().left); }
float TesvarWindow::Top() { return Twips(WindowRect().top); }
float TesvarWindow::Width() {
    const RECT r = WindowRect();
    return Twips(r.right - r.left);
}
float TesvarWindow::Height() {
    const RECT r = WindowRect();
    return Twips(r.bottom - r.top);
}

void TesvarWindow::SetPlacement(int x, int y, int cx, int cy, UINT flags) {
    // A minimised or maximised window cannot be moved or sized.
    if (WindowState() != platform::window_state::Normal) Refuse();
    if (!::SetWindowPos(Hwnd(), nullptr, x, y, cx, cy, flags | SWP_NOZORDER | SWP_NOACTIVATE)) ThrowLastError();
}

void TesvarWindow::SetLeft(float twips) {
    const RECT r = WindowRect();
    SetPlacement(Pixels(twips), r.top, 0, 0, SWP_NOSIZE);
}
void TesvarWindow::SetTop(float twips) {
    const RECT r = WindowRect();
    SetPlacement(r.left, Pixels(twips), 0, 0, SWP_NOSIZE);
}
void TesvarWindow::SetWidth(float twips) {
    const RECT r = WindowRect();
    SetPlacement(0, 0, Pixels(twips), r.bottom - r.top, SWP_NOMOVE);
}
void TesvarWindow::SetHeight(float twips) {
    const RECT r = WindowRect();
    SetPlacement(0, 0, r.right - r.left, Pixels(twips), SWP_NOMOVE);
}

std::int32_t TesvarWindow::WindowState() {
    if (::IsIconic(Hwnd())) return platform::window_state::Minimized;
    if (::IsZoomed(Hwnd())) return platform::window_state::Maximized;
    return platform::window_state::Normal;
}

float TesvarWindow::ScaleWidth() {
    RECT r{};
    ::GetClientRect(Hwnd(), &r);
    return LayoutTwips(r.right);
}
float TesvarWindow::ScaleHeight() {
    RECT r{};
    ::GetClientRect(Hwnd(), &r);
    return LayoutTwips(r.bottom);
}
float TesvarWindow::StripHeight() {
    RECT r{};
    ::GetWindowRect(strip_, &r);
    return LayoutTwips(r.bottom - r.top);
}

void TesvarWindow::SetListWidth(float twips) {
    if (twips < 0) Refuse();
    RECT r{};
    ::GetWindowRect(Control(kList1), &r);
    ::SetWindowPos(Control(kList1), nullptr, 0, 0, LayoutPixels(twips), r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TesvarWindow::SetListHeight(float twips) {
    if (twips < 0) Refuse();  // as while minimised: the list keeps its height
    RECT r{};
    ::GetWindowRect(Control(kList1), &r);
    ::SetWindowPos(Control(kList1), nullptr, 0, 0, r.right - r.left, LayoutPixels(twips),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace tesvar::app::win32
