#pragma once
// The OLE drop target of the list: tells the drag source the effect, hands the dropped
// file list to its sink, and passes the drag on to the shell's drag image helper.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/win32/ComObject.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

class DropSink {
public:
    // Gives a drop's paths when the drop is taken up; nothing when its data cannot be read.
    using Reader = std::function<std::vector<std::wstring>()>;
    // A reader of paths already read.
    static Reader ReaderOf(std::vector<std::wstring> paths) {
        return [paths = std::move(paths)]() mutable { return std::move(paths); };
    }

    // DROPEFFECT_COPY or DROPEFFECT_NONE for data that does or does not carry a file list.
    virtual DWORD DragEffect(bool carriesFileList) = 0;
    // A drop to take up once the drop target has returned to the source.
    virtual void Dropped(Reader read) = 0;

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
