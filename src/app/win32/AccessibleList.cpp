#include "app/win32/AccessibleList.h"

#include <oleacc.h>

#include <new>
#include <string>
#include <utility>

#include "app/win32/SystemDlls.h"
#include "platform/win32/ComObject.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::app::win32 {
namespace {

// Spelled out: MinGW has it only in liboleacc, which is never linked.
constexpr IID kIidAccessible{0x618736e0, 0x3c3d, 0x11cf, {0x81, 0x0c, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};

// oleacc is not a known DLL: loaded from the system folder when first asked for.
struct OleaccFunctions {
    decltype(&::CreateStdAccessibleObject) createStandard = nullptr;
    decltype(&::LresultFromObject) lresultFromObject = nullptr;

    static const OleaccFunctions& Get() noexcept {
        static const OleaccFunctions functions = [] {
            OleaccFunctions f;
            const HMODULE oleacc = LoadSystemDll(L"oleacc.dll");
            f.createStandard = FindFunction<decltype(f.createStandard)>(oleacc, "CreateStdAccessibleObject");
            f.lresultFromObject = FindFunction<decltype(f.lresultFromObject)>(oleacc, "LresultFromObject");
            return f;
        }();
        return functions;
    }
};

HRESULT Empty(VARIANT* out) {
    ::VariantInit(out);
    return S_FALSE;
}

HRESULT Child(VARIANT* out, LONG id) {
    ::VariantInit(out);
    out->vt = VT_I4;
    out->lVal = id;
    return S_OK;
}

HRESULT Text(BSTR* out, const wchar_t* text, UINT length) {
    *out = ::SysAllocStringLen(text, length);
    return *out ? S_OK : E_OUTOFMEMORY;
}

}  // namespace

#if defined(__GNUC__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"  // COM interfaces have none
#endif
class ListAccessible final : public platform::win32::ComObject<IAccessible> {
public:
    ListAccessible(HWND list, platform::win32::ComPtr<IAccessible> standard, AccessibleList& owner)
        : list_(list), standard_(std::move(standard)), owner_(&owner) {}
    void Disconnect() noexcept {
        list_ = nullptr;
        owner_ = nullptr;
        standard_.reset();
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) noexcept override {
        if (object && riid == IID_IDispatch) {
            *object = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return ComObject::QueryInterface(riid, object);
    }

    // --- IDispatch: nothing is reached by name ---
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) noexcept override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) noexcept override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) noexcept override {
        return E_NOTIMPL;
    }

    // --- IAccessible ---
    HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) noexcept override {
        if (!list_) return CO_E_OBJNOTCONNECTED;
        return standard_ ? standard_->get_accParent(parent) : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* count) noexcept override {
        if (!count) return E_POINTER;
        if (!list_) return CO_E_OBJNOTCONNECTED;
        const auto n = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
        *count = n > 0 ? static_cast<LONG>(n) : 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) noexcept override {
        if (!out) return E_POINTER;
        *out = nullptr;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->get_accChild(child, out) : E_INVALIDARG;
        return S_FALSE;  // an entry is a simple element of the list, not an object
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) noexcept override {
        if (!name) return E_POINTER;
        *name = nullptr;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->get_accName(child, name) : S_FALSE;
        const auto length = ::SendMessageW(list_, LB_GETTEXTLEN, static_cast<WPARAM>(entry), 0);
        if (length == LB_ERR) return E_INVALIDARG;
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        const auto got = ::SendMessageW(list_, LB_GETTEXT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(text.data()));
        if (got == LB_ERR) return E_INVALIDARG;
        return Text(name, text.c_str(), static_cast<UINT>(got));
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) noexcept override {
        return ForList(child, value, &IAccessible::get_accValue);
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* text) noexcept override {
        return ForList(child, text, &IAccessible::get_accDescription);
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) noexcept override {
        if (!role) return E_POINTER;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->get_accRole(child, role) : Empty(role);
        // Each entry shows its tick as a check box in front of its path.
        return Child(role, ROLE_SYSTEM_CHECKBUTTON);
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) noexcept override {
        if (!state) return E_POINTER;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->get_accState(child, state) : Empty(state);
        LONG bits = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
        if (::SendMessageW(list_, LB_GETSEL, static_cast<WPARAM>(entry), 0) > 0) bits |= STATE_SYSTEM_CHECKED;
        if (::GetFocus() == list_ && ::SendMessageW(list_, LB_GETCARETINDEX, 0, 0) == entry)
            bits |= STATE_SYSTEM_FOCUSED;
        RECT item{}, client{}, shown{};
        if (!::IsWindowVisible(list_) || !::GetClientRect(list_, &client) ||
            ::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&item)) ==
                LB_ERR ||
            !::IntersectRect(&shown, &item, &client))
            bits |= STATE_SYSTEM_OFFSCREEN;
        return Child(state, bits);
    }
    HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) noexcept override {
        return ForList(child, help, &IAccessible::get_accHelp);
    }
    HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, LONG* topic) noexcept override {
        if (!file || !topic) return E_POINTER;
        *file = nullptr;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0 && standard_) return standard_->get_accHelpTopic(file, child, topic);
        *topic = 0;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* keys) noexcept override {
        return ForList(child, keys, &IAccessible::get_accKeyboardShortcut);
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) noexcept override {
        if (!focus) return E_POINTER;
        if (!list_) return CO_E_OBJNOTCONNECTED;
        if (::GetFocus() != list_) return Empty(focus);
        const auto caret = ::SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
        const auto count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
        return Child(focus, caret >= 0 && caret < count ? static_cast<LONG>(caret) + 1 : CHILDID_SELF);
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) noexcept override {
        if (!selection) return E_POINTER;
        if (!list_) return CO_E_OBJNOTCONNECTED;
        return Empty(selection);  // a tick is a check box's state here, not a selection
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) noexcept override {
        if (!action) return E_POINTER;
        *action = nullptr;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->get_accDefaultAction(child, action) : S_FALSE;
        const wchar_t* text = ::SendMessageW(list_, LB_GETSEL, static_cast<WPARAM>(entry), 0) > 0 ? L"チェックを外す"
                                                                                                  : L"チェックする";
        return Text(action, text, static_cast<UINT>(::lstrlenW(text)));
    }
    HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) noexcept override {
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->accSelect(flags, child) : E_INVALIDARG;
        // Only the focus: an entry's tick changes by its default action.
        if (flags != SELFLAG_TAKEFOCUS) return E_INVALIDARG;
        ::SetFocus(list_);
        ::SendMessageW(list_, LB_SETCARETINDEX, static_cast<WPARAM>(entry), FALSE);
        if (owner_) owner_->CaretMoved();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height,
                                          VARIANT child) noexcept override {
        if (!left || !top || !width || !height) return E_POINTER;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->accLocation(left, top, width, height, child) : E_FAIL;
        RECT item{};
        if (::SendMessageW(list_, LB_GETITEMRECT, static_cast<WPARAM>(entry), reinterpret_cast<LPARAM>(&item)) ==
            LB_ERR)
            return E_INVALIDARG;
        ::MapWindowPoints(list_, nullptr, reinterpret_cast<POINT*>(&item), 2);
        *left = item.left;
        *top = item.top;
        *width = item.right - item.left;
        *height = item.bottom - item.top;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) noexcept override {
        if (!end) return E_POINTER;
        LONG entry = 0;
        if (const HRESULT hr = Entry(start, entry); hr != S_OK) return hr;
        const auto count = static_cast<LONG>(::SendMessageW(list_, LB_GETCOUNT, 0, 0));
        if (entry < 0) {
            if (direction == NAVDIR_FIRSTCHILD) return count > 0 ? Child(end, 1) : Empty(end);
            if (direction == NAVDIR_LASTCHILD) return count > 0 ? Child(end, count) : Empty(end);
            return standard_ ? standard_->accNavigate(direction, start, end) : Empty(end);
        }
        if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && entry + 1 < count) return Child(end, entry + 2);
        if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && entry > 0) return Child(end, entry);
        return Empty(end);
    }
    HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) noexcept override {
        if (!hit) return E_POINTER;
        if (!list_) return CO_E_OBJNOTCONNECTED;
        POINT at{x, y};
        RECT client{};
        ::ScreenToClient(list_, &at);
        if (!::GetClientRect(list_, &client) || !::PtInRect(&client, at))
            return standard_ ? standard_->accHitTest(x, y, hit) : Empty(hit);
        const int index = EntryAt(list_, at);
        return Child(hit, index >= 0 ? static_cast<LONG>(index) + 1 : CHILDID_SELF);
    }
    HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) noexcept override {
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0) return standard_ ? standard_->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
        if (owner_) owner_->Toggle(static_cast<int>(entry));
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) noexcept override { return E_NOTIMPL; }

