#include "tests/controls/controls_support.h"

#include "platform/controls/html_document.h"
#include "platform/controls/html_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <string>

using namespace controls_test;
using platform::controls::HtmlDocument;
using platform::controls::HtmlItem;
using platform::controls::HtmlLayout;
using platform::controls::HtmlStyle;
using platform::controls::lay_out_html;
using platform::controls::parse_html;
namespace headless = platform::headless;

namespace {

// What the location strip sends for a location with and without a
// description.
const std::vector<std::u16string> kStrip = {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">", u"<FONT SIZE=2 COLOR=BLUE><B>",
                                            u"Quay Cafe", u"</B><FONT SIZE=2 COLOR=BLACK> - ", u"Open all day",
                                            u"</BODY>"};
const std::vector<std::u16string> kStripNameOnly = {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">",
                                                    u"<FONT SIZE=2 COLOR=BLUE><B>", u"Quay Cafe", u"</BODY>"};

std::vector<std::u16string> find_pane(const std::u16string& description) {
    return {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\"><P>", description, u"</P></BODY>"};
}
std::vector<std::u16string> info_pane(const std::u16string& topic) {
    return {u"<BODY LEFTMARGIN=\"8\"><P>", topic, u"</P></BODY>"};
}

RECT inset(RECT r, int by) { return RECT{r.left + by, r.top + by, r.right - by, r.bottom - by}; }

bool thumb_grey(std::uint32_t p) { return is(p, RGB(120, 120, 120)); }

class HtmlView : public ::testing::Test {
protected:
    void SetUp() override {
        start_over();
        main = make_main();
    }
    // The strip as the popup places it along the bottom of a 268-pixel
    // client area, or at its top.
    HWND strip(int height, bool bottom = true) {
        const int top = bottom ? 268 - height + 1 : 0;
        return make_view(main, RECT{-1, top, 242, top + height}, WS_CHILD | WS_BORDER | WS_VISIBLE);
    }
    HWND main = nullptr;
};

// The style of the first unit of text equal to what.
HtmlStyle style_of(const HtmlDocument& doc, const std::u16string& what) {
    const std::size_t at = doc.text.find(what);
    for (const HtmlItem& item : doc.items) {
        if (item.kind == HtmlItem::Kind::Text && at >= item.start && at < item.start + item.length)
            return doc.styles[item.style];
    }
    ADD_FAILURE() << "no text item holds the text";
    return HtmlStyle{};
}

TEST_F(HtmlView, TheStripShowsTheNameInBoldBlueAndTheDescriptionAfterItInBlack) {
    HWND view = strip(42);
    show(view, kStrip);
    settle();
    // Inside the border, and inside the main window's client area.
    RECT client = inset(screen_rect(view), 1);
    client.right = 240;
    const auto blue = columns(client, bluish);
    const auto black = columns(client, dark);
    ASSERT_GE(blue.first, 0);
    ASSERT_GE(black.first, 0);
    EXPECT_LE(blue.first, client.left + 4) << "LEFTMARGIN 2 puts the name at the left edge";
    EXPECT_LT(blue.second, black.first) << "the description follows the name";
    const auto lines = rows(client, ink);
    EXPECT_LE(lines.first, client.top + 3) << "TOPMARGIN 0";
    EXPECT_LE(lines.second, client.top + 13) << "one line of size-2 text";
    EXPECT_EQ(count(client, thumb_grey), 0) << "a strip that holds its text has no scroll bar";

    // The name is bold: the same name in plain blue has clearly less ink.
    const int boldInk = count(client, bluish);
    show(view, {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">", u"<FONT SIZE=2 COLOR=BLUE>", u"Quay Cafe", u"</BODY>"});
    settle();
    const int plainInk = count(client, bluish);
    EXPECT_GT(plainInk, 0);
    EXPECT_GT(boldInk * 100, plainInk * 115);
}

TEST_F(HtmlView, ANameWithoutDescriptionLeavesItsBoldOpenAndFitsTheSixteenPixelStrip) {
    HWND view = strip(16, false);
    show(view, kStripNameOnly);
    settle();
    RECT client = inset(screen_rect(view), 1);
    client.right = 240;
    EXPECT_GT(count(client, bluish), 40);
    EXPECT_EQ(count(client, dark), 0) << "no description, no black text";
    EXPECT_EQ(count(client, thumb_grey), 0);

    // Exactly as bold as the name with its bold closed.
    const int unclosed = count(client, bluish);
    show(view, {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">", u"<FONT SIZE=2 COLOR=BLUE><B>", u"Quay Cafe",
                u"</B></FONT></BODY>"});
    settle();
    EXPECT_EQ(count(client, bluish), unclosed);
}

TEST_F(HtmlView, BodyMarginsPlaceTheFindAndInformationPanes) {
    HWND view = make_view(main, RECT{0, 40, 240, 140});
    const RECT area = screen_rect(view);
    show(view, find_pane(u"Open all day"));
    settle();
    const auto findColumns = columns(area, dark);
    const auto findRows = rows(area, dark);
    show(view, info_pane(u"Open all day"));
    settle();
    const auto infoColumns = columns(area, dark);
    const auto infoRows = rows(area, dark);
    ASSERT_GE(findColumns.first, 0);
    EXPECT_EQ(infoColumns.first - findColumns.first, 6) << "LEFTMARGIN 8 against LEFTMARGIN 2";
    EXPECT_LT(findRows.first, infoRows.first) << "TOPMARGIN 0 against the default top margin";
}

TEST_F(HtmlView, PiecesMayBreakTagsAndEntitiesAnywhere) {
    HWND view = strip(42);
    std::u16string whole;
    const std::vector<std::u16string> pieces = {u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">",
                                                u"<FONT SIZE=2 COLOR=BLUE><B>", u"Fish &amp; Chips",
                                                u"</B><FONT SIZE=2 COLOR=BLACK> - ", u"Open &lt;all&gt; day",
                                                u"</BODY>"};
    for (const auto& p : pieces) whole += p;
    show(view, {whole});
    settle();
    const platform::Surface expected = headless::compose();
    for (std::size_t cut = 1; cut < whole.size(); cut += 3) {
        show(view, {whole.substr(0, cut), whole.substr(cut)});
        settle();
        const platform::Surface got = headless::compose();
        ASSERT_EQ(std::memcmp(got.pixels(), expected.pixels(), sizeof(std::uint32_t) * 240 * 320), 0)
            << "cut at " << cut;
    }
    const HtmlDocument doc = parse_html(whole);
    EXPECT_NE(doc.text.find(u"Fish & Chips - Open <all> day"), std::u16string::npos);
}

TEST_F(HtmlView, EverySendingReplacesTheDocumentAndAnEmptyTextClearsIt) {
    HWND view = strip(42);
    show(view, kStrip);
    settle();
    const platform::Surface once = headless::compose();
    show(view, kStrip);
    settle();
    const platform::Surface twice = headless::compose();
    EXPECT_EQ(std::memcmp(once.pixels(), twice.pixels(), sizeof(std::uint32_t) * 240 * 320), 0);
    std::u16string source(64, u'\0');
    const int length = GetWindowTextW(view, source.data(), 64);
    EXPECT_EQ(source.substr(0, 10), u"<BODY LEFT") << "the source is kept as sent";
    EXPECT_GT(length, 10);

    SetWindowTextW(view, u"");
    settle();
    RECT client = inset(screen_rect(view), 1);
    client.right = 240;
    EXPECT_EQ(count(client, ink), 0);
}

TEST_F(HtmlView, PlainTextPiecesShowTheirMarkupCharacters) {
    HWND view = make_view(main, RECT{0, 0, 240, 60});
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    SendMessageW(view, DTM_ADDTEXTW, 1, reinterpret_cast<LPARAM>(u"<b>a & b</b>"));
    SendMessageW(view, DTM_ENDOFSOURCE, 0, 0);
    std::u16string source(64, u'\0');
    source.resize(GetWindowTextW(view, source.data(), 64));
    EXPECT_EQ(parse_html(source).text, u"<b>a & b</b>");
}

TEST_F(HtmlView, APlainTextEntityShowsAsItsOwnCharacters) {
    HWND view = make_view(main, RECT{0, 0, 240, 60});
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    SendMessageW(view, DTM_ADDTEXTW, 1, reinterpret_cast<LPARAM>(u"&lt;"));
    SendMessageW(view, DTM_ENDOFSOURCE, 0, 0);
    settle();
    EXPECT_EQ(headless::html_view_text(view), u"&lt;");

    // Between HTML pieces, only the plain one keeps its entity as text.
    SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    SendMessageW(view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"<b>&lt;"));
    SendMessageW(view, DTM_ADDTEXTW, 1, reinterpret_cast<LPARAM>(u"&lt;"));
    SendMessageW(view, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(u"&gt;</b>"));
    SendMessageW(view, DTM_ENDOFSOURCE, 0, 0);
    settle();
    EXPECT_EQ(headless::html_view_text(view), u"<&lt;>");
}

