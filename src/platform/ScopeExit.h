#pragma once
// Runs a clean-up when the scope is left, however it is left, unless dismissed.
#include <utility>

namespace tesvar::platform {

template <class F>
class ScopeExit {
public:
    explicit ScopeExit(F f) : f_(std::move(f)) {}
    ~ScopeExit() {
        if (armed_) f_();
    }
    ScopeExit(const ScopeExit&) = delete;
    ScopeExit& operator=(const ScopeExit&) = delete;
    // The scope ended as planned; the clean-up is not needed.
    void Dismiss() noexcept { armed_ = false; }

private:
    F f_;
    bool armed_ = true;
};

}  // namespace tesvar::platform
