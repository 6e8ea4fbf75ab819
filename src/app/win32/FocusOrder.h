#pragma once
// The keyboard focus among the window's controls: Tab and Shift+Tab in the order of
// the layout table, the control that had the focus when the window was deactivated,
// and a focus that must not stay on a control being disabled.
#include <windows.h>

#include <vector>

namespace tesvar::app::win32 {

class FocusOrder {
public:
    // The controls that can take the focus, in focus order.
    void Set(std::vector<HWND> order) { order_ = std::move(order); }

    // Tab: the next control of the order that can take the focus (Shift: the one before).
    void Move(HWND from, bool backwards);
    // The window is being deactivated: remember the control that has the focus.
    void Save(HWND window);
    // The window is activated: give the focus back, or to the first control that can
    // take it.
    void Restore(HWND window);
    // The control is about to be disabled: if it has the focus (or will get it back),
    // the focus moves to `to` (or, when that cannot take it, to the next control that
    // can), and the control is remembered to get it back once it is enabled again.
    void Leave(HWND control, HWND to);
    // The control has been enabled again: it gets back a focus that Leave moved away,
    // unless the focus has moved on from where Leave put it.
    void Return(HWND window, HWND control);

private:
    static bool CanTakeFocus(HWND control) noexcept;
    HWND Next(HWND from, bool backwards) const;

    std::vector<HWND> order_;
    HWND saved_ = nullptr;  // the focus to give back at activation
    HWND left_ = nullptr;   // the control Leave moved the focus away from
    HWND given_ = nullptr;  // ... and where it put the focus
};

}  // namespace tesvar::app::win32
