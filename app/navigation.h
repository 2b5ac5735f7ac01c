// Moving between maps: Home, Back, Forward along a related-map link, and the
// two zoom buttons. A map that is left keeps the centre and zoom it had, for
// Back, and gives up its image unless it is the home or the main map; the
// map entered loads its image when it has none. Home and Forward remember
// the map they leave in the history, Back takes the last one out. A map
// whose image does not load is not entered: the program beeps and goes to
// the home map.
#pragma once

#include "mapdb/map.h"
#include "platform/win32.h"

// Remembers the current map's centre and zoom in the map.
void SaveCurrentView();
// Saves the current map's view and unloads its image, unless it is the
// home or main map, whose images stay for the whole run.
void LeaveCurrentMap();
// Loads the map's image when it has none; whether it has one afterwards.
bool EnsureMapImage(CMap* map, HWND window);
// BackAvailable follows whether the history holds a map.
void UpdateBack();

void HomeCommand(HWND window);
void BackCommand(HWND window);
void ForwardCommand(HWND window);
void ZoomInCommand(HWND window);
void ZoomOutCommand(HWND window);
