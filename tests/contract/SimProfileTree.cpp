#include "contract/ProfileTree.h"
#include "sim/SimAnsi.h"
#include "sim/SimFileSystem.h"
#include "sim/SimProfile.h"

namespace tesvar::contract {
namespace {

class SimProfileTree : public ProfileTree {
public:
    SimProfileTree() {
        fs_.AddFolder(Root());
        fs_.SetProgramFolder(Root());
    }
    platform::ProfileServices& Profile() override { return profile_; }
    platform::AnsiCodePage& Ansi() override { return ansi_; }
    platform::FileServices& Files() override { return fs_; }
    std::wstring Root() override { return L"C:\\profile"; }
    void WriteFile(const std::wstring& path, const std::string& bytes) override {
        fs_.AddFile(path, platform::attr::Archive, bytes);
    }
    std::optional<std::string> ReadFile(const std::wstring& path) override {
        std::string bytes;
        if (!fs_.ReadContent(path, bytes)) return std::nullopt;
        return bytes;
    }
    std::wstring UnwritableFolder() override {
        fs_.AddFolder(Path(L"locked"));
        fs_.SetWritable(Path(L"locked"), false);
        return Path(L"locked");
    }

private:
    sim::SimFileSystem fs_;
    sim::SimAnsi ansi_;
    sim::SimProfile profile_{fs_};
};

}  // namespace

std::unique_ptr<ProfileTree> MakeProfileTree() { return std::make_unique<SimProfileTree>(); }

}  // namespace tesvar::contract
