#pragma once
// What the Start button does: after confirmation, clears the read-only bit of every
// selected entry of the target list, keeping every other bit, and logs each entry.
#include <cstdint>
#include <string>

#include "platform/FileServices.h"
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

// The word handed to SetAttr for a fresh word: the given bits taken away one after the
// other by signed 32-bit subtraction. A subtraction that overflows, or one of a bit the
// word no longer carries (the entry changed since it was tested), fails, so no wrong
// word is ever handed on.
std::int32_t SubtractBits(std::int32_t word, std::initializer_list<std::int32_t> bits,
                          platform::FileServices& files);

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
