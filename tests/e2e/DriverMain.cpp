// The test driver: runs the end-to-end cases (Google Test), or with --demo FOLDER
// shows Tesvar.exe at work on a sample tree.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <cwchar>
#include <string>

#include <gtest/gtest.h>

#include "e2e/Driver.h"
#include "win32/Win32TestSupport.h"

namespace {

using namespace tesvar;
using namespace tesvar::test;
using app::win32::ControlId;

bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Tesvar.exe over a small sample tree: drop, Start, Yes, OK, END. With a screenshot
// pause, it writes "ready-for-screenshot" in the folder once the tree is listed and
// waits (up to 20 s) for "screenshot-done".
int Demo(const std::wstring& folder, bool screenshotPause) {
    const std::wstring app = folder + L"\\app", sample = folder + L"\\sample";
    RemoveTree(app);
    RemoveTree(sample);
    MakeFolder(app);
    MakeFolder(sample);
    MakeFolder(sample + L"\\写真");
    MakeFolder(sample + L"\\old");
    MakeFile(sample + L"\\報告書.txt", 33, "report\r\n");
    MakeFile(sample + L"\\メモ.log", 35, "memo\r\n");  // read-only, hidden
    MakeFile(sample + L"\\readme", 32, "readme\r\n");  // writable: not listed
    MakeFile(sample + L"\\写真\\img01.jpg", 33);
    MakeFile(sample + L"\\写真\\img02.jpg", 32);
    MakeFile(sample + L"\\old\\archive.zip", 33);
    TesvarProcess tesvar(app);
    if (tesvar.DragOnto({sample}) != DROPEFFECT_COPY) {
        std::printf("the drop was refused\n");
        return 1;
    }
    tesvar.WaitCaptionNot(L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい");
    std::printf("dropped the sample tree: %d entries listed, %d selected\n",
                static_cast<int>(tesvar.Entries().size()), tesvar.SelCount());
    if (screenshotPause) {
        MakeFile(folder + L"\\ready-for-screenshot");
        for (int i = 0; i < 2000 && !Exists(folder + L"\\screenshot-done"); ++i) ::Sleep(10);
    }
    tesvar.Press(app::win32::kBtnStart);
    tesvar.Answer(IDYES);
    tesvar.Answer(IDOK);
    tesvar.Press(app::win32::kBtnEnd);
    if (!tesvar.WaitExit()) return 1;
    std::printf("released; Tesvar.log and Tesvar.ini written beside Tesvar.exe\n");
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (FAILED(::OleInitialize(nullptr))) return 2;  // the drag needs an STA, like Tesvar's drop
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    int result = 0;
    std::wstring demo;
    bool pause = false;
    for (int i = 1; i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg.rfind(L"--tesvar=", 0) == 0) SetTesvarExe(arg.substr(9));
        if (arg == L"--demo" && i + 1 < argc) demo = argv[++i];
        if (arg == L"--screenshot-pause") pause = true;
    }
    if (!demo.empty()) {
        try {
            result = Demo(demo, pause);
        } catch (const std::exception& e) {
            std::printf("demo failed: %s\n", e.what());
            result = 1;
        }
    } else {
        ::testing::InitGoogleTest(&argc, argv);
        result = RUN_ALL_TESTS();
    }
    ::OleUninitialize();
    return result;
}
