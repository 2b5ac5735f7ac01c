// The location popup: a strip across the whole width of the main window, at
// its top or bottom edge, showing the selected place's name in bold blue
// and its description after it, with a short dark grey line drawn on the
// map from the strip to the place. It is an HTML viewer made once, hidden,
// with the main window; every repaint hides it and shows it anew.
#pragma once

#include "mapdb/records.h"
#include "platform/win32.h"

class CMapView;

class LocationPopup {
public:
    // Heights of the strip with and without a description, in pixels.
    static constexpr int DescribedHeight = 42;
    static constexpr int NameOnlyHeight = 16;

    // Makes the hidden viewer as a child of the main window. When that
    // fails there is no popup, and Show and Hide do nothing.
    static void Create(HWND mainWindow);
    // Places the strip for location, which lies on the map of view: at the
    // top of the window for a place in its lower half, at the bottom for
    // one in its upper half (or exactly on the middle), one pixel beyond
    // each side; draws the line; and fills the strip. Nothing happens for
    // no location, or for one outside the part of the map in view.
    static void Show(HWND mainWindow, CMapView* view, const Location* location);
    static void Hide();
    // The viewer, or null when it could not be made.
    static HWND Window() { return s_window; }

private:
    static HWND s_window;
};

// Where the strip goes in a client area height pixels high, for a place at
// window row y: its top, and the row the line starts from.
struct PopupPlacement {
    int top;
    int lineStart;
};
PopupPlacement PlaceLocationPopup(int clientHeight, int y, bool described);
