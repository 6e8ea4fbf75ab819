#pragma once
// Code page 932 through iconv, as the simulated platform's ANSI code page.
#include "platform/FileServices.h"

namespace tesvar::sim {

// The simulated platform implements the platform's interfaces and speaks in its terms.
using namespace tesvar::platform;

class SimAnsi : public AnsiCodePage {
public:
    std::string ToAnsi(std::wstring_view text) override;
    std::wstring FromAnsi(std::string_view bytes) override;
};

}  // namespace tesvar::sim
