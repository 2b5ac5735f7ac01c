// What the program hands the Find and Information dialogs as they open, the
// parameter of their dialog box: its instance (the dialogs' menu bars and
// bitmaps are its resources), the map shown, on which a dialog opens, and
// the click their buttons play. Find gives its choice back in it.
#pragma once

#include "mapdb/map.h"
#include "platform/win32.h"

struct DialogContext {
    HINSTANCE instance = nullptr;
    CMap* currentMap = nullptr;  // null before the maps load
    void (*click)() = nullptr;
    // Find's choice on OK: the map picked and the place picked, each null
    // when there was none. Cleared as the dialog opens.
    CMap* chosenMap = nullptr;
    Location* chosenLocation = nullptr;

    void PlayClick() const {
        if (click != nullptr) click();
    }
};
