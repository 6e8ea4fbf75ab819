#pragma once
// A data object as the shell hands it over in a drag: a file list (CF_HDROP) of the
// given paths, or, for the negative cases, plain text only or a file list that cannot
// be read as the shell would write it.
#include <windows.h>
#include <ole2.h>
#include <shldisp.h>

#include <string>
#include <vector>

#include "platform/win32/ComObject.h"

namespace tesvar::test {

enum class Payload {
    FileList,
    TextOnly,
    AnsiFileList,       // names in the system's code page (fWide = 0)
    Unterminated,       // the last name runs to the block's end: no closing zeros
    NoNames,            // a list with no name in it
    FailingGetData,     // offers a file list, then fails to hand it over
    StreamMedium,       // hands the list over in a stream, not in global memory
};

// With `async`, it lets a drop target read it after DoDragDrop has returned, as the
// shell's data objects do, and keeps the effect the target reports at the end.
class FileListDataObject final : public platform::win32::ComObject<IDataObject, IDataObjectAsyncCapability> {
public:
    FileListDataObject(std::vector<std::wstring> paths, Payload payload = Payload::FileList, bool async = false);

    // IDataObjectAsyncCapability
    HRESULT STDMETHODCALLTYPE SetAsyncMode(BOOL async) noexcept override;
    HRESULT STDMETHODCALLTYPE GetAsyncMode(BOOL* async) noexcept override;
    HRESULT STDMETHODCALLTYPE StartOperation(IBindCtx*) noexcept override;
    HRESULT STDMETHODCALLTYPE InOperation(BOOL* inOperation) noexcept override;
    HRESULT STDMETHODCALLTYPE EndOperation(HRESULT result, IBindCtx*, DWORD effect) noexcept override;
    // Whether a target started reading it after the drop, and whether it has finished.
    bool Started() const noexcept { return started_; }
    bool Ended() const noexcept { return ended_; }
    DWORD EndEffect() const noexcept { return endEffect_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) noexcept override;
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) noexcept override;
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept override;
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) noexcept override;
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) noexcept override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) noexcept override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    ~FileListDataObject() override = default;
    FORMATETC Format() const noexcept;
    HGLOBAL Render() const noexcept;

    std::vector<std::wstring> paths_;
    Payload payload_;
    BOOL async_;
    bool started_ = false, ended_ = false;
    DWORD endEffect_ = DROPEFFECT_NONE;
};

// The drag source half of a drag started with DoDragDrop: left button held until the
// drop.
class MouseDropSource final : public platform::win32::ComObject<IDropSource> {
public:
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) noexcept override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) noexcept override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    ~MouseDropSource() override = default;
};

}  // namespace tesvar::test
