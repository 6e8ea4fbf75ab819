#pragma once
// A drop on List1: the dropped paths become the target list, narrowed by the filter
// text and the read-only switch, with every dropped folder walked to any depth.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
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

// The filter test: a file passes when the filter holds "*.*" or its extension part
// (dot included) as a substring, compared without regard to case. A name without a
// dot passes any non-empty filter and no empty one.
bool FilterTest(std::wstring_view strFilter, bool blnAllFiles, std::wstring_view ifaFileSts2);

// "ReadOnly ( n ) / File ( m )", or the drop prompt when the list is empty.
std::wstring StatusCaption(std::int32_t selCount, std::int32_t listCount);

class DropIntake {
public:
    explicit DropIntake(CollectServices services);

    // List1_OLEDragDrop with the dropped paths in order (path 1 first).
    void List1_OLEDragDrop(const std::vector<std::wstring>& paths);

    // Taken at the start of each drop; kept until the next one.
    const std::wstring& strFilter() const { return strFilter_; }
    bool blnAllFiles() const { return blnAllFiles_; }

private:
    void Collect(const std::vector<std::wstring>& paths);
    void Finish() noexcept;
    // The admission rule: the filter test for a file, then the read-only rule.
    void AdmitFile(const FNameEdit& split);
    // Lists the entry (selected when read-only, unless selectReadOnly is false); leaves
    // it out when its query fails. Gives whether it was listed as read-only.
    bool ReadOnlyRule(const std::wstring& entryPath, bool selectReadOnly = true);
    // The read-only rule for a folder about to be listed: a read-only one waits for its
    // listing (SelectFolder) before it is selected. The index of such a folder.
    std::optional<std::int32_t> FolderRule(const std::wstring& folder);
    // Selects the read-only folder FolderRule listed, unless the listing just started
    // of it (listed: it could be read) holds a desktop.ini. Explorer sets the read-only
    // bit of a customized folder (Documents, a folder with its own icon) as its sign to
    // read that file; the bit means nothing for the files inside, and clearing it would
    // undo the customization.
    void SelectFolder(std::optional<std::int32_t> index, bool listed);
    // Whether the walk goes into a subfolder with this attribute word.
    bool Enterable(const std::wstring& folder, std::int32_t word);
    // Walks a folder (path ending in "\") and everything below it; ownEntry is the
    // folder's own entry as FolderRule gave it.
    void mScanFolder(const std::wstring& folder, std::optional<std::int32_t> ownEntry);
    std::optional<std::int32_t> Query(const std::wstring& path);

    CollectServices s_;
    std::wstring strFilter_;
    bool blnAllFiles_ = false;
    bool ending_ = false;  // the program ended during the drop
};

}  // namespace tesvar::collect