TEST_F(HtmlView, GetTextIntoAShortBufferCutsAndEndsTheText) {
    HWND view = make_view(main, RECT{0, 0, 240, 60});
    SetWindowTextW(view, u"abcdefghij");
    struct Case {
        int size;
        LRESULT copied;
    } cases[] = {{12, 10}, {11, 10}, {10, 9}, {5, 4}, {2, 1}, {1, 0}};
    for (const Case& c : cases) {
        WCHAR buffer[16];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        EXPECT_EQ(SendMessageW(view, WM_GETTEXT, c.size, reinterpret_cast<LPARAM>(buffer)), c.copied) << c.size;
        EXPECT_EQ(std::u16string(buffer, static_cast<std::size_t>(c.copied)),
                  std::u16string(u"abcdefghij").substr(0, static_cast<std::size_t>(c.copied)));
        EXPECT_EQ(buffer[c.copied], 0) << c.size;
        for (int i = static_cast<int>(c.copied) + 1; i < 16; ++i) EXPECT_EQ(buffer[i], u'#') << c.size << " at " << i;
    }
    WCHAR untouched = u'#';
    EXPECT_EQ(SendMessageW(view, WM_GETTEXT, 0, reinterpret_cast<LPARAM>(&untouched)), 0);
    EXPECT_EQ(untouched, u'#');
}

