#pragma once
// The user-interface services the logic drives: message boxes, the target list
// control and the main window. Operations that fail throw platform::Error.
#include <cstdint>
#include <string>

namespace tesvar::platform {

// Message box styles and answers in use.
namespace msgbox {
inline constexpr std::int32_t OkExclamation = 48;     // nothing to process
inline constexpr std::int32_t YesNoQuestion = 36;     // confirmation before a run
inline constexpr std::int32_t YesNoExclamation = 52;  // error during a run: abort?
inline constexpr std::int32_t OkInformation = 64;     // run finished
inline constexpr std::int32_t Ok = 1;
inline constexpr std::int32_t Yes = 6;
inline constexpr std::int32_t No = 7;
}  // namespace msgbox

// Mouse pointer shapes.
namespace pointer {
inline constexpr std::int32_t Default = 0;
inline constexpr std::int32_t Busy = 13;
}  // namespace pointer

// Window states.
namespace window_state {
inline constexpr std::int32_t Normal = 0;
inline constexpr std::int32_t Minimized = 1;
inline constexpr std::int32_t Maximized = 2;
}  // namespace window_state

class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;
    // Shows the prompt modally under the application's own title; returns the button
    // pressed (msgbox::Yes, No or Ok).
    virtual std::int32_t MsgBox(const std::wstring& prompt, std::int32_t style) = 0;
};

// List1: the target list. Indices are zero-based and 32-bit.
class TargetList {
public:
    virtual ~TargetList() = default;
    virtual void Clear() = 0;
    // Appends an unselected entry at the end.
    virtual void AddItem(const std::wstring& text) = 0;
    // Index of the entry added last.
    virtual std::int32_t NewIndex() = 0;
    virtual bool Selected(std::int32_t index) = 0;
    virtual void SetSelected(std::int32_t index, bool selected) = 0;
    virtual std::wstring List(std::int32_t index) = 0;
    virtual std::int32_t ListCount() = 0;
    virtual std::int32_t SelCount() = 0;
    // Makes the entry the current (highlighted) one; changes no selected flag.
    virtual void SetListIndex(std::int32_t index) = 0;
    // Scrolls so that the entry is the first one shown.
    virtual void SetTopIndex(std::int32_t index) = 0;
    virtual void SetVisible(bool visible) = 0;
};

enum class Button { Start, Clear };

// The main window TesvarF1 and the controls the logic reads and sets.
// Positions and sizes are single-precision twips.
class MainWindow {
public:
    virtual ~MainWindow() = default;

    virtual void SetCaption(const std::wstring& caption) = 0;
    virtual std::wstring FilterText() = 0;           // TxtSelFileSts
    virtual void SetFilterText(const std::wstring& text) = 0;
    virtual std::int32_t ReadOnlySwitch() = 0;       // ChkReadOnly: 0 clear, 1 ticked
    virtual void SetReadOnlySwitch(std::int32_t value) = 0;
    virtual std::wstring StatusCaption() = 0;        // LblListSts
    virtual void SetStatusCaption(const std::wstring& caption) = 0;
    virtual void SetButtonEnabled(Button button, bool enabled) = 0;

    virtual void SetMousePointer(std::int32_t shape) = 0;
    // SetForegroundWindow and SetActiveWindow on the main window; results ignored.
    virtual void SetForegroundWindow() = 0;
    virtual void SetActiveWindow() = 0;
    // Handles the window events pending now. Returns false once the program is
    // ending (a close request was handled), so a run stops between two entries.
    virtual bool DoEvents() = 0;
    // True once a close request has been handled: the program is ending, and nothing
    // more of a run may happen (a close can arrive while a message box is open).
    virtual bool Ending() = 0;
    // Called often during a drop, which handles no events: now and then lets the window
    // repaint and the system's calls through, never input or the window's own events.
    // Returns false once the program is ending (the session ended meanwhile); the drop
    // then stops.
    virtual bool StayResponsive() = 0;

    // Outer placement. Setting a size runs the window's resize rule.
    virtual float Left() = 0;
    virtual float Top() = 0;
    virtual float Width() = 0;
    virtual float Height() = 0;
    virtual void SetLeft(float twips) = 0;
    virtual void SetTop(float twips) = 0;
    virtual void SetWidth(float twips) = 0;
    virtual void SetHeight(float twips) = 0;
    virtual std::int32_t WindowState() = 0;
    // Client area and the layout the resize rule touches.
    virtual float ScaleWidth() = 0;
    virtual float ScaleHeight() = 0;
    virtual float StripHeight() = 0;                 // Picture1.Height
    virtual void SetListWidth(float twips) = 0;      // List1.Width
    virtual void SetListHeight(float twips) = 0;     // List1.Height
};

}  // namespace tesvar::platform
