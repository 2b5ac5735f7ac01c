#include "platform/controls/htmlview.h"
#include "platform/controls/htmlview_text.h"

#include "platform/controls/html_document.h"
#include "platform/controls/html_fonts.h"
#include "platform/controls/html_layout.h"
#include "platform/user/window.h"
#include "platform/win32_windows.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace platform::controls {
namespace {

constexpr int kBarWidth = 4;     // the scroll bar along the right edge
constexpr int kBarGap = 1;       // between the text and the bar
constexpr int kMinThumb = 10;
constexpr int kKeyStep = 14;     // Up and Down scroll about a line
constexpr int kBarTouch = 10;    // the bar answers a little wider than it looks
// The source is bounded so that pieces sent for ever cannot eat all memory;
// text beyond it is dropped.
constexpr std::size_t kMaxSource = std::size_t{8} << 20;

constexpr COLORREF kTrackColor = RGB(224, 224, 224);
constexpr COLORREF kThumbColor = RGB(120, 120, 120);
constexpr COLORREF kRuleColor = RGB(128, 128, 128);

enum class Drag { None, Content, Thumb };

struct View {
    std::u16string source;
    HtmlDocument doc;
    HtmlLayout layout;
    bool layoutValid = false;
    int layoutClientWidth = 0;
    int fullWidthHeight = 0;  // the document's height without a scroll bar
    bool withBar = false;
    int scroll = 0;
    Drag drag = Drag::None;
    int dragY = 0;
    int dragScroll = 0;
};

std::unordered_map<HWND, std::unique_ptr<View>>& views() {
    static std::unordered_map<HWND, std::unique_ptr<View>> table;
    return table;
}

View* view_of(HWND window) {
    auto it = views().find(window);
    return it == views().end() ? nullptr : it->second.get();
}

SIZE client_size(HWND window) {
    RECT r{};
    GetClientRect(window, &r);
    return SIZE{r.right, r.bottom};
}

// Lays the document out for the client size, with room for the scroll bar
// when it is taller than the window. Kept until the text or size changes.
void ensure_layout(View& v, SIZE client) {
    if (v.layoutValid && v.layoutClientWidth == client.cx && (v.fullWidthHeight > client.cy) == v.withBar) return;
    HtmlLayout full = lay_out_html(v.doc, client.cx);
    v.fullWidthHeight = full.height;
    v.withBar = full.height > client.cy;
    v.layout = v.withBar ? lay_out_html(v.doc, client.cx - kBarWidth - kBarGap) : std::move(full);
    v.layoutClientWidth = client.cx;
    v.layoutValid = true;
}

int max_scroll(const View& v, SIZE client) { return std::max(0, v.layout.height - client.cy); }

void set_document(HWND window, View& v) {
    // A NUL would end the text early for the parser.
    std::u16string source = v.source;
    std::replace(source.begin(), source.end(), u'\0', u'\uFFFD');
    v.doc = parse_html(source);
    v.layoutValid = false;
    v.layout = HtmlLayout{};
    v.scroll = 0;
    v.drag = Drag::None;
    InvalidateRect(window, nullptr, TRUE);
}

void append(View& v, LPCWSTR text, bool plain) {
    if (text == nullptr) return;
    for (LPCWSTR p = text; *p && v.source.size() < kMaxSource; ++p) {
        if (!plain) {
            v.source.push_back(*p);
            continue;
        }
        // Plain text is shown as it is, markup characters and all.
        switch (*p) {
        case u'<': v.source += u"&lt;"; break;
        case u'>': v.source += u"&gt;"; break;
        case u'&': v.source += u"&amp;"; break;
        case u'\n': v.source += u"<br>"; break;
        default: v.source.push_back(*p); break;
        }
    }
}

struct Thumb {
    int top;
    int height;
};

Thumb thumb(const View& v, SIZE client) {
    const int height = std::clamp(v.layout.height > 0 ? static_cast<int>(static_cast<long long>(client.cy) * client.cy /
                                                                          v.layout.height)
                                                      : client.cy,
                                  std::min(kMinThumb, client.cy), client.cy);
    const int range = max_scroll(v, client);
    const int top = range > 0 ? static_cast<int>(static_cast<long long>(client.cy - height) * v.scroll / range) : 0;
    return Thumb{top, height};
}

void fill(HDC dc, RECT r, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &r, brush);
    DeleteObject(brush);
}

