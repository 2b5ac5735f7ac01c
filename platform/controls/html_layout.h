// Platform internal: an HTML document laid out at one width. Words wrap at
// spaces; a word wider than the line is broken between letters. Lines are
// as high as their tallest text and share one baseline. The layout is
// kept by the viewer and made again only when the document or the width
// changes.
#pragma once

#include "platform/controls/html_document.h"

#include <cstdint>
#include <vector>

namespace platform::controls {

// Text drawn with one style, on one line.
struct HtmlFragment {
    int x = 0;  // left edge, document pixels
    int width = 0;
    std::uint32_t start = 0;  // into HtmlDocument::text
    std::uint32_t length = 0;
    std::uint32_t style = 0;
};

struct HtmlLine {
    int top = 0;
    int height = 0;
    int ascent = 0;  // from top to the baseline
    std::uint32_t first = 0;  // into HtmlLayout::fragments
    std::uint32_t count = 0;
};

struct HtmlRule {
    int left = 0;
    int top = 0;
    int right = 0;
};

struct HtmlLayout {
    int width = -1;  // the width laid out for; -1 before any layout
    int height = 0;  // the whole document, margins included
    std::vector<HtmlLine> lines;  // top to bottom
    std::vector<HtmlFragment> fragments;
    std::vector<HtmlRule> rules;
};

// Pixels a list or quote level indents its lines.
inline constexpr int kHtmlIndentStep = 16;

HtmlLayout lay_out_html(const HtmlDocument& doc, int width);

// The index of the first line whose bottom lies below y (lines.size() when
// none does).
std::size_t first_line_below(const HtmlLayout& layout, int y);

}  // namespace platform::controls
