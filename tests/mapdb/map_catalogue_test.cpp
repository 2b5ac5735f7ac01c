// The catalogue: every database of the guide directory loaded in listing
// order, the home and main maps with their images, the loading report's
// lines, the ways loading fails, and looking maps up by name. The catalogue
// knows no windows: the images load for no window at all.
#include "mapdb/map_catalogue.h"
#include "mapdb/module_directory.h"
#include "platform/system/memory.h"
#include "tests/support/map_images.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testing_support;

class Catalogue : public ::testing::Test {
protected:
    void SetUp() override {
        objects = live_gdi_objects();
        platform::set_module_directory(to_u16(dir.path()));
        write_solid_image(dir, "map.twk", 300, 300, RGB(200, 220, 180), RGB(0, 0, 0));
    }
    void TearDown() override {
        platform::faults::clear_allocation_faults();
        FreeAllMaps();
        platform::set_module_directory(u"");
        EXPECT_EQ(live_gdi_objects(), objects);
        EXPECT_EQ(platform::open_find_count(), 0);
    }

    // A database named name whose map image is image.
    void database(const std::string& file, const std::string& name, const std::string& image = "map.twk") {
        dir.write(file, "<Mapfolio Version>\r\n1\r\n<Name>\r\n" + name + ",b,c\r\n<Images>\r\n" + image + "\r\n");
    }
    void broken(const std::string& file) { dir.write(file, "<Name>\r\nno version\r\n"); }

    // The catalogue's map names in slot order.
    static std::vector<std::string> names() {
        std::vector<std::string> out;
        for (const CMap* map : g_mapCatalogue.slots) {
            if (map == nullptr) break;
            out.push_back(to_u8(map->MapName()));
        }
        return out;
    }
    // Loads the guide, keeping the report.
    int load() {
        report.clear();
        return LoadAllMaps(nullptr, [this](LPCWSTR text) { report += text; });
    }
    // The lines of the last load's report.
    std::vector<std::string> log_lines() const {
        if (report.empty()) return {};
        std::vector<std::string> lines;
        std::string all = to_u8(report);
        for (std::size_t start = 0; start < all.size();) {
            std::size_t end = all.find("\r\n", start);
            if (end == std::string::npos) end = all.size();
            lines.push_back(all.substr(start, end - start));
            start = end + 2;
        }
        return lines;
    }
    // The report's lines after "Please wait....".
    std::vector<std::string> failures() const {
        std::vector<std::string> lines = log_lines();
        if (lines.size() < 7) return {"(no log)"};
        return std::vector<std::string>(lines.begin() + 7, lines.end());
    }

    TempDir dir;
    std::u16string report;
    int objects = 0;
};

TEST_F(Catalogue, LoadsEveryDatabaseInListingOrderWithHomeAndMainImages) {
    database("MAIN.DAB", "Old Town");
    database("HOME.DAB", "Harbour");
    database("island.dab", "Island");
    database("A.Dab", "Abbey");
    dir.write("notes.txt", "not a database");
    EXPECT_EQ(load(), 4);
    EXPECT_EQ(names(), (std::vector<std::string>{"Abbey", "Harbour", "Island", "Old Town"}));
    EXPECT_EQ(g_mapCatalogue.homeMap, g_mapCatalogue.slots[1]);
    EXPECT_EQ(g_mapCatalogue.mainMap, g_mapCatalogue.slots[3]);
    EXPECT_TRUE(g_mapCatalogue.homeMap->imageLoaded);
    EXPECT_TRUE(g_mapCatalogue.mainMap->imageLoaded);
    EXPECT_FALSE(g_mapCatalogue.slots[0]->imageLoaded);  // the others load when shown
    EXPECT_FALSE(g_mapCatalogue.slots[2]->imageLoaded);

    FreeAllMaps();
    EXPECT_TRUE(names().empty());
    EXPECT_EQ(g_mapCatalogue.homeMap, nullptr);
    EXPECT_EQ(g_mapCatalogue.mainMap, nullptr);
}

