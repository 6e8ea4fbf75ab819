// What Tesvar.exe does before anything else, in a real process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/win32/Startup.h"

namespace tesvar::test {
namespace {

TEST(StartupTest, ADllBesideTheProgramIsNeverLoadedOnceTheStartUpHasRun) {
    const wchar_t* planted = L"tesvar_planted.dll";  // built beside this program only
    // Before: the default search finds it in the program's folder.
    const HMODULE before = ::LoadLibraryW(planted);
    ASSERT_NE(before, nullptr) << "the planted DLL must lie beside the test program";
    ::FreeLibrary(before);

    EXPECT_TRUE(app::win32::RestrictDllSearch());
    const HMODULE after = ::LoadLibraryW(planted);
    EXPECT_EQ(after, nullptr);
    if (after) ::FreeLibrary(after);
    // System DLLs still load.
    const HMODULE system = ::LoadLibraryW(L"version.dll");
    EXPECT_NE(system, nullptr);
    if (system) ::FreeLibrary(system);
}

}  // namespace
}  // namespace tesvar::test
