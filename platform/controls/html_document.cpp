#include "platform/controls/html_document.h"

#include "platform/base/text_convert.h"

#include <gumbo.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <unordered_map>

namespace platform::controls {
namespace {

// What an element does to the flow of text.
enum class Flow : std::uint8_t {
    Inline,     // nothing: its text flows on
    Hidden,     // nothing of it is shown
    Break,      // BR
    Block,      // a fresh line before and after
    Paragraph,  // an empty line before and after
    Rule,       // HR
    List,       // UL, OL: a paragraph whose items are indented
    ListItem,   // LI
    Quote,      // BLOCKQUOTE, DD: an indented block
    Cell,       // TD, TH: a space before it
    Pre,        // PRE: spaces and line ends kept
};

// What an element does to the look of its text.
enum class Look : std::uint8_t { None, Bold, Italic, Underline, Strike, Link, Font, Big, Small, Heading };

struct TagRule {
    GumboTag tag;
    Flow flow;
    Look look = Look::None;
    std::uint8_t size = 0;  // headings: their font size
};

// Every tag not listed here is inline and changes nothing.
constexpr TagRule kTagRules[] = {
    {GUMBO_TAG_HEAD, Flow::Hidden},       {GUMBO_TAG_TITLE, Flow::Hidden},
    {GUMBO_TAG_SCRIPT, Flow::Hidden},     {GUMBO_TAG_STYLE, Flow::Hidden},
    {GUMBO_TAG_TEMPLATE, Flow::Hidden},   {GUMBO_TAG_IFRAME, Flow::Hidden},
    {GUMBO_TAG_NOEMBED, Flow::Hidden},    {GUMBO_TAG_NOFRAMES, Flow::Hidden},
    {GUMBO_TAG_BR, Flow::Break},          {GUMBO_TAG_HR, Flow::Rule},
    {GUMBO_TAG_P, Flow::Paragraph},       {GUMBO_TAG_DIV, Flow::Block},
    {GUMBO_TAG_CENTER, Flow::Block},      {GUMBO_TAG_ADDRESS, Flow::Block},
    {GUMBO_TAG_SECTION, Flow::Block},     {GUMBO_TAG_ARTICLE, Flow::Block},
    {GUMBO_TAG_HEADER, Flow::Block},      {GUMBO_TAG_FOOTER, Flow::Block},
    {GUMBO_TAG_NAV, Flow::Block},         {GUMBO_TAG_ASIDE, Flow::Block},
    {GUMBO_TAG_MAIN, Flow::Block},        {GUMBO_TAG_FIGURE, Flow::Block},
    {GUMBO_TAG_FIGCAPTION, Flow::Block},  {GUMBO_TAG_FORM, Flow::Block},
    {GUMBO_TAG_FIELDSET, Flow::Block},    {GUMBO_TAG_LEGEND, Flow::Block},
    {GUMBO_TAG_DETAILS, Flow::Block},     {GUMBO_TAG_SUMMARY, Flow::Block},
    {GUMBO_TAG_TABLE, Flow::Block},       {GUMBO_TAG_CAPTION, Flow::Block},
    {GUMBO_TAG_TR, Flow::Block},          {GUMBO_TAG_DL, Flow::Block},
    {GUMBO_TAG_DT, Flow::Block},          {GUMBO_TAG_TD, Flow::Cell},
    {GUMBO_TAG_TH, Flow::Cell, Look::Bold},
    {GUMBO_TAG_UL, Flow::List},           {GUMBO_TAG_OL, Flow::List},
    {GUMBO_TAG_MENU, Flow::List},         {GUMBO_TAG_DIR, Flow::List},
    {GUMBO_TAG_LI, Flow::ListItem},       {GUMBO_TAG_BLOCKQUOTE, Flow::Quote},
    {GUMBO_TAG_DD, Flow::Quote},          {GUMBO_TAG_PRE, Flow::Pre},
    {GUMBO_TAG_LISTING, Flow::Pre},       {GUMBO_TAG_XMP, Flow::Pre},
    {GUMBO_TAG_PLAINTEXT, Flow::Pre},
    {GUMBO_TAG_H1, Flow::Paragraph, Look::Heading, 6},
    {GUMBO_TAG_H2, Flow::Paragraph, Look::Heading, 5},
    {GUMBO_TAG_H3, Flow::Paragraph, Look::Heading, 4},
    {GUMBO_TAG_H4, Flow::Paragraph, Look::Heading, 3},
    {GUMBO_TAG_H5, Flow::Paragraph, Look::Heading, 2},
    {GUMBO_TAG_H6, Flow::Paragraph, Look::Heading, 1},
    {GUMBO_TAG_B, Flow::Inline, Look::Bold},          {GUMBO_TAG_STRONG, Flow::Inline, Look::Bold},
    {GUMBO_TAG_I, Flow::Inline, Look::Italic},        {GUMBO_TAG_EM, Flow::Inline, Look::Italic},
    {GUMBO_TAG_CITE, Flow::Inline, Look::Italic},     {GUMBO_TAG_VAR, Flow::Inline, Look::Italic},
    {GUMBO_TAG_DFN, Flow::Inline, Look::Italic},      {GUMBO_TAG_U, Flow::Inline, Look::Underline},
    {GUMBO_TAG_INS, Flow::Inline, Look::Underline},   {GUMBO_TAG_S, Flow::Inline, Look::Strike},
    {GUMBO_TAG_STRIKE, Flow::Inline, Look::Strike},   {GUMBO_TAG_DEL, Flow::Inline, Look::Strike},
    {GUMBO_TAG_A, Flow::Inline, Look::Link},          {GUMBO_TAG_FONT, Flow::Inline, Look::Font},
    {GUMBO_TAG_BIG, Flow::Inline, Look::Big},         {GUMBO_TAG_SMALL, Flow::Inline, Look::Small},
};

const TagRule& rule_for(GumboTag tag) {
    static const std::array<TagRule, GUMBO_TAG_LAST + 1> table = [] {
        std::array<TagRule, GUMBO_TAG_LAST + 1> t{};
        for (int i = 0; i <= GUMBO_TAG_LAST; ++i) t[i] = TagRule{static_cast<GumboTag>(i), Flow::Inline};
        for (const TagRule& r : kTagRules) t[r.tag] = r;
        return t;
    }();
    return (tag >= 0 && tag <= GUMBO_TAG_LAST) ? table[tag] : table[GUMBO_TAG_UNKNOWN];
}

struct NamedColor {
    const char* name;
    COLORREF color;
};
// The sixteen colours HTML names.
constexpr NamedColor kNamedColors[] = {
    {"black", RGB(0, 0, 0)},        {"silver", RGB(192, 192, 192)}, {"gray", RGB(128, 128, 128)},
    {"white", RGB(255, 255, 255)},  {"maroon", RGB(128, 0, 0)},     {"red", RGB(255, 0, 0)},
    {"purple", RGB(128, 0, 128)},   {"fuchsia", RGB(255, 0, 255)},  {"green", RGB(0, 128, 0)},
    {"lime", RGB(0, 255, 0)},       {"olive", RGB(128, 128, 0)},    {"yellow", RGB(255, 255, 0)},
    {"navy", RGB(0, 0, 128)},       {"blue", RGB(0, 0, 255)},       {"teal", RGB(0, 128, 128)},
    {"aqua", RGB(0, 255, 255)},
};

constexpr COLORREF kLinkColor = RGB(0, 0, 255);
constexpr int kMaxMargin = 200;
constexpr int kMaxIndent = 1000;

std::string_view trim(std::string_view s) {
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

bool equal_no_case(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    }
    return true;
}

int hex_digit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A whole number at the start of value, as browsers read sizes and margins.
bool leading_number(std::string_view value, int* out) {
    value = trim(value);
    bool negative = false;
    if (!value.empty() && (value[0] == '+' || value[0] == '-')) {
        negative = value[0] == '-';
        value.remove_prefix(1);
    }
    if (value.empty() || !std::isdigit(static_cast<unsigned char>(value[0]))) return false;
    long n = 0;
    for (char c : value) {
        if (!std::isdigit(static_cast<unsigned char>(c))) break;
        n = std::min(n * 10 + (c - '0'), 100000L);
    }
    *out = static_cast<int>(negative ? -n : n);
    return true;
}

const char* attribute(const GumboElement& element, const char* name) {
    const GumboAttribute* a = gumbo_get_attribute(&element.attributes, name);
    return a ? a->value : nullptr;
}

struct State {
    HtmlStyle style;
    HtmlAlign align = HtmlAlign::Left;
    std::uint16_t indent = 0;
    bool pre = false;
    bool ordered = false;  // the nearest list numbers its items
};

class Builder {
public:
    explicit Builder(HtmlDocument& doc) : m_doc(doc) {}

