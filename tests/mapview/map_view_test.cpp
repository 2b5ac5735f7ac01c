// The map view's life and geometry: opening and its failures, border
// images, the viewport at each zoom, panning, zoom steps and the coordinate
// conversions, with the pixels the window shows read back.
#include "mapview/map_view.h"

#include "platform/testing/headless.h"
#include "platform/gdi/object_table.h"
#include "platform/system/memory.h"
#include "tests/support/map_window.h"
#include "tests/support/test_files.h"
#include "tests/support/twk_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

using namespace testing_support;
namespace headless = platform::headless;
using platform::gdi::ObjectKind;

constexpr COLORREF kWhite = RGB(255, 255, 255);

int live(ObjectKind kind) { return platform::gdi::live_object_count(kind); }

COLORREF brush_colour(int stock) {
    LOGBRUSH lb{};
    GetObjectW(GetStockObject(stock), sizeof lb, &lb);
    return lb.lbColor;
}

class MapView : public ::testing::Test {
protected:
    void SetUp() override { window = make_map_window(240, 268); }
    void TearDown() override {
        platform::faults::clear_allocation_faults();
        view.Close();
    }

    void open(int width, int height) {
        path = to_u16(write_pattern_image(dir, "map.twk", width, height));
        view.Open(path.c_str(), window);
        ASSERT_TRUE(view.open) << to_u8(view.errorText);
    }
    std::string error() const {
        WCHAR text[MAX_PATH];
        view.GetError(text);
        return to_u8(text);
    }
    // The window shows the image 1:1 from the source origin.
    void expect_unscaled_map() {
        const auto pixels = window_pixels(window);
        int wrong = 0;
        for (int y = 0; y < view.destRect.height; ++y) {
            for (int x = 0; x < view.destRect.width; ++x) {
                wrong += pixel_at(pixels, view.destRect.x + x, view.destRect.y + y) !=
                         pattern_at(view.sourceRect.x + x, view.sourceRect.y + y);
            }
        }
        EXPECT_EQ(wrong, 0);
    }
    std::pair<int, int> origin() const { return {view.sourceRect.x, view.sourceRect.y}; }

    TempDir dir;
    HWND window = nullptr;
    CMapView view;
    std::u16string path;
};

int count_not(const platform::Surface& pixels, COLORREF colour) {
    int n = 0;
    for (int y = 0; y < pixels.height(); ++y)
        for (int x = 0; x < pixels.width(); ++x) n += pixel_at(pixels, x, y) != colour;
    return n;
}

TEST_F(MapView, OpenTakesTheImageAndTheClientSizeAndDrawsNothing) {
    open(1000, 800);
    EXPECT_EQ(view.imageWidth, 1000);
    EXPECT_EQ(view.imageHeight, 800);
    EXPECT_EQ(view.bitmapDescription.bmBitsPixel, 8);
    EXPECT_EQ(view.clientWidth, 240);
    EXPECT_EQ(view.clientHeight, 268);
    EXPECT_EQ(view.GetZoomPercent(), 100);
    EXPECT_EQ(view.sourceRect.width, 0);
    EXPECT_EQ(view.destRect.width, 0);
    EXPECT_EQ(std::u16string(view.imagePath), path);
    EXPECT_EQ(view.window, window);
    EXPECT_EQ(view.windowSurface, nullptr);
    EXPECT_EQ(count_not(window_pixels(window), kWhite), 0);
}

TEST_F(MapView, DecodeFailuresBecomeMessagesAndLeaveNothingHeld) {
    const int bitmaps = live(ObjectKind::Bitmap), dcs = live(ObjectKind::DeviceContext);
    auto attempt = [&](const std::string& file) {
        CMapView v;
        std::u16string p = to_u16(file);
        v.Open(p.c_str(), window);
        EXPECT_FALSE(v.open);
        EXPECT_EQ(live(ObjectKind::Bitmap), bitmaps);
        EXPECT_EQ(live(ObjectKind::DeviceContext), dcs);
        WCHAR text[MAX_PATH];
        v.GetError(text);
        v.Close();
        return to_u8(text);
    };
    const std::string missing = dir.file("missing.twk");
    EXPECT_EQ(attempt(missing), "Failed to open " + missing);
    const std::string gif = dir.write("map.gif", "GIF89a and more");
    EXPECT_EQ(attempt(gif), gif + " is not a valid image format");
    TwkBuilder noTable;
    noTable.screenFlags = 0;
    const std::string unsupported = dir.write("flat.twk", noTable.bytes());
    EXPECT_EQ(attempt(unsupported), unsupported + " is not a supported format");
    const std::string good = write_pattern_image(dir, "good.twk", 20, 20);
    platform::faults::fail_allocations(platform::AllocKind::Bitmap, 0, 1);
    EXPECT_EQ(attempt(good), "Insufficient memory for " + good);

    // A message longer than the buffer is cut to 259 characters.
    const std::string longMissing = dir.file(std::string(240, 'x') + ".twk");
    const std::string cut = attempt(longMissing);
    EXPECT_EQ(cut.size(), 259u);
    EXPECT_EQ(cut, ("Failed to open " + longMissing).substr(0, 259));
}

