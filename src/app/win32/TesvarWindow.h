#pragma once
// The real main window: the Win32 window TesvarF1 with its controls, implementing the
// user-interface services the logic drives, and routing the window's events to it.
#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "app/TesvarF1.h"
#include "app/win32/DropTarget.h"
#include "app/win32/Layout.h"
#include "platform/FileServices.h"
#include "platform/Profile.h"
#include "platform/Ui.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

struct WindowServices {
    platform::FileServices& files;
    platform::TextOutput& out;
    platform::AnsiCodePage& ansi;
    platform::ProfileServices& profile;
};

class TesvarWindow final : public platform::MessageBoxes,
                           public platform::TargetList,
                           public platform::MainWindow,
                           private DropSink {
public:
    TesvarWindow(WindowServices services, Version version);
    ~TesvarWindow() override;
    TesvarWindow(const TesvarWindow&) = delete;
    TesvarWindow& operator=(const TesvarWindow&) = delete;

    // Creates the window and its controls, runs the load handling and shows the window.
    // Throws platform::Error when the window cannot be created.
    void Create(int showCommand);
    // Whether destroying the window ends the thread's message loop (the program).
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }

    HWND Hwnd() const noexcept { return hwnd_; }
    HWND Control(ControlId id) const noexcept;
    TesvarF1& Form() noexcept { return form_; }
    // A close request was handled: the program is ending.
    bool Ending() const noexcept { return ending_; }
    bool RunActive() const noexcept { return runActive_; }
    // The list's drop target, as OLE calls it during a drag.
    IDropTarget* ListDropTarget() const noexcept { return dropTarget_.get(); }
    // Twips per pixel of the screen (1440 / DPI).
    float TwipsPerPixel() const noexcept { return twipsPerPixel_; }

    // Keyboard handling the window does itself before a message is dispatched (Tab
    // through the focus order, Enter on a button). True when the message was used.
    bool PreTranslate(const MSG& msg);
    // The message loop of the program; returns the exit code.
    static int MessageLoop(TesvarWindow& window);

    // --- MessageBoxes ---
    std::int32_t MsgBox(const std::wstring& prompt, std::int32_t style) override;

    // --- TargetList ---
    void Clear() override;
    void AddItem(const std::wstring& text) override;
    std::int32_t NewIndex() override { return newIndex_; }
    bool Selected(std::int32_t index) override;
    void SetSelected(std::int32_t index, bool selected) override;
    std::wstring List(std::int32_t index) override;
    std::int32_t ListCount() override;
    std::int32_t SelCount() override;
    void SetListIndex(std::int32_t index) override;
    void SetTopIndex(std::int32_t index) override;
    void SetVisible(bool visible) override;

    // --- MainWindow ---
    void SetCaption(const std::wstring& caption) override;
    std::wstring FilterText() override;
    void SetFilterText(const std::wstring& text) override;
    std::int32_t ReadOnlySwitch() override;
    void SetReadOnlySwitch(std::int32_t value) override;
    std::wstring StatusCaption() override;
    void SetStatusCaption(const std::wstring& caption) override;
    void SetButtonEnabled(platform::Button button, bool enabled) override;
    void SetMousePointer(std::int32_t shape) override;
    void SetForegroundWindow() override;
    void SetActiveWindow() override;
    bool DoEvents() override;
    float Left() override;
    float Top() override;
    float Width() override;
    float Height() override;
    void SetLeft(float twips) override;
    void SetTop(float twips) override;
    void SetWidth(float twips) override;
    void SetHeight(float twips) override;
    std::int32_t WindowState() override;
    float ScaleWidth() override;
    float ScaleHeight() override;
    float StripHeight() override;
    void SetListWidth(float twips) override;
    void SetListHeight(float twips) override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static LRESULT CALLBACK StripProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    static void RegisterClasses(HINSTANCE instance);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);

    void OnCreate();
    void OnSize(WPARAM kind);
    void OnCommand(int id, int code);
    void OnClose();
    void OnDestroy();
    void OnActivate(WPARAM state);
    bool OnSetCursor();
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void OnMeasureItem(MEASUREITEMSTRUCT& item) const;
    void OnDrawItem(const DRAWITEMSTRUCT& item);
    void OnStart();

    // DropSink
    DWORD DragEffect(bool carriesFileList) override;
    void Dropped(const std::vector<std::wstring>& paths) override;

    int Pixels(float twips) const noexcept;
    float Twips(int pixels) const noexcept { return static_cast<float>(pixels) * twipsPerPixel_; }
    RECT WindowRect() const;
    void SetPlacement(int x, int y, int cx, int cy, UINT flags);
    void CheckIndex(std::int32_t index) const;
    void LayoutStrip();
    void KeepOnAMonitor();
    void MoveFocus(bool backwards);
    void InvalidateItem(std::int32_t index);
    void MeasureWidestItem(const std::wstring& text);
    // While a run moves through the list, the scroll position and the current entry
    // are handed to the list at most once per frame, so a long run does not spend its
    // time repainting.
    void FlushListMoves();

    TesvarF1 form_;
    HWND hwnd_ = nullptr;
    HWND strip_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    platform::win32::ScopedFont uiFont_;
    platform::win32::ScopedFont listFont_;
    float twipsPerPixel_ = 15;
    int listItemHeight_ = 16;
    int widestItem_ = 0;
    std::int32_t newIndex_ = -1;
    std::int32_t mousePointer_ = platform::pointer::Default;
    HWND savedFocus_ = nullptr;
    bool quitOnDestroy_ = true;
    bool ending_ = false;
    bool runActive_ = false;
    bool formReady_ = false;
    std::int32_t pendingTop_ = -1;
    std::int32_t pendingCaret_ = -1;
    ULONGLONG lastFlush_ = 0;
    ULONGLONG lastYield_ = 0;
    platform::win32::ScopedMemoryDc measureDc_;
    platform::win32::ComPtr<DropTarget> dropTarget_;
};

}  // namespace tesvar::app::win32
