#pragma once
// Drops by WM_DROPFILES, for a Tesvar run as administrator: Windows lets no OLE drag of
// the normal (lower integrity) shell reach an elevated window, but lets a file-drop
// message through where the window accepts files and its message filter allows it.
#include <windows.h>
#include <shellapi.h>

#include <functional>
#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

namespace tesvar::app::win32 {

// Missing from MinGW's headers: the message the file drop copies its data with.
inline constexpr UINT kCopyGlobalData = 0x0049;

// A process's integrity level (the RID of its mandatory label); nullopt when it cannot
// be read.
using IntegrityLevel = std::optional<DWORD>;

// Whether drops must come as WM_DROPFILES: Tesvar runs above the shell's level. Equal
// levels, or one that cannot be read, keep OLE.
constexpr bool FileDropsOnly(IntegrityLevel own, IntegrityLevel shell) noexcept {
    return own && shell && *own > *shell;
}
IntegrityLevel IntegrityOf(HANDLE process) noexcept;
// The level of the process that owns the shell's window (none without a shell).
IntegrityLevel ShellIntegrity() noexcept;
// FileDropsOnly for this process and the shell as they run now.
bool ShellRunsBelowUs() noexcept;

// Lets these messages reach the window from a process of lower integrity (the shell's,
// when Tesvar runs as administrator). Looked up: missing before Windows 7.
void LetThroughFromBelow(HWND window, std::initializer_list<UINT> messages) noexcept;

// Turns a window from an OLE drop target into one that takes WM_DROPFILES from a
// process of lower integrity. Throws platform::Error when the window cannot accept files.
void AcceptFileDrops(HWND window);

// The paths of a WM_DROPFILES drop, read once within its block; empty when it cannot
// be read. The drop is finished (its memory freed) in every case.
std::vector<std::wstring> TakeFileDrop(HDROP drop) noexcept;

// Hands every WM_DROPFILES a window gets to a handler, as long as the window lives.
// The handler gets the drop's paths (read and finished already, maybe empty).
class FileDropRoute {
public:
    using Handler = std::function<void(std::vector<std::wstring>)>;
    FileDropRoute() = default;
    ~FileDropRoute() { Detach(); }
    FileDropRoute(const FileDropRoute&) = delete;
    FileDropRoute& operator=(const FileDropRoute&) = delete;

    void Attach(HWND window, Handler handler);
    // From now on drops that still come are finished unread.
    void Detach() noexcept;

private:
    // The route and the window's own procedure are kept beside the window's handle,
    // so that a procedure set over this one later keeps working after the route has gone.
    static LRESULT CALLBACK Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND window_ = nullptr;
    Handler handler_;
};

}  // namespace tesvar::app::win32
