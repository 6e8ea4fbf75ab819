#pragma once
// The progress bar on the window's taskbar button: how far a run has come, paused while
// an abort question waits, moving on its own during a long drop. Where the system
// offers no taskbar list, nothing is shown and nothing fails.
#include <windows.h>
#include <shobjidl.h>

#include <functional>

#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

class TaskbarProgress {
public:
    // Where the taskbar list comes from: the system's by default.
    using Source = std::function<platform::win32::ComPtr<ITaskbarList3>()>;
    static platform::win32::ComPtr<ITaskbarList3> SystemTaskbarList() noexcept;

    explicit TaskbarProgress(Source source = &SystemTaskbarList) : source_(std::move(source)) {}

    // The shell has made the window's button (again, after it restarted).
    void ButtonCreated(HWND window) noexcept;
    // `done` of `total`, in the normal state.
    void Show(ULONGLONG done, ULONGLONG total) noexcept;
    void Paused() noexcept;
    // Busy for a while, how far unknown.
    void Indeterminate() noexcept;
    void Clear() noexcept;

private:
    void SetState(TBPFLAG state) noexcept;

    Source source_;
    HWND window_ = nullptr;
    platform::win32::ComPtr<ITaskbarList3> list_;
    TBPFLAG state_ = TBPF_NOPROGRESS;
    ULONGLONG done_ = 0, total_ = 0;
};

}  // namespace tesvar::app::win32
