#include "app/win32/TesvarWindow.h"

#include <algorithm>
#include <cmath>

#include "app/win32/Resource.h"
#include "platform/Error.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {
namespace {

using platform::win32::ThrowError;

constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;
// During a run the list follows at most this often (a repaint costs several
// milliseconds under Wine), and pending events are handled at most this often: the
// window answers within a few milliseconds while the run keeps its pace.
constexpr ULONGLONG kFrameMs = 100;
constexpr ULONGLONG kYieldMs = 5;
// Safety net for the yield: messages that keep coming back (a paint nobody
// validates) must not hold a run forever.
constexpr int kMaxMessagesPerYield = 10000;

[[noreturn]] void Refuse() { ThrowError(ERROR_INVALID_PARAMETER); }

HINSTANCE ThisModule() noexcept { return ::GetModuleHandleW(nullptr); }

std::wstring TextOf(HWND hwnd) {
    const int length = ::GetWindowTextLengthW(hwnd);
    if (length <= 0) return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const int got = ::GetWindowTextW(hwnd, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

void SetText(HWND hwnd, const std::wstring& text) {
    if (!::SetWindowTextW(hwnd, text.c_str())) platform::win32::ThrowLastError();
}

bool IsFocusable(Kind kind) noexcept {
    return kind == Kind::List || kind == Kind::Edit || kind == Kind::Button || kind == Kind::CheckBox;
}

// The controls that can take the focus, in focus order.
std::vector<ControlSpec> FocusOrder() {
    std::vector<ControlSpec> order;
    for (const auto& c : kControls) {
        if (IsFocusable(c.kind)) order.push_back(c);
    }
    std::sort(order.begin(), order.end(), [](const ControlSpec& a, const ControlSpec& b) { return a.focus < b.focus; });
    return order;
}

std::size_t Slot(ControlId id) noexcept {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].id == id) return i;
    }
    return 0;
}

}  // namespace

TesvarWindow::TesvarWindow(WindowServices services, Version version)
    : form_({services.files, services.out, services.ansi, services.profile, *this, *this, *this}, version) {}

TesvarWindow::~TesvarWindow() {
    if (hwnd_) {
        ending_ = true;  // no close handling for a window torn down by its owner
        ::DestroyWindow(hwnd_);
    }
}

HWND TesvarWindow::Control(ControlId id) const noexcept { return controls_[Slot(id)]; }

void TesvarWindow::RegisterClasses(HINSTANCE instance) {
    static bool registered = false;
    if (registered) return;
    WNDCLASSEXW main{};
    main.cbSize = sizeof main;
    main.lpfnWndProc = &TesvarWindow::WindowProc;
    main.hInstance = instance;
    main.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 0, 0,
                                                 LR_DEFAULTSIZE | LR_SHARED));
    main.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    main.lpszClassName = kWindowClass;
    if (!::RegisterClassExW(&main)) platform::win32::ThrowLastError();

    WNDCLASSEXW strip{};
    strip.cbSize = sizeof strip;
    strip.lpfnWndProc = &TesvarWindow::StripProc;
    strip.hInstance = instance;
    strip.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    strip.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    strip.lpszClassName = kStripClass;
    if (!::RegisterClassExW(&strip)) platform::win32::ThrowLastError();
    registered = true;
}

