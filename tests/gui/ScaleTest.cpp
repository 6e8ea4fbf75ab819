// The window at any scale, run in Wine prefixes whose screens have 144 and 192 dots per
// inch (WindowTest checks 96 exactly); the wide-screen case runs on a screen 4,000
// pixels wide.
#include <windows.h>

#include <commctrl.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "gui/WindowFixture.h"
#include "support/Bytes.h"

namespace tesvar::test {
namespace {

using namespace app::win32;

std::string Show(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) + "x" +
           std::to_string(r.bottom - r.top);
}

class ScaleTest : public WindowFixture {
protected:
    float Tpp() { return W().TwipsPerPixel(); }
    // Every edge within a pixel of where the twips put it.
    ::testing::AssertionResult WithinAPixel(const RECT& got, const RECT& want) {
        const float tpp = Tpp();
        const auto close = [tpp](LONG a, LONG b) { return static_cast<float>(std::abs(a - b)) <= tpp; };
        if (close(got.left, want.left) && close(got.top, want.top) && close(got.right, want.right) &&
            close(got.bottom, want.bottom))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << Show(got) << " expected " << Show(want);
    }
    // The list by the resize rule: the client width, and the client height less the
    // strip and 40 twips.
    RECT ListByTheRule() {
        const RECT strip = TwipsRect(Control(kPicture1));
        return {0, 0, static_cast<LONG>(W().ScaleWidth()),
                static_cast<LONG>(W().ScaleHeight()) - (strip.bottom - strip.top) - 40};
    }
};

TEST_F(ScaleTest, ControlsSitWithinAPixelOfTheirTwips) {
    Open();
    const platform::win32::ScopedDc screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen.get(), LOGPIXELSY);
    std::printf("screen: %d DPI, %.2f twips a pixel\n", dpi, static_cast<double>(Tpp()));
    EXPECT_FLOAT_EQ(Tpp(), 1440.0f / static_cast<float>(dpi));
    EXPECT_TRUE(WithinAPixel({0, 0, static_cast<LONG>(W().ScaleWidth()), static_cast<LONG>(W().ScaleHeight())},
                             {0, 0, 4170, 4380}))
        << "the design client area";
    for (const auto& c : kControls) {
        RECT expected{c.left, c.top, c.left + c.width, c.top + c.height};
        if (c.id == kList1) expected = ListByTheRule();
        if (c.id == kPicture1) expected = {0, 2895, 4170, 4380};
        EXPECT_TRUE(WithinAPixel(TwipsRect(Control(c.id)), expected)) << "control " << c.id;
    }
}

TEST_F(ScaleTest, TheListFollowsTheResizeRule) {
    Open();
    const RECT outer = OuterPixels();
    ::SetWindowPos(W().Hwnd(), nullptr, 0, 0, outer.right - outer.left + 101, outer.bottom - outer.top + 67,
                   SWP_NOMOVE | SWP_NOZORDER);
    Pump(window.get(), 20);
    EXPECT_TRUE(WithinAPixel(TwipsRect(Control(kList1)), ListByTheRule()));
    const LONG w = static_cast<LONG>(W().ScaleWidth()), h = static_cast<LONG>(W().ScaleHeight());
    EXPECT_TRUE(WithinAPixel(TwipsRect(Control(kPicture1)), {0, h - 1485, w, h})) << "the strip along the bottom";
    EXPECT_TRUE(WithinAPixel(TwipsRect(Control(kBtnEnd)), {3240, 840, 3975, 1335})) << "its controls at its left";
}

