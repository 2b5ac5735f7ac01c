// Device contexts on windows: GetDC/ReleaseDC and BeginPaint/EndPaint hand
// out DCs that draw straight into the window's surface, clipped to its
// client area (and, for painting, to the area due).
#include "platform/user/paint.h"

#include "platform/gdi/shapes.h"
#include "platform/gdi/surface.h"
#include "platform/user/window.h"
#include "platform/user/windows.h"

#include <algorithm>

namespace platform::user {
namespace {

HDC open_dc(Window* window, const RECT* area) {
    RECT client = window->client_in_surface();
    RECT clip = client;
    if (area != nullptr) {
        clip = RECT{std::max(client.left, client.left + area->left), std::max(client.top, client.top + area->top),
                    std::min(client.right, client.left + area->right),
                    std::min(client.bottom, client.top + area->bottom)};
        if (clip.right < clip.left) clip.right = clip.left;
        if (clip.bottom < clip.top) clip.bottom = clip.top;
    }
    HDC dc = gdi::create_surface_dc(&window->surface, POINT{client.left, client.top}, clip);
    if (dc != nullptr) window->openDcs.push_back(dc);
    return dc;
}

bool close_dc(Window* window, HDC dc) {
    auto it = std::find(window->openDcs.begin(), window->openDcs.end(), dc);
    if (it == window->openDcs.end()) return false;
    window->openDcs.erase(it);
    gdi::release_surface_dc(dc);
    return true;
}

}  // namespace

void release_window_dcs(Window* window) {
    // The surface goes with the window; a DC left open must not outlive it.
    for (HDC dc : window->openDcs) gdi::release_surface_dc(dc);
    window->openDcs.clear();
}

bool erase_background(Window* window, HDC dc) {
    if (window->cls.background == nullptr || dc == nullptr) return false;
    RECT client{};
    GetClientRect(window->handle, &client);
    // The paint DC is clipped to the area due, so only that is erased.
    return FillRect(dc, &client, window->cls.background) != 0;
}

}  // namespace platform::user

using namespace platform::user;

HDC GetDC(HWND handle) {
    Window* window = find(handle);
    if (window == nullptr) return nullptr;
    return open_dc(window, nullptr);
}

int ReleaseDC(HWND handle, HDC dc) {
    Window* window = find(handle);
    if (window == nullptr || dc == nullptr) return 0;
    return close_dc(window, dc) ? 1 : 0;
}

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    Window* window = find(handle);
    if (window == nullptr || paint == nullptr) return nullptr;
    *paint = PAINTSTRUCT{};
    RECT due = window->update;
    bool erase = window->updateErase;
    window->update = RECT{};
    window->updateErase = false;
    HDC dc = open_dc(window, &due);
    if (dc == nullptr) return nullptr;
    paint->hdc = dc;
    paint->rcPaint = due;
    paint->fErase = FALSE;
    if (erase) {
        paint->fErase = send(window, WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0) ? FALSE : TRUE;
    }
    return dc;
}

BOOL EndPaint(HWND handle, const PAINTSTRUCT* paint) {
    Window* window = find(handle);
    if (window == nullptr || paint == nullptr) return FALSE;
    return close_dc(window, paint->hdc) ? TRUE : FALSE;
}
