// The keyboard and the list's menu: Tab, Enter on a button, Ctrl+A, and the commands.
#include "app/win32/TesvarWindow.h"

#include <windowsx.h>

#include <algorithm>

#include "app/win32/Resource.h"

namespace tesvar::app::win32 {

void TesvarWindow::OnCommand(int id, int code) {
    // The list's menu: during a run too, where the run reads each entry's flag when it
    // reaches it. The status caption stays as the drop set it.
    switch (id) {
        case kMenuSelectAll:
            list_.SelectAll(true);
            return;
        case kMenuClearAll:
            list_.SelectAll(false);
            return;
        case kMenuInvert:
            list_.InvertSelection();
            return;
        default:
            break;
    }
    if (code != BN_CLICKED) return;
    switch (id) {
        case kBtnStart:
            OnStart();
            break;
        case kBtnClear:
            // Disabled during a run; a click still queued from before does nothing.
            if (!Busy()) form_.BtnClear_Click();
            break;
        case kBtnEnd:
            OnClose();  // unloading the window is a close request
            break;
        default:
            break;
    }
}

void TesvarWindow::OnListMenu(LPARAM at) {
    const HWND list = Control(kList1);
    if (!::IsWindowVisible(list)) return;
    POINT where{GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    if (where.x == -1 && where.y == -1) {
        // From the keyboard (Shift+F10, the menu key): at the current entry, or at the
        // list's corner.
        RECT item{};
        const auto caret = ::SendMessageW(list, LB_GETCARETINDEX, 0, 0);
        if (caret < 0 || ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(caret),
                                        reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            item = {};
        RECT client{};
        ::GetClientRect(list, &client);
        where = {item.left, std::clamp<LONG>(item.bottom, client.top, client.bottom)};
        ::ClientToScreen(list, &where);
    }
    struct MenuOwner {
        HMENU menu = ::CreatePopupMenu();
        ~MenuOwner() {
            if (menu) ::DestroyMenu(menu);
        }
    } owner;
    if (!owner.menu) return;
    ::AppendMenuW(owner.menu, MF_STRING, kMenuSelectAll, L"すべて選択");
    ::AppendMenuW(owner.menu, MF_STRING, kMenuClearAll, L"すべて解除");
    ::AppendMenuW(owner.menu, MF_STRING, kMenuInvert, L"選択の反転");
    // The command chosen comes as WM_COMMAND.
    ::TrackPopupMenu(owner.menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, where.x, where.y, 0, Hwnd(), nullptr);
}

bool TesvarWindow::PreTranslate(const MSG& msg) {
    if (!Hwnd()) return false;
    list_.Relay(msg);
    if (msg.message != WM_KEYDOWN) return false;
    if (msg.hwnd != Hwnd() && !::IsChild(Hwnd(), msg.hwnd)) return false;
    // Ctrl+A in the list: every entry selected.
    if (msg.wParam == 'A' && msg.hwnd == Control(kList1) && ::GetKeyState(VK_CONTROL) < 0 &&
        ::GetKeyState(VK_MENU) >= 0 && ::GetKeyState(VK_SHIFT) >= 0) {
        list_.SelectAll(true);
        return true;
    }
    if (::GetKeyState(VK_CONTROL) < 0 || ::GetKeyState(VK_MENU) < 0) return false;
    if (msg.wParam == VK_TAB) {
        focus_.Move(::GetFocus(), ::GetKeyState(VK_SHIFT) < 0);
        return true;
    }
    if (msg.wParam == VK_RETURN) {
        // Enter presses the button that has the focus and nothing else, as a click
        // does: through the window procedure and its guard.
        for (ControlId id : {kBtnStart, kBtnClear, kBtnEnd}) {
            if (msg.hwnd != Control(id)) continue;
            if (::IsWindowEnabled(msg.hwnd))
                ::SendMessageW(Hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(msg.hwnd));
            return true;
        }
    }
    return false;
}
}  // namespace tesvar::app::win32
