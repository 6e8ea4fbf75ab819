#pragma once
// The main window's controls: ids, design places in twips and focus order. The window
// builds itself from this table; the tests and the test driver find controls by id.
#include <array>

namespace tesvar::app::win32 {

inline constexpr const wchar_t* kWindowClass = L"TesvarF1";
inline constexpr const wchar_t* kStripClass = L"TesvarF1Strip";
inline constexpr const wchar_t* kAppTitle = L"Tesvar";  // message boxes and the initial caption

// Design client area, twips.
inline constexpr int kDesignClientWidth = 4170;
inline constexpr int kDesignClientHeight = 4380;

enum ControlId : int {
    kList1 = 1001,
    kPicture1 = 1002,
    kLblListSts = 1003,
    kLabel1 = 1004,
    kTxtSelFileSts = 1005,
    kBtnStart = 1006,
    kChkReadOnly = 1007,
    kBtnClear = 1008,
    kBtnEnd = 1009,
};

// The list's menu.
enum MenuId : int {
    kMenuSelectAll = 2001,  // すべて選択
    kMenuClearAll = 2002,   // すべて解除
    kMenuInvert = 2003,     // 選択の反転
};

enum class Kind { List, Strip, Label, Edit, Button, CheckBox };

struct ControlSpec {
    ControlId id;
    Kind kind;
    bool inStrip;  // placed relative to the strip's top-left corner
    int left, top, width, height;  // twips
    int focus;                     // place in the keyboard focus order
    const wchar_t* text;
};

inline constexpr std::array<ControlSpec, 9> kControls{{
    {kList1, Kind::List, false, 0, 0, 2655, 1740, 3, L""},
    {kPicture1, Kind::Strip, false, 0, 2895, 4170, 1485, 2, L""},
    {kLblListSts, Kind::Label, true, 120, 120, 3855, 255, 7, L""},
    {kLabel1, Kind::Label, true, 120, 480, 735, 255, 6, L"拡張子"},
    {kTxtSelFileSts, Kind::Edit, true, 720, 435, 3255, 270, 5, L""},
    {kBtnStart, Kind::Button, true, 120, 840, 975, 495, 0, L"Start"},
    {kChkReadOnly, Kind::CheckBox, true, 1200, 840, 1215, 495, 8, L"ReadOnly\r\nのみ表示"},
    {kBtnClear, Kind::Button, true, 2400, 840, 735, 495, 4, L"Clear"},
    {kBtnEnd, Kind::Button, true, 3240, 840, 735, 495, 1, L"END"},
}};

}  // namespace tesvar::app::win32
