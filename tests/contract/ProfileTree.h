#pragma once
// A profile implementation and an empty folder for the profile contract suite: the
// simulated profile over the simulated file tree natively, kernel32 on a real
// temporary folder under Wine.
#include <memory>
#include <optional>
#include <string>

#include "platform/FileServices.h"
#include "platform/Profile.h"

namespace tesvar::contract {

class ProfileTree {
public:
    virtual ~ProfileTree() = default;
    virtual platform::ProfileServices& Profile() = 0;
    virtual platform::AnsiCodePage& Ansi() = 0;
    // File services whose program folder is Root(), for the placement procedures.
    virtual platform::FileServices& Files() = 0;
    // An empty folder for this test, without a trailing "\".
    virtual std::wstring Root() = 0;
    virtual void WriteFile(const std::wstring& path, const std::string& bytes) = 0;
    // The file's bytes, or nothing when there is no such file.
    virtual std::optional<std::string> ReadFile(const std::wstring& path) = 0;
    // An existing folder in which no file can be created, or "" when this platform
    // cannot make one here.
    virtual std::wstring UnwritableFolder() = 0;
    std::wstring Path(const std::wstring& rel) { return Root() + L"\\" + rel; }
};

// Defined once per build.
std::unique_ptr<ProfileTree> MakeProfileTree();

}  // namespace tesvar::contract
