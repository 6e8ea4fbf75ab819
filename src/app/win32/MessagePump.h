#pragma once
// The messages of the window's thread: the program's loop, the yield of a release run,
// and what a drop lets through while it works.
#include <windows.h>

#include <functional>

namespace tesvar::app::win32 {

class MessagePump {
public:
    // Keyboard handling done before a message is dispatched; true when it used the message.
    using PreTranslate = std::function<bool(const MSG&)>;
    // A quit message met while a run yields or a drop lets messages through, with its
    // exit code: a close request, not something to post again and meet at every yield.
    using Quit = std::function<void(int exitCode)>;
    MessagePump(PreTranslate preTranslate, Quit quit)
        : preTranslate_(std::move(preTranslate)), quit_(std::move(quit)) {}

    // The program's loop, until WM_QUIT; gives the exit code.
    int Run();
    // The yield: handles every message pending now. The queue is asked first, so a
    // yield after every entry costs little when nothing is pending.
    void HandlePending();
    // Lets through the calls of other threads and processes (sent messages, COM calls
    // into this apartment, as a drag source's last call after the drop) and paints,
    // as COM's own modal loop does; input and the window's posted events wait.
    void LetCallsAndPaintsThrough();

private:
    void Dispatch(MSG& msg);
    // The message-only window through which COM calls reach this thread's apartment.
    HWND ApartmentWindow();

    void Quitting(const MSG& msg);

    PreTranslate preTranslate_;
    Quit quit_;
    HWND apartment_ = nullptr;
};

}  // namespace tesvar::app::win32