TEST_F(Catalogue, HomeAndMainInOtherLetterCases) {
    database("home.dab", "Harbour");
    database("Main.Dab", "Old Town");
    EXPECT_EQ(load(), 2);
    EXPECT_EQ(to_u8(g_mapCatalogue.homeMap->MapName()), "Harbour");
    EXPECT_EQ(to_u8(g_mapCatalogue.mainMap->MapName()), "Old Town");
}

TEST_F(Catalogue, TheLogSaysWhatItLoadedWithTheTrueMemoryFigures) {
    database("HOME.DAB", "Harbour");
    broken("BROKEN.DAB");
    EXPECT_EQ(load(), 0);
    const std::vector<std::string> lines = log_lines();
    ASSERT_EQ(lines.size(), 9u);
    EXPECT_EQ(lines[0], "Mapfolio V1.0");
    EXPECT_EQ(lines[1], "Build Options = LG+RG+DM");
    EXPECT_EQ(lines[2], "Loading Maps");
    EXPECT_EQ(lines[3], "Memory Available");
    EXPECT_EQ(lines[6], "Please wait....");
    EXPECT_EQ(lines[7], "Failed to load data for BROKEN.DAB");
    EXPECT_EQ(lines[8], "Failed to create Home and/or Main map");
    // Whole byte counts: the virtual figure of a 64-bit process is far
    // beyond what 32 bits hold, and no figure is negative.
    unsigned long long physical = 0, virtualBytes = 0;
    char tail[32] = {};
    ASSERT_EQ(std::sscanf(lines[4].c_str(), "%llu %31s", &physical, tail), 2) << lines[4];
    EXPECT_STREQ(tail, "Physical");
    ASSERT_EQ(std::sscanf(lines[5].c_str(), "%llu %31s", &virtualBytes, tail), 2) << lines[5];
    EXPECT_STREQ(tail, "Virtual");
    EXPECT_GT(physical, 0u);
    EXPECT_LE(physical, static_cast<unsigned long long>(sysconf(_SC_PHYS_PAGES)) * sysconf(_SC_PAGESIZE));
    EXPECT_GT(virtualBytes, 0xFFFFFFFFull);
    EXPECT_EQ(lines[4].find('-'), std::string::npos);
    EXPECT_TRUE(names().empty());
    EXPECT_EQ(g_mapCatalogue.homeMap, nullptr);
}

TEST_F(Catalogue, FailedDatabasesAreSkippedWithoutGaps) {
    broken("B.DAB");
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town");
    database("C.DAB", "Cove");
    broken("ZZ.DAB");  // the last one found
    EXPECT_EQ(load(), 3);
    EXPECT_EQ(names(), (std::vector<std::string>{"Cove", "Harbour", "Old Town"}));
    EXPECT_EQ(g_mapCatalogue.slots[3], nullptr);
}

TEST_F(Catalogue, TheLogListsEveryFailure) {
    broken("B.DAB");
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town");
    broken("ZZ.DAB");
    database("C.DAB", "Cove", "missing.twk");  // only shown maps load their image
    // A map object that cannot be made skips its file.
    platform::faults::fail_allocations(platform::AllocKind::Local, 0, 1);
    // The home image fails, so the log stays to be read.
    dir.write("HOME.DAB", "<Mapfolio Version>\r\n1\r\n<Name>\r\nHarbour,b,c\r\n<Images>\r\nnone.twk\r\n");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(failures(), (std::vector<std::string>{"Failed to create B.DAB", "Failed to load data for ZZ.DAB",
                                                    "Failed to load Home Images", "Error string:-",
                                                    "Failed to open " + dir.path() + "/none.twk"}));
    EXPECT_TRUE(names().empty());
}