TEST(HtmlDocumentModel, FontSizesColoursAndInlineLooks) {
    const HtmlDocument doc = parse_html(
        u"<font size=+1>Big</font><font size=-2>Tiny</font><font size=9>Huge</font><font size=2>Two</font>"
        u"<font color=#f00>Red</font><font color=\"#00ff00\">Green</font><font color=Navy>Navy</font>"
        u"<font color=nonsense>Plain</font><a href=\"x\">Link</a><a name=y>Anchor</a><i>Slanted</i>"
        u"<u>Under</u><strong>Strong</strong><em>Em</em><font size=2><b>Nested<font color=blue>Both</font></b></font>");
    EXPECT_EQ(style_of(doc, u"Big").size, 4);
    EXPECT_EQ(style_of(doc, u"Tiny").size, 1);
    EXPECT_EQ(style_of(doc, u"Huge").size, 7);
    EXPECT_EQ(style_of(doc, u"Two").size, 2);
    EXPECT_EQ(style_of(doc, u"Red").color, RGB(255, 0, 0));
    EXPECT_EQ(style_of(doc, u"Green").color, RGB(0, 255, 0));
    EXPECT_EQ(style_of(doc, u"Navy").color, RGB(0, 0, 128));
    EXPECT_EQ(style_of(doc, u"Plain").color, RGB(0, 0, 0));
    EXPECT_TRUE(style_of(doc, u"Link").underline);
    EXPECT_EQ(style_of(doc, u"Link").color, RGB(0, 0, 255));
    EXPECT_FALSE(style_of(doc, u"Anchor").underline);
    EXPECT_TRUE(style_of(doc, u"Slanted").italic);
    EXPECT_TRUE(style_of(doc, u"Under").underline);
    EXPECT_TRUE(style_of(doc, u"Strong").bold);
    EXPECT_TRUE(style_of(doc, u"Em").italic);
    const HtmlStyle both = style_of(doc, u"Both");
    EXPECT_TRUE(both.bold);
    EXPECT_EQ(both.size, 2);
    EXPECT_EQ(both.color, RGB(0, 0, 255));
    EXPECT_EQ(style_of(doc, u"Nested").color, RGB(0, 0, 0));

    COLORREF c = 0;
    EXPECT_TRUE(platform::controls::parse_html_color(" #C0ffee", &c));
    EXPECT_EQ(c, RGB(0xC0, 0xFF, 0xEE));
    EXPECT_FALSE(platform::controls::parse_html_color("#12345", &c));
    EXPECT_FALSE(platform::controls::parse_html_color("#ggg", &c));
}

