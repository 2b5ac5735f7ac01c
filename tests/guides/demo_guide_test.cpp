// The committed demo guide loads as the program will load it: every database
// parses, the home and main maps are the world and Europe, every image
// decodes and is small enough to load at once, every place lies on its map,
// and every related-map link leads from inside its map to inside an
// existing one.
#include "mapdb/map.h"
#include "tests/support/decoded_image.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>

namespace fs = std::filesystem;

namespace {

using testing_support::decode_image;
using testing_support::DecodedImage;
using testing_support::to_u16;
using testing_support::to_u8;

constexpr std::uintmax_t kMaxImageBytes = 1024 * 1024;

struct LoadedMap {
    std::string file;
    std::unique_ptr<CMap> map;
    DecodedImage image;
};

class DemoGuide : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        maps = new std::map<std::string, LoadedMap>();
        for (const auto& entry : fs::directory_iterator(MAPFOLIO_DEMO_GUIDE)) {
            std::string name = entry.path().filename().string();
            if (entry.path().extension() != ".DAB") continue;
            LoadedMap loaded{name, std::make_unique<CMap>(), {}};
            std::u16string path = to_u16(entry.path().string());
            loaded.map->Open(path.c_str());
            if (loaded.map->dataLoaded) loaded.image = decode_image(image_path(*loaded.map, loaded.map->imageName));
            (*maps)[name] = std::move(loaded);
        }
    }
    static void TearDownTestSuite() {
        for (auto& [name, loaded] : *maps) loaded.map->Close();
        delete maps;
        maps = nullptr;
    }
    static std::string image_path(const CMap& map, const WCHAR* name) {
        return to_u8(map.dabDirectory) + to_u8(name);
    }
    static const LoadedMap* by_name(const std::u16string& mapName) {
        for (const auto& [file, loaded] : *maps) {
            if (loaded.map->dataLoaded && mapName == loaded.map->MapName()) return &loaded;
        }
        return nullptr;
    }

    static std::map<std::string, LoadedMap>* maps;
};

std::map<std::string, LoadedMap>* DemoGuide::maps = nullptr;

TEST_F(DemoGuide, EveryDatabaseParsesAndTheHomeAndMainMapsAreThere) {
    ASSERT_GE(maps->size(), 8u);
    for (const auto& [file, loaded] : *maps) {
        EXPECT_TRUE(loaded.map->dataLoaded) << file << ": " << to_u8(loaded.map->errorText);
    }
    ASSERT_TRUE(maps->count("HOME.DAB") && maps->count("MAIN.DAB"));
    EXPECT_EQ(to_u8(maps->at("HOME.DAB").map->MapName()), "World");
    EXPECT_EQ(to_u8(maps->at("MAIN.DAB").map->MapName()), "Europe");
    int places = 0;
    for (const auto& [file, loaded] : *maps) {
        EXPECT_NE(loaded.map->categoryList, nullptr) << file;
        EXPECT_NE(loaded.map->topicList, nullptr) << file;
        for (const LocationCategory* c = loaded.map->categoryList; c; c = c->next) {
            for (const Location* l = c->firstLocation; l; l = l->next) ++places;
        }
    }
    EXPECT_GE(places, 300);
    EXPECT_LE(places, 600);
}

TEST_F(DemoGuide, EveryImageDecodesAndIsUnderOneMegabyte) {
    for (const auto& [file, loaded] : *maps) {
        const CMap& map = *loaded.map;
        ASSERT_TRUE(map.dataLoaded) << file;
        std::string path = image_path(map, map.imageName);
        EXPECT_EQ(loaded.image.result, ImageOk) << path;
        EXPECT_LT(fs::file_size(path), kMaxImageBytes) << path;
        EXPECT_GE(loaded.image.width, 800) << path;
        EXPECT_NE(map.backgroundImageList, nullptr) << file << " has no border images";
        for (const BackgroundImage* b = map.backgroundImageList; b; b = b->next) {
            std::string border = image_path(map, b->fileName);
            DecodedImage decoded = decode_image(border);
            EXPECT_EQ(decoded.result, ImageOk) << border;
            EXPECT_LT(fs::file_size(border), kMaxImageBytes) << border;
            EXPECT_GE(b->borderSlot, 0);
            EXPECT_LE(b->borderSlot, 3);
        }
    }
}

TEST_F(DemoGuide, EveryPlaceLiesInsideItsMapAndHasADescription) {
    for (const auto& [file, loaded] : *maps) {
        if (loaded.image.result != ImageOk) continue;
        for (const LocationCategory* c = loaded.map->categoryList; c; c = c->next) {
            for (const Location* l = c->firstLocation; l; l = l->next) {
                EXPECT_LT(LocationX(l->position), loaded.image.width) << file << ": " << to_u8(l->name);
                EXPECT_LT(LocationY(l->position), loaded.image.height) << file << ": " << to_u8(l->name);
                const WCHAR* description = l->description;  // records are packed: copy, never bind
                EXPECT_NE(description, nullptr) << file << ": " << to_u8(l->name);
            }
        }
    }
}

TEST_F(DemoGuide, EveryRelatedMapLeadsFromInsideItsMapToInsideAnExistingMap) {
    int links = 0;
    for (const auto& [file, loaded] : *maps) {
        for (const RelatedMap* r = loaded.map->relatedMapList; r; r = r->next) {
            ++links;
            const LoadedMap* source = by_name(r->sourceMapName);
            const LoadedMap* target = by_name(r->targetMapName);
            ASSERT_NE(source, nullptr) << file << ": no map " << to_u8(r->sourceMapName);
            ASSERT_NE(target, nullptr) << file << ": no map " << to_u8(r->targetMapName);
            const RECT& hot = r->hotRect;
            EXPECT_TRUE(hot.left >= 0 && hot.top >= 0 && hot.left < hot.right && hot.top < hot.bottom &&
                        hot.right <= source->image.width && hot.bottom <= source->image.height)
                << file << ": hot rectangle outside " << to_u8(r->sourceMapName);
            const RECT& to = r->targetRect;
            EXPECT_TRUE(to.left >= 0 && to.top >= 0 && to.left <= to.right && to.top <= to.bottom &&
                        to.right <= target->image.width && to.bottom <= target->image.height)
                << file << ": target rectangle outside " << to_u8(r->targetMapName);
        }
    }
    // The world leads to every continent, and North America to the USA.
    EXPECT_GE(links, 7);
    const CMap& home = *maps->at("HOME.DAB").map;
    std::map<std::u16string, int> fromHome;
    for (const RelatedMap* r = home.relatedMapList; r; r = r->next) fromHome[r->targetMapName]++;
    for (const char16_t* continent : {u"Europe", u"Asia", u"Africa", u"North America", u"South America", u"Oceania"}) {
        EXPECT_TRUE(fromHome.count(continent)) << to_u8(continent);
    }
}

}  // namespace
