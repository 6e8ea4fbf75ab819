#include "app/win32/DropTarget.h"

#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string_view>

#include "platform/win32/ScopedWin.h"
#include "platform/win32/Win32FileServices.h"

namespace tesvar::app::win32 {
namespace {

FORMATETC FileListFormat() noexcept { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

}  // namespace

bool CarriesFileList(IDataObject* data) noexcept {
    if (!data) return false;
    FORMATETC format = FileListFormat();
    return data->QueryGetData(&format) == S_OK;
}

std::vector<std::wstring> DropFileNames(const void* block, std::size_t size) {
    std::vector<std::wstring> names;
    DROPFILES header{};
    if (!block || size < sizeof header) return names;
    std::memcpy(&header, block, sizeof header);
    if (header.pFiles < sizeof header || header.pFiles >= size) return names;
    const auto* bytes = static_cast<const unsigned char*>(block);
    std::size_t at = header.pFiles;
    if (header.fWide) {
        // The names as one run of characters (copied once: the list need not be aligned).
        std::wstring units((size - at) / sizeof(wchar_t), L'\0');
        std::memcpy(units.data(), bytes + at, units.size() * sizeof(wchar_t));
        std::wstring_view rest(units);
        while (!rest.empty() && rest.front() != L'\0') {
            const auto end = rest.find(L'\0');
            if (end == std::wstring_view::npos) break;  // runs past the block's end
            names.emplace_back(rest.substr(0, end));
            rest.remove_prefix(end + 1);
        }
        return names;
    }
    // Names in the system's code page.
    platform::win32::Win32Ansi ansi;
    while (at < size && bytes[at] != 0) {
        const auto* start = reinterpret_cast<const char*>(bytes + at);
        const auto* end = static_cast<const char*>(std::memchr(start, 0, size - at));
        if (!end) break;  // runs past the block's end
        const std::size_t length = static_cast<std::size_t>(end - start);
        names.push_back(ansi.FromAnsi(std::string_view(start, length)));
        at += length + 1;
    }
    return names;
}

std::vector<std::wstring> DroppedPaths(IDataObject* data) {
    if (!data) return {};
    FORMATETC format = FileListFormat();
    platform::win32::ScopedStgMedium medium;
    if (FAILED(data->GetData(&format, medium.put())) || medium.get().tymed != TYMED_HGLOBAL) return {};
    // Read once, within the block: DragQueryFileW walks the list from its first name on
    // every call, which for a drag of many files keeps the shell waiting.
    const platform::win32::GlobalLockGuard lock(medium.get().hGlobal);
    if (!lock.get()) return {};
    return DropFileNames(lock.get(), ::GlobalSize(medium.get().hGlobal));
}

namespace {

// A drop whose source lets its data be read after DoDragDrop has returned (the shell's
// data objects do): the source is free at once, and hears the outcome when the window
// has taken the drop up or refused it. However the drop ends, the source's operation
// is ended.
class LaterRead final : public PendingDrop {
public:
    explicit LaterRead(IDataObject* data) noexcept {
        data->AddRef();
        data_ = platform::win32::ComPtr<IDataObject>::Attach(data);
    }
    ~LaterRead() override { End(E_ABORT, DROPEFFECT_NONE); }
    LaterRead(const LaterRead&) = delete;
    LaterRead& operator=(const LaterRead&) = delete;

    // The source's operation has started: from here on it is owed its end.
    void Started(platform::win32::ComPtr<IDataObjectAsyncCapability> async) noexcept { async_ = std::move(async); }

    std::vector<std::wstring> Read() override {
        try {
            return DroppedPaths(data_.get());
        } catch (...) {
            return {};
        }
    }
    void End(DWORD effect) noexcept override { End(S_OK, effect); }

private:
    void End(HRESULT result, DWORD effect) noexcept {
        if (!async_) return;
        async_->EndOperation(result, nullptr, effect);
        async_.reset();
        data_.reset();
    }

    platform::win32::ComPtr<IDataObject> data_;
    platform::win32::ComPtr<IDataObjectAsyncCapability> async_;
};

}  // namespace

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

HRESULT DropTarget::DragEnter(IDataObject* data, DWORD, POINTL point, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    carriesFileList_ = CarriesFileList(data);
    *effect = Effect(*effect);
    POINT at{point.x, point.y};
    if (helper_) helper_->DragEnter(window_, data, &at, *effect);
    return S_OK;
}

HRESULT DropTarget::DragOver(DWORD, POINTL point, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    *effect = Effect(*effect);
    POINT at{point.x, point.y};
    if (helper_) helper_->DragOver(&at, *effect);
    return S_OK;
}

HRESULT DropTarget::DragLeave() noexcept {
    carriesFileList_ = false;
    if (helper_) helper_->DragLeave();
    return S_OK;
}

HRESULT DropTarget::Drop(IDataObject* data, DWORD, POINTL point, DWORD* effect) noexcept {
    if (!effect) return E_INVALIDARG;
    carriesFileList_ = CarriesFileList(data);
    *effect = Effect(*effect);
    carriesFileList_ = false;
    // Data that cannot be read changes nothing, and the source hears that nothing was
    // taken.
    if (*effect != DROPEFFECT_NONE) *effect = Take(data);
    POINT at{point.x, point.y};
    if (helper_) helper_->Drop(data, &at, *effect);
    return S_OK;
}

DWORD DropTarget::Take(IDataObject* data) noexcept {
    try {
        platform::win32::ComPtr<IDataObjectAsyncCapability> async;
        BOOL asyncMode = FALSE;
        if (SUCCEEDED(data->QueryInterface(IID_IDataObjectAsyncCapability, reinterpret_cast<void**>(async.put()))) &&
            SUCCEEDED(async->GetAsyncMode(&asyncMode)) && asyncMode) {
            // Made before the operation starts, so that nothing between its start and
            // its hand-over can fail and leave it open.
            auto later = std::make_unique<LaterRead>(data);
            if (SUCCEEDED(async->StartOperation(nullptr))) {
                later->Started(std::move(async));
                // The calls to the source let the window's messages through: it may have
                // gone meanwhile (a session's end). The operation then ends unread.
                if (!sink_) return DROPEFFECT_NONE;
                sink_->Dropped(std::move(later));
                return DROPEFFECT_COPY;
            }
        }
        std::vector<std::wstring> paths = DroppedPaths(data);
        if (paths.empty() || !sink_) return DROPEFFECT_NONE;
        sink_->Dropped(std::make_unique<ReadPaths>(std::move(paths)));
        return DROPEFFECT_COPY;
    } catch (...) {
        // The drop's own failures end it; the source hears that nothing was taken.
        return DROPEFFECT_NONE;
    }
}

}  // namespace tesvar::app::win32
