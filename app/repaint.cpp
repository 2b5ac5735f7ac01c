#include "app/repaint.h"

#include "app/command_bar.h"
#include "app/command_ids.h"
#include "app/location_popup.h"
#include "app/main_window_state.h"
#include "mapdb/map_catalogue.h"
#include "mapview/map_view.h"

namespace {

constexpr COLORREF kLinkFrame = 0x00FF0000;  // blue
constexpr int kLinkFrameWidth = 2;

// Everything RepaintMainWindow draws, without asking for a paint.
void redraw(HWND window) {
    MainWindowState& state = g_mainState;
    LocationPopup::Hide();
    CMapView* view = state.currentMap ? state.currentMap->mapView : nullptr;
    if (state.Has(ViewActive) && view != nullptr) view->Refresh();
    if (state.Has(LinkHighlighted) && state.linkTarget != nullptr) {
        if (view != nullptr) {
            const RECT& hot = state.hotRect;
            view->DrawMapRect(hot.left, hot.top, hot.right, hot.bottom, kLinkFrameWidth, kLinkFrame);
        }
        SetCommandButtonEnabled(IDM_FORWARD, true);
    } else {
        SetCommandButtonEnabled(IDM_FORWARD, false);
    }
    SetCommandButtonEnabled(IDM_BACK, state.Has(BackAvailable));
    if (state.Has(PopupShown)) LocationPopup::Show(window, view, state.selectedLocation);
}

}  // namespace

void RepaintMainWindow(HWND window) {
    redraw(window);
    // The class has no background brush: nothing is erased.
    InvalidateRect(window, nullptr, FALSE);
}

void ClearTapFeedback(HWND window) {
    if (!g_mainState.Has(PopupShown) && !g_mainState.Has(LinkHighlighted)) return;
    g_mainState.UiFlags &= ~static_cast<std::uint32_t>(PopupShown | LinkHighlighted);
    RepaintMainWindow(window);
}

bool OnPaint(HWND window, WPARAM, LPARAM) {
    PAINTSTRUCT paint{};
    HDC dc = BeginPaint(window, &paint);
    if (g_mapCatalogue.homeMap != nullptr) {
        // The paint draws what a repaint draws, but does not ask for
        // another paint: that would paint for as long as the program idles.
        redraw(window);
    } else if (dc != nullptr) {
        RECT client{};
        GetClientRect(window, &client);
        FillRect(dc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    EndPaint(window, &paint);
    return true;
}