TEST(HtmlDocumentModel, HiddenPartsEntitiesAndWhiteSpace) {
    const HtmlDocument doc = parse_html(
        u"<html><head><title>Secret title</title><style>p{color:red}</style></head><body>"
        u"<script>var secret = 1;</script>  A   &lt;b&gt;\n\t&amp; &eacute;&#233;&nbsp;B "
        u"<object>fallback</object><blink>kept</blink><pre>x  y\nz</pre></body></html>");
    EXPECT_EQ(doc.text.find(u"ecret"), std::u16string::npos);
    EXPECT_EQ(doc.text.find(u"color"), std::u16string::npos);
    EXPECT_NE(doc.text.find(u"A <b> & \u00e9\u00e9\u00a0B fallbackkept"), std::u16string::npos)
        << platform::to_utf8(doc.text);
    EXPECT_NE(doc.text.find(u"x\u00a0\u00a0y"), std::u16string::npos) << "PRE keeps its spaces";
}

TEST(HtmlLayoutTest, WordsWrapToTheWidthAndAnOverlongWordBreaksBetweenLetters) {
    std::u16string words;
    for (int i = 0; i < 30; ++i) words += u"harbour ";
    const HtmlDocument doc = parse_html(u"<body leftmargin=4 rightmargin=4><p>" + words + u"</p>");
    const HtmlLayout layout = lay_out_html(doc, 120);
    ASSERT_GT(layout.lines.size(), 5u);
    for (const auto& line : layout.lines) {
        ASSERT_GT(line.count, 0u);
        const auto& first = layout.fragments[line.first];
        const auto& last = layout.fragments[line.first + line.count - 1];
        EXPECT_EQ(first.x, 4);
        EXPECT_LE(last.x + last.width, 116);
        // Lines end at the end of a word.
        const std::size_t end = last.start + last.length;
        EXPECT_TRUE(end == doc.text.size() || doc.text[end] == u' ');
    }
    // The same text at another width is laid out again, not reused.
    EXPECT_LT(lay_out_html(doc, 230).lines.size(), layout.lines.size());

    const HtmlDocument longWord = parse_html(u"<p>" + std::u16string(80, u'w') + u"</p>");
    const HtmlLayout broken = lay_out_html(longWord, 100);
    ASSERT_GT(broken.lines.size(), 2u);
    std::uint32_t letters = 0;
    for (const auto& f : broken.fragments) {
        letters += f.length;
        EXPECT_LE(f.x + f.width, 100 - longWord.rightMargin);
    }
    EXPECT_EQ(letters, 80u);
}

// The pixels from the left margin to the end of the last fragment of a
// document laid out on one line.
int one_line_width(const HtmlDocument& doc) {
    const HtmlLayout wide = lay_out_html(doc, 2000);
    EXPECT_EQ(wide.lines.size(), 1u);
    const auto& last = wide.fragments[wide.lines[0].first + wide.lines[0].count - 1];
    return last.x + last.width - doc.leftMargin;
}

