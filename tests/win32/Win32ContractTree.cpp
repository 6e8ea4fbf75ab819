// The contract suites' tree on Windows: a real temporary folder, plus the fixtures
// that only the Unix side can make under Wine (see run-with-fixtures.sh).
#include <windows.h>

#include <atomic>
#include <cstdlib>

#include "contract/ContractTree.h"
#include "platform/win32/Win32FileServices.h"
#include "win32/Win32TestSupport.h"

namespace tesvar::contract {
namespace {

class Win32ContractTree : public ContractTree {
public:
    Win32ContractTree() : root_(test::MakeTempFolder(L"contract")) {}
    ~Win32ContractTree() override { test::RemoveTree(root_); }
    platform::FileServices& Files() override { return files_; }
    platform::TextOutput& Out() override { return files_; }
    platform::AnsiCodePage& Ansi() override { return ansi_; }
    std::wstring Root() override { return root_; }
    void AddFolder(const std::wstring& rel, std::int32_t attributes) override {
        test::MakeFolder(Path(rel), attributes);
    }
    void AddFile(const std::wstring& rel, std::int32_t attributes) override { test::MakeFile(Path(rel), attributes); }
    std::wstring ReadOnlyFolder() override { return test::NextReadOnlyFolder(); }
    std::wstring RefusingFile() override { return test::NextRefusingFile(); }
    std::string Content(const std::wstring& path) override { return test::ReadBytes(path); }

private:
    std::wstring root_;
    platform::win32::Win32FileServices files_;
    platform::win32::Win32Ansi ansi_;
};

}  // namespace

std::unique_ptr<ContractTree> MakeContractTree() { return std::make_unique<Win32ContractTree>(); }

}  // namespace tesvar::contract
