#pragma once
// An in-memory file tree that behaves like the Windows file services, with builder
// helpers for tests and fault injection. Paths are compared without regard to case.
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/Error.h"
#include "platform/FileServices.h"
#include "platform/ListingSnapshots.h"

namespace tesvar::sim {

// The simulated platform implements the platform's interfaces and speaks in its terms.
using namespace tesvar::platform;

enum class Op { GetAttr, SetAttr, DirStart, DirNext, Open, Write, Flush, Close };

// Listing order of every folder: as entries were added, by name the way Wine lists
// (case-insensitive), or the reverse of insertion (a file system with another order).
enum class ListingOrder { Insertion, NameNoCase, ReverseInsertion };

class SimFileSystem : public FileServices, public TextOutput {
public:
    SimFileSystem();
    SimFileSystem(const SimFileSystem&) = delete;
    SimFileSystem& operator=(const SimFileSystem&) = delete;

    // --- building the tree (parents are created as plain folders) ---
    SimFileSystem& AddFolder(const std::wstring& path, std::int32_t attributes = attr::Directory);
    SimFileSystem& AddFile(const std::wstring& path, std::int32_t attributes = attr::Archive,
                           std::string content = {});
    // A link to a folder (a junction or symbolic link): it reports the directory and
    // reparse-point bits and the tag, and listing it, or anything below it, reaches the
    // target.
    SimFileSystem& AddLink(const std::wstring& path, const std::wstring& target,
                           std::int32_t attributes = attr::Directory | attr::ReparsePoint,
                           std::uint32_t tag = reparse::Symlink);
    // The entry's reparse tag (it keeps its attribute word; give it the reparse-point
    // bit for the tag to mean anything).
    void SetReparseTag(const std::wstring& path, std::uint32_t tag);
    // Whether "." and ".." come last in listings instead of first, as some file
    // systems give them.
    void SetDotEntriesLast(bool last) { dotsLast_ = last; }
    // Removes the entry and everything below it; no-op when missing.
    void Remove(const std::wstring& path);
    // Renames the last component of path (keeps its place in the parent's order).
    void Rename(const std::wstring& path, const std::wstring& newName);
    bool Exists(const std::wstring& path) const;
    // The stored attribute word, without faults or counting (for assertions).
    std::int32_t AttributesOf(const std::wstring& path) const;
    void SetAttributesDirect(const std::wstring& path, std::int32_t attributes);
    std::string Content(const std::wstring& path) const;
    // Raw content access for other simulated services (profile files): no faults.
    bool ReadContent(const std::wstring& path, std::string& out) const;
    bool WriteContent(const std::wstring& path, const std::string& bytes);

    void SetProgramFolder(std::wstring folder) { programFolder_ = std::move(folder); }
    // Relative paths (no drive and no "\\" prefix) are taken from here.
    void SetCurrentFolder(std::wstring folder) { currentFolder_ = std::move(folder); }
    void SetListingOrder(ListingOrder order) { order_ = order; }
    // Whether a folder's listing begins with "." and ".." (drive roots have none).
    void SetDotEntries(const std::wstring& folder, bool present);
    // A folder in which no file can be created or written.
    void SetWritable(const std::wstring& folder, bool writable);
    // Names that differ only in letter case are different entries (as in a
    // case-sensitive folder). Set it before adding anything.
    void SetCaseSensitive(bool sensitive) { caseSensitive_ = sensitive; }
    // Whether a restarted listing of a folder that is being walked is served from the
    // snapshot taken when its listing began, as the Win32 services do (the default).
    // Off: every listing start reads the tree as it is now.
    void SetSnapshotRestarts(bool serve) { listings_.SetServeRestarts(serve); }
    // Folder reads made by listings (restarts served from a snapshot make none).
    std::size_t FolderReads() const { return listings_.Reads(); }
    // Entries the listings hold in snapshots now (none once a drop has ended).
    std::size_t SnapshotEntries() const { return listings_.HeldEntries(); }
    // Some platforms refuse an attribute query of a folder path ending in "\".
    void SetRefuseTrailingBackslash(bool refuse) { refuseTrailingBackslash_ = refuse; }

