// A map's image: loading it with its border images into a view, the ways
// that fails, unloading, and closing a map that has one.
#include "mapdb/map.h"
#include "mapview/map_view.h"
#include "platform/system/memory.h"
#include "tests/support/map_window.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace testing_support;

class MapImage : public ::testing::Test {
protected:
    void SetUp() override {
        window = make_map_window(240, 268);
        objects = live_gdi_objects();
    }
    void TearDown() override {
        platform::faults::clear_allocation_faults();
        map.Close();
        EXPECT_EQ(live_gdi_objects(), objects);
    }

    // A database in sub/ naming image as its map image and the given
    // background-image lines.
    void load(const std::string& image, const std::u16string& borders = u"") {
        std::u16string source = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nTown,b,c\r\n<Images>\r\n" + to_u16(image) +
                                u"\r\n<Background Images>\r\n" + borders + u"</Background Images>\r\n";
        path = to_u16(dir.write("sub/TOWN.DAB", encode_text(source, TextEncoding::Ansi1252)));
        map.Open(path.c_str());
        ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    }
    std::string error() const {
        WCHAR text[MAX_PATH];
        map.GetError(text);
        return to_u8(text);
    }

    TempDir dir;
    HWND window = nullptr;
    int objects = 0;
    std::u16string path;
    CMap map;
};

TEST_F(MapImage, LoadsTheImageAndEveryBorderThatCanBeFound) {
    write_pattern_image(dir, "sub/town.twk", 300, 200);
    write_solid_image(dir, "sub/top.twk", 40, 10, RGB(200, 0, 0), RGB(1, 1, 1));
    write_solid_image(dir, "sub/left.twk", 10, 40, RGB(0, 200, 0), RGB(2, 2, 2));
    load("town.twk", u"top.twk,0\r\nmissing.twk,1\r\nleft.twk,3\r\nleft.twk,9\r\n");
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_TRUE(map.imageLoaded);
    ASSERT_NE(map.mapView, nullptr);
    CMapView& view = *map.mapView;
    EXPECT_TRUE(view.open);
    EXPECT_EQ(view.imageWidth, 300);
    EXPECT_EQ(to_u8(view.imagePath), dir.path() + "/sub/town.twk");
    EXPECT_NE(view.borderSlots[0].bitmap, nullptr);
    EXPECT_EQ(view.borderSlots[1].bitmap, nullptr);  // its file is missing
    EXPECT_EQ(view.borderSlots[2].bitmap, nullptr);
    EXPECT_NE(view.borderSlots[3].bitmap, nullptr);
    EXPECT_TRUE(view.hasBorders);

    // Shown at 25 %: 75 x 50 in the middle, the left image's corner as the
    // margin colour.
    view.SetZoomPercent(25);
    view.CenterOnMiddle();
    const auto pixels = window_pixels(window);
    EXPECT_EQ(pixel_at(pixels, 82, 109), pattern_at(2, 2));
    EXPECT_EQ(pixel_at(pixels, 130, 5), RGB(200, 0, 0));
    EXPECT_EQ(pixel_at(pixels, 5, 130), RGB(0, 200, 0));
    EXPECT_EQ(pixel_at(pixels, 200, 200), RGB(2, 2, 2));
}

TEST_F(MapImage, AnImageThatDoesNotLoadLeavesNoView) {
    load("absent.twk");
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_FALSE(map.imageLoaded);
    EXPECT_EQ(map.mapView, nullptr);
    EXPECT_EQ(error(), "Failed to open " + dir.path() + "/sub/absent.twk");

    // The same map can be asked again once its image is there.
    write_pattern_image(dir, "sub/absent.twk", 20, 20);
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_TRUE(map.imageLoaded);
}

TEST_F(MapImage, NoImageNameAndPathsThatDoNotFitAreRefused) {
    load("town.twk");
    WCHAR* name = map.imageName;
    map.imageName = nullptr;
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_EQ(error(), "No Database Image Name Available");
    map.imageName = name;

    // Directory and name together beyond 259 characters: a cut path would
    // name another file, so nothing is opened.
    CMap deep;
    std::u16string source = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nDeep,b,c\r\n<Images>\r\n" +
                            std::u16string(250, u'n') + u".twk\r\n";
    std::u16string deepPath = to_u16(dir.write("DEEP.DAB", encode_text(source, TextEncoding::Ansi1252)));
    deep.Open(deepPath.c_str());
    ASSERT_TRUE(deep.dataLoaded);
    EXPECT_FALSE(deep.LoadImage(window));
    EXPECT_EQ(deep.mapView, nullptr);
    WCHAR text[MAX_PATH];
    deep.GetError(text);
    EXPECT_EQ(to_u8(text).substr(0, 16), "Failed to open n");
    deep.Close();
}

