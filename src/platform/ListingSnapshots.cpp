#include "platform/ListingSnapshots.h"

#include "platform/Text.h"

namespace tesvar::platform {

std::vector<std::wstring> ListingSnapshots::Read(const std::wstring& folder, std::int32_t mask) {
    ++reads_;
    return read_(folder, mask);
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
            folder == top.folder + top.names[top.pos - 1] + L'\\') {
            Frame child;
            child.folder = folder;
            child.mask = mask;
            // A child that cannot be listed still takes its place, as an ended listing,
            // so that the parent's restart is served from its snapshot.
            frames_.push_back(std::move(child));
            frames_.back().names = Read(folder, mask);
            return First(frames_.back());
        }
    }

    frames_.clear();
    Frame frame;
    frame.folder = std::move(folder);
    frame.mask = mask;
    frame.names = Read(frame.folder, mask);
    frames_.push_back(std::move(frame));
    return First(frames_.back());
}

std::optional<std::wstring> ListingSnapshots::Next() {
    if (frames_.empty() || !frames_.back().active) return std::nullopt;
    Frame& top = frames_.back();
    if (top.pos >= top.names.size()) {
        top.active = false;
        return std::wstring();
    }
    return top.names[top.pos++];
}

}  // namespace tesvar::platform
