#pragma once
// The real window in-process, on real files in a temporary folder that stands in for
// the program folder (so Tesvar.ini and Tesvar.log of each test are its own).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/win32/TesvarWindow.h"
#include "gui/MessageBoxes.h"
#include "support/win32/FileListDataObject.h"
#include "platform/win32/Win32FileServices.h"
#include "platform/win32/Win32Profile.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::test {

// Handles this thread's messages for a while, as the program's loop would.
void Pump(app::win32::TesvarWindow* window, DWORD milliseconds);
// The pixels a window shows in a rectangle of its client area, row by row, each as
// 0x00RRGGBB; empty when they cannot be read.
std::vector<DWORD> ShownPixels(HWND window, const RECT& area);

class WindowFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Creates and shows the window (load handling included); `services` stand in for
    // the real file services, `shell` for the shell's parts, where given.
    void Open(platform::FileServices* services = nullptr,
              const app::win32::TesvarWindow::ShellParts* shell = nullptr);
    // Lists a.txt, gone.txt and z.txt, all read-only, then deletes gone.txt: a run
    // over the list stops at an abort prompt in its middle.
    void OpenWithAMissingEntry();
    app::win32::TesvarWindow& W() { return *window; }
    HWND Control(app::win32::ControlId id) { return window->Control(id); }
    // Presses a button the way a click does, and handles what follows.
    void Click(app::win32::ControlId id);
    // A control's rectangle in twips, relative to its parent's client area.
    RECT TwipsRect(HWND control);
    RECT OuterPixels();
    std::wstring Ini() { return folder + L"\\Tesvar.ini"; }
    std::wstring Log() { return folder + L"\\Tesvar.log"; }
    // Drops the paths on the list through its drop target; returns the effect answered.
    DWORD Drop(const std::vector<std::wstring>& paths, Payload payload = Payload::FileList);
    std::vector<std::wstring> Entries();

    std::wstring folder;  // stands in for the program folder
    std::wstring tree;    // files to drop
    platform::win32::Win32FileServices real;
    std::unique_ptr<ProgramFolderIn> files;
    platform::win32::Win32Ansi ansi;
    platform::win32::Win32Profile profile;
    std::unique_ptr<app::win32::TesvarWindow> window;
};

}  // namespace tesvar::test
