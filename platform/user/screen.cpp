#include "platform/user/screen.h"

#include "platform/backend/backend.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/cursor_state.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform::user {
namespace {

Surface g_shown;
bool g_shownValid = false;

// What the screen shown was composed from, apart from the windows' pixels:
// the visible windows in z-order with their places and styles, the busy
// indicator and the screen's size; and how many window DCs had been opened
// and closed. While all of it stays the same and no window DC is open,
// composing again would give the same screen.
struct ScreenMakeup {
    std::vector<std::uintptr_t> windows;
    bool busy = false;
    SIZE size{};
    std::uint64_t drawings = 0;

    bool operator==(const ScreenMakeup& other) const {
        return windows == other.windows && busy == other.busy && size.cx == other.size.cx &&
               size.cy == other.size.cy && drawings == other.drawings;
    }
};
ScreenMakeup g_shownMakeup;

void add_window(const Window* window, std::vector<std::uintptr_t>& out) {
    const RECT& r = window->rect;
    out.insert(out.end(), {reinterpret_cast<std::uintptr_t>(window->handle), static_cast<std::uintptr_t>(r.left),
                           static_cast<std::uintptr_t>(r.top), static_cast<std::uintptr_t>(r.right),
                           static_cast<std::uintptr_t>(r.bottom), window->style, window->children.size()});
    for (const Window* child : window->children) {
        if (child->style & WS_VISIBLE) add_window(child, out);
    }
}

ScreenMakeup current_makeup() {
    ScreenMakeup makeup;
    for (const Window* window : top_levels()) {
        if (window->style & WS_VISIBLE) add_window(window, makeup.windows);
    }
    makeup.busy = busy_cursor_shown();
    makeup.size = backend::current().screen();
    makeup.drawings = gdi::window_drawing_count();
    return makeup;
}

RECT intersect(const RECT& a, const RECT& b) {
    return RECT{std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
                std::min(a.bottom, b.bottom)};
}

// Copies the window's surface, then its children's within its client area.
void draw_window(const Window* window, Surface& target, const RECT& clip) {
    POINT origin = window_origin(window);
    RECT area = intersect(screen_rect(window), clip);
    for (int y = area.top; y < area.bottom; ++y) {
        if (area.right <= area.left) break;
        const std::uint32_t* from = window->surface.row(y - origin.y) + (area.left - origin.x);
        std::memcpy(target.row(y) + area.left, from, (area.right - area.left) * sizeof(std::uint32_t));
    }
    if (window->children.empty()) return;
    RECT client = window->client_in_surface();
    RECT childClip = intersect(clip, RECT{origin.x + client.left, origin.y + client.top, origin.x + client.right,
                                          origin.y + client.bottom});
    for (const Window* child : window->children) {
        if (child->style & WS_VISIBLE) draw_window(child, target, childClip);
    }
}

// The handheld's busy indicator: a ring of eight dots in the middle of the
// screen, fading round.
void draw_busy_indicator(Surface& target) {
    int cx = target.width() / 2;
    int cy = target.height() / 2;
    constexpr double kPi = 3.14159265358979323846;
    for (int dot = 0; dot < 8; ++dot) {
        double angle = dot * kPi / 4;
        int px = cx + static_cast<int>(std::lround(11 * std::cos(angle)));
        int py = cy + static_cast<int>(std::lround(11 * std::sin(angle)));
        std::uint32_t shade = static_cast<std::uint32_t>(40 + dot * 26);
        std::uint32_t colour = (shade / 3 << 16) | (shade / 2 << 8) | shade;
        for (int y = py - 2; y <= py + 2; ++y) {
            for (int x = px - 2; x <= px + 2; ++x) {
                if (std::abs(x - px) + std::abs(y - py) > 3) continue;
                if (x >= 0 && y >= 0 && x < target.width() && y < target.height()) target.row(y)[x] = colour;
            }
        }
    }
}

}  // namespace

// The screen as the windows are arranged now. Callers arrange the frame.
static void compose_arranged(Surface& target) {
    SIZE size = backend::current().screen();
    if (target.width() != size.cx || target.height() != size.cy) target.resize(size.cx, size.cy);
    target.fill(0x00FFFFFF);
    draw_frame_background(target);
    RECT all{0, 0, size.cx, size.cy};
    for (const Window* window : top_levels()) {
        if (window->style & WS_VISIBLE) draw_window(window, target, all);
    }
    if (busy_cursor_shown()) draw_busy_indicator(target);
}

void compose_screen(Surface& target) {
    // The bottom bar shown is the frontmost window's.
    arrange_shell_frame();
    compose_arranged(target);
}

void present_screen() {
    // The bars shown follow the window in front before anything is compared.
    arrange_shell_frame();
    // An idle program is asked to present again and again while it waits:
    // when nothing can have changed, nothing is composed.
    ScreenMakeup makeup = current_makeup();
    if (g_shownValid && !gdi::window_dcs_open() && makeup == g_shownMakeup) return;
    g_shownMakeup = std::move(makeup);
    static Surface frame;
    compose_arranged(frame);
    bool same = g_shownValid && frame.width() == g_shown.width() && frame.height() == g_shown.height() &&
                std::memcmp(frame.pixels(), g_shown.pixels(),
                            static_cast<std::size_t>(frame.width()) * frame.height() * sizeof(std::uint32_t)) == 0;
    if (same) return;
    std::swap(frame, g_shown);
    g_shownValid = true;
    backend::current().present(g_shown);
}

void reset_screen() { g_shownValid = false; }

}  // namespace platform::user
