#pragma once
// List1 as the window shows it: an owner-drawn multiple-selection list box whose
// entries each carry a check box for their selected flag. It is the target list the
// logic fills and reads. A path too long for the list is drawn with its middle left
// out (the drive and the file name stay), and a tooltip shows the whole path of the
// entry under the resting pointer; the list's texts stay the full paths.
#include <windows.h>
#include <uxtheme.h>

#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/win32/AccessibleList.h"
#include "platform/Ui.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {

class CheckedList final : public platform::TargetList {
public:
    CheckedList() = default;
    ~CheckedList() override;
    CheckedList(const CheckedList&) = delete;
    CheckedList& operator=(const CheckedList&) = delete;

    // Takes over the list box (LBS_OWNERDRAWFIXED | LBS_MULTIPLESEL | LBS_HASSTRINGS)
    // and sets it up for the DPI of its screen: its font, check box and item height.
    void Attach(HWND list, int dpi, int systemDpi);
    // The window moved to a screen of another DPI: font, check box, item height and
    // the tooltip's font follow.
    void SetDpi(int dpi);
    // The tooltip with the whole path, once the list shows (nothing can point at it
    // before). Its notices go to the window that owns the list.
    void AttachTooltip();
    // The window is going away.
    void Detach() noexcept;
    HWND Hwnd() const noexcept { return list_; }

    // The current entry stands out while a run moves it, even without the focus; the
    // run's moves reach the list at most once per frame (FlushMoves).
    void SetRunActive(bool active) noexcept {
        runActive_ = active;
        runPosition_ = -1;
    }
    // Every entry's selected flag at once, as a click on every entry would: set or
    // cleared, or each one turned over. In runs of entries, not a message per entry.
    void SelectAll(bool selected);
    void InvertSelection();

    // The entry a run made current last (-1 before any).
    std::int32_t RunPosition() const noexcept { return runPosition_; }
    // Hands the coalesced moves to the list now.
    void FlushMoves();
    // The same, when a frame has passed since the last time; true when it did.
    bool FlushMovesIfDue();

    // WM_MEASUREITEM, WM_DRAWITEM, WM_THEMECHANGED and the tooltip's WM_NOTIFY.
    void Measure(MEASUREITEMSTRUCT& item) const;
    void Draw(const DRAWITEMSTRUCT& item);
    void ThemeChanged();
    // WM_SYSCOLORCHANGE (a high contrast theme, say): nothing drawn in the old colours
    // is kept.
    void ColorsChanged();
    // Whether a high contrast theme is on: the system's setting unless a test says.
    // The check boxes are then drawn the classic way, in the system's colours.
    void SetHighContrastSource(std::function<bool()> source) { highContrast_ = std::move(source); }
    // True when the notice was the tooltip's and has been answered.
    bool Notify(NMHDR& notice);
    // A message the loop takes for the list: the tooltip follows its mouse messages.
    void Relay(const MSG& msg);
    // Where the changes a screen reader hears of go: NotifyWinEvent unless set.
    void SetEventSink(WinEventSink sink) { access_.SetEventSink(std::move(sink)); }

    int ItemHeight() const noexcept { return itemHeight_; }
    int CheckBoxSize() const noexcept { return box_; }

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

private:
    void CheckIndex(std::int32_t index) const;
    void InvalidateItem(std::int32_t index);
    void MoveCaret(std::int32_t index);
    std::wstring TextOf(UINT index) const;
    void PointerMoved(LPARAM at);
    // The check box of an entry, from the drawn ones; DrawBoxNow draws one.
    void DrawBox(HDC dc, const RECT& box, bool checked, bool current);
    void DrawBoxNow(HDC dc, const RECT& box, bool checked) const;
    void ApplyPendingSelections();
    // Asks the list box for room ahead; bytes: the text about to be added.
    void Reserve(std::size_t bytes);
    bool HighContrast() const;

    HWND list_ = nullptr;
    AccessibleList access_;
    HWND tooltip_ = nullptr;
    platform::win32::ScopedFont font_;
    HTHEME theme_ = nullptr;
    // The bitmap goes after the memory DC it is selected into (declared first, so
    // destroyed last).
    platform::win32::Scoped<platform::win32::GdiObjectTraits> boxBitmap_;
    platform::win32::ScopedMemoryDc boxes_;  // the four check boxes side by side
    COLORREF boxColors_[2] = {};  // the backgrounds they were drawn on
    std::function<bool()> highContrast_;
    int dpi_ = 96;
    int systemDpi_ = 96;   // what the theme's sizes are given at
    platform::win32::ScopedFont tooltipFont_;  // set once the DPI changed
    int box_ = 13;         // check box side, pixels
    int margin_ = 2;       // around the check box
    int gap_ = 4;          // between the check box and the text
    int itemHeight_ = 16;
    std::int32_t newIndex_ = -1;
    bool runActive_ = false;
    bool filling_ = false;                        // hidden while a drop fills it
    bool hadFocus_ = false;                       // ... and had the focus before
    // Runs of entries (first, last) to select when it shows.
    std::vector<std::pair<std::int32_t, std::int32_t>> pendingSelected_;
    std::int32_t room_ = 0;        // entries the list box holds before it grows again
    std::size_t textBytes_ = 0;    // of the texts added since Clear
    std::int32_t pendingTop_ = -1;
    std::int32_t pendingCaret_ = -1;
    std::int32_t runPosition_ = -1;
    ULONGLONG lastFlush_ = 0;
    std::int32_t lastReadIndex_ = -1;  // the entry List read last, and its text
    std::wstring lastReadText_;
    int hovered_ = -1;            // the entry under the pointer
    std::wstring tooltipText_;    // what the tooltip shows; it keeps a pointer to it
};

}  // namespace tesvar::app::win32
