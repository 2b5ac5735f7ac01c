#include "mapdb/map.h"
#include "platform/system/memory.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <sstream>
#include <string>

namespace {

using testing_support::encode_text;
using testing_support::TempDir;
using testing_support::TextEncoding;
using testing_support::to_u16;
using testing_support::to_u8;

std::string text(LPCWSTR s) { return s ? to_u8(s) : "(null)"; }

// Every record of a map as text, in list order.
std::string describe(const CMap& map) {
    std::ostringstream out;
    out << "version " << text(map.versionRecord->text) << " " << map.versionRecord->number << "\n";
    out << "name " << text(map.nameRecord->mapName) << "|" << text(map.nameRecord->secondText) << "|"
        << text(map.nameRecord->thirdText) << "\n";
    for (auto* t = map.topicList; t; t = t->next) out << "topic " << text(t->title) << "|" << text(t->text) << "\n";
    for (auto* c = map.categoryList; c; c = c->next) {
        out << "category " << text(c->name) << "\n";
        for (auto* l = c->firstLocation; l; l = l->next) {
            out << "  " << LocationX(l->position) << "," << LocationY(l->position) << " " << text(l->name) << "|"
                << text(l->description) << "\n";
        }
    }
    for (auto* r = map.relatedMapList; r; r = r->next) {
        out << "related " << text(r->sourceMapName) << " " << r->hotRect.left << "," << r->hotRect.top << ","
            << r->hotRect.right << "," << r->hotRect.bottom << " -> " << text(r->targetMapName) << " "
            << r->targetRect.left << "," << r->targetRect.top << "," << r->targetRect.right << ","
            << r->targetRect.bottom << "\n";
    }
    for (auto* g = map.linkGroupList; g; g = g->next) {
        out << "group " << text(g->name) << "\n";
        for (auto* e = g->firstEntry; e; e = e->next) {
            out << "  " << e->number << " " << LocationX(e->point) << "," << LocationY(e->point) << " "
                << text(e->firstText) << "|" << text(e->secondText) << "\n";
        }
    }
    out << "image " << text(map.imageName) << "\n";
    for (auto* b = map.backgroundImageList; b; b = b->next) out << "border " << text(b->fileName) << " " << b->borderSlot << "\n";
    return out.str();
}

const char16_t kMinimal[] =
    u"<Mapfolio Version>\r\n1\r\n<Name>\r\nHarbour,Harbour district,Sample\r\n<Locations>\r\nCafes\r\n"
    u"120,340,Quay Cafe,Open all day\r\n410,95,Station Cafe\r\n</Locations>\r\n<Images>\r\nharbour.img\r\n";

class ParseTest : public ::testing::Test {
protected:
    // Parses text written in the given encoding; the map stays open until the
    // test ends.
    CMap& parse(std::u16string_view source, TextEncoding encoding = TextEncoding::Ansi1252) {
        return parse_bytes(encode_text(source, encoding));
    }
    CMap& parse_bytes(const std::string& bytes) {
        std::u16string path = to_u16(dir.write("MAP" + std::to_string(maps.size()) + ".DAB", bytes));
        maps.push_back(std::make_unique<CMap>());
        maps.back()->Open(path.c_str());
        return *maps.back();
    }
    std::string error(std::u16string_view source) {
        CMap& map = parse(source);
        EXPECT_FALSE(map.dataLoaded);
        EXPECT_EQ(map.recordArena, nullptr);
        return to_u8(map.errorText);
    }
    void TearDown() override {
        for (auto& m : maps) m->Close();
        platform::faults::clear_allocation_faults();
    }

