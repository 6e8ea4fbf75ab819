#include "platform/ListingSnapshots.h"

#include "platform/Text.h"

namespace tesvar::platform {

bool IsDesktopIni(std::wstring_view name) { return EqualsNoCase(name, L"desktop.ini"); }

void ListingSnapshots::Read(Frame& frame) {
    ++reads_;
    FolderListing listing = read_(frame.folder, frame.mask);
    frame.entries = std::move(listing.entries);
    frame.desktopIni = listing.holdsDesktopIni;
}

std::wstring ListingSnapshots::First(Frame& frame) {
    frame.pos = 0;
    frame.active = true;
    return *Next();
}

void ListingSnapshots::SetServeRestarts(bool serve) {
    serveRestarts_ = serve;
    frames_.clear();
}

std::wstring ListingSnapshots::Start(const std::wstring& folderIn, std::int32_t mask) {
    std::wstring folder = folderIn;
    if (!EndsWithBackslash(folder)) folder += L'\\';

    if (serveRestarts_ && !frames_.empty()) {
        // A parent restarted after a nested listing: serve it from its snapshot.
        for (std::size_t i = 0; i + 1 < frames_.size(); ++i) {
            if (frames_[i].folder == folder && frames_[i].mask == mask) {
                frames_.resize(i + 1);
                return First(frames_.back());
            }
        }
        // The subfolder the top listing has just named: read it and keep the parent.
        Frame& top = frames_.back();
        if (top.active && top.pos > 0 && top.mask == mask &&
            folder == top.folder + top.entries[top.pos - 1].name + L'\\') {
            top.walkedInto = top.pos - 1;
            Frame child;
            child.folder = folder;
            child.mask = mask;
            // A child that cannot be listed still takes its place, as an ended listing,
            // so that the parent's restart is served from its snapshot.
            frames_.push_back(std::move(child));
            Read(frames_.back());
            return First(frames_.back());
        }
    }

    frames_.clear();
    Frame frame;
    frame.folder = std::move(folder);
    frame.mask = mask;
    Read(frame);
    frames_.push_back(std::move(frame));
    return First(frames_.back());
}

std::optional<std::wstring> ListingSnapshots::Next() {
    if (frames_.empty() || !frames_.back().active) return std::nullopt;
    Frame& top = frames_.back();
    if (top.pos >= top.entries.size()) {
        top.active = false;
        return std::wstring();
    }
    return top.entries[top.pos++].name;
}

std::wstring ListingSnapshots::Find(const std::wstring& folder, std::int32_t mask, const std::wstring& name) {
    Start(folder, mask);
    Frame& top = frames_.back();
    const auto found = [&](std::size_t i) {
        top.pos = i + 1;
        return top.entries[i].name;
    };
    // Served from the snapshot: the entry walked into is where it was.
    if (top.walkedInto < top.entries.size() && top.entries[top.walkedInto].name == name) return found(top.walkedInto);
    // Read afresh: the same name first, so that names differing only in case are told
    // apart; then without regard to case (its case changed meanwhile).
    for (std::size_t i = 0; i < top.entries.size(); ++i) {
        if (top.entries[i].name == name) return found(i);
    }
    for (std::size_t i = 0; i < top.entries.size(); ++i) {
        if (EqualsNoCase(top.entries[i].name, name)) return found(i);
    }
    top.pos = top.entries.size();
    top.active = false;
    return {};
}

const ListedEntry* ListingSnapshots::Named(std::wstring_view path) const {
    if (!dropScope_ || frames_.empty()) return nullptr;
    const Frame& top = frames_.back();
    if (!top.active || top.pos == 0) return nullptr;
    const ListedEntry& entry = top.entries[top.pos - 1];
    // path is exactly the listed folder followed by the name.
    if (path.size() != top.folder.size() + entry.name.size() || !path.starts_with(top.folder) ||
        !path.ends_with(entry.name))
        return nullptr;
    return &entry;
}

std::optional<std::int32_t> ListingSnapshots::Cached(std::wstring_view path) const {
    if (const ListedEntry* entry = Named(path)) return entry->attributes;
    if (dropScope_ && !answeredPath_.empty() && path == answeredPath_) return answeredWord_;
    return std::nullopt;
}

void ListingSnapshots::Answered(const std::wstring& path, std::int32_t attributes) {
    if (!dropScope_) return;
    answeredPath_ = path;
    answeredWord_ = attributes;
}

std::optional<std::uint32_t> ListingSnapshots::CachedReparseTag(std::wstring_view path) const {
    if (const ListedEntry* entry = Named(path)) return entry->reparseTag;
    return std::nullopt;
}

void ListingSnapshots::OpenDropScope() {
    dropScope_ = true;
    frames_.clear();
    answeredPath_.clear();
}

void ListingSnapshots::CloseDropScope() noexcept {
    dropScope_ = false;
    answeredPath_.clear();
    std::vector<Frame>().swap(frames_);  // the memory goes too
}

std::size_t ListingSnapshots::HeldEntries() const {
    std::size_t n = 0;
    for (const auto& frame : frames_) n += frame.entries.size();
    return n;
}

}  // namespace tesvar::platform
