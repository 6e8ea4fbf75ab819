#pragma once
// A real or simulated folder tree for the contract suites: the same test source runs
// natively against the simulated platform and under Wine against the real services.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/FileServices.h"

namespace tesvar::contract {

class ContractTree {
public:
    virtual ~ContractTree() = default;
    virtual platform::FileServices& Files() = 0;
    virtual platform::TextOutput& Out() = 0;
    virtual platform::AnsiCodePage& Ansi() = 0;
    // An empty folder for this test, without a trailing "\".
    virtual std::wstring Root() = 0;
    // rel is relative to Root(); the attribute word is applied after creation.
    virtual void AddFolder(const std::wstring& rel, std::int32_t attributes = platform::attr::Directory) = 0;
    virtual void AddFile(const std::wstring& rel, std::int32_t attributes = platform::attr::Archive) = 0;
    // A read-only folder holding one file "inner.txt"; returns its full path, or "" when
    // this platform cannot make one here.
    virtual std::wstring ReadOnlyFolder() = 0;
    // A read-only file whose attribute change the file system refuses; "" when none can
    // be made here.
    virtual std::wstring RefusingFile() = 0;
    // The bytes of a file, read past the services under test.
    virtual std::string Content(const std::wstring& path) = 0;
    std::wstring Path(const std::wstring& rel) { return Root() + L"\\" + rel; }
};

// Defined once per build: the simulated tree natively, a real temporary folder on Windows.
std::unique_ptr<ContractTree> MakeContractTree();

}  // namespace tesvar::contract
