// The list in the system's colours: after a change of them (a high contrast theme, or
// another one), what it draws is in the new colours, the check boxes kept for copying
// included.
#include <windows.h>

#include <cstdio>
#include <map>
#include <vector>

#include "gui/WindowFixture.h"
#include "platform/ScopeExit.h"

namespace tesvar::test {
namespace {

using namespace app::win32;

// A pixel as GetDIBits hands it (0x00RRGGBB) for a COLORREF (0x00BBGGRR).
DWORD Pixel(COLORREF c) { return (DWORD{GetRValue(c)} << 16) | (DWORD{GetGValue(c)} << 8) | GetBValue(c); }

// What the list shows of entry `index`, row by row.
std::vector<DWORD> Row(HWND list, int index, RECT& item) {
    ::SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    return ShownPixels(list, item);
}

// How many pixels of each colour lie in columns [from, to) of a row.
std::map<DWORD, int> Colours(const std::vector<DWORD>& pixels, const RECT& item, int from, int to) {
    const int width = item.right - item.left;
    std::map<DWORD, int> out;
    for (std::size_t i = 0; i < pixels.size(); ++i) {
        const int x = static_cast<int>(i) % width;
        if (x >= from && x < to) ++out[pixels[i]];
    }
    return out;
}

class HighContrastTest : public WindowFixture {};

TEST_F(HighContrastTest, TheListDrawsInTheColoursSetLast) {
    // Two high contrast themes with the same black background and different texts.
    const int elements[] = {COLOR_WINDOW, COLOR_WINDOWTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT};
    const COLORREF white[] = {RGB(0, 0, 0), RGB(255, 255, 255), RGB(26, 235, 255), RGB(0, 0, 0)};
    const COLORREF yellow[] = {RGB(0, 0, 0), RGB(255, 255, 0), RGB(26, 235, 255), RGB(0, 0, 0)};
    COLORREF before[4];
    for (int i = 0; i < 4; ++i) before[i] = ::GetSysColor(elements[i]);
    const platform::ScopeExit restore([&] {
        ::SetSysColors(4, elements, before);
        Pump(nullptr, 50);
    });

    Open();
    CheckedList& list = W().List1();
    // Wine keeps high contrast off; the colour change is what Windows sends with it.
    list.SetHighContrastSource([] { return true; });
    list.SetVisible(false);
    for (int i = 0; i < 3; ++i) {
        list.AddItem(L"C:\\entry" + std::to_wstring(i));
        if (i != 1) list.SetSelected(i, true);
    }
    list.SetVisible(true);
    const HWND box = Control(kList1);
    ::SetForegroundWindow(W().Hwnd());
    ::SetFocus(box);
    ::SendMessageW(box, LB_SETCARETINDEX, 0, FALSE);
    Pump(window.get(), 50);

    for (const COLORREF* colours : {white, yellow}) {
        ASSERT_TRUE(::SetSysColors(4, elements, colours));
        Pump(window.get(), 50);
        ::UpdateWindow(box);
        const DWORD background = Pixel(colours[0]), text = Pixel(colours[1]), highlight = Pixel(colours[2]),
                    highlightText = Pixel(colours[3]);
        const DWORD staleText = Pixel(colours == white ? yellow[1] : white[1]);
        RECT item{};
        const int checkBox = list.CheckBoxSize() + 2 * ::MulDiv(2, W().Dpi(), 96);
        // The current entry, ticked, on the highlight.
        std::vector<DWORD> row = Row(box, 0, item);
        const int width = item.right - item.left;
        EXPECT_EQ(row[static_cast<std::size_t>(width - 2)], highlight) << "the current entry's line";
        EXPECT_GT(Colours(row, item, checkBox, width)[highlightText], 0) << "its text";
        // An entry neither ticked nor current, then a ticked one.
        row = Row(box, 1, item);
        EXPECT_EQ(row[static_cast<std::size_t>(width - 2)], background) << "a plain line";
        EXPECT_GT(Colours(row, item, checkBox, width)[text], 0) << "its text";
        row = Row(box, 2, item);
        const auto ticked = Colours(row, item, 0, checkBox);
        for (const auto& [colour, n] : ticked) std::printf("%06lx: %d  ", static_cast<unsigned long>(colour), n);
        std::printf("in a ticked box\n");
        EXPECT_GT(ticked.count(text) ? ticked.at(text) : 0, 0) << "the tick in the text colour";
        EXPECT_EQ(ticked.count(staleText), 0u) << "no tick left in the colour before";
    }
}

}  // namespace
}  // namespace tesvar::test
