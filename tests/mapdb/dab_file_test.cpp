#include "mapdb/dab_file.h"
#include "platform/system/memory.h"
#include "tests/support/test_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using testing_support::encode_text;
using testing_support::TempDir;
using testing_support::TextEncoding;
using testing_support::to_u16;

// Opens bytes as a .DAB file and reads every line with the given capacity.
class DabFileTest : public ::testing::Test {
protected:
    // A fresh reader each time: Open takes a size left in the field as a bound.
    CDabFile& open(const std::string& bytes) {
        close();
        path = to_u16(dir.write("T.DAB", bytes));
        EXPECT_TRUE(file.Open(path.c_str()));
        file.Rewind();
        return file;
    }
    std::vector<std::u16string> lines(int capacity = 65536) {
        std::vector<std::u16string> out;
        std::vector<WCHAR> buf(capacity);
        int n;
        while ((n = file.ReadLine(buf.data(), capacity)) >= 0) {
            EXPECT_EQ(buf[n], 0);
            out.emplace_back(buf.data(), n);
        }
        return out;
    }
    void close() {
        file.Close();
        file = CDabFile{};
    }
    void TearDown() override { close(); }

    TempDir dir;
    std::u16string path;
    CDabFile file;
};

using Lines = std::vector<std::u16string>;

TEST_F(DabFileTest, RecognisesEachEncodingByItsMark) {
    const std::u16string text = u"<Name>\r\nCaf\u00e9 \u20ac,b,c\r\n";
    struct Case {
        TextEncoding encoding;
        std::int32_t expected;
    } cases[] = {{TextEncoding::Ansi1252, Ansi1252},
                 {TextEncoding::Utf16LE, Utf16LE},
                 {TextEncoding::Utf16BE, Utf16BE},
                 {TextEncoding::Utf8, Utf8}};
    for (const Case& c : cases) {
        open(encode_text(text, c.encoding));
        EXPECT_EQ(file.encoding, c.expected);
        EXPECT_EQ(lines(), (Lines{u"<Name>", u"Caf\u00e9 \u20ac,b,c"})) << c.expected;
    }
}

TEST_F(DabFileTest, ConvertsCodePage1252BytesByTheTable) {
    open("\x80 \xE9\r\n");
    EXPECT_EQ(lines(), (Lines{u"\u20ac \u00e9"}));
}

TEST_F(DabFileTest, PositionStartsOnTheMarkUntilRewound) {
    path = to_u16(dir.write("T.DAB", encode_text(u"a\r\n", TextEncoding::Utf16LE)));
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(file.position, file.buffer);
    EXPECT_EQ(file.size, 8u);
    file.Rewind();
    EXPECT_EQ(file.position, file.buffer + 2);
}

TEST_F(DabFileTest, LineEndsOfEveryKindEndExactlyOneLine) {
    for (TextEncoding e : {TextEncoding::Ansi1252, TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8}) {
        open(encode_text(u"crlf\r\n\r\nlf\nnext\rcr\n\rlast", e));
        EXPECT_EQ(lines(), (Lines{u"crlf", u"", u"lf", u"next", u"cr", u"", u"last"}));
        EXPECT_EQ(file.ReadLine(nullptr, 10), -1);  // nothing left, dest untouched
    }
}

TEST_F(DabFileTest, AnOverlongLineIsCutAndItsRestSkipped) {
    std::u16string longLine(300, u'x');
    for (TextEncoding e : {TextEncoding::Ansi1252, TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Utf8}) {
        open(encode_text(longLine + u"\r\nafter\r\n", e));
        WCHAR buf[200];
        bool cut = false;
        EXPECT_EQ(file.ReadLine(buf, 200, &cut), 199);
        EXPECT_TRUE(cut);
        EXPECT_EQ(std::u16string(buf), std::u16string(199, u'x'));
        EXPECT_EQ(file.ReadLine(buf, 200, &cut), 5);
        EXPECT_FALSE(cut);
        EXPECT_EQ(std::u16string(buf), u"after");
    }
}

