#include "gui/MessageBoxes.h"

#include <algorithm>

namespace tesvar::test {
namespace {

BoxAnswerer* g_answerer = nullptr;

// WM_GETTEXT itself, since the box may belong to another process.
std::wstring TextOf(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 5000, &length)) return {};
    std::wstring s(static_cast<std::size_t>(length) + 1, L'\0');
    DWORD_PTR got = 0;
    if (!::SendMessageTimeoutW(hwnd, WM_GETTEXT, s.size(), reinterpret_cast<LPARAM>(s.data()), SMTO_ABORTIFHUNG, 5000,
                               &got))
        return {};
    s.resize(static_cast<std::size_t>(got));
    return s;
}

std::wstring ClassOf(HWND hwnd) {
    wchar_t name[64] = {};
    ::GetClassNameW(hwnd, name, 64);
    return name;
}

struct ChildScan {
    std::wstring text;
    HICON icon = nullptr;
};

BOOL CALLBACK ScanChild(HWND child, LPARAM param) {
    auto& scan = *reinterpret_cast<ChildScan*>(param);
    if (ClassOf(child) != L"Static") return TRUE;
    const LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        scan.icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    } else if (scan.text.empty()) {
        scan.text = TextOf(child);
    }
    return TRUE;
}

struct BoxScan {
    DWORD process = 0;  // 0: any
    std::vector<HWND> boxes;
};

BOOL CALLBACK ScanBox(HWND hwnd, LPARAM param) {
    auto& scan = *reinterpret_cast<BoxScan*>(param);
    if (scan.process) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(hwnd, &pid);
        if (pid != scan.process) return TRUE;
    }
    if (::IsWindowVisible(hwnd) && ClassOf(hwnd) == L"#32770") scan.boxes.push_back(hwnd);
    return TRUE;
}

}  // namespace

int SeenBox::Style() const {
    int style = 0;
    const bool yes = std::find(buttons.begin(), buttons.end(), IDYES) != buttons.end();
    if (yes) style |= MB_YESNO;
    switch (icon) {
        case BoxIcon::Exclamation: style |= MB_ICONEXCLAMATION; break;
        case BoxIcon::Question: style |= MB_ICONQUESTION; break;
        case BoxIcon::Information: style |= MB_ICONINFORMATION; break;
        default: break;
    }
    return style;
}

SeenBox ReadBox(HWND dialog) {
    SeenBox box;
    box.hwnd = dialog;
    box.title = TextOf(dialog);
    ChildScan scan;
    ::EnumChildWindows(dialog, &ScanChild, reinterpret_cast<LPARAM>(&scan));
    box.text = scan.text;
    for (int id : {IDOK, IDCANCEL, IDABORT, IDRETRY, IDIGNORE, IDYES, IDNO}) {
        const HWND b = ::GetDlgItem(dialog, id);
        if (b && ::IsWindowVisible(b)) box.buttons.push_back(id);
    }
    if (!scan.icon) {
        box.icon = BoxIcon::None;
    } else if (scan.icon == ::LoadIconW(nullptr, IDI_EXCLAMATION)) {
        box.icon = BoxIcon::Exclamation;
    } else if (scan.icon == ::LoadIconW(nullptr, IDI_QUESTION)) {
        box.icon = BoxIcon::Question;
    } else if (scan.icon == ::LoadIconW(nullptr, IDI_ASTERISK)) {
        box.icon = BoxIcon::Information;
    } else {
        box.icon = BoxIcon::Other;
    }
    return box;
}

void Press(HWND dialog, int button) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
}

std::vector<HWND> BoxesOfThread(DWORD thread) {
    BoxScan scan;
    ::EnumThreadWindows(thread, &ScanBox, reinterpret_cast<LPARAM>(&scan));
    return scan.boxes;
}

std::vector<HWND> BoxesOfProcess(DWORD process) {
    BoxScan scan;
    scan.process = process;
    ::EnumWindows(&ScanBox, reinterpret_cast<LPARAM>(&scan));
    return scan.boxes;
}

BoxAnswerer::BoxAnswerer() {
    g_answerer = this;
    // A box of this thread being activated starts a thread timer, which fires inside
    // the box's own modal loop; it stops once the box is answered, so that the program
    // under test does not run this poll between boxes (a run yields after every entry).
    hook_ = ::SetWindowsHookExW(WH_CBT, &BoxAnswerer::Activated, nullptr, ::GetCurrentThreadId());
}

BoxAnswerer::~BoxAnswerer() {
    if (hook_) ::UnhookWindowsHookEx(hook_);
    if (timer_) ::KillTimer(nullptr, timer_);
    g_answerer = nullptr;
}

LRESULT CALLBACK BoxAnswerer::Activated(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HCBT_ACTIVATE && g_answerer && !g_answerer->timer_ &&
        ClassOf(reinterpret_cast<HWND>(wParam)) == L"#32770")
        g_answerer->timer_ = ::SetTimer(nullptr, 0, 10, &BoxAnswerer::Tick);
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK BoxAnswerer::Tick(HWND, UINT, UINT_PTR, DWORD) noexcept {
    if (g_answerer) g_answerer->Poll();
}

void BoxAnswerer::Poll() {
    answered_.erase(std::remove_if(answered_.begin(), answered_.end(), [](HWND h) { return !::IsWindow(h); }),
                    answered_.end());
    const std::vector<HWND> boxes = BoxesOfThread(::GetCurrentThreadId());
    if (boxes.empty() && answeredSinceArmed_) {
        ::KillTimer(nullptr, timer_);
        timer_ = 0;
        answeredSinceArmed_ = false;
        return;
    }
    for (HWND dialog : boxes) {
        if (std::find(answered_.begin(), answered_.end(), dialog) != answered_.end()) continue;
        SeenBox box = ReadBox(dialog);
        if (box.buttons.empty()) continue;  // not laid out yet
        answered_.push_back(dialog);
        if (onBox) onBox(box);
        int answer = box.buttons.front();
        if (answers_.empty()) {
            ++unanswered;
        } else {
            answer = answers_.front();
            answers_.pop_front();
        }
        seen.push_back(std::move(box));
        answeredSinceArmed_ = true;
        Press(dialog, answer);
    }
}

}  // namespace tesvar::test
