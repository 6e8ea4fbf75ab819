#pragma once
// Test doubles of the shell's parts the window uses: the taskbar list (progress on the
// window's button) and the drag image helper. Each records the calls it gets.
#include <windows.h>
#include <shobjidl.h>

#include <string>
#include <vector>

#include "platform/win32/ComObject.h"

namespace tesvar::test {

class TaskbarDouble final : public platform::win32::ComObject<ITaskbarList3> {
public:
    struct Call {
        std::string what;  // "init", "state", "value"
        ULONGLONG a = 0, b = 0;
        ULONGLONG tick = 0;
    };
    std::vector<Call> calls;
    // The last state set (TBPF_NOPROGRESS when none).
    TBPFLAG State() const {
        for (auto it = calls.rbegin(); it != calls.rend(); ++it) {
            if (it->what == "state") return static_cast<TBPFLAG>(it->a);
        }
        return TBPF_NOPROGRESS;
    }

    HRESULT STDMETHODCALLTYPE HrInit() noexcept override { return Record("init"); }
    HRESULT STDMETHODCALLTYPE AddTab(HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE DeleteTab(HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ActivateTab(HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetActiveAlt(HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE MarkFullscreenWindow(HWND, BOOL) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetProgressValue(HWND, ULONGLONG done, ULONGLONG total) noexcept override {
        return Record("value", done, total);
    }
    HRESULT STDMETHODCALLTYPE SetProgressState(HWND, TBPFLAG state) noexcept override {
        return Record("state", static_cast<ULONGLONG>(state));
    }
    HRESULT STDMETHODCALLTYPE RegisterTab(HWND, HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE UnregisterTab(HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabOrder(HWND, HWND) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetTabActive(HWND, HWND, DWORD) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarAddButtons(HWND, UINT, LPTHUMBBUTTON) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarUpdateButtons(HWND, UINT, LPTHUMBBUTTON) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE ThumbBarSetImageList(HWND, HIMAGELIST) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetOverlayIcon(HWND, HICON, LPCWSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailTooltip(HWND, LPCWSTR) noexcept override { return S_OK; }
    HRESULT STDMETHODCALLTYPE SetThumbnailClip(HWND, RECT*) noexcept override { return S_OK; }

private:
    ~TaskbarDouble() override = default;
    HRESULT Record(const char* what, ULONGLONG a = 0, ULONGLONG b = 0) {
        calls.push_back({what, a, b, ::GetTickCount64()});
        return S_OK;
    }
};

class DragImageDouble final : public platform::win32::ComObject<IDropTargetHelper> {
public:
    struct Call {
        std::string what;  // "enter", "over", "leave", "drop"
        HWND window = nullptr;
        DWORD effect = 0;
    };
    std::vector<Call> calls;

    HRESULT STDMETHODCALLTYPE DragEnter(HWND window, IDataObject*, POINT*, DWORD effect) noexcept override {
        calls.push_back({"enter", window, effect});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() noexcept override {
        calls.push_back({"leave", nullptr, 0});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(POINT*, DWORD effect) noexcept override {
        calls.push_back({"over", nullptr, effect});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject*, POINT*, DWORD effect) noexcept override {
        calls.push_back({"drop", nullptr, effect});
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Show(BOOL) noexcept override { return S_OK; }

private:
    ~DragImageDouble() override = default;
};

}  // namespace tesvar::test
