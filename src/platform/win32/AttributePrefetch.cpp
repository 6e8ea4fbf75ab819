#include "platform/win32/AttributePrefetch.h"

#include "platform/win32/Win32FileServices.h"

namespace tesvar::platform::win32 {

AttributePrefetch::AttributePrefetch(std::vector<std::wstring> paths, unsigned threads)
    : paths_(std::move(paths)), slots_(std::make_unique<Slot[]>(paths_.size())) {
    try {
        for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
        // Fewer threads, or none: the drop asks for itself what nobody looked up.
    }
}

AttributePrefetch::~AttributePrefetch() {
    stop_ = true;
    for (auto& thread : threads_) thread.join();
}

AttributePrefetch::Answer AttributePrefetch::Look(const std::wstring& path) noexcept {
    try {
        const DWORD word = ::GetFileAttributesW(Win32Path(path).c_str());
        return {word, word == INVALID_FILE_ATTRIBUTES ? ::GetLastError() : ERROR_SUCCESS};
    } catch (...) {
        return {INVALID_FILE_ATTRIBUTES, ERROR_NOT_ENOUGH_MEMORY};
    }
}

void AttributePrefetch::Work() noexcept {
    while (!stop_) {
        const std::size_t i = claim_.fetch_add(1);
        if (i >= paths_.size()) return;
        int free = 0;
        if (paths_[i].empty() || !slots_[i].state.compare_exchange_strong(free, 1)) continue;
        slots_[i].answer = Look(paths_[i]);
        slots_[i].state.store(2, std::memory_order_release);
    }
}

std::optional<AttributePrefetch::Answer> AttributePrefetch::Take(const std::wstring& path) {
    while (next_ < paths_.size() && paths_[next_].empty()) ++next_;
    if (next_ >= paths_.size() || paths_[next_] != path) return std::nullopt;
    Slot& slot = slots_[next_++];
    int free = 0;
    // Not begun by a thread: asked now, here.
    if (slot.state.compare_exchange_strong(free, 1)) return Look(path);
    while (slot.state.load(std::memory_order_acquire) != 2) std::this_thread::yield();
    return slot.answer;
}

}  // namespace tesvar::platform::win32
