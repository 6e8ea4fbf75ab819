// Tesvar.exe: creates the one window and runs until it is closed. Paths on the command
// line are taken as one drop of them; no environment variable or registry value is read.
#include <windows.h>

#include "TesvarVersion.h"
#include "app/win32/Startup.h"
#include "app/win32/SystemDlls.h"
#include "app/win32/TesvarWindow.h"
#include "platform/win32/Win32FileServices.h"
#include "platform/win32/Win32Profile.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int showCommand) {
    using namespace tesvar;
    app::win32::RestrictDllSearch();
    app::win32::LoadCommonControls();
    platform::win32::Win32FileServices files;
    platform::win32::Win32Ansi ansi;
    platform::win32::Win32Profile profile;
    app::win32::TesvarWindow window({files, files, ansi, profile},
                                    {TESVAR_VERSION_MAJOR, TESVAR_VERSION_MINOR, TESVAR_VERSION_TWEAK});
    try {
        window.Create(showCommand);
        // Send To, a drop on the program's icon and Open with hand over paths here.
        const std::vector<std::wstring> paths = app::win32::CommandLinePaths();
        if (!paths.empty()) window.TakeDrop(paths);
        return app::win32::TesvarWindow::MessageLoop(window);
    } catch (...) {
        return 1;  // the window could not be made, or could take no drops
    }
}
