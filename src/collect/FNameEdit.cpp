#include "collect/FNameEdit.h"

#include "platform/SkipOnFailure.h"
#include "platform/Text.h"

namespace tesvar::collect {
namespace {

using platform::EndsWithBackslash;

// Whether the query succeeds, and the word it gave. The split absorbs every failure.
bool Query(platform::FileServices& files, const std::wstring& path, std::int32_t* word = nullptr) {
    platform::SkipOnFailure step;
    return step.Do([&] {
        const std::int32_t w = files.GetAttr(path);
        if (word) *word = w;
    });
}

}  // namespace

void FNameEdit::cFNameEdit() {
    ifaDirName.clear();
    ifaFileName.clear();
    ifaFileSts1.clear();
    ifaFileSts2.clear();

    const std::wstring_view trimmed = platform::TrimSpaces(ifaFullPath);
    if (trimmed.empty()) return;

    // A path that names an entry exactly as given is that entry: "a.txt " listed by a
    // walk is a name of its own. Surrounding spaces are removed only from text that
    // names nothing as it stands.
    std::wstring path = ifaFullPath;
    bool found = Query(files_, path);
    if (!found && trimmed.size() != path.size()) {
        path.assign(trimmed);
        found = Query(files_, path);
    }

    // Some platforms refuse "folder\": drop trailing backslashes until a query succeeds.
    while (!found && EndsWithBackslash(path)) {
        path.pop_back();
        found = Query(files_, path);
    }

    // A folder, or anything that cannot be queried, ends in exactly one "\".
    std::int32_t word = 0;
    const bool isFolder = !Query(files_, path, &word) || (word & platform::attr::Directory) != 0;
    if (isFolder && !EndsWithBackslash(path)) path += L'\\';
    if (EndsWithBackslash(path)) {
        ifaDirName = std::move(path);
        return;
    }

    const auto slash = path.rfind(L'\\');
    if (slash == std::wstring::npos) {
        ifaFileName = std::move(path);
    } else {
        ifaDirName = path.substr(0, slash + 1);
        ifaFileName = path.substr(slash + 1);
    }

    const auto dot = ifaFileName.find(L'.');
    if (dot == std::wstring::npos) {
        ifaFileSts1 = ifaFileName;
    } else {
        ifaFileSts1 = ifaFileName.substr(0, dot);
        ifaFileSts2 = ifaFileName.substr(dot);
    }
}

}  // namespace tesvar::collect