    TempDir dir;
    std::vector<std::unique_ptr<CMap>> maps;
};

TEST_F(ParseTest, TheMinimalDatabaseLoads) {
    CMap& map = parse(kMinimal);
    ASSERT_TRUE(map.dataLoaded);
    EXPECT_EQ(describe(map),
              "version 1 1\n"
              "name Harbour|Harbour district|Sample\n"
              "category Cafes\n"
              "  120,340 Quay Cafe|Open all day\n"
              "  410,95 Station Cafe|(null)\n"
              "image harbour.img\n");
}

TEST_F(ParseTest, EveryEncodingGivesTheSameRecords) {
    const std::u16string source =
        std::u16string(kMinimal) +
        u"<Information>\r\nCaf\u00e9s \u20ac\r\n<B>Open</B> late\r\n"
        u"<Related Maps>\r\nHarbour,0,0,100,50,Old Town,10,10,410,210\r\n</Related Maps>\r\n"
        u"<Links>\r\nFerries\r\n3,12,34,Pier,Every hour\r\n</Links>\r\n"
        u"<Background Images>\r\ntop.twk,0\r\nleft.twk,3\r\n</Background Images>\r\n";
    std::string expected = describe(parse(source));
    EXPECT_NE(expected.find("topic Caf\u00e9s \u20ac|<B>Open</B> late"), std::string::npos);
    for (TextEncoding e : {TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8}) {
        CMap& map = parse(source, e);
        ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
        EXPECT_EQ(describe(map), expected);
    }
}

TEST_F(ParseTest, SectionsMayStandInAnyOrderAndRepeat) {
    CMap& map = parse(
        u"<Images>\r\nmap.twk\r\n<Locations>\r\nParks\r\n1,2,Green\r\n</Locations>\r\n<Name>\r\nCity,b,c\r\n"
        u"stray line\r\n<Locations>\r\nMuseums\r\n</Locations>\r\n<Mapfolio Version>\r\n2.5\r\n"
        u"<Images>\r\nignored.twk\r\n<Name>\r\nIgnored,b,c\r\n");
    ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    EXPECT_EQ(describe(map),
              "version 2.5 2\n"
              "name City|b|c\n"
              "category Parks\n"
              "  1,2 Green|(null)\n"
              "category Museums\n"
              "image map.twk\n");
}

TEST_F(ParseTest, FieldsFollowTheCommaRule) {
    CMap& map = parse(std::u16string(u"<Mapfolio Version>\r\n1\r\n<Name>\r\nCity, Old Town ,c\r\n<Images>\r\nm\r\n") +
                      u"<Locations>\r\nCafes\r\n"
                      u"120,,340,Quay Cafe\r\n"            // the empty field vanishes
                      u",,7,8,Lead,desc\r\n"               // leading commas are skipped
                      u"70000,-1,Pier\r\n"                 // coordinates wrap to 16 bits
                      u"5,6,Bar,Cheap, cheerful\r\n"       // a description ends at its comma
                      u"99999999999,x,Big\r\n"             // saturates, then wraps; no digits gives 0
                      u"</Locations>\r\n");
    ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    EXPECT_EQ(describe(map),
              "version 1 1\n"
              "name City| Old Town |c\n"
              "category Cafes\n"
              "  120,340 Quay Cafe|(null)\n"
              "  7,8 Lead|desc\n"
              "  4464,65535 Pier|(null)\n"
              "  5,6 Bar|Cheap\n"
              "  65535,0 Big|(null)\n"
              "image m\n");
}

TEST_F(ParseTest, ARelatedMapLineGivesBothRectanglesFieldByField) {
    CMap& map = parse(u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n"
                      u"<Related Maps>\r\nA,1,2,3,4,B,5,6,7,8\r\n</Related Maps>\r\n");
    ASSERT_TRUE(map.dataLoaded) << to_u8(map.errorText);
    const RelatedMap* link = map.relatedMapList;
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(text(link->sourceMapName), "A");
    EXPECT_EQ(link->hotRect.left, 1);
    EXPECT_EQ(link->hotRect.top, 2);
    EXPECT_EQ(link->hotRect.right, 3);
    EXPECT_EQ(link->hotRect.bottom, 4);
    EXPECT_EQ(text(link->targetMapName), "B");
    EXPECT_EQ(link->targetRect.left, 5);
    EXPECT_EQ(link->targetRect.top, 6);
    EXPECT_EQ(link->targetRect.right, 7);
    EXPECT_EQ(link->targetRect.bottom, 8);
    // Records are packed to 4 bytes: the pointer is copied out before it is compared.
    const RelatedMap* next = link->next;
    EXPECT_EQ(next, nullptr);
}

TEST_F(ParseTest, EachFaultIsReportedWithItsSectionsText) {
    const std::u16string head = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n";
    struct Case {
        std::u16string source;
        const char* error;
    } cases[] = {
        {u"<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n", "Database <Mapfolio Version> Error"},
        {u"<Images>\r\nm\r\n<Mapfolio Version>", "Database <Mapfolio Version> Error"},
        {u"<Mapfolio Version>\r\n1\r\n<Images>\r\nm\r\n", "Database <Name> error"},
        {u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b\r\n<Images>\r\nm\r\n", "Database <Name> error"},
        {u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n", "Database <Images> Error"},
        {u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>", "Database <Images> Error"},
        {head + u"<Information>\r\ntitle only", "Database <Information> error"},
        {head + u"<Locations>\r\n\r\n</Locations>\r\n", "Database <Locations> error"},
        {head + u"<Locations>\r\nCafes\r\n1,2\r\n</Locations>\r\n", "Database <Locations> error"},
        {head + u"<Locations>\r\nCafes\r\n1,2,a\r\n</Locations> \r\n", "Database <Locations> error"},
        {head + u"<Locations>\r\nCafes\r\n1,2,a\r\n", "Database <Locations> error"},
        {head + u"<Related Maps>\r\nA,1,2,3,4,B,1,2,3\r\n</Related Maps>\r\n", "Database <Related Maps> error"},
        {head + u"<Links>\r\n\r\n</Links>\r\n", "Database <Links> error"},
        {head + u"<Links>\r\nG\r\n1,2,3,a\r\n</Links>\r\n", "Database <Links> error"},
        {head + u"<Background Images>\r\nb.twk\r\n</Background Images>\r\n", "Database <Background Images> error"},
    };
    for (const Case& c : cases) EXPECT_EQ(error(c.source), c.error) << to_u8(c.source);
}

TEST_F(ParseTest, AFailedParseReportsTheLineItStoppedAt) {
    const std::u16string head = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n";  // 6 lines
    struct Case {
        std::u16string source;
        int line;
    } cases[] = {
        // The line whose content broke the rule.
        {u"<Name>\r\nA,b\r\n<Mapfolio Version>\r\n1\r\n", 2},
        {u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b\r\n<Images>\r\nm\r\n", 4},
        {head + u"<Locations>\r\n\r\n</Locations>\r\n", 8},
        {head + u"<Locations>\r\nCafes\r\n1,2,ok\r\n1,2\r\n</Locations>\r\n", 10},
        {head + u"<Locations>\r\nCafes\r\n1,2,a\r\n</Locations> \r\n", 10},
        {u"<Locations>\r\nC\r\n1,2\r\n</Locations>\r\n" + head, 3},  // before the sections found first
        {head + u"<Related Maps>\r\nA,1,2,3,4,B,5,6,7,8\r\nA,1,2,3,4,B,1,2,3\r\n</Related Maps>\r\n", 9},
        {head + u"<Links>\r\n\r\n</Links>\r\n", 8},
        {head + u"<Links>\r\nG\r\n1,2,3,a\r\n</Links>\r\n", 9},
        {head + u"<Background Images>\r\nb.twk\r\n</Background Images>\r\n", 8},
        // A last line without a line end is a line like any other.
        {head + u"<Locations>\r\nCafes\r\n1,2", 9},
        // Every kind of line end counts once; LF CR is two ends.
        {u"<Mapfolio Version>\n1\r<Images>\n\rm\r\n<Name>\rA,b\n", 7},
        // 0: the step ran into the end of the file.
        {u"<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n", 0},
        {u"<Images>\r\nm\r\n<Mapfolio Version>", 0},
        {u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>", 0},
        {head + u"<Information>\r\ntitle only", 0},
        {head + u"<Locations>\r\nCafes\r\n1,2,a\r\n", 0},
    };
    for (const Case& c : cases) {
        std::u16string path = to_u16(dir.write("LINE.DAB", encode_text(c.source, TextEncoding::Ansi1252)));
        CMap map;
        int line = -1;
        map.Open(path.c_str(), &line);
        EXPECT_FALSE(map.dataLoaded) << to_u8(c.source);
        EXPECT_EQ(line, c.line) << to_u8(c.source);
        map.Close();
    }
    // The byte-order mark is not a line, and UTF-16 lines count alike.
    for (TextEncoding e : {TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8}) {
        std::u16string path = to_u16(
            dir.write("LINE.DAB", encode_text(head + u"<Locations>\r\nCafes\r\n1,2,ok\r\n1,2\r\n</Locations>\r\n", e)));
        CMap map;
        int line = -1;
        map.Open(path.c_str(), &line);
        EXPECT_EQ(line, 10) << static_cast<int>(e);
        map.Close();
    }
}

TEST_F(ParseTest, AParseThatStopsBeforeAnyLineReportsLine0) {
    int line = 99;
    CMap missing;
    missing.Open(to_u16(dir.file("NONE.DAB")).c_str(), &line);
    EXPECT_EQ(line, 0);
    EXPECT_FALSE(missing.Parse(to_u16(dir.file("NONE.DAB")).c_str(), &(line = 99)));
    EXPECT_EQ(line, 0);

    std::u16string path = to_u16(dir.write("GOOD.DAB", encode_text(kMinimal, TextEncoding::Ansi1252)));
    platform::faults::fail_allocations(platform::AllocKind::Local, 0, 1);
    CMap noArena;
    noArena.Open(path.c_str(), &(line = 99));
    EXPECT_EQ(to_u8(noArena.errorText), "Database GetBuffer() failed");
    EXPECT_EQ(line, 0);
    platform::faults::clear_allocation_faults();

    CMap tooLong;
    tooLong.Open((std::u16string(MAX_PATH, u'x')).c_str(), &(line = 99));
    EXPECT_FALSE(tooLong.dataLoaded);
    EXPECT_EQ(line, 0);

    // A parse that loads leaves 0 too.
    CMap good;
    good.Open(path.c_str(), &(line = 99));
    ASSERT_TRUE(good.dataLoaded);
    EXPECT_EQ(line, 0);
    good.Close();
}

TEST_F(ParseTest, ABlockWithoutItsEndLineRunsOnUntilALineHasTooFewFields) {
    const std::u16string head = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n";
    // The next tag is read as a location line and has too few fields.
    EXPECT_EQ(error(head + u"<Locations>\r\nCafes\r\n1,2,a\r\n<Locations>\r\nBars\r\n</Locations>\r\n"),
              "Database <Locations> error");
    // A tag line with enough commas is just another location.
    CMap& map = parse(head + u"<Locations>\r\nCafes\r\n1,2,a\r\n<Locations>,3,b\r\n</Locations>\r\n");
    ASSERT_TRUE(map.dataLoaded);
    EXPECT_NE(describe(map).find("  0,3 b|(null)"), std::string::npos);
}

TEST_F(ParseTest, ATagInsideTopicTextAlsoOpensItsOwnSection) {
    CMap& map = parse(u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n"
                      u"<Information>\r\nTitle\r\n<Locations>\r\nParks\r\n1,1,Green\r\n</Locations>\r\n");
    ASSERT_TRUE(map.dataLoaded);
    EXPECT_EQ(describe(map),
              "version 1 1\nname A|b|c\ntopic Title|<Locations>\ncategory Parks\n  1,1 Green|(null)\nimage m\n");
}

TEST_F(ParseTest, AllocationFailuresAreReported) {
    platform::faults::fail_allocations(platform::AllocKind::Local, 0, 1);
    EXPECT_EQ(error(kMinimal), "Database GetBuffer() failed");
    platform::faults::fail_allocations(platform::AllocKind::Local, 1, 1);
    EXPECT_EQ(error(kMinimal), "Line GetBuffer() failed");
    platform::faults::fail_allocations(platform::AllocKind::Virtual, 0, 1);
    EXPECT_EQ(error(kMinimal), "Failed to open the database");
    platform::faults::clear_allocation_faults();
    CMap missing;
    missing.Open(to_u16(dir.file("NONE.DAB")).c_str());
    EXPECT_FALSE(missing.dataLoaded);
    EXPECT_EQ(to_u8(missing.errorText), "Failed to open the database");
}

TEST_F(ParseTest, ManyShortLinesOutgrowTheArenaWithoutWritingBeyondIt) {
    // Each "0,0,a" line is 7 characters of file but takes 20 bytes of records
    // even with 32-bit references; the sanitizer build checks every write.
    std::u16string source = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n<Images>\r\nm\r\n<Locations>\r\nC\r\n";
    for (int i = 0; i < 5000; ++i) source += u"0,0,a\r\n";
    source += u"</Locations>\r\n";
    for (TextEncoding e : {TextEncoding::Ansi1252, TextEncoding::Utf16LE, TextEncoding::Utf8}) {
        CMap& map = parse(source, e);
        EXPECT_FALSE(map.dataLoaded);
        EXPECT_EQ(to_u8(map.errorText), "Insufficient Memory Allocated");
    }
}

// The room a file's records take when references are 32 bits wide, placed as
// the parser places them: every record at a multiple of 4, its strings
// (UTF-16 with terminator) directly behind it.
class NarrowRoom {
public:
    void record(int bytes) { m_used = (m_used + 3) / 4 * 4 + bytes; }
    void string(const std::u16string& s) { m_used += (s.size() + 1) * 2; }
    std::size_t used() const { return m_used; }

private:
    std::size_t m_used = 0;
};

TEST_F(ParseTest, EveryFileThatFitsWith32BitReferencesLoads) {
    // Random dense files around the 110 % limit: topics with empty texts and
    // one-letter categories and groups, the records whose references weigh
    // most, mixed with locations and with ignored filler lines.
    std::mt19937 random(20261208);
    int fitting = 0;
    for (int round = 0; round < 300; ++round) {
        NarrowRoom room;
        std::u16string source = u"<Mapfolio Version>\r\n1\r\n<Name>\r\nA,b,c\r\n";
        room.record(8), room.string(u"1");
        room.record(12), room.string(u"A"), room.string(u"b"), room.string(u"c");
        int topics = random() % 40, categories = random() % 20, locations = random() % 40;
        for (int i = 0; i < topics; ++i) source += u"<Information>\r\n\r\n\r\n";
        room.record(0);
        for (int i = 0; i < topics; ++i) room.record(12), room.string(u""), room.string(u"");
        for (int i = 0; i < categories; ++i) {
            source += u"<Locations>\r\nc\r\n";
            room.record(12), room.string(u"c");
            for (int j = 0; j < (i == 0 ? locations : 0); ++j) {
                source += u"1,2,n\r\n";
                room.record(16), room.string(u"n");
            }
            source += u"</Locations>\r\n";
        }
        source += u"<Images>\r\nm\r\n";
        room.string(u"m");
        source += std::u16string(random() % 300, u'#') + u"\r\n";
        auto encoding = round % 2 ? TextEncoding::Utf16LE : TextEncoding::Ansi1252;
        std::string bytes = encode_text(source, encoding);
        std::size_t units = encoding == TextEncoding::Ansi1252 ? bytes.size() * 2 : bytes.size();
        bool fits = room.used() <= units * 110 / 100;
        CMap& map = parse_bytes(bytes);
        if (fits) {
            ++fitting;
            EXPECT_TRUE(map.dataLoaded) << "round " << round << ": " << to_u8(map.errorText);
        }
        map.Close();
        maps.pop_back();
    }
    EXPECT_GT(fitting, 50);  // the sweep really exercises files that fit
}

}  // namespace
