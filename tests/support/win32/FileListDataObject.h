#pragma once
// A data object as the shell hands it over in a drag: a file list (CF_HDROP) of the
// given paths, or, for the negative case, plain text only.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <vector>

#include "platform/win32/ComObject.h"

namespace tesvar::test {

enum class Payload { FileList, TextOnly };

class FileListDataObject final : public platform::win32::ComObject<IDataObject> {
public:
    FileListDataObject(std::vector<std::wstring> paths, Payload payload = Payload::FileList);

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
