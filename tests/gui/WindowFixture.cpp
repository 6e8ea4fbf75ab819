#include "gui/WindowFixture.h"

#include <cmath>

#include "support/win32/FileListDataObject.h"

namespace tesvar::test {

std::vector<DWORD> ShownPixels(HWND window, const RECT& area) {
    const int width = area.right - area.left, height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return {};
    const platform::win32::ScopedDc dc(window);
    platform::win32::ScopedMemoryDc memory(::CreateCompatibleDC(dc.get()));
    platform::win32::Scoped<platform::win32::GdiObjectTraits> bitmap(::CreateCompatibleBitmap(dc.get(), width, height));
    {
        const platform::win32::SelectedObject select(memory.get(), bitmap.get());
        ::BitBlt(memory.get(), 0, 0, width, height, dc.get(), area.left, area.top, SRCCOPY);
    }
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    std::vector<DWORD> pixels(static_cast<std::size_t>(width * height));
    if (::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height), pixels.data(),
                    &info, DIB_RGB_COLORS) != height)
        return {};
    for (DWORD& p : pixels) p &= 0xFFFFFF;
    return pixels;
}

void Pump(app::win32::TesvarWindow* window, DWORD milliseconds) {
    const ULONGLONG until = ::GetTickCount64() + milliseconds;
    MSG msg;
    do {
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (window && window->PreTranslate(msg)) continue;
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount64() < until);
}

void WindowFixture::SetUp() {
    folder = MakeTempFolder(L"gui");
    tree = folder + L"\\tree";
    MakeFolder(tree);
    files = std::make_unique<ProgramFolderIn>(real, folder);
}

void WindowFixture::TearDown() {
    window.reset();
    Pump(nullptr, 20);
    RemoveTree(folder);
}

void WindowFixture::OpenWithAMissingEntry() {
    MakeFile(tree + L"\\a.txt", 33);
    MakeFile(tree + L"\\gone.txt", 33);
    MakeFile(tree + L"\\z.txt", 33);
    Open();
    Drop({tree});
    ASSERT_EQ(W().List1().ListCount(), 3);
    RemoveTree(tree + L"\\gone.txt");  // read-only: DeleteFileW alone is refused
}

void WindowFixture::Open(platform::FileServices* services, const app::win32::TesvarWindow::ShellParts* shell) {
    window = std::make_unique<app::win32::TesvarWindow>(
        app::win32::WindowServices{services ? *services : *files, real, ansi, profile}, app::Version{0, 3, 6});
    // Destroying a test's window must not end the thread's later message loops.
    window->SetQuitOnDestroy(false);
    if (shell) window->SetShellParts(*shell);
    window->Create(SW_SHOWNORMAL);
    Pump(window.get(), 50);
}

void WindowFixture::Click(app::win32::ControlId id) {
    ::SendMessageW(Control(id), BM_CLICK, 0, 0);
    Pump(window.get(), 20);
}

RECT WindowFixture::TwipsRect(HWND control) {
    RECT r{};
    ::GetWindowRect(control, &r);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    const float t = window->TwipsPerPixel();
    const auto tw = [t](LONG px) { return static_cast<LONG>(std::lround(static_cast<double>(px) * t)); };
    return {tw(r.left), tw(r.top), tw(r.right), tw(r.bottom)};
}

RECT WindowFixture::OuterPixels() {
    RECT r{};
    ::GetWindowRect(window->Hwnd(), &r);
    return r;
}

DWORD WindowFixture::Drop(const std::vector<std::wstring>& paths, Payload payload) {
    IDropTarget* target = window->ListDropTarget();
    auto data = platform::win32::ComPtr<IDataObject>::Attach(new FileListDataObject(paths, payload));
    RECT r{};
    ::GetWindowRect(Control(app::win32::kList1), &r);
    const POINTL at{r.left + 10, r.top + 10};
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragEnter(data.get(), MK_LBUTTON, at, &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->DragOver(MK_LBUTTON, at, &effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    target->Drop(data.get(), 0, at, &effect);
    Pump(window.get(), 20);
    return effect;
}

std::vector<std::wstring> WindowFixture::Entries() {
    std::vector<std::wstring> out;
    for (std::int32_t i = 0; i < window->List1().ListCount(); ++i) out.push_back(window->List1().List(i));
    return out;
}

}  // namespace tesvar::test
