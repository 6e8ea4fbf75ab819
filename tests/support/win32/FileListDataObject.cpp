#include "support/win32/FileListDataObject.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace tesvar::test {

FileListDataObject::FileListDataObject(std::vector<std::wstring> paths, Payload payload)
    : paths_(std::move(paths)), payload_(payload) {}

FORMATETC FileListDataObject::Format() const noexcept {
    const CLIPFORMAT format = payload_ == Payload::FileList ? CF_HDROP : CF_UNICODETEXT;
    return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

HGLOBAL FileListDataObject::Render() const noexcept {
    // CF_HDROP: a DROPFILES header, then the wide paths each ending in a zero and one
    // more zero at the end. Text: the paths joined by line breaks.
    std::wstring body;
    for (const auto& p : paths_) {
        body += p;
        body.push_back(payload_ == Payload::FileList ? L'\0' : L'\n');
    }
    body.push_back(L'\0');
    const std::size_t header = payload_ == Payload::FileList ? sizeof(DROPFILES) : 0;
    const std::size_t bytes = header + body.size() * sizeof(wchar_t);
    const HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
    if (!memory) return nullptr;
    auto* base = static_cast<unsigned char*>(::GlobalLock(memory));
    if (!base) {
        ::GlobalFree(memory);
        return nullptr;
    }
    if (header) {
        DROPFILES files{};
        files.pFiles = static_cast<DWORD>(header);
        files.fWide = TRUE;
        std::memcpy(base, &files, sizeof files);
    }
    std::memcpy(base + header, body.data(), body.size() * sizeof(wchar_t));
    ::GlobalUnlock(memory);
    return memory;
}

HRESULT FileListDataObject::QueryGetData(FORMATETC* format) noexcept {
    if (!format) return E_INVALIDARG;
    const FORMATETC mine = Format();
    if (format->cfFormat != mine.cfFormat) return DV_E_FORMATETC;
    if ((format->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
    if (format->dwAspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
    return S_OK;
}

HRESULT FileListDataObject::GetData(FORMATETC* format, STGMEDIUM* medium) noexcept {
    if (!medium) return E_INVALIDARG;
    const HRESULT ok = QueryGetData(format);
    if (ok != S_OK) return ok;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = Render();
    medium->pUnkForRelease = nullptr;
    return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
}

HRESULT FileListDataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) noexcept {
    if (out) out->ptd = nullptr;
    return DATA_S_SAMEFORMATETC;
}

HRESULT FileListDataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) noexcept {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    FORMATETC format = Format();
    return ::SHCreateStdEnumFmtEtc(1, &format, out);
}

HRESULT MouseDropSource::QueryContinueDrag(BOOL escape, DWORD keys) noexcept {
    if (escape) return DRAGDROP_S_CANCEL;
    if ((keys & MK_LBUTTON) == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

}  // namespace tesvar::test
