#include "app/TesvarF1.h"

#include <cmath>

#include "platform/Text.h"
#include "platform/SkipOnFailure.h"
#include "settings/Placement.h"

namespace tesvar::app {
namespace {

// Whole twips, a half to the even neighbour.
std::int32_t RoundTwips(float twips) { return static_cast<std::int32_t>(std::nearbyint(static_cast<double>(twips))); }

}  // namespace

std::wstring Title(Version version) {
    using platform::Decimal;
    return L"Tesvar   Ver. " + Decimal(version.major) + L"." + Decimal(version.minor) + L"." +
           Decimal(version.revision);
}

TesvarF1::TesvarF1(AppServices services, Version version)
    : s_(services),
      version_(version),
      module_(services.files),
      drop_({services.files, services.list, services.window, module_}),
      run_({services.files, services.out, services.ansi, services.list, services.window, services.boxes}) {}

void TesvarF1::Form_Load() {
    // An error in any step is passed over and the load goes on with the next one.
    platform::SkipOnFailure step;
    step.Do([&] { s_.window.SetCaption(Title(version_)); });
    step.Do([&] { lngMinWidth_ = RoundTwips(s_.window.Width()); });
    step.Do([&] { lngMinHeight_ = RoundTwips(s_.window.Height()); });
    step.Do([&] { BtnClear_Click(); });
    step.Do([&] { settings::mLoadSettings({s_.files, s_.profile, s_.ansi, s_.window}); });
}

void TesvarF1::Form_Resize() {
    // Each step may fail (a minimised window refuses a size, the list a negative
    // height); the rule goes on with the next. Setting a size runs the rule again.
    platform::SkipOnFailure step;
    auto& w = s_.window;
    step.Do([&] {
        if (w.Width() < static_cast<float>(lngMinWidth_)) w.SetWidth(static_cast<float>(lngMinWidth_));
    });
    step.Do([&] {
        if (w.Height() < static_cast<float>(lngMinHeight_)) w.SetHeight(static_cast<float>(lngMinHeight_));
    });
    step.Do([&] { w.SetListWidth(w.ScaleWidth()); });
    step.Do([&] { w.SetListHeight(w.ScaleHeight() - (w.StripHeight() + kListGap)); });
}

void TesvarF1::SetMinimumSize(float width, float height) {
    lngMinWidth_ = RoundTwips(width);
    lngMinHeight_ = RoundTwips(height);
}

void TesvarF1::BtnClear_Click() {
    s_.list.Clear();
    s_.window.SetFilterText(L"*.*");
    s_.window.SetStatusCaption(collect::kDropPrompt);
    s_.window.SetReadOnlySwitch(1);
}

bool TesvarF1::BtnStart_Click() { return run_.BtnStart_Click(); }

void TesvarF1::Form_QueryUnload() {
    // The close is never refused: a placement that cannot be stored is given up.
    platform::SkipOnFailure step;
    step.Do([&] { settings::mSaveSettings({s_.files, s_.profile, s_.ansi, s_.window}); });
}

std::int32_t TesvarF1::List1_OLEDragOver(bool carriesFileList) const {
    if (RunInProgress()) return 0;
    return collect::List1_OLEDragOver(carriesFileList);
}

bool TesvarF1::List1_OLEDragDrop(const std::vector<std::wstring>& paths) {
    // The run reads the live list; it must never change under it.
    if (RunInProgress()) return false;
    drop_.List1_OLEDragDrop(paths);
    return true;
}

}  // namespace tesvar::app
