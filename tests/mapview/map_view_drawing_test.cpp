// What the map view leaves in its window: the scaled map, border images and
// margin, the overview frame while panning, the zoom label during its pause,
// and the two markers, each read back pixel by pixel. Markers are compared
// with the same shape drawn straight through the GDI on a blank surface.
#include "mapview/map_view.h"

#include "platform/testing/headless.h"
#include "platform/gdi/surface.h"
#include "tests/support/map_window.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>

namespace {

using namespace testing_support;
namespace headless = platform::headless;
using platform::Surface;
using Pixels = std::set<std::pair<int, int>>;

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kDarkGrey = RGB(0x40, 0x40, 0x40);

COLORREF brush_colour(int stock) {
    LOGBRUSH lb{};
    GetObjectW(GetStockObject(stock), sizeof lb, &lb);
    return lb.lbColor;
}

Pixels pixels_of(const Surface& s, COLORREF colour) {
    Pixels out;
    for (int y = 0; y < s.height(); ++y)
        for (int x = 0; x < s.width(); ++x)
            if (pixel_at(s, x, y) == colour) out.insert({x, y});
    return out;
}

// The pixels of colour that draw() leaves on a blank 240 x 268 surface.
Pixels reference(COLORREF colour, const std::function<void(HDC)>& draw) {
    Surface surface(240, 268);
    HDC dc = platform::gdi::create_surface_dc(&surface, POINT{0, 0}, RECT{0, 0, 240, 268});
    draw(dc);
    platform::gdi::release_surface_dc(dc);
    return pixels_of(surface, colour);
}

Pixels reference_rectangle(int left, int top, int right, int bottom, int width, COLORREF colour) {
    return reference(colour, [&](HDC dc) {
        HPEN pen = CreatePen(PS_SOLID, width, colour);
        HGDIOBJ old = SelectObject(dc, pen);
        SelectObject(dc, GetStockObject(NULL_BRUSH));
        Rectangle(dc, left, top, right, bottom);
        SelectObject(dc, old);
        DeleteObject(pen);
    });
}

class MapViewDrawing : public ::testing::Test {
protected:
    void SetUp() override { window = make_map_window(240, 268); }
    void TearDown() override { view.Close(); }

    void open(int width, int height) {
        std::u16string path = to_u16(write_pattern_image(dir, "map.twk", width, height));
        view.Open(path.c_str(), window);
        ASSERT_TRUE(view.open) << to_u8(view.errorText);
    }
    void border(int slot, const std::string& file) {
        std::u16string path = to_u16(file);
        ASSERT_TRUE(view.LoadBorderImage(path.c_str(), slot));
    }
    Surface pixels() const { return window_pixels(window); }
    COLORREF at(int x, int y) const { return pixel_at(pixels(), x, y); }

