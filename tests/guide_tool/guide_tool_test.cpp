// mapfolio-guide end to end: data made here with GDAL, positions checked
// against projections computed here (Web Mercator by its formula, UTM through
// PROJ itself), links followed through the program.
#include "mapdb/map.h"
#include "tests/app/script_run.h"
#include "tests/support/test_files.h"
#include "tools/guide/example_data.h"
#include "tools/twk_header.h"

#include <cpl_error.h>
#include <gdal_priv.h>
#include <gtest/gtest.h>
#include <proj.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <map>

namespace {

using testing_support::read_file;
using testing_support::shell_quote;
using testing_support::TempDir;
using testing_support::TextEncoding;
using testing_support::to_u16;
using testing_support::to_u8;

constexpr double kEarthRadius = 6378137;
constexpr double kDeg = M_PI / 180;

struct ToolRun {
    int code;
    std::string out;  // standard output and error
};

ToolRun guide_tool(const std::vector<std::string>& args) {
    std::string command = MAPFOLIO_GUIDE_PATH;
    for (const std::string& a : args) command += " " + shell_quote(a);
    auto r = testing_support::run_command(command + " 2>&1");
    return {r.exitCode, r.out};
}

// Longitude and latitude <-> the coordinates of a raster, independently of
// the tool: Web Mercator by its spherical formula, UTM zone 32N by PROJ.
struct Projection {
    int epsg;
    void forward(double lon, double lat, double* x, double* y) const { transform(PJ_FWD, lon, lat, x, y); }
    void inverse(double x, double y, double* lon, double* lat) const { transform(PJ_INV, x, y, lon, lat); }

private:
    void transform(PJ_DIRECTION direction, double a, double b, double* c, double* d) const {
        if (epsg == 3857 && direction == PJ_FWD) {
            *c = kEarthRadius * a * kDeg;
            *d = kEarthRadius * std::log(std::tan(M_PI / 4 + b * kDeg / 2));
        } else if (epsg == 3857) {
            *c = a / kEarthRadius / kDeg;
            *d = (2 * std::atan(std::exp(b / kEarthRadius)) - M_PI / 2) / kDeg;
        } else {
            PJ* raw = proj_create_crs_to_crs(nullptr, "EPSG:4326", ("EPSG:" + std::to_string(epsg)).c_str(), nullptr);
            PJ* pj = proj_normalize_for_visualization(nullptr, raw);
            PJ_COORD out = proj_trans(pj, direction, proj_coord(a, b, 0, 0));
            *c = out.xy.x;
            *d = out.xy.y;
            proj_destroy(pj);
            proj_destroy(raw);
        }
    }
};

// The ground point of a continuous pixel position of a raster, and back.
void pixel_to_lonlat(const ExampleRaster& r, double px, double py, double* lon, double* lat) {
    Projection{r.epsg}.inverse(r.originX + px * r.pixelSize, r.originY - py * r.pixelSize, lon, lat);
}
void lonlat_to_pixel(const ExampleRaster& r, double lon, double lat, double* px, double* py) {
    double x = 0, y = 0;
    Projection{r.epsg}.forward(lon, lat, &x, &y);
    *px = (x - r.originX) / r.pixelSize;
    *py = (r.originY - y) / r.pixelSize;
}

struct ParsedPlace {
    int x, y;
    std::string description;
    friend bool operator==(const ParsedPlace&, const ParsedPlace&) = default;
};

// The places of a database as the program's parser reads them: category ->
// name -> place.
std::map<std::string, std::map<std::string, ParsedPlace>> parsed_places(const std::string& dab) {
    CMap map;
    map.Open(to_u16(dab).c_str());
    std::map<std::string, std::map<std::string, ParsedPlace>> out;
    EXPECT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    for (const LocationCategory* c = map.categoryList; c; c = c->next) {
        auto& places = out[to_u8(c->name)];
        for (const Location* l = c->firstLocation; l; l = l->next) {
            places[to_u8(l->name)] = {LocationX(l->position), LocationY(l->position),
                                      l->description ? to_u8(l->description) : ""};
        }
    }
    map.Close();
    return out;
}

// Every file of a directory with its bytes.
std::map<std::string, std::string> snapshot(const std::string& dir) {
    std::map<std::string, std::string> files;
    for (const auto& e : std::filesystem::directory_iterator(dir)) files[e.path().filename().string()] = read_file(e.path().string());
    return files;
}

class GuideTool : public testing::Test {
protected:
    static void SetUpTestSuite() {
        CPLSetErrorHandler(CPLQuietErrorHandler);
        GDALAllRegister();
    }
    std::string data(const std::string& name) const { return m_data.file(name); }
    std::string raster(const std::string& name, const ExampleRaster& r) const {
        std::string error;
        EXPECT_TRUE(write_example_raster(data(name), r, &error)) << error;
        return data(name);
    }
    std::string places(const std::string& name, const std::string& driver, const std::vector<ExamplePlace>& p) const {
        std::string error;
        EXPECT_TRUE(write_example_places(data(name), driver, p, &error)) << error;
        return data(name);
    }
    void ok(const std::vector<std::string>& args) const {
        ToolRun r = guide_tool(args);
        ASSERT_EQ(r.code, 0) << r.out;
    }

