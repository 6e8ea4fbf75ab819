// The list's drops: OLE's drop target, and the drops taken up from the window's queue.
#include "app/win32/TesvarWindow.h"

#include "app/win32/Startup.h"
#include "platform/ScopeExit.h"
#include "platform/Text.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {
namespace {

using platform::win32::ThrowError;

// How often a long drop lets paints and the system's calls through.
constexpr ULONGLONG kBreathMs = 100;
// A drop that lasts longer shows on the taskbar button.
constexpr ULONGLONG kLongDropMs = 500;

}  // namespace

platform::win32::ComPtr<IDropTargetHelper> TesvarWindow::DragImageHelper() const noexcept {
    try {
        return dragImages_ ? dragImages_() : platform::win32::ComPtr<IDropTargetHelper>();
    } catch (...) {
        return {};  // no drag image: the drop works as before
    }
}

void TesvarWindow::AcceptDrops() {
    // Drops from the shell need the window's thread in a single-threaded apartment.
    ole_ = std::make_unique<platform::win32::OleInitialization>();
    if (const HRESULT started = ole_->Result(); FAILED(started)) {
        ole_.reset();
        ThrowError(static_cast<DWORD>(started));
    }
    // Drops are taken on the list alone.
    const HWND list = Control(kList1);
    dropTarget_ = platform::win32::ComPtr<DropTarget>::Attach(
        new DropTarget(static_cast<DropSink&>(*this), list, DragImageHelper()));
    fileDrops_.Attach(list, [this](std::vector<std::wstring> paths) { FileDropped(std::move(paths)); });
    // Run as administrator: no OLE drag of the normal shell reaches the window.
    if (fileDropsOnly_ ? fileDropsOnly_() : ShellRunsBelowUs()) {
        AcceptFileDrops(list);
        return;
    }
    const HRESULT registered = ::RegisterDragDrop(Control(kList1), dropTarget_.get());
    if (FAILED(registered)) ThrowError(static_cast<DWORD>(registered));
}

bool TesvarWindow::StayResponsive() {
    const ULONGLONG now = ::GetTickCount64();
    if (dropActive_ && !dropIndeterminate_ && now - dropStarted_ >= kLongDropMs) {
        dropIndeterminate_ = true;
        taskbar_.Indeterminate();
    }
    if (now - lastBreath_ >= kBreathMs) {
        lastBreath_ = now;
        pump_.LetCallsAndPaintsThrough();
    }
    return !ending_;
}

DWORD TesvarWindow::DragEffect(bool carriesFileList) {
    return form_.List1_OLEDragOver(carriesFileList) == 1 ? DROPEFFECT_COPY : DROPEFFECT_NONE;
}

void TesvarWindow::FileDropped(std::vector<std::wstring> paths) {
    // The drop target's rules: nothing during a run, and data that cannot be read
    // changes nothing.
    if (paths.empty() || DragEffect(true) == DROPEFFECT_NONE) return;
    Dropped(std::make_unique<ReadPaths>(std::move(paths)));
}

void TesvarWindow::TakeDrop(std::vector<std::wstring> paths) {
    Dropped(std::make_unique<ReadPaths>(std::move(paths)));
}

void TesvarWindow::Dropped(std::unique_ptr<PendingDrop> drop) {
    // The shell's window waits until the drop target returns: the drop runs from the
    // window's queue right after (a posted message comes before any queued input).
    pendingDrops_.push_back(std::move(drop));
    if (!::PostMessageW(Hwnd(), kDropMessage, 0, 0)) OnDrop();  // a full queue: now
}

void TesvarWindow::OnDrop() {
    // One drop at a time; the one in progress takes up what waits when it ends.
    if (dropActive_ || pendingDrops_.empty()) return;
    if (ending_) {
        pendingDrops_.clear();  // each tells its source that nothing was taken
        return;
    }
    const std::unique_ptr<PendingDrop> drop = std::move(pendingDrops_.front());
    pendingDrops_.pop_front();
    dropActive_ = true;
    lastBreath_ = dropStarted_ = ::GetTickCount64();
    DWORD effect = DROPEFFECT_NONE;
    const platform::ScopeExit done([this, &drop, &effect] {
        drop->End(effect);
        dropActive_ = false;
        if (std::exchange(dropIndeterminate_, false)) taskbar_.Clear();
        if (!pendingDrops_.empty() && !ending_) ::PostMessageW(Hwnd(), kDropMessage, 0, 0);
        EndIfClosed();
    });
    // Data that cannot be read changes nothing: list, ticks and caption stay.
    std::vector<std::wstring> paths = drop->Read();
    if (paths.empty() || ending_) return;
    // Each path made absolute and canonical once, so that everything below it reaches
    // the file system by exactly its name ("foo." is never taken for "foo").
    const std::wstring folder = CurrentFolder();
    for (auto& path : paths) path = platform::DroppedPath(path, folder);
    if (form_.List1_OLEDragDrop(paths)) effect = DROPEFFECT_COPY;
}

}  // namespace tesvar::app::win32
