#pragma once
// The attribute words of a drop's paths, asked of the file system ahead on threads of
// their own while the window's thread fills the list: a drop of thousands of files
// selected in a shell folder (or sent from a share, where each question is a round
// trip) then waits for the file system about once, not once per path.
//
// The answers must be those of the moment the drop reaches a path, as a query then
// would give: the threads run at most kAhead paths ahead of the drop, and an answer
// older than kFresh is asked again.
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace tesvar::platform {

class AttributePrefetch {
public:
    struct Answer {
        std::uint32_t word;   // the attribute word, when error is 0
        std::uint32_t error;  // the failure's number, 0 for none
    };
    // Asks the file system about one path; never throws.
    using Look = std::function<Answer(const std::wstring&)>;
    using Clock = std::function<std::chrono::steady_clock::time_point()>;

    static constexpr std::size_t kAhead = 256;
    static constexpr std::chrono::milliseconds kFresh{100};

    // Starts looking the paths up, in order, on `threads` threads. The paths are the
    // drop's own, read where they lie: they must outlive this object.
    AttributePrefetch(const std::vector<std::wstring>& paths, unsigned threads, Look look,
                      Clock clock = &std::chrono::steady_clock::now);
    // Stops the threads; what they have not looked up is not asked.
    ~AttributePrefetch();
    AttributePrefetch(const AttributePrefetch&) = delete;
    AttributePrefetch& operator=(const AttributePrefetch&) = delete;

    // The drop has come to its path number `index` (0-based), whether or not it asks
    // about it (a blank path, one answered already): the threads may run on from there.
    void Reached(std::size_t index);
    // The answer for path when it is the path the drop has reached and nobody took its
    // answer yet: looked up ahead and still fresh, or asked now. Nothing otherwise.
    std::optional<Answer> Take(const std::wstring& path);

private:
    enum class State : unsigned char { Free, Busy, Answered, Taken };
    struct Slot {
        State state = State::Free;
        Answer answer{0, 0};
        std::chrono::steady_clock::time_point asked{};
    };
    void Work() noexcept;

    const std::vector<std::wstring>& paths_;
    Look look_;
    Clock clock_;
    std::unique_ptr<Slot[]> slots_;
    std::mutex mutex_;
    std::condition_variable room_;      // the drop moved on: threads may claim further
    std::condition_variable answered_;  // a thread has answered a path
    std::size_t claim_ = 0;             // the next path a thread takes up
    std::size_t position_ = 0;          // the path the drop has reached
    std::size_t woken_ = 0;             // ... when the threads were last told
    bool stop_ = false;
    std::vector<std::thread> threads_;
};

}  // namespace tesvar::platform