TEST_F(DabFileTest, ALineOfCapacityMinusOneUnitsIsWholeAndOneMoreIsCut) {
    // Small capacities and the parser's own (65536 units).
    for (int capacity : {2, 17, 65536}) {
        for (TextEncoding e : {TextEncoding::Utf16LE, TextEncoding::Utf16BE, TextEncoding::Ansi1252, TextEncoding::Utf8}) {
            const std::u16string fits(static_cast<std::size_t>(capacity) - 1, u'y');
            open(encode_text(fits + u"\r\n" + fits + u"z\r\nafter\r\n", e));
            std::vector<WCHAR> buf(static_cast<std::size_t>(capacity) + 1, u'#');
            bool cut = true;
            EXPECT_EQ(file.ReadLine(buf.data(), capacity, &cut), capacity - 1) << capacity << " " << static_cast<int>(e);
            EXPECT_FALSE(cut) << capacity << " " << static_cast<int>(e);
            EXPECT_EQ(std::u16string(buf.data()), fits);
            EXPECT_EQ(buf[static_cast<std::size_t>(capacity)], u'#') << "nothing written past the capacity";

            cut = false;
            EXPECT_EQ(file.ReadLine(buf.data(), capacity, &cut), capacity - 1) << capacity << " " << static_cast<int>(e);
            EXPECT_TRUE(cut) << capacity << " " << static_cast<int>(e);
            EXPECT_EQ(std::u16string(buf.data()), fits);
            EXPECT_EQ(buf[static_cast<std::size_t>(capacity)], u'#');

            EXPECT_EQ(file.ReadLine(buf.data(), capacity, &cut), std::min(capacity - 1, 5));
            EXPECT_EQ(std::u16string(buf.data()), std::u16string(u"after").substr(0, capacity - 1)) << "the rest was skipped";
        }
    }
}

TEST_F(DabFileTest, Utf8NeverSplitsASurrogatePairAtTheCapacity) {
    open(encode_text(u"ab\U0001F5FA", TextEncoding::Utf8));
    WCHAR buf[4];
    bool cut = false;
    EXPECT_EQ(file.ReadLine(buf, 4, &cut), 2);
    EXPECT_TRUE(cut);
    EXPECT_EQ(std::u16string(buf), u"ab");
}

TEST_F(DabFileTest, Utf8InvalidSequencesBecomeReplacementCharacters) {
    open("\xEF\xBB\xBFok\xFF\xC3\r\nnext");
    EXPECT_EQ(lines(), (Lines{u"ok\uFFFD\uFFFD", u"next"}));
}

TEST_F(DabFileTest, AUtf8MarkIsNotPartOfTheFirstLine) {
    open("\xEF\xBB\xBF<Name>\r\n");
    WCHAR buf[32];
    EXPECT_EQ(file.ReadLine(buf, 32), 6);
    EXPECT_EQ(std::u16string(buf), u"<Name>");
}

TEST_F(DabFileTest, Utf16WithAnOddByteCountNeverReadsTheLastHalfUnit) {
    // The sanitizer build holds the buffer at exactly this size, so a read of
    // the last byte as part of a unit would be reported.
    open(std::string("\xFF\xFE" "a\0\r\0\n\0b\0c", 11));
    EXPECT_EQ(lines(), (Lines{u"a", u"b"}));
    open(std::string("\xFE\xFF\0a\0\r\0\n\0b\0", 10));
    EXPECT_EQ(lines(), (Lines{u"a", u"b"}));
    open(std::string("\xFF\xFE" "x", 3));
    EXPECT_EQ(lines(), Lines{});
}

TEST_F(DabFileTest, TagsMatchAtTheStartOfALineOnly) {
    open("<Locations> and more\r\n <Locations>\r\n<locations>\r\n<Locat\r\n<Locations>\r\nafter\r\n");
    EXPECT_TRUE(file.FindTag(u"<Locations>"));
    WCHAR buf[64];
    EXPECT_EQ(file.ReadLine(buf, 64), 12);  // the line after the first match
    EXPECT_EQ(std::u16string(buf), u" <Locations>");
    EXPECT_TRUE(file.FindNextTag(u"<Locations>"));
    EXPECT_EQ(file.ReadLine(buf, 64), 5);
    EXPECT_EQ(std::u16string(buf), u"after");
}

TEST_F(DabFileTest, FindTagLooksBehindThePositionAndFindNextTagDoesNot) {
    open("<Name>\r\nx\r\n<Images>\r\nmap.twk\r\n");
    EXPECT_TRUE(file.FindTag(u"<Images>"));
    EXPECT_FALSE(file.FindNextTag(u"<Name>"));
    WCHAR buf[8];
    EXPECT_EQ(file.ReadLine(buf, 8), -1);  // a failed search leaves the reader at the end
    EXPECT_TRUE(file.FindTag(u"<Name>"));
}