    void build(const GumboNode* root) {
        struct Frame {
            const GumboNode* node;
            unsigned next;  // the next child to visit
            State saved;
            Flow flow;
        };
        // An explicit stack: a hostile document may nest tags thousands deep.
        std::vector<Frame> stack;
        State state;
        m_doc.styles.push_back(state.style);
        m_styleIndex.emplace(key(state.style), 0);
        auto enter = [&](const GumboNode* node) {
            if (node->type == GUMBO_NODE_TEXT || node->type == GUMBO_NODE_WHITESPACE ||
                node->type == GUMBO_NODE_CDATA) {
                text(node->v.text.text, state);
                return;
            }
            if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE &&
                node->type != GUMBO_NODE_DOCUMENT)
                return;
            Frame frame{node, 0, state, Flow::Inline};
            if (node->type != GUMBO_NODE_DOCUMENT) {
                const GumboElement& element = node->v.element;
                const TagRule& rule = rule_for(element.tag);
                if (rule.flow == Flow::Hidden) return;
                frame.flow = rule.flow;
                open(element, rule, state);
            }
            stack.push_back(frame);
        };
        enter(root);
        while (!stack.empty()) {
            Frame& top = stack.back();
            const GumboVector& children =
                top.node->type == GUMBO_NODE_DOCUMENT ? top.node->v.document.children : top.node->v.element.children;
            if (top.next < children.length) {
                const GumboNode* child = static_cast<const GumboNode*>(children.data[top.next++]);
                enter(child);
                continue;
            }
            close(top.flow, state);
            state = top.saved;
            stack.pop_back();
        }
    }

private:
    static std::uint64_t key(const HtmlStyle& s) {
        return static_cast<std::uint64_t>(s.color & 0xFFFFFF) | (static_cast<std::uint64_t>(s.size) << 24) |
               (static_cast<std::uint64_t>(s.bold) << 32) | (static_cast<std::uint64_t>(s.italic) << 33) |
               (static_cast<std::uint64_t>(s.underline) << 34) | (static_cast<std::uint64_t>(s.strike) << 35);
    }

