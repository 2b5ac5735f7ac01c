#include "app/location_popup.h"

#include "app/main_window_state.h"
#include "mapview/map_view.h"

HWND LocationPopup::s_window = nullptr;

namespace {

void add_text(HWND viewer, LPCWSTR text) {
    SendMessageW(viewer, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(text));
}

}  // namespace

PopupPlacement PlaceLocationPopup(int clientHeight, int y, bool described) {
    const int height = described ? LocationPopup::DescribedHeight : LocationPopup::NameOnlyHeight;
    // A place in the lower half gets the strip at the top, out of its way.
    if (y > clientHeight / 2) return PopupPlacement{0, height};
    const int top = clientHeight - height + 1;
    return PopupPlacement{top, top};
}

void LocationPopup::Create(HWND mainWindow) {
    s_window = CreateWindowExW(0, DISPLAYCLASS, nullptr, WS_CHILD | WS_BORDER, 0, 0, 0, 0, mainWindow, nullptr,
                               g_instance, nullptr);
}

void LocationPopup::Show(HWND mainWindow, CMapView* view, const Location* location) {
    if (location == nullptr || s_window == nullptr || view == nullptr) return;
    std::int32_t x = LocationX(location->position);
    std::int32_t y = LocationY(location->position);
    if (!view->MapToScreen(&x, &y)) return;
    RECT client{};
    GetClientRect(mainWindow, &client);
    const bool described = location->description != nullptr;
    const PopupPlacement place = PlaceLocationPopup(client.bottom, y, described);
    view->DrawLine(x, place.lineStart, x, y, 2);
    const int height = described ? DescribedHeight : NameOnlyHeight;
    MoveWindow(s_window, -1, place.top, client.right + 3, height, FALSE);
    ShowWindow(s_window, SW_SHOW);
    // The whole text is sent anew each time, so nothing piles up.
    SendMessageW(s_window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(u""));
    add_text(s_window, u"<BODY LEFTMARGIN=\"2\" TOPMARGIN=\"0\">");
    add_text(s_window, u"<FONT SIZE=2 COLOR=BLUE><B>");
    // Name and description go in as the database holds them: markup in
    // them takes effect.
    add_text(s_window, location->name);
    if (described) {
        add_text(s_window, u"</B><FONT SIZE=2 COLOR=BLACK> - ");
        add_text(s_window, location->description);
    }
    add_text(s_window, u"</BODY>");
    SendMessageW(s_window, DTM_ENDOFSOURCE, 0, 0);
}

void LocationPopup::Hide() {
    if (s_window != nullptr) ShowWindow(s_window, SW_HIDE);
}