TEST(HtmlLayoutTest, WordsThatFillTheLineExactlyStayOnIt) {
    const HtmlDocument doc = parse_html(u"<body leftmargin=4 rightmargin=4><p>quay ferry harbour</p>");
    const int used = one_line_width(doc);
    ASSERT_GT(used + 8, 48) << "wider than the narrowest layout";
    const HtmlLayout exact = lay_out_html(doc, used + 8);
    EXPECT_EQ(exact.lines.size(), 1u);

    const HtmlLayout narrower = lay_out_html(doc, used + 7);
    ASSERT_EQ(narrower.lines.size(), 2u);
    const auto& moved = narrower.fragments[narrower.lines[1].first];
    EXPECT_EQ(doc.text.substr(moved.start, moved.length), u"harbour");
    EXPECT_EQ(moved.x, 4);

    // One character more at the same width wraps too.
    const HtmlDocument longer = parse_html(u"<body leftmargin=4 rightmargin=4><p>quay ferry harbours</p>");
    EXPECT_EQ(lay_out_html(longer, used + 8).lines.size(), 2u);

    // A word wider than the line is broken between letters: a line takes
    // as many letters as fill it exactly, and no more.
    const int letter = one_line_width(parse_html(u"<body leftmargin=4 rightmargin=4>w"));
    ASSERT_GT(letter, 0);
    const int perLine = 48 / letter + 1;  // a layout narrower than 48 pixels is made at 48
    const HtmlDocument word =
        parse_html(u"<body leftmargin=4 rightmargin=4>" + std::u16string(2 * perLine + 1, u'w'));
    const HtmlLayout full = lay_out_html(word, perLine * letter + 8);
    ASSERT_EQ(full.lines.size(), 3u);
    EXPECT_EQ(full.fragments[full.lines[0].first].length, static_cast<std::uint32_t>(perLine));
    EXPECT_EQ(full.fragments[full.lines[1].first].length, static_cast<std::uint32_t>(perLine));
    EXPECT_EQ(full.fragments[full.lines[2].first].length, 1u);
    const HtmlLayout oneLess = lay_out_html(word, perLine * letter + 7);
    EXPECT_EQ(oneLess.fragments[oneLess.lines[0].first].length, static_cast<std::uint32_t>(perLine - 1));
}

TEST(HtmlLayoutTest, TheFirstParagraphStartsAtTheTopMargin) {
    const HtmlLayout set = lay_out_html(parse_html(u"<body topmargin=7><p>one</p><p>two</p>"), 200);
    ASSERT_EQ(set.lines.size(), 2u);
    EXPECT_EQ(set.lines[0].top, 7);
    EXPECT_EQ(set.lines[1].top, 7 + 2 * set.lines[0].height) << "the second one has an empty line above it";

    const HtmlLayout zero = lay_out_html(parse_html(u"<body topmargin=0><p>one</p>"), 200);
    ASSERT_EQ(zero.lines.size(), 1u);
    EXPECT_EQ(zero.lines[0].top, 0);
    const HtmlDocument plain = parse_html(u"<p>one</p>");
    const HtmlLayout byDefault = lay_out_html(plain, 200);
    ASSERT_EQ(byDefault.lines.size(), 1u);
    EXPECT_EQ(byDefault.lines[0].top, plain.topMargin);
}