    std::uint32_t style_index(const HtmlStyle& s) {
        auto [it, added] = m_styleIndex.emplace(key(s), static_cast<std::uint32_t>(m_doc.styles.size()));
        if (added) m_doc.styles.push_back(s);
        return it->second;
    }

    void push(HtmlItem::Kind kind, const State& state, std::uint32_t start = 0, std::uint32_t length = 0) {
        HtmlItem item;
        item.kind = kind;
        item.align = state.align;
        item.indent = state.indent;
        item.style = style_index(state.style);
        item.start = start;
        item.length = length;
        m_doc.items.push_back(item);
        if (kind != HtmlItem::Kind::Text) m_space = true;
    }

    void body(const GumboElement& element, State& state) {
        int n;
        auto margin = [&](const char* name, int* target) {
            if (const char* v = attribute(element, name); v && leading_number(v, &n))
                *target = std::clamp(n, 0, kMaxMargin);
        };
        margin("marginwidth", &m_doc.leftMargin);
        margin("marginwidth", &m_doc.rightMargin);
        margin("marginheight", &m_doc.topMargin);
        margin("marginheight", &m_doc.bottomMargin);
        margin("leftmargin", &m_doc.leftMargin);
        margin("rightmargin", &m_doc.rightMargin);
        margin("topmargin", &m_doc.topMargin);
        margin("bottommargin", &m_doc.bottomMargin);
        COLORREF c;
        if (const char* v = attribute(element, "bgcolor"); v && parse_html_color(v, &c)) m_doc.background = c;
        if (const char* v = attribute(element, "text"); v && parse_html_color(v, &c)) state.style.color = c;
    }

