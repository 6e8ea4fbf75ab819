#include "app/win32/CheckedList.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <limits>
#include <utility>

#include "app/win32/SystemDlls.h"
#include "platform/win32/Win32Error.h"

namespace tesvar::app::win32 {
namespace {

using platform::win32::ThrowError;

// During a run the list follows at most this often: a repaint costs several
// milliseconds under Wine.
constexpr ULONGLONG kFrameMs = 100;
// The room the list box is asked for first, in entries; and at most, for the texts.
constexpr std::int32_t kFirstRoom = 1024;
constexpr std::size_t kMaxTextRoom = 0x7FFFFFFF;

[[noreturn]] void Refuse() { ThrowError(ERROR_INVALID_PARAMETER); }

// Calls each(first, last) for every run of consecutive entries in ascending indices:
// a run is one message to the list box, not one per entry.
template <class Indices, class Each>
void ForEachRun(const Indices& indices, Each&& each) {
    for (std::size_t i = 0; i < indices.size();) {
        std::size_t j = i + 1;
        while (j < indices.size() && indices[j] == indices[j - 1] + 1) ++j;
        each(indices[i], indices[j - 1]);
        i = j;
    }
}

}  // namespace

CheckedList::~CheckedList() { Detach(); }

void CheckedList::Attach(HWND list, int dpi, int systemDpi) {
    list_ = list;
    systemDpi_ = systemDpi;
    room_ = 0;
    access_.Attach(list_);
    SetDpi(dpi);
}

void CheckedList::AttachTooltip() {
    if (tooltip_ || !list_) return;
    // The tooltip asks for the text of the entry under the pointer when it shows. The
    // list's mouse messages reach it from the message loop (Relay): the tooltip's own
    // subclass of the list (TTF_SUBCLASS, kept in a window property) costs a round
    // trip to the window server on every message under Wine.
    tooltip_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, ::GetParent(list_),
                                 nullptr, ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltip_) platform::win32::ThrowLastError();
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = ::GetParent(list_);
    tool.uId = reinterpret_cast<UINT_PTR>(list_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    if (!::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool))) ThrowError(ERROR_INVALID_WINDOW_HANDLE);
    // One line however long the path: it is not broken at its backslashes.
    ::SendMessageW(tooltip_, TTM_SETMAXTIPWIDTH, 0, 32767);
}

void CheckedList::Detach() noexcept {
    if (tooltip_) ::DestroyWindow(tooltip_);
    access_.Detach();
    if (theme_) ThemeFunctions::Get().close(theme_);
    boxes_.reset();
    boxBitmap_.reset();
    tooltip_ = nullptr;
    tooltipFont_.reset();
    theme_ = nullptr;
    list_ = nullptr;
    lastReadIndex_ = -1;
}

std::wstring CheckedList::TextOf(UINT index) const {
    const auto length = ::SendMessageW(list_, LB_GETTEXTLEN, index, 0);
    if (length == LB_ERR) Refuse();
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    const auto got = ::SendMessageW(list_, LB_GETTEXT, index, reinterpret_cast<LPARAM>(text.data()));
    if (got == LB_ERR) Refuse();
    text.resize(static_cast<std::size_t>(got));
    return text;
}

void CheckedList::Relay(const MSG& msg) {
    if (!tooltip_ || msg.hwnd != list_ || msg.message < WM_MOUSEFIRST || msg.message > WM_MOUSELAST) return;
    if (msg.message == WM_MOUSEMOVE) PointerMoved(msg.lParam);
    MSG copy = msg;
    ::SendMessageW(tooltip_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&copy));
}

void CheckedList::PointerMoved(LPARAM at) {
    const int index = EntryAt(list_, POINT{GET_X_LPARAM(at), GET_Y_LPARAM(at)});
    if (index == hovered_) return;
    hovered_ = index;
    // Another entry: the tooltip goes, and asks afresh when the pointer rests again.
    if (tooltip_) ::SendMessageW(tooltip_, TTM_POP, 0, 0);
}

