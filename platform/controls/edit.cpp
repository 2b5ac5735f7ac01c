#include "platform/controls/edit.h"

#include "platform/controls/scroll_bar.h"
#include "platform/controls/system_classes.h"
#include "platform/gdi/font_engine.h"
#include "platform/gdi/font_object.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace platform::controls {
namespace {

constexpr int kMargin = 2;        // between the border and the text
constexpr int kBarWidth = kScrollBarWidth;
// Text put in by the program is bounded so that a runaway log cannot eat
// all memory; what the user types is bounded by EM_LIMITTEXT.
constexpr std::size_t kMaxText = std::size_t{1} << 20;
constexpr std::size_t kDefaultTypingLimit = 30000;

constexpr COLORREF kSelection = RGB(0, 40, 120);

struct Line {
    std::size_t start;
    std::size_t length;  // drawn units, without the line end
};

enum class Drag { None, Text, Thumb };

struct Edit {
    std::u16string text;
    std::size_t anchor = 0;  // the selection runs from anchor to caret
    std::size_t caret = 0;
    HFONT font = nullptr;
    std::size_t typingLimit = kDefaultTypingLimit;

    std::vector<Line> lines;
    int wrapWidth = -1;  // lines are valid for this width; -1: to be made
    std::size_t top = 0;  // first visible line

