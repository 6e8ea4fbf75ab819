#include "sim/SimFileSystem.h"

#include <algorithm>

#include "platform/Error.h"
#include "platform/Text.h"

namespace tesvar::sim {
namespace {

bool IsAbsolute(const std::wstring& path) {
    return (path.size() >= 2 && path[0] == L'\\' && path[1] == L'\\') ||
           (path.size() >= 2 && path[1] == L':');
}

// The last component of a key or path (after the last "\").
std::wstring LastComponent(const std::wstring& path) {
    const auto pos = path.find_last_of(L'\\');
    return pos == std::wstring::npos ? path : path.substr(pos + 1);
}

// A doubled "\" after the start (where "\\" names a share) is no valid path.
bool HasDoubledBackslash(const std::wstring& path) {
    const std::size_t from = path.rfind(L"\\\\", 0) == 0 ? 2 : 0;
    return path.find(L"\\\\", from) != std::wstring::npos;
}

// The longest path Windows takes, in characters, and its error for a longer one.
constexpr std::size_t kMaxPath = 32767;
constexpr std::int32_t kFilenameExcedRange = 206;

constexpr std::int32_t kSettableBits = attr::ReadOnly | attr::Hidden | attr::System | attr::Archive |
                                       attr::Temporary | attr::Offline | attr::NotContentIndexed;

}  // namespace

SimFileSystem::SimFileSystem() {
    Node root;
    root.name = L"C:";
    root.attributes = attr::Directory;
    root.dots = false;  // a drive root lists no "." and ".."
    nodes_.emplace(L"C:", std::move(root));
}

std::wstring SimFileSystem::Resolve(const std::wstring& path) const {
    if (IsAbsolute(path)) return path;
    std::wstring base = currentFolder_;
    if (!EndsWithBackslash(base)) base += L'\\';
    return base + path;
}

std::wstring SimFileSystem::Key(const std::wstring& resolved) const {
    std::wstring key = resolved;
    while (!key.empty() && key.back() == L'\\') key.pop_back();
    // "." and ".." components name the folder itself and its parent, as Win32 resolves
    // them in a path without the "\\?\" prefix.
    if (key.find(L"\\.") != std::wstring::npos) {
        const std::size_t head = key.rfind(L"\\\\", 0) == 0 ? key.find(L'\\', 2) : key.find(L'\\');
        if (head != std::wstring::npos) {
            std::wstring out = key.substr(0, head);
            std::size_t from = head + 1;
            while (from <= key.size()) {
                const std::size_t end = std::min(key.find(L'\\', from), key.size());
                const std::wstring part = key.substr(from, end - from);
                if (part == L"..") {
                    if (out.size() > head) out.resize(out.rfind(L'\\'));
                } else if (part != L".") {
                    out += L'\\' + part;
                }
                from = end + 1;
            }
            key = std::move(out);
        }
    }
    if (caseSensitive_) {
        // The drive or share part still compares without regard to case.
        const std::size_t end = key.rfind(L"\\\\", 0) == 0 ? key.find(L'\\', 2) : key.find(L'\\');
        const std::size_t head = end == std::wstring::npos ? key.size() : end;
        return FoldCase(std::wstring_view(key).substr(0, head)) + key.substr(head);
    }
    return FoldCase(key);
}

std::wstring SimFileSystem::Through(const std::wstring& key, bool followLast) const {
    if (!anyLinks_) return key;
    std::wstring current = key;
    // A bounded number of hops: links that point at each other still resolve to something.
    for (int hop = 0; hop < 64; ++hop) {
        bool followed = false;
        for (std::size_t pos = current.find(L'\\'); !followed; pos = current.find(L'\\', pos + 1)) {
            const bool last = pos == std::wstring::npos;
            if (last && !followLast) break;
            const auto it = nodes_.find(current.substr(0, last ? current.size() : pos));
            if (it != nodes_.end() && !it->second.link.empty()) {
                current = it->second.link + (last ? std::wstring() : current.substr(pos));
                followed = true;
            }
            if (last) break;
        }
        if (!followed) break;
    }
    return current;
}

std::wstring SimFileSystem::ParentKey(const std::wstring& key) {
    const auto pos = key.find_last_of(L'\\');
    // "\\server" heads a share path: it has no parent.
    if (pos == std::wstring::npos || pos == 0 || (pos == 1 && key[0] == L'\\')) return {};
    return key.substr(0, pos);
}

SimFileSystem::Node* SimFileSystem::Find(const std::wstring& path) {
    const auto it = nodes_.find(Through(Key(Resolve(path)), false));
    return it == nodes_.end() ? nullptr : &it->second;
}

const SimFileSystem::Node* SimFileSystem::Find(const std::wstring& path) const {
    const auto it = nodes_.find(Through(Key(Resolve(path)), false));
    return it == nodes_.end() ? nullptr : &it->second;
}

SimFileSystem::Node& SimFileSystem::Ensure(const std::wstring& path, std::int32_t attributes, bool isFolder) {
    const std::wstring resolved = Resolve(path);
    const std::wstring key = Key(resolved);
    if (auto it = nodes_.find(key); it != nodes_.end()) {
        it->second.attributes = attributes;
        return it->second;
    }
    const std::wstring parent = ParentKey(key);
    if (!parent.empty() && nodes_.find(parent) == nodes_.end()) {
        std::wstring trimmed = resolved;
        while (EndsWithBackslash(trimmed)) trimmed.pop_back();
        Ensure(trimmed.substr(0, trimmed.find_last_of(L'\\')), attr::Directory, true);
    }
    Node node;
    std::wstring trimmed = resolved;
    while (EndsWithBackslash(trimmed)) trimmed.pop_back();
    node.name = LastComponent(trimmed);
    node.attributes = attributes | (isFolder ? attr::Directory : 0);
    // A share or drive at the top of a path lists no dot entries.
    node.dots = !parent.empty();
    if (!parent.empty()) nodes_.at(parent).children.push_back(key);
    return nodes_.emplace(key, std::move(node)).first->second;
}

SimFileSystem& SimFileSystem::AddFolder(const std::wstring& path, std::int32_t attributes) {
    Ensure(path, attributes | attr::Directory, true);
    return *this;
}

SimFileSystem& SimFileSystem::AddLink(const std::wstring& path, const std::wstring& target, std::int32_t attributes,
                                      std::uint32_t tag) {
    Node& node = Ensure(path, attributes | attr::Directory, true);
    node.link = Key(Resolve(target));
    node.reparseTag = tag;
    anyLinks_ = true;
    return *this;
}

void SimFileSystem::SetReparseTag(const std::wstring& path, std::uint32_t tag) {
    if (Node* node = Find(path)) node->reparseTag = tag;
}

SimFileSystem& SimFileSystem::AddFile(const std::wstring& path, std::int32_t attributes, std::string content) {
    Ensure(path, attributes & ~attr::Directory, false).content = std::move(content);
    return *this;
}

void SimFileSystem::Remove(const std::wstring& path) {
    const std::wstring key = Key(Resolve(path));
    const auto it = nodes_.find(key);
    if (it == nodes_.end()) return;
    const auto children = it->second.children;
    for (const auto& child : children) Remove(child);
    nodes_.erase(key);
    const std::wstring parent = ParentKey(key);
    if (auto p = nodes_.find(parent); p != nodes_.end()) {
        auto& list = p->second.children;
        list.erase(std::remove(list.begin(), list.end(), key), list.end());
    }
}

void SimFileSystem::Rename(const std::wstring& path, const std::wstring& newName) {
    const std::wstring key = Key(Resolve(path));
    if (nodes_.find(key) == nodes_.end()) return;
    const std::wstring parent = ParentKey(key);
    const std::wstring newKey = Key(parent + L'\\' + newName);
    // Re-key the entry and everything below it.
    std::vector<std::wstring> moved;
    for (const auto& [k, node] : nodes_) {
        if (k == key || k.rfind(key + L'\\', 0) == 0) moved.push_back(k);
    }
    for (const auto& k : moved) {
        auto handle = nodes_.extract(k);
        handle.key() = newKey + k.substr(key.size());
        for (auto& child : handle.mapped().children) child = newKey + child.substr(key.size());
        nodes_.insert(std::move(handle));
    }
    nodes_.at(newKey).name = newName;
    if (auto p = nodes_.find(parent); p != nodes_.end()) {
        std::replace(p->second.children.begin(), p->second.children.end(), key, newKey);
    }
}

bool SimFileSystem::Exists(const std::wstring& path) const { return Find(path) != nullptr; }

std::int32_t SimFileSystem::AttributesOf(const std::wstring& path) const {
    const Node* node = Find(path);
    return node ? node->attributes : -1;
}

void SimFileSystem::SetAttributesDirect(const std::wstring& path, std::int32_t attributes) {
    if (Node* node = Find(path)) node->attributes = attributes;
}

std::string SimFileSystem::Content(const std::wstring& path) const {
    const Node* node = Find(path);
    return node ? node->content : std::string();
}

bool SimFileSystem::ReadContent(const std::wstring& path, std::string& out) const {
    const Node* node = Find(path);
    if (!node || (node->attributes & attr::Directory)) return false;
    out = node->content;
    return true;
}

bool SimFileSystem::WriteContent(const std::wstring& path, const std::string& bytes) {
    const std::wstring key = Key(Resolve(path));
    auto it = nodes_.find(key);
    if (it == nodes_.end()) {
        auto parent = nodes_.find(ParentKey(key));
        if (parent == nodes_.end() || !(parent->second.attributes & attr::Directory) || !parent->second.writable)
            return false;
        AddFile(path, attr::Archive, bytes);
        return true;
    }
    if ((it->second.attributes & (attr::Directory | attr::ReadOnly))) return false;
    auto parent = nodes_.find(ParentKey(key));
    if (parent != nodes_.end() && !parent->second.writable) return false;
    it->second.content = bytes;
    return true;
}

void SimFileSystem::SetDotEntries(const std::wstring& folder, bool present) {
    if (Node* node = Find(folder)) node->dots = present;
}

void SimFileSystem::SetWritable(const std::wstring& folder, bool writable) {
    if (Node* node = Find(folder)) node->writable = writable;
}

void SimFileSystem::FailGetAttr(const std::wstring& path, std::int32_t error) { failGetAttr_[Key(Resolve(path))] = error; }
void SimFileSystem::FailSetAttr(const std::wstring& path, std::int32_t error) { failSetAttr_[Key(Resolve(path))] = error; }
void SimFileSystem::RejectSetAttrBits(std::int32_t bits, std::int32_t error) {
    rejectBits_ = bits;
    rejectError_ = error;
}
void SimFileSystem::FailListing(const std::wstring& folder, std::int32_t error) { failListing_[Key(Resolve(folder))] = error; }
void SimFileSystem::FailOpen(const std::wstring& path, std::int32_t error) { failOpen_[Key(Resolve(path))] = error; }
void SimFileSystem::FailWritesAfter(int lines, std::int32_t error) {
    writesLeft_ = lines;
    writeError_ = error;
}
void SimFileSystem::FailClose(std::int32_t error) { closeError_ = error; }
void SimFileSystem::ClearFaults() {
    failGetAttr_.clear();
    failSetAttr_.clear();
    failListing_.clear();
    failOpen_.clear();
    rejectBits_ = 0;
    writesLeft_.reset();
    closeError_ = 0;
    flushError_ = 0;
}

int SimFileSystem::Calls(Op op) const {
    const auto it = calls_.find(op);
    return it == calls_.end() ? 0 : it->second;
}

void SimFileSystem::Throw(std::int32_t error) const { throw Error(error, MessageText(error)); }

void SimFileSystem::Before(Op op, const std::wstring& path) {
    ++calls_[op];
    if (beforeCall) beforeCall(op, path);
}

std::int32_t SimFileSystem::MissingError(const std::wstring& path) const {
    const std::wstring parent = ParentKey(Key(Resolve(path)));
    const auto it = nodes_.find(parent);
    return (it != nodes_.end() && (it->second.attributes & attr::Directory)) ? win_error::FileNotFound
                                                                             : win_error::PathNotFound;
}

std::int32_t SimFileSystem::GetAttr(const std::wstring& path) {
    if (const auto listed = listings_.Cached(path)) return *listed;
    Before(Op::GetAttr, path);
    if (path.empty() || HasDoubledBackslash(Resolve(path))) Throw(win_error::InvalidName);
    if (Resolve(path).size() > kMaxPath) Throw(kFilenameExcedRange);
    if (auto it = failGetAttr_.find(Key(Resolve(path))); it != failGetAttr_.end()) Throw(it->second);
    const Node* node = Find(path);
    if (!node) Throw(MissingError(path));
    if (EndsWithBackslash(path)) {
        // "file\" names no file; some platforms also refuse "folder\".
        if (!(node->attributes & attr::Directory)) Throw(win_error::InvalidName);
        if (refuseTrailingBackslash_ && ParentKey(Key(Resolve(path))) != L"") Throw(win_error::InvalidName);
    }
    // A file with no bit set reports "normal", as Windows does.
    const std::int32_t word = node->attributes == 0 ? attr::Normal : node->attributes;
    listings_.Answered(path, word);
    return word;
}

std::uint32_t SimFileSystem::ReparseTag(const std::wstring& path) {
    if (const auto listed = listings_.CachedReparseTag(path)) return *listed;
    Before(Op::GetAttr, path);
    if (auto it = failGetAttr_.find(Key(Resolve(path))); it != failGetAttr_.end()) Throw(it->second);
    const Node* node = Find(path);
    if (!node) Throw(MissingError(path));
    return (node->attributes & attr::ReparsePoint) ? node->reparseTag : 0;
}

void SimFileSystem::SetAttr(const std::wstring& path, std::int32_t attributes) {
    Before(Op::SetAttr, path);
    if (path.empty() || HasDoubledBackslash(Resolve(path))) Throw(win_error::InvalidName);
    if (auto it = failSetAttr_.find(Key(Resolve(path))); it != failSetAttr_.end()) Throw(it->second);
    if (rejectBits_ & attributes) Throw(rejectError_);
    Node* node = Find(path);
    if (!node) Throw(MissingError(path));
    setAttrCalls.push_back({path, attributes});
    // Only the changeable bits are taken; directory, compressed and the rest stay.
    node->attributes = (node->attributes & ~kSettableBits) | (attributes & kSettableBits);
}

std::wstring SimFileSystem::Dir(const std::wstring& folder, std::int32_t mask) {
    Before(Op::DirStart, folder);
    return listings_.Start(folder, mask);
}

std::wstring SimFileSystem::DirFind(const std::wstring& folder, std::int32_t mask, const std::wstring& name) {
    Before(Op::DirStart, folder);  // a restart, as far as counting goes
    return listings_.Find(folder, mask, name);
}

FolderListing SimFileSystem::ReadFolder(const std::wstring& folder, std::int32_t mask) {
    if (Resolve(folder).size() > kMaxPath) Throw(kFilenameExcedRange);
    const std::wstring key = Key(Resolve(folder));
    if (auto it = failListing_.find(key); it != failListing_.end()) Throw(it->second);
    const auto it = nodes_.find(Through(key, true));
    if (it == nodes_.end() || !(it->second.attributes & attr::Directory)) Throw(win_error::PathNotFound);
    const Node& dir = it->second;
    // As GetAttr reports them: a word with no bit set is "normal".
    const auto word = [](const Node& node) { return node.attributes == 0 ? attr::Normal : node.attributes; };
    FolderListing listing;
    std::vector<ListedEntry>& names = listing.entries;
    const bool dots = dir.dots && (mask & attr::Directory);
    if (dots && !dotsLast_) {
        names.push_back({L".", word(dir)});
        names.push_back({L"..", word(dir)});
    }
    std::vector<const Node*> children;
    for (const auto& child : dir.children) children.push_back(&nodes_.at(child));
    if (order_ == ListingOrder::NameNoCase) {
        std::stable_sort(children.begin(), children.end(),
                         [](const Node* a, const Node* b) { return FoldCase(a->name) < FoldCase(b->name); });
    } else if (order_ == ListingOrder::ReverseInsertion) {
        std::reverse(children.begin(), children.end());
    }
    const std::int32_t excluded = (attr::Hidden | attr::System | attr::Directory) & ~mask;
    for (const Node* child : children) {
        if (!(child->attributes & attr::Directory) && IsDesktopIni(child->name)) listing.holdsDesktopIni = true;
        if (child->attributes & excluded) continue;
        const std::uint32_t tag = (child->attributes & attr::ReparsePoint) ? child->reparseTag : 0;
        names.push_back({child->name, word(*child), tag});
    }
    if (dots && dotsLast_) {
        names.push_back({L".", word(dir)});
        names.push_back({L"..", word(dir)});
    }
    return listing;
}

std::wstring SimFileSystem::Dir() {
    Before(Op::DirNext, L"");
    auto name = listings_.Next();
    if (!name) {
        ++endedListingRequests;
        Throw(win_error::InvalidParameter);
    }
    return std::move(*name);
}

std::wstring SimFileSystem::ErrorText(std::int32_t number) { return MessageText(number); }

std::wstring SimFileSystem::MessageText(std::int32_t number) {
    // The texts a Japanese Windows gives for these numbers.
    switch (number) {
        case win_error::FileNotFound: return L"指定されたファイルが見つかりません。";
        case win_error::PathNotFound: return L"指定されたパスが見つかりません。";
        case win_error::AccessDenied: return L"アクセスが拒否されました。";
        case win_error::InvalidHandle: return L"ハンドルが無効です。";
        case win_error::InvalidData: return L"データが無効です。";
        case win_error::WriteProtect: return L"メディアは書き込み禁止になっています。";
        case win_error::SharingViolation: return L"プロセスはファイルにアクセスできません。別のプロセスが使用中です。";
        case win_error::InvalidParameter: return L"パラメーターが間違っています。";
        case win_error::DiskFull: return L"ディスクに十分な空き領域がありません。";
        case win_error::InvalidName: return L"ファイル名、ディレクトリ名、またはボリューム ラベルの構文が間違っています。";
        case win_error::ArithmeticOverflow: return L"演算結果が 32 ビットを超えました。";
        default: return L"エラー " + Decimal(number);
    }
}

std::int16_t SimFileSystem::FreeFile() {
    for (std::int16_t n = 1; n <= 511; ++n) {
        if (open_.find(n) == open_.end()) return n;
    }
    Throw(win_error::InvalidHandle);
}

void SimFileSystem::OpenForOutput(std::int16_t number, const std::wstring& path) {
    Before(Op::Open, path);
    const std::wstring key = Key(Resolve(path));
    if (auto it = failOpen_.find(key); it != failOpen_.end()) Throw(it->second);
    if (open_.count(number)) Throw(win_error::InvalidParameter);
    const auto parent = nodes_.find(ParentKey(key));
    if (parent == nodes_.end() || !(parent->second.attributes & attr::Directory)) Throw(win_error::PathNotFound);
    if (!parent->second.writable) Throw(win_error::AccessDenied);
    if (Node* node = Find(path)) {
        if (node->attributes & (attr::Directory | attr::ReadOnly)) Throw(win_error::AccessDenied);
        node->content.clear();
    } else {
        AddFile(path, attr::Archive);
    }
    open_[number] = {key, {}};
}

void SimFileSystem::Write(std::int16_t number, std::string_view bytes) {
    Before(Op::Write, L"");
    const auto it = open_.find(number);
    if (it == open_.end()) Throw(win_error::InvalidHandle);
    if (writesLeft_) {
        if (*writesLeft_ <= 0) Throw(writeError_);
        --*writesLeft_;
    }
    if (nodes_.find(it->second.key) == nodes_.end()) Throw(win_error::InvalidHandle);
    it->second.buffer.append(bytes);
}

void SimFileSystem::Flush(std::int16_t number) {
    ++calls_[Op::Flush];
    const auto it = open_.find(number);
    if (it == open_.end()) Throw(win_error::InvalidHandle);
    if (flushError_) Throw(flushError_);
    if (const auto node = nodes_.find(it->second.key); node != nodes_.end()) node->second.content += it->second.buffer;
    it->second.buffer.clear();
}

void SimFileSystem::FlushAll() noexcept {
    for (auto& [number, file] : open_) {
        if (const auto node = nodes_.find(file.key); node != nodes_.end()) node->second.content += file.buffer;
        file.buffer.clear();
    }
}

void SimFileSystem::Close(std::int16_t number) {
    Before(Op::Close, L"");
    const auto it = open_.find(number);
    if (it == open_.end()) Throw(win_error::InvalidHandle);
    if (const auto node = nodes_.find(it->second.key); node != nodes_.end()) node->second.content += it->second.buffer;
    open_.erase(it);
    if (closeError_) Throw(closeError_);
}

}  // namespace tesvar::sim
