// Painting DCs: BeginPaint and EndPaint hand out DCs that draw straight into
// the window's surface, clipped to the area due. GetDC and ReleaseDC are
// GDI's (gdi/window_dc.h).
#include "platform/user/paint.h"

#include "platform/gdi/shapes.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/window.h"
#include "platform/user/windows.h"

namespace platform::user {

bool erase_background(Window* window, HDC dc) {
    if (window->cls.background == nullptr || dc == nullptr) return false;
    RECT client{};
    GetClientRect(window->handle, &client);
    // The paint DC is clipped to the area due, so only that is erased.
    return FillRect(dc, &client, window->cls.background) != 0;
}

}  // namespace platform::user

using namespace platform::user;

HDC BeginPaint(HWND handle, LPPAINTSTRUCT paint) {
    Window* window = find(handle);
    if (window == nullptr || paint == nullptr) return nullptr;
    *paint = PAINTSTRUCT{};
    RECT due = window->update;
    bool erase = window->updateErase;
    window->update = RECT{};
    window->updateErase = false;
    HDC dc = platform::gdi::open_window_dc(handle, &due);
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
    if (paint == nullptr) return FALSE;
    return platform::gdi::close_window_dc(handle, paint->hdc) ? TRUE : FALSE;
}
