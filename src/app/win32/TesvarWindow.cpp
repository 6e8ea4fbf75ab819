#include "app/win32/TesvarWindow.h"

#include <algorithm>
#include <cmath>

#include "app/win32/Resource.h"
#include "app/win32/SystemDlls.h"
#include "platform/Error.h"
#include "platform/ScopeExit.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {
namespace {

using platform::win32::ThrowLastError;

std::size_t Slot(ControlId id) noexcept {
    for (std::size_t i = 0; i < kControls.size(); ++i) {
        if (kControls[i].id == id) return i;
    }
    return 0;
}

}  // namespace

TesvarWindow::TesvarWindow(WindowServices services, Version version)
    : out_(services.out),
      form_({services.files, services.out, services.ansi, services.profile, list_, *this, *this}, version),
      pump_([this](const MSG& msg) { return PreTranslate(msg); },
            [this](int exitCode) {
                // Taken as a close request: the run or drop ends after the entry in hand,
                // the placement and the log are kept, and the program ends with the code.
                exitCode_ = exitCode;
                try {
                    OnClose();
                } catch (...) {
                }
            }),
      dragImages_([] { return platform::win32::CreateInstance<IDropTargetHelper>(CLSID_DragDropHelper); }),
      taskbarButtonCreated_(::RegisterWindowMessageW(L"TaskbarButtonCreated")) {}

void TesvarWindow::SetShellParts(ShellParts parts) {
    dragImages_ = std::move(parts.dragImages);
    taskbar_ = TaskbarProgress(std::move(parts.taskbar));
    fileDropsOnly_ = std::move(parts.fileDropsOnly);
}

TesvarWindow::~TesvarWindow() {
    if (Hwnd()) {
        ending_ = true;  // no close handling for a window torn down by its owner
        ::DestroyWindow(Hwnd());
    }
}

HWND TesvarWindow::Control(ControlId id) const noexcept { return controls_[Slot(id)]; }

void TesvarWindow::RegisterClasses() {
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    WNDCLASSEXW main{};
    main.hInstance = instance;
    main.hIcon = static_cast<HICON>(
        ::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    main.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON,
                                                   ::GetSystemMetrics(SM_CXSMICON),
                                                   ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    main.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    main.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    main.lpszClassName = kWindowClass;
    RegisterWindowClass(main);

    RegisterStripClass();
}

void TesvarWindow::Create(int showCommand) {
    RegisterClasses();
    {
        const platform::win32::ScopedDc screen(nullptr);
        const int dpi = screen ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
        dpi_ = systemDpi_ = dpi > 0 ? dpi : 96;
        twipsPerPixel_ = 1440.0f / static_cast<float>(dpi_);
    }
    // Created with the design client area; the outer size follows from the frame.
    const RECT outer = DesignOuter(dpi_);
    CreateWindowFor(kWindowExStyle, kWindowClass, kAppTitle, kWindowStyle, CW_USEDEFAULT, 0, outer.right - outer.left,
                    outer.bottom - outer.top, nullptr);

    formReady_ = true;
    form_.Form_Load();
    KeepWithinReach();
    ::ShowWindow(Hwnd(), showCommand);
    form_.Form_Resize();
    ::UpdateWindow(Hwnd());
    // What nothing needs before the window shows comes after, so that it shows sooner.
    list_.AttachTooltip();
    AcceptDrops();
}

LRESULT TesvarWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
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
            if (wParam == static_cast<WPARAM>(kList1)) list_.Measure(*reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_DRAWITEM:
            if (wParam == static_cast<WPARAM>(kList1)) list_.Draw(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == Control(kList1)) {
                OnListMenu(lParam);
                return 0;
            }
            break;
        case WM_NOTIFY:
            if (list_.Notify(*reinterpret_cast<NMHDR*>(lParam))) return 0;
            break;
        case WM_DPICHANGED:
            OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_THEMECHANGED:
            list_.ThemeChanged();
            break;
        case WM_SYSCOLORCHANGE:
            list_.ColorsChanged();
            break;
        case WM_SETTINGCHANGE:
            // The system's font or scale changed: the controls follow.
            if (wParam == SPI_SETNONCLIENTMETRICS || wParam == SPI_SETICONTITLELOGFONT || wParam == 0) ApplyUiFont();
            break;
        case WM_SETCURSOR:
            if (LOWORD(lParam) == HTCLIENT && OnSetCursor()) return TRUE;
            break;
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE)
                focus_.Save(Hwnd());
            else
                focus_.Restore(Hwnd());
            return 0;
        case WM_SETFOCUS:
            // The window itself would otherwise keep the focus.
            focus_.Restore(Hwnd());
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
        case kDropMessage:
            OnDrop();
            return 0;
        default:
            if (message != 0 && message == taskbarButtonCreated_) {
                taskbar_.ButtonCreated(Hwnd());
                return 0;
            }
            break;
    }
    return DefaultHandling(message, wParam, lParam);
}

