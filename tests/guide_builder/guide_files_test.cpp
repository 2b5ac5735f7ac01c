// What the builder writes: databases that the program's parser reads back
// exactly, the texts made from the data, and the country matching.
#include "mapdb/map.h"
#include "tests/support/test_files.h"
#include "tools/guide_builder/dab_writer.h"
#include "tools/guide_builder/guide_builder.h"
#include "tools/guide_builder/guide_data.h"

#include <nlohmann/json.hpp>

#include <gtest/gtest.h>

namespace {

using testing_support::TempDir;
using testing_support::to_u16;
using testing_support::to_u8;

DabDatabase sample() {
    DabDatabase db;
    db.name = "World";
    db.secondText = "Countries by continent";
    db.thirdText = "Demo";
    db.topics.push_back({"About these maps", "<P>Scale 1:50 million, a pixel is 25 km.</P>"});
    db.categories.push_back({"Megacities", {{1420, 236, "Tokyo", "Capital of Japan \xC2\xB7 population 37\xC2\xA0" "732\xC2\xA0" "000"},
                                            {0, 65535, "Edge", ""}}});
    db.relatedMaps.push_back({"World", {689, 80, 1000, 244}, "Europe", {7, 0, 1072, 874}});
    db.image = "world.twk";
    db.borderImages = {{"world-title.twk", 0}, {"world-scale.twk", 2}};
    return db;
}

TEST(DabWriter, WritesCodePage1252WithCrLfThatTheParserReadsBack) {
    std::string error;
    std::optional<std::string> bytes = write_dab(sample(), error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(bytes->rfind("<Mapfolio Version>\r\n1\r\n<Name>\r\nWorld,Countries by continent,Demo\r\n", 0), 0u);
    EXPECT_EQ(bytes->find('\n'), bytes->find("\r\n") + 1);
    EXPECT_EQ(bytes->find("\n\n"), std::string::npos);
    EXPECT_NE(bytes->find("population 37\xA0" "732\xA0" "000"), std::string::npos);  // 1252 bytes, no UTF-8
    TempDir dir;
    std::u16string path = to_u16(dir.write("HOME.DAB", *bytes));
    CMap map;
    map.Open(path.c_str());
    ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    EXPECT_EQ(to_u8(map.MapName()), "World");
    ASSERT_NE(map.topicList, nullptr);
    EXPECT_EQ(to_u8(map.topicList->text), "<P>Scale 1:50 million, a pixel is 25 km.</P>");
    const Location* tokyo = map.categoryList->firstLocation;
    EXPECT_EQ(LocationX(tokyo->position), 1420);
    EXPECT_EQ(LocationY(tokyo->position), 236);
    EXPECT_EQ(to_u8(tokyo->description), "Capital of Japan \xC2\xB7 population 37\xC2\xA0" "732\xC2\xA0" "000");
    const WCHAR* noDescription = tokyo->next->description;  // records are packed: copy, never bind
    EXPECT_EQ(noDescription, nullptr);
    EXPECT_EQ(LocationY(tokyo->next->position), 65535);
    const RelatedMap* link = map.relatedMapList;
    EXPECT_EQ(to_u8(link->targetMapName), "Europe");
    EXPECT_EQ(link->hotRect.right, 1000);
    EXPECT_EQ(link->targetRect.bottom, 874);
    EXPECT_EQ(map.backgroundImageList->next->borderSlot, 2);
    EXPECT_EQ(to_u8(map.imageName), "world.twk");
    map.Close();
}

TEST(DabWriter, UsesUtf8WithItsMarkOnlyForTextOutside1252) {
    DabDatabase db = sample();
    db.categories[0].places[0].name = "H\xC3\xA0 N\xE1\xBB\x99i";  // Hà Nội: ộ is not in 1252
    std::string error;
    std::optional<std::string> bytes = write_dab(db, error);
    ASSERT_TRUE(bytes) << error;
    EXPECT_EQ(bytes->rfind("\xEF\xBB\xBF<Mapfolio Version>\r\n", 0), 0u);
    TempDir dir;
    std::u16string path = to_u16(dir.write("HOME.DAB", *bytes));
    CMap map;
    map.Open(path.c_str());
    ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    EXPECT_EQ(to_u8(map.categoryList->firstLocation->name), "H\xC3\xA0 N\xE1\xBB\x99i");
    map.Close();
}

TEST(DabWriter, RefusesWhatWouldNotReadBackAsWritten) {
    auto refuses = [](DabDatabase db, const std::string& why) {
        std::string error;
        EXPECT_FALSE(write_dab(db, error)) << why;
        EXPECT_NE(error.find(why), std::string::npos) << error;
    };
    DabDatabase comma = sample();
    comma.categories[0].places[0].description = "Tokyo, Japan";
    refuses(comma, "comma");
    DabDatabase far = sample();
    far.categories[0].places[0].x = 65536;
    refuses(far, "outside 0..65535");
    DabDatabase negative = sample();
    negative.categories[0].places[0].y = -1;
    refuses(negative, "outside 0..65535");
    DabDatabase tagLike = sample();
    tagLike.topics[0].html = "<Locations> are listed below";
    refuses(tagLike, "reads as a tag");
    DabDatabase endLike = sample();
    endLike.categories[0].name = "</Locations>";
    refuses(endLike, "reads as a tag");
    DabDatabase noName = sample();
    noName.categories[0].places[0].name = "";
    refuses(noName, "empty field");
    DabDatabase unnamed = sample();
    unnamed.categories[0].name = "";
    refuses(unnamed, "without a name");
    DabDatabase broken = sample();
    broken.topics[0].title = "Two\r\nlines";
    refuses(broken, "line break");
    DabDatabase longLine = sample();
    longLine.topics[0].html = std::string(65536, 'x');
    refuses(longLine, "65535");
}

TEST(GuideTexts, KeepCommasOutOfFields) {
    EXPECT_EQ(field_text("Washington, D.C."), "Washington D.C.");
    EXPECT_EQ(field_text(" a,b ,\r\nc "), "a b c");
    EXPECT_EQ(before_comma("London, City of"), "London");
    EXPECT_EQ(before_comma(" Texas "), "Texas");
    EXPECT_EQ(group_thousands(11060000), "11\xC2\xA0" "060\xC2\xA0" "000");
    EXPECT_EQ(group_thousands(999), "999");
    EXPECT_EQ(group_thousands(1000), "1\xC2\xA0" "000");
    EXPECT_EQ(format_position({-3.7038, -33.45}), "33.45\xC2\xB0 S 3.70\xC2\xB0 W");
    EXPECT_EQ(html_escape("A & B <i>"), "A &amp; B &lt;i&gt;");

    WorldData data;
    data.countries["GB"] = {"GB", "United Kingdom", "EU", "London", {"GBP"}};
    City london{"London", "United Kingdom", "GB", "London, City of", "primary", {-0.1275, 51.5072}, 11262000, "1"};
    std::string d = city_description(london, data);
    EXPECT_EQ(d, "Capital of United Kingdom \xC2\xB7 population 11\xC2\xA0" "262\xC2\xA0" "000 \xC2\xB7 51.51\xC2\xB0 N 0.13\xC2\xB0 W");
    City austin{"Austin", "United States", "US", "Texas", "admin", {-97.74, 30.27}, -1, "2"};
    EXPECT_EQ(city_description(austin, data), "Capital of Texas \xC2\xB7 United States \xC2\xB7 30.27\xC2\xB0 N 97.74\xC2\xB0 W");
    City odd{"Sm<all>", "Saint Helena, Ascension, and Tristan da Cunha", "SH", "", "", {-5.7, -15.9}, 600, "3"};
    std::string oddText = city_description(odd, data);
    EXPECT_EQ(oddText.find(','), std::string::npos);
    EXPECT_EQ(oddText.rfind("Saint Helena \xC2\xB7 population 600", 0), 0u);
}

TEST(GuideData, ReadsTheListsAndSkipsUnusableCities) {
    using nlohmann::json;
    WorldData data;
    std::string error;
    ASSERT_TRUE(load_countries(json::parse(R"({"FR": {"name": "France", "continent": "EU", "capital": "Paris",
        "currency": ["EUR"]}, "XX": {"name": "Nowhere", "continent": "ZZ"}, "YY": 5})"),
                               json::parse(R"({"EU": "Europe"})"), json::parse(R"({"EUR": {"name": "Euro"}})"), data,
                               error))
        << error;
    EXPECT_EQ(data.countries.size(), 1u);  // a country of no known continent is left out
    EXPECT_EQ(data.currencies["EUR"], "Euro");
    ASSERT_TRUE(load_cities(json::parse(R"([
        {"city": "Paris", "lat": "48.8567", "lng": "2.3522", "iso2": "FR", "population": "11060000", "capital": "primary"},
        {"city": "Nowhere", "lat": "91", "lng": "0"},
        {"city": "Bad", "lat": "12x", "lng": "0"},
        {"city": "", "lat": "1", "lng": "1"},
        {"city": "Quiet", "lat": "1", "lng": "1", "population": ""},
        7])"),
                            data, error))
        << error;
    ASSERT_EQ(data.cities.size(), 2u);
    EXPECT_EQ(data.cities[0].population, 11060000);
    EXPECT_DOUBLE_EQ(data.cities[0].position.lon, 2.3522);
    EXPECT_EQ(data.cities[1].population, -1);
    WorldData empty;
    EXPECT_FALSE(load_cities(json::parse("{}"), empty, error));
    EXPECT_FALSE(load_countries(json::parse("[]"), json::parse("{}"), json::parse("{}"), empty, error));
}

