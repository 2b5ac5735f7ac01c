// The Find dialog: a place picked by map, category and name, with the
// picked place's description under the list. OK hands the map and the
// place to the main window (findResultMap and selectedLocation) and
// remembers the category and the place, by their first words, under the
// home map's name; the next opening starts from them.
#pragma once

#include "platform/win32.h"

// The private messages the dialog sends itself to fill its lists, each
// going on with the next (MSG_FILL_MAPS first).
#define MSG_FILL_CATEGORIES (WM_APP + 2)
#define MSG_FILL_LOCATIONS (WM_APP + 3)

INT_PTR CALLBACK FindDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
// The dialog's menu bar with its Cancel and OK buttons.
HWND CreateFindMenuBar(HWND dialog, HINSTANCE instance);
