#pragma once
// A window owned by a C++ object: the object creates it, keeps its handle, and gets
// its messages in a member switch. The window procedure is a static trampoline that
// stores the object at WM_NCCREATE and lets no exception cross into Windows.
#include <windows.h>

#include <exception>
#include <utility>

namespace tesvar::app::win32 {

class WindowBase {
public:
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;

    HWND Hwnd() const noexcept { return hwnd_; }

protected:
    WindowBase() = default;
    // A derived class destroys its window in its own destructor, while its handlers
    // still exist; a window left over is destroyed here without them.
    virtual ~WindowBase();

    // Registers a window class whose procedure is the trampoline; a class registered
    // before is left as it is.
    static void RegisterWindowClass(WNDCLASSEXW cls);
    // Creates the window with this object as its owner. Throws platform::Error when it
    // cannot be created, and rethrows what made WM_NCCREATE or WM_CREATE fail.
    void CreateWindowFor(DWORD exStyle, const wchar_t* cls, const wchar_t* title, DWORD style, int x, int y,
                         int width, int height, HWND parent);

    // The member message switch. What it throws ends that message's handling: the
    // message then gets the default answer (WM_CREATE: -1, the creation fails).
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
    LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
    // After the window's last message (WM_NCDESTROY); the handle is already gone.
    virtual void OnFinalMessage() noexcept {}

private:
    static LRESULT CALLBACK Trampoline(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    HWND hwnd_ = nullptr;
    std::exception_ptr createFailure_;
};

}  // namespace tesvar::app::win32
