// The GUI tests run on one thread that is an OLE single-threaded apartment, like the
// program's own.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "platform/win32/ScopedWin.h"

int main(int argc, char** argv) {
    const tesvar::platform::win32::OleInitialization ole;
    if (FAILED(ole.Result())) return 2;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
