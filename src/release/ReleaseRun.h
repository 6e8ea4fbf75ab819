#pragma once
// What the Start button does: after confirmation, clears the read-only bit of every
// selected entry of the target list, keeping every other bit, and logs each entry.
#include <cstdint>
#include <optional>
#include <string>

#include "platform/FileServices.h"
#include "platform/SkipOnFailure.h"
#include "platform/Ui.h"

namespace tesvar::release {

inline constexpr const wchar_t* kListEmptyPrompt = L"対象ﾌｧｲﾙをﾘｽﾄﾎﾞｯｸｽへﾄﾞﾛｯﾌﾟして下さい";

struct ReleaseServices {
    platform::FileServices& files;
    platform::TextOutput& out;
    platform::AnsiCodePage& ansi;
    platform::TargetList& list;
    platform::MainWindow& window;
    platform::MessageBoxes& boxes;
};

// The prompts of the run, built from their pieces.
std::wstring ConfirmationPrompt(std::int32_t selCount);
std::wstring ErrorPrompt(const std::wstring& message);
std::wstring CompletionPrompt(std::int32_t selCount);

// The word handed to SetAttr: the given bits taken away from the word read one after
// the other by signed 32-bit subtraction. A subtraction that overflows, or one of a bit
// the word does not carry, fails, so no wrong word is ever handed on.
std::int32_t SubtractBits(std::int32_t word, std::initializer_list<std::int32_t> bits,
                          platform::FileServices& files);

// The one attribute read a selected entry gets before its change, or the failure that
// read met. Every use of a failed read fails the same way, as a fresh read would have.
class BeforeRead {
public:
    template <class Query>
    void Read(platform::SkipOnFailure& step, Query&& read) {
        failure_.reset();
        if (!step.Do([&] { word_ = read(); })) failure_ = step.Error();
    }
    bool Succeeded() const { return !failure_; }
    // The word read; throws the read's failure when it failed.
    std::int32_t Word() const;

private:
    std::int32_t word_ = 0;
    std::optional<platform::CurrentError> failure_;
};

class ReleaseRun {
public:
    explicit ReleaseRun(ReleaseServices services) : s_(services) {}

    // BtnStart_Click. Returns false when the program is ending (a close request was
    // handled while the run yielded), true otherwise.
    bool BtnStart_Click();
    // From the click until the completion message is answered.
    bool InProgress() const { return inProgress_; }

private:
    bool Run();
    ReleaseServices s_;
    bool inProgress_ = false;
};

}  // namespace tesvar::release
