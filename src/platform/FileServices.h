#pragma once
// The file services the logic calls. Every operation that fails throws
// platform::Error with the platform's number and message text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesvar::platform {

// Attribute bits the logic names; every other bit is carried through untouched.
namespace attr {
inline constexpr std::int32_t ReadOnly = 1;
inline constexpr std::int32_t Hidden = 2;
inline constexpr std::int32_t System = 4;
inline constexpr std::int32_t Directory = 16;
inline constexpr std::int32_t Archive = 32;
inline constexpr std::int32_t Normal = 128;
inline constexpr std::int32_t Temporary = 256;
inline constexpr std::int32_t ReparsePoint = 1024;
inline constexpr std::int32_t Compressed = 2048;
inline constexpr std::int32_t Offline = 4096;
inline constexpr std::int32_t NotContentIndexed = 8192;
}  // namespace attr

// Reparse tags. A name surrogate (junction, symbolic link, mount point) names another
// place, which may lie inside the tree being walked; every other tag (cloud
// placeholders, deduplicated data, virtualised trees, container layers) is an ordinary
// folder to the user.
namespace reparse {
inline constexpr std::uint32_t MountPoint = 0xA0000003;
inline constexpr std::uint32_t Symlink = 0xA000000C;
inline constexpr std::uint32_t Dedup = 0x80000013;
inline constexpr std::uint32_t Wci = 0x80000018;
inline constexpr std::uint32_t Cloud = 0x9000001A;
inline constexpr std::uint32_t ProjFs = 0x9000001C;
inline constexpr bool IsNameSurrogate(std::uint32_t tag) { return (tag & 0x20000000u) != 0; }
}  // namespace reparse

// Listing mask of the folder walk: directories, hidden and read-only entries.
inline constexpr std::int32_t kWalkMask = attr::Directory | attr::Hidden | attr::ReadOnly;

class FileServices {
public:
    virtual ~FileServices() = default;

    // The entry's attribute word as it is now; every call asks afresh, but for one
    // case: while a drop scope is open, the entry the current listing has just named
    // is answered from that listing (see ListingSnapshots).
    virtual std::int32_t GetAttr(const std::wstring& path) = 0;
    // Replaces the entry's changeable attributes by the word. The directory and
    // compressed bits of the entry stay as they are.
    virtual void SetAttr(const std::wstring& path, std::int32_t attributes) = 0;

    // Starts a listing of folder (a path ending in "\") and gives the first bare name,
    // or "" when there is none. Hidden entries and sub-folders are listed when the mask
    // asks for them; entries with the system bit only when the mask has it. "." and
    // "..", where the folder has them, come first. Starting a listing abandons the one
    // in progress. Throws when the folder cannot be listed.
    virtual std::wstring Dir(const std::wstring& folder, std::int32_t mask) = 0;
    // The next name of the listing most recently started, or "" at its end. Asking
    // again after "" is a caller's error and throws.
    virtual std::wstring Dir() = 0;
    // Restarts the listing of folder (as Dir(folder, mask) does) and moves on to the
    // entry named name: the same name first, then one differing only in letter case.
    // Gives that entry's name, after which Dir() gives the entry that follows it, or ""
    // when there is none (the listing has then ended). Throws as Dir(folder, mask).
    virtual std::wstring DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) = 0;
    // The reparse tag of an entry that carries the reparse-point bit, as the listing
    // that named it last gave it (in a drop scope), else read from the file system; 0
    // when the entry has none. Throws when it cannot be read.
    virtual std::uint32_t ReparseTag(const std::wstring& path) = 0;
    // Whether the folder whose listing Dir(folder, mask) started last holds a file named
    // desktop.ini (any case), listed by the mask or not: with the read-only or system
    // bit, that is Explorer's mark of a customized folder. Answered from that listing;
    // false when it could not be read.
    virtual bool ListedFolderHoldsDesktopIni() = 0;

    // Opened and closed by a drop (DropScope): while open, the entry a listing has just
    // named is answered from the listing; closing forgets every listing read so far.
    virtual void OpenDropScope() = 0;
    virtual void CloseDropScope() noexcept = 0;
    // A hint within a drop scope: the drop is about to ask about these dropped paths,
    // one after the other. The file services may look them up ahead (the real ones do,
    // on other threads, for a drop of many); GetAttr still gives what it would have.
    // The paths stay where they are until the drop scope closes.
    virtual void Prefetch(const std::vector<std::wstring>& paths) { static_cast<void>(paths); }
    // The drop has come to its dropped path number index (0-based), whether or not it
    // asks about it: what is looked up ahead stays near the drop.
    virtual void PrefetchReached(std::size_t index) { static_cast<void>(index); }

    // Folder of the program's executable, without a trailing "\" except at a drive root.
    virtual std::wstring ProgramFolder() = 0;
    // The platform's message text for an error number, without a trailing line break.
    virtual std::wstring ErrorText(std::int32_t number) = 0;
};

// A drop's listing cache, open for as long as the drop runs, however it ends.
class DropScope {
public:
    explicit DropScope(FileServices& files) : files_(files) { files_.OpenDropScope(); }
    ~DropScope() { files_.CloseDropScope(); }
    DropScope(const DropScope&) = delete;
    DropScope& operator=(const DropScope&) = delete;

private:
    FileServices& files_;
};

// Sequential text output through file numbers, as the run log uses it. Writes go
// through one buffer per file: a write per line would cost a call into the file system
// for every entry of a run. What is held goes out to the file when there is much of it,
// when a frame (a tenth of a second) has passed since it last went out, and at Flush
// and Close; a program killed meanwhile loses at most a frame of lines.
class TextOutput {
public:
    virtual ~TextOutput() = default;
    // The lowest file number that no open file holds (1 and up).
    virtual std::int16_t FreeFile() = 0;
    // Creates the file, or empties it, and attaches it to the number.
    virtual void OpenForOutput(std::int16_t number, const std::wstring& path) = 0;
    // Appends bytes to the file's buffer, writing out what is held when it is due.
    // Throws when the number is not open, or when writing out fails: the failure is the
    // caller's at once, and what was held stays held for the next try.
    virtual void Write(std::int16_t number, std::string_view bytes) = 0;
    // Writes out what the file holds now; throws as Write.
    virtual void Flush(std::int16_t number) = 0;
    // Writes out what every open file holds, for a program that may be ended at any
    // moment. Never throws: a failure waits for the file's next Write, Flush or Close.
    virtual void FlushAll() noexcept = 0;
    // The same for what has been held a frame or more: a run's yield calls it, so that
    // a line written before an entry whose change blocks (an unreachable share) is not
    // held in memory all that time. Never throws, as FlushAll.
    virtual void FlushDue() noexcept = 0;
    // Writes out the buffer and closes the file; throws when either fails. The number
    // is free again in any case.
    virtual void Close(std::int16_t number) = 0;
};

// The system's ANSI code page (932 on the Japanese systems the program addresses).
class AnsiCodePage {
public:
    virtual ~AnsiCodePage() = default;
    // Characters the code page cannot hold become the platform's replacement ("?").
    virtual std::string ToAnsi(std::wstring_view text) = 0;
    virtual std::wstring FromAnsi(std::string_view bytes) = 0;
};

}  // namespace tesvar::platform
