#pragma once
// List1 as a screen reader sees it. The list box answers WM_GETOBJECT with an
// IAccessible of our own: one child per entry, named by its path, a check button that
// is checked when the entry is ticked. Everything about the list itself comes from the
// system's standard object. Under Wine the list box has no proxy at all, and on Windows
// the standard one cannot tell that a selected entry is a ticked check box.
//
// The answers are read from the list box when asked (count, text, flag, caret, item
// rectangle), so a list of any length answers a question about one entry at once.
#include <windows.h>

#include <functional>

namespace tesvar::app::win32 {

// How a screen reader hears of a change: NotifyWinEvent's arguments. Tests hand in a
// double.
using WinEventSink = std::function<void(DWORD event, HWND hwnd, LONG object, LONG child)>;

// The entry of a list box at a point of its client area, or -1 where none is. Worked
// out from the rows rather than LB_ITEMFROMPOINT, whose answer holds only 16 bits of
// the index.
int EntryAt(HWND list, POINT at) noexcept;

class ListAccessible;

class AccessibleList {
public:
    AccessibleList() = default;
    ~AccessibleList() { Detach(); }
    AccessibleList(const AccessibleList&) = delete;
    AccessibleList& operator=(const AccessibleList&) = delete;

    // Answers the list box's WM_GETOBJECT from now on.
    void Attach(HWND list);
    // The list box is going away: objects handed out answer that they are gone.
    void Detach() noexcept;
    void SetEventSink(WinEventSink sink) { sink_ = std::move(sink); }

    // The caret moved.
    void CaretMoved() noexcept;
    // Every entry's tick changed at once, or the entries came and went.
    void Reordered() noexcept;
    // Ticks or unticks an entry as a click does (the default action).
    void Toggle(int index) noexcept;

private:
    static LRESULT CALLBACK ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Answer(WPARAM wParam) noexcept;
    // A click, a key or the focus reaching the list box: what it changed, told.
    LRESULT Input(UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    void Raise(DWORD event, LONG child) noexcept;
    int Caret() const noexcept;
    bool Ticked(int index) const noexcept;

    HWND list_ = nullptr;
    WNDPROC original_ = nullptr;
    ListAccessible* object_ = nullptr;  // one reference, ours
    WinEventSink sink_;
    int announcedCaret_ = -1;  // the caret entry a reader was told of last
};

}  // namespace tesvar::app::win32
