#include "e2e/Driver.h"

#include <tlhelp32.h>

#include <algorithm>
#include <stdexcept>
#include <thread>

#include "platform/Text.h"

namespace tesvar::test {
namespace {

using app::win32::ControlId;

std::wstring g_tesvarExe;

std::wstring ModuleFolder() {
    std::wstring path(MAX_PATH, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\'));
}

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 10000, &result))
        throw std::runtime_error("the window does not answer");
    return static_cast<LRESULT>(result);
}

std::wstring WindowText(HWND hwnd) {
    const auto length = Send(hwnd, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = Send(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(got));
    return text;
}

struct MainSearch {
    DWORD pid;
    HWND found = nullptr;
};

BOOL CALLBACK FindMain(HWND hwnd, LPARAM param) {
    auto& s = *reinterpret_cast<MainSearch*>(param);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    wchar_t cls[64] = {};
    ::GetClassNameW(hwnd, cls, 64);
    if (pid == s.pid && ::IsWindowVisible(hwnd) && std::wstring(cls) == app::win32::kWindowClass) {
        s.found = hwnd;
        return FALSE;
    }
    return TRUE;
}

// Handles the driver's own window messages while waiting. Between messages it sleeps:
// under Wine every look at the queue is a call to the one wine server that Tesvar.exe
// needs too.
void PumpFor(DWORD milliseconds) {
    const ULONGLONG until = ::GetTickCount64() + milliseconds;
    MSG msg;
    for (;;) {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        const ULONGLONG now = ::GetTickCount64();
        if (now >= until) return;
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now), QS_ALLINPUT);
    }
}

template <class Done>
bool WaitFor(Done&& done, DWORD timeoutMs, DWORD pollMs = 10) {
    const ULONGLONG until = ::GetTickCount64() + timeoutMs;
    while (!done()) {
        if (::GetTickCount64() >= until) return false;
        PumpFor(pollMs);
    }
    return true;
}

}  // namespace

std::wstring DriverFolder() { return ModuleFolder(); }

void SetTesvarExe(std::wstring path) { g_tesvarExe = std::move(path); }

std::wstring BuiltTesvarExe() {
    if (!g_tesvarExe.empty()) return g_tesvarExe;
    // The driver and the benchmarks sit one or two folders below the build tree's top.
    for (const wchar_t* up : {L"\\..\\..", L"\\.."}) {
        const std::wstring exe = ModuleFolder() + up + L"\\src\\app\\win32\\Tesvar.exe";
        if (::GetFileAttributesW(exe.c_str()) != INVALID_FILE_ATTRIBUTES) return exe;
    }
    return L"Tesvar.exe";
}

int CountTesvarProcesses() {
    platform::win32::Scoped<platform::win32::FileHandleTraits> snapshot(
        ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return -1;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    int count = 0;
    for (BOOL ok = ::Process32FirstW(snapshot.get(), &entry); ok; ok = ::Process32NextW(snapshot.get(), &entry)) {
        if (platform::EqualsNoCase(entry.szExeFile, L"Tesvar.exe")) ++count;
    }
    return count;
}

TesvarProcess::TesvarProcess(const std::wstring& folder, const Launch& launch) {
    const std::wstring exe = folder + L"\\Tesvar.exe";
    if (!::CopyFileW(BuiltTesvarExe().c_str(), exe.c_str(), FALSE)) throw std::runtime_error("cannot copy Tesvar.exe");
    std::wstring commandLine = L"\"" + exe + L"\"";
    for (const auto& argument : launch.arguments) commandLine += L" \"" + argument + L"\"";
    const std::wstring current = launch.currentFolder.empty() ? folder : launch.currentFolder;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, current.c_str(), &si,
                          &pi))
        throw std::runtime_error("cannot start Tesvar.exe");
    ::CloseHandle(pi.hThread);
    process_.reset(pi.hProcess);
    pid_ = pi.dwProcessId;
    ::WaitForInputIdle(pi.hProcess, 10000);
    MainSearch search{pid_};
    const bool shown = WaitFor(
        [&] {
            ::EnumWindows(&FindMain, reinterpret_cast<LPARAM>(&search));
            return search.found != nullptr || !Running();
        },
        20000);
    if (!shown || !search.found) throw std::runtime_error("Tesvar.exe showed no window");
    window_ = search.found;
}

TesvarProcess::~TesvarProcess() {
    if (Running()) {
        ::TerminateProcess(process_.get(), 1);
        ::WaitForSingleObject(process_.get(), 10000);
    }
}

DWORD TesvarProcess::ExitCode() const {
    DWORD code = STILL_ACTIVE;
    ::GetExitCodeProcess(process_.get(), &code);
    return code;
}

bool TesvarProcess::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }


bool TesvarProcess::WaitExit(DWORD timeoutMs) {
    return WaitFor([&] { return !Running(); }, timeoutMs);
}

HWND TesvarProcess::Control(ControlId id) const {
    if (id == app::win32::kList1 || id == app::win32::kPicture1) return ::GetDlgItem(window_, id);
    return ::GetDlgItem(::GetDlgItem(window_, app::win32::kPicture1), id);
}

std::wstring TesvarProcess::Text(ControlId id) const { return WindowText(Control(id)); }
std::wstring TesvarProcess::Title() const { return WindowText(window_); }

std::vector<std::wstring> TesvarProcess::Entries() const {
    const HWND list = Control(app::win32::kList1);
    std::vector<std::wstring> out;
    const auto count = Send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const auto length = Send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        const auto got = Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(got, 0)));
        out.push_back(std::move(text));
    }
    return out;
}

int TesvarProcess::SelCount() const {
    return static_cast<int>(Send(Control(app::win32::kList1), LB_GETSELCOUNT, 0, 0));
}