bool CheckedList::Notify(NMHDR& notice) {
    if (!tooltip_ || notice.hwndFrom != tooltip_) return false;
    if (notice.code == TTN_GETDISPINFOW) {
        auto& info = reinterpret_cast<NMTTDISPINFOW&>(notice);
        POINT at{};
        ::GetCursorPos(&at);
        ::ScreenToClient(list_, &at);
        const int index = EntryAt(list_, at);
        tooltipText_.clear();
        if (index >= 0 && ::IsWindowVisible(list_)) {
            try {
                tooltipText_ = TextOf(static_cast<UINT>(index));
            } catch (...) {
                tooltipText_.clear();  // gone meanwhile: no tooltip
            }
        }
        info.lpszText = tooltipText_.data();
        info.szText[0] = L'\0';
        info.hinst = nullptr;
    }
    return true;
}

// --- the target list ---

void CheckedList::CheckIndex(std::int32_t index) const {
    const auto count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
    if (index < 0 || index >= count) Refuse();
}

void CheckedList::Clear() {
    pendingSelected_.clear();
    lastReadIndex_ = -1;
    ::SendMessageW(list_, LB_RESETCONTENT, 0, 0);
    room_ = 0;  // the list box lets its storage go with its entries
    textBytes_ = 0;
    newIndex_ = -1;
    pendingTop_ = pendingCaret_ = -1;
    hovered_ = -1;
    access_.Reordered();
}

void CheckedList::AddItem(const std::wstring& text) {
    lastReadIndex_ = -1;
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    if (newIndex_ + 1 >= room_) Reserve(bytes);
    textBytes_ += bytes;
    const auto index = ::SendMessageW(list_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (index < 0) ThrowError(ERROR_NOT_ENOUGH_MEMORY);
    newIndex_ = static_cast<std::int32_t>(index);
}

void CheckedList::Reserve(std::size_t bytes) {
    // Left to itself the list box grows its storage a few entries at a time, copying
    // it each time: a fill slows as the list grows. Room for as many entries again
    // (and texts as long again) keeps each entry's cost the same at any size.
    const auto count = static_cast<std::int32_t>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
    if (count < 0) return;
    const std::int32_t more = std::min(std::max(count, kFirstRoom), std::numeric_limits<std::int32_t>::max() - count);
    if (more <= 0) return;
    const std::size_t texts = count > 0 ? textBytes_ : bytes * static_cast<std::size_t>(more);
    const auto room = ::SendMessageW(list_, LB_INITSTORAGE, static_cast<WPARAM>(more),
                                     static_cast<LPARAM>(std::min<std::size_t>(texts, kMaxTextRoom)));
    // Refused (no memory for that much ahead), the list box grows by itself as before;
    // it is asked again once that many more are in.
    room_ = room > count && room <= std::numeric_limits<std::int32_t>::max() ? static_cast<std::int32_t>(room)
                                                                              : count + more;
}

bool CheckedList::Selected(std::int32_t index) {
    ApplyPendingSelections();
    const auto state = ::SendMessageW(list_, LB_GETSEL, static_cast<WPARAM>(index), 0);
    if (state == LB_ERR) Refuse();
    return state > 0;
}

void CheckedList::SetSelected(std::int32_t index, bool selected) {
    CheckIndex(index);
    // While a drop fills the hidden list, selections are gathered and set in runs when
    // it shows again: one entry at a time costs a round trip to the window server each.
    if (filling_ && selected) {
        // Kept as runs: a drop selects mostly consecutive entries.
        if (!pendingSelected_.empty() && pendingSelected_.back().second + 1 == index)
            pendingSelected_.back().second = index;
        else
            pendingSelected_.emplace_back(index, index);
        return;
    }
    ApplyPendingSelections();
    if (::SendMessageW(list_, LB_SETSEL, selected ? TRUE : FALSE, index) == LB_ERR) Refuse();
}

std::wstring CheckedList::List(std::int32_t index) {
    if (index < 0) Refuse();
    // A run reads one entry's path several times in a row; the texts change only
    // through Clear and AddItem, which forget this copy.
    if (index != lastReadIndex_) {
        lastReadText_ = TextOf(static_cast<UINT>(index));
        lastReadIndex_ = index;
    }
    return lastReadText_;
}

std::int32_t CheckedList::ListCount() { return static_cast<std::int32_t>(::SendMessageW(list_, LB_GETCOUNT, 0, 0)); }

std::int32_t CheckedList::SelCount() {
    ApplyPendingSelections();
    const auto n = ::SendMessageW(list_, LB_GETSELCOUNT, 0, 0);
    return n < 0 ? 0 : static_cast<std::int32_t>(n);
}

void CheckedList::InvalidateItem(std::int32_t index) {
    RECT r;
    if (index >= 0 &&
        ::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)) != LB_ERR) {
        ::InvalidateRect(list_, &r, FALSE);
    }
}

