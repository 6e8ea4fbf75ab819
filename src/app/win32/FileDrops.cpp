#include "app/win32/FileDrops.h"

#include "app/win32/DropTarget.h"
#include "app/win32/SystemDlls.h"
#include "platform/ScopeExit.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {

IntegrityLevel IntegrityOf(HANDLE process) noexcept {
    HANDLE raw = nullptr;
    if (!::OpenProcessToken(process, TOKEN_QUERY, &raw)) return std::nullopt;
    const platform::win32::ScopedHandle token(raw);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), TokenIntegrityLevel, nullptr, 0, &size);
    if (size < sizeof(TOKEN_MANDATORY_LABEL)) return std::nullopt;
    // DWORDs, so that the label and its SID are aligned.
    std::vector<DWORD> buffer((size + sizeof(DWORD) - 1) / sizeof(DWORD));
    if (!::GetTokenInformation(token.get(), TokenIntegrityLevel, buffer.data(), size, &size)) return std::nullopt;
    const PSID sid = reinterpret_cast<const TOKEN_MANDATORY_LABEL*>(buffer.data())->Label.Sid;
    if (!sid || !::IsValidSid(sid)) return std::nullopt;
    const UCHAR count = *::GetSidSubAuthorityCount(sid);
    if (count == 0) return std::nullopt;
    return *::GetSidSubAuthority(sid, count - 1u);
}

IntegrityLevel ShellIntegrity() noexcept {
    const HWND shell = ::GetShellWindow();
    if (!shell) return std::nullopt;
    DWORD id = 0;
    ::GetWindowThreadProcessId(shell, &id);
    if (id == 0) return std::nullopt;
    const platform::win32::ScopedHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return std::nullopt;
    return IntegrityOf(process.get());
}

bool ShellRunsBelowUs() noexcept { return FileDropsOnly(IntegrityOf(::GetCurrentProcess()), ShellIntegrity()); }

void AcceptFileDrops(HWND window) {
    // An OLE target would be asked first, and no drag of the shell reaches it.
    ::RevokeDragDrop(window);
    ::DragAcceptFiles(window, TRUE);
    if (!(::GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) {
        const DWORD error = ::GetLastError();
        platform::win32::ThrowError(error != ERROR_SUCCESS ? error : ERROR_INVALID_WINDOW_HANDLE);
    }
    // The file drop reaches the window through these three messages.
    LetThroughFromBelow(window, {WM_DROPFILES, WM_COPYDATA, kCopyGlobalData});
}

void LetThroughFromBelow(HWND window, std::initializer_list<UINT> messages) noexcept {
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    static const auto filter =
        FindFunction<FilterFn>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx");
    if (!filter) return;
    for (const UINT message : messages) filter(window, message, MSGFLT_ALLOW, nullptr);
}

std::vector<std::wstring> TakeFileDrop(HDROP drop) noexcept {
    const platform::ScopeExit finish([drop] { ::DragFinish(drop); });
    try {
        // Read once, within the block, as an OLE drop's file list is.
        const platform::win32::GlobalLockGuard lock(drop);
        if (!lock.get()) return {};
        return DropFileNames(lock.get(), ::GlobalSize(drop));
    } catch (...) {
        return {};
    }
}

namespace {

// The windows a route was ever attached to, with the procedure behind it. Kept in the
// process rather than in window properties: under Wine every property read is a call
// to the server, and the list's every message passes here.
struct Routed {
    HWND window;
    FileDropRoute* route;  // null once the route has gone
    WNDPROC previous;
};
std::vector<Routed>& RoutedWindows() {
    static std::vector<Routed> windows;
    return windows;
}
Routed* Find(HWND window) noexcept {
    for (auto& r : RoutedWindows()) {
        if (r.window == window) return &r;
    }
    return nullptr;
}

}  // namespace

void FileDropRoute::Attach(HWND window, Handler handler) {
    Detach();
    handler_ = std::move(handler);
    if (Routed* routed = Find(window)) {
        routed->route = this;
    } else {
        RoutedWindows().push_back({window, this, nullptr});
        ::SetLastError(ERROR_SUCCESS);
        const auto previous = ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc));
        if (!previous) {
            const DWORD error = ::GetLastError();
            RoutedWindows().pop_back();
            if (error != ERROR_SUCCESS) platform::win32::ThrowError(error);
            platform::win32::ThrowError(ERROR_INVALID_WINDOW_HANDLE);
        }
        RoutedWindows().back().previous = reinterpret_cast<WNDPROC>(previous);
    }
    window_ = window;
}

void FileDropRoute::Detach() noexcept {
    if (!window_) return;
    // The procedure stays in place (another may have been set over it) and only passes
    // messages on from now on.
    if (Routed* routed = Find(window_); routed && routed->route == this) routed->route = nullptr;
    window_ = nullptr;
}

LRESULT CALLBACK FileDropRoute::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Routed* routed = Find(window);
    const WNDPROC previous = routed ? routed->previous : nullptr;
    if (message == WM_DROPFILES) {
        std::vector<std::wstring> paths = TakeFileDrop(reinterpret_cast<HDROP>(wParam));
        FileDropRoute* route = routed ? routed->route : nullptr;
        if (route && route->handler_) {
            try {
                route->handler_(std::move(paths));
            } catch (...) {
                // A drop that cannot be taken up changes nothing.
            }
        }
        return 0;
    }
    if (message == WM_NCDESTROY && routed) {
        // The window's last message: its own procedure takes it, and the route ends.
        if (routed->route) routed->route->window_ = nullptr;
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc))
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        auto& all = RoutedWindows();
        all.erase(all.begin() + (routed - all.data()));
    }
    return previous ? ::CallWindowProcW(previous, window, message, wParam, lParam)
                    : ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tesvar::app::win32