    TempDir m_data;
    TempDir m_guide;
};

TEST_F(GuideTool, PlacesLandOnTheirPixelsFromEverySource) {
    const struct {
        ExampleRaster raster;
        const char* driver;
        const char* file;
    } cases[] = {
        {example_town(), "GeoJSON", "p.geojson"},
        {example_town(), "CSV", "p.csv"},
        {example_old_town(), "GPX", "p.gpx"},
        {example_old_town(), "GeoJSON", "p.geojson"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.raster.epsg) + " " + c.driver);
        TempDir guide;
        const ExampleRaster& r = c.raster;
        // Pixel centres, the exact top-left corner, and one pixel beyond it.
        const struct {
            double px, py;
            const char* name;
            int x, y;
        } points[] = {{0, 0, "Corner", 0, 0},
                      {17.5, 23.5, "Pier, north", 17, 23},
                      {r.width - 0.5, r.height - 0.5, "R&D corner", r.width - 1, r.height - 1},
                      {123.5, 45.5, "Tower & Gate", 123, 45},
                      {-0.5, 10.5, "Outside", 0, 0}};
        std::vector<ExamplePlace> source;
        for (const auto& p : points) {
            ExamplePlace place{0, 0, p.name, "", "Open, daily, <b>free</b>", 0};
            pixel_to_lonlat(r, p.px, p.py, &place.lon, &place.lat);
            source.push_back(place);
        }
        ok({"add-map", guide.path(), raster("map.tif", r), "--name", "Map"});
        ToolRun run = guide_tool({"add-places", guide.path(), "Map", places(c.file, c.driver, source), "--category-name", "Test"});
        ASSERT_EQ(run.code, 0) << run.out;
        EXPECT_NE(run.out.find("Test: 4 added, 0 replaced"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("skipped: 1 outside the image"), std::string::npos) << run.out;
        EXPECT_NE(run.out.find("9 commas became"), std::string::npos) << run.out;

        auto parsed = parsed_places(guide.file("HOME.DAB"))["Test"];
        ASSERT_EQ(parsed.size(), 4u);
        for (const auto& p : points) {
            std::string name = p.name;
            if (name == "Outside") continue;
            if (name == "Pier, north") name = "Pier\u201A north";
            if (name == "R&D corner") name = "R&amp;D corner";  // else read as a reference
            ASSERT_EQ(parsed.count(name), 1u) << name;
            EXPECT_EQ(parsed[name].x, p.x) << name;
            EXPECT_EQ(parsed[name].y, p.y) << name;
            EXPECT_EQ(parsed[name].description, "Open\u201A daily\u201A &lt;b>free&lt;/b>");
        }
    }
}

TEST_F(GuideTool, AddPlacesAgainReplacesPlacesOfTheSameCategoryAndName) {
    ok({"add-map", m_guide.path(), raster("town.tif", example_town()), "--name", "Town"});
    const std::string source = places("s.geojson", "GeoJSON", example_sights());
    ok({"add-places", m_guide.path(), "Town", source, "--category", "category"});
    const auto first = parsed_places(m_guide.file("HOME.DAB"));
    ToolRun again = guide_tool({"add-places", m_guide.path(), "HOME.DAB", source, "--category", "category"});
    ASSERT_EQ(again.code, 0) << again.out;
    EXPECT_NE(again.out.find("Sights: 0 added, 5 replaced"), std::string::npos) << again.out;
    // The polygon's place lies inside its square.
    ASSERT_EQ(first.at("Parks").size(), 1u);
    EXPECT_EQ(parsed_places(m_guide.file("HOME.DAB")), first);
    const ExamplePlace park = example_sights()[3];
    double x0, y0, x1, y1;
    lonlat_to_pixel(example_town(), park.lon - park.halfSide, park.lat + park.halfSide, &x0, &y0);
    lonlat_to_pixel(example_town(), park.lon + park.halfSide, park.lat - park.halfSide, &x1, &y1);
    const ParsedPlace p = first.at("Parks").at("City Park");
    EXPECT_TRUE(p.x >= x0 && p.x < x1 && p.y >= y0 && p.y < y1) << p.x << "," << p.y;
}

TEST_F(GuideTool, GeorefFromThreePointsAndRefusals) {
    // A plain picture, where longitude and latitude run linearly across.
    ok({"add-map", m_guide.path(), raster("plain.png", ExampleRaster{0, 999875, 6034015, 10, 300, 200}), "--name", "Sketch"});
    auto lon = [](double px) { return 9 + px * 1e-4; };
    auto lat = [](double py) { return 47.6 - py * 1e-4; };
    auto point = [&](double px, double py) {
        return std::to_string(px) + "," + std::to_string(py) + "," + std::to_string(lon(px)) + "," + std::to_string(lat(py));
    };
    const std::string source = places("p.geojson", "GeoJSON", {{lon(50.5), lat(60.5), "Well", "", "", 0}});
    ToolRun before = guide_tool({"add-places", m_guide.path(), "Sketch", source});
    EXPECT_EQ(before.code, 1);
    EXPECT_NE(before.out.find("run mapfolio-guide georef"), std::string::npos) << before.out;

    const struct {
        std::vector<std::string> points;
        int code;
        const char* says;
    } cases[] = {
        {{point(0, 0), point(100, 0), point(200, 0)}, 1, "lie on one line"},
        {{point(0, 0), point(100, 50), point(0, 0)}, 1, "points 1 and 3 are repeated"},
        {{point(0, 0), point(100, 50)}, 1, "three or more"},
        {{point(0, 0), point(290, 10), point(20, 190)}, 0, "affine from 3 points"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"georef", m_guide.path(), "Sketch"};
        for (const std::string& p : c.points) args.insert(args.end(), {"--point", p});
        ToolRun run = guide_tool(args);
        EXPECT_EQ(run.code, c.code) << run.out;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
    }
    ToolRun last = guide_tool({"georef", m_guide.path(), "Sketch", "--point", point(0, 0), "--point", point(290, 10),
                           "--point", point(20, 190)});
    for (int i = 1; i <= 3; ++i) EXPECT_NE(last.out.find("point " + std::to_string(i) + ": residual 0.000 px"), std::string::npos) << last.out;
    ok({"add-places", m_guide.path(), "Sketch", source});
    const ParsedPlace well = parsed_places(m_guide.file("HOME.DAB")).at("p").at("Well");
    EXPECT_EQ(well.x, 50);
    EXPECT_EQ(well.y, 60);
}

TEST_F(GuideTool, LinkFollowedWithForwardLandsOnTheSameGroundPoint) {
    const ExampleRaster town = example_town();
    const ExampleRaster old = example_old_town();
    ok({"add-map", m_guide.path(), raster("town.tif", town), "--name", "Town"});
    ok({"add-map", m_guide.path(), raster("old.tif", old), "--name", "Old Town"});
    ok({"link", m_guide.path(), "Town", "Old Town"});
    const int taps[][2] = {{90, 120}, {140, 150}, {185, 180}, {100, 175}};
    std::string script = "state\n";
    for (const auto& t : taps) script += "tap " + std::to_string(t[0]) + " " + std::to_string(t[1]) + "\nbutton Forward\nstate\nbutton Back\n";
    TempDir config;
    app_test::ScriptResult run = app_test::run_script(m_guide.path(), script, "", "XDG_CONFIG_HOME=" + config.path());
    ASSERT_EQ(run.exitCode, 0) << run.errors;
    ASSERT_EQ(run.states.size(), 1 + std::size(taps));
    const auto& home = run.states[0];
    for (std::size_t i = 0; i < std::size(taps); ++i) {
        const auto& state = run.states[i + 1];
        ASSERT_EQ(state["current_map"], "Old Town");
        // At 100 % a window pixel is a map pixel: the tapped point, as a
        // position on the map, and its ground point on the other map.
        const double mx = home["source"][0].get<int>() + taps[i][0] - home["dest"][0].get<int>();
        const double my = home["source"][1].get<int>() + taps[i][1] - home["dest"][1].get<int>();
        double lon, lat, px, py;
        pixel_to_lonlat(town, mx, my, &lon, &lat);
        lonlat_to_pixel(old, lon, lat, &px, &py);
        EXPECT_LE(std::fabs(state["center"][0].get<int>() - px), 1.0) << "tap " << i;
        EXPECT_LE(std::fabs(state["center"][1].get<int>() - py), 1.0) << "tap " << i;
    }
}

TEST_F(GuideTool, BadInputFailsAndLeavesTheGuideUnchanged) {
    ok({"add-map", m_guide.path(), raster("town.tif", example_town()), "--name", "Town"});
    ok({"add-map", m_guide.path(), raster("plain.png", ExampleRaster{0, 999875, 6034015, 10, 40, 30}), "--name", "Plain"});
    ok({"add-map", m_guide.path(), raster("far.tif", ExampleRaster{3857, 0, 0, 10, 40, 30}), "--name", "Far"});
    ok({"add-map", m_guide.path(), raster("local.tif", example_town()), "--name", "Local"});
    // A coordinate system PROJ has no way into.
    std::ofstream(m_guide.file("local.prj")) << "LOCAL_CS[\"plant\",UNIT[\"metre\",1]]";
    GDALDriver* tiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    const char* const sparse[] = {"SPARSE_OK=TRUE", nullptr};
    GDALClose(tiff->Create(data("huge.tif").c_str(), 40000, 30000, 1, GDT_Byte, const_cast<char**>(sparse)));
    // A map whose database is in Windows-1252, and a topic it cannot hold.
    ok({"add-map", m_guide.path(), raster("old.tif", example_town()), "--name", "Old", "--file", "OLD.DAB"});
    const std::string utf8 = read_file(m_guide.file("OLD.DAB")).substr(3);  // after the byte-order mark
    std::ofstream(m_guide.file("OLD.DAB"), std::ios::binary)
        << testing_support::encode_text(to_u16(utf8), TextEncoding::Ansi1252);
    std::ofstream(data("greek.txt")) << "\u0391\u03b8\u03ae\u03bd\u03b1\n";
    const std::string sights = places("s.geojson", "GeoJSON", example_sights());
    const std::string topic = data("missing.txt");

    const std::string g = m_guide.path();
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"add-places", g, "Plain", sights}, "has no georeference: run mapfolio-guide georef"},
        {{"link", g, "Town", "Plain"}, "has no georeference: run mapfolio-guide georef"},
        {{"add-places", g, "Town", sights, "--name", "nmae"}, "no field \"nmae\" in layer \"places\"; its fields: name, category, description"},
        {{"add-places", g, "Town", sights, "--where", "name =="}, "--where"},
        {{"add-places", g, "Local", sights}, "cannot transform the coordinates"},
        {{"link", g, "Town", "Far"}, "do not overlap"},
        {{"add-map", g, data("huge.tif"), "--name", "Huge"}, "is too large: 40000 x 30000 pixels"},
        {{"add-map", g, data("town.tif"), "--name", "Town"}, "already has a map named \"Town\""},
        {{"add-map", g, data("town.tif"), "--name", "Twin", "--max-size", "65536"}, "--max-size takes a whole number from 1 to 65535"},
        {{"add-places", g, "Nowhere", sights}, "no map \"Nowhere\""},
        {{"add-topic", g, "Town", "About", topic}, "cannot read"},
        {{"add-topic", g, "Old", "Greek", data("greek.txt")}, "is in Windows-1252, which cannot hold every character of the topic"},
    };
    const auto before = snapshot(g);
    for (const auto& c : cases) {
        ToolRun run = guide_tool(c.args);
        EXPECT_EQ(run.code, 1) << c.args[0] << " " << c.says;
        EXPECT_NE(run.out.find(c.says), std::string::npos) << run.out;
        EXPECT_EQ(snapshot(g), before) << c.says;
    }
}

