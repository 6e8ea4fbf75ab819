// The list as a screen reader reads it: through AccessibleObjectFromWindow, as a reader
// asks, and the changes it hears of through the window's event seam.
#include <windows.h>
#include <oleacc.h>

#include <string>
#include <vector>

#include "gui/WindowFixture.h"

namespace tesvar::test {
namespace {

using namespace app::win32;
using platform::win32::ComPtr;

struct Event {
    DWORD event;
    LONG child;
    bool operator==(const Event&) const = default;
};

VARIANT Id(LONG child) {
    VARIANT v;
    ::VariantInit(&v);
    v.vt = VT_I4;
    v.lVal = child;
    return v;
}

std::wstring Take(BSTR text) {
    std::wstring out = text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
    ::SysFreeString(text);
    return out;
}

class AccessibleListTest : public WindowFixture {
protected:
    // The list filled as a drop fills it: entry i is C:\e<i>, every even one ticked.
    void Fill(int count) {
        CheckedList& list = W().List1();
        list.SetVisible(false);
        for (int i = 0; i < count; ++i) {
            list.AddItem(L"C:\\e" + std::to_wstring(i));
            if (i % 2 == 0) list.SetSelected(i, true);
        }
        list.SetVisible(true);
        Pump(window.get(), 20);
        W().List1().SetEventSink([this](DWORD event, HWND hwnd, LONG object, LONG child) {
            EXPECT_EQ(hwnd, Control(kList1));
            EXPECT_EQ(object, OBJID_CLIENT);
            events.push_back({event, child});
        });
    }
    ComPtr<IAccessible> Object(HWND hwnd) {
        ComPtr<IAccessible> object;
        EXPECT_EQ(::AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                               reinterpret_cast<void**>(object.put())),
                  S_OK);
        return object;
    }
    std::wstring Name(IAccessible* object, LONG child) {
        BSTR name = nullptr;
        EXPECT_EQ(object->get_accName(Id(child), &name), S_OK) << child;
        return Take(name);
    }
    LONG Role(IAccessible* object, LONG child) {
        VARIANT role;
        ::VariantInit(&role);
        EXPECT_EQ(object->get_accRole(Id(child), &role), S_OK) << child;
        return role.vt == VT_I4 ? role.lVal : -1;
    }
    LONG State(IAccessible* object, LONG child) {
        VARIANT state;
        ::VariantInit(&state);
        EXPECT_EQ(object->get_accState(Id(child), &state), S_OK) << child;
        return state.vt == VT_I4 ? state.lVal : -1;
    }
    // Clicks entry `index`, which must be in view, as the mouse does.
    void ClickEntry(int index) {
        RECT item{};
        ::SendMessageW(Control(kList1), LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        const LPARAM at = MAKELPARAM(item.left + 30, (item.top + item.bottom) / 2);
        ::PostMessageW(Control(kList1), WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(Control(kList1), WM_LBUTTONUP, 0, at);
        Pump(window.get(), 50);
    }

    std::vector<Event> events;
};

constexpr LONG kEntry = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;

TEST_F(AccessibleListTest, EachEntryIsACheckButtonNamedByItsPathWithItsTickAndPlace) {
    Open();
    Fill(60);  // more than the list shows
    const HWND list = Control(kList1);
    const ComPtr<IAccessible> object = Object(list);
    ASSERT_TRUE(object);
    LONG count = 0;
    EXPECT_EQ(object->get_accChildCount(&count), S_OK);
    EXPECT_EQ(count, 60);
    EXPECT_EQ(Name(object.get(), 1), L"C:\\e0");
    EXPECT_EQ(Name(object.get(), 60), L"C:\\e59");
    EXPECT_EQ(Role(object.get(), 2), ROLE_SYSTEM_CHECKBUTTON);
    EXPECT_EQ(State(object.get(), 1), kEntry | STATE_SYSTEM_CHECKED);
    EXPECT_EQ(State(object.get(), 2), kEntry);
    EXPECT_EQ(State(object.get(), 60), kEntry | STATE_SYSTEM_OFFSCREEN) << "scrolled out of view";
    VARIANT none = Id(61);
    BSTR name = nullptr;
    EXPECT_EQ(object->get_accName(none, &name), E_INVALIDARG);

    // The list itself answers as the system's standard object does.
    ComPtr<IAccessible> standard;
    ASSERT_EQ(::CreateStdAccessibleObject(list, OBJID_CLIENT, __uuidof(IAccessible),
                                          reinterpret_cast<void**>(standard.put())),
              S_OK);
    EXPECT_EQ(Role(object.get(), CHILDID_SELF), Role(standard.get(), CHILDID_SELF));
    EXPECT_EQ(State(object.get(), CHILDID_SELF), State(standard.get(), CHILDID_SELF));

    // Where an entry is on the screen, and which entry is there.
    RECT item{};
    ::SendMessageW(list, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    ::MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&item), 2);
    long x = 0, y = 0, cx = 0, cy = 0;
    EXPECT_EQ(object->accLocation(&x, &y, &cx, &cy, Id(2)), S_OK);
    EXPECT_EQ((std::vector<long>{x, y, cx, cy}),
              (std::vector<long>{item.left, item.top, item.right - item.left, item.bottom - item.top}));
    VARIANT hit;
    EXPECT_EQ(object->accHitTest(item.left + 5, item.top + 1, &hit), S_OK);
    EXPECT_EQ(hit.vt, VT_I4);
    EXPECT_EQ(hit.lVal, 2);

    // The focus: on the caret entry while the list has it.
    ::SetForegroundWindow(W().Hwnd());
    ::SetFocus(list);
    Pump(window.get(), 20);
    EXPECT_EQ(State(object.get(), 1), kEntry | STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSED);
    VARIANT focus;
    EXPECT_EQ(object->get_accFocus(&focus), S_OK);
    EXPECT_EQ(focus.vt, VT_I4);
    EXPECT_EQ(focus.lVal, 1);

    // A click ticks the second entry: the reader hears of the focus and of the tick.
    events.clear();
    ClickEntry(1);
    EXPECT_EQ(State(object.get(), 2), kEntry | STATE_SYSTEM_CHECKED | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_STATECHANGE, 2}, {EVENT_OBJECT_FOCUS, 2}}));
    // The down arrow only moves the caret; Space unticks the third entry.
    events.clear();
    ::SendMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_FOCUS, 3}}));
    events.clear();
    ::PostMessageW(list, WM_KEYDOWN, VK_SPACE, 1);
    Pump(window.get(), 50);
    EXPECT_EQ(State(object.get(), 3), kEntry | STATE_SYSTEM_FOCUSED);
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_STATECHANGE, 3}}));

    // The default action turns the tick over.
    BSTR action = nullptr;
    EXPECT_EQ(object->get_accDefaultAction(Id(2), &action), S_OK);
    EXPECT_EQ(Take(action), L"チェックを外す");
    events.clear();
    EXPECT_EQ(object->accDoDefaultAction(Id(2)), S_OK);
    EXPECT_EQ(State(object.get(), 2) & STATE_SYSTEM_CHECKED, 0);
    EXPECT_FALSE(W().List1().Selected(1));
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_STATECHANGE, 2}}));

    // Scrolled to the end, the first entries are out of view and the last in it.
    ::SendMessageW(list, LB_SETTOPINDEX, 59, 0);
    EXPECT_EQ(State(object.get(), 60) & STATE_SYSTEM_OFFSCREEN, 0);
    EXPECT_EQ(State(object.get(), 1) & STATE_SYSTEM_OFFSCREEN, STATE_SYSTEM_OFFSCREEN);

    // Every entry at once: one notice.
    events.clear();
    ::SendMessageW(W().Hwnd(), WM_COMMAND, kMenuInvert, 0);
    ::SendMessageW(W().Hwnd(), WM_COMMAND, kMenuSelectAll, 0);
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_REORDER, CHILDID_SELF}, {EVENT_OBJECT_REORDER, CHILDID_SELF}}));

    // Gone with the window: the object a reader still holds says so.
    window.reset();
    EXPECT_EQ(object->get_accChildCount(&count), CO_E_OBJNOTCONNECTED);
}