private:
    ~ListAccessible() override = default;

    // The entry a child id names, -1 for the list itself: S_OK; another answer when the
    // id names nothing or the list is gone.
    HRESULT Entry(const VARIANT& child, LONG& entry) const noexcept {
        if (!list_) return CO_E_OBJNOTCONNECTED;
        if (child.vt != VT_I4) return E_INVALIDARG;
        if (child.lVal == CHILDID_SELF) {
            entry = -1;
            return S_OK;
        }
        const auto count = ::SendMessageW(list_, LB_GETCOUNT, 0, 0);
        if (child.lVal < 1 || child.lVal > count) return E_INVALIDARG;
        entry = child.lVal - 1;
        return S_OK;
    }

    // A text the entries do not have: the list's own from the standard object.
    template <class Get>
    HRESULT ForList(const VARIANT& child, BSTR* out, Get get) noexcept {
        if (!out) return E_POINTER;
        *out = nullptr;
        LONG entry = 0;
        if (const HRESULT hr = Entry(child, entry); hr != S_OK) return hr;
        if (entry < 0 && standard_) return (standard_.get()->*get)(child, out);
        return S_FALSE;
    }

    HWND list_;
    platform::win32::ComPtr<IAccessible> standard_;
    AccessibleList* owner_;
};
#if defined(__GNUC__)
#pragma GCC diagnostic pop
#endif

