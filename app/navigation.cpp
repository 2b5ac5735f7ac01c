#include "app/navigation.h"

#include "app/main_window.h"
#include "app/main_window_state.h"
#include "app/pointer_keys.h"
#include "app/repaint.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"

namespace {

// The title, the Back button and the screen after a change of map.
void show_current_map(HWND window) {
    ShowTitle(window);
    UpdateBack();
    RepaintMainWindow(window);
}

}  // namespace

void SaveCurrentView() {
    CMap* map = g_mainState.currentMap;
    if (map == nullptr || map->mapView == nullptr) return;
    map->hasSavedView = 1;
    map->mapView->GetCenter(&map->savedCenterX, &map->savedCenterY);
    map->savedZoom = map->mapView->GetZoomPercent();
}

void LeaveCurrentMap() {
    SaveCurrentView();
    CMap* map = g_mainState.currentMap;
    if (map != nullptr && map != g_mapCatalogue.mainMap && map != g_mapCatalogue.homeMap) map->UnloadImage();
}

bool EnsureMapImage(CMap* map, HWND window) {
    if (!map->imageLoaded) map->LoadImage(window);
    return map->imageLoaded != 0;
}

void UpdateBack() {
    if (g_mainState.history.Peek() != nullptr) g_mainState.UiFlags |= BackAvailable;
    else g_mainState.UiFlags &= ~static_cast<std::uint32_t>(BackAvailable);
}

void HomeCommand(HWND window) {
    ClearTapFeedback(window);
    CMap* home = g_mapCatalogue.homeMap;
    if (g_mainState.currentMap == home) return;
    g_mainState.history.Push(g_mainState.currentMap);
    LeaveCurrentMap();
    // The home map keeps its image, and comes back where it was left.
    g_mainState.currentMap = home;
    show_current_map(window);
}

void BackCommand(HWND window) {
    ClearTapFeedback(window);
    CMap* previous = g_mainState.history.Pop();
    if (previous == nullptr) {
        MessageBeep(MB_OK);
        return;
    }
    LeaveCurrentMap();
    if (EnsureMapImage(previous, window)) {
        // Back only walks backwards: the map left is not remembered.
        g_mainState.currentMap = previous;
        previous->mapView->SetZoomPercent(previous->savedZoom);
        previous->mapView->CenterOn(previous->savedCenterX, previous->savedCenterY);
    } else {
        MessageBeep(MB_OK);
        g_mainState.currentMap = g_mapCatalogue.homeMap;
    }
    show_current_map(window);
}

void ForwardCommand(HWND window) {
    MainWindowState& state = g_mainState;
    // Only a tap on a link enables Forward; a command that comes without
    // one is ignored.
    if (state.linkTarget == nullptr) return;
    ClearTapFeedback(window);
    CMap* left = state.currentMap;
    LeaveCurrentMap();
    if (EnsureMapImage(state.linkTarget, window)) {
        state.history.Push(left);
        state.currentMap = state.linkTarget;
        state.currentMap->mapView->CenterOn(state.targetPoint.x, state.targetPoint.y);
        // A link to a point or a line opens on the nearest place's popup; a
        // link to a proper rectangle only centres the map.
        if (IsRectEmpty(&state.targetRect)) {
            state.selectedLocation =
                state.currentMap->FindNearestLocation(state.targetPoint.x, state.targetPoint.y, TapRadius);
            if (state.selectedLocation != nullptr) state.UiFlags |= PopupShown;
        }
    } else {
        MessageBeep(MB_OK);
        state.currentMap = g_mapCatalogue.homeMap;
    }
    show_current_map(window);
}

void ZoomInCommand(HWND window) {
    ClearTapFeedback(window);
    if (CMapView* view = g_mainState.currentMap ? g_mainState.currentMap->mapView : nullptr) view->ZoomIn();
}

void ZoomOutCommand(HWND window) {
    ClearTapFeedback(window);
    if (CMapView* view = g_mainState.currentMap ? g_mainState.currentMap->mapView : nullptr) view->ZoomOut();
}
