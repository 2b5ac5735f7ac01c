// The state the main window's handlers share: the map shown, the flags that
// say what a repaint draws, the pointer's progress through a tap or a drag,
// the selection and related-map link a tap found, and the history of maps
// left. One instance lives as long as the program; the maps and locations it
// refers to belong to the catalogue and are never freed through it.
#pragma once

#include "app/map_history.h"
#include "mapdb/map.h"
#include "platform/win32.h"

#include <cstdint>
#include <string>

// Bits of MainWindowState::UiFlags.
enum UiFlag : std::uint32_t {
    PopupShown = 1,       // a repaint shows the popup of selectedLocation
    ViewActive = 2,       // the current map's view is drawn, panned and framed
    LinkHighlighted = 4,  // a repaint frames hotRect and enables Forward
    BackAvailable = 8,    // a repaint enables Back
};

struct MainWindowState {
    CMap* currentMap = nullptr;  // null until the maps load, and after a failed load
    std::uint32_t UiFlags = 0;
    std::int32_t lastPointerX = 0;  // window pixels
    std::int32_t lastPointerY = 0;
    bool firstMoveAfterPress = false;
    bool pendingDrag = false;
    UINT_PTR tapTimer = 0;  // the press timer's identifier, 0 while none runs
    Location* selectedLocation = nullptr;
    CMap* linkTarget = nullptr;
    RECT hotRect{};     // map pixels of the current map
    RECT targetRect{};  // map pixels of linkTarget
    POINT targetPoint{};  // map pixels of linkTarget, carried over from the tap
    CMap* findResultMap = nullptr;
    std::u16string titleText;  // the text last given to the navigation bar
    MapHistory history;

    bool Has(UiFlag flag) const { return (UiFlags & flag) != 0; }
    // Forgets every map and location it refers to: the catalogue's maps are
    // about to be freed.
    void ForgetMaps();
};

// The program's instance, stored once at start.
extern HINSTANCE g_instance;
// The main window, or null before it is made.
extern HWND g_mainWindow;
extern MainWindowState g_mainState;
