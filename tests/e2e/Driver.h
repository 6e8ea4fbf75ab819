#pragma once
// Works Tesvar.exe from outside, as a user would: starts it as a child process, drags
// files onto its list with a real OLE drag, types into and clicks its controls, and
// reads and answers its message boxes.
#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "app/win32/Layout.h"
#include "gui/MessageBoxes.h"
#include "platform/win32/ScopedWin.h"
#include "support/win32/FileListDataObject.h"

namespace tesvar::test {

// The folder of the driver's own executable.
std::wstring DriverFolder();
// Tesvar.exe as built beside this driver, or as given with --tesvar=PATH.
std::wstring BuiltTesvarExe();
void SetTesvarExe(std::wstring path);
// Tesvar.exe processes running now.
int CountTesvarProcesses();

class TesvarProcess {
public:
    // How it is started: arguments after the program's own name (each quoted), and the
    // current folder (the program's folder when empty).
    struct Launch {
        std::vector<std::wstring> arguments;
        std::wstring currentFolder;
    };
    // Copies Tesvar.exe into folder (its profile and log land there) and starts it;
    // returns once its window is shown. Throws std::runtime_error when it does not come up.
    explicit TesvarProcess(const std::wstring& folder, const Launch& launch = {});
    // Ends the process if it is still running.
    ~TesvarProcess();
    TesvarProcess(const TesvarProcess&) = delete;
    TesvarProcess& operator=(const TesvarProcess&) = delete;

    HWND Window() const { return window_; }
    HWND Control(app::win32::ControlId id) const;
    DWORD Pid() const { return pid_; }
    std::wstring Text(app::win32::ControlId id) const;
    std::wstring Title() const;

    // The target list, read through the list box's own messages.
    std::vector<std::wstring> Entries() const;
    int SelCount() const;

    void TypeFilter(const std::wstring& text);
    // Clicks the check box until it shows the wanted state.
    void SetSwitch(bool ticked);
    bool Switch() const;
    // Posts a click: a button may open a modal message box, which must not block us.
    void Press(app::win32::ControlId id);
    // A real OLE drag from a small window of the driver onto the list; the effect the
    // drop reported (DROPEFFECT_NONE when it was refused).
    DWORD DragOnto(const std::vector<std::wstring>& paths, Payload payload = Payload::FileList);
    // How long the last drag's DoDragDrop waited after the button was let go.
    DWORD DropWaitMs() const { return dropWaitMs_; }
    // Whether Tesvar was still taking the drop up when DoDragDrop returned (its list
    // hidden, or its caption still the prompt), read without a message to it.
    bool DropInHandAtReturn() const { return dropInHandAtReturn_; }
    // When the last drag let go of the button (QueryPerformanceCounter).
    LARGE_INTEGER ReleasedAt() const { return releasedAt_; }

    // The next message box of the process, once it is shown; nullopt on timeout.
    // Looks every pollMs: a benchmark looks less often, so that its looking (a walk
    // over every window) does not slow the program it times.
    std::optional<SeenBox> WaitBox(DWORD timeoutMs = 20000, DWORD pollMs = 10);
    // Waits for the next box, presses the answer and returns what it showed.
    SeenBox Answer(int button, DWORD timeoutMs = 20000);
    // Waits for the status caption to change from `from` (the drop has ended).
    bool WaitCaptionNot(const std::wstring& from, DWORD timeoutMs = 20000);
    bool WaitButtonEnabled(app::win32::ControlId id, bool enabled, DWORD timeoutMs = 20000);

    void MoveTo(int x, int y, int width, int height);
    RECT Placement() const;
    void CloseBox();  // the window's close box (system menu Close)
    // Waits for the process to end; false on timeout.
    bool WaitExit(DWORD timeoutMs = 20000);
    // The exit code once it has ended.
    DWORD ExitCode() const;
    DWORD ThreadId() const { return ::GetWindowThreadProcessId(window_, nullptr); }
    bool Running() const;

private:
    platform::win32::ScopedHandle process_;
    DWORD pid_ = 0;
    HWND window_ = nullptr;
    std::vector<HWND> answered_;
    DWORD dropWaitMs_ = 0;
    bool dropInHandAtReturn_ = false;
    LARGE_INTEGER releasedAt_{};
};

// Sets the pointer (absolute screen pixels) and the left button through SendInput.
void MovePointer(int x, int y);
void LeftButton(bool down);

}  // namespace tesvar::test