TEST_F(Catalogue, AMainImageThatDoesNotLoadFailsTheLoad) {
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town", "gone.twk");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(failures(), (std::vector<std::string>{"Failed to load Main Images", "Error string:-",
                                                    "Failed to open " + dir.path() + "/gone.twk"}));
    EXPECT_TRUE(names().empty());
}

TEST_F(Catalogue, AtMostAHundredMaps) {
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town");
    for (int i = 0; i < 99; ++i) database("X" + std::to_string(100 + i) + ".DAB", "Map " + std::to_string(i));
    EXPECT_EQ(load(), 100);
    EXPECT_EQ(names().back(), "Map 97");  // the 101st file found is left out
}

TEST_F(Catalogue, AMainMapBeyondTheHundredthFailsTheLoad) {
    for (int i = 0; i < 99; ++i) database("A" + std::to_string(100 + i) + ".DAB", "Map " + std::to_string(i));
    database("HOME.DAB", "Harbour");  // the 100th
    database("MAIN.DAB", "Old Town");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(failures(), (std::vector<std::string>{"Failed to create Home and/or Main map"}));
    EXPECT_TRUE(names().empty());
}

TEST_F(Catalogue, LoadingAgainReplacesTheMapsOfTheFirstLoad) {
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town");
    ASSERT_EQ(load(), 2);
    const int loaded = live_gdi_objects();
    ASSERT_EQ(load(), 2);
    EXPECT_EQ(live_gdi_objects(), loaded);  // the first maps' views are gone
    EXPECT_EQ(names(), (std::vector<std::string>{"Harbour", "Old Town"}));
}

TEST_F(Catalogue, FindMapByNameIsExactAndTriesTheHomeMapFirst) {
    EXPECT_EQ(FindMapByName(u"Harbour"), nullptr);  // no catalogue
    database("A.DAB", "Harbour");
    database("HOME.DAB", "Harbour");
    database("MAIN.DAB", "Old Town");
    ASSERT_EQ(load(), 3);
    EXPECT_EQ(FindMapByName(u"Harbour"), g_mapCatalogue.homeMap);
    EXPECT_EQ(FindMapByName(u"Old Town"), g_mapCatalogue.mainMap);
    EXPECT_EQ(FindMapByName(u"old town"), nullptr);
    EXPECT_EQ(FindMapByName(u"Old Tow"), nullptr);
    EXPECT_EQ(FindMapByName(u""), nullptr);
    EXPECT_EQ(FindMapByName(nullptr), nullptr);
}

TEST_F(Catalogue, ModuleDirectoryAndPathsThatDoNotFit) {
    WCHAR directory[MAX_PATH];
    ASSERT_TRUE(GetModuleDirectory(directory));
    EXPECT_EQ(to_u8(directory), dir.path() + "/");
    WCHAR name[MAX_PATH] = u"HOME.DAB";
    ASSERT_TRUE(PrependModuleDirectory(name));
    EXPECT_EQ(to_u8(name), dir.path() + "/HOME.DAB");

    // A name that would run past the buffer is left as it is.
    std::u16string longName(MAX_PATH - 1 - dir.path().size(), u'n');
    WCHAR tooLong[MAX_PATH];
    lstrcpyW(tooLong, longName.c_str());
    EXPECT_FALSE(PrependModuleDirectory(tooLong));
    EXPECT_EQ(std::u16string(tooLong), longName);

    // A directory whose path does not fit gives none, and no map loads.
    platform::set_module_directory(u"/" + std::u16string(MAX_PATH, u'd'));
    EXPECT_FALSE(GetModuleDirectory(directory));
    EXPECT_EQ(directory[0], 0);
    lstrcpyW(name, u"HOME.DAB");
    EXPECT_FALSE(PrependModuleDirectory(name));
    EXPECT_EQ(std::u16string(name), u"HOME.DAB");
    EXPECT_EQ(load(), 0);
    EXPECT_EQ(failures(), (std::vector<std::string>{"Failed to create Home and/or Main map"}));
}

}  // namespace