TEST(HtmlLayoutTest, BreaksParagraphsRulesAndListItems) {
    const HtmlLayout breaks = lay_out_html(parse_html(u"one<br><br>three"), 200);
    ASSERT_EQ(breaks.lines.size(), 3u);
    EXPECT_EQ(breaks.lines[1].count, 0u) << "an empty line between two BRs";
    EXPECT_GT(breaks.lines[1].height, 0);

    const HtmlLayout paragraphs = lay_out_html(parse_html(u"<p>one</p><p>two</p>"), 200);
    ASSERT_EQ(paragraphs.lines.size(), 2u);
    const auto& a = paragraphs.lines[0];
    EXPECT_EQ(paragraphs.lines[1].top - (a.top + a.height), a.height) << "an empty line between paragraphs";

    const HtmlLayout rule = lay_out_html(parse_html(u"above<hr>below"), 200);
    ASSERT_EQ(rule.rules.size(), 1u);
    EXPECT_GT(rule.rules[0].top, rule.lines[0].top + rule.lines[0].height - 1);
    EXPECT_LT(rule.rules[0].top, rule.lines[1].top);

    const HtmlDocument listDoc = parse_html(u"<ul><li>first<li>second</ul><ol><li>a<li>b</ol>");
    const HtmlLayout list = lay_out_html(listDoc, 200);
    ASSERT_EQ(list.lines.size(), 4u);
    const auto& marker = list.fragments[list.lines[0].first];
    const auto& text = list.fragments[list.lines[0].first + 1];
    EXPECT_EQ(listDoc.text.substr(marker.start, marker.length), u"\u2022");
    EXPECT_LT(marker.x + marker.width, text.x);
    const auto& number = list.fragments[list.lines[3].first];
    EXPECT_EQ(listDoc.text.substr(number.start, number.length), u"2.");

    const HtmlDocument centred = parse_html(u"<center>mid</center><p align=right>end</p>");
    const HtmlLayout aligned = lay_out_html(centred, 200);
    ASSERT_EQ(aligned.lines.size(), 2u);
    const auto& mid = aligned.fragments[aligned.lines[0].first];
    EXPECT_NEAR(mid.x + mid.width / 2, 100, 2);
    const auto& end = aligned.fragments[aligned.lines[1].first];
    EXPECT_EQ(end.x + end.width, 200 - centred.rightMargin);
}

// A document of 40 numbered lines, each in a colour of its own.
std::u16string long_document() {
    std::u16string doc = u"<body topmargin=0>";
    for (int i = 0; i < 40; ++i) {
        const std::string colour = "#" + std::string(1, "0123456789abcdef"[i % 16]) + "0" +
                                   std::string(1, "0123456789abcdef"[(i * 7) % 16]) + "0" + "80";
        doc += u"<font color=" + std::u16string(colour.begin(), colour.end()) + u">\u2588\u2588\u2588 line</font><br>";
    }
    return doc;
}

// The view's rows (without the scroll bar's columns) as they are on screen.
std::vector<std::vector<std::uint32_t>> snapshot(RECT area) {
    std::vector<std::vector<std::uint32_t>> rowsOut;
    for (int y = area.top; y < area.bottom; ++y) {
        std::vector<std::uint32_t> row;
        for (int x = area.left; x < area.right - 6; ++x) row.push_back(headless::pixel(x, y));
        rowsOut.push_back(row);
    }
    return rowsOut;
}

// True when after shows before moved up by shift rows.
bool shifted(const std::vector<std::vector<std::uint32_t>>& before, const std::vector<std::vector<std::uint32_t>>& after,
             int shift) {
    for (std::size_t y = 0; y + shift < before.size(); ++y) {
        if (after[y] != before[y + shift]) return false;
    }
    return true;
}

TEST_F(HtmlView, ALongDocumentScrollsByKeysByDraggingAndByItsBar) {
    HWND view = make_view(main, RECT{20, 20, 220, 140});
    SetWindowTextW(view, long_document().c_str());
    settle();
    const RECT area = screen_rect(view);
    const RECT bar{area.right - 4, area.top, area.right, area.bottom};
    ASSERT_GT(count(bar, thumb_grey), 0) << "a thin scroll bar shows";
    const auto top = rows(RECT{area.left, area.top, area.right, area.top + 14}, thumb_grey);
    EXPECT_EQ(top.first, area.top) << "the thumb starts at the top";

    // The keys reach the view once it has the focus.
    const auto start = snapshot(area);
    SetFocus(view);
    headless::press_key(VK_DOWN);
    settle();
    const auto down = snapshot(area);
    EXPECT_TRUE(shifted(start, down, 14));

    // The text follows the stylus.
    headless::stylus_down(100, area.top + 80);
    headless::stylus_move(100, area.top + 60);
    headless::stylus_up(100, area.top + 60);
    settle();
    EXPECT_TRUE(shifted(down, snapshot(area), 20));

    // Dragging the thumb to the bottom shows the end, and no further.
    headless::stylus_down(area.right - 2, area.top + 2);
    headless::stylus_move(area.right - 2, area.bottom + 200);
    headless::stylus_up(area.right - 2, area.bottom + 200);
    settle();
    const auto bottom = rows(bar, thumb_grey);
    EXPECT_EQ(bottom.second, area.bottom - 1);
    const auto end = snapshot(area);
    headless::press_key(VK_RIGHT);
    settle();
    EXPECT_EQ(snapshot(area), end) << "no scrolling past the end";

    // A new document starts at its top.
    SetWindowTextW(view, long_document().c_str());
    settle();
    EXPECT_EQ(snapshot(area), start);
}

