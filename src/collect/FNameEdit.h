#pragma once
// Splits one path into folder part, file name and the two halves of the name at its
// first ".". Whether the path names a folder is asked of the file system.
#include <string>

#include "platform/FileServices.h"

namespace tesvar::collect {

class FNameEdit {
public:
    explicit FNameEdit(platform::FileServices& files) : files_(files) {}

    std::wstring ifaFullPath;  // input; never changed by the split
    std::wstring ifaDirName;   // folder part, ends in "\" when not empty
    std::wstring ifaFileName;  // after the last "\"; empty for a folder
    std::wstring ifaFileSts1;  // name before its first "."
    std::wstring ifaFileSts2;  // from the first "." on, the "." included

    // Splits ifaFullPath and overwrites the four outputs. Never throws a platform error.
    void cFNameEdit();

private:
    platform::FileServices& files_;
};

}  // namespace tesvar::collect
