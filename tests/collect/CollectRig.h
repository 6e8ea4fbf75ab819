#pragma once
// A drop on the simulated platform: tree, scripted UI, the module and the intake.
#include <string>
#include <utility>
#include <vector>

#include "collect/DropIntake.h"
#include "collect/modMain.h"
#include "sim/SimFileSystem.h"
#include "sim/SimUi.h"

namespace tesvar::collect::test {

namespace attr = platform::attr;

inline constexpr std::int32_t kRO = attr::ReadOnly | attr::Archive;     // 33
inline constexpr std::int32_t kRW = attr::Archive;                      // 32
inline constexpr std::int32_t kRODir = attr::Directory | attr::ReadOnly;  // 17

using Listed = std::vector<std::pair<std::wstring, bool>>;  // entry, selected

struct CollectRig {
    sim::SimFileSystem fs;
    sim::SimUi ui;
    modMain module{fs};
    DropIntake drop{{fs, ui, ui, module}};

    CollectRig() {
        ui.filterText = L"*.*";
        ui.readOnlySwitch = 1;
    }
    void Drop(const std::vector<std::wstring>& paths) { drop.List1_OLEDragDrop(paths); }
    Listed List() const {
        Listed out;
        for (const auto& e : ui.entries) out.emplace_back(e.text, e.selected);
        return out;
    }
    // The drop's closing steps, in the order they were made.
    bool EndedCleanly() const {
        const auto& j = ui.journal;
        return !j.empty() && j.size() >= 2 && j[j.size() - 2] == "pointer 0" && j.back() == "visible 1" &&
               ui.mousePointer == 0 && ui.listVisible;
    }
};

}  // namespace tesvar::collect::test
