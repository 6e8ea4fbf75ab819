#include "collect/DropIntake.h"

#include <algorithm>
#include <exception>
#include <limits>

#include "platform/Error.h"
#include "platform/Text.h"

namespace tesvar::collect {
namespace {

namespace attr = platform::attr;
using platform::EqualsNoCase;

bool IsDotEntry(const std::wstring& name) { return EqualsNoCase(name, L".") || EqualsNoCase(name, L".."); }

// A listing request whose failure ends the walk of that folder: false when it failed.
template <class F>
bool Listed(F&& request, std::wstring& name) {
    try {
        name = request();
        return true;
    } catch (const platform::Error&) {
        return false;
    }
}

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
    // Whatever happens while the list is filled, the drop ends with the pointer
    // reset, the list shown and the caption set; a failure that is not one of the
    // file services' (those are absorbed entry by entry) then goes to the caller.
    std::exception_ptr failure;
    try {
        Collect(paths);
    } catch (...) {
        failure = std::current_exception();
    }
    try {
        Finish();
    } catch (...) {
        if (!failure) failure = std::current_exception();
    }
    if (failure) std::rethrow_exception(failure);
}

void DropIntake::Collect(const std::vector<std::wstring>& paths) {
    auto& window = s_.window;
    // Bringing the window to the front may fail; its result is of no interest.
    try {
        window.SetForegroundWindow();
    } catch (const platform::Error&) {
    }
    try {
        window.SetActiveWindow();
    } catch (const platform::Error&) {
    }
    s_.list.Clear();
    s_.list.SetVisible(false);
    window.SetMousePointer(platform::pointer::Busy);

    const std::wstring filter = window.FilterText();
    blnAllFiles_ = platform::ContainsNoCase(filter, L"*.*");
    strFilter_ = filter;

    const auto count = static_cast<std::int32_t>(
        std::min<std::size_t>(paths.size(), static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())));
    FNameEdit& split = s_.module.objFNameEdit();
    for (std::int32_t i = 0; i < count; ++i) {
        const std::wstring& path = paths[static_cast<std::size_t>(i)];
        if (path.empty()) continue;
        split.ifaFullPath = path;
        split.cFNameEdit();
        if (!split.ifaFileName.empty()) {
            AdmitFile(split);
        } else {
            // The walk's own splits overwrite the splitter: keep the folder part.
            const std::wstring folder = split.ifaDirName;
            ReadOnlyRule(folder);
            mScanFolder(folder);
        }
    }
}

void DropIntake::Finish() {
    // Each step is tried even when an earlier one failed; the first failure is kept.
    std::exception_ptr failure;
    auto step = [&](auto&& f) {
        try {
            f();
        } catch (...) {
            if (!failure) failure = std::current_exception();
        }
    };
    step([&] { s_.window.SetMousePointer(platform::pointer::Default); });
    step([&] { s_.list.SetVisible(true); });
    step([&] { s_.window.SetStatusCaption(StatusCaption(s_.list.SelCount(), s_.list.ListCount())); });
    if (failure) std::rethrow_exception(failure);
}

std::optional<std::int32_t> DropIntake::Query(const std::wstring& path) {
    try {
        return s_.files.GetAttr(path);
    } catch (const platform::Error&) {
        return std::nullopt;  // vanished or unreadable: the entry is left out
    }
}

void DropIntake::AdmitFile(const FNameEdit& split) {
    if (!FilterTest(strFilter_, blnAllFiles_, split.ifaFileSts2)) return;
    ReadOnlyRule(split.ifaDirName + split.ifaFileName);
}

void DropIntake::ReadOnlyRule(const std::wstring& entryPath) {
    const auto word = Query(entryPath);
    if (!word) return;
    if (*word & attr::ReadOnly) {
        s_.list.AddItem(entryPath);
        s_.list.SetSelected(s_.list.NewIndex(), true);
    } else if (s_.window.ReadOnlySwitch() == 0) {
        s_.list.AddItem(entryPath);
    }
}

void DropIntake::mScanFolder(const std::wstring& folder) {
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

    // Starts the listing of path and skips the dot entries; false when it cannot be
    // listed (the folder is then not walked).
    const auto start = [&] {
        if (!Listed([&] { return files.Dir(path, platform::kWalkMask); }, name)) return false;
        while (!name.empty() && IsDotEntry(name)) {
            if (!Listed([&] { return files.Dir(); }, name)) return false;
        }
        return true;
    };
    // The entry after the current one; a failing request ends this folder's walk.
    const auto advance = [&] {
        if (!Listed([&] { return files.Dir(); }, name)) name.clear();
    };
    // Back in a folder after a nested walk: restart its listing, find the place again.
    const auto resume = [&] {
        if (FindAgain(path, stack.back().saved, name))
            advance();
        else
            name.clear();
    };

    if (!start()) return;
    stack.push_back({path.size(), {}});
    for (;;) {
        if (name.empty()) {
            stack.pop_back();
            if (stack.empty()) return;
            path.resize(stack.back().pathLength);
            resume();
            continue;
        }
        const std::wstring entry = path + name;
        const auto word = Query(entry);
        if (word && (*word & attr::Directory)) {
            ReadOnlyRule(entry);
            // A link or junction is listed but never entered: it may lead back into
            // the tree being walked.
            if (!(*word & attr::ReparsePoint)) {
                stack.back().saved = name;
                path += name;
                path += L'\\';
                if (start()) {
                    stack.push_back({path.size(), {}});
                    continue;
                }
                path.resize(stack.back().pathLength);
                resume();
                continue;
            }
        } else if (word) {
            split.ifaFullPath = entry;
            split.cFNameEdit();
            // A file that vanished since its query splits as a folder: left out.
            if (!split.ifaFileName.empty()) AdmitFile(split);
        }
        advance();
    }
}

bool DropIntake::FindAgain(const std::wstring& path, const std::wstring& saved, std::wstring& name) {
    auto& files = s_.files;
    // The exact name first, so that names differing only in case are told apart;
    // then without regard to case (the name's case changed meanwhile).
    for (const bool exact : {true, false}) {
        if (!Listed([&] { return files.Dir(path, platform::kWalkMask); }, name)) return false;
        while (!name.empty() && !(exact ? name == saved : EqualsNoCase(name, saved))) {
            if (!Listed([&] { return files.Dir(); }, name)) return false;
        }
        if (!name.empty()) return true;
    }
    return false;  // not met again: the walk of this folder ends here
}

}  // namespace tesvar::collect
