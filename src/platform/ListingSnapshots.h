#pragma once
// Folder listings served from snapshots, the one place where the file services keep
// what a listing has read:
//
// Restarts. A walk restarts its parent's listing after every nested one. A folder is
// read once per walk, not once per restart:
//  - starting a folder that is already in the stack below the top (a parent restarted
//    after the walk of one of its subfolders) truncates the stack above it and serves
//    the folder again from its snapshot, from the first name;
//  - starting a direct child of the top folder, named by the name the top listing gave
//    last, reads the child and pushes it;
//  - anything else forgets every snapshot and reads the folder afresh.
// Finding the place again after a restart (Find) jumps straight to the entry that was
// walked into, so a folder of n subfolders costs n steps, not n squared.
//
// Attributes within one drop. A folder read gets each entry's attribute word with its
// name. While a drop scope is open, the attribute word of the entry the top listing
// named last is answered from the listing (Cached): the walk, the path splitter and the
// read-only rule all ask for that entry before the walk asks for the next name; and the
// path a query of the file system answered last is answered again when it is asked
// about next (a dropped path is asked about by the splitter and the read-only rule). A drop
// changes nothing and takes no input while it runs (it lets only paints and the
// system's calls through), so that word is the file system's answer of the moment the
// folder was read; for a parent served again after a long nested walk that moment lies
// further back, as it would for any listing of a folder that changes while it is read.
// (On NTFS a listing's copy of the attributes can lag for a file with several
// hard links; the release run reads every word afresh before it changes anything, so
// the worst case is one entry listed or left out, never a wrong bit written.) Outside a
// drop scope nothing is answered from a listing, and closing the scope forgets every
// snapshot, however the drop ended, so the next drop reads afresh.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tesvar::platform {

struct ListedEntry {
    std::wstring name;             // bare name
    std::int32_t attributes;       // the entry's attribute word, as the folder read gave it
    std::uint32_t reparseTag = 0;  // with the reparse-point bit: its tag (0 when unknown)
};

// What one read of a folder gave: the entries the mask lets through, and whether the
// folder holds a file named desktop.ini (any case), whatever the mask left out.
struct FolderListing {
    FolderListing(std::vector<ListedEntry> listed = {}, bool desktopIni = false)
        : entries(std::move(listed)), holdsDesktopIni(desktopIni) {}
    std::vector<ListedEntry> entries;
    bool holdsDesktopIni;
};

// Whether a listed name is desktop.ini, the file Explorer reads in a folder it marks.
bool IsDesktopIni(std::wstring_view name);

class ListingSnapshots {
public:
    // Reads the entries of a folder (given with a trailing "\") in listing order;
    // throws when the folder cannot be listed.
    using ReadFolder = std::function<FolderListing(const std::wstring& folder, std::int32_t mask)>;

    explicit ListingSnapshots(ReadFolder read) : read_(std::move(read)) {}

    // Starts a listing and gives its first name, or "" when it has none. Abandons the
    // listing in progress. Throws what the reader throws; no listing is then in progress.
    std::wstring Start(const std::wstring& folder, std::int32_t mask);
    // The next name, "" at the end; nullopt when no listing is in progress (it ended,
    // failed to start, or none was ever started).
    std::optional<std::wstring> Next();
    // Restarts the listing (as Start) and moves on to the entry named name: the same
    // name first, then one that differs only in letter case. Gives that entry's name,
    // after which Next gives the entry that follows it, or "" when there is no such
    // entry (the listing has then ended).
    std::wstring Find(const std::wstring& folder, std::int32_t mask, const std::wstring& name);

    // The attribute word of path when a drop scope is open and path is the entry the
    // current listing named last, or the path whose query was answered last; nullopt
    // otherwise (ask the file system).
    std::optional<std::int32_t> Cached(std::wstring_view path) const;
    // A query of the file system answered: while the drop scope is open, the next
    // question about the same path gets the same answer (the splitter and the read-only
    // rule ask one after the other about a dropped path).
    void Answered(const std::wstring& path, std::int32_t attributes);
    // The reparse tag the current listing gave for path, when a drop scope is open and
    // path is the entry it named last; nullopt otherwise.
    std::optional<std::uint32_t> CachedReparseTag(std::wstring_view path) const;
    // Whether the folder of the listing started last holds a desktop.ini; false when
    // its read failed or no listing was started.
    bool HoldsDesktopIni() const { return !frames_.empty() && frames_.back().desktopIni; }
    void OpenDropScope();
    void CloseDropScope() noexcept;

    // Off: every start reads its folder afresh (a folder changed during its walk is
    // then seen at the restart).
    void SetServeRestarts(bool serve);
    std::size_t Depth() const { return frames_.size(); }
    // Directory reads made so far (successful or not).
    std::size_t Reads() const { return reads_; }
    // Entries held in snapshots now.
    std::size_t HeldEntries() const;

private:
    struct Frame {
        std::wstring folder;  // with a trailing "\"
        std::int32_t mask = 0;
        std::vector<ListedEntry> entries;
        std::size_t pos = 0;       // entries given so far
        std::size_t walkedInto = 0;  // the entry whose folder was pushed above this one
        bool active = false;       // false once it gave "" or when its read failed
        bool desktopIni = false;   // the folder holds a desktop.ini
    };

    // Reads the folder into the frame.
    void Read(Frame& frame);
    std::wstring First(Frame& frame);
    // The entry the current listing named last, if it is path and a drop scope is open.
    const ListedEntry* Named(std::wstring_view path) const;

    ReadFolder read_;
    std::vector<Frame> frames_;
    bool serveRestarts_ = true;
    bool dropScope_ = false;
    std::size_t reads_ = 0;
    std::wstring answeredPath_;  // the last path a query answered in this drop scope
    std::int32_t answeredWord_ = 0;
};

}  // namespace tesvar::platform
