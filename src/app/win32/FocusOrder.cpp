#include "app/win32/FocusOrder.h"

namespace tesvar::app::win32 {

bool FocusOrder::CanTakeFocus(HWND control) noexcept {
    return control && ::IsWindowEnabled(control) && ::IsWindowVisible(control);
}

HWND FocusOrder::Next(HWND from, bool backwards) const {
    const int n = static_cast<int>(order_.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (order_[static_cast<std::size_t>(i)] == from) at = i;
    }
    for (int step = 1; step <= n; ++step) {
        int next = backwards ? at - step : at + step;
        next = ((next % n) + n) % n;
        const HWND h = order_[static_cast<std::size_t>(next)];
        if (h != from && CanTakeFocus(h)) return h;
    }
    return nullptr;
}

void FocusOrder::Move(HWND from, bool backwards) {
    if (const HWND next = Next(from, backwards)) ::SetFocus(next);
}

void FocusOrder::Save(HWND window) {
    const HWND focus = ::GetFocus();
    if (focus && ::IsChild(window, focus)) saved_ = focus;
}

void FocusOrder::Restore(HWND window) {
    if (::IsIconic(window)) return;
    HWND target = saved_;
    if (!CanTakeFocus(target) || !::IsChild(window, target)) target = Next(nullptr, false);
    if (target) ::SetFocus(target);
}

void FocusOrder::Leave(HWND control, HWND to) {
    const HWND focus = ::GetFocus();
    // A window that is not active has no focus now; the one it gets back counts.
    const bool holds = focus == control || (!focus && saved_ == control);
    if (!holds) return;
    left_ = control;
    const HWND next = to != control && CanTakeFocus(to) ? to : Next(control, false);
    given_ = next;
    if (focus == control && next)
        ::SetFocus(next);
    else
        saved_ = next;
}

void FocusOrder::Return(HWND window, HWND control) {
    if (left_ != control) return;
    left_ = nullptr;
    // Only a focus still where Leave put it goes back: one the user moved meanwhile
    // (into the filter text, to END) stays where the user put it.
    if (::GetActiveWindow() == window) {
        if (::GetFocus() == given_) ::SetFocus(control);
    } else if (saved_ == given_) {
        saved_ = control;
    }
}

}  // namespace tesvar::app::win32