void paint(HWND window, View& v, HDC dc, const RECT& area) {
    const SIZE client = client_size(window);
    ensure_layout(v, client);
    v.scroll = std::clamp(v.scroll, 0, max_scroll(v, client));
    fill(dc, RECT{0, 0, client.cx, client.cy}, v.doc.background);

    SetBkMode(dc, TRANSPARENT);
    HGDIOBJ oldFont = nullptr;
    const int top = v.scroll + std::max<LONG>(0, area.top);
    const int bottom = v.scroll + std::min<LONG>(client.cy, area.bottom);
    for (std::size_t i = first_line_below(v.layout, top); i < v.layout.lines.size(); ++i) {
        const HtmlLine& line = v.layout.lines[i];
        if (line.top >= bottom) break;
        for (std::uint32_t k = 0; k < line.count; ++k) {
            const HtmlFragment& f = v.layout.fragments[line.first + k];
            const HtmlStyle& style = v.doc.styles[f.style];
            HGDIOBJ previous = SelectObject(dc, html_font(style));
            if (oldFont == nullptr) oldFont = previous;
            SetTextColor(dc, style.color);
            const int y = line.top + line.ascent - html_face(style).ascent - v.scroll;
            ExtTextOutW(dc, f.x, y, 0, nullptr, v.doc.text.data() + f.start, f.length, nullptr);
        }
    }
    if (oldFont) SelectObject(dc, oldFont);
    for (const HtmlRule& rule : v.layout.rules) {
        const int y = rule.top - v.scroll;
        if (y >= 0 && y < client.cy) fill(dc, RECT{rule.left, y, rule.right, y + 1}, kRuleColor);
    }
    if (v.withBar) {
        fill(dc, RECT{client.cx - kBarWidth, 0, client.cx, client.cy}, kTrackColor);
        const Thumb t = thumb(v, client);
        fill(dc, RECT{client.cx - kBarWidth, t.top, client.cx, t.top + t.height}, kThumbColor);
    }
}

void scroll_to(HWND window, View& v, int scroll) {
    const SIZE client = client_size(window);
    ensure_layout(v, client);
    scroll = std::clamp(scroll, 0, max_scroll(v, client));
    if (scroll == v.scroll) return;
    v.scroll = scroll;
    InvalidateRect(window, nullptr, FALSE);
}


void stylus_down(HWND window, POINT p) {
    View* found = view_of(window);
    const SIZE client = client_size(window);
    ensure_layout(*found, client);
    // Only a view with something to scroll takes the keys: a tap on a strip
    // that shows all of its text leaves the cursor keys with its parent.
    if (max_scroll(*found, client) == 0) return;
    SetFocus(window);
    // The focus change ran other windows' procedures.
    if ((found = view_of(window)) == nullptr) return;
    View& v = *found;
    v.dragY = p.y;
    if (v.withBar && p.x >= client.cx - kBarTouch) {
        // A press beside the thumb first brings the thumb under the stylus.
        const Thumb t = thumb(v, client);
        if (p.y < t.top || p.y >= t.top + t.height) {
            const int track = std::max(1, static_cast<int>(client.cy - t.height));
            const int wanted = std::clamp(static_cast<int>(p.y - t.height / 2), 0, track);
            scroll_to(window, v, static_cast<int>(static_cast<long long>(wanted) * max_scroll(v, client) / track));
        }
        v.drag = Drag::Thumb;
    } else {
        v.drag = Drag::Content;
    }
    v.dragScroll = v.scroll;
}