    Drag drag = Drag::None;
    int dragY = 0;
    std::size_t dragTop = 0;
    bool focused = false;
};

std::unordered_map<HWND, std::unique_ptr<Edit>>& edits() {
    static std::unordered_map<HWND, std::unique_ptr<Edit>> table;
    return table;
}

Edit* edit_of(HWND window) {
    auto it = edits().find(window);
    return it == edits().end() ? nullptr : it->second.get();
}

DWORD style_of(HWND window) { return static_cast<DWORD>(GetWindowLongW(window, GWL_STYLE)); }
bool multiline(HWND window) { return (style_of(window) & ES_MULTILINE) != 0; }
bool has_bar(HWND window) { return multiline(window) && (style_of(window) & WS_VSCROLL) != 0; }

gdi::FaceInstance& face_of(const Edit& e) {
    if (auto* font = gdi::lookup_as<gdi::Font>(e.font, gdi::ObjectKind::Font)) return font->face();
    return gdi::system_font()->face();
}

HFONT font_of(const Edit& e) {
    if (gdi::lookup_as<gdi::Font>(e.font, gdi::ObjectKind::Font)) return e.font;
    return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
}

SIZE client_size(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

RECT text_rect(HWND window) {
    const SIZE c = client_size(window);
    const int right = c.cx - kMargin - (has_bar(window) ? kBarWidth : 0);
    return RECT{kMargin, 0, std::max(kMargin + 1, right), c.cy};
}

bool is_break(char16_t u) { return u == u'\r' || u == u'\n'; }

int advance(gdi::FaceInstance& face, char16_t u) {
    // Halves of a surrogate pair are measured as one replacement each; the
    // log shows the text it is given, not a font's rarest letters.
    if (u >= 0xD800 && u <= 0xDFFF) return face.advance(U'\uFFFD');
    return face.advance(u);
}

// Breaks the text into lines at line ends and, for a multi-line edit,
// between words to fit the width (a word wider than the width between
// letters). Spaces at a wrap stay at the end of the line.
void wrap(HWND window, Edit& e) {
    const RECT area = text_rect(window);
    const int width = area.right - area.left;
    if (e.wrapWidth == width) return;
    e.wrapWidth = width;
    e.lines.clear();
    gdi::FaceInstance& face = face_of(e);
    const bool wrapping = multiline(window) && (style_of(window) & ES_AUTOHSCROLL) == 0;
    const std::u16string& t = e.text;
    std::size_t i = 0;
    while (true) {
        std::size_t lineStart = i;
        int x = 0;
        std::size_t lastSpace = std::u16string::npos;
        while (i < t.size() && !(multiline(window) && is_break(t[i]))) {
            const int w = advance(face, t[i]);
            if (wrapping && t[i] != u' ' && x + w > width && i > lineStart) {
                // Wrap after the last space, else before this letter.
                if (lastSpace != std::u16string::npos) i = lastSpace + 1;
                break;
            }
            if (t[i] == u' ') lastSpace = i;
            x += w;
            ++i;
        }
        e.lines.push_back(Line{lineStart, i - lineStart});
        if (i >= t.size()) break;
        if (is_break(t[i])) {
            // "\r\n" is one line end.
            if (t[i] == u'\r' && i + 1 < t.size() && t[i + 1] == u'\n') ++i;
            ++i;
            if (i >= t.size()) {
                e.lines.push_back(Line{i, 0});
                break;
            }
        }
    }
}

void invalidate_lines(HWND window, Edit& e) {
    e.wrapWidth = -1;
    InvalidateRect(window, nullptr, FALSE);
}

int line_height(Edit& e) { return std::max(1, face_of(e).height); }

std::size_t visible_lines(HWND window, Edit& e) {
    return static_cast<std::size_t>(std::max(1, static_cast<int>(client_size(window).cy) / line_height(e)));
}

std::size_t max_top(HWND window, Edit& e) {
    wrap(window, e);
    const std::size_t visible = visible_lines(window, e);
    return e.lines.size() > visible ? e.lines.size() - visible : 0;
}

// The line the caret is on: the last line that starts at or before it.
std::size_t line_of(const Edit& e, std::size_t offset) {
    auto it = std::upper_bound(e.lines.begin(), e.lines.end(), offset,
                               [](std::size_t o, const Line& l) { return o < l.start; });
    return it == e.lines.begin() ? 0 : static_cast<std::size_t>(it - e.lines.begin()) - 1;
}

void set_top(HWND window, Edit& e, std::ptrdiff_t top) {
    const auto clamped =
        static_cast<std::size_t>(std::clamp<std::ptrdiff_t>(top, 0, static_cast<std::ptrdiff_t>(max_top(window, e))));
    if (clamped == e.top) return;
    e.top = clamped;
    InvalidateRect(window, nullptr, FALSE);
}

void scroll_caret_into_view(HWND window, Edit& e) {
    wrap(window, e);
    const std::size_t line = line_of(e, e.caret);
    const std::size_t visible = visible_lines(window, e);
    if (line < e.top) set_top(window, e, static_cast<std::ptrdiff_t>(line));
    else if (line >= e.top + visible) set_top(window, e, static_cast<std::ptrdiff_t>(line - visible + 1));
}

void replace_selection(HWND window, Edit& e, std::u16string_view with, std::size_t limit) {
    const std::size_t from = std::min(e.anchor, e.caret);
    const std::size_t to = std::max(e.anchor, e.caret);
    const std::size_t room = limit > e.text.size() - (to - from) ? limit - (e.text.size() - (to - from)) : 0;
    with = with.substr(0, std::min(with.size(), room));
    e.text.replace(from, to - from, with);
    e.caret = e.anchor = from + with.size();
    invalidate_lines(window, e);
    if (style_of(window) & ES_AUTOVSCROLL) scroll_caret_into_view(window, e);
}

// A selection boundary given by the program: -1 and anything past the end
// mean the end.
std::size_t clamp_offset(const Edit& e, WPARAM value) {
    const auto v = static_cast<std::ptrdiff_t>(static_cast<int>(value));
    if (v < 0 || static_cast<std::size_t>(v) > e.text.size()) return e.text.size();
    return static_cast<std::size_t>(v);
}

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

// The bar along the right edge: the lines in view of all the lines.
ScrollBarParts bar_parts(HWND window, Edit& e) {
    const SIZE c = client_size(window);
    const int total = static_cast<int>(std::min<std::size_t>(e.lines.size(), INT32_MAX));
    const int visible = static_cast<int>(std::min<std::size_t>(visible_lines(window, e), INT32_MAX));
    return vertical_scroll_bar(RECT{c.cx - kBarWidth, 0, c.cx, c.cy}, total, visible, static_cast<int>(e.top));
}

int text_width(gdi::FaceInstance& face, const std::u16string& t, std::size_t from, std::size_t to) {
    int w = 0;
    for (std::size_t i = from; i < to; ++i) w += advance(face, t[i]);
    return w;
}

void paint(HWND window, Edit& e, HDC dc) {
    wrap(window, e);
    e.top = std::min(e.top, max_top(window, e));
    const SIZE c = client_size(window);
    fill(dc, RECT{0, 0, c.cx, c.cy}, RGB(255, 255, 255));
    const RECT area = text_rect(window);
    gdi::FaceInstance& face = face_of(e);
    const int height = line_height(e);
    HGDIOBJ oldFont = SelectObject(dc, font_of(e));
    const std::size_t selFrom = std::min(e.anchor, e.caret);
    const std::size_t selTo = std::max(e.anchor, e.caret);
    const bool showSelection = selFrom != selTo && (e.focused || (style_of(window) & ES_NOHIDESEL));
    for (std::size_t i = e.top; i < e.lines.size(); ++i) {
        const int y = static_cast<int>(i - e.top) * height;
        if (y >= c.cy) break;
        const Line& line = e.lines[i];
        const std::size_t end = line.start + line.length;
        // Drawn in up to three runs: before, inside and after the selection.
        std::size_t cuts[4] = {line.start, end, end, end};
        if (showSelection) {
            cuts[1] = std::clamp(selFrom, line.start, end);
            cuts[2] = std::clamp(selTo, line.start, end);
        }
        int x = area.left;
        for (int run = 0; run < 3; ++run) {
            if (cuts[run + 1] <= cuts[run]) continue;
            const bool selected = run == 1;
            const int w = text_width(face, e.text, cuts[run], cuts[run + 1]);
            SetBkMode(dc, selected ? OPAQUE : TRANSPARENT);
            SetBkColor(dc, kSelection);
            SetTextColor(dc, selected ? RGB(255, 255, 255) : RGB(0, 0, 0));
            ExtTextOutW(dc, x, y, ETO_CLIPPED, &area, e.text.data() + cuts[run],
                        static_cast<UINT>(cuts[run + 1] - cuts[run]), nullptr);
            x += w;
        }
    }
    if (e.focused && !e.lines.empty()) {
        const std::size_t line = line_of(e, e.caret);
        if (line >= e.top) {
            const int y = static_cast<int>(line - e.top) * height;
            const int x = area.left + text_width(face, e.text, e.lines[line].start,
                                                 std::min(e.caret, e.lines[line].start + e.lines[line].length));
            if (x < area.right) fill(dc, RECT{x, y, x + 1, y + height}, RGB(0, 0, 0));
        }
    }
    SelectObject(dc, oldFont);
    if (has_bar(window)) draw_scroll_bar(dc, bar_parts(window, e));
}

// The text offset nearest to a client point.
std::size_t offset_at(HWND window, Edit& e, POINT p) {
    wrap(window, e);
    const int height = line_height(e);
    const std::ptrdiff_t row = p.y < 0 ? -1 : p.y / height;
    const auto line = static_cast<std::size_t>(
        std::clamp<std::ptrdiff_t>(static_cast<std::ptrdiff_t>(e.top) + row, 0,
                                   static_cast<std::ptrdiff_t>(e.lines.size()) - 1));
    const Line& l = e.lines[line];
    gdi::FaceInstance& face = face_of(e);
    int x = text_rect(window).left;
    for (std::size_t i = l.start; i < l.start + l.length; ++i) {
        const int w = advance(face, e.text[i]);
        if (p.x < x + w / 2) return i;
        x += w;
    }
    return l.start + l.length;
}

void move_caret(HWND window, Edit& e, std::size_t offset) {
    e.caret = e.anchor = std::min(offset, e.text.size());
    // Never inside a "\r\n" pair.
    if (e.caret > 0 && e.caret < e.text.size() && e.text[e.caret - 1] == u'\r' && e.text[e.caret] == u'\n')
        e.caret = e.anchor = e.caret + 1;
    scroll_caret_into_view(window, e);
    InvalidateRect(window, nullptr, FALSE);
}

void notify_change(HWND window) {
    HWND parent = GetParent(window);
    if (parent) SendMessageW(parent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(window), EN_CHANGE), reinterpret_cast<LPARAM>(window));
}


void stylus_down(HWND window, POINT p) {
    SetFocus(window);
    // Taking the focus ran other windows' procedures.
    Edit* found = edit_of(window);
    if (found == nullptr) return;
    Edit& e = *found;
    if (has_bar(window) && p.x >= client_size(window).cx - kBarWidth) {
        const ScrollBarParts parts = bar_parts(window, e);
        const auto page = static_cast<std::ptrdiff_t>(std::max<std::size_t>(1, visible_lines(window, e) - 1));
        const auto top = static_cast<std::ptrdiff_t>(e.top);
        switch (scroll_bar_hit(parts, p)) {
        case ScrollHit::LineUp: set_top(window, e, top - 1); break;
        case ScrollHit::LineDown: set_top(window, e, top + 1); break;
        case ScrollHit::PageUp: set_top(window, e, top - page); break;
        case ScrollHit::PageDown: set_top(window, e, top + page); break;
        case ScrollHit::Thumb:
            e.drag = Drag::Thumb;
            e.dragY = p.y;
            e.dragTop = e.top;
            break;
        case ScrollHit::None: break;
        }
        return;
    }
    e.drag = Drag::Text;
    move_caret(window, e, offset_at(window, e, p));
}

void stylus_move(HWND window, Edit& e, POINT p) {
    if (e.drag == Drag::Thumb) {
        const int range = static_cast<int>(std::min<std::size_t>(max_top(window, e), INT32_MAX));
        set_top(window, e, dragged_position(bar_parts(window, e), static_cast<int>(e.dragTop), p.y - e.dragY, range));
    } else if (e.drag == Drag::Text) {
        // Dragging over the text selects from where the stylus went down.
        e.caret = offset_at(window, e, p);
        scroll_caret_into_view(window, e);
        InvalidateRect(window, nullptr, FALSE);
    }
}

void key_down(HWND window, Edit& e, WPARAM key) {
    wrap(window, e);
    const std::size_t line = line_of(e, e.caret);
    switch (key) {
    case VK_LEFT:
        if (e.caret > 0) move_caret(window, e, e.caret - (e.caret >= 2 && e.text[e.caret - 2] == u'\r' && e.text[e.caret - 1] == u'\n' ? 2 : 1));
        else move_caret(window, e, 0);
        break;
    case VK_RIGHT: move_caret(window, e, e.caret + 1); break;
    case VK_UP:
    case VK_DOWN: {
        if ((key == VK_UP && line == 0) || (key == VK_DOWN && line + 1 >= e.lines.size())) break;
        const std::size_t column = e.caret - e.lines[line].start;
        const Line& next = e.lines[key == VK_UP ? line - 1 : line + 1];
        move_caret(window, e, next.start + std::min(column, next.length));
        break;
    }
    case VK_DELETE:
        if (style_of(window) & ES_READONLY) break;
        if (e.anchor == e.caret && e.caret < e.text.size()) {
            e.anchor = e.caret + (e.text.compare(e.caret, 2, u"\r\n") == 0 ? 2 : 1);
        }
        replace_selection(window, e, u"", kMaxText);
        notify_change(window);
        break;
    default: break;
    }
}

void typed(HWND window, Edit& e, char16_t ch) {
    if (style_of(window) & ES_READONLY) return;
    if (ch == VK_BACK) {
        if (e.anchor == e.caret && e.caret > 0) {
            e.anchor = e.caret - (e.caret >= 2 && e.text.compare(e.caret - 2, 2, u"\r\n") == 0 ? 2 : 1);
        }
        replace_selection(window, e, u"", kMaxText);
    } else if (ch == u'\r') {
        if (!multiline(window)) return;
        replace_selection(window, e, u"\r\n", std::min(kMaxText, e.typingLimit));
    } else if (ch >= 0x20 && ch != 0x7F) {
        const char16_t one[1] = {ch};
        replace_selection(window, e, std::u16string_view(one, 1), std::min(kMaxText, e.typingLimit));
    } else {
        return;
    }
    scroll_caret_into_view(window, e);
    notify_change(window);
}

}  // namespace

