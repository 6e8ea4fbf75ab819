// The profile contract suite's tree on Windows: kernel32's profile functions on a real
// temporary folder, and a folder made immutable on the Unix side (chattr +i, see
// run-with-fixtures.sh), in which not even root can create a file.
#include <windows.h>

#include "contract/ProfileTree.h"
#include "platform/win32/Win32FileServices.h"
#include "platform/win32/Win32Profile.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::contract {
namespace {

class Win32ProfileTree : public ProfileTree {
public:
    Win32ProfileTree() : root_(test::MakeTempFolder(L"profile")), files_(real_, root_) {}
    ~Win32ProfileTree() override { test::RemoveTree(root_); }
    platform::ProfileServices& Profile() override { return profile_; }
    platform::AnsiCodePage& Ansi() override { return ansi_; }
    platform::FileServices& Files() override { return files_; }
    std::wstring Root() override { return root_; }
    void WriteFile(const std::wstring& path, const std::string& bytes) override {
        test::MakeFile(path, platform::attr::Archive, bytes);
    }
    std::optional<std::string> ReadFile(const std::wstring& path) override {
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
        return test::ReadBytes(path);
    }
    std::wstring UnwritableFolder() override { return test::NextUnwritableFolder(); }

private:
    std::wstring root_;
    platform::win32::Win32FileServices real_;
    test::ProgramFolderIn files_;
    platform::win32::Win32Profile profile_;
    platform::win32::Win32Ansi ansi_;
};

}  // namespace

std::unique_ptr<ProfileTree> MakeProfileTree() { return std::make_unique<Win32ProfileTree>(); }

}  // namespace tesvar::contract
