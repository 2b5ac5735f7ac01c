#include "platform/controls/control_colors.h"

#include "platform/gdi/brushes.h"
#include "platform/gdi/device_context.h"
#include "platform/gdi/object_table.h"
#include "platform/user/message_queue.h"
#include "platform/user/windows.h"

namespace platform::controls {

HBRUSH ask_control_colours(HWND control, HDC dc, UINT message) {
    return ask_control_colours(GetParent(control), control, dc, message);
}

HBRUSH ask_control_colours(HWND parent, HWND window, HDC dc, UINT message) {
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    SetBkMode(dc, OPAQUE);
    HBRUSH brush = nullptr;
    if (IsWindow(parent))
        brush = reinterpret_cast<HBRUSH>(
            SendMessageW(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(window)));
    if (gdi::lookup_as<gdi::GdiObject>(brush, gdi::ObjectKind::Brush) == nullptr)
        brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    return brush;
}

}  // namespace platform::controls
