#include "app/pointer_keys.h"

#include "app/main_window_state.h"
#include "app/related_maps.h"
#include "app/repaint.h"
#include "app/sounds.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"

#include <cstdlib>

namespace {

bool no_home_map() { return g_mapCatalogue.homeMap == nullptr; }

CMapView* current_view() { return g_mainState.currentMap ? g_mainState.currentMap->mapView : nullptr; }

// The pointer's position: each half of lParam signed, because a drag that
// leaves the window above or left of it goes on with negative positions.
POINT pointer_of(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

void stop_press_timer(HWND window) {
    if (g_mainState.tapTimer == 0) return;
    KillTimer(window, PressTimerId);
    g_mainState.tapTimer = 0;
}

// A release while the press timer runs: select what lies under the place
// the stylus went down (or crossed the drag threshold).
void tap(HWND window) {
    MainWindowState& state = g_mainState;
    std::int32_t x = state.lastPointerX;
    std::int32_t y = state.lastPointerY;
    CMapView* view = current_view();
    if (view != nullptr && view->ScreenToMap(&x, &y)) {
        state.selectedLocation = state.currentMap->FindNearestLocation(x, y, TapRadius);
        state.linkTarget = FindRelatedMap(state.currentMap->MapName(), x, y, &state.hotRect, &state.targetRect,
                                          &state.targetPoint);
        if (state.linkTarget != nullptr) state.UiFlags |= LinkHighlighted;
        // A tap that hits nothing is silent.
        if (state.selectedLocation != nullptr || state.linkTarget != nullptr) PlayMenuPopSound();
    } else {
        // A tap beside the drawn map, on its border or margin.
        state.selectedLocation = nullptr;
        state.linkTarget = nullptr;
    }
    state.UiFlags |= PopupShown;
    RepaintMainWindow(window);
}

}  // namespace

bool OnKeyDown(HWND window, WPARAM wParam, LPARAM) {
    if (no_home_map()) return true;
    // Every key takes the popup and the link frame away, also a key that
    // does nothing else.
    ClearTapFeedback(window);
    CMapView* view = current_view();
    if (view == nullptr) return true;
    switch (wParam) {
    case VK_UP: view->Pan(0, -KeyPanStep); break;
    case VK_DOWN: view->Pan(0, KeyPanStep); break;
    case VK_LEFT: view->Pan(-KeyPanStep, 0); break;
    case VK_RIGHT: view->Pan(KeyPanStep, 0); break;
    case VK_RETURN: view->CycleZoom(); break;
    default: break;
    }
    return true;
}

bool OnLButtonDown(HWND window, WPARAM, LPARAM lParam) {
    if (no_home_map()) return true;
    MainWindowState& state = g_mainState;
    state.pendingDrag = true;
    state.firstMoveAfterPress = true;
    if (state.tapTimer != 0) KillTimer(window, PressTimerId);
    state.tapTimer = SetTimer(window, PressTimerId, PressTimerMs, nullptr);
    const POINT p = pointer_of(lParam);
    state.lastPointerX = p.x;
    state.lastPointerY = p.y;
    ClearTapFeedback(window);
    return true;
}

bool OnMouseMove(HWND window, WPARAM, LPARAM lParam) {
    if (no_home_map()) return true;
    MainWindowState& state = g_mainState;
    ClearTapFeedback(window);
    const POINT p = pointer_of(lParam);
    if (state.firstMoveAfterPress) {
        // The first move after a press is never measured, however far.
        state.firstMoveAfterPress = false;
        return true;
    }
    if (state.pendingDrag) {
        if (std::abs(p.x - state.lastPointerX) > DragThreshold || std::abs(p.y - state.lastPointerY) > DragThreshold) {
            // The drag begins here; this move does not pan, and the press
            // timer runs on, so a release right now is still a tap.
            state.lastPointerX = p.x;
            state.lastPointerY = p.y;
            state.pendingDrag = false;
        }
        return true;
    }
    stop_press_timer(window);
    // Old minus new: the map follows the stylus.
    const std::int32_t dx = state.lastPointerX - p.x;
    const std::int32_t dy = state.lastPointerY - p.y;
    state.lastPointerX = p.x;
    state.lastPointerY = p.y;
    CMapView* view = current_view();
    if (state.Has(ViewActive) && view != nullptr) view->Pan(dx, dy);
    return true;
}

bool OnTimer(HWND window, WPARAM, LPARAM) {
    if (no_home_map()) return true;
    KillTimer(window, PressTimerId);
    g_mainState.tapTimer = 0;
    // A held press shows the overview frame; its release is no tap.
    CMapView* view = current_view();
    if (g_mainState.Has(ViewActive) && view != nullptr) view->Pan(0, 0);
    return true;
}

bool OnLButtonUp(HWND window, WPARAM, LPARAM) {
    if (no_home_map()) return true;
    if (g_mainState.tapTimer != 0) {
        stop_press_timer(window);
        tap(window);
        return true;
    }
    // A drag, or a press held past the timer: the map without the frame.
    if (CMapView* view = current_view()) view->Refresh();
    return true;
}
