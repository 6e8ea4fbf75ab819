#pragma once
// Real folders and files for the Windows-side tests.
#include <cstdint>
#include <string>
#include <utility>

#include "platform/FileServices.h"
#include "support/ForwardingFiles.h"

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

// A network share \\server\share under Wine, served from a real folder of the prefix
// (dosdevices\unc\server\share, no Samba needed), empty at first and removed at the end.
// Unc() is "" where there is no Wine prefix to put it in.
class TestShare {
public:
    TestShare(const std::wstring& server, const std::wstring& share);
    ~TestShare();
    TestShare(const TestShare&) = delete;
    TestShare& operator=(const TestShare&) = delete;
    const std::wstring& Unc() const { return unc_; }

private:
    std::wstring folder_;  // the share's folder as a local path
    std::wstring unc_;
};

// Real file services with the program folder moved to a test's own folder, so the
// profile and the log of each test are its own.
class ProgramFolderIn final : public ForwardingFiles {
public:
    ProgramFolderIn(platform::FileServices& real, std::wstring folder) : ForwardingFiles(real), folder_(std::move(folder)) {}
    std::wstring ProgramFolder() override { return folder_; }

private:
    std::wstring folder_;
};

}  // namespace tesvar::test