TEST_F(DabFileTest, ALongTagLineMatchesAndItsRestIsSkipped) {
    open(encode_text(u"<Name>" + std::u16string(300, u'x') + u"\r\nHarbour,a,b\r\n", TextEncoding::Ansi1252));
    EXPECT_TRUE(file.FindTag(u"<Name>"));
    WCHAR buf[32];
    EXPECT_EQ(file.ReadLine(buf, 32), 11);
    EXPECT_EQ(std::u16string(buf), u"Harbour,a,b");
}

TEST_F(DabFileTest, ASizeBoundLimitsWhatIsRead) {
    close();
    path = to_u16(dir.write("T.DAB", "first\r\nsecond\r\n"));
    file.size = 5;
    ASSERT_TRUE(file.Open(path.c_str()));
    EXPECT_EQ(file.size, 5u);
    file.Rewind();
    EXPECT_EQ(lines(), (Lines{u"first"}));
}

TEST_F(DabFileTest, OpenFailsWithoutLeavingAHandleOrBuffer) {
    int before = platform::open_file_count();
    std::u16string missing = to_u16(dir.file("NONE.DAB"));
    EXPECT_FALSE(file.Open(missing.c_str()));
    std::u16string empty = to_u16(dir.write("EMPTY.DAB", ""));
    EXPECT_FALSE(file.Open(empty.c_str()));
    std::u16string good = to_u16(dir.write("GOOD.DAB", "x"));
    platform::faults::fail_allocations(platform::AllocKind::Virtual, 0, 1);
    EXPECT_FALSE(file.Open(good.c_str()));
    platform::faults::clear_allocation_faults();
    EXPECT_EQ(file.buffer, nullptr);
    EXPECT_EQ(platform::open_file_count(), before);
    EXPECT_FALSE(file.Close());
}

TEST_F(DabFileTest, AnUnknownEncodingValueReadsNoLine) {
    open("line\r\n");
    file.encoding = 7;
    WCHAR buf[8];
    EXPECT_EQ(file.ReadLine(buf, 8), -1);
}

}  // namespace

namespace {

// The plain tag search: every line read, its first units compared.
bool naive_find_next(CDabFile& file, const std::u16string& tag) {
    WCHAR line[200];
    for (;;) {
        int length = file.ReadLine(line, 200);
        if (length < 0) return false;
        if (length >= static_cast<int>(tag.size()) && std::u16string_view(line, tag.size()) == tag) return true;
    }
}

TEST_F(DabFileTest, TagSearchesAgreeWithReadingEveryLine) {
    // Random files of tag-like lines with every kind of line end, in every
    // encoding; each search and the line after it must match the plain search.
    const std::u16string pieces[] = {u"<Locations>", u" <Locations>", u"<Links>", u"<Link", u"x<Links>",
                                     u"<Related Maps>", u"a,b,<B>c</B>", u"", u"<", u"\u00e9<Links>"};
    const std::u16string ends[] = {u"\r\n", u"\n", u"\r", u"\n\r"};
    const std::u16string tags[] = {u"<Locations>", u"<Links>", u"<Related Maps>", u"<Link"};
    std::mt19937 random(7);
    for (int round = 0; round < 200; ++round) {
        std::u16string text;
        int lines = 1 + random() % 12;
        for (int i = 0; i < lines; ++i) text += pieces[random() % 10] + ends[random() % 4];
        if (random() % 2) text += pieces[random() % 10];  // a last line without end
        auto encoding = static_cast<TextEncoding>(round % 4);
        open(encode_text(text, encoding));
        CDabFile reference;
        ASSERT_TRUE(reference.Open(path.c_str()));
        reference.Rewind();
        for (int step = 0; step < 6; ++step) {
            const std::u16string& tag = tags[random() % 4];
            bool fromStart = random() % 3 == 0;
            if (fromStart) reference.Rewind();
            bool expected = naive_find_next(reference, tag);
            bool found = fromStart ? file.FindTag(tag.c_str()) : file.FindNextTag(tag.c_str());
            ASSERT_EQ(found, expected) << "round " << round << " step " << step;
            ASSERT_EQ(file.position - file.buffer, reference.position - reference.buffer) << "round " << round;
        }
        reference.Close();
    }
}

}  // namespace
