// How the list is drawn: its font, the check boxes and the lines, at the DPI of the
// window's screen and in the system's colours.
#include "app/win32/CheckedList.h"

#include <vsstyle.h>

#include <algorithm>
#include <utility>

#include "app/win32/SystemDlls.h"

namespace tesvar::app::win32 {
namespace {

// "ＭＳ ゴシック" at 9 points, a fixed-pitch Japanese face, at the screen's DPI.
HFONT CreateListFont(int dpi) {
    LOGFONTW font{};
    font.lfHeight = -::MulDiv(9, dpi, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = SHIFTJIS_CHARSET;
    font.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
    ::lstrcpynW(font.lfFaceName, L"ＭＳ ゴシック", LF_FACESIZE);
    return ::CreateFontIndirectW(&font);
}

}  // namespace

void CheckedList::SetDpi(int dpi) {
    dpi_ = dpi;
    platform::win32::ScopedFont font(CreateListFont(dpi));
    if (font) ::SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);
    font_ = std::move(font);  // the old one goes once the list no longer uses it
    ThemeChanged();  // check box and item height
    if (!tooltip_) return;
    // The tooltip keeps the font of the screen it was made on unless told.
    NONCLIENTMETRICSW metrics{};
    platform::win32::ScopedFont tip(NonClientMetricsAt(dpi_, systemDpi_, metrics)
                                        ? ::CreateFontIndirectW(&metrics.lfStatusFont)
                                        : nullptr);
    if (!tip) return;
    ::SendMessageW(tooltip_, WM_SETFONT, reinterpret_cast<WPARAM>(tip.get()), FALSE);
    tooltipFont_ = std::move(tip);
}

void CheckedList::ThemeChanged() {
    const ThemeFunctions& themes = ThemeFunctions::Get();
    if (theme_) themes.close(theme_);
    // With visual styles the theme's check box, otherwise the classic one; either
    // grows with the DPI.
    // At another DPI than the system's, the theme's parts for that DPI where the system
    // has them, else its parts grown.
    const bool forDpi = dpi_ != systemDpi_ && themes.openForDpi;
    theme_ = !themes || HighContrast() ? nullptr
             : forDpi ? themes.openForDpi(list_, L"BUTTON", static_cast<UINT>(dpi_))
                      : themes.open(list_, L"BUTTON");
    box_ = ::MulDiv(13, dpi_, 96);
    margin_ = ::MulDiv(2, dpi_, 96);
    gap_ = ::MulDiv(4, dpi_, 96);
    const platform::win32::ScopedDc dc(list_);
    if (theme_ && dc) {
        SIZE size{};
        if (SUCCEEDED(themes.partSize(theme_, dc.get(), BP_CHECKBOX, CBS_UNCHECKEDNORMAL, nullptr, TS_DRAW, &size)))
            box_ = forDpi ? std::max<int>(size.cx, size.cy) : ::MulDiv(std::max<int>(size.cx, size.cy), dpi_, systemDpi_);
    }
    int textHeight = box_;
    if (dc && font_) {
        const platform::win32::SelectedObject select(dc.get(), font_.get());
        TEXTMETRICW tm{};
        if (::GetTextMetricsW(dc.get(), &tm)) textHeight = tm.tmHeight;
    }
    itemHeight_ = std::max(textHeight, box_) + margin_;
    boxes_.reset();  // drawn again at the next paint
    boxBitmap_.reset();
    ::SendMessageW(list_, LB_SETITEMHEIGHT, 0, itemHeight_);
    ::InvalidateRect(list_, nullptr, TRUE);
}

bool CheckedList::HighContrast() const {
    if (highContrast_) return highContrast_();
    HIGHCONTRASTW contrast{};
    contrast.cbSize = sizeof contrast;
    return ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof contrast, &contrast, 0) &&
           (contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

void CheckedList::ColorsChanged() {
    // The boxes' ticks and frames are in the text and frame colours, which the
    // backgrounds kept with them do not tell; and a theme's boxes, which are not in the
    // system's colours, give way to the classic ones in high contrast.
    if (list_) ThemeChanged();  // drops the drawn boxes and repaints
}

void CheckedList::DrawBox(HDC dc, const RECT& box, bool checked, bool current) {
    // The four check boxes (clear or ticked, on a plain or a highlighted line) are drawn
    // once and then copied: drawing one costs more than the rest of an entry.
    const COLORREF plain = ::GetSysColor(COLOR_WINDOW), highlight = ::GetSysColor(COLOR_HIGHLIGHT);
    if (!boxes_ || boxColors_[0] != plain || boxColors_[1] != highlight) {
        boxes_.reset();  // before its bitmap, which it holds selected
        boxes_.reset(::CreateCompatibleDC(dc));
        boxBitmap_.reset(boxes_ ? ::CreateCompatibleBitmap(dc, box_ * 4, box_) : nullptr);
        if (!boxes_ || !boxBitmap_ || !::SelectObject(boxes_.get(), boxBitmap_.get())) {
            boxes_.reset();
        } else {
            boxColors_[0] = plain;
            boxColors_[1] = highlight;
            for (int cell = 0; cell < 4; ++cell) {
                RECT r{cell * box_, 0, (cell + 1) * box_, box_};
                ::FillRect(boxes_.get(), &r, ::GetSysColorBrush(cell >= 2 ? COLOR_HIGHLIGHT : COLOR_WINDOW));
                DrawBoxNow(boxes_.get(), r, cell % 2 == 1);
            }
        }
    }
    if (!boxes_) {
        DrawBoxNow(dc, box, checked);
        return;
    }
    const int cell = (current ? 2 : 0) + (checked ? 1 : 0);
    ::BitBlt(dc, box.left, box.top, box_, box_, boxes_.get(), cell * box_, 0, SRCCOPY);
}

void CheckedList::DrawBoxNow(HDC dc, const RECT& box, bool checked) const {
    RECT r = box;
    if (theme_) {
        ThemeFunctions::Get().background(theme_, dc, BP_CHECKBOX, checked ? CBS_CHECKEDNORMAL : CBS_UNCHECKEDNORMAL, &r,
                                         nullptr);
    } else {
        ::DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT | (checked ? DFCS_CHECKED : 0));
    }
}

void CheckedList::Measure(MEASUREITEMSTRUCT& item) const { item.itemHeight = static_cast<UINT>(itemHeight_); }

void CheckedList::Draw(const DRAWITEMSTRUCT& item) {
    const HDC dc = item.hDC;
    RECT rc = item.rcItem;
    if (item.itemID == static_cast<UINT>(-1)) {
        if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rc);
        return;
    }
    const bool checked = (item.itemState & ODS_SELECTED) != 0;
    // The current entry stands out while the list has the focus (the list box marks it
    // with ODS_FOCUS then) or a run moves it. Asked per entry drawn, so nothing here
    // asks the window server.
    const bool current = (item.itemState & ODS_FOCUS) != 0 ||
                         (runActive_ && static_cast<LRESULT>(item.itemID) ==
                                            ::SendMessageW(list_, LB_GETCARETINDEX, 0, 0));
    ::FillRect(dc, &rc, ::GetSysColorBrush(current ? COLOR_HIGHLIGHT : COLOR_WINDOW));

    RECT box{rc.left + margin_, rc.top + (rc.bottom - rc.top - box_) / 2, 0, 0};
    box.right = box.left + box_;
    box.bottom = box.top + box_;
    DrawBox(dc, box, checked, current);

    const std::wstring text = TextOf(item.itemID);
    RECT textRect = rc;
    textRect.left = box.right + gap_;
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(current ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    // Too long for the list: the middle goes, the drive and the file name stay.
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &textRect,
                DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_PATH_ELLIPSIS);
    if (item.itemState & ODS_FOCUS) ::DrawFocusRect(dc, &rc);
}

}  // namespace tesvar::app::win32
