// Platform internal: an HTML source turned into what the HTML viewer lays
// out. gumbo parses the source as a browser would (unclosed and mis-nested
// tags repaired, entities decoded); the tree is then flattened into styled
// text pieces and the block events between them, in reading order, with
// white space already collapsed. Nothing is loaded and nothing is run: the
// tags the viewer does not know pass their text through and are otherwise
// ignored.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform::controls {

// How a run of text looks. size is the HTML font size 1 to 7 (3 is the
// default); colour is a COLORREF.
struct HtmlStyle {
    std::uint8_t size = 3;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    COLORREF color = 0;

    bool operator==(const HtmlStyle&) const = default;
};

enum class HtmlAlign : std::uint8_t { Left, Center, Right };

// One piece of the document. Text and list markers point into the
// document's text; every item carries the style, indent level and alignment
// in force where it stands.
struct HtmlItem {
    enum class Kind : std::uint8_t {
        Text,       // words and collapsed spaces
        LineBreak,  // BR: ends the line, an empty one too
        Block,      // DIV and the like: starts a fresh line when needed
        Paragraph,  // P, headings, lists: a fresh line after an empty one
        Rule,       // HR
        ListItem,   // LI: a fresh line with its marker (text) before it
    };
    Kind kind = Kind::Text;
    HtmlAlign align = HtmlAlign::Left;
    std::uint16_t indent = 0;  // list and quote nesting
    std::uint32_t style = 0;   // index into HtmlDocument::styles
    std::uint32_t start = 0;   // into HtmlDocument::text
    std::uint32_t length = 0;
};

struct HtmlDocument {
    std::u16string text;
    std::vector<HtmlStyle> styles;  // never empty: styles[0] is the body's
    std::vector<HtmlItem> items;
    // Body margins in pixels (LEFTMARGIN, TOPMARGIN, RIGHTMARGIN,
    // BOTTOMMARGIN and the MARGINWIDTH/MARGINHEIGHT pair).
    int leftMargin = 4;
    int topMargin = 2;
    int rightMargin = 4;
    int bottomMargin = 0;
    COLORREF background = 0x00FFFFFF;
};

// Parses a whole source. Invalid UTF-16 (a lone surrogate) reads as U+FFFD.
HtmlDocument parse_html(std::u16string_view source);

// The colour an HTML colour value names (the 16 colour names without regard
// to case, #rgb, #rrggbb, or six hex digits alone); false when it names none.
bool parse_html_color(std::string_view value, COLORREF* color);

}  // namespace platform::controls
