// The profile contract suite's tree on Windows: kernel32's profile functions on a real
// temporary folder, and a folder made immutable on the Unix side (chattr +i, see
// run-with-fixtures.sh), in which not even root can create a file.
#include <windows.h>

#include <atomic>
#include <utility>

#include "contract/ProfileTree.h"
#include "platform/Text.h"
#include "platform/win32/Win32FileServices.h"
#include "platform/win32/Win32Profile.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::contract {
namespace {

// The real file services with the test's folder as the program folder.
class FolderAsProgramFolder : public platform::FileServices {
public:
    FolderAsProgramFolder(platform::FileServices& inner, std::wstring folder)
        : inner_(inner), folder_(std::move(folder)) {}
    std::int32_t GetAttr(const std::wstring& path) override { return inner_.GetAttr(path); }
    void SetAttr(const std::wstring& path, std::int32_t attributes) override { inner_.SetAttr(path, attributes); }
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override { return inner_.Dir(folder, mask); }
    std::wstring Dir() override { return inner_.Dir(); }
    std::wstring ProgramFolder() override { return folder_; }
    std::wstring ErrorText(std::int32_t number) override { return inner_.ErrorText(number); }

private:
    platform::FileServices& inner_;
    std::wstring folder_;
};

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
    std::wstring UnwritableFolder() override {
        static std::atomic<int> used{0};
        const std::wstring base = test::FixturesFolder();
        if (base.empty()) return {};
        const std::wstring path = base + L"\\immutable-folder-" + platform::Decimal(++used);
        return ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES ? std::wstring() : path;
    }

private:
    std::wstring root_;
    platform::win32::Win32FileServices real_;
    FolderAsProgramFolder files_;
    platform::win32::Win32Profile profile_;
    platform::win32::Win32Ansi ansi_;
};

}  // namespace

std::unique_ptr<ProfileTree> MakeProfileTree() { return std::make_unique<Win32ProfileTree>(); }

}  // namespace tesvar::contract