void stylus_move(HWND window, View& v, POINT p) {
    const SIZE client = client_size(window);
    if (v.drag == Drag::Content) {
        // The text follows the stylus, as paper would.
        scroll_to(window, v, v.dragScroll - (p.y - v.dragY));
    } else if (v.drag == Drag::Thumb) {
        const int track = std::max(1, static_cast<int>(client.cy - thumb(v, client).height));
        scroll_to(window, v,
                  v.dragScroll + static_cast<int>(static_cast<long long>(p.y - v.dragY) * max_scroll(v, client) / track));
    }
}

LRESULT CALLBACK view_proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        views()[window] = std::make_unique<View>();
        return TRUE;
    }
    View* v = view_of(window);
    if (v == nullptr) return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_NCDESTROY:
        views().erase(window);
        return 0;
    case WM_SETTEXT: {
        const auto* text = reinterpret_cast<LPCWSTR>(lParam);
        v->source.clear();
        append(*v, text, false);
        set_document(window, *v);
        return TRUE;
    }
    case WM_GETTEXT: {
        auto* buffer = reinterpret_cast<LPWSTR>(lParam);
        const int max = static_cast<int>(wParam);
        if (buffer == nullptr || max <= 0) return 0;
        const int count = std::min<int>(max - 1, static_cast<int>(v->source.size()));
        std::copy_n(v->source.data(), count, buffer);
        buffer[count] = 0;
        return count;
    }
    case WM_GETTEXTLENGTH:
        return static_cast<LRESULT>(v->source.size());
    case DTM_ADDTEXTW:
        append(*v, reinterpret_cast<LPCWSTR>(lParam), wParam != 0);
        return TRUE;
    case DTM_ENDOFSOURCE:
        set_document(window, *v);
        return TRUE;
    case WM_SIZE:
        InvalidateRect(window, nullptr, FALSE);
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the paint covers everything
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        if (HDC dc = BeginPaint(window, &ps)) {
            paint(window, *v, dc, ps.rcPaint);
            EndPaint(window, &ps);
        }
        return 0;
    }
    case WM_LBUTTONDOWN:
        stylus_down(window, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_MOUSEMOVE:
        stylus_move(window, *v, POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_LBUTTONUP:
        v->drag = Drag::None;
        return 0;
    case WM_KEYDOWN: {
        const int page = std::max(kKeyStep, static_cast<int>(client_size(window).cy) - kKeyStep);
        switch (wParam) {
        case VK_UP: scroll_to(window, *v, v->scroll - kKeyStep); return 0;
        case VK_DOWN: scroll_to(window, *v, v->scroll + kKeyStep); return 0;
        case VK_LEFT: scroll_to(window, *v, v->scroll - page); return 0;
        case VK_RIGHT: scroll_to(window, *v, v->scroll + page); return 0;
        default: return DefWindowProcW(window, message, wParam, lParam);
        }
    }
    default:
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

}  // namespace

std::u16string html_view_visible_text(HWND window) {
    View* v = view_of(window);
    if (v == nullptr) return {};
    const SIZE client = client_size(window);
    ensure_layout(*v, client);
    std::u16string out;
    for (const HtmlLine& line : v->layout.lines) {
        if (line.top + line.height <= v->scroll || line.top >= v->scroll + client.cy) continue;
        std::u16string text;
        for (std::uint32_t i = 0; i < line.count; ++i) {
            const HtmlFragment& f = v->layout.fragments[line.first + i];
            text += v->doc.text.substr(f.start, f.length);
        }
        const auto first = text.find_first_not_of(u' ');
        if (first == std::u16string::npos) continue;
        text = text.substr(first, text.find_last_not_of(u' ') - first + 1);
        if (!out.empty()) out += u'\n';
        out += text;
    }
    return out;
}

}  // namespace platform::controls

BOOL InitHTMLControl(HINSTANCE instance) {
    using namespace platform;
    if (user::find_class(DISPLAYCLASS) != nullptr) return TRUE;
    user::WindowClass cls;
    cls.name = DISPLAYCLASS;
    cls.proc = controls::view_proc;
    cls.instance = instance;
    cls.background = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return user::register_class(cls) ? TRUE : FALSE;
}