// The check box in front of an entry, found in the pixels the list shows: it grows with
// the scale and fits its line.
TEST_F(ScaleTest, TheCheckBoxesGrowWithTheScaleAndFitTheirLines) {
    MakeFile(tree + L"\\a.txt", 33);
    Open();
    Drop({tree + L"\\a.txt"});
    const HWND list = Control(kList1);
    ::UpdateWindow(list);
    RECT item{};
    ASSERT_NE(::SendMessageW(list, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item)), LB_ERR);
    const int height = item.bottom - item.top;
    const int width = 3 * height;  // the box stands at the line's left
    const std::vector<DWORD> pixels = ShownPixels(list, {item.left, item.top, item.left + width, item.bottom});
    ASSERT_EQ(pixels.size(), static_cast<std::size_t>(width * height));
    // The box: the first columns from the left that are not all the line's background,
    // up to the gap before the text.
    const DWORD background = pixels[0];
    RECT box{width, height, -1, -1};
    for (int x = 0; x < width; ++x) {
        bool any = false;
        for (int y = 0; y < height; ++y) {
            if (pixels[static_cast<std::size_t>(y * width + x)] == background) continue;
            any = true;
            box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                   std::max<LONG>(box.bottom, y + 1)};
        }
        if (!any && box.right >= 0) break;
    }
    ASSERT_LT(box.left, box.right) << "no check box drawn";
    const platform::win32::ScopedDc screen(nullptr);
    const int side = ::MulDiv(13, ::GetDeviceCaps(screen.get(), LOGPIXELSY), 96);
    std::printf("check box %s in a line %d pixels high\n", Show(box).c_str(), height);
    EXPECT_NEAR(box.right - box.left, side, 1) << "its width grows with the scale";
    EXPECT_NEAR(box.bottom - box.top, side, 1) << "its height grows with the scale";
    EXPECT_GE(box.top, 0);
    EXPECT_LE(box.bottom, height) << "it fits its line";
    EXPECT_GE(height, side + 1);
}

TEST_F(ScaleTest, ThePlacementRoundTripsThroughTheProfile) {
    Open();
    const RECT outer = OuterPixels();
    const int x = 40, y = 30, w = outer.right - outer.left + 20, h = outer.bottom - outer.top + 11;
    ::SetWindowPos(W().Hwnd(), nullptr, x, y, w, h, SWP_NOZORDER);
    Pump(window.get(), 20);
    Click(kBtnEnd);
    // Stored as twips; at 7.5 twips a pixel an odd pixel count is half a twip more.
    const auto twips = [this](int px) {
        const double t = static_cast<double>(px) * static_cast<double>(Tpp());
        const auto whole = static_cast<long>(std::floor(t));
        return std::to_string(whole) + (t > static_cast<double>(whole) ? ".5" : "");
    };
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nMainLeft=" + twips(x) + "\r\nMainTop=" + twips(y) + "\r\nMainWidth=" +
                                    twips(w) + "\r\nMainHeight=" + twips(h) + "\r\n");
    Open();
    const RECT again = OuterPixels();
    EXPECT_EQ(Show(again), Show({x, y, x + w, y + h}));
}

// On a screen 4,000 pixels wide (a monitor's work area): a window closed on a monitor
// right of a wide main one lies beyond 32,767 twips and reopens there; one closed across
// a monitor above the screen reopens with its caption on the screen; a stored size
// beyond the work area is reduced to it, and the window lies wholly inside it.
TEST_F(ScaleTest, StoredPlacementsOnAWideScreen) {
    if (::GetSystemMetrics(SM_CXVIRTUALSCREEN) < 3000) GTEST_SKIP() << "needs a screen 3,000 pixels wide";
    RECT work{};
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0));
    // Twips where the placement is the stored one; kWork: the work area's edge or size.
    constexpr long kWork = -1000000, kInitial = -2000000;
    const struct {
        const char* ini;
        long left, top, width, height;
    } cases[] = {
        {"MainLeft=36000\r\nMainTop=900\r\n", 36000, 900, kInitial, kInitial},
        {"MainLeft=1500\r\nMainTop=-3000\r\nMainWidth=4500\r\nMainHeight=5100\r\n", 1500, kWork, 4500, 5100},
        {"MainLeft=1500\r\nMainTop=1500\r\nMainWidth=100000\r\nMainHeight=100000\r\n", kWork, kWork, kWork, kWork},
    };
    for (const auto& c : cases) {
        window.reset();
        MakeFile(Ini(), 32, std::string("[Settings]\r\n") + c.ini);
        Open();
        const auto px = [this](long twips, long edge) {
            return twips == kWork ? edge : std::lround(static_cast<double>(twips) / static_cast<double>(Tpp()));
        };
        const RECT r = OuterPixels();
        EXPECT_EQ(r.left, px(c.left, work.left)) << c.ini;
        EXPECT_EQ(r.top, px(c.top, work.top)) << c.ini;
        if (c.width != kInitial) {
            EXPECT_EQ(r.right - r.left, px(c.width, work.right - work.left)) << c.ini;
        }
        if (c.height != kInitial) {
            EXPECT_EQ(r.bottom - r.top, px(c.height, work.bottom - work.top)) << c.ini;
        }
    }
}