TEST_F(GuideTool, ImageSidesStopAtTheFormatsLimitOrMaxSize) {
    const struct {
        int width, height;
        std::vector<std::string> options;
        int outWidth, outHeight;
    } cases[] = {
        {65535, 1, {}, 65535, 1},
        {65536, 1, {}, 65535, 1},
        {300, 200, {"--max-size", "150"}, 150, 100},
        {300, 200, {"--max-size", "300"}, 300, 200},
    };
    GDALDriver* tiff = GetGDALDriverManager()->GetDriverByName("GTiff");
    for (const auto& c : cases) {
        TempDir guide;
        GDALClose(tiff->Create(data("in.tif").c_str(), c.width, c.height, 1, GDT_Byte, nullptr));
        std::vector<std::string> args{"add-map", guide.path(), data("in.tif"), "--name", "M"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        ok(args);
        auto header = read_twk_header_file(guide.file("home.twk"));
        ASSERT_TRUE(header);
        EXPECT_EQ(header->width, c.outWidth);
        EXPECT_EQ(header->height, c.outHeight);
    }
}

TEST_F(GuideTool, WritingKeepsTheEncodingAndEveryOtherByte) {
    const std::string source = places("p.geojson", "GeoJSON", {{9.0012, 47.5512, "Caf\u00e9 S\u00fcd, am See", "", "", 0}});
    std::ofstream(data("topic.txt")) << "Boats <hourly>\nFerry & bus\n";
    for (TextEncoding encoding : {TextEncoding::Ansi1252, TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8}) {
        SCOPED_TRACE(static_cast<int>(encoding));
        TempDir guide;
        ok({"add-map", guide.path(), raster("town.tif", example_town()), "--name", "Town"});
        // Sections the tool does not own, a lone LF and a last line without its end.
        const std::string original = testing_support::encode_text(
            u"<Mapfolio Version>\r\n1\r\n<Name>\r\nTown,b,c\r\n<Information>\r\nCaf\u00e9\r\n\u00dcber den See\n"
            u"<Images>\r\nhome.twk\r\nnotes",
            encoding);
        guide.write("HOME.DAB", original);
        ok({"add-places", guide.path(), "Town", source, "--category-name", "Caf\u00e9s"});
        ok({"add-topic", guide.path(), "Town", "Boats", data("topic.txt")});
        const std::string after = read_file(guide.file("HOME.DAB"));
        EXPECT_EQ(after.substr(0, original.size()), original);
        EXPECT_EQ(after.substr(original.size(), encoding == TextEncoding::Ansi1252 || encoding == TextEncoding::Utf8 ? 2 : 4),
                  testing_support::encode_text(u"\r\n", encoding).substr(encoding == TextEncoding::Ansi1252 ? 0 : (encoding == TextEncoding::Utf8 ? 3 : 2)));
        const auto parsed = parsed_places(guide.file("HOME.DAB"));
        EXPECT_EQ(parsed.at("Caf\u00e9s").count("Caf\u00e9 S\u00fcd\u201A am See"), 1u);
        CMap map;
        map.Open(to_u16(guide.file("HOME.DAB")).c_str());
        ASSERT_TRUE(map.dataLoaded);
        ASSERT_TRUE(map.topicList && map.topicList->next);
        EXPECT_EQ(to_u8(map.topicList->next->text), "Boats &lt;hourly&gt;<BR>Ferry &amp; bus");
        map.Close();
    }
}

}  // namespace