void TesvarWindow::OnCreate() {
    // The shell's notice that the taskbar button exists comes from a process of lower
    // integrity when Tesvar runs as administrator: let it through.
    LetThroughFromBelow(Hwnd(), {taskbarButtonCreated_});
    AdoptWindowDpi();
    CreateControls();
    ApplyUiFont();
    list_.Attach(Control(kList1), dpi_, systemDpi_);

    std::vector<ControlSpec> order;
    for (const auto& c : kControls) {
        if (c.kind != Kind::Strip && c.kind != Kind::Label) order.push_back(c);
    }
    std::sort(order.begin(), order.end(), [](const ControlSpec& a, const ControlSpec& b) { return a.focus < b.focus; });
    std::vector<HWND> handles;
    for (const auto& c : order) handles.push_back(Control(c.id));
    focus_.Set(std::move(handles));
}

void TesvarWindow::OnDestroy() {
    if (const HWND list = Control(kList1)) ::RevokeDragDrop(list);
    if (dropTarget_) dropTarget_->Disconnect();
    dropTarget_.reset();
    fileDrops_.Detach();
    pendingDrops_.clear();  // each tells its source that nothing was taken
    list_.Detach();
    if (quitOnDestroy_) ::PostQuitMessage(exitCode_);
}

void TesvarWindow::OnFinalMessage() noexcept {
    strip_ = nullptr;
    controls_.fill(nullptr);
}

void TesvarWindow::OnStart() {
    if (Busy()) return;
    runActive_ = true;
    list_.SetRunActive(true);
    // However the run ends, a close that came meanwhile takes the window.
    const platform::ScopeExit done([this] {
        runActive_ = false;
        taskbar_.Clear();
        list_.SetRunActive(false);
        list_.FlushMoves();
        EndIfClosed();
    });
    form_.BtnStart_Click();
}

int TesvarWindow::MessageLoop(TesvarWindow& window) {
    const int code = window.pump_.Run();
    if (window.Hwnd()) {
        window.exitCode_ = code;
        window.quitOnDestroy_ = false;  // the loop has ended already
        window.OnClose();
    }
    return code;
}

void TesvarWindow::OnClose() {
    if (ending_) return;
    ending_ = true;
    // The run's lines so far are on disk before anything else: after a session's end
    // the process may be ended at any moment.
    out_.FlushAll();
    try {
        form_.Form_QueryUnload();
    } catch (...) {
        // The close is never refused, and a run in progress still ends at its yield
        // rather than losing its window under it.
    }
    // A run or a drop in progress notices at its next yield and stops there; the
    // window goes when it has.
    if (!runActive_ && !dropActive_) ::DestroyWindow(Hwnd());
}

void TesvarWindow::EndIfClosed() {
    if (ending_ && Hwnd()) ::DestroyWindow(Hwnd());
}

bool TesvarWindow::DoEvents() {
    // Once a frame the list and the taskbar button show where the run stands, and the
    // log's lines go to disk.
    if (runActive_ && list_.FlushMovesIfDue()) ShowRunProgress();
    out_.FlushDue();
    pump_.HandlePending();
    return !ending_;
}

void TesvarWindow::ShowRunProgress() noexcept {
    const std::int32_t count = list_.ListCount();
    if (count > 0) taskbar_.Show(static_cast<ULONGLONG>(list_.RunPosition() + 1), static_cast<ULONGLONG>(count));
}

// --- message boxes, pointer, buttons, front ---

std::int32_t TesvarWindow::MsgBox(const std::wstring& prompt, std::int32_t style) {
    list_.FlushMoves();  // the list shows where the run stands while the box waits
    // The taskbar button shows a run that waits for its abort question, and no run once
    // it has ended.
    const bool question = runActive_ && style == platform::msgbox::YesNoExclamation;
    if (question) {
        ShowRunProgress();
        taskbar_.Paused();
    } else if (runActive_ && style == platform::msgbox::OkInformation) {
        taskbar_.Clear();
    }
    // The style numbers are Windows' own MB_ flags; the title is the program's.
    const int answer = ::MessageBoxW(Hwnd(), prompt.c_str(), kAppTitle, static_cast<UINT>(style));
    if (question && runActive_) ShowRunProgress();
    if (answer == 0) ThrowLastError();
    return answer;
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
    if (!Hwnd() || !::GetCursorPos(&at)) return;
    const HWND under = ::WindowFromPoint(at);
    if (under != Hwnd() && !::IsChild(Hwnd(), under)) return;
    ::SetCursor(::LoadCursorW(nullptr, shape == platform::pointer::Default ? IDC_ARROW : IDC_APPSTARTING));
}

void TesvarWindow::SetButtonEnabled(platform::Button button, bool enabled) {
    const HWND control = Control(button == platform::Button::Start ? kBtnStart : kBtnClear);
    // A disabled control keeps a focus it had, and the keyboard would do nothing. The
    // focus goes to the list the run is highlighting, not to END, where one more Enter
    // pressed because nothing seemed to happen would end the program mid-run.
    if (!enabled) focus_.Leave(control, Control(kList1));
    ::EnableWindow(control, enabled ? TRUE : FALSE);
    if (enabled) focus_.Return(Hwnd(), control);
}

void TesvarWindow::SetForegroundWindow() { ::SetForegroundWindow(Hwnd()); }
void TesvarWindow::SetActiveWindow() { ::SetActiveWindow(Hwnd()); }

}  // namespace tesvar::app::win32
