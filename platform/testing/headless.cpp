#include "platform/testing/headless.h"

#include "platform/backend/headless/headless_backend.h"
#include "platform/testing/png_writer.h"
#include "platform/base/crt.h"
#include "platform/controls/htmlview_text.h"
#include "platform/controls/menu_bar_window.h"
#include "platform/controls/menubar.h"
#include "platform/dialogs/message_box_contents.h"
#include "platform/shell/frame.h"
#include "platform/shell/navigation_bar.h"
#include "platform/system/single_copy_service.h"
#include "platform/user/cursor_state.h"
#include "platform/user/input_translation.h"
#include "platform/user/message_pump.h"
#include "platform/user/screen.h"
#include "platform/user/timer_queue.h"
#include "platform/user/window.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace platform::headless {
namespace {

backend::HeadlessBackend& machine() {
    backend::Backend& current = backend::current();
    if (!current.is_headless()) {
        std::fprintf(stderr, "headless: the running backend is not the headless one\n");
        std::abort();
    }
    return static_cast<backend::HeadlessBackend&>(current);
}

void inject(backend::InputEvent::Kind kind, int x = 0, int y = 0, unsigned key = 0, bool repeat = false,
            char16_t ch = 0) {
    backend::InputEvent event;
    event.kind = kind;
    event.x = x;
    event.y = y;
    event.key = key;
    event.repeat = repeat;
    event.ch = ch;
    machine().inject(event);
}

using Kind = backend::InputEvent::Kind;

}  // namespace

void reset(SIZE screen) {
    user::reset_windows();
    user::reset_input();
    user::reset_queue();
    user::reset_timers();
    user::reset_cursor();
    user::reset_screen();
    shell::reset_shell();
    system::reset_single_copy();
    if (screen.cx <= 0 || screen.cy <= 0) screen = backend::screen_size();
    backend::install(backend::make_headless(screen));
}

std::uint64_t now() { return machine().now_ms(); }
void advance_clock(std::uint64_t ms) { machine().advance(ms); }

void stylus_down(int x, int y) { inject(Kind::StylusDown, x, y); }
void stylus_move(int x, int y) { inject(Kind::StylusMove, x, y); }
void stylus_up(int x, int y) { inject(Kind::StylusUp, x, y); }
void tap(int x, int y) {
    stylus_down(x, y);
    stylus_up(x, y);
}
void key_down(unsigned vk, bool repeat) { inject(Kind::KeyDown, 0, 0, vk, repeat); }
void key_up(unsigned vk) { inject(Kind::KeyUp, 0, 0, vk); }
void desktop_key(DesktopKey key) {
    backend::InputEvent event;
    event.kind = Kind::Desktop;
    event.desktop = key;
    machine().inject(event);
}
void press_key(unsigned vk) {
    key_down(vk);
    key_up(vk);
}
void type_char(char16_t ch) { inject(Kind::Char, 0, 0, 0, false, ch); }
void close_window() { inject(Kind::Close); }

void set_idle_handler(std::function<bool()> handler) { machine().set_idle_handler(std::move(handler)); }

std::uint64_t next_timer_due() { return user::next_timer_due(); }

int run_until_idle() {
    machine();
    int count = user::pump_messages();
    user::present_screen();
    return count;
}

const Surface& frame() { return machine().frame(); }
int present_count() { return machine().present_count(); }

std::uint32_t pixel(int x, int y) {
    const Surface& f = machine().frame();
    if (x < 0 || y < 0 || x >= f.width() || y >= f.height()) return 0xFFFFFFFFu;
    return f.row(y)[x];
}

Surface compose() {
    Surface surface;
    user::compose_screen(surface);
    return surface;
}

Surface window_pixels(HWND handle) {
    Surface out;
    const user::Window* window = user::find(handle);
    if (window == nullptr) return out;
    const RECT client = window->client_in_surface();
    const int width = std::max(0, std::min<int>(client.right, window->surface.width()) - client.left);
    const int height = std::max(0, std::min<int>(client.bottom, window->surface.height()) - client.top);
    out.resize(width, height);
    for (int y = 0; y < height; ++y) {
        const std::uint32_t* from = window->surface.row(client.top + y) + client.left;
        std::copy(from, from + width, out.row(y));
    }
    return out;
}

bool write_png(const std::string& path, std::string* error) { return write_png_file(machine().frame(), path, error); }

bool write_png(const Surface& surface, const std::string& path, std::string* error) {
    return write_png_file(surface, path, error);
}

const std::vector<backend::SoundRecord>& sounds() {
    // The web page's backend keeps the same record, for the page's state.
    static const std::vector<backend::SoundRecord> kNone;
    const auto* record = backend::current().sound_record();
    return record != nullptr ? *record : kNone;
}
void clear_sounds() { machine().clear_sounds(); }
std::u16string navigation_bar_text() { return shell::navigation_bar_text(); }

std::optional<MessageBoxView> message_box() { return dialogs::front_message_box(); }

std::vector<MenuBarButton> menu_bar_buttons(HWND owner) {
    std::vector<MenuBarButton> out;
    HWND bar = nullptr;
    const auto& list = user::top_levels();
    for (auto it = list.rbegin(); it != list.rend() && bar == nullptr; ++it) {
        const user::Window* window = *it;
        if (window->destroying || !controls::is_menu_bar(window->handle)) continue;
        const bool chosen = owner != nullptr ? controls::menu_bar_parent(window->handle) == owner
                                             : (window->style & WS_VISIBLE) != 0;
        if (chosen) bar = window->handle;
    }
    for (const controls::BarButton& b : controls::bar_buttons(bar)) {
        MenuBarButton button;
        button.tip = b.tip;
        button.command = b.command;
        button.enabled = (b.state & TBSTATE_ENABLED) != 0;
        button.hidden = (b.state & TBSTATE_HIDDEN) != 0;
        button.separator = b.separator;
        button.rect = b.rect;
        out.push_back(button);
    }
    return out;
}

int paint_count(HWND window) {
    const user::Window* w = user::find(window);
    return w ? w->paintsDelivered : 0;
}

HWND find_child(HWND parent, const std::u16string& className) {
    const user::Window* window = user::find(parent);
    if (window == nullptr) return nullptr;
    for (const user::Window* child : window->children) {
        if (!child->destroying && lstrcmpiW(child->cls.name.c_str(), className.c_str()) == 0) return child->handle;
    }
    return nullptr;
}

std::u16string html_view_text(HWND view) { return controls::html_view_visible_text(view); }

bool busy_cursor() { return machine().busy(); }
int raise_count() { return machine().raises(); }

}  // namespace platform::headless
