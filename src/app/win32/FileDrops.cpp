#include "app/win32/FileDrops.h"

#include "app/win32/DropTarget.h"
#include "app/win32/SystemDlls.h"
#include "platform/ScopeExit.h"
#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {
namespace {

constexpr const wchar_t* kRouteProp = L"Tesvar.FileDropRoute";
constexpr const wchar_t* kPreviousProp = L"Tesvar.FileDropPrevious";

}  // namespace

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
    // The file drop reaches the window through these three messages; a lower process's
    // messages are filtered out otherwise. (Looked up: missing before Windows 7.)
    using FilterFn = BOOL(WINAPI*)(HWND, UINT, DWORD, void*);
    if (const auto filter = FindFunction<FilterFn>(::GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")) {
        for (const UINT message : {static_cast<UINT>(WM_DROPFILES), static_cast<UINT>(WM_COPYDATA), kCopyGlobalData})
            filter(window, message, MSGFLT_ALLOW, nullptr);
    }
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

void FileDropRoute::Attach(HWND window, Handler handler) {
    Detach();
    handler_ = std::move(handler);
    if (!::SetPropW(window, kRouteProp, this)) platform::win32::ThrowLastError();
    if (!::GetPropW(window, kPreviousProp)) {
        const auto previous = ::GetWindowLongPtrW(window, GWLP_WNDPROC);
        if (!::SetPropW(window, kPreviousProp, reinterpret_cast<HANDLE>(previous)) ||
            !::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Proc))) {
            const DWORD error = ::GetLastError();
            ::RemovePropW(window, kRouteProp);
            ::RemovePropW(window, kPreviousProp);
            platform::win32::ThrowError(error);
        }
    }
    window_ = window;
}

void FileDropRoute::Detach() noexcept {
    if (!window_) return;
    if (::GetPropW(window_, kRouteProp) == this) ::RemovePropW(window_, kRouteProp);
    window_ = nullptr;
}

LRESULT CALLBACK FileDropRoute::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto previous = reinterpret_cast<WNDPROC>(::GetPropW(window, kPreviousProp));
    if (message == WM_DROPFILES) {
        std::vector<std::wstring> paths = TakeFileDrop(reinterpret_cast<HDROP>(wParam));
        auto* route = static_cast<FileDropRoute*>(::GetPropW(window, kRouteProp));
        if (route && route->handler_) {
            try {
                route->handler_(std::move(paths));
            } catch (...) {
                // A drop that cannot be taken up changes nothing.
            }
        }
        return 0;
    }
    if (message == WM_NCDESTROY) {
        // The window's last message: its own procedure takes it, and the route ends.
        if (auto* route = static_cast<FileDropRoute*>(::GetPropW(window, kRouteProp))) route->window_ = nullptr;
        ::RemovePropW(window, kRouteProp);
        ::RemovePropW(window, kPreviousProp);
        if (::GetWindowLongPtrW(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&Proc))
            ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
    }
    return previous ? ::CallWindowProcW(previous, window, message, wParam, lParam)
                    : ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tesvar::app::win32