TEST_F(MapView, AFailedOpenKeepsWhatItObtainedUntilClose) {
    const std::string file = write_pattern_image(dir, "map.twk", 30, 20);
    const std::u16string p = to_u16(file);
    struct Case {
        platform::AllocKind fault;
        const char* message;
        int bitmapsHeld;
        int dcsHeld;
    };
    const Case cases[] = {
        {platform::AllocKind::DeviceContext, "CreateCompatibleDC() failed", 1, 0},
        {platform::AllocKind::Selection, "SelectObject() failed", 1, 1},
        {platform::AllocKind::Description, "GetObject() failed", 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        const int bitmaps = live(ObjectKind::Bitmap), dcs = live(ObjectKind::DeviceContext);
        const int all = live_gdi_objects();
        platform::faults::fail_allocations(c.fault, 0, 1);
        CMapView v;
        v.Open(p.c_str(), window);
        platform::faults::clear_allocation_faults();
        EXPECT_FALSE(v.open);
        WCHAR text[MAX_PATH];
        v.GetError(text);
        EXPECT_EQ(to_u8(text), c.message);
        EXPECT_EQ(live(ObjectKind::Bitmap), bitmaps + c.bitmapsHeld);
        EXPECT_EQ(live(ObjectKind::DeviceContext), dcs + c.dcsHeld);
        // Not open: nothing draws and nothing converts.
        v.CenterOnMiddle();
        v.Pan(5, 5);
        std::int32_t x = 1, y = 1;
        EXPECT_FALSE(v.ScreenToMap(&x, &y));
        v.Close();
        EXPECT_EQ(live_gdi_objects(), all);
    }
    EXPECT_EQ(count_not(window_pixels(window), kWhite), 0);
}

TEST_F(MapView, BorderImagesGoIntoTheirSlotsAndAreReleasedOnce) {
    open(100, 50);
    const int before = live_gdi_objects();
    const std::u16string top = to_u16(write_solid_image(dir, "top.twk", 40, 8, RGB(10, 20, 30), RGB(1, 2, 3)));
    const std::u16string other = to_u16(write_solid_image(dir, "other.twk", 30, 6, RGB(90, 80, 70), RGB(4, 5, 6)));
    const std::u16string missing = to_u16(dir.file("missing.twk"));

    EXPECT_FALSE(view.LoadBorderImage(top.c_str(), 4));
    EXPECT_FALSE(view.LoadBorderImage(top.c_str(), -1));
    EXPECT_FALSE(view.LoadBorderImage(missing.c_str(), 0));
    EXPECT_FALSE(view.hasBorders);
    EXPECT_EQ(live_gdi_objects(), before);
    for (const BorderSlot& slot : view.borderSlots) EXPECT_EQ(slot.bitmap, nullptr);

    ASSERT_TRUE(view.LoadBorderImage(top.c_str(), 0));
    EXPECT_TRUE(view.hasBorders);
    EXPECT_EQ(live_gdi_objects(), before + 2);  // the image and its memory DC
    HBITMAP first = view.borderSlots[0].bitmap;
    EXPECT_NE(first, nullptr);

    // A second image for the same edge takes the slot; the first is gone.
    ASSERT_TRUE(view.LoadBorderImage(other.c_str(), 0));
    EXPECT_NE(view.borderSlots[0].bitmap, first);
    EXPECT_EQ(live_gdi_objects(), before + 2);
    BITMAP bm{};
    GetObjectW(view.borderSlots[0].bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmWidth, 30);
    // One that fails keeps what the slot has.
    HBITMAP second = view.borderSlots[0].bitmap;
    EXPECT_FALSE(view.LoadBorderImage(missing.c_str(), 0));
    platform::faults::fail_allocations(platform::AllocKind::DeviceContext, 0, 1);
    EXPECT_FALSE(view.LoadBorderImage(top.c_str(), 0));
    platform::faults::fail_allocations(platform::AllocKind::Selection, 0, 1);
    EXPECT_FALSE(view.LoadBorderImage(top.c_str(), 0));
    EXPECT_EQ(view.borderSlots[0].bitmap, second);
    EXPECT_EQ(live_gdi_objects(), before + 2);

    ASSERT_TRUE(view.LoadBorderImage(top.c_str(), 3));
    EXPECT_EQ(live_gdi_objects(), before + 4);
    view.Close();
    view.Close();  // a second Close releases nothing twice
    EXPECT_EQ(live_gdi_objects(), before - 2);  // the map's bitmap and DC went too
}

TEST_F(MapView, SourceSizeFollowsTheZoom) {
    open(1000, 800);
    // Each zoom with the window filled: source = client * 100 / zoom.
    const std::pair<int, std::pair<int, int>> expected[] = {
        {250, {96, 107}}, {200, {120, 134}}, {150, {160, 178}}, {100, {240, 268}}, {50, {480, 536}}, {35, {685, 765}},
    };
    for (const auto& [zoom, size] : expected) {
        SCOPED_TRACE(zoom);
        EXPECT_EQ(view.SetZoomPercent(zoom), zoom);
        view.CenterOnMiddle();
        EXPECT_EQ(view.sourceRect.width, size.first);
        EXPECT_EQ(view.sourceRect.height, size.second);
        EXPECT_EQ(view.sourceRect.x, 500 - size.first / 2);
        EXPECT_EQ(view.destRect.x, 0);
        EXPECT_EQ(view.destRect.width, 240);
        EXPECT_EQ(view.destRect.height, 268);
    }
    // At 25 % the window would take 1072 rows of an 800-row image: all of
    // them, 200 high, centred with 34 above and 34 below.
    view.SetZoomPercent(25);
    view.CenterOnMiddle();
    EXPECT_EQ(view.sourceRect.width, 960);
    EXPECT_EQ(view.sourceRect.x, 20);
    EXPECT_EQ(view.sourceRect.y, 0);
    EXPECT_EQ(view.sourceRect.height, 800);
    EXPECT_EQ(view.destRect.y, 34);
    EXPECT_EQ(view.destRect.height, 200);
}

TEST_F(MapView, ASmallImageIsCentredWithTheOddPixelAfterIt) {
    open(101, 51);
    const COLORREF grey = brush_colour(GRAY_BRUSH);
    for (auto [cx, cy] : {std::pair{0, 0}, std::pair{100, 50}, std::pair{-5000, 90000}}) {
        view.CenterOn(cx, cy);
        EXPECT_EQ(view.sourceRect.x, 0);
        EXPECT_EQ(view.sourceRect.y, 0);
        EXPECT_EQ(view.sourceRect.width, 101);
        EXPECT_EQ(view.sourceRect.height, 51);
        EXPECT_EQ(view.destRect.x, 69);  // 69 to the left, 70 to the right
        EXPECT_EQ(view.destRect.y, 108);  // 108 above, 109 below
        EXPECT_EQ(view.destRect.width, 101);
        EXPECT_EQ(view.destRect.height, 51);
    }
    expect_unscaled_map();
    const auto pixels = window_pixels(window);
    EXPECT_EQ(pixel_at(pixels, 68, 120), grey);
    EXPECT_EQ(pixel_at(pixels, 170, 120), grey);
    EXPECT_EQ(pixel_at(pixels, 120, 107), grey);
    EXPECT_EQ(pixel_at(pixels, 120, 159), grey);
    EXPECT_EQ(pixel_at(pixels, 239, 267), grey);
    EXPECT_EQ(pixel_at(pixels, 0, 0), grey);
    // 240 x 268 minus the map.
    int greys = 0;
    for (int y = 0; y < 268; ++y)
        for (int x = 0; x < 240; ++x) greys += pixel_at(pixels, x, y) == grey;
    EXPECT_EQ(greys, 240 * 268 - 101 * 51);
}

TEST_F(MapView, AnAxisWhereTheImageFitsDoesNotPan) {
    open(1000, 51);
    view.CenterOn(500, 40);
    EXPECT_EQ(view.destRect.y, 108);
    EXPECT_EQ(view.sourceRect.x, 380);
    view.Pan(10, 10);
    EXPECT_EQ(view.sourceRect.x, 400);
    EXPECT_EQ(view.sourceRect.y, 0);
    EXPECT_EQ(view.destRect.y, 108);
    view.Refresh();
    expect_unscaled_map();
}

TEST_F(MapView, CentringNearTheEdgesKeepsTheImageInTheWindow) {
    open(1000, 800);
    view.CenterOn(990, 790);
    EXPECT_EQ(origin(), std::pair(760, 532));
    EXPECT_EQ(pixel_at(window_pixels(window), 239, 267), pattern_at(999, 799));
    view.CenterOn(5, 5);
    EXPECT_EQ(origin(), std::pair(0, 0));
    expect_unscaled_map();
    view.CenterOn(INT32_MIN, INT32_MAX);
    EXPECT_EQ(origin(), std::pair(0, 532));
    view.CenterOn(INT32_MAX, INT32_MIN);
    EXPECT_EQ(origin(), std::pair(760, 0));

    // Refresh keeps the origin, also across a zoom change, as long as the
    // window's worth still fits.
    view.CenterOn(500, 400);
    EXPECT_EQ(origin(), std::pair(380, 266));
    view.Refresh();
    EXPECT_EQ(origin(), std::pair(380, 266));
    expect_unscaled_map();
    view.SetZoomPercent(250);
    view.Refresh();
    EXPECT_EQ(origin(), std::pair(380, 266));
    EXPECT_EQ(view.sourceRect.width, 96);
    view.SetZoomPercent(25);
    view.Refresh();
    EXPECT_EQ(origin(), std::pair(40, 0));  // 960 wide: at most 1000 - 960
}

TEST_F(MapView, PanStepsGrowAsTheScaleShrinks) {
    open(2000, 1500);
    const std::pair<int, int> steps[] = {{250, 2}, {200, 2}, {150, 2}, {100, 2}, {50, 2}, {35, 2}, {25, 3}};
    for (auto [zoom, step] : steps) {
        SCOPED_TRACE(zoom);
        view.SetZoomPercent(zoom);
        view.CenterOnMiddle();
        const auto [x, y] = origin();
        view.Pan(10, 0);
        EXPECT_EQ(origin(), std::pair(x + 10 * step, y));
        view.Pan(0, -10);
        EXPECT_EQ(origin(), std::pair(x + 10 * step, y - 10 * step));
    }
    // Pans stop at the image's edges, however far they go.
    view.SetZoomPercent(100);
    view.CenterOnMiddle();
    view.Pan(-100000, 5);
    EXPECT_EQ(origin(), std::pair(0, 1500 / 2 - 134 + 10));
    view.Pan(INT32_MAX, INT32_MAX);
    EXPECT_EQ(origin(), std::pair(2000 - 240, 1500 - 268));
    view.Pan(INT32_MIN, INT32_MIN);
    EXPECT_EQ(origin(), std::pair(0, 0));
    view.Pan(0, 0);
    EXPECT_EQ(origin(), std::pair(0, 0));
    view.Refresh();
    expect_unscaled_map();
}

TEST_F(MapView, PanDoesNothingWhenTheWholeImageIsInView) {
    open(200, 100);
    view.CenterOnMiddle();
    const auto before = window_pixels(window);
    view.Pan(10, 10);
    view.DrawOverview();
    const auto after = window_pixels(window);
    EXPECT_TRUE(std::equal(before.pixels(), before.pixels() + 240 * 268, after.pixels()));
    EXPECT_EQ(origin(), std::pair(0, 0));
}

TEST_F(MapView, ZoomStepsKeepTheCentreAndPauseOnce) {
    open(2000, 1500);
    view.CenterOn(1000, 700);
    const auto t0 = headless::now();
    const int presents = headless::present_count();
    view.ZoomIn();
    EXPECT_EQ(view.GetZoomPercent(), 150);
    EXPECT_EQ(headless::now(), t0 + 200);
    EXPECT_EQ(headless::present_count(), presents + 1);  // the label, shown during the pause
    std::int32_t x = 0, y = 0;
    view.GetCenter(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(1000, 700));
    EXPECT_EQ(view.sourceRect.width, 160);
    view.ZoomOut();
    view.ZoomOut();
    EXPECT_EQ(view.GetZoomPercent(), 50);
    view.GetCenter(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(1000, 700));
    EXPECT_EQ(headless::now(), t0 + 600);

    // At the ends of the table nothing happens at all.
    view.SetZoomPercent(250);
    view.CenterOnMiddle();
    auto pixels = window_pixels(window);
    const auto t1 = headless::now();
    view.ZoomIn();
    EXPECT_EQ(view.GetZoomPercent(), 250);
    view.SetZoomPercent(25);
    view.ZoomOut();
    EXPECT_EQ(view.GetZoomPercent(), 25);
    EXPECT_EQ(headless::now(), t1);
    auto same = window_pixels(window);
    EXPECT_TRUE(std::equal(pixels.pixels(), pixels.pixels() + 240 * 268, same.pixels()));
}

TEST_F(MapView, CycleZoomGoesRoundTheTable) {
    open(2000, 1500);
    view.CenterOnMiddle();
    std::vector<int> seen;
    for (int i = 0; i < 8; ++i) {
        const auto t = headless::now();
        view.CycleZoom();
        EXPECT_EQ(headless::now(), t + 200);  // one label each, also from 250 % to 25 %
        seen.push_back(view.GetZoomPercent());
    }
    EXPECT_EQ(seen, (std::vector<int>{150, 200, 250, 25, 35, 50, 100, 150}));
}

TEST_F(MapView, SetZoomPercentTakesOnlyTableEntries) {
    open(100, 100);
    EXPECT_EQ(view.SetZoomPercent(35), 35);
    EXPECT_EQ(view.GetZoomPercent(), 35);
    EXPECT_EQ(view.SetZoomPercent(75), 100);
    EXPECT_EQ(view.GetZoomPercent(), 100);
    EXPECT_EQ(view.SetZoomPercent(250), 250);
    EXPECT_EQ(view.SetZoomPercent(0), 100);
    EXPECT_EQ(view.SetZoomPercent(25), 25);
    EXPECT_EQ(view.SetZoomPercent(-25), 100);
    EXPECT_EQ(count_not(window_pixels(window), kWhite), 0);
}

TEST_F(MapView, ConversionsAcceptTheDrawnMapWithItsFarEdges) {
    open(101, 51);
    view.CenterOnMiddle();  // drawn at (69, 108), 101 x 51
    std::int32_t x = 170, y = 159;
    EXPECT_TRUE(view.ScreenToMap(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(101, 51));
    x = 69, y = 108;
    EXPECT_TRUE(view.ScreenToMap(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(0, 0));
    for (auto [px, py] : {std::pair{68, 120}, std::pair{171, 120}, std::pair{100, 107}, std::pair{100, 160},
                          std::pair{INT32_MIN, 120}, std::pair{100, INT32_MAX}}) {
        x = px, y = py;
        EXPECT_FALSE(view.ScreenToMap(&x, &y)) << px << "," << py;
    }
    x = 101, y = 51;
    EXPECT_TRUE(view.MapToScreen(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(170, 159));
    x = 102, y = 10;
    EXPECT_FALSE(view.MapToScreen(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(102, 10));  // untouched

    view.Close();
    open(1000, 800);
    view.SetZoomPercent(250);
    view.CenterOn(500, 400);  // source (452, 347), 96 x 107
    x = 240, y = 268;
    EXPECT_TRUE(view.ScreenToMap(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(452 + 96, 347 + 107));
    x = 453, y = 347;
    EXPECT_TRUE(view.MapToScreen(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(2, 0));  // 250 / 100, truncated
    x = 451, y = 400;
    EXPECT_FALSE(view.MapToScreen(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(451, 400));
    x = 452 + 96, y = 347 + 107;
    EXPECT_TRUE(view.MapToScreen(&x, &y));
    EXPECT_EQ(std::pair(x, y), std::pair(240, 267));  // 107 * 2.5 = 267
    x = INT32_MAX, y = INT32_MIN;
    EXPECT_FALSE(view.MapToScreen(&x, &y));
    // Window to map and back lands on the same window pixel at 100 %.
    view.SetZoomPercent(100);
    view.CenterOn(500, 400);
    for (int wx = 0; wx <= 240; wx += 17) {
        x = wx, y = 200;
        ASSERT_TRUE(view.ScreenToMap(&x, &y));
        ASSERT_TRUE(view.MapToScreen(&x, &y));
        EXPECT_EQ(std::pair(x, y), std::pair(wx, 200));
    }
}

TEST_F(MapView, AViewThatIsNotOpenDoesNothing) {
    CMapView idle;
    idle.window = window;
    idle.Refresh();
    idle.CenterOn(1, 1);
    idle.CenterOnMiddle();
    idle.Pan(10, 10);
    idle.ZoomIn();
    idle.ZoomOut();
    idle.CycleZoom();
    idle.DrawOverview();
    idle.DrawZoomLabel();
    idle.DrawLine(0, 0, 100, 100, 2);
    idle.DrawMapRect(0, 0, 50, 50, 2, RGB(0, 0, 255));
    EXPECT_EQ(headless::now(), 0u);
    EXPECT_EQ(count_not(window_pixels(window), kWhite), 0);
    std::int32_t x = 7, y = 8;
    idle.GetCenter(&x, &y);
    EXPECT_EQ(std::pair(x, y), std::pair(7, 8));
    EXPECT_FALSE(idle.ScreenToMap(&x, &y));
    idle.Close();
}

}  // namespace