void AccessibleList::Attach(HWND list) {
    list_ = list;
    announcedCaret_ = -1;
    // The list box's own procedure stays behind ours; `this` goes with the window, which
    // the list box leaves to its owner.
    ::SetWindowLongPtrW(list_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    original_ = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AccessibleList::ListProc)));
}

void AccessibleList::Detach() noexcept {
    if (object_) {
        object_->Disconnect();
        object_->Release();
        object_ = nullptr;
    }
    if (list_ && original_ && ::IsWindow(list_)) {
        ::SetWindowLongPtrW(list_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
        ::SetWindowLongPtrW(list_, GWLP_USERDATA, 0);
    }
    list_ = nullptr;
    original_ = nullptr;
}

LRESULT CALLBACK AccessibleList::ListProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    auto* self = reinterpret_cast<AccessibleList*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self || !self->original_) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
        case WM_GETOBJECT:
            // The object id is a 32-bit signed number in the low half.
            if (static_cast<LONG>(static_cast<DWORD>(lParam)) == OBJID_CLIENT) {
                if (const LRESULT answer = self->Answer(wParam)) return answer;
            }
            break;
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_LBUTTONDBLCLK:
        case WM_KEYDOWN:
        case WM_CHAR:
        case WM_SETFOCUS:
            return self->Input(message, wParam, lParam);
        case WM_NCDESTROY: {
            const WNDPROC original = self->original_;
            self->Detach();
            return ::CallWindowProcW(original, hwnd, message, wParam, lParam);
        }
        default:
            break;
    }
    return ::CallWindowProcW(self->original_, hwnd, message, wParam, lParam);
}

