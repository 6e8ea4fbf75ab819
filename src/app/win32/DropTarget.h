#pragma once
// The OLE drop target of the list: tells the drag source the effect, hands the dropped
// file list to its sink, and passes the drag on to the shell's drag image helper.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

// A drop the window takes up after the drop target has returned to the source.
class PendingDrop {
public:
    // A drop never taken up ends with no effect.
    virtual ~PendingDrop() = default;
    // The drop's paths; nothing when its data cannot be read.
    virtual std::vector<std::wstring> Read() = 0;
    // What became of the drop, once: DROPEFFECT_COPY when it replaced the list,
    // DROPEFFECT_NONE when it was refused or failed.
    virtual void End(DWORD effect) noexcept = 0;
};

// Paths already read; their source has nothing more to hear.
class ReadPaths final : public PendingDrop {
public:
    explicit ReadPaths(std::vector<std::wstring> paths) noexcept : paths_(std::move(paths)) {}
    std::vector<std::wstring> Read() override { return std::move(paths_); }
    void End(DWORD) noexcept override {}

private:
    std::vector<std::wstring> paths_;
};

class DropSink {
public:
    // DROPEFFECT_COPY or DROPEFFECT_NONE for data that does or does not carry a file list.
    virtual DWORD DragEffect(bool carriesFileList) = 0;
    // A drop to take up once the drop target has returned to the source.
    virtual void Dropped(std::unique_ptr<PendingDrop> drop) = 0;

protected:
    ~DropSink() = default;
};

// True when the data object offers a file list (CF_HDROP).
bool CarriesFileList(IDataObject* data) noexcept;
// The names of a DROPFILES block of `size` bytes, in their order: wide, or in the
// system's code page. A name that runs past the block's end is left out, so a block
// without its closing zero gives the names that end inside it.
std::vector<std::wstring> DropFileNames(const void* block, std::size_t size);
// The paths of a CF_HDROP file list, in their order; empty when there is none or the
// data cannot be read.
std::vector<std::wstring> DroppedPaths(IDataObject* data);

class DropTarget final : public platform::win32::ComObject<IDropTarget> {
public:
    // `window` is the list; `helper`, when there is one, draws the shell's drag image
    // over it.
    DropTarget(DropSink& sink, HWND window, platform::win32::ComPtr<IDropTargetHelper> helper) noexcept
        : sink_(&sink), window_(window), helper_(std::move(helper)) {}
    // The sink is going away; a call that still arrives (the source may hold the
    // target a little longer) is refused.
    void Disconnect() noexcept { sink_ = nullptr; }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) noexcept override;
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point, DWORD* effect) noexcept override;

private:
    ~DropTarget() override = default;
    DWORD Effect(DWORD allowed) noexcept;
    // Hands the drop to the sink; the effect to answer.
    DWORD Take(IDataObject* data) noexcept;

    DropSink* sink_;
    HWND window_;
    platform::win32::ComPtr<IDropTargetHelper> helper_;
    bool carriesFileList_ = false;
};

}  // namespace tesvar::app::win32
