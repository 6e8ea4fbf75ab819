#include "platform/AttributePrefetch.h"

#include "platform/Text.h"

namespace tesvar::platform {

AttributePrefetch::AttributePrefetch(const std::vector<std::wstring>& paths, unsigned threads, Look look, Clock clock)
    : paths_(paths),
      look_(std::move(look)),
      clock_(std::move(clock)),
      slots_(std::make_unique<Slot[]>(paths_.size())) {
    try {
        for (unsigned i = 0; i < threads; ++i) threads_.emplace_back([this] { Work(); });
    } catch (...) {
        // Fewer threads, or none: the drop asks for itself what nobody looked up.
    }
}

AttributePrefetch::~AttributePrefetch() {
    {
        const std::lock_guard lock(mutex_);
        stop_ = true;
    }
    room_.notify_all();
    for (auto& thread : threads_) thread.join();
}

void AttributePrefetch::Work() noexcept {
    std::unique_lock lock(mutex_);
    for (;;) {
        // Waits (without spinning) until the drop has come near enough.
        room_.wait(lock, [this] { return stop_ || claim_ >= paths_.size() || claim_ <= position_ + kAhead; });
        if (stop_ || claim_ >= paths_.size()) return;
        const std::size_t i = claim_++;
        Slot& slot = slots_[i];
        // Passed already, or a path the drop never asks about.
        if (i < position_ || slot.state != State::Free || TrimSpaces(paths_[i]).empty()) continue;
        slot.state = State::Busy;
        lock.unlock();
        const auto asked = clock_();
        const Answer answer = look_(paths_[i]);
        lock.lock();
        slot.answer = answer;
        slot.asked = asked;
        slot.state = State::Answered;
        answered_.notify_all();
    }
}

void AttributePrefetch::Reached(std::size_t index) {
    {
        const std::lock_guard lock(mutex_);
        if (index <= position_) return;
        position_ = index;
        // The threads are woken a stretch at a time, not at every path: each wake-up is
        // a switch of threads on a machine that may have only two cores.
        if (index < woken_ + kAhead / 4) return;
        woken_ = index;
    }
    room_.notify_all();
}

std::optional<AttributePrefetch::Answer> AttributePrefetch::Take(const std::wstring& path) {
    std::unique_lock lock(mutex_);
    const std::size_t i = position_;
    if (i >= paths_.size() || paths_[i] != path) return std::nullopt;
    Slot& slot = slots_[i];
    switch (slot.state) {
        case State::Taken:
            return std::nullopt;  // asked before: the caller asks afresh
        case State::Free:
            // Not begun by a thread: asked now, here.
            slot.state = State::Taken;
            lock.unlock();
            return look_(path);
        case State::Busy:
        case State::Answered:
            break;
    }
    answered_.wait(lock, [&slot] { return slot.state == State::Answered; });
    slot.state = State::Taken;
    const Answer answer = slot.answer;
    const auto asked = slot.asked;
    lock.unlock();
    // An answer read too long ago no longer tells the entry's state now.
    if (clock_() - asked > kFresh) return look_(path);
    return answer;
}

}  // namespace tesvar::platform
