#include "collect/DropIntake.h"

#include <algorithm>
#include <limits>

#include "platform/Error.h"
#include "platform/ScopeExit.h"
#include "platform/SkipOnFailure.h"
#include "platform/Text.h"

namespace tesvar::collect {
namespace {

namespace attr = platform::attr;
using platform::EqualsNoCase;

bool IsDotEntry(const std::wstring& name) { return EqualsNoCase(name, L".") || EqualsNoCase(name, L".."); }

}  // namespace

std::int32_t List1_OLEDragOver(bool carriesFileList) { return carriesFileList ? 1 : 0; }

bool FilterTest(std::wstring_view strFilter, bool blnAllFiles, std::wstring_view ifaFileSts2) {
    if (blnAllFiles) return true;
    return !strFilter.empty() && platform::ContainsNoCase(strFilter, ifaFileSts2);
}

std::wstring StatusCaption(std::int32_t selCount, std::int32_t listCount) {
    if (listCount <= 0) return kDropPrompt;
    return L"ReadOnly ( " + platform::Decimal(selCount) + L" ) / File ( " + platform::Decimal(listCount) + L" )";
}

DropIntake::DropIntake(CollectServices services) : s_(services) {}

void DropIntake::List1_OLEDragDrop(const std::vector<std::wstring>& paths) {
    // The entries the drop's own listings name are answered from those listings until
    // the drop ends, however it ends; the next drop reads everything afresh.
    const platform::DropScope scope(s_.files);
    // Whatever happens while the list is filled, the drop ends with the pointer reset,
    // the list shown and the caption set; a failure that is not one of the file
    // services' (those are absorbed entry by entry) then goes to the caller.
    const platform::ScopeExit finish([this] { Finish(); });
    Collect(paths);
}

void DropIntake::Collect(const std::vector<std::wstring>& paths) {
    auto& window = s_.window;
    ending_ = false;
    // Bringing the window to the front may fail; its result is of no interest.
    platform::SkipOnFailure ignored;
    ignored.Do([&] { window.SetForegroundWindow(); });
    ignored.Do([&] { window.SetActiveWindow(); });
    s_.list.Clear();
    s_.list.SetVisible(false);
    window.SetMousePointer(platform::pointer::Busy);

    // Many dropped paths (files selected in a shell folder, a Send To): the file
    // services may ask the file system about them ahead, while the list is filled.
    s_.files.Prefetch(paths);

    const std::wstring filter = window.FilterText();
    blnAllFiles_ = platform::ContainsNoCase(filter, L"*.*");
    strFilter_ = filter;

    const auto count = static_cast<std::int32_t>(
        std::min<std::size_t>(paths.size(), static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
    FNameEdit& split = s_.module.objFNameEdit();
    for (std::int32_t i = 0; i < count && !ending_; ++i) {
        const std::wstring& path = paths[static_cast<std::size_t>(i)];
        s_.files.PrefetchReached(static_cast<std::size_t>(i));
        if (path.empty()) continue;
        if (!s_.window.StayResponsive()) {  // thousands of dropped files take a while too
            ending_ = true;
            break;
        }
        split.ifaFullPath = path;
        split.cFNameEdit();
        if (!split.ifaFileName.empty()) {
            AdmitFile(split);
        } else {
            // The walk's own splits overwrite the splitter: keep the folder part.
            const std::wstring folder = split.ifaDirName;
            mScanFolder(folder, FolderRule(folder));
        }
    }
}

void DropIntake::Finish() noexcept {
    // Each step is tried even when an earlier one failed.
    platform::SkipOnFailure step;
    step.Do([&] { s_.window.SetMousePointer(platform::pointer::Default); });
    step.Do([&] { s_.list.SetVisible(true); });
    step.Do([&] { s_.window.SetStatusCaption(StatusCaption(s_.list.SelCount(), s_.list.ListCount())); });
}

std::optional<std::int32_t> DropIntake::Query(const std::wstring& path) {
    std::int32_t word = 0;
    platform::SkipOnFailure step;
    // Vanished or unreadable: the entry is left out.
    if (!step.Do([&] { word = s_.files.GetAttr(path); })) return std::nullopt;
    return word;
}

void DropIntake::AdmitFile(const FNameEdit& split) {
    if (!FilterTest(strFilter_, blnAllFiles_, split.ifaFileSts2)) return;
    ReadOnlyRule(split.ifaDirName + split.ifaFileName);
}

bool DropIntake::ReadOnlyRule(const std::wstring& entryPath, bool selectReadOnly) {
    const auto word = Query(entryPath);
    if (!word) return false;
    if (*word & attr::ReadOnly) {
        s_.list.AddItem(entryPath);
        if (selectReadOnly) s_.list.SetSelected(s_.list.NewIndex(), true);
        return true;
    }
    if (s_.window.ReadOnlySwitch() == 0) s_.list.AddItem(entryPath);
    return false;
}

std::optional<std::int32_t> DropIntake::FolderRule(const std::wstring& folder) {
    if (!ReadOnlyRule(folder, false)) return std::nullopt;
    return s_.list.NewIndex();
}

void DropIntake::SelectFolder(std::optional<std::int32_t> index, bool listed) {
    if (!index || (listed && s_.files.ListedFolderHoldsDesktopIni())) return;
    s_.list.SetSelected(*index, true);
}

bool DropIntake::Enterable(const std::wstring& folder, std::int32_t word) {
    if (!(word & attr::ReparsePoint)) return true;
    // A link (junction, symbolic link, mount point) is listed but never entered: it may
    // lead back into the tree being walked. A placeholder of a synced folder, a
    // deduplicated or virtualised folder is entered like any other. A tag that cannot
    // be told counts as a link.
    std::uint32_t tag = 0;
    platform::SkipOnFailure step;
    step.Do([&] { tag = s_.files.ReparseTag(folder); });
    return tag != 0 && !platform::reparse::IsNameSurrogate(tag);
}

void DropIntake::mScanFolder(const std::wstring& folder, std::optional<std::int32_t> ownEntry) {
    // The walk goes to any depth, so it keeps its own stack instead of recursing: one
    // frame per folder being walked, each with the subfolder it waits on. The current
    // folder's path is one growing text; a frame remembers how long it was.
    struct Frame {
        std::size_t pathLength;
        std::wstring saved;  // the subfolder being walked, to find the place again
    };
    auto& files = s_.files;
    FNameEdit& split = s_.module.objFNameEdit();
    std::wstring path = folder;
    std::wstring name;
    std::vector<Frame> stack;
    // A listing request that fails ends the walk of that folder.
    const auto listed = [&](auto&& request) {
        platform::SkipOnFailure step;
        return step.Do([&] { name = request(); });
    };

    // Starts the listing of path; false when it cannot be listed (the folder is then
    // not walked).
    const auto start = [&] { return listed([&] { return files.Dir(path, platform::kWalkMask); }); };
    // The entry after the current one; a failing request ends this folder's walk.
    const auto advance = [&] {
        if (!listed([&] { return files.Dir(); })) name.clear();
    };
    // Back in a folder after a nested walk: restart its listing and find the place
    // again; when the saved name is not met again (the folder changed meanwhile), the
    // walk of this folder ends there.
    const auto resume = [&] {
        if (listed([&] { return files.DirFind(path, platform::kWalkMask, stack.back().saved); }) && !name.empty())
            advance();
        else
            name.clear();
    };

    const bool started = start();
    SelectFolder(ownEntry, started);
    if (!started) return;
    stack.push_back({path.size(), {}});
    for (;;) {
        if (name.empty()) {
            stack.pop_back();
            if (stack.empty()) return;
            path.resize(stack.back().pathLength);
            resume();
            continue;
        }
        // "." and ".." name the folder itself and its parent, wherever the listing
        // gives them: entering them would walk the same folder again and again.
        if (IsDotEntry(name)) {
            advance();
            continue;
        }
        // A long walk lets the window repaint now and then; a session that ends
        // meanwhile ends the drop.
        if (!s_.window.StayResponsive()) {
            ending_ = true;
            return;
        }
        const std::wstring entry = path + name;
        const auto word = Query(entry);
        if (word && (*word & attr::Directory)) {
            const auto readOnly = FolderRule(entry);
            if (Enterable(entry, *word)) {
                stack.back().saved = name;
                path += name;
                path += L'\\';
                const bool entered = start();
                SelectFolder(readOnly, entered);
                if (entered) {
                    stack.push_back({path.size(), {}});
                    continue;
                }
                path.resize(stack.back().pathLength);
                resume();
                continue;
            }
            SelectFolder(readOnly, false);  // a link is not listed: the bit alone decides
        } else if (word) {
            split.ifaFullPath = entry;
            split.cFNameEdit();
            // A file that vanished since its query splits as a folder: left out.
            if (!split.ifaFileName.empty()) AdmitFile(split);
        }
        advance();
    }
}

}  // namespace tesvar::collect
