#include "mapdb/map.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testing_support::TempDir;
using testing_support::to_u16;
using testing_support::to_u8;

class MapTest : public ::testing::Test {
protected:
    void load(const std::u16string& locations) {
        std::u16string source = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nHarbour,b,c\r\n<Images>\r\nm.twk\r\n" + locations;
        path = to_u16(dir.write("sub/HARBOUR.DAB", testing_support::encode_text(source, testing_support::TextEncoding::Ansi1252)));
        map.Open(path.c_str());
        ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    }
    std::string nearest(int x, int y, int radius = 100) {
        Location* l = map.FindNearestLocation(x, y, radius);
        return l ? to_u8(l->name) : "none";
    }
    void TearDown() override { map.Close(); }

    TempDir dir;
    std::u16string path;
    CMap map;
};

TEST_F(MapTest, OpenKeepsThePathAndItsDirectory) {
    load(u"");
    EXPECT_EQ(std::u16string(map.dabPath), path);
    EXPECT_EQ(to_u8(map.dabDirectory), dir.path() + "/sub/");
    EXPECT_EQ(std::u16string(map.MapName()), u"Harbour");
    EXPECT_EQ(map.mapView, nullptr);
    EXPECT_FALSE(map.imageLoaded);
    EXPECT_FALSE(map.hasSavedView);
    map.Close();
    EXPECT_FALSE(map.dataLoaded);
    EXPECT_EQ(map.recordArena, nullptr);
}

TEST_F(MapTest, APathTooLongForItsBufferIsNotOpened) {
    std::u16string longPath = to_u16(dir.path() + "/" + std::string(300, 'x') + ".DAB");
    CMap other;
    other.Open(longPath.c_str());
    EXPECT_FALSE(other.dataLoaded);
    EXPECT_EQ(to_u8(other.errorText), "Failed to open the database");
}

TEST_F(MapTest, NearestLocationCountsTheRadiusItself) {
    load(u"<Locations>\r\nA\r\n200,200,Quay\r\n</Locations>\r\n");
    EXPECT_EQ(nearest(300, 200), "Quay");
    EXPECT_EQ(nearest(301, 200), "none");
    EXPECT_EQ(nearest(260, 280), "Quay");  // 60, 80: exactly 100 away
    EXPECT_EQ(nearest(260, 281), "none");
}

TEST_F(MapTest, NearestLocationPrefersTheFirstOfEqualDistances) {
    load(u"<Locations>\r\nA\r\n300,100,East\r\n</Locations>\r\n"
         u"<Locations>\r\nB\r\n100,100,West\r\n200,0,North\r\n</Locations>\r\n");
    EXPECT_EQ(nearest(200, 100), "East");  // all three 100 away: the earlier category wins
    EXPECT_EQ(nearest(100, 0), "West");    // West and North 100 away: earlier in the list wins
    EXPECT_EQ(nearest(200, 10), "North");
}

TEST_F(MapTest, NearestLocationHandlesEmptyAndFarMaps) {
    load(u"<Locations>\r\nEmpty\r\n</Locations>\r\n");
    EXPECT_EQ(nearest(0, 0), "none");
    map.Close();
    load(u"<Locations>\r\nFar\r\n65535,65535,Corner\r\n</Locations>\r\n");
    // The squared distance exceeds 32 bits; it must neither overflow nor match.
    EXPECT_EQ(nearest(0, 0), "none");
    EXPECT_EQ(nearest(-2000000000, 2000000000, 100), "none");
    EXPECT_EQ(nearest(65535, 65535, 0), "Corner");
}

TEST(StripFileName, CutsAfterTheLastSeparator) {
    std::u16string path = u"/guide/maps/HOME.DAB";
    EXPECT_TRUE(StripFileName(path.data()));
    EXPECT_EQ(std::u16string(path.c_str()), u"/guide/maps/");
    std::u16string bare = u"HOME.DAB";
    EXPECT_TRUE(StripFileName(bare.data()));
    EXPECT_EQ(std::u16string(bare.c_str()), u"HOME.DAB");
    std::u16string empty;
    EXPECT_FALSE(StripFileName(empty.data()));
    EXPECT_FALSE(StripFileName(nullptr));
}

}  // namespace