    void font(const GumboElement& element, State& state) {
        if (const char* v = attribute(element, "size")) {
            std::string_view value = trim(v);
            int n;
            if (leading_number(value, &n)) {
                // +n and -n count from the default size 3.
                const bool relative = value[0] == '+' || value[0] == '-';
                state.style.size = static_cast<std::uint8_t>(std::clamp(relative ? 3 + n : n, 1, 7));
            }
        }
        COLORREF c;
        if (const char* v = attribute(element, "color"); v && parse_html_color(v, &c)) state.style.color = c;
    }

    void open(const GumboElement& element, const TagRule& rule, State& state) {
        using Kind = HtmlItem::Kind;
        if (element.tag == GUMBO_TAG_BODY) body(element, state);
        switch (rule.look) {
        case Look::None: break;
        case Look::Bold: state.style.bold = true; break;
        case Look::Italic: state.style.italic = true; break;
        case Look::Underline: state.style.underline = true; break;
        case Look::Strike: state.style.strike = true; break;
        case Look::Link:
            // Only a link is shown as one; a named anchor is plain text.
            if (attribute(element, "href")) {
                state.style.underline = true;
                state.style.color = kLinkColor;
            }
            break;
        case Look::Font: font(element, state); break;
        case Look::Big: state.style.size = static_cast<std::uint8_t>(std::min(7, state.style.size + 1)); break;
        case Look::Small: state.style.size = static_cast<std::uint8_t>(std::max(1, state.style.size - 1)); break;
        case Look::Heading:
            state.style.size = rule.size;
            state.style.bold = true;
            break;
        }
        const bool block = rule.flow != Flow::Inline && rule.flow != Flow::Cell && rule.flow != Flow::Break &&
                           rule.flow != Flow::Rule;
        if (block) {
            if (element.tag == GUMBO_TAG_CENTER) state.align = HtmlAlign::Center;
            if (const char* v = attribute(element, "align")) {
                std::string_view a = trim(v);
                if (equal_no_case(a, "center") || equal_no_case(a, "middle")) state.align = HtmlAlign::Center;
                else if (equal_no_case(a, "right")) state.align = HtmlAlign::Right;
                else if (equal_no_case(a, "left")) state.align = HtmlAlign::Left;
            }
        }
        switch (rule.flow) {
        case Flow::Inline:
        case Flow::Hidden: break;
        case Flow::Break: push(Kind::LineBreak, state); break;
        case Flow::Rule: push(Kind::Rule, state); break;
        case Flow::Block: push(Kind::Block, state); break;
        case Flow::Paragraph: push(Kind::Paragraph, state); break;
        case Flow::Pre:
            push(Kind::Paragraph, state);
            state.pre = true;
            break;
        case Flow::List:
            // A list inside a list item gets no empty line around it.
            push(state.indent == 0 ? Kind::Paragraph : Kind::Block, state);
            state.indent = static_cast<std::uint16_t>(std::min(kMaxIndent, state.indent + 1));
            state.ordered = element.tag == GUMBO_TAG_OL;
            m_counters.push_back(0);
            break;
        case Flow::Quote:
            push(Kind::Block, state);
            state.indent = static_cast<std::uint16_t>(std::min(kMaxIndent, state.indent + 1));
            break;
        case Flow::ListItem: {
            // An item outside any list is indented as if in one.
            if (m_counters.empty() || state.indent == 0) {
                state.indent = static_cast<std::uint16_t>(std::min(kMaxIndent, state.indent + 1));
            }
            std::u16string marker = u"\u2022";
            if (state.ordered && !m_counters.empty()) {
                ++m_counters.back();
                std::string number = std::to_string(m_counters.back()) + ".";
                marker.assign(number.begin(), number.end());
            }
            const auto start = static_cast<std::uint32_t>(m_doc.text.size());
            m_doc.text += marker;
            push(Kind::ListItem, state, start, static_cast<std::uint32_t>(marker.size()));
            break;
        }
        case Flow::Cell:
            if (!m_space) add_unit(u' ', state);
            m_space = true;
            break;
        }
    }

