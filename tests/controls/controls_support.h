// Helpers for the control tests: a fresh headless screen with the program's
// resources, a main window that writes down the commands it receives, and
// ways to read pixels back.
#pragma once

#include "platform/testing/headless.h"
#include "platform/win32.h"

#include <functional>
#include <string>
#include <vector>

namespace controls_test {

struct Command {
    HWND window;
    int id;
    int code;
};
// Every WM_COMMAND the test windows received, oldest first.
extern std::vector<Command> g_commands;

// A fresh 240 x 320 headless screen, the program's resources registered,
// the HTML viewer class available and the test window class registered.
void start_over();

// A main window below the navigation bar, 268 pixels high (room for the
// menu bar), with a pale green ground.
HWND make_main();
// A top-level window standing for a dialog, owned by owner.
HWND make_dialog(HWND owner);

// An HTML viewer child of parent at rect (parent client coordinates).
HWND make_view(HWND parent, RECT rect, DWORD style = WS_CHILD | WS_VISIBLE);
// Sends a document as the program does: WM_SETTEXT "", the pieces, the end.
void show(HWND view, const std::vector<std::u16string>& pieces);

// Dispatches what is due and presents the screen.
void settle();

// Pixels of the presented screen inside area (screen coordinates) for which
// test is true.
int count(RECT area, const std::function<bool(std::uint32_t)>& test);
// The columns/rows of area holding any pixel for which test is true:
// {first, last}, or {-1, -1} when none.
std::pair<int, int> columns(RECT area, const std::function<bool(std::uint32_t)>& test);
std::pair<int, int> rows(RECT area, const std::function<bool(std::uint32_t)>& test);

// Colour tests on 0x00RRGGBB pixels.
bool bluish(std::uint32_t xrgb);   // clearly more blue than red and green
bool dark(std::uint32_t xrgb);     // near black, not blue
bool ink(std::uint32_t xrgb);      // anything but white
bool is(std::uint32_t xrgb, COLORREF color);

// The screen rectangle of a window.
RECT screen_rect(HWND window);

}  // namespace controls_test
