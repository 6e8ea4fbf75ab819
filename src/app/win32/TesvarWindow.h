#pragma once
// The real main window TesvarF1: its controls at their places in twips, the main
// window and message box services the logic drives, the close handling, and the
// routing of the window's events to the logic. The list is a CheckedList, the focus
// follows a FocusOrder, and a MessagePump handles the yields.
#include <windows.h>

#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/TesvarF1.h"
#include "app/win32/CheckedList.h"
#include "app/win32/DropTarget.h"
#include "app/win32/FileDrops.h"
#include "app/win32/FocusOrder.h"
#include "app/win32/Layout.h"
#include "app/win32/MessagePump.h"
#include "app/win32/TaskbarProgress.h"
#include "app/win32/WindowBase.h"
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

class TesvarWindow final : public WindowBase,
                           public platform::MessageBoxes,
                           public platform::MainWindow,
                           private DropSink {
public:
    TesvarWindow(WindowServices services, Version version);
    ~TesvarWindow() override;

    // Creates the window and its controls, runs the load handling, shows the window and
    // then takes drops. Throws platform::Error when the window or one of its controls
    // cannot be created, or drops cannot be taken.
    void Create(int showCommand);
    // Whether destroying the window ends the thread's message loop (the program).
    void SetQuitOnDestroy(bool quit) { quitOnDestroy_ = quit; }
    // Where the shell's drag image helper and the taskbar list come from: the system's
    // by default; tests hand in doubles (before Create).
    struct ShellParts {
        std::function<platform::win32::ComPtr<IDropTargetHelper>()> dragImages;
        TaskbarProgress::Source taskbar;
        // Whether drops come as WM_DROPFILES instead of OLE (the shell runs below
        // Tesvar's integrity level); the system decides when it is empty.
        std::function<bool()> fileDropsOnly = nullptr;
    };
    void SetShellParts(ShellParts parts);
    // The message by which the shell tells that the window's taskbar button exists.
    UINT TaskbarButtonCreatedMessage() const noexcept { return taskbarButtonCreated_; }
    // Test seam: called before each control is created; what it throws fails the creation.
    void SetControlCreationHook(std::function<void(ControlId)> hook) { onCreateControl_ = std::move(hook); }

    HWND Control(ControlId id) const noexcept;
    TesvarF1& Form() noexcept { return form_; }
    CheckedList& List1() noexcept { return list_; }
    bool RunActive() const noexcept { return runActive_; }
    // The list's drop target, as OLE calls it during a drag.
    IDropTarget* ListDropTarget() const noexcept { return dropTarget_.get(); }
    // Twips per pixel at the system's DPI (1440 / DPI): the window's place and size, as
    // the profile keeps them.
    float TwipsPerPixel() const noexcept { return twipsPerPixel_; }
    // The DPI of the screen the window is on, which its controls are laid out at.
    int Dpi() const noexcept { return dpi_; }

    // Paths handed over otherwise than by a drag (the command line): taken up as a drop
    // of them on the list, from the window's queue.
    void TakeDrop(std::vector<std::wstring> paths);

    // Keyboard handling the window does itself before a message is dispatched (Tab
    // through the focus order, Enter on a button). True when the message was used.
    bool PreTranslate(const MSG& msg);
    // The message loop of the program; returns the exit code. A quit message that ends
    // it while the window is still there is a close request too.
    static int MessageLoop(TesvarWindow& window);

    // --- MessageBoxes ---
    std::int32_t MsgBox(const std::wstring& prompt, std::int32_t style) override;

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
    bool Ending() override { return ending_; }
    bool StayResponsive() override;
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
    static constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
    static constexpr DWORD kWindowExStyle = 0;
    // A drop handed over by the drop target, run from the window's queue.
    static constexpr UINT kDropMessage = WM_APP + 1;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnFinalMessage() noexcept override;
    static void RegisterClasses();
    static void RegisterStripClass();

    void OnCreate();
    // OLE and the list's drop target. Throws platform::Error when either cannot be had.
    void AcceptDrops();
    void CreateControls();
    void ApplyUiFont();
    void OnSize(WPARAM kind);
    void OnCommand(int id, int code);
    void OnClose();
    void OnDestroy();
    bool OnSetCursor();
    void OnGetMinMaxInfo(MINMAXINFO& info) const;
    void OnStart();
    // The list's menu at a screen point, or under the current entry for (-1, -1).
    void OnListMenu(LPARAM at);
    void OnDrop();
    // After a run or a drop: a close that came meanwhile takes the window now.
    void EndIfClosed();
    // A run or a drop is in progress, or the program is ending: the buttons do nothing.
    bool Busy() const noexcept { return runActive_ || dropActive_ || ending_; }

    // DropSink
    DWORD DragEffect(bool carriesFileList) override;
    void Dropped(std::unique_ptr<PendingDrop> drop) override;
    // A WM_DROPFILES drop on the list, its paths read already.
    void FileDropped(std::vector<std::wstring> paths);

    platform::win32::ComPtr<IDropTargetHelper> DragImageHelper() const noexcept;
    // The run's place on the taskbar button: the entry in hand of the entries listed.
    void ShowRunProgress() noexcept;

    // At the system's DPI: the window's place and size, and its minimum.
    int Pixels(float twips) const noexcept;
    float Twips(int pixels) const noexcept { return static_cast<float>(pixels) * twipsPerPixel_; }
    // At the DPI of the window's screen: the controls.
    int LayoutPixels(float twips) const noexcept;
    float LayoutTwips(int pixels) const noexcept { return static_cast<float>(pixels) * LayoutTwipsPerPixel(); }
    float LayoutTwipsPerPixel() const noexcept { return 1440.0f / static_cast<float>(dpi_); }
    // The outer size for the design client area at a DPI.
    RECT DesignOuter(int dpi) const;
    // Created on a screen whose DPI is not the system's: the design client area there.
    void AdoptWindowDpi();
    // WM_DPICHANGED: laid out again at the new DPI, at the rectangle the system suggests.
    void OnDpiChanged(int dpi, const RECT& suggested);
    // The user-interface font at the window's DPI.
    static bool MessageFont(int dpi, int systemDpi, LOGFONTW& font) noexcept;
    RECT WindowRect() const;
    void SetPlacement(int x, int y, int cx, int cy, UINT flags);
    void LayoutStrip();
    void KeepWithinReach();

    platform::TextOutput& out_;  // the run log's buffer is written out at frames and closes
    // OLE for the drops, from AcceptDrops until every member after it has gone.
    std::unique_ptr<platform::win32::OleInitialization> ole_;
    CheckedList list_;
    TesvarF1 form_;
    FocusOrder focus_;
    MessagePump pump_;
    HWND strip_ = nullptr;
    std::array<HWND, kControls.size()> controls_{};
    platform::win32::ScopedFont uiFont_;
    int dpi_ = 96;        // the window's screen
    int systemDpi_ = 96;  // the system's, which the profile's twips are at
    float twipsPerPixel_ = 15;
    std::int32_t mousePointer_ = platform::pointer::Default;
    bool quitOnDestroy_ = true;
    int exitCode_ = 0;  // a quit message's, once one was taken as a close request
    bool ending_ = false;
    bool runActive_ = false;
    bool dropActive_ = false;
    bool formReady_ = false;
    ULONGLONG lastBreath_ = 0;
    std::deque<std::unique_ptr<PendingDrop>> pendingDrops_;
    ULONGLONG dropStarted_ = 0;
    bool dropIndeterminate_ = false;  // the taskbar button shows a long drop
    std::function<platform::win32::ComPtr<IDropTargetHelper>()> dragImages_;
    TaskbarProgress taskbar_;
    UINT taskbarButtonCreated_ = 0;
    std::function<void(ControlId)> onCreateControl_;
    platform::win32::ComPtr<DropTarget> dropTarget_;
    std::function<bool()> fileDropsOnly_;
    FileDropRoute fileDrops_;
};

}  // namespace tesvar::app::win32
