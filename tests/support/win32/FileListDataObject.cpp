#include "support/win32/FileListDataObject.h"

#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

namespace tesvar::test {

FileListDataObject::FileListDataObject(std::vector<std::wstring> paths, Payload payload, bool async)
    : paths_(std::move(paths)), payload_(payload), async_(async ? TRUE : FALSE) {}

HRESULT FileListDataObject::SetAsyncMode(BOOL async) noexcept {
    async_ = async;
    return S_OK;
}

HRESULT FileListDataObject::GetAsyncMode(BOOL* async) noexcept {
    if (!async) return E_INVALIDARG;
    *async = async_;
    return S_OK;
}

HRESULT FileListDataObject::StartOperation(IBindCtx*) noexcept {
    started_ = true;
    return S_OK;
}

HRESULT FileListDataObject::InOperation(BOOL* inOperation) noexcept {
    if (!inOperation) return E_INVALIDARG;
    *inOperation = started_ && !ended_ ? TRUE : FALSE;
    return S_OK;
}

HRESULT FileListDataObject::EndOperation(HRESULT, IBindCtx*, DWORD effect) noexcept {
    ended_ = true;
    endEffect_ = effect;
    return S_OK;
}

FORMATETC FileListDataObject::Format() const noexcept {
    const CLIPFORMAT format = payload_ == Payload::TextOnly ? CF_UNICODETEXT : CF_HDROP;
    return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

HGLOBAL FileListDataObject::Render() const noexcept {
    // CF_HDROP: a DROPFILES header, then the paths each ending in a zero and one more
    // zero at the end, wide or in the code page. Text: the paths joined by line breaks.
    std::string body;
    const auto append = [&body](const void* p, std::size_t n) { body.append(static_cast<const char*>(p), n); };
    const bool list = payload_ != Payload::TextOnly;
    for (const auto& p : paths_) {
        if (payload_ == Payload::NoNames) break;
        if (payload_ == Payload::AnsiFileList) {
            const int n = ::WideCharToMultiByte(CP_ACP, 0, p.c_str(), -1, nullptr, 0, nullptr, nullptr);
            std::string ansi(static_cast<std::size_t>(n), '\0');  // with its zero
            ::WideCharToMultiByte(CP_ACP, 0, p.c_str(), -1, ansi.data(), n, nullptr, nullptr);
            body += ansi;
        } else {
            append(p.c_str(), p.size() * sizeof(wchar_t));
            const wchar_t end = list ? L'\0' : L'\n';
            append(&end, sizeof end);
        }
    }
    if (payload_ == Payload::AnsiFileList) {
        body.push_back('\0');
    } else if (payload_ == Payload::Unterminated) {
        body.resize(body.size() - sizeof(wchar_t));  // the last name's zero goes too
    } else {
        const wchar_t end = L'\0';
        append(&end, sizeof end);
    }
    const std::size_t header = list ? sizeof(DROPFILES) : 0;
    const std::size_t bytes = header + body.size();
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
        files.fWide = payload_ == Payload::AnsiFileList ? FALSE : TRUE;
        std::memcpy(base, &files, sizeof files);
    }
    std::memcpy(base + header, body.data(), body.size());
    // The block may be larger than asked for: an unterminated name runs to its very end.
    if (payload_ == Payload::Unterminated) {
        for (std::size_t i = bytes; i + 1 < ::GlobalSize(memory); i += 2) base[i] = 'x', base[i + 1] = 0x30;
    }
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
    if (payload_ == Payload::FailingGetData) return E_UNEXPECTED;
    medium->pUnkForRelease = nullptr;
    const HGLOBAL memory = Render();
    if (!memory) return E_OUTOFMEMORY;
    if (payload_ == Payload::StreamMedium) {
        medium->tymed = TYMED_ISTREAM;
        return ::CreateStreamOnHGlobal(memory, TRUE, &medium->pstm);
    }
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = memory;
    return S_OK;
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
