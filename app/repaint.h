// Bringing the main window up to date: the map, the frame of a related-map
// link, the Back and Forward buttons and the location popup, all redrawn
// by the one routine every handler calls; and the paint handler.
#pragma once

#include "platform/win32.h"

// Redraws the current map's view (while ViewActive), frames the link's hot
// rectangle in blue and enables Forward while LinkHighlighted, sets Back by
// BackAvailable, shows the popup while PopupShown, and asks for a paint.
void RepaintMainWindow(HWND window);
// Takes away a tap's popup and link frame: when PopupShown or
// LinkHighlighted is set, clears both and repaints. The selection and the
// link stay, for Forward.
void ClearTapFeedback(HWND window);

// WM_PAINT: the map and what lies over it, or plain white before the maps
// have loaded. A paint never asks for another paint, so an idle program
// does no work.
bool OnPaint(HWND window, WPARAM wParam, LPARAM lParam);
