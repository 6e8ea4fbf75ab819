#include "app/win32/MessagePump.h"

namespace tesvar::app::win32 {
namespace {

// Safety nets: messages that keep coming back (a paint nobody validates) must not hold
// a run or a drop forever.
constexpr int kMaxMessagesPerYield = 10000;
constexpr int kMaxMessagesLetThrough = 100;

// QS_ALLINPUT of a Windows 10 SDK also names touch and pointer input, which older
// systems refuse with an answer of 0; these are the classic ones.
constexpr UINT kAnyEvent = QS_KEY | QS_MOUSE | QS_RAWINPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT |
                           QS_HOTKEY | QS_SENDMESSAGE;

}  // namespace

void MessagePump::Dispatch(MSG& msg) {
    if (preTranslate_ && preTranslate_(msg)) return;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
}

int MessagePump::Run() {
    MSG msg{};
    BOOL got;
    while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
        if (got == -1) return 1;
        Dispatch(msg);
    }
    return static_cast<int>(msg.wParam);
}

void MessagePump::HandlePending() {
    // One look at the queue: on Windows it reads memory; a round trip under Wine.
    if (HIWORD(::GetQueueStatus(kAnyEvent)) == 0) return;
    MSG msg;
    for (int n = 0; n < kMaxMessagesPerYield && ::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE); ++n) {
        if (msg.message == WM_QUIT) {
            Quitting(msg);
            return;
        }
        Dispatch(msg);
    }
}

void MessagePump::LetCallsAndPaintsThrough() {
    MSG msg;
    const HWND apartment = ApartmentWindow();
    for (int n = 0; n < kMaxMessagesLetThrough; ++n) {
        // Sent messages are handled inside PeekMessage itself.
        if (!(apartment && ::PeekMessageW(&msg, apartment, 0, 0, PM_REMOVE | PM_NOYIELD)) &&
            !::PeekMessageW(&msg, nullptr, 0, 0, PM_QS_PAINT | PM_QS_SENDMESSAGE | PM_REMOVE | PM_NOYIELD))
            return;
        if (msg.message == WM_QUIT) {
            Quitting(msg);
            return;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

void MessagePump::Quitting(const MSG& msg) {
    const int code = static_cast<int>(msg.wParam);
    if (quit_) {
        quit_(code);
    } else {
        ::PostQuitMessage(code);  // left for the program's own loop
    }
}

HWND MessagePump::ApartmentWindow() {
    if (apartment_ && ::IsWindow(apartment_)) return apartment_;
    apartment_ = nullptr;
    // COM creates it the first time an interface of this thread is marshalled (the
    // drop target, when it is registered).
    const DWORD thread = ::GetCurrentThreadId();
    for (HWND w = ::FindWindowExW(HWND_MESSAGE, nullptr, L"OleMainThreadWndClass", nullptr); w;
         w = ::FindWindowExW(HWND_MESSAGE, w, L"OleMainThreadWndClass", nullptr)) {
        if (::GetWindowThreadProcessId(w, nullptr) == thread) return apartment_ = w;
    }
    return nullptr;
}

}  // namespace tesvar::app::win32