    // --- fault injection ---
    void FailGetAttr(const std::wstring& path, std::int32_t error);
    void FailSetAttr(const std::wstring& path, std::int32_t error);
    // SetAttr fails when the word carries any of these bits.
    void RejectSetAttrBits(std::int32_t bits, std::int32_t error = win_error::InvalidParameter);
    void FailListing(const std::wstring& folder, std::int32_t error);
    void FailOpen(const std::wstring& path, std::int32_t error);
    // Writes after the first `lines` successful ones fail (as a write-out that failed is
    // reported by the next write).
    void FailWritesAfter(int lines, std::int32_t error = win_error::DiskFull);
    void FailClose(std::int32_t error);
    // Writing out what a file holds fails at Flush (as a disk that has filled up would).
    void FailFlushes(std::int32_t error) { flushError_ = error; }
    void ClearFaults();
    // Called before every operation with its path (folder for listings, "" for
    // Dir() and writes), so a test can change the tree at a chosen moment.
    std::function<void(Op, const std::wstring&)> beforeCall;

    // --- what happened ---
    struct SetAttrCall {
        std::wstring path;
        std::int32_t word;
    };
    std::vector<SetAttrCall> setAttrCalls;
    // Calls that reached the file tree (an attribute answered from a listing is none).
    int Calls(Op op) const;
    // Requests for a next name after a listing had already ended.
    int endedListingRequests = 0;

    // --- FileServices ---
    std::int32_t GetAttr(const std::wstring& path) override;
    void SetAttr(const std::wstring& path, std::int32_t attributes) override;
    std::wstring Dir(const std::wstring& folder, std::int32_t mask) override;
    std::wstring Dir() override;
    std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) override;
    std::uint32_t ReparseTag(const std::wstring& path) override;
    bool ListedFolderHoldsDesktopIni() override { return listings_.HoldsDesktopIni(); }
    void OpenDropScope() override { listings_.OpenDropScope(); }
    void CloseDropScope() noexcept override { listings_.CloseDropScope(); }
    std::wstring ProgramFolder() override { return programFolder_; }
    std::wstring ErrorText(std::int32_t number) override;

    // --- TextOutput ---
    std::int16_t FreeFile() override;
    void OpenForOutput(std::int16_t number, const std::wstring& path) override;
    void Write(std::int16_t number, std::string_view bytes) override;
    void Flush(std::int16_t number) override;
    void FlushAll() noexcept override;
    // The simulation keeps no time: whatever is held is due.
    void FlushDue() noexcept override { FlushAll(); }
    void Close(std::int16_t number) override;

private:
    struct Node {
        std::wstring name;  // as given, for listings
        std::int32_t attributes = 0;
        std::string content;
        std::vector<std::wstring> children;  // keys, in insertion order
        bool dots = true;
        bool writable = true;
        std::wstring link;  // key of the target folder, for a link
        std::uint32_t reparseTag = 0;
    };

    std::wstring Resolve(const std::wstring& path) const;
    std::wstring Key(const std::wstring& resolved) const;
    static std::wstring ParentKey(const std::wstring& key);
    // The key with links in its folder part followed (and in its last component too
    // when followLast), as the file system reaches the entry.
    std::wstring Through(const std::wstring& key, bool followLast) const;
    Node* Find(const std::wstring& path);
    const Node* Find(const std::wstring& path) const;
    FolderListing ReadFolder(const std::wstring& folder, std::int32_t mask);
    Node& Ensure(const std::wstring& path, std::int32_t attributes, bool isFolder);
    [[noreturn]] void Throw(std::int32_t error) const;
    static std::wstring MessageText(std::int32_t number);
    void Before(Op op, const std::wstring& path);
    std::int32_t MissingError(const std::wstring& path) const;

    std::unordered_map<std::wstring, Node> nodes_;
    std::wstring programFolder_ = L"C:\\Program Files\\Tesvar";
    std::wstring currentFolder_ = L"C:\\";
    ListingOrder order_ = ListingOrder::Insertion;
    bool refuseTrailingBackslash_ = false;
    bool caseSensitive_ = false;
    bool anyLinks_ = false;
    bool dotsLast_ = false;

    std::unordered_map<std::wstring, std::int32_t> failGetAttr_, failSetAttr_, failListing_, failOpen_;
    std::int32_t rejectBits_ = 0;
    std::int32_t rejectError_ = 0;
    std::optional<int> writesLeft_;
    std::int32_t writeError_ = 0;
    std::int32_t closeError_ = 0;
    std::int32_t flushError_ = 0;

    ListingSnapshots listings_{[this](const std::wstring& folder, std::int32_t mask) { return ReadFolder(folder, mask); }};

    struct OpenFile {
        std::wstring key;    // the node written to
        std::string buffer;  // written but not yet out in the file
    };
    std::map<std::int16_t, OpenFile> open_;
    std::map<Op, int> calls_;
};

}  // namespace tesvar::sim
