#pragma once
// The four outputs of one split, comparable and printable in test messages.
#include <ostream>
#include <string>

#include "collect/FNameEdit.h"

namespace tesvar::collect {

struct Split {
    std::wstring dir, file, sts1, sts2;
    bool operator==(const Split&) const = default;
};

inline void PrintTo(const Split& s, std::ostream* os) {
    auto narrow = [](const std::wstring& w) { return std::string(w.begin(), w.end()); };
    *os << "{" << narrow(s.dir) << " | " << narrow(s.file) << " | " << narrow(s.sts1) << " | " << narrow(s.sts2)
        << "}";
}

inline Split SplitOf(FNameEdit& split, const std::wstring& path) {
    split.ifaFullPath = path;
    split.cFNameEdit();
    return {split.ifaDirName, split.ifaFileName, split.ifaFileSts1, split.ifaFileSts2};
}

}  // namespace tesvar::collect