LRESULT AccessibleList::Answer(WPARAM wParam) noexcept {
    const OleaccFunctions& oleacc = OleaccFunctions::Get();
    if (!oleacc.lresultFromObject) return 0;
    if (!object_) {
        platform::win32::ComPtr<IAccessible> standard;
        if (oleacc.createStandard)
            oleacc.createStandard(list_, OBJID_CLIENT, kIidAccessible, reinterpret_cast<void**>(standard.put()));
        object_ = new (std::nothrow) ListAccessible(list_, std::move(standard), *this);
        if (!object_) return 0;
    }
    const LRESULT answer = oleacc.lresultFromObject(kIidAccessible, wParam, static_cast<IAccessible*>(object_));
    return answer > 0 ? answer : 0;
}

void AccessibleList::Raise(DWORD event, LONG child) noexcept {
    if (!list_) return;
    if (!sink_) {
        ::NotifyWinEvent(event, list_, OBJID_CLIENT, child);
        return;
    }
    try {
        sink_(event, list_, OBJID_CLIENT, child);
    } catch (...) {
    }
}

int EntryAt(HWND list, POINT at) noexcept {
    RECT client{};
    if (!::GetClientRect(list, &client) || !::PtInRect(&client, at)) return -1;
    const auto top = ::SendMessageW(list, LB_GETTOPINDEX, 0, 0);
    const auto height = ::SendMessageW(list, LB_GETITEMHEIGHT, 0, 0);
    const auto count = ::SendMessageW(list, LB_GETCOUNT, 0, 0);
    if (top < 0 || height <= 0 || count <= 0) return -1;
    const auto index = top + at.y / height;
    return index < count ? static_cast<int>(index) : -1;
}

int AccessibleList::Caret() const noexcept {
    const auto caret = ::SendMessageW(list_, LB_GETCARETINDEX, 0, 0);
    return caret >= 0 && caret < ::SendMessageW(list_, LB_GETCOUNT, 0, 0) ? static_cast<int>(caret) : -1;
}

bool AccessibleList::Ticked(int index) const noexcept {
    return ::SendMessageW(list_, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0;
}

LRESULT AccessibleList::Input(UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    // The entry a click or a key may turn over: the one under the pointer, or the caret
    // entry. Compared after the list box has handled it, whichever message it ticks on
    // and whether or not it tells its owner.
    int entry = -1;
    if (message == WM_KEYDOWN || message == WM_CHAR) {
        entry = Caret();
    } else if (message != WM_SETFOCUS) {
        entry = EntryAt(list_, POINT{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))});
    }
    const bool ticked = entry >= 0 && Ticked(entry);
    const LRESULT result = ::CallWindowProcW(original_, list_, message, wParam, lParam);
    if (!list_) return result;
    if (message == WM_SETFOCUS) {
        // The reader follows the focus into the list: to its caret entry, or the list.
        announcedCaret_ = Caret();
        Raise(EVENT_OBJECT_FOCUS, announcedCaret_ + 1);
        return result;
    }
    if (entry >= 0 && Ticked(entry) != ticked) Raise(EVENT_OBJECT_STATECHANGE, entry + 1);
    CaretMoved();
    return result;
}

void AccessibleList::CaretMoved() noexcept {
    if (!list_) return;
    const int caret = Caret();
    if (caret == announcedCaret_) return;
    announcedCaret_ = caret;
    if (caret >= 0 && ::GetFocus() == list_) Raise(EVENT_OBJECT_FOCUS, caret + 1);
}

void AccessibleList::Reordered() noexcept {
    announcedCaret_ = list_ ? Caret() : -1;
    Raise(EVENT_OBJECT_REORDER, CHILDID_SELF);
}

void AccessibleList::Toggle(int index) noexcept {
    if (!list_) return;
    ::SendMessageW(list_, LB_SETSEL, Ticked(index) ? FALSE : TRUE, index);
    Raise(EVENT_OBJECT_STATECHANGE, index + 1);
}

}  // namespace tesvar::app::win32
