#pragma once
// "Try this step; if it fails, remember the failure and go on": the rule of the load
// handling, the resize rule, the path splitter and the release run, in one place. A
// step that fails with a platform error (or runs out of memory) is abandoned, its
// failure becomes the current error, and the caller goes on with the next step. Any
// other exception is a fault and travels on.
#include <cstdint>
#include <new>
#include <string>

#include "platform/Error.h"

namespace tesvar::platform {

// The number (0 for none) and message text of the most recent failure.
struct CurrentError {
    std::int32_t number = 0;
    std::wstring message;
};

class SkipOnFailure {
public:
    // Runs one step. Returns false when it failed; the failure is then the current error.
    template <class Step>
    bool Do(Step&& step) {
        try {
            step();
            return true;
        } catch (const platform::Error& e) {
            error_.number = e.Number();
            error_.message = e.Message();
        } catch (const std::bad_alloc&) {
            error_.number = kOutOfMemory;
            error_.message = L"メモリが不足しています。";
        }
        return false;
    }

    // Runs one test. A test that fails counts as passed: the caller takes its yes branch.
    template <class Check>
    bool Test(Check&& test) {
        bool result = true;
        Do([&] { result = test(); });
        return result;
    }

    void ClearError() { error_ = {}; }
    const CurrentError& Error() const { return error_; }

    static constexpr std::int32_t kOutOfMemory = 8;  // ERROR_NOT_ENOUGH_MEMORY

private:
    CurrentError error_;
};

}  // namespace tesvar::platform