    TempDir dir;
    HWND window = nullptr;
    CMapView view;
};

TEST_F(MapViewDrawing, TheMapIsTheSourceRectangleScaledOntoTheWindow) {
    open(1000, 800);
    view.CenterOn(500, 400);
    // 1:1 at 100 %: every window pixel is its image pixel.
    Surface s = pixels();
    int wrong = 0;
    for (int y = 0; y < 268; ++y)
        for (int x = 0; x < 240; ++x) wrong += pixel_at(s, x, y) != pattern_at(380 + x, 266 + y);
    EXPECT_EQ(wrong, 0);

    // At 250 % each image pixel covers two or three window pixels; at 25 %
    // every fourth is shown. Columns go by the pixel centres.
    view.SetZoomPercent(250);
    view.CenterOn(500, 400);  // source (452, 347), 96 x 107
    s = pixels();
    for (int x = 0; x < 240; ++x) {
        const int sx = 452 + (2 * x + 1) * 96 / 480;
        EXPECT_EQ(pixel_at(s, x, 100), pattern_at(sx, 347 + (2 * 100 + 1) * 107 / 536)) << x;
    }
    view.SetZoomPercent(25);
    view.CenterOn(500, 400);  // source (20, 0), 960 x 800, drawn at y 34, 200 high
    s = pixels();
    for (int x = 0; x < 240; x += 7) EXPECT_EQ(pixel_at(s, x, 34 + 50), pattern_at(20 + 4 * x + 2, 202)) << x;
    EXPECT_EQ(pixel_at(s, 10, 33), brush_colour(GRAY_BRUSH));
    EXPECT_EQ(pixel_at(s, 10, 234), brush_colour(GRAY_BRUSH));
}

TEST_F(MapViewDrawing, AMapThatFillsTheWindowDrawsNoBorders) {
    open(1000, 800);
    border(0, write_solid_image(dir, "top.twk", 60, 10, RGB(10, 200, 10), RGB(1, 2, 3)));
    view.CenterOnMiddle();
    EXPECT_TRUE(pixels_of(pixels(), RGB(10, 200, 10)).empty());
    EXPECT_EQ(at(120, 0), pattern_at(380 + 120, 266));
}

TEST_F(MapViewDrawing, BorderImagesSitCentredOnTheirEdgesAndTheLastSetsTheMargin) {
    open(101, 51);  // drawn at (69, 108) .. (170, 159)
    const COLORREF topColour = RGB(200, 30, 30), topCorner = RGB(1, 2, 3);
    border(0, write_solid_image(dir, "top.twk", 60, 10, topColour, topCorner));
    view.CenterOnMiddle();
    EXPECT_EQ(at(90, 0), topCorner);  // (240 - 60) / 2
    EXPECT_EQ(at(91, 0), topColour);
    EXPECT_EQ(at(149, 9), topColour);
    EXPECT_EQ(at(150, 0), topCorner);  // the margin
    EXPECT_EQ(at(89, 5), topCorner);
    EXPECT_EQ(at(90, 10), topCorner);
    EXPECT_EQ(at(0, 267), topCorner);
    EXPECT_EQ(at(69, 108), pattern_at(0, 0));

    // Every edge, with the left one last: its corner colours the margin.
    const COLORREF right = RGB(30, 30, 200), bottom = RGB(30, 200, 200), left = RGB(200, 200, 30);
    border(1, write_solid_image(dir, "right.twk", 12, 40, right, RGB(4, 5, 6)));
    border(2, write_solid_image(dir, "bottom.twk", 50, 8, bottom, RGB(7, 8, 9)));
    border(3, write_solid_image(dir, "left.twk", 14, 30, left, RGB(10, 11, 12)));
    view.Refresh();
    const COLORREF margin = RGB(10, 11, 12);
    EXPECT_EQ(at(239, 114), right);  // x 228, y (268 - 40) / 2
    EXPECT_EQ(at(228, 114), RGB(4, 5, 6));
    EXPECT_EQ(at(227, 114), margin);
    EXPECT_EQ(at(100, 267), bottom);  // x 95, y 260
    EXPECT_EQ(at(95, 260), RGB(7, 8, 9));
    EXPECT_EQ(at(100, 259), margin);
    EXPECT_EQ(at(5, 130), left);  // x 0, y 119
    EXPECT_EQ(at(0, 119), margin);
    EXPECT_EQ(at(0, 118), margin);
    EXPECT_EQ(at(91, 0), topColour);
    EXPECT_EQ(at(20, 20), margin);
    EXPECT_EQ(pixels_of(pixels(), brush_colour(GRAY_BRUSH)).size(), 0u);
}

TEST_F(MapViewDrawing, BorderImagesNeverCoverTheMapAndAreClippedByTheWindow) {
    open(101, 51);
    // A left image reaching into the map, and a top one wider than the
    // window, drawn from x = -30.
    border(3, write_solid_image(dir, "left.twk", 100, 268, RGB(0, 150, 0), RGB(0, 151, 0)));
    border(0, write_pattern_image(dir, "top.twk", 300, 20));
    view.CenterOnMiddle();
    Surface s = pixels();
    for (int x = 69; x < 170; ++x) EXPECT_EQ(pixel_at(s, x, 120), pattern_at(x - 69, 12)) << x;
    EXPECT_EQ(pixel_at(s, 68, 120), RGB(0, 150, 0));
    EXPECT_EQ(pixel_at(s, 0, 5), pattern_at(30, 5));
    EXPECT_EQ(pixel_at(s, 239, 19), pattern_at(269, 19));
    // Slot 3 was drawn last: its corner colours the margin.
    EXPECT_EQ(pixel_at(s, 200, 200), RGB(0, 151, 0));
}

TEST_F(MapViewDrawing, TheOverviewFrameShowsThePartInViewAndSurvivesThePan) {
    open(1000, 500);
    view.CenterOn(0, 0);
    view.Pan(0, 0);
    // s = 240 * 18 / 100 = 43: the frame is 43 x 21.
    EXPECT_EQ(view.overviewFrame.right, 43);
    EXPECT_EQ(view.overviewFrame.bottom, 21);
    const COLORREF grey = brush_colour(LTGRAY_BRUSH);
    Surface s = pixels();
    for (auto [x, y] : {std::pair{0, 0}, std::pair{42, 0}, std::pair{0, 20}, std::pair{42, 20}, std::pair{20, 20}})
        EXPECT_EQ(pixel_at(s, x, y), kBlack) << x << "," << y;
    // The part in view: from (1, 1), 43 * 240 / 1000 = 10 wide and
    // 21 * 268 / 500 = 11 high, outlined in red and white inside.
    EXPECT_EQ(pixels_of(s, kRed), reference_rectangle(1, 1, 11, 12, 1, kRed));
    EXPECT_EQ(pixel_at(s, 5, 5), kWhite);
    EXPECT_EQ(pixel_at(s, 20, 10), grey);
    EXPECT_EQ(pixel_at(s, 43, 0), pattern_at(43, 0));
    EXPECT_EQ(pixel_at(s, 0, 21), pattern_at(0, 21));

    // A drag step: the frame still shows where the view was, the map moved
    // 20 pixels under and around it.
    view.Pan(10, 0);
    s = pixels();
    EXPECT_EQ(pixels_of(s, kRed), reference_rectangle(1, 1, 11, 12, 1, kRed));
    EXPECT_EQ(pixel_at(s, 42, 20), kBlack);
    EXPECT_EQ(pixel_at(s, 43, 0), pattern_at(63, 0));
    EXPECT_EQ(pixel_at(s, 100, 100), pattern_at(120, 100));
    view.Pan(100, 0);
    view.Pan(0, 0);
    s = pixels();
    EXPECT_EQ(pixels_of(s, kRed), reference_rectangle(43 * 220 / 1000, 1, 43 * 220 / 1000 + 10, 12, 1, kRed));

    // Refresh paints over the frame.
    view.Refresh();
    EXPECT_EQ(at(0, 0), pattern_at(220, 0));
    EXPECT_TRUE(pixels_of(pixels(), kRed).empty());
}

TEST_F(MapViewDrawing, ThePartInViewStaysInsideTheFrameOutline) {
    open(970, 500);
    view.SetZoomPercent(25);
    view.CenterOn(485, 0);  // 960 of 970 columns, all 500 rows
    view.Pan(0, 0);
    // Frame 43 x 22; the part would be 43 * 960 / 970 = 42 wide, but no
    // more than 41 fits inside the outline; its height is capped likewise.
    EXPECT_EQ(view.overviewFrame.right, 43);
    EXPECT_EQ(view.overviewFrame.bottom, 22);
    const Surface s = pixels();
    EXPECT_EQ(pixels_of(s, kRed), reference_rectangle(1, 1, 42, 21, 1, kRed));
    for (int y = 0; y < 22; ++y) EXPECT_EQ(pixel_at(s, 42, y), kBlack) << y;
    for (int x = 0; x < 43; ++x) EXPECT_EQ(pixel_at(s, x, 21), kBlack) << x;
}

TEST_F(MapViewDrawing, AnImageWithoutAreaDrawsNoOverviewAndDividesByNothing) {
    open(1000, 500);
    view.CenterOn(0, 0);
    for (auto [w, h] : {std::pair{0, 500}, std::pair{1000, 0}, std::pair{0, 0}}) {
        view.imageWidth = w;
        view.imageHeight = h;
        view.DrawOverview();
        view.Pan(3, 3);
        EXPECT_TRUE(IsRectEmpty(&view.overviewFrame));
    }
    EXPECT_TRUE(pixels_of(pixels(), kRed).empty());
}

TEST_F(MapViewDrawing, TheZoomLabelIsShownDuringThePauseAndPaintedOver) {
    open(2000, 1500);
    view.SetZoomPercent(50);
    view.CenterOnMiddle();
    view.ZoomOut();
    ASSERT_EQ(view.GetZoomPercent(), 35);
    // The label is " 35% " in the window's font, centred, on white in a
    // black frame 2 pixels out; it was on screen while the zoom paused.
    SIZE size{};
    HDC dc = GetDC(window);
    GetTextExtentExPointW(dc, u" 35% ", 5, 0, nullptr, nullptr, &size);
    ReleaseDC(window, dc);
    ASSERT_GT(size.cx, 0);
    const int x = 120 - size.cx / 2, y = 134 - size.cy / 2;
    const RECT box{x - 2, y - 2, x + size.cx + 2, y + size.cy + 2};
    const Surface& shown = headless::frame();
    auto screen = [&](int px, int py) { return pixel_at(shown, px, py + 26); };
    EXPECT_EQ(screen(box.left, box.top), kBlack);
    EXPECT_EQ(screen(box.right - 1, box.bottom - 1), kBlack);
    EXPECT_EQ(screen(box.left, (box.top + box.bottom) / 2), kBlack);
    EXPECT_EQ(screen(box.right - 1, box.top), kBlack);
    // Source (658, 368), 685 x 765.
    auto map = [](int px, int py) { return pattern_at(658 + (2 * px + 1) * 685 / 480, 368 + (2 * py + 1) * 765 / 536); };
    EXPECT_EQ(screen(box.right, box.top), map(box.right, box.top));
    EXPECT_EQ(screen(box.left - 1, box.top), map(box.left - 1, box.top));
    EXPECT_EQ(screen(box.left + 1, box.top + 1), kWhite);
    EXPECT_EQ(screen(box.right - 2, box.bottom - 2), kWhite);  // the trailing space
    bool text = false;
    for (int px = box.left; px < box.right; ++px) text = text || screen(px, 134) != kWhite;
    EXPECT_TRUE(text);
    // After the pause the map is drawn over it.
    EXPECT_EQ(at(box.left, box.top), map(box.left, box.top));
    EXPECT_EQ(at(box.left + 1, box.top + 1), map(box.left + 1, box.top + 1));
}

TEST_F(MapViewDrawing, MapRectanglesAreInsetByHalfThePenAndTakeInTheirFarEdges) {
    open(1000, 800);
    view.CenterOn(0, 0);
    view.DrawMapRect(10, 10, 20, 20, 2, kBlue);
    EXPECT_EQ(pixels_of(pixels(), kBlue), reference_rectangle(11, 11, 20, 20, 2, kBlue));

    // Offsets before the source origin truncate toward zero: -7 at 250 %
    // is -17, not -18. The 60 x 40 image is drawn at (45, 84).
    view.Close();
    view = CMapView{};
    open(60, 40);
    view.SetZoomPercent(250);
    view.CenterOnMiddle();
    ASSERT_EQ(view.destRect.x, 45);
    ASSERT_EQ(view.destRect.y, 84);
    view.DrawMapRect(-7, -7, 10, 10, 1, kBlue);
    EXPECT_EQ(pixels_of(pixels(), kBlue), reference_rectangle(45 - 17, 84 - 17, 45 + 25 + 1, 84 + 25 + 1, 1, kBlue));
}

TEST_F(MapViewDrawing, HostileMapRectanglesAreClampedNotWrapped) {
    open(1000, 800);
    view.SetZoomPercent(250);
    view.CenterOn(0, 0);
    // x from far left to far right: only the two horizontal edges, rows
    // 12 and 22, cross the window.
    view.DrawMapRect(INT32_MIN, 5, INT32_MAX, 9, 1, kBlue);
    EXPECT_EQ(pixels_of(pixels(), kBlue), reference_rectangle(INT32_MIN, 12, INT32_MAX, 23, 1, kBlue));
    view.Refresh();
    // Far beyond the window on every side: nothing shows.
    view.DrawMapRect(INT32_MAX - 5, INT32_MAX - 5, INT32_MAX, INT32_MAX, 2, kBlue);
    view.DrawMapRect(INT32_MIN, INT32_MIN, INT32_MIN + 5, INT32_MIN + 5, INT32_MAX, kBlue);
    view.DrawMapRect(0, 0, 10, 10, -3, kBlue);  // no pen of negative width
    EXPECT_TRUE(pixels_of(pixels(), kBlue).empty());
}

TEST_F(MapViewDrawing, LinesAreDarkGreyInWindowCoordinates) {
    open(1000, 800);
    view.CenterOnMiddle();
    view.DrawLine(30, 200, 30, 100, 2);
    const Pixels expected = reference(kDarkGrey, [](HDC dc) {
        HPEN pen = CreatePen(PS_SOLID, 2, kDarkGrey);
        HGDIOBJ old = SelectObject(dc, pen);
        const POINT points[2] = {{30, 200}, {30, 100}};
        Polyline(dc, points, 2);
        SelectObject(dc, old);
        DeleteObject(pen);
    });
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(pixels_of(pixels(), kDarkGrey), expected);
}

TEST_F(MapViewDrawing, DrawingLeavesNoObjectsBehind) {
    open(1000, 800);
    border(0, write_solid_image(dir, "top.twk", 60, 10, RGB(10, 200, 10), RGB(1, 2, 3)));
    const int before = live_gdi_objects();
    view.CenterOnMiddle();
    view.Pan(10, 10);
    view.ZoomIn();
    view.SetZoomPercent(25);
    view.Refresh();  // with borders and margin
    view.DrawLine(0, 0, 50, 50, 3);
    view.DrawMapRect(0, 0, 100, 100, 2, kBlue);
    view.DrawZoomLabel();
    EXPECT_EQ(live_gdi_objects(), before);
    EXPECT_EQ(view.windowSurface, nullptr);
}

TEST_F(MapViewDrawing, AViewWhoseWindowIsGoneStillKeepsItsViewport) {
    open(1000, 800);
    DestroyWindow(window);
    view.CenterOn(500, 400);
    view.Pan(10, 0);
    view.ZoomIn();
    view.DrawMapRect(0, 0, 10, 10, 2, kBlue);
    EXPECT_EQ(view.sourceRect.x, 400 + 120 - 80);  // the pan moved it, the zoom kept its centre
    EXPECT_EQ(view.windowSurface, nullptr);
}

}  // namespace
