#pragma once
// What Tesvar.exe does before anything else.

#include <string>
#include <vector>

namespace tesvar::app::win32 {

// A downloaded Tesvar.exe runs from a folder that holds whatever else was downloaded:
// from here on, DLLs (also those a system DLL loads on demand) come from the system
// folder only, never from the program's folder or the current one. False when the
// system cannot restrict the search (Windows 7 without its update); the current
// folder is left out all the same.
bool RestrictDllSearch() noexcept;

// The paths given on the program's command line after its own name (a Send To
// shortcut, files dropped on the program's icon, Open with), as they stand.
std::vector<std::wstring> CommandLinePaths();

// The process's current folder, against which a relative path is read.
std::wstring CurrentFolder();

}  // namespace tesvar::app::win32