    void close(Flow flow, const State& inner) {
        using Kind = HtmlItem::Kind;
        switch (flow) {
        case Flow::Block:
        case Flow::Quote:
        case Flow::ListItem: push(Kind::Block, inner); break;
        case Flow::Paragraph:
        case Flow::Pre: push(Kind::Paragraph, inner); break;
        case Flow::List:
            if (!m_counters.empty()) m_counters.pop_back();
            push(inner.indent <= 1 ? Kind::Paragraph : Kind::Block, inner);
            break;
        default: break;
        }
    }

    // Appends one unit of text in the state's look, joining the last text
    // item when it looks the same.
    void add_unit(char16_t unit, const State& state) {
        const std::uint32_t style = style_index(state.style);
        if (m_doc.items.empty() || m_doc.items.back().kind != HtmlItem::Kind::Text ||
            m_doc.items.back().style != style || m_doc.items.back().align != state.align ||
            m_doc.items.back().indent != state.indent ||
            m_doc.items.back().start + m_doc.items.back().length != m_doc.text.size()) {
            push(HtmlItem::Kind::Text, state, static_cast<std::uint32_t>(m_doc.text.size()), 0);
        }
        m_doc.text.push_back(unit);
        ++m_doc.items.back().length;
    }

    void text(const char* utf8, const State& state) {
        if (utf8 == nullptr) return;
        const auto* p = reinterpret_cast<const BYTE*>(utf8);
        const BYTE* end = p;
        while (*end) ++end;
        while (p < end) {
            char32_t cp;
            p += decode_utf8(p, end, &cp);
            const bool space = cp == U' ' || cp == U'\t' || cp == U'\n' || cp == U'\r' || cp == U'\f';
            if (state.pre) {
                // Kept as they are: spaces that do not break, and line ends.
                if (cp == U'\n') {
                    push(HtmlItem::Kind::LineBreak, state);
                } else if (cp == U'\t') {
                    for (int i = 0; i < 4; ++i) add_unit(u'\u00A0', state);
                } else if (space) {
                    if (cp != U'\r') add_unit(u'\u00A0', state);
                } else {
                    add_code_point(cp, state);
                }
                m_space = false;
                continue;
            }
            if (space) {
                if (!m_space) add_unit(u' ', state);
                m_space = true;
                continue;
            }
            // Control characters would show as boxes.
            if (cp < 0x20 || (cp >= 0x7F && cp < 0xA0)) continue;
            add_code_point(cp, state);
            m_space = false;
        }
    }

    void add_code_point(char32_t cp, const State& state) {
        if (cp >= 0x10000) {
            add_unit(static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10)), state);
            add_unit(static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF)), state);
        } else {
            add_unit(static_cast<char16_t>(cp), state);
        }
    }

    HtmlDocument& m_doc;
    std::unordered_map<std::uint64_t, std::uint32_t> m_styleIndex;
    std::vector<int> m_counters;  // one per open list
    bool m_space = true;          // the text so far ends in a space or a break
};

}  // namespace

bool parse_html_color(std::string_view value, COLORREF* color) {
    value = trim(value);
    for (const NamedColor& named : kNamedColors) {
        if (equal_no_case(value, named.name)) {
            *color = named.color;
            return true;
        }
    }
    if (!value.empty() && value[0] == '#') value.remove_prefix(1);
    int digits[6];
    if (value.size() != 3 && value.size() != 6) return false;
    for (std::size_t i = 0; i < value.size(); ++i) {
        digits[i] = hex_digit(value[i]);
        if (digits[i] < 0) return false;
    }
    if (value.size() == 3) {
        *color = RGB(digits[0] * 17, digits[1] * 17, digits[2] * 17);
    } else {
        *color = RGB(digits[0] * 16 + digits[1], digits[2] * 16 + digits[3], digits[4] * 16 + digits[5]);
    }
    return true;
}

HtmlDocument parse_html(std::u16string_view source) {
    HtmlDocument doc;
    const std::string utf8 = to_utf8(source);
    GumboOptions options = kGumboDefaultOptions;
    // The errors are never read; a broken page must not fill memory with them.
    options.max_errors = 0;
    GumboOutput* output = gumbo_parse_with_options(&options, utf8.data(), utf8.size());
    if (output == nullptr) {
        doc.styles.push_back(HtmlStyle{});
        return doc;
    }
    Builder(doc).build(output->document);
    gumbo_destroy_output(&options, output);
    return doc;
}

}  // namespace platform::controls