void TesvarProcess::TypeFilter(const std::wstring& text) {
    Send(Control(app::win32::kTxtSelFileSts), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

bool TesvarProcess::Switch() const {
    return Send(Control(app::win32::kChkReadOnly), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TesvarProcess::SetSwitch(bool ticked) {
    if (Switch() != ticked) Send(Control(app::win32::kChkReadOnly), BM_CLICK, 0, 0);
}

void TesvarProcess::Press(ControlId id) { ::PostMessageW(Control(id), BM_CLICK, 0, 0); }

void MovePointer(int x, int y) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = ::MulDiv(x, 65535, std::max(1, ::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = ::MulDiv(y, 65535, std::max(1, ::GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}

void LeftButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    ::SendInput(1, &in, sizeof in);
}

DWORD TesvarProcess::DragOnto(const std::vector<std::wstring>& paths, Payload payload) {
    // The drag starts on a small window of ours, away from Tesvar's.
    const int screenW = ::GetSystemMetrics(SM_CXSCREEN), screenH = ::GetSystemMetrics(SM_CYSCREEN);
    platform::win32::ScopedWindow source(::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"STATIC", L"drag me",
                                                           WS_POPUP | WS_VISIBLE | WS_BORDER | SS_CENTER,
                                                           screenW - 140, screenH - 90, 120, 60, nullptr, nullptr,
                                                           ::GetModuleHandleW(nullptr), nullptr));
    PumpFor(50);
    RECT from{}, to{};
    ::GetWindowRect(source.get(), &from);
    ::GetWindowRect(Control(app::win32::kList1), &to);
    const POINT start{(from.left + from.right) / 2, (from.top + from.bottom) / 2};
    const POINT end{(to.left + to.right) / 2, (to.top + to.bottom) / 2};
    MovePointer(start.x, start.y);
    LeftButton(true);
    PumpFor(50);

    // The drag's own loop runs in DoDragDrop; the pointer is moved across meanwhile.
    ULONGLONG released = 0;
    LARGE_INTEGER releasedCounter{};
    std::thread hand([start, end, &released, &releasedCounter] {
        ::Sleep(200);
        const int steps = 12;
        for (int i = 1; i <= steps; ++i) {
            MovePointer(start.x + (end.x - start.x) * i / steps, start.y + (end.y - start.y) * i / steps);
            ::Sleep(30);
        }
        ::Sleep(300);  // a few drag-over turns on the list
        MovePointer(end.x + 1, end.y + 1);
        ::Sleep(100);
        released = ::GetTickCount64();
        ::QueryPerformanceCounter(&releasedCounter);
        LeftButton(false);
    });
    // Offered for reading after the drop, as the shell offers its data.
    auto* object = new FileListDataObject(paths, payload, true);
    auto data = platform::win32::ComPtr<IDataObject>::Attach(object);
    auto dropSource = platform::win32::ComPtr<IDropSource>::Attach(new MouseDropSource());
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT hr =
        ::DoDragDrop(data.get(), dropSource.get(), DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK, &effect);
    const ULONGLONG returned = ::GetTickCount64();
    wchar_t caption[256] = {};
    ::InternalGetWindowText(Control(app::win32::kLblListSts), caption, 256);
    dropInHandAtReturn_ = !::IsWindowVisible(Control(app::win32::kList1)) ||
                          caption == std::wstring(L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい");
    hand.join();
    dropWaitMs_ = released && returned > released ? static_cast<DWORD>(returned - released) : 0;
    releasedAt_ = releasedCounter;
    if (hr != DRAGDROP_S_DROP) return DROPEFFECT_NONE;
    // Read after the drop: the effect is the one the target reports once it has read.
    if (object->Started() && WaitFor([&] { return object->Ended() || !Running(); }, 60000)) return object->EndEffect();
    return effect;
}

std::optional<SeenBox> TesvarProcess::WaitBox(DWORD timeoutMs, DWORD pollMs) {
    std::optional<SeenBox> box;
    WaitFor(
        [&] {
            answered_.erase(std::remove_if(answered_.begin(), answered_.end(), [](HWND h) { return !::IsWindow(h); }),
                            answered_.end());
            for (HWND dialog : BoxesOfProcess(pid_)) {
                if (std::find(answered_.begin(), answered_.end(), dialog) != answered_.end()) continue;
                SeenBox seen = ReadBox(dialog);
                if (seen.buttons.empty() || seen.text.empty()) continue;  // still being laid out
                box = std::move(seen);
                return true;
            }
            return !Running();
        },
        timeoutMs, pollMs);
    return box;
}

SeenBox TesvarProcess::Answer(int button, DWORD timeoutMs) {
    auto box = WaitBox(timeoutMs);
    if (!box) throw std::runtime_error("no message box came");
    answered_.push_back(box->hwnd);
    test::Press(box->hwnd, button);
    return *box;
}

bool TesvarProcess::WaitCaptionNot(const std::wstring& from, DWORD timeoutMs) {
    return WaitFor([&] { return Text(app::win32::kLblListSts) != from; }, timeoutMs);
}

bool TesvarProcess::WaitButtonEnabled(ControlId id, bool enabled, DWORD timeoutMs) {
    return WaitFor([&] { return (::IsWindowEnabled(Control(id)) != FALSE) == enabled; }, timeoutMs);
}

void TesvarProcess::MoveTo(int x, int y, int width, int height) {
    ::SetWindowPos(window_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(50);
}

RECT TesvarProcess::Placement() const {
    RECT r{};
    ::GetWindowRect(window_, &r);
    return r;
}

void TesvarProcess::CloseBox() { ::PostMessageW(window_, WM_SYSCOMMAND, SC_CLOSE, 0); }

}  // namespace tesvar::test
