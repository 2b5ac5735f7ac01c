#include "platform/controls/html_layout.h"

#include "platform/controls/html_fonts.h"

#include <algorithm>

namespace platform::controls {
namespace {

// Narrower windows are laid out at this width and show its left part, so a
// long text in a sliver of a window does not become a line per letter.
constexpr int kMinLayoutWidth = 48;
// At least this much of every line is left for text whatever the margins.
constexpr int kMinTextWidth = 16;
constexpr int kMarkerGap = 4;  // between a list marker and its item's text
constexpr int kRuleSpace = 4;  // above and below a rule

bool is_high(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool is_low(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

class Layouter {
public:
    Layouter(const HtmlDocument& doc, int width) : m_doc(doc), m_faces(doc.styles.size(), nullptr) {
        m_out.width = width;
        width = std::max(width, kMinLayoutWidth);
        int left = doc.leftMargin;
        int right = doc.rightMargin;
        const int room = width - kMinTextWidth;
        if (left + right > room) {
            left = std::min(left, room / 2);
            right = std::max(0, std::min(right, room - left));
        }
        m_left = left;
        m_right = width - right;
        m_y = doc.topMargin;
    }

    HtmlLayout run() {
        using Kind = HtmlItem::Kind;
        for (const HtmlItem& item : m_doc.items) {
            m_style = item.style;
            m_align = item.align;
            m_indent = item.indent;
            switch (item.kind) {
            case Kind::Text: text(item); break;
            case Kind::LineBreak:
                flush_word();
                if (!m_lineOpen) open_line();
                end_line();
                break;
            case Kind::Block:
                flush_word();
                if (m_lineOpen) end_line();
                break;
            case Kind::Paragraph:
                flush_word();
                if (m_lineOpen) end_line();
                // No empty line above the first paragraph: the panes are small.
                if (m_placedAny) m_gap = std::max(m_gap, face(m_style).height);
                break;
            case Kind::Rule:
                flush_word();
                if (m_lineOpen) end_line();
                rule();
                break;
            case Kind::ListItem:
                flush_word();
                if (m_lineOpen) end_line();
                marker(item);
                break;
            }
        }
        flush_word();
        if (m_lineOpen) end_line();
        m_out.height = m_y + m_doc.bottomMargin;
        return std::move(m_out);
    }

private:
    struct Segment {
        std::uint32_t start;
        std::uint32_t length;
        std::uint32_t style;
        int width;
    };

    gdi::FaceInstance& face(std::uint32_t style) {
        if (style >= m_faces.size()) style = 0;
        if (m_faces[style] == nullptr) m_faces[style] = &html_face(m_doc.styles[style]);
        return *m_faces[style];
    }

    int indent_pixels() const {
        const long pixels = static_cast<long>(m_indent) * kHtmlIndentStep;
        return static_cast<int>(std::min<long>(pixels, (m_right - m_left) / 2));
    }

    void open_line() {
        m_y += m_gap;
        m_gap = 0;
        m_lineLeft = m_left + indent_pixels();
        m_lineRight = std::max(m_lineLeft + 1, m_right);
        m_lineX = 0;
        m_ascent = 0;
        m_descent = 0;
        m_lineFirst = static_cast<std::uint32_t>(m_out.fragments.size());
        m_lineAlign = m_align;
        m_lineHasWords = false;
        m_spacePending = false;
        m_lineOpen = true;
    }

    void end_line() {
        if (m_ascent == 0 && m_descent == 0) {
            gdi::FaceInstance& f = face(m_style);
            m_ascent = f.ascent;
            m_descent = f.descent;
        }
        const int room = m_lineRight - m_lineLeft;
        int offset = 0;
        if (m_lineAlign == HtmlAlign::Center) offset = std::max(0, (room - m_lineX) / 2);
        else if (m_lineAlign == HtmlAlign::Right) offset = std::max(0, room - m_lineX);
        for (std::size_t i = m_lineFirst; i < m_out.fragments.size(); ++i) m_out.fragments[i].x += m_lineLeft + offset;
        HtmlLine line;
        line.top = m_y;
        line.height = m_ascent + m_descent;
        line.ascent = m_ascent;
        line.first = m_lineFirst;
        line.count = static_cast<std::uint32_t>(m_out.fragments.size()) - m_lineFirst;
        m_out.lines.push_back(line);
        m_y += line.height;
        m_lineOpen = false;
        m_spacePending = false;
        m_placedAny = true;
    }

    // Adds text at the line's pen, joining the last fragment when it is the
    // same style and the text follows on.
    void place(std::uint32_t start, std::uint32_t length, std::uint32_t style, int width) {
        gdi::FaceInstance& f = face(style);
        m_ascent = std::max(m_ascent, f.ascent);
        m_descent = std::max(m_descent, f.descent);
        if (m_out.fragments.size() > m_lineFirst) {
            HtmlFragment& last = m_out.fragments.back();
            if (last.style == style && last.start + last.length == start && last.x + last.width == m_lineX) {
                last.length += length;
                last.width += width;
                m_lineX += width;
                return;
            }
        }
        m_out.fragments.push_back(HtmlFragment{m_lineX, width, start, length, style});
        m_lineX += width;
    }

    int advance_at(std::uint32_t i, std::uint32_t end, std::uint32_t style, std::uint32_t* units) {
        const std::u16string& t = m_doc.text;
        char32_t cp = t[i];
        *units = 1;
        if (is_high(t[i]) && i + 1 < end && is_low(t[i + 1])) {
            cp = 0x10000 + ((static_cast<char32_t>(t[i]) - 0xD800) << 10) + (t[i + 1] - 0xDC00);
            *units = 2;
        } else if (is_high(t[i]) || is_low(t[i])) {
            cp = 0xFFFD;
        }
        return face(style).advance(cp);
    }

    void text(const HtmlItem& item) {
        const std::uint32_t end = item.start + item.length;
        const int spaceWidth = face(item.style).advance(U' ');
        for (std::uint32_t i = item.start; i < end;) {
            if (m_doc.text[i] == u' ') {
                flush_word();
                // Spaces at the start of a line are not shown.
                if (m_lineOpen && m_lineHasWords && !m_spacePending) {
                    m_spacePending = true;
                    m_space = Segment{i, 1, item.style, spaceWidth};
                }
                ++i;
                continue;
            }
            std::uint32_t units;
            const int width = advance_at(i, end, item.style, &units);
            if (!m_word.empty() && m_word.back().style == item.style &&
                m_word.back().start + m_word.back().length == i) {
                m_word.back().length += units;
                m_word.back().width += width;
            } else {
                m_word.push_back(Segment{i, units, item.style, width});
            }
            m_wordWidth += width;
            i += units;
        }
    }

    void flush_word() {
        if (m_word.empty()) return;
        if (!m_lineOpen) open_line();
        const int room = m_lineRight - m_lineLeft;
        const int spaceWidth = m_spacePending ? m_space.width : 0;
        if (m_lineHasWords && m_lineX + spaceWidth + m_wordWidth > room) {
            end_line();
            open_line();
        } else if (m_spacePending) {
            place(m_space.start, m_space.length, m_space.style, m_space.width);
        }
        m_spacePending = false;
        if (m_lineX + m_wordWidth <= room) {
            for (const Segment& s : m_word) place(s.start, s.length, s.style, s.width);
        } else {
            // Wider than a whole line: broken between letters, at least one
            // letter to a line.
            for (const Segment& s : m_word) {
                const std::uint32_t end = s.start + s.length;
                for (std::uint32_t i = s.start; i < end;) {
                    std::uint32_t units;
                    const int width = advance_at(i, end, s.style, &units);
                    if (m_lineX > 0 && m_lineX + width > room) {
                        end_line();
                        open_line();
                    }
                    place(i, units, s.style, width);
                    i += units;
                }
            }
        }
        m_lineHasWords = true;
        m_word.clear();
        m_wordWidth = 0;
    }

    void rule() {
        m_y += m_gap + kRuleSpace;
        m_gap = 0;
        const int left = m_left + indent_pixels();
        m_out.rules.push_back(HtmlRule{left, m_y, std::max(left + 1, m_right)});
        m_y += 1 + kRuleSpace;
        m_placedAny = true;
    }

    void marker(const HtmlItem& item) {
        open_line();
        int width = 0;
        const std::uint32_t end = item.start + item.length;
        for (std::uint32_t i = item.start; i < end;) {
            std::uint32_t units;
            width += advance_at(i, end, item.style, &units);
            i += units;
        }
        // The marker hangs in the indent, left of the item's text.
        place(item.start, item.length, item.style, width);
        m_out.fragments.back().x = -(width + kMarkerGap);
        m_lineX = 0;
    }

    const HtmlDocument& m_doc;
    HtmlLayout m_out;
    std::vector<gdi::FaceInstance*> m_faces;
    int m_left = 0;
    int m_right = 0;
    int m_y = 0;
    int m_gap = 0;
    bool m_placedAny = false;

    std::uint32_t m_style = 0;
    HtmlAlign m_align = HtmlAlign::Left;
    std::uint16_t m_indent = 0;

    bool m_lineOpen = false;
    int m_lineLeft = 0;
    int m_lineRight = 0;
    int m_lineX = 0;
    int m_ascent = 0;
    int m_descent = 0;
    std::uint32_t m_lineFirst = 0;
    HtmlAlign m_lineAlign = HtmlAlign::Left;
    bool m_lineHasWords = false;

    bool m_spacePending = false;
    Segment m_space{};
    std::vector<Segment> m_word;
    int m_wordWidth = 0;
};

}  // namespace

HtmlLayout lay_out_html(const HtmlDocument& doc, int width) { return Layouter(doc, width).run(); }

std::size_t first_line_below(const HtmlLayout& layout, int y) {
    auto it = std::partition_point(layout.lines.begin(), layout.lines.end(),
                                   [y](const HtmlLine& line) { return line.top + line.height <= y; });
    return static_cast<std::size_t>(it - layout.lines.begin());
}

}  // namespace platform::controls
