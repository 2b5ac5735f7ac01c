// Control of the headless backend for tests and the script runner: the
// virtual clock, injected stylus and key input, the presented frame, and
// what was played. Only tests and tools include this header.
#pragma once

#include "platform/backend/backend.h"
#include "platform/dialogs/message_box_contents.h"
#include "platform/user/user_types.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace platform::headless {

// Starts over: destroys every window and class without calling their
// procedures, empties the queue, timers and records, and runs a fresh
// headless screen of the given size (0 x 0: the default size). The clock
// starts at 0.
void reset(SIZE screen = SIZE{0, 0});

// The virtual clock.
std::uint64_t now();
void advance_clock(std::uint64_t ms);

// Input as the user would give it, in screen pixels; it reaches windows as
// the program takes its messages.
void stylus_down(int x, int y);
void stylus_move(int x, int y);
void stylus_up(int x, int y);
// A tap: down and up at the same place.
void tap(int x, int y);
void key_down(unsigned vk, bool repeat = false);
void key_up(unsigned vk);
// Down and up.
void press_key(unsigned vk);
void type_char(char16_t ch);
// The user closes the desktop window.
void close_window();
// A desktop key or wheel turn, as only the desktop window reports them.
void desktop_key(DesktopKey key);

// Called whenever the program waits for input and has nothing to do: the
// handler may inject input, post messages or move the clock, and returns
// true when it did. With no handler, or when it returns false, waiting
// lets virtual time run to the next timer; with no timer either the
// program would wait for ever, which aborts with a message.
void set_idle_handler(std::function<bool()> handler);

// Clock time at which the next timer elapses, or backend::kNoTimeout when
// no timer runs. An idle handler that lets time pass steps to it, so that
// every timer fires at its own time.
std::uint64_t next_timer_due();

// Dispatches everything that needs no waiting (posted messages, input,
// paints, elapsed timers) and then presents the screen, as the program
// does when it goes idle. Returns the number of messages dispatched.
int run_until_idle();

// The frame presented last (empty before the first present), and how many
// frames were presented.
const Surface& frame();
int present_count();
// The pixel of the last frame as 0x00RRGGBB; 0xFFFFFFFF outside it.
std::uint32_t pixel(int x, int y);
// Composes the screen as it is now (without presenting).
Surface compose();
// The client area of a window as its own surface holds it, whatever covers
// it on the screen; empty for an unknown window.
Surface window_pixels(HWND window);
// Writes the last frame as a PNG file; false with error set on failure.
bool write_png(const std::string& path, std::string* error = nullptr);
bool write_png(const Surface& surface, const std::string& path, std::string* error = nullptr);

// Sounds and beeps played since the reset, oldest first.
const std::vector<backend::SoundRecord>& sounds();
void clear_sounds();

// The title the navigation bar shows.
std::u16string navigation_bar_text();

// The frontmost message box waiting for an answer: its caption, text and
// buttons (labels and screen rectangles), or nothing.
using MessageBoxView = dialogs::MessageBoxContents;
std::optional<MessageBoxView> message_box();

// The buttons of a menu bar, in bar order: the bar of owner, or with owner
// null the bar on the screen now; empty when there is none.
struct MenuBarButton {
    std::u16string tip;
    int command = 0;
    bool enabled = false;
    bool hidden = false;
    bool separator = false;
    RECT rect{};  // screen pixels; empty while hidden
};
std::vector<MenuBarButton> menu_bar_buttons(HWND owner = nullptr);

// How many WM_PAINT messages the window has been sent; 0 for an unknown
// window. An idle program sends none.
int paint_count(HWND window);

// The first child window of parent (bottom of the z-order first) whose
// class is className, or null.
HWND find_child(HWND parent, const std::u16string& className);
// The text an HTML viewer shows now: its lines in view, one a line.
std::u16string html_view_text(HWND view);

// Whether the busy pointer is shown, and how often the program asked to be
// brought to the front.
bool busy_cursor();
int raise_count();

}  // namespace platform::headless