void TesvarWindow::Create(int showCommand) {
    const HINSTANCE instance = ThisModule();
    RegisterClasses(instance);
    {
        const HDC screen = ::GetDC(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
        if (screen) ::ReleaseDC(nullptr, screen);
        twipsPerPixel_ = 1440.0f / static_cast<float>(dpi > 0 ? dpi : 96);
    }
    // Created with the design client area; the outer size follows from the frame.
    RECT outer{0, 0, Pixels(kDesignClientWidth), Pixels(kDesignClientHeight)};
    ::AdjustWindowRectEx(&outer, kWindowStyle, FALSE, kWindowExStyle);
    const HWND hwnd = ::CreateWindowExW(kWindowExStyle, kWindowClass, kAppTitle, kWindowStyle, CW_USEDEFAULT, 0,
                                        outer.right - outer.left, outer.bottom - outer.top, nullptr, nullptr,
                                        instance, this);
    if (!hwnd) platform::win32::ThrowLastError();

    formReady_ = true;
    form_.Form_Load();
    KeepOnAMonitor();
    ::ShowWindow(hwnd_, showCommand);
    form_.Form_Resize();
    ::UpdateWindow(hwnd_);
}

void TesvarWindow::KeepOnAMonitor() {
    // A stored placement from a monitor that is gone would open the window where
    // nobody can see it: bring it onto the nearest monitor, keeping its size. A window
    // that is partly on a monitor stays where it was put.
    if (WindowState() != platform::window_state::Normal) return;
    RECT r = WindowRect();
    if (::MonitorFromRect(&r, MONITOR_DEFAULTTONULL)) return;
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!::GetMonitorInfoW(::MonitorFromRect(&r, MONITOR_DEFAULTTONEAREST), &info)) return;
    const RECT& work = info.rcWork;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    const int x = std::clamp<int>(r.left, work.left, std::max<int>(work.left, work.right - width));
    const int y = std::clamp<int>(r.top, work.top, std::max<int>(work.top, work.bottom - height));
    ::SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int TesvarWindow::Pixels(float twips) const noexcept {
    return static_cast<int>(std::lround(static_cast<double>(twips) / static_cast<double>(twipsPerPixel_)));
}

LRESULT CALLBACK TesvarWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    TesvarWindow* self = nullptr;
    if (message == WM_NCCREATE) {
        // The creator passed itself; keep it with the window for every later message.
        self = static_cast<TesvarWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<TesvarWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    try {
        return self->Handle(message, wParam, lParam);
    } catch (...) {
        // No failure may cross into Windows; a handler that failed has simply ended.
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT CALLBACK TesvarWindow::StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    switch (message) {
        // The strip only holds the controls: their notifications belong to the window.
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
            ::DrawEdge(dc, &r, EDGE_ETCHED, BF_TOP);  // a thin line between list and strip
            ::EndPaint(hwnd, &ps);
            return 0;
        }
        default:
            return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

LRESULT TesvarWindow::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_SIZE:
            OnSize(wParam);
            return 0;
        case WM_GETMINMAXINFO:
            OnGetMinMaxInfo(*reinterpret_cast<MINMAXINFO*>(lParam));
            return 0;
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_MEASUREITEM:
            OnMeasureItem(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_DRAWITEM:
            OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
            break;
        case WM_ACTIVATE:
            OnActivate(wParam);
            return 0;
        case WM_SETFOCUS:
            OnActivate(WA_ACTIVE);
            return 0;
        case WM_CLOSE:
            OnClose();
            return 0;
        case WM_QUERYENDSESSION:
            return TRUE;
        case WM_ENDSESSION:
            if (wParam) OnClose();
            return 0;
        case WM_DESTROY:
            OnDestroy();
            return 0;
        case WM_NCDESTROY:
            ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
            hwnd_ = nullptr;
            strip_ = nullptr;
            controls_.fill(nullptr);
            break;
        default:
            break;
    }
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

void TesvarWindow::OnCreate() {
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) {
        uiFont_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    }
    const HFONT uiFont = uiFont_ ? uiFont_.get() : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

    // The list: a fixed-pitch Japanese face at 9 points.
    LOGFONTW list{};
    list.lfHeight = -::MulDiv(9, static_cast<int>(std::lround(1440.0f / twipsPerPixel_)), 72);
    list.lfWeight = FW_NORMAL;
    list.lfCharSet = SHIFTJIS_CHARSET;
    list.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    ::lstrcpynW(list.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
    listFont_.reset(::CreateFontIndirectW(&list));
    measureDc_.reset(::CreateCompatibleDC(nullptr));
    if (measureDc_ && listFont_) {
        ::SelectObject(measureDc_.get(), listFont_.get());
        TEXTMETRICW tm{};
        if (::GetTextMetricsW(measureDc_.get(), &tm)) listItemHeight_ = std::max<int>(tm.tmHeight + 2, 14);
    }

    RECT client;
    ::GetClientRect(hwnd_, &client);
    const HINSTANCE instance = ThisModule();
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        const ControlSpec& c = kControls[i];
        const wchar_t* cls = L"STATIC";
        DWORD style = WS_CHILD | WS_VISIBLE;
        DWORD exStyle = 0;
        switch (c.kind) {
            case Kind::List:
                cls = L"LISTBOX";
                // A click flips one entry's selected flag; each entry shows its flag as
                // a check box, and the current entry as a highlighted line.
                style |= WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_MULTIPLESEL | LBS_NOINTEGRALHEIGHT |
                         LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
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
        HWND parent = c.inStrip ? strip_ : hwnd_;
        int top = Pixels(static_cast<float>(c.top));
        int width = Pixels(static_cast<float>(c.width));
        if (c.kind == Kind::Strip) {
            // Docked to the bottom edge at full client width.
            width = client.right;
            top = client.bottom - Pixels(static_cast<float>(c.height));
        }
        const HWND control = ::CreateWindowExW(
            exStyle, cls, c.text, style, Pixels(static_cast<float>(c.left)), top, width,
            Pixels(static_cast<float>(c.height)), parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id)), instance, nullptr);
        if (!control) platform::win32::ThrowLastError();
        controls_[i] = control;
        if (c.kind == Kind::Strip) strip_ = control;
        const HFONT font = c.kind == Kind::List && listFont_ ? listFont_.get() : uiFont;
        ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    }
    // Fixed item height from the list's font, now that it is known.
    ::SendMessageW(Control(kList1), LB_SETITEMHEIGHT, 0, listItemHeight_);
    savedFocus_ = Control(kBtnStart);

    dropTarget_ = platform::win32::ComPtr<DropTarget>::Attach(new DropTarget(static_cast<DropSink&>(*this)));
    // Drops are taken on the list alone.
    ::RegisterDragDrop(Control(kList1), dropTarget_.get());
}

void TesvarWindow::OnDestroy() {
    if (const HWND list = Control(kList1)) ::RevokeDragDrop(list);
    dropTarget_.reset();
    if (quitOnDestroy_) ::PostQuitMessage(0);
}

void TesvarWindow::LayoutStrip() {
    RECT client;
    ::GetClientRect(hwnd_, &client);
    RECT strip;
    ::GetWindowRect(strip_, &strip);
    const int height = strip.bottom - strip.top;
    ::SetWindowPos(strip_, nullptr, 0, client.bottom - height, client.right, height,
                   SWP_NOZORDER | SWP_NOACTIVATE);
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

void TesvarWindow::OnCommand(int id, int code) {
    if (code != BN_CLICKED) return;
    switch (id) {
        case kBtnStart:
            OnStart();
            break;
        case kBtnClear:
            form_.BtnClear_Click();
            break;
        case kBtnEnd:
            OnClose();  // unloading the window is a close request
            break;
        default:
            break;
    }
}

void TesvarWindow::OnStart() {
    if (runActive_ || ending_) return;
    runActive_ = true;
    lastYield_ = 0;  // the run's first yield always handles what is pending
    struct Finish {
        TesvarWindow& w;
        ~Finish() {
            w.runActive_ = false;
            w.FlushListMoves();
        }
    };
    {
        Finish finish{*this};
        form_.BtnStart_Click();
    }
    // Closed while the run yielded: the run has ended between two entries.
    if (ending_ && hwnd_) ::DestroyWindow(hwnd_);
}

void TesvarWindow::OnClose() {
    if (ending_) return;
    form_.Form_QueryUnload();
    ending_ = true;
    // A run in progress notices at its next yield and stops there; the window goes
    // when it has.
    if (!runActive_ && hwnd_) ::DestroyWindow(hwnd_);
}

void TesvarWindow::OnActivate(WPARAM state) {
    if (LOWORD(state) == WA_INACTIVE) {
        const HWND focus = ::GetFocus();
        if (focus && ::IsChild(hwnd_, focus)) savedFocus_ = focus;
        return;
    }
    // Give the focus back to the control that had it, BtnStart at first; the window
    // itself would otherwise keep it.
    if (::IsIconic(hwnd_)) return;
    HWND target = savedFocus_;
    if (!target || !::IsWindow(target) || !::IsWindowEnabled(target) || !::IsWindowVisible(target)) {
        target = nullptr;
        for (const auto& c : FocusOrder()) {
            const HWND h = Control(c.id);
            if (::IsWindowEnabled(h) && ::IsWindowVisible(h)) {
                target = h;
                break;
            }
        }
    }
    if (target) ::SetFocus(target);
}

void TesvarWindow::MoveFocus(bool backwards) {
    const auto order = FocusOrder();
    const HWND focus = ::GetFocus();
    int at = -1;
    for (std::size_t i = 0; i < order.size(); ++i) {
        if (Control(order[i].id) == focus) at = static_cast<int>(i);
    }
    const int n = static_cast<int>(order.size());
    for (int step = 1; step <= n; ++step) {
        int next = backwards ? at - step : at + step;
        next = ((next % n) + n) % n;
        const HWND h = Control(order[static_cast<std::size_t>(next)].id);
        if (::IsWindowEnabled(h) && ::IsWindowVisible(h)) {
            ::SetFocus(h);
            return;
        }
    }
}

bool TesvarWindow::PreTranslate(const MSG& msg) {
    if (!hwnd_ || msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)) return false;
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
    if (msg.wParam == VK_TAB) {
        MoveFocus(::GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (msg.wParam == VK_RETURN) {
        // Enter presses the button that has the focus and nothing else.
        for (ControlId id : {kBtnStart, kBtnClear, kBtnEnd}) {
            if (msg.hwnd == Control(id)) {
                if (::IsWindowEnabled(msg.hwnd)) OnCommand(id, BN_CLICKED);
                return true;
            }
        }
    }
    return false;
}

int TesvarWindow::MessageLoop(TesvarWindow& window) {
    MSG msg{};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        if (!window.PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}

bool TesvarWindow::DoEvents() {
    const ULONGLONG now = ::GetTickCount64();
    if (runActive_ && now - lastFlush_ >= kFrameMs) FlushListMoves();
    if (runActive_ && now - lastYield_ < kYieldMs) return !ending_;
    lastYield_ = now;
    MSG msg;
    for (int n = 0; n < kMaxMessagesPerYield && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            // Leave it for the program's own loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (!PreTranslate(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return !ending_;
}

bool TesvarWindow::OnSetCursor() {
    if (mousePointer_ == platform::pointer::Default) return false;
    ::SetCursor(::LoadCursorW(nullptr, IDC_APPSTARTING));
    return true;
}

void TesvarWindow::SetMousePointer(std::int32_t shape) {
    mousePointer_ = shape;
    // Show the new shape at once when the pointer is over the window; the drop and
    // the run do not wait for the next mouse move.
    POINT at;
    if (!hwnd_ || !::GetCursorPos(&at)) return;
    const HWND under = ::WindowFromPoint(at);
    if (under != hwnd_ && !::IsChild(hwnd_, under)) return;
    ::SetCursor(::LoadCursorW(nullptr, shape == platform::pointer::Default ? IDC_ARROW : IDC_APPSTARTING));
}

// --- message boxes ---

std::int32_t TesvarWindow::MsgBox(const std::wstring& prompt, std::int32_t style) {
    FlushListMoves();  // the list shows where the run stands while the box waits
    // The style numbers are Windows' own MB_ flags; the title is the program's.
    const int answer = ::MessageBoxW(hwnd_, prompt.c_str(), kAppTitle, static_cast<UINT>(style));
    if (answer == 0) platform::win32::ThrowLastError();
    return answer;
}

// --- the target list ---

void TesvarWindow::CheckIndex(std::int32_t index) const {
    const auto count = ::SendMessageW(Control(kList1), LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) Refuse();
}

void TesvarWindow::Clear() {
    const HWND list = Control(kList1);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_SETHORIZONTALEXTENT, 0, 0);
    widestItem_ = 0;
    newIndex_ = -1;
    pendingTop_ = pendingCaret_ = -1;
}

void TesvarWindow::AddItem(const std::wstring& text) {
    const auto index = ::SendMessageW(Control(kList1), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) ThrowError(ERROR_NOT_ENOUGH_MEMORY);
    newIndex_ = static_cast<std::int32_t>(index);
    MeasureWidestItem(text);
}

void TesvarWindow::MeasureWidestItem(const std::wstring& text) {
    // The list scrolls sideways as far as its longest path needs.
    if (!measureDc_ || text.size() > 32767) return;
    SIZE size{};
    if (!::GetTextExtentPoint32W(measureDc_.get(), text.c_str(), static_cast<int>(text.size()), &size)) return;
    const int width = size.cx + listItemHeight_ + 8;  // check box and margins
    if (width <= widestItem_) return;
    widestItem_ = width;
    ::SendMessageW(Control(kList1), LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(width), 0);
}

bool TesvarWindow::Selected(std::int32_t index) {
    const auto state = ::SendMessageW(Control(kList1), LB_GETSEL, static_cast<WPARAM>(index), 0);
    if (state == LB_ERR) Refuse();
    return state > 0;
}

void TesvarWindow::SetSelected(std::int32_t index, bool selected) {
    CheckIndex(index);
    if (::SendMessageW(Control(kList1), LB_SETSEL, selected ? TRUE : FALSE, index) == LB_ERR) Refuse();
}

std::wstring TesvarWindow::List(std::int32_t index) {
    const HWND list = Control(kList1);
    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
    if (length == LB_ERR) Refuse();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = ::SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text.data()));
    if (got == LB_ERR) Refuse();
    text.resize(static_cast<std::size_t>(got));
    return text;
}

std::int32_t TesvarWindow::ListCount() {
    return static_cast<std::int32_t>(::SendMessageW(Control(kList1), LB_GETCOUNT, 0, 0));
}

std::int32_t TesvarWindow::SelCount() {
    const auto n = ::SendMessageW(Control(kList1), LB_GETSELCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<std::int32_t>(n);
}

void TesvarWindow::InvalidateItem(std::int32_t index) {
    RECT r;
    if (index >= 0 && ::SendMessageW(Control(kList1), LB_GETITEMRECT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
        ::InvalidateRect(Control(kList1), &r, FALSE);
    }
}

void TesvarWindow::SetListIndex(std::int32_t index) {
    CheckIndex(index);
    if (runActive_) {
        pendingCaret_ = index;
        return;
    }
    const HWND list = Control(kList1);
    const auto old = static_cast<std::int32_t>(::SendMessageW(list, LB_GETCARETINDEX, 0, 0));
    // The caret index: moving the current entry must not touch any selected flag.
    ::SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    InvalidateItem(old);
    InvalidateItem(index);
}

void TesvarWindow::SetTopIndex(std::int32_t index) {
    CheckIndex(index);
    if (runActive_) {
        pendingTop_ = index;
        return;
    }
    ::SendMessageW(Control(kList1), LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void TesvarWindow::FlushListMoves() {
    lastFlush_ = ::GetTickCount64();
    const HWND list = Control(kList1);
    if (!list) return;
    const auto count = static_cast<std::int32_t>(::SendMessageW(list, LB_GETCOUNT, 0, 0));
    if (pendingTop_ >= 0 && pendingTop_ < count) ::SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(pendingTop_), 0);
    if (pendingCaret_ >= 0 && pendingCaret_ < count) {
        const auto old = static_cast<std::int32_t>(::SendMessageW(list, LB_GETCARETINDEX, 0, 0));
        ::SendMessageW(list, LB_SETCARETINDEX, static_cast<WPARAM>(pendingCaret_), FALSE);
        InvalidateItem(old);
        InvalidateItem(pendingCaret_);
    }
    pendingTop_ = pendingCaret_ = -1;
}

void TesvarWindow::SetVisible(bool visible) {
    ::ShowWindow(Control(kList1), visible ? SW_SHOWNA : SW_HIDE);
}

void TesvarWindow::OnMeasureItem(MEASUREITEMSTRUCT& item) const {
    if (item.CtlID == static_cast<UINT>(kList1)) item.itemHeight = static_cast<UINT>(listItemHeight_);
}

void TesvarWindow::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != static_cast<UINT>(kList1)) return;
    const HDC dc = item.hDC;
    RECT rc = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rc);
        return;
    }
    const HWND list = item.hwndItem;
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    const auto caret = ::SendMessageW(list, LB_GETCARETINDEX, 0, 0);
    // The current entry stands out while the list has the focus or a run moves it.
    const bool current =
        static_cast<LRESULT>(item.itemID) == caret && (runActive_ || ::GetFocus() == list);
    ::FillRect(dc, &rc, ::GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    const int box = std::min<int>(rc.bottom - rc.top - 2, 13);
    RECT check{rc.left + 2, rc.top + (rc.bottom - rc.top - box) / 2, 0, 0};
    check.right = check.left + box;
    check.bottom = check.top + box;
    ::DrawFrameControl(dc, &check, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (selected ? DFCS_CHECKED : 0));

    const auto length = ::SendMessageW(list, LB_GETTEXTLEN, item.itemID, 0);
    if (length > 0) {
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto got = ::SendMessageW(list, LB_GETTEXT, item.itemID, reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        RECT textRect = rc;
        textRect.left = check.right + 4;
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, ::GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP);
    }
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rc);
}

// --- the window and its controls ---

void TesvarWindow::SetCaption(const std::wstring& caption) { SetText(hwnd_, caption); }
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

void TesvarWindow::SetButtonEnabled(platform::Button button, bool enabled) {
    ::EnableWindow(Control(button == platform::Button::Start ? kBtnStart : kBtnClear), enabled ? TRUE : FALSE);
}

void TesvarWindow::SetForegroundWindow() { ::SetForegroundWindow(hwnd_); }
void TesvarWindow::SetActiveWindow() { ::SetActiveWindow(hwnd_); }

RECT TesvarWindow::WindowRect() const {
    RECT r{};
    if (!::GetWindowRect(hwnd_, &r)) platform::win32::ThrowLastError();
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
    if (!::SetWindowPos(hwnd_, nullptr, x, y, cx, cy, flags | SWP_NOZORDER | SWP_NOACTIVATE))
        platform::win32::ThrowLastError();
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
    if (::IsIconic(hwnd_)) return platform::window_state::Minimized;
    if (::IsZoomed(hwnd_)) return platform::window_state::Maximized;
    return platform::window_state::Normal;
}

float TesvarWindow::ScaleWidth() {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return Twips(r.right);
}
float TesvarWindow::ScaleHeight() {
    RECT r{};
    ::GetClientRect(hwnd_, &r);
    return Twips(r.bottom);
}
float TesvarWindow::StripHeight() {
    RECT r{};
    ::GetWindowRect(strip_, &r);
    return Twips(r.bottom - r.top);
}

void TesvarWindow::SetListWidth(float twips) {
    if (twips < 0) Refuse();
    RECT r{};
    ::GetWindowRect(Control(kList1), &r);
    ::SetWindowPos(Control(kList1), nullptr, 0, 0, Pixels(twips), r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
void TesvarWindow::SetListHeight(float twips) {
    if (twips < 0) Refuse();  // as while minimised: the list keeps its height
    RECT r{};
    ::GetWindowRect(Control(kList1), &r);
    ::SetWindowPos(Control(kList1), nullptr, 0, 0, r.right - r.left, Pixels(twips),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- drops ---

DWORD TesvarWindow::DragEffect(bool carriesFileList) {
    return form_.List1_OLEDragOver(carriesFileList) == 1 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

void TesvarWindow::Dropped(const std::vector<std::wstring>& paths) { form_.List1_OLEDragDrop(paths); }

}  // namespace tesvar::app::win32
