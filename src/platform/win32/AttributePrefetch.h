#pragma once
// The attribute words of a drop's paths, asked of the file system ahead on threads of
// their own while the window's thread fills the list: a drop of thousands of files
// selected in a shell folder (or sent from a share, where each question is a round
// trip) then waits for the file system about once, not once per path.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tesvar::platform::win32 {

class AttributePrefetch {
public:
    // Starts looking the paths up, in order, on `threads` threads.
    AttributePrefetch(std::vector<std::wstring> paths, unsigned threads);
    // Stops the threads; what they have not looked up is not asked.
    ~AttributePrefetch();
    AttributePrefetch(const AttributePrefetch&) = delete;
    AttributePrefetch& operator=(const AttributePrefetch&) = delete;

    struct Answer {
        DWORD word;   // INVALID_FILE_ATTRIBUTES when the query failed
        DWORD error;  // the failure's number
    };
    // The answer for path when it is the next path of the drop (paths are taken in
    // their order; empty ones are passed over): looked up ahead, or now if nobody has
    // begun it yet. Nothing for any other path.
    std::optional<Answer> Take(const std::wstring& path);

private:
    struct Slot {
        std::atomic<int> state{0};  // 0 free, 1 being looked up, 2 answered
        Answer answer{INVALID_FILE_ATTRIBUTES, 0};
    };
    static Answer Look(const std::wstring& path) noexcept;
    void Work() noexcept;

    std::vector<std::wstring> paths_;
    std::unique_ptr<Slot[]> slots_;
    std::atomic<std::size_t> claim_{0};  // the next path a thread takes up
    std::atomic<bool> stop_{false};
    std::size_t next_ = 0;  // the next path the drop asks about
    std::vector<std::thread> threads_;
};

}  // namespace tesvar::platform::win32
