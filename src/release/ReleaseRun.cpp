#include "release/ReleaseRun.h"

#include "platform/Error.h"
#include "platform/ScopeExit.h"
#include "platform/Text.h"
#include "release/RunLog.h"
#include "platform/SkipOnFailure.h"

namespace tesvar::release {

using platform::Decimal;
namespace attr = platform::attr;
namespace msgbox = platform::msgbox;

std::wstring ConfirmationPrompt(std::int32_t selCount) {
    return Decimal(selCount) + L" File の " + L" 読取専用ｽﾃｰﾀｽを解除します" + L"\r\n" + L"よろしいですか？";
}

std::wstring ErrorPrompt(const std::wstring& message) { return message + L"\r\n" + L"処理を中断しますか？"; }

std::wstring CompletionPrompt(std::int32_t selCount) { return Decimal(selCount) + L" File の処理が終了しました"; }

std::int32_t SubtractBits(std::int32_t word, std::initializer_list<std::int32_t> bits, platform::FileServices& files) {
    for (std::int32_t bit : bits) {
        if ((word & bit) == 0) {
            throw platform::Error(platform::win_error::InvalidData, files.ErrorText(platform::win_error::InvalidData));
        }
        const std::int64_t result = static_cast<std::int64_t>(word) - bit;
        if (result < INT32_MIN || result > INT32_MAX) {
            throw platform::Error(platform::win_error::ArithmeticOverflow,
                                  files.ErrorText(platform::win_error::ArithmeticOverflow));
        }
        word = static_cast<std::int32_t>(result);
    }
    return word;
}

std::int32_t BeforeRead::Word() const {
    if (failure_) throw platform::Error(failure_->number, failure_->message);
    return word_;
}

bool ReleaseRun::BtnStart_Click() {
    // A second click cannot come through a disabled button, but a failed disable must
    // not let two runs share one list either.
    if (inProgress_) return true;
    inProgress_ = true;
    const platform::ScopeExit done([this] { inProgress_ = false; });
    return Run();
}

bool ReleaseRun::Run() {
    auto& files = s_.files;
    auto& list = s_.list;
    auto& window = s_.window;
    RunLog log(files, s_.out, s_.ansi);
    platform::SkipOnFailure step;

    // Run state, zero at every start.
    std::int16_t intLogFile = 0;
    std::int32_t lngIndex = 0;
    std::int32_t lngAttrBefore = 0;
    std::int32_t lngAttrAfter = 0;
    std::int32_t lngAnswer = 0;
    std::int32_t lastIndex = 0;

    // 1. Nothing to process.
    if (step.Test([&] { return list.ListCount() == 0; })) {
        step.Do([&] { s_.boxes.MsgBox(kListEmptyPrompt, msgbox::OkExclamation); });
        return true;
    }
    // 2. Confirmation.
    step.Do([&] { lngAnswer = s_.boxes.MsgBox(ConfirmationPrompt(list.SelCount()), msgbox::YesNoQuestion); });
    if (lngAnswer != msgbox::Yes) return true;
    // Closed while the confirmation was open: the program ends, nothing of the run happens.
    if (window.Ending()) return false;

    step.Do([&] { window.SetMousePointer(platform::pointer::Busy); });             // 3
    // A fault that no step absorbs ends the run early: the log is closed all the same and
    // the window comes back as after a run, so that the next run works.
    platform::ScopeExit unwound([&] {
        platform::SkipOnFailure cleanup;
        cleanup.Do([&] { log.Close(intLogFile); });
        cleanup.Do([&] { window.SetButtonEnabled(platform::Button::Start, true); });
        cleanup.Do([&] { window.SetButtonEnabled(platform::Button::Clear, true); });
        cleanup.Do([&] { window.SetMousePointer(platform::pointer::Default); });
    });
    step.Do([&] { intLogFile = log.FreeFile(); });                                 // 4
    step.Do([&] { log.Open(intLogFile); });                                        // 5
    step.Do([&] { window.SetButtonEnabled(platform::Button::Start, false); });    // 6
    step.Do([&] { window.SetButtonEnabled(platform::Button::Clear, false); });    // 7
    step.Do([&] {                                                                  // 8
        lastIndex = list.ListCount() - 1;
        lngIndex = 0;
    });

    // Every path is read from the list at the moment it is needed.
    const auto path = [&] { return list.List(lngIndex); };
    const auto fresh = [&] { return files.GetAttr(path()); };
    // One read before the change serves the before value, the three tests and the word
    // handed to SetAttr: on Windows every read opens the entry and passes every file
    // system filter, on a share it is a round trip. A read that failed stands for every
    // use of it, which then fails the same way.
    BeforeRead before;
    const auto has = [&](std::int32_t bit) { return step.Test([&] { return (before.Word() & bit) != 0; }); };
    const auto release = [&](std::initializer_list<std::int32_t> bits) {
        step.Do([&] { files.SetAttr(path(), SubtractBits(before.Word(), bits, files)); });
    };

    bool goOn = true;
    for (; lngIndex <= lastIndex; ++lngIndex) {
        step.Do([&] { list.SetTopIndex(lngIndex); });   // 9
        step.Do([&] { list.SetListIndex(lngIndex); });  // 10
        step.ClearError();                              // 11

        if (step.Test([&] { return list.Selected(lngIndex); })) {     // 12
            before.Read(step, fresh);                                  // 12.1
            if (before.Succeeded()) lngAttrBefore = before.Word();
            if (has(attr::ReadOnly)) {                                 // 12.2
                if (has(attr::Directory)) {                            // 12.3
                    if (has(attr::Compressed)) {                       // 12.4
                        release({attr::Compressed, attr::ReadOnly, attr::Directory});  // 12.5
                    } else {
                        release({attr::ReadOnly, attr::Directory});    // 12.6
                    }
                } else if (has(attr::Compressed)) {                    // 12.7
                    release({attr::Compressed, attr::ReadOnly});       // 12.8
                } else {
                    release({attr::ReadOnly});                         // 12.9
                }
                step.Do([&] { lngAttrAfter = fresh(); });              // 12.10
                step.Do([&] {                                          // 12.11
                    log.WriteReleased(intLogFile, path(), lngAttrBefore, lngAttrAfter, step.Error().number);
                });
            } else {
                step.Do([&] { log.WriteNotReadOnly(intLogFile, path(), lngAttrBefore); });  // 12.12
            }
        } else {
            step.Do([&] { log.WriteNotSelected(intLogFile, path()); });  // 13
        }
        // The run's last lines go to disk as the last entry's own: a failure to write
        // them is reported with its abort question, not lost at the close.
        if (lngIndex == lastIndex) step.Do([&] { log.Flush(intLogFile); });

        if (step.Error().number != 0) {                                                 // 14
            // The lines so far are on disk while the question waits; a failure to write
            // them is this entry's too.
            step.Do([&] { log.Flush(intLogFile); });
            const platform::CurrentError failure = step.Error();
            step.Do([&] { lngAnswer = s_.boxes.MsgBox(ErrorPrompt(failure.message), msgbox::YesNoExclamation); });  // 14.1
            step.Do([&] {                                                               // 14.2
                const std::wstring p = path();
                const std::wstring message = step.Error().message;
                log.WriteError(intLogFile, p, message, files.GetAttr(p));
            });
            if (lngAnswer == msgbox::Yes) break;                                        // 14.3
        }
        step.Do([&] { goOn = window.DoEvents(); });  // 15
        if (!goOn) break;
    }

    unwound.Dismiss();
    step.Do([&] { log.Close(intLogFile); });  // 16
    // The program is ending (END or a close during the yield or during the abort
    // question): nothing more is shown.
    if (window.Ending()) return false;
    step.Do([&] { window.SetForegroundWindow(); });                               // 17
    step.Do([&] { window.SetActiveWindow(); });                                   // 18
    step.Do([&] { window.SetButtonEnabled(platform::Button::Start, true); });    // 19
    step.Do([&] { window.SetButtonEnabled(platform::Button::Clear, true); });    // 20
    step.Do([&] { window.SetMousePointer(platform::pointer::Default); });         // 21
    step.Do([&] { s_.boxes.MsgBox(CompletionPrompt(list.SelCount()), msgbox::OkInformation); });  // 22
    return true;
}

}  // namespace tesvar::release
