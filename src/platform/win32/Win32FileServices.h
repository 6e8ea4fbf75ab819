#pragma once
// The real file services: Win32 attributes, folder listings, the program folder,
// error texts, and text output through file numbers.
#include <map>
#include <string>
#include <vector>

#include "platform/FileServices.h"
#include "platform/ListingSnapshots.h"
#include "platform/AttributePrefetch.h"
#include "platform/win32/ScopedWin.h"

namespace tesvar::platform::win32 {

// A path as the file system gets it. An absolute path goes with the "\\?\" (or
// "\\?\UNC\") prefix, whatever its length: without it Win32 strips a trailing dot or
// space from a name and takes "nul" or "con.txt" for a device, so another entry than
// the one named would be asked or changed. A relative path, or one with "/", "." or
// ".." in it, is left for Win32 to resolve.
std::wstring Win32Path(const std::wstring& path);

class Win32FileServices : public FileServices, public TextOutput {
public:
    std::int32_t GetAttr(const std::wstring& path) override;
    void SetAttr(const std::wstring& path, std::int32_t attributes) override;
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override;
    std::wstring Dir() override;
    std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) override;
    std::uint32_t ReparseTag(const std::wstring& path) override;
    bool ListedFolderHoldsDesktopIni() override { return listings_.HoldsDesktopIni(); }
    void OpenDropScope() override { listings_.OpenDropScope(); }
    void CloseDropScope() noexcept override;
    void Prefetch(const std::vector<std::wstring>& paths) override;
    void PrefetchReached(std::size_t index) override {
        if (prefetch_) prefetch_->Reached(index);
    }
    std::wstring ProgramFolder() override;

    // Directory reads made by the listings so far (restarts served from a snapshot
    // make none).
    std::size_t FolderReads() const { return listings_.Reads(); }
    // GetFileAttributesW calls made so far (answers from a listing make none).
    std::size_t AttributeQueries() const { return attributeQueries_; }
    std::wstring ErrorText(std::int32_t number) override;

    std::int16_t FreeFile() override;
    void OpenForOutput(std::int16_t number, const std::wstring& path) override;
    void Write(std::int16_t number, std::string_view bytes) override;
    void Flush(std::int16_t number) override;
    void FlushAll() noexcept override;
    void FlushDue() noexcept override;
    // Test seam: the call that writes to the file (WriteFile's signature).
    using Writer = BOOL(WINAPI*)(HANDLE, LPCVOID, DWORD, LPDWORD, LPOVERLAPPED);
    void SetWriter(Writer writer) noexcept { writer_ = writer; }
    void Close(std::int16_t number) override;

private:
    // A listing is read whole when it starts and no find handle stays open; a parent
    // restarted after a nested listing is served from its snapshot.
    ListingSnapshots listings_{&ReadFolder};
    // The dropped paths' words looked up ahead, for the drop scope open now.
    std::unique_ptr<AttributePrefetch> prefetch_;
    static FolderListing ReadFolder(const std::wstring& folder, std::int32_t mask);
    struct OutputFile {
        ScopedFile file;
        std::string held;         // written, not yet out in the file
        DWORD failure = 0;        // the last write-out's failure, while it lasts
        ULONGLONG lastOut = 0;    // when what was held last went out
    };
    // Writes out what the file holds and notes when; the error when WriteFile fails
    // (what was not written stays held, and the failure is kept), else 0.
    DWORD WriteOut(OutputFile& out) const noexcept;
    Writer writer_ = &::WriteFile;
    std::map<std::int16_t, OutputFile> open_;
    std::size_t attributeQueries_ = 0;
};

class Win32Ansi : public AnsiCodePage {
public:
    std::string ToAnsi(std::wstring_view text) override;
    std::wstring FromAnsi(std::string_view bytes) override;
};

}  // namespace tesvar::platform::win32
