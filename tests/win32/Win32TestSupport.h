#pragma once
// Real folders and files for the Windows-side tests.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/FileServices.h"

namespace tesvar::test {

// A new empty folder under the temporary folder, without a trailing "\".
std::wstring MakeTempFolder(const std::wstring& tag);
// Removes a folder and everything below it, clearing read-only bits first.
void RemoveTree(const std::wstring& path);
void MakeFolder(const std::wstring& path, std::int32_t attributes = 16);
void MakeFile(const std::wstring& path, std::int32_t attributes = 32, const std::string& content = {});
std::string ReadBytes(const std::wstring& path);
// Fixtures the wrapper script prepared on the Unix side (TESVAR_FIXTURES): a fresh
// chmod-0555 folder holding inner.txt at each call, or "" when none is left.
std::wstring NextReadOnlyFolder();
// A read-only file whose change is refused (chattr +i), or "" when none could be made.
std::wstring NextRefusingFile();
// A folder made immutable on the Unix side (chattr +i), in which not even root can
// create a file, or "" when none is left.
std::wstring NextUnwritableFolder();
// The fixtures folder as a Windows path, or "" when the wrapper did not set one.
std::wstring FixturesFolder();

// Real file services with the program folder moved to a test's own folder, so the
// profile and the log of each test are its own.
class ProgramFolderIn final : public platform::FileServices {
public:
    ProgramFolderIn(platform::FileServices& real, std::wstring folder) : real_(real), folder_(std::move(folder)) {}
    std::int32_t GetAttr(const std::wstring& path) override { return real_.GetAttr(path); }
    void SetAttr(const std::wstring& path, std::int32_t attributes) override { real_.SetAttr(path, attributes); }
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override { return real_.Dir(folder, mask); }
    std::wstring Dir() override { return real_.Dir(); }
    std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) override {
        return real_.DirFind(folder, mask, name);
    }
    std::uint32_t ReparseTag(const std::wstring& path) override { return real_.ReparseTag(path); }
    void OpenDropScope() override { real_.OpenDropScope(); }
    void CloseDropScope() noexcept override { real_.CloseDropScope(); }
    std::wstring ProgramFolder() override { return folder_; }
    std::wstring ErrorText(std::int32_t number) override { return real_.ErrorText(number); }

private:
    platform::FileServices& real_;
    std::wstring folder_;
};

}  // namespace tesvar::test
