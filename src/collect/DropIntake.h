#pragma once
// A drop on List1: the dropped paths become the target list, narrowed by the filter
// text and the read-only switch, with every dropped folder walked to any depth.
#include <cstdint>
#include <string>
#include <vector>

#include "collect/modMain.h"
#include "platform/FileServices.h"
#include "platform/Ui.h"

namespace tesvar::collect {

inline constexpr const wchar_t* kDropPrompt = L"ﾌｧｲﾙをﾄﾞﾛｯﾌﾟ後、Startﾎﾞﾀﾝを押下して下さい";

struct CollectServices {
    platform::FileServices& files;
    platform::TargetList& list;
    platform::MainWindow& window;
    modMain& module;
};

// List1_OLEDragOver: 1 (copy) when the dragged data carries a file list, else 0.
std::int32_t List1_OLEDragOver(bool carriesFileList);

class DropIntake {
public:
    explicit DropIntake(CollectServices services);

    // List1_OLEDragDrop with the dropped paths in order (path 1 first).
    void List1_OLEDragDrop(const std::vector<std::wstring>& paths);

    // Taken at the start of each drop; kept until the next one.
    const std::wstring& strFilter() const { return strFilter_; }
    bool blnAllFiles() const { return blnAllFiles_; }

private:
    CollectServices s_;
    std::wstring strFilter_;
    bool blnAllFiles_ = false;
};

}  // namespace tesvar::collect
