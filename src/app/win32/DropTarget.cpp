#include "app/win32/DropTarget.h"

#include <shellapi.h>

#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {
namespace {

FORMATETC FileListFormat() noexcept { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

bool CarriesFileList(IDataObject* data) noexcept {
    if (!data) return false;
    FORMATETC format = FileListFormat();
    return data->QueryGetData(&format) == S_OK;
}

std::vector<std::wstring> DroppedPaths(IDataObject* data) {
    std::vector<std::wstring> paths;
    if (!data) return paths;
    FORMATETC format = FileListFormat();
    platform::win32::ScopedStgMedium medium;
    if (FAILED(data->GetData(&format, medium.put())) || medium.get().tymed != TYMED_HGLOBAL) return paths;
    const platform::win32::GlobalLockGuard lock(medium.get().hGlobal);
    const auto drop = static_cast<HDROP>(lock.get());
    if (!drop) return paths;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    paths.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const UINT length = ::DragQueryFileW(drop, i, nullptr, 0);
        std::wstring path(length, L'\0');
        if (length > 0) ::DragQueryFileW(drop, i, path.data(), length + 1);
        paths.push_back(std::move(path));
    }
    return paths;
}

DWORD DropTarget::Effect(DWORD allowed) noexcept {
    if (!sink_) return DROPEFFECT_NONE;
    DWORD wanted = DROPEFFECT_NONE;
    try {
        wanted = sink_->DragEffect(carriesFileList_);
    } catch (...) {
        wanted = DROPEFFECT_NONE;
    }
    // Only an effect the source allows may be answered.
    return (wanted & allowed) != 0 ? wanted : DROPEFFECT_NONE;
}

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    carriesFileList_ = CarriesFileList(data);
    *effect = Effect(*effect);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    *effect = Effect(*effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave() noexcept {
    carriesFileList_ = false;
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    carriesFileList_ = CarriesFileList(data);
    *effect = Effect(*effect);
    if (*effect == DROPEFFECT_NONE) return S_OK;
    try {
        sink_->Dropped(DroppedPaths(data));
    } catch (...) {
        // The drop's own failures end it; the source still hears the effect it was shown.
    }
    carriesFileList_ = false;
    return S_OK;
}

}  // namespace tesvar::app::win32