TEST(GuideData, MatchesOutlinesToCountriesByNameThenByCapital) {
    WorldData data;
    data.countries["CD"] = {"CD", "Democratic Republic of the Congo", "AF", "Kinshasa", {}};
    data.countries["FR"] = {"FR", "France", "EU", "Paris", {}};
    data.cities.push_back({"Kinshasa", "Congo (Kinshasa)", "CD", "", "primary", {15.3, -4.3}, 1, "1"});
    Topology t;
    auto box = [](double w, double s, double e, double n) {
        return Polygon{{{w, s}, {e, s}, {e, n}, {w, n}, {w, s}}};
    };
    t.features.push_back({"1", "france", {box(-5, 42, 8, 51)}, {}});
    t.features.push_back({"2", "Dem. Rep. Congo", {box(12, -13, 31, 5)}, {}});
    t.features.push_back({"3", "Somewhere", {box(14, 6, 16, 8)}, {}});  // no country: takes its neighbour's continent
    std::vector<std::string> codes = country_codes(t, data);
    EXPECT_EQ(codes, (std::vector<std::string>{"FR", "CD", ""}));
    EXPECT_EQ(continent_codes(t, codes, data), (std::vector<std::string>{"EU", "AF", "AF"}));
    EXPECT_TRUE(contains(box(0, 0, 10, 10), {5, 5}));
    Polygon withHole = box(0, 0, 10, 10);
    withHole.push_back(box(4, 4, 6, 6)[0]);
    EXPECT_FALSE(contains(withHole, {5, 5}));
}

TEST(GuidePictures, ScaleBarsAndQuarterSizeViews) {
    EXPECT_DOUBLE_EQ(nice_distance(100, 80), 5000);  // 8000 km fit: 5000 is the largest 1-2-5 step
    EXPECT_DOUBLE_EQ(nice_distance(18.9, 80), 1000);
    EXPECT_DOUBLE_EQ(nice_distance(0.5, 80), 20);
    Canvas canvas(9, 5, 0);
    canvas.fill_rect({4, 4, 9, 5}, 3);
    canvas.fill_rect({0, 0, 1, 1}, 2);
    Canvas small = shrink_nearest(canvas, 4);
    EXPECT_EQ(small.width(), 2);
    EXPECT_EQ(small.height(), 1);
    EXPECT_EQ(small.at(0, 0), 2);
    EXPECT_EQ(small.at(1, 0), 0);
}

}  // namespace
