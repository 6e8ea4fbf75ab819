#pragma once
// Folder listings served from snapshots, so that a walk which restarts its parent's
// listing after every nested one costs one directory read per folder, not one per
// restart.
//
// The listings form a stack that follows the walk down the tree:
//  - starting a folder that is already in the stack below the top (a parent restarted
//    after the walk of one of its subfolders) truncates the stack above it and serves
//    the folder again from its snapshot, from the first name;
//  - starting a direct child of the top folder, named by the name the top listing gave
//    last, reads the child and pushes it;
//  - anything else forgets every snapshot and reads the folder afresh.
// So a listing that begins a new walk (a new drop) never sees an old snapshot.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tesvar::platform {

class ListingSnapshots {
public:
    // Reads the bare names of a folder (given with a trailing "\") in listing order;
    // throws when the folder cannot be listed.
    using ReadFolder = std::function<std::vector<std::wstring>(const std::wstring& folder, std::int32_t mask)>;

    explicit ListingSnapshots(ReadFolder read) : read_(std::move(read)) {}

    // Starts a listing and gives its first name, or "" when it has none. Abandons the
    // listing in progress. Throws what the reader throws; no listing is then in progress.
    std::wstring Start(const std::wstring& folder, std::int32_t mask);
    // The next name, "" at the end; nullopt when no listing is in progress (it ended,
    // failed to start, or none was ever started).
    std::optional<std::wstring> Next();

    // Off: every start reads its folder afresh (a folder changed during its walk is
    // then seen at the restart).
    void SetServeRestarts(bool serve);
    std::size_t Depth() const { return frames_.size(); }
    // Directory reads made so far (successful or not).
    std::size_t Reads() const { return reads_; }

private:
    struct Frame {
        std::wstring folder;  // with a trailing "\"
        std::int32_t mask = 0;
        std::vector<std::wstring> names;
        std::size_t pos = 0;
        bool active = false;  // false once it gave "" or when its read failed
    };

    std::vector<std::wstring> Read(const std::wstring& folder, std::int32_t mask);
    std::wstring First(Frame& frame);

    ReadFolder read_;
    std::vector<Frame> frames_;
    bool serveRestarts_ = true;
    std::size_t reads_ = 0;
};

}  // namespace tesvar::platform
