#include "contract/ContractTree.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"

namespace tesvar::contract {
namespace {

class SimContractTree : public ContractTree {
public:
    SimContractTree() {
        fs_.AddFolder(Root());
        fs_.AddFolder(fs_.ProgramFolder());
    }
    platform::FileServices& Files() override { return fs_; }
    platform::TextOutput& Out() override { return fs_; }
    platform::AnsiCodePage& Ansi() override { return ansi_; }
    std::wstring Root() override { return L"C:\\contract"; }
    void AddFolder(const std::wstring& rel, std::int32_t attributes) override { fs_.AddFolder(Path(rel), attributes); }
    void AddFile(const std::wstring& rel, std::int32_t attributes) override { fs_.AddFile(Path(rel), attributes); }
    std::wstring ReadOnlyFolder() override {
        fs_.AddFolder(Path(L"ro"), platform::attr::Directory | platform::attr::ReadOnly);
        fs_.AddFile(Path(L"ro\\inner.txt"));
        return Path(L"ro");
    }
    std::wstring RefusingFile() override {
        fs_.AddFile(Path(L"refuse.txt"), platform::attr::Archive | platform::attr::ReadOnly);
        fs_.FailSetAttr(Path(L"refuse.txt"), platform::win_error::AccessDenied);
        return Path(L"refuse.txt");
    }

    std::string Content(const std::wstring& path) override { return fs_.Content(path); }

private:
    sim::SimFileSystem fs_;
    sim::SimAnsi ansi_;
};

}  // namespace

std::unique_ptr<ContractTree> MakeContractTree() { return std::make_unique<SimContractTree>(); }

}  // namespace tesvar::contract
