#include "app/win32/WindowBase.h"

#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {

WindowBase::~WindowBase() {
    if (!hwnd_) return;
    ::SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
    ::DestroyWindow(hwnd_);
}

void WindowBase::RegisterWindowClass(WNDCLASSEXW cls) {
    cls.cbSize = sizeof cls;
    cls.lpfnWndProc = &WindowBase::Trampoline;
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof existing;
    if (::GetClassInfoExW(cls.hInstance, cls.lpszClassName, &existing)) return;
    if (!::RegisterClassExW(&cls)) platform::win32::ThrowLastError();
}

void WindowBase::CreateWindowFor(DWORD exStyle, const wchar_t* cls, const wchar_t* title, DWORD style, int x, int y,
                                 int width, int height, HWND parent) {
    createFailure_ = nullptr;
    const HWND hwnd = ::CreateWindowExW(exStyle, cls, title, style, x, y, width, height, parent, nullptr,
                                        ::GetModuleHandleW(nullptr), this);
    if (hwnd) return;
    if (createFailure_) std::rethrow_exception(std::exchange(createFailure_, nullptr));
    platform::win32::ThrowLastError();
}

LRESULT CALLBACK WindowBase::Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        // The creator passed itself; keep it with the window for every later message.
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowBase*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        self->OnFinalMessage();
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (...) {
        // No failure may cross into Windows; a handler that failed has simply ended.
        if (message == WM_NCCREATE || message == WM_CREATE) {
            // The creation fails, and the creator learns why.
            self->createFailure_ = std::current_exception();
            return message == WM_CREATE ? -1 : FALSE;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
}

}  // namespace tesvar::app::win32