void CheckedList::MoveCaret(std::int32_t index) {
    const auto old = static_cast<std::int32_t>(::SendMessageW(list_, LB_GETCARETINDEX, 0, 0));
    // The caret index: moving the current entry must not touch any selected flag.
    ::SendMessageW(list_, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    InvalidateItem(old);
    InvalidateItem(index);
    access_.CaretMoved();
}

void CheckedList::SetListIndex(std::int32_t index) {
    CheckIndex(index);
    if (runActive_) {
        pendingCaret_ = runPosition_ = index;
    } else {
        MoveCaret(index);
    }
}

void CheckedList::SetTopIndex(std::int32_t index) {
    CheckIndex(index);
    if (runActive_)
        pendingTop_ = index;
    else
        ::SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
}

void CheckedList::FlushMoves() {
    lastFlush_ = ::GetTickCount64();
    if (!list_) return;
    const auto count = static_cast<std::int32_t>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
    if (pendingTop_ >= 0 && pendingTop_ < count) ::SendMessageW(list_, LB_SETTOPINDEX, static_cast<WPARAM>(pendingTop_), 0);
    if (pendingCaret_ >= 0 && pendingCaret_ < count) MoveCaret(pendingCaret_);
    pendingTop_ = pendingCaret_ = -1;
}

bool CheckedList::FlushMovesIfDue() {
    if (::GetTickCount64() - lastFlush_ < kFrameMs) return false;
    FlushMoves();
    return true;
}

void CheckedList::SelectAll(bool selected) {
    ApplyPendingSelections();
    // Index -1 stands for every entry.
    ::SendMessageW(list_, LB_SETSEL, selected ? TRUE : FALSE, -1);
    access_.Reordered();  // one notice, not one per entry
}

void CheckedList::InvertSelection() {
    ApplyPendingSelections();
    const auto count = static_cast<int>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
    const auto n = ::SendMessageW(list_, LB_GETSELCOUNT, 0, 0);
    if (count <= 0 || n < 0) return;
    std::vector<int> selected(static_cast<std::size_t>(n));
    if (n > 0 &&
        ::SendMessageW(list_, LB_GETSELITEMS, static_cast<WPARAM>(n), reinterpret_cast<LPARAM>(selected.data())) != n)
        return;
    // Each run of selected entries is cleared, each run between them selected.
    const auto selectRange = [this](int first, int last) {
        if (first <= last) ::SendMessageW(list_, LB_SELITEMRANGEEX, static_cast<WPARAM>(first), last);
    };
    int next = 0;  // the first entry not dealt with
    ForEachRun(selected, [&](int first, int last) {
        selectRange(next, first - 1);
        // A range given last to first is cleared; a single entry needs LB_SETSEL.
        if (first == last)
            ::SendMessageW(list_, LB_SETSEL, FALSE, first);
        else
            ::SendMessageW(list_, LB_SELITEMRANGEEX, static_cast<WPARAM>(last), first);
        next = last + 1;
    });
    selectRange(next, count - 1);
    access_.Reordered();
}

void CheckedList::ApplyPendingSelections() {
    for (const auto& [first, last] : pendingSelected_)
        ::SendMessageW(list_, LB_SELITEMRANGEEX, static_cast<WPARAM>(first), static_cast<LPARAM>(last));
    pendingSelected_.clear();
}

void CheckedList::SetVisible(bool visible) {
    // Hidden while a drop fills it: no entry is drawn, and selections wait, until it
    // shows again (a hidden list box still invalidates each entry whose flag is set).
    if (!visible) {
        filling_ = true;
        hadFocus_ = ::GetFocus() == list_;
        ::SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
        ::ShowWindow(list_, SW_HIDE);
        return;
    }
    filling_ = false;
    ApplyPendingSelections();
    ::ShowWindow(list_, SW_SHOWNA);
    ::SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    ::InvalidateRect(list_, nullptr, TRUE);
    access_.Reordered();  // filled anew
    // Hiding took the focus away from the list; it gets it back unless the user has
    // gone elsewhere meanwhile.
    const HWND owner = ::GetParent(list_);
    const HWND focus = ::GetFocus();
    if (std::exchange(hadFocus_, false) && focus && (focus == owner || ::IsChild(owner, focus))) ::SetFocus(list_);
}

}  // namespace tesvar::app::win32