LRESULT edit_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto e = std::make_unique<Edit>();
        if (const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam); cs && cs->lpszName) {
            e->text = std::u16string(cs->lpszName).substr(0, kMaxText);
        }
        edits()[window] = std::move(e);
        return TRUE;
    }
    Edit* e = edit_of(window);
    if (e == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        edits().erase(window);
        return 0;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        e->text = text ? std::u16string(text).substr(0, kMaxText) : std::u16string();
        e->anchor = e->caret = 0;
        e->top = 0;
        invalidate_lines(window, *e);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        const int max = static_cast<int>(wParam);
        if (buffer == nullptr || max <= 0) return 0;
        const int count = std::min<int>(max - 1, static_cast<int>(e->text.size()));
        std::copy_n(e->text.data(), count, buffer);
        buffer[count] = 0;
        return count;
    }
    case WM_GETTEXTLENGTH: return static_cast<LRESULT>(e->text.size());
    case WM_SETFONT:
        e->font = reinterpret_cast<HFONT>(wParam);
        invalidate_lines(window, *e);
        return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(e->font);
    case WM_SIZE: invalidate_lines(window, *e); return 0;
    case WM_SETFOCUS:
        e->focused = true;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_KILLFOCUS:
        e->focused = false;
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            paint(window, *e, dc);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case EM_REPLACESEL: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        replace_selection(window, *e, text ? std::u16string_view(text) : std::u16string_view(), kMaxText);
        return 0;
    }
    case EM_SETSEL: {
        if (static_cast<int>(wParam) == -1) {
            e->anchor = e->caret;  // -1 only takes the selection away
        } else {
            e->anchor = clamp_offset(*e, wParam);
            e->caret = clamp_offset(*e, static_cast<WPARAM>(lParam));
        }
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    }
    case EM_GETSEL: {
        const auto from = static_cast<DWORD>(std::min(e->anchor, e->caret));
        const auto to = static_cast<DWORD>(std::max(e->anchor, e->caret));
        if (wParam) *reinterpret_cast<DWORD*>(wParam) = from;
        if (lParam) *reinterpret_cast<DWORD*>(lParam) = to;
        return MAKELONG(std::min<DWORD>(from, 0xFFFF), std::min<DWORD>(to, 0xFFFF));
    }
    case EM_GETLINECOUNT:
        wrap(window, *e);
        return static_cast<LRESULT>(e->lines.size());
    case EM_LINEINDEX: {
        wrap(window, *e);
        const int line = static_cast<int>(wParam);
        if (line == -1) return static_cast<LRESULT>(e->lines[line_of(*e, e->caret)].start);
        if (line < 0 || static_cast<std::size_t>(line) >= e->lines.size()) return -1;
        return static_cast<LRESULT>(e->lines[static_cast<std::size_t>(line)].start);
    }
    case EM_GETFIRSTVISIBLELINE:
        wrap(window, *e);
        e->top = std::min(e->top, max_top(window, *e));
        return static_cast<LRESULT>(e->top);
    case EM_LINESCROLL:
        set_top(window, *e, static_cast<std::ptrdiff_t>(e->top) + static_cast<int>(lParam));
        return TRUE;
    case EM_SCROLLCARET:
        scroll_caret_into_view(window, *e);
        return TRUE;
    case EM_SETREADONLY: {
        const DWORD style = style_of(window);
        SetWindowLongW(window, GWL_STYLE, static_cast<LONG>(wParam ? (style | ES_READONLY) : (style & ~static_cast<DWORD>(ES_READONLY))));
        return TRUE;
    }
    case EM_LIMITTEXT:
        e->typingLimit = wParam == 0 ? kMaxText : std::min<std::size_t>(wParam, kMaxText);
        return 0;
    case WM_LBUTTONDOWN:
        stylus_down(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        stylus_move(window, *e, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        e->drag = Drag::None;
        return 0;
    case WM_KEYDOWN:
        key_down(window, *e, wParam);
        return 0;
    case WM_CHAR:
        typed(window, *e, static_cast<char16_t>(wParam));
        return 0;
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace platform::controls
