#pragma once
// The program's one module: it holds the shared path splitter.
#include <optional>

#include "collect/FNameEdit.h"

namespace tesvar::collect {

class modMain {
public:
    explicit modMain(platform::FileServices& files) : files_(files) {}
    // The one splitter of the program, created at its first use.
    FNameEdit& objFNameEdit() {
        if (!objFNameEdit_) objFNameEdit_.emplace(files_);
        return *objFNameEdit_;
    }

private:
    platform::FileServices& files_;
    std::optional<FNameEdit> objFNameEdit_;
};

}  // namespace tesvar::collect
