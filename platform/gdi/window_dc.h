// Device contexts on windows: GetDC and ReleaseDC, and the client rectangle
// they draw in. A window's drawing goes straight into its surface and stays
// there until drawn over. The window manager owns the windows; at start-up
// it tells GDI how to find a window's surface and client area, so that
// drawing code (the map view) needs nothing of the window manager.
#pragma once

#include "platform/base/surface.h"
#include "platform/base/win32_types.h"

#include <cstdint>

// A DC on the window's client area, clipped to it.
HDC GetDC(HWND window);
int ReleaseDC(HWND window, HDC dc);
// The client area's size as a rectangle at 0, 0.
BOOL GetClientRect(HWND window, LPRECT rect);

namespace platform::gdi {

// Where a window draws: its surface, and its client area inside it.
struct WindowArea {
    Surface* surface = nullptr;
    RECT client{};
};
// False for a handle that is no live window.
using WindowAreaLookup = bool (*)(HWND window, WindowArea* area);
void set_window_area_lookup(WindowAreaLookup lookup);

// A DC on the window's client area, clipped further to area (client
// coordinates) when given; BeginPaint uses it. Null for an unknown window.
HDC open_window_dc(HWND window, const RECT* area);
// Closes a DC opened on window; false when it is not one of its DCs.
bool close_window_dc(HWND window, HDC dc);
// Closes every DC still open on a window that goes away: its surface goes
// with it, and a DC must not outlive that.
void release_window_dcs(HWND window);
// Forgets every window DC (tests that start over).
void release_all_window_dcs();

// Counts the window DCs opened and closed: what is drawn into a window's
// surface is drawn through one, so while the count stays the same and no
// DC is open, no window's pixels have changed.
std::uint64_t window_drawing_count();
bool window_dcs_open();

}  // namespace platform::gdi