// The messages the list box gets while a reader asks.
int g_listMessages = 0;
HWND g_countedList = nullptr;
LRESULT CALLBACK CountMessages(int code, WPARAM wParam, LPARAM lParam) noexcept {
    if (code == HC_ACTION && reinterpret_cast<const CWPSTRUCT*>(lParam)->hwnd == g_countedList) ++g_listMessages;
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

// A list of 100,000 entries answers about its last one at once, and a run's moves reach a
// reader at most once a frame.
TEST_F(AccessibleListTest, ALongListAnswersForOneEntryWithoutWalkingIt) {
    Open();
    Fill(100000);
    const ComPtr<IAccessible> object = Object(Control(kList1));
    ASSERT_TRUE(object);
    g_countedList = Control(kList1);
    g_listMessages = 0;
    const HHOOK hook = ::SetWindowsHookExW(WH_CALLWNDPROC, &CountMessages, nullptr, ::GetCurrentThreadId());
    ASSERT_TRUE(hook);
    EXPECT_EQ(Name(object.get(), 100000), L"C:\\e99999");
    EXPECT_EQ(State(object.get(), 99999), kEntry | STATE_SYSTEM_CHECKED | STATE_SYSTEM_OFFSCREEN);
    ::UnhookWindowsHookEx(hook);
    std::printf("%d messages to the list for a name and a state\n", g_listMessages);
    EXPECT_LE(g_listMessages, 12);

    ::SetForegroundWindow(W().Hwnd());
    ::SetFocus(Control(kList1));
    Pump(window.get(), 20);
    events.clear();
    CheckedList& list = W().List1();
    list.SetRunActive(true);
    for (int i = 0; i < 5000; ++i) list.SetListIndex(i);
    list.FlushMoves();
    list.SetRunActive(false);
    EXPECT_EQ(events, (std::vector<Event>{{EVENT_OBJECT_FOCUS, 5000}}));
}

// The filter text box is named by its label through the standard object: the label
// comes right before it among the strip's windows.
TEST_F(AccessibleListTest, TheFilterTextIsNamedByItsLabel) {
    Open();
    const HWND edit = Control(kTxtSelFileSts);
    EXPECT_EQ(::GetWindow(edit, GW_HWNDPREV), Control(kLabel1));
    const ComPtr<IAccessible> object = Object(edit);
    ASSERT_TRUE(object);
    BSTR name = nullptr;
    object->get_accName(Id(CHILDID_SELF), &name);
    std::printf("the filter text box is named \"%ls\"\n", Take(name).c_str());
}

}  // namespace
}  // namespace tesvar::test
