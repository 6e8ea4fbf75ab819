#pragma once
// File services that pass every call on to others: a test or a benchmark overrides
// what it watches or changes.
#include "platform/FileServices.h"

namespace tesvar::test {

class ForwardingFiles : public platform::FileServices {
public:
    explicit ForwardingFiles(platform::FileServices& inner) : inner_(inner) {}
    std::int32_t GetAttr(const std::wstring& path) override { return inner_.GetAttr(path); }
    void SetAttr(const std::wstring& path, std::int32_t attributes) override { inner_.SetAttr(path, attributes); }
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override { return inner_.Dir(folder, mask); }
    std::wstring Dir() override { return inner_.Dir(); }
    std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) override {
        return inner_.DirFind(folder, mask, name);
    }
    std::uint32_t ReparseTag(const std::wstring& path) override { return inner_.ReparseTag(path); }
    bool ListedFolderHoldsDesktopIni() override { return inner_.ListedFolderHoldsDesktopIni(); }
    void OpenDropScope() override { inner_.OpenDropScope(); }
    void CloseDropScope() noexcept override { inner_.CloseDropScope(); }
    void Prefetch(const std::vector<std::wstring>& paths) override { inner_.Prefetch(paths); }
    void PrefetchReached(std::size_t index) override { inner_.PrefetchReached(index); }
    std::wstring ProgramFolder() override { return inner_.ProgramFolder(); }
    std::wstring ErrorText(std::int32_t number) override { return inner_.ErrorText(number); }

protected:
    platform::FileServices& inner_;
};

}  // namespace tesvar::test