TEST_F(MapImage, APathOfExactlyMaxPathUnitsIsRefusedAndOneLessOpens) {
    // The directory is dir/sub/; the name fills the rest.
    const std::size_t directory = dir.path().size() + 5;
    const std::string fits = std::string(MAX_PATH - 1 - directory - 4, 'f') + ".twk";
    const std::string over = std::string(MAX_PATH - directory - 4, 'f') + ".twk";
    ASSERT_EQ(directory + fits.size(), static_cast<std::size_t>(MAX_PATH - 1));
    write_pattern_image(dir, "sub/" + fits, 20, 20);
    write_pattern_image(dir, "sub/" + over, 20, 20);
    load(fits);
    ASSERT_TRUE(map.LoadImage(window)) << error();
    EXPECT_EQ(to_u8(map.mapView->imagePath), dir.path() + "/sub/" + fits);
    map.Close();
    load(over);
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_EQ(error(), "Failed to open " + over);
}

TEST_F(MapImage, NamesMatchWithoutRegardToCaseWhenTheExactNameIsMissing) {
    // A guide made where letter case does not count.
    write_pattern_image(dir, "sub/harbour.twk", 30, 30);
    write_solid_image(dir, "sub/edge.twk", 8, 8, RGB(200, 0, 0), RGB(1, 1, 1));
    load("HARBOUR.TWK", u"EDGE.TWK,0\r\n");
    ASSERT_TRUE(map.LoadImage(window)) << error();
    EXPECT_EQ(to_u8(map.mapView->imagePath), dir.path() + "/sub/harbour.twk");
    EXPECT_NE(map.mapView->borderSlots[0].bitmap, nullptr);
    map.Close();

    // The exact name wins; without it, the first in sorted order ("H" sorts
    // before "h").
    write_pattern_image(dir, "sub/Harbour.twk", 30, 30);
    load("harbour.twk");
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_EQ(to_u8(map.mapView->imagePath), dir.path() + "/sub/harbour.twk");
    map.Close();
    load("HARBOUR.twk");
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_EQ(to_u8(map.mapView->imagePath), dir.path() + "/sub/Harbour.twk");
    map.Close();

    // A name is never a pattern, and a directory is no image.
    load("*.twk");
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_EQ(error(), "Failed to open " + dir.path() + "/sub/*.twk");
    map.Close();
    dir.write("sub/Folder.twk/inside", "x");
    write_pattern_image(dir, "sub/folder.TWK", 30, 30);
    load("FOLDER.TWK");
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_EQ(to_u8(map.mapView->imagePath), dir.path() + "/sub/folder.TWK");
}

TEST_F(MapImage, AViewThatCannotBeAllocatedFailsTheLoad) {
    write_pattern_image(dir, "sub/town.twk", 20, 20);
    load("town.twk");
    platform::faults::fail_allocations(platform::AllocKind::Local, 0, 1);
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_EQ(map.mapView, nullptr);
    EXPECT_FALSE(map.imageLoaded);
    EXPECT_EQ(error(), "Insufficient memory for " + dir.path() + "/sub/town.twk");
    // A failure inside the view's Open comes back in its own words.
    platform::faults::fail_allocations(platform::AllocKind::Selection, 0, 1);
    EXPECT_FALSE(map.LoadImage(window));
    EXPECT_EQ(error(), "SelectObject() failed");
    EXPECT_EQ(map.mapView, nullptr);
}

TEST_F(MapImage, UnloadAndCloseReleaseTheView) {
    write_pattern_image(dir, "sub/town.twk", 20, 20);
    write_solid_image(dir, "sub/top.twk", 4, 4, RGB(1, 2, 3), RGB(4, 5, 6));
    load("town.twk", u"top.twk,0\r\n");
    map.UnloadImage();  // without an image: nothing happens
    EXPECT_EQ(map.mapView, nullptr);
    ASSERT_TRUE(map.LoadImage(window));
    EXPECT_GT(live_gdi_objects(), objects);
    map.UnloadImage();
    EXPECT_EQ(map.mapView, nullptr);
    EXPECT_FALSE(map.imageLoaded);
    EXPECT_EQ(live_gdi_objects(), objects);
    ASSERT_TRUE(map.LoadImage(window));
    const int loaded = live_gdi_objects();
    ASSERT_TRUE(map.LoadImage(window));  // again: the first view does not stay behind
    EXPECT_EQ(live_gdi_objects(), loaded);

    // Closing frees the records and the view together.
    map.Close();
    EXPECT_FALSE(map.dataLoaded);
    EXPECT_EQ(map.recordArena, nullptr);
    EXPECT_FALSE(map.imageLoaded);
    EXPECT_EQ(map.mapView, nullptr);
    EXPECT_EQ(live_gdi_objects(), objects);
}

}  // namespace
