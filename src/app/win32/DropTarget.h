#pragma once
// The OLE drop target of the list: tells the drag source the effect and hands the
// dropped file list to its sink.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "platform/win32/ComObject.h"

namespace tesvar::app::win32 {

class DropSink {
public:
    // DROPEFFECT_COPY or DROPEFFECT_NONE for data that does or does not carry a file list.
    virtual DWORD DragEffect(bool carriesFileList) = 0;
    virtual void Dropped(const std::vector<std::wstring>& paths) = 0;

protected:
    ~DropSink() = default;
};

// True when the data object offers a file list (CF_HDROP).
bool CarriesFileList(IDataObject* data) noexcept;
// The paths of a CF_HDROP file list, in their order; empty when there is none.
std::vector<std::wstring> DroppedPaths(IDataObject* data);

class DropTarget final : public platform::win32::ComObject<IDropTarget> {
public:
    explicit DropTarget(DropSink& sink) noexcept : sink_(&sink) {}
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

    DropSink* sink_;
    bool carriesFileList_ = false;
};

}  // namespace tesvar::app::win32
