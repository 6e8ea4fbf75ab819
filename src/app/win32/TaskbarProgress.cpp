#include "app/win32/TaskbarProgress.h"

namespace tesvar::app::win32 {

platform::win32::ComPtr<ITaskbarList3> TaskbarProgress::SystemTaskbarList() noexcept {
    return platform::win32::CreateInstance<ITaskbarList3>(CLSID_TaskbarList);
}

void TaskbarProgress::ButtonCreated(HWND window) noexcept {
    window_ = window;
    list_.reset();
    try {
        if (source_) list_ = source_();
    } catch (...) {
        list_.reset();
    }
    if (list_ && FAILED(list_->HrInit())) list_.reset();
    // A button made anew shows what the old one showed.
    if (!list_ || state_ == TBPF_NOPROGRESS) return;
    list_->SetProgressState(window_, state_);
    if (state_ == TBPF_NORMAL || state_ == TBPF_PAUSED) list_->SetProgressValue(window_, done_, total_);
}

void TaskbarProgress::SetState(TBPFLAG state) noexcept {
    if (state == state_) return;
    state_ = state;
    if (list_) list_->SetProgressState(window_, state);
}

void TaskbarProgress::Show(ULONGLONG done, ULONGLONG total) noexcept {
    SetState(TBPF_NORMAL);
    done_ = done;
    total_ = total;
    if (list_) list_->SetProgressValue(window_, done, total);
}

void TaskbarProgress::Paused() noexcept { SetState(TBPF_PAUSED); }
void TaskbarProgress::Indeterminate() noexcept { SetState(TBPF_INDETERMINATE); }
void TaskbarProgress::Clear() noexcept { SetState(TBPF_NOPROGRESS); }

}  // namespace tesvar::app::win32