TEST_F(ScaleTest, TheControlsFollowAChangeOfTheSystemsFont) {
    Open();
    NONCLIENTMETRICSW before{};
    before.cbSize = sizeof before;
    ASSERT_TRUE(::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof before, &before, 0));
    NONCLIENTMETRICSW bigger = before;
    bigger.lfMessageFont.lfHeight = before.lfMessageFont.lfHeight * 2;
    // Set for this session only; the notice goes to the window as the system sends it.
    ASSERT_TRUE(::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof bigger, &bigger, 0));
    ::SendMessageW(W().Hwnd(), WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0);
    LOGFONTW used{};
    const auto font = reinterpret_cast<HFONT>(::SendMessageW(Control(kBtnStart), WM_GETFONT, 0, 0));
    ::GetObjectW(font, sizeof used, &used);
    ::SystemParametersInfoW(SPI_SETNONCLIENTMETRICS, sizeof before, &before, 0);
    EXPECT_EQ(used.lfHeight, bigger.lfMessageFont.lfHeight);
}


// The window moved to a screen of another scale (Windows sends WM_DPICHANGED; Wine, with
// one DPI for every screen, never does, so the test sends it): laid out as a start at
// that DPI lays it out, while its place and size in the profile keep the system's twips.
// Run at 96, 144 and 192 DPI, where the layout back at the start's DPI is compared
// with the start's own.
class DpiChangeTest : public ScaleTest {
protected:
    struct Layout {
        std::vector<RECT> controls;  // pixels, in their parents
        LONG itemHeight, box, listFont, uiFont, tipFont;
        POINT minimum;
        std::string Text() const {
            std::string out;
            for (const RECT& r : controls) out += Show(r) + "; ";
            return out + "item " + std::to_string(itemHeight) + ", box " + std::to_string(box) + ", fonts " +
                   std::to_string(listFont) + "/" + std::to_string(uiFont) + "/" + std::to_string(tipFont) +
                   ", minimum " + std::to_string(minimum.x) + "x" + std::to_string(minimum.y);
        }
    };
    static LONG FontHeight(HWND hwnd) {
        LOGFONTW font{};
        const auto handle = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        if (!handle || !::GetObjectW(handle, sizeof font, &font)) return 0;
        return font.lfHeight;
    }
    static HWND Tooltip() {
        for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
             tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr)) {
            if (::GetWindowThreadProcessId(tip, nullptr) == ::GetCurrentThreadId()) return tip;
        }
        return nullptr;
    }
    Layout Snapshot() {
        Layout out{};
        for (const auto& c : kControls) {
            RECT r{};
            ::GetWindowRect(Control(c.id), &r);
            ::MapWindowPoints(nullptr, ::GetParent(Control(c.id)), reinterpret_cast<POINT*>(&r), 2);
            out.controls.push_back(r);
        }
        out.itemHeight = static_cast<LONG>(::SendMessageW(Control(kList1), LB_GETITEMHEIGHT, 0, 0));
        out.box = W().List1().CheckBoxSize();
        out.listFont = FontHeight(Control(kList1));
        out.uiFont = FontHeight(Control(kBtnStart));
        out.tipFont = FontHeight(Tooltip());
        MINMAXINFO info{};
        ::SendMessageW(W().Hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
        out.minimum = info.ptMinTrackSize;
        return out;
    }
    void ChangeDpi(int dpi, RECT suggested) {
        ::SendMessageW(W().Hwnd(), WM_DPICHANGED, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        Pump(window.get(), 20);
    }
};

TEST_F(DpiChangeTest, TheWindowIsLaidOutAgainAtTheNewDpiAndThePlacementKeepsTheSystemsTwips) {
    Open();
    const int start = W().Dpi();
    const Layout opened = Snapshot();
    const RECT outer = OuterPixels();
    const LONG w0 = outer.right - outer.left, h0 = outer.bottom - outer.top;
    for (const int dpi : {120, 144, 192, 96, start}) {
        // The size Windows suggests grows with the scale; a start's size at the start's DPI.
        const RECT suggested =
            dpi == start ? outer
                         : RECT{outer.left, outer.top, outer.left + ::MulDiv(w0, dpi, start) + 20,
                                outer.top + ::MulDiv(h0, dpi, start) + 20};
        ChangeDpi(dpi, suggested);
        EXPECT_EQ(Show(OuterPixels()), Show(suggested)) << dpi;
        EXPECT_EQ(W().Dpi(), dpi);
        const Layout now = Snapshot();
        std::printf("at %d DPI: %s\n", dpi, now.Text().c_str());
        const auto px = [dpi](LONG twips) { return static_cast<LONG>(std::lround(twips * dpi / 1440.0)); };
        RECT client{};
        ::GetClientRect(W().Hwnd(), &client);
        for (std::size_t i = 0; i < kControls.size(); ++i) {
            const ControlSpec& c = kControls[i];
            RECT want{px(c.left), px(c.top), px(c.left) + px(c.width), px(c.top) + px(c.height)};
            if (c.id == kPicture1) want = {0, client.bottom - px(c.height), client.right, client.bottom};
            if (c.id == kList1) {
                // The resize rule at the new scale: the strip and 40 twips below it.
                const double tpp = 1440.0 / dpi;
                const double strip = static_cast<double>(px(1485)) * tpp;
                want = {0, 0, client.right, std::lround((client.bottom * tpp - (strip + 40)) / tpp)};
            }
            EXPECT_EQ(Show(now.controls[i]), Show(want)) << "control " << c.id << " at " << dpi;
        }
        EXPECT_EQ(now.listFont, -::MulDiv(9, dpi, 72)) << dpi;
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof metrics;
        ASSERT_TRUE(::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0,
                                                 static_cast<UINT>(dpi)));
        EXPECT_EQ(now.uiFont, metrics.lfMessageFont.lfHeight) << dpi;
        EXPECT_NEAR(now.box, ::MulDiv(13, dpi, 96), 1) << dpi;
        EXPECT_GE(now.itemHeight, now.box + 1) << dpi;
        RECT design{0, 0, px(kDesignClientWidth), px(kDesignClientHeight)};
        ASSERT_TRUE(::AdjustWindowRectExForDpi(&design, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, FALSE, 0,
                                               static_cast<UINT>(dpi)));
        EXPECT_EQ(now.minimum.x, design.right - design.left) << "the minimum at " << dpi;
        EXPECT_EQ(now.minimum.y, design.bottom - design.top) << "the minimum at " << dpi;
        if (dpi == start) {
            EXPECT_EQ(now.Text(), opened.Text()) << "as the start laid it out";
        }
    }

    // Closed on a screen of a larger scale: stored in the system's twips, and opened
    // again at the same size in pixels. (Wine has no such screen to open it on: there it
    // opens at the system's DPI, whose minimum a smaller scale's size would not reach.)
    const int other = start == 192 ? 240 : 192;
    const RECT there{40, 30, 40 + ::MulDiv(w0, other, start) + 11, 30 + ::MulDiv(h0, other, start) + 7};
    ChangeDpi(other, there);
    Click(kBtnEnd);
    const auto twips = [this](LONG px) {
        const double t = static_cast<double>(px) * static_cast<double>(Tpp());
        const auto whole = static_cast<long>(std::floor(t));
        return std::to_string(whole) + (t > static_cast<double>(whole) ? ".5" : "");
    };
    EXPECT_EQ(ReadBytes(Ini()), "[Settings]\r\nMainLeft=" + twips(there.left) + "\r\nMainTop=" + twips(there.top) +
                                    "\r\nMainWidth=" + twips(there.right - there.left) + "\r\nMainHeight=" +
                                    twips(there.bottom - there.top) + "\r\n");
    Open();
    EXPECT_EQ(Show(OuterPixels()), Show(there));
}

}  // namespace
}  // namespace tesvar::test