TEST_F(HtmlView, ATapOnAStripWithNothingToScrollLeavesTheFocusWithTheMainWindow) {
    HWND view = strip(42);
    show(view, kStrip);
    settle();
    SetFocus(main);
    headless::tap(100, 26 + 250);
    settle();
    EXPECT_EQ(GetFocus(), main);
}

TEST_F(HtmlView, HostileDocumentsAreShownWithoutHarm) {
    HWND view = make_view(main, RECT{0, 0, 240, 200});
    for (const char16_t* tag : {u"b", u"div", u"ul", u"font size=+1", u"li", u"table", u"p", u"a href=x"}) {
        std::u16string nested;
        for (int i = 0; i < 10000; ++i) nested += u"<" + std::u16string(tag) + u">";
        nested += u"deep";
        SetWindowTextW(view, nested.c_str());
        settle();
        headless::press_key(VK_RIGHT);
        settle();
    }
    // A megabyte of text: words, then one word of half a megabyte.
    std::u16string big;
    while (big.size() < 512 * 1024) big += u"lorem ipsum dolor ";
    big += std::u16string(512 * 1024, u'x');
    SetWindowTextW(view, big.c_str());
    settle();
    EXPECT_GT(count(screen_rect(view), ink), 100);

    // Lone and reversed surrogates read as replacement characters.
    const char16_t broken[] = {u'a', 0xD800, u'b', 0xDC00, 0xDC00, 0xD800, u'<', 0xD834, u'>', 0xD834, 0};
    SetWindowTextW(view, broken);
    settle();
    std::u16string source(32, u'\0');
    source.resize(GetWindowTextW(view, source.data(), 32));
    const HtmlDocument doc = parse_html(source);
    EXPECT_EQ(doc.text.substr(0, 3), u"a\uFFFDb");
    EXPECT_GT(count(screen_rect(view), ink), 10);
    DestroyWindow(view);
}

TEST(HtmlViewLibrary, TheLibraryAndTheClassAreProvidedByThePlatform) {
    start_over();
    EXPECT_NE(LoadLibraryW(u"htmlview.dll"), nullptr);
    EXPECT_EQ(LoadLibraryW(u"HTMLVIEW.DLL"), LoadLibraryW(u"\\windows\\htmlview.dll"));
    EXPECT_EQ(LoadLibraryW(u"nothere.dll"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    EXPECT_TRUE(FreeLibrary(LoadLibraryW(u"htmlview.dll")));

    platform::headless::reset(SIZE{240, 320});
    HWND main = CreateWindowExW(0, u"EDIT", nullptr, WS_VISIBLE, 0, 26, 240, 200, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(main, nullptr) << "EDIT needs no registering";
    EXPECT_EQ(CreateWindowExW(0, u"DISPLAYCLASS", nullptr, WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr),
              nullptr)
        << "not before InitHTMLControl";
    EXPECT_TRUE(InitHTMLControl(nullptr));
    EXPECT_TRUE(InitHTMLControl(nullptr));
    EXPECT_NE(CreateWindowExW(0, u"displayclass", nullptr, WS_CHILD, 0, 0, 10, 10, main, nullptr, nullptr, nullptr),
              nullptr);
}

}  // namespace
