#include "platform/dialogs/dialog_box.h"

#include "platform/base/crt.h"
#include "platform/controls/edit.h"
#include "platform/dialogs/dialog_template.h"
#include "platform/dialogs/message_box.h"
#include "platform/dialogs/modal_loop.h"
#include "platform/gdi/brushes.h"
#include "platform/gdi/dialog_units.h"
#include "platform/gdi/fonts.h"
#include "platform/gdi/object_table.h"
#include "platform/gdi/shapes.h"
#include "platform/shell/frame.h"
#include "platform/system/resources.h"
#include "platform/gdi/window_dc.h"
#include "platform/user/input.h"
#include "platform/user/message_queue.h"
#include "platform/user/paint.h"
#include "platform/user/window.h"
#include "platform/user/window_class.h"
#include "platform/user/windows.h"

#include <algorithm>
#include <memory>
#include <unordered_map>

namespace platform::dialogs {
namespace {

struct Dialog {
    DLGPROC proc = nullptr;
    HFONT font = nullptr;
    bool ownsFont = false;
    bool ended = false;
    INT_PTR result = 0;
    HWND savedFocus = nullptr;  // the control that had the focus when the dialog went inactive
};

// The dialogs alive, by window. The state itself belongs to the call that
// runs the dialog, so the loop's end flag outlives the window.
std::unordered_map<HWND, Dialog*>& dialogs() {
    static std::unordered_map<HWND, Dialog*> table;
    return table;
}

Dialog* dialog_of(HWND window) {
    auto it = dialogs().find(window);
    return it == dialogs().end() ? nullptr : it->second;
}

// Messages whose answer is what the procedure returns, not just "handled".
bool answers_directly(UINT message) {
    return message == WM_INITDIALOG || (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC);
}

bool is_brush(LRESULT value) {
    return gdi::lookup_as<gdi::GdiObject>(reinterpret_cast<HBRUSH>(value), gdi::ObjectKind::Brush) != nullptr;
}

bool focus_inside(HWND dialog) {
    const HWND focus = GetFocus();
    return focus != nullptr && (focus == dialog || IsChild(dialog, focus));
}

// Gives the focus back to the control that had it, else to the first tab
// stop, unless it is inside the dialog already.
void restore_focus(HWND dialog, Dialog& d) {
    const HWND focus = GetFocus();
    if (focus != nullptr && IsChild(dialog, focus)) return;
    HWND target = d.savedFocus;
    if (!IsWindow(target) || !IsChild(dialog, target)) target = GetNextDlgTabItem(dialog, nullptr, FALSE);
    if (target != nullptr) SetFocus(target);
}

LRESULT default_handling(HWND dialog, Dialog& d, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_ERASEBKGND: {
        const LRESULT answer =
            SendMessageW(dialog, WM_CTLCOLORDLG, wParam, reinterpret_cast<LPARAM>(dialog));
        if (!IsWindow(dialog)) return 1;
        HBRUSH brush = is_brush(answer) ? reinterpret_cast<HBRUSH>(answer)
                                        : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        RECT client{};
        GetClientRect(dialog, &client);
        FillRect(reinterpret_cast<HDC>(wParam), &client, brush);
        return 1;
    }
    case WM_CLOSE:
        // As the desktop's dialogs do: closing is cancelling.
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            if (focus_inside(dialog) && GetFocus() != dialog) d.savedFocus = GetFocus();
        } else {
            restore_focus(dialog, d);
        }
        return 0;
    case WM_SETFOCUS: restore_focus(dialog, d); return 0;
    case WM_GETFONT: return reinterpret_cast<LRESULT>(d.font);
    case WM_SETFONT: d.font = reinterpret_cast<HFONT>(wParam); return 0;
    default: return DefWindowProcW(dialog, message, wParam, lParam);
    }
}

LRESULT CALLBACK dialog_proc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* cs = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        if (cs == nullptr || cs->lpCreateParams == nullptr) return FALSE;
        dialogs()[dialog] = static_cast<Dialog*>(cs->lpCreateParams);
        return TRUE;
    }
    Dialog* d = dialog_of(dialog);
    if (d == nullptr) return DefWindowProcW(dialog, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        if (d->proc) d->proc(dialog, message, wParam, lParam);
        dialogs().erase(dialog);
        return 0;
    }
    const INT_PTR answer = d->proc ? d->proc(dialog, message, wParam, lParam) : FALSE;
    if (answers_directly(message)) {
        if (answer != 0 || message == WM_INITDIALOG) return answer;
    } else if (answer != 0) {
        return answer;
    }
    // The procedure may have ended the dialog's window.
    if ((d = dialog_of(dialog)) == nullptr) return 0;
    return default_handling(dialog, *d, message, wParam, lParam);
}

bool ensure_class() {
    if (user::find_class(kDialogClassName) != nullptr) return true;
    user::WindowClass cls;
    cls.name = kDialogClassName;
    cls.proc = dialog_proc;
    return user::register_class(cls);
}

// The space between the navigation bar and the menu bar.
RECT work_area() {
    const RECT nav = shell::navigation_bar_rect();
    const RECT menu = shell::menu_bar_rect();
    return RECT{nav.left, nav.bottom, nav.right, std::max(nav.bottom, menu.top)};
}

// The dialog's screen rectangle: the template's place in the owner's client
// area (the screen's with DS_ABSALIGN, the middle with DS_CENTER), moved
// inside the work area as far as its size allows.
RECT place_dialog(const DialogTemplate& t, HWND owner) {
    const RECT pixels = gdi::dialog_rect_to_pixels(t.units);
    const int border = (t.style & WS_BORDER) ? 1 : 0;
    const int width = (pixels.right - pixels.left) + 2 * border;
    const int height = (pixels.bottom - pixels.top) + 2 * border;
    const RECT area = work_area();
    POINT origin{area.left, area.top};
    if (t.style & DS_ABSALIGN) {
        origin = POINT{0, 0};
    } else if (owner != nullptr) {
        origin = POINT{0, 0};
        ClientToScreen(owner, &origin);
    }
    int x = origin.x + pixels.left;
    int y = origin.y + pixels.top;
    if (t.style & DS_CENTER) {
        x = area.left + ((area.right - area.left) - width) / 2;
        y = area.top + ((area.bottom - area.top) - height) / 2;
    }
    x = std::max(static_cast<int>(area.left), std::min(x, static_cast<int>(area.right) - width));
    y = std::max(static_cast<int>(area.top), std::min(y, static_cast<int>(area.bottom) - height));
    return RECT{x, y, x + width, y + height};
}

// "System" (or no face) is the stock System font; another face is made at
// its point size on a 96-dpi screen and belongs to the dialog.
HFONT make_font(const DialogTemplate& t, bool& owned) {
    owned = false;
    if (!t.hasFont || t.faceName.empty() || lstrcmpiW(t.faceName.c_str(), u"System") == 0)
        return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    LOGFONTW logfont{};
    logfont.lfHeight = -((static_cast<LONG>(t.pointSize) * 96 + 36) / 72);
    logfont.lfWeight = FW_NORMAL;
    lstrcpynW(logfont.lfFaceName, t.faceName.c_str(), LF_FACESIZE);
    HFONT font = CreateFontIndirectW(&logfont);
    if (font == nullptr) return static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
    owned = true;
    return font;
}

// Makes the dialog and its controls and sends WM_INITDIALOG; null when the
// window or a required control cannot be made.
HWND create_dialog(const DialogTemplate& t, HWND owner, Dialog& d, LPARAM param, HINSTANCE instance) {
    if (!ensure_class()) return nullptr;
    const RECT place = place_dialog(t, owner);
    const DWORD style = (t.style & ~static_cast<DWORD>(WS_VISIBLE | WS_CHILD)) | WS_POPUP;
    HWND dialog = CreateWindowExW(t.exStyle, kDialogClassName, t.title.c_str(), style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, owner, nullptr, instance, &d);
    if (dialog == nullptr) return nullptr;
    d.font = make_font(t, d.ownsFont);
    SendMessageW(dialog, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    for (const DialogItem& item : t.items) {
        if (!IsWindow(dialog)) return nullptr;
        const RECT r = gdi::dialog_rect_to_pixels(item.units);
        const void* creation = item.creationData.empty() ? nullptr : item.creationData.data();
        HWND control = CreateWindowExW(item.exStyle, item.className.c_str(), item.text.c_str(), item.style | WS_CHILD,
                                       r.left, r.top, r.right - r.left, r.bottom - r.top, dialog,
                                       reinterpret_cast<HMENU>(static_cast<ULONG_PTR>(item.id)), instance,
                                       const_cast<void*>(creation));
        if (control == nullptr) {
            if (t.style & DS_NOFAILCREATE) continue;
            DestroyWindow(dialog);
            return nullptr;
        }
        SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(d.font), FALSE);
    }
    if (!IsWindow(dialog)) return nullptr;
    const HWND first = GetNextDlgTabItem(dialog, nullptr, FALSE);
    const LRESULT focusFirst = SendMessageW(dialog, WM_INITDIALOG, reinterpret_cast<WPARAM>(first), param);
    if (!IsWindow(dialog)) return nullptr;
    if (focusFirst && IsWindow(first) && IsChild(dialog, first)) SetFocus(first);
    return dialog;
}

INT_PTR run_dialog(const DialogTemplate& t, HINSTANCE instance, HWND owner, DLGPROC proc, LPARAM param) {
    if (owner != nullptr) {
        if (!IsWindow(owner)) return 0;
        owner = user::top_level_of(user::find(owner))->handle;
    }
    const HWND focusBefore = GetFocus();
    auto d = std::make_unique<Dialog>();
    d->proc = proc;
    const HWND dialog = create_dialog(t, owner, *d, param, instance);
    INT_PTR result = -1;
    if (dialog != nullptr) {
        if (!d->ended) {
            ShowWindow(dialog, SW_SHOWNORMAL);
            UpdateWindow(dialog);
            run_modal_loop(dialog, d->ended, [dialog](MSG& msg) { return IsDialogMessageW(dialog, &msg) != FALSE; });
        }
        result = d->ended ? d->result : 0;
        if (IsWindow(dialog)) DestroyWindow(dialog);
    } else if (d->ended) {
        // Ended and destroyed inside WM_INITDIALOG.
        result = d->result;
    }
    dialogs().erase(dialog);
    if (d->ownsFont) DeleteObject(d->font);
    if (IsWindow(focusBefore)) SetFocus(focusBefore);
    return result;
}

void move_focus(HWND dialog, HWND from, bool previous) {
    const HWND next = GetNextDlgTabItem(dialog, from, previous ? TRUE : FALSE);
    if (next == nullptr) return;
    SetFocus(next);
    // A text box reached by Tab has its whole text selected.
    if (IsWindow(next) && (SendMessageW(next, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL))
        SendMessageW(next, EM_SETSEL, 0, -1);
}

}  // namespace
}  // namespace platform::dialogs

using namespace platform::dialogs;

INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param) {
    if (owner != nullptr && !IsWindow(owner)) return 0;
    // A template among the resources is read within its resource; any other
    // is the caller's own memory, read as far as its fields lead.
    std::size_t size = platform::resource_extent(dialogTemplate);
    if (size == 0) size = kMaxTemplateBytes;
    const std::optional<DialogTemplate> parsed = read_dialog_template(dialogTemplate, size);
    if (!parsed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return run_dialog(*parsed, instance, owner, proc, param);
}

INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param) {
    if (owner != nullptr && !IsWindow(owner)) return 0;
    HRSRC resource = FindResourceW(instance, name, RT_DIALOG);
    if (resource == nullptr) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return -1;
    }
    const void* bytes = LockResource(LoadResource(instance, resource));
    const std::optional<DialogTemplate> parsed = read_dialog_template(bytes, SizeofResource(instance, resource));
    if (!parsed) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    return run_dialog(*parsed, instance, owner, proc, param);
}

BOOL EndDialog(HWND dialog, INT_PTR result) {
    Dialog* d = dialog_of(dialog);
    if (d == nullptr) return FALSE;
    d->ended = true;
    d->result = result;
    // Wakes the loop should it be waiting: the flag is looked at after each
    // message.
    PostMessageW(dialog, WM_NULL, 0, 0);
    return TRUE;
}

BOOL IsDialogMessageW(HWND dialog, LPMSG msg) {
    if (msg == nullptr || !IsWindow(dialog)) return FALSE;
    if (msg->hwnd != dialog && !IsChild(dialog, msg->hwnd)) return FALSE;
    if (msg->message == WM_KEYDOWN &&
        (msg->wParam == VK_TAB || msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE)) {
        const LRESULT wants = SendMessageW(msg->hwnd, WM_GETDLGCODE, msg->wParam, reinterpret_cast<LPARAM>(msg));
        if (!IsWindow(dialog)) return TRUE;
        if (!(wants & DLGC_WANTALLKEYS)) {
            if (msg->wParam == VK_TAB && !(wants & DLGC_WANTTAB)) {
                move_focus(dialog, GetFocus(), GetKeyState(VK_SHIFT) < 0);
                return TRUE;
            }
            if (msg->wParam == VK_RETURN || msg->wParam == VK_ESCAPE) {
                const int id = msg->wParam == VK_RETURN ? IDOK : IDCANCEL;
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
                return TRUE;
            }
        }
    }
    TranslateMessage(msg);
    DispatchMessageW(msg);
    return TRUE;
}

HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous) {
    const platform::user::Window* window = platform::user::find(dialog);
    if (window == nullptr) return nullptr;
    const auto& children = window->children;
    const auto stop = [](const platform::user::Window* child) {
        return (child->style & WS_TABSTOP) && (child->style & WS_VISIBLE) && !(child->style & WS_DISABLED) &&
               !child->destroying;
    };
    // A window inside a control counts as the control.
    HWND from = control;
    while (from != nullptr && IsChild(dialog, from) && GetParent(from) != dialog) from = GetParent(from);
    const int n = static_cast<int>(children.size());
    int at = -1;
    for (int i = 0; i < n; ++i) {
        if (children[i]->handle == from) at = i;
    }
    // Before the first (or, going back, after the last) when there is no
    // control to start from.
    if (at < 0) at = previous ? 0 : n - 1;
    for (int step = 1; step <= n; ++step) {
        const int i = previous ? ((at - step) % n + n) % n : (at + step) % n;
        if (stop(children[i])) return children[i]->handle;
    }
    return nullptr;
}

BOOL MapDialogRect(HWND dialog, LPRECT rect) {
    if (rect == nullptr || !IsWindow(dialog)) return FALSE;
    *rect = platform::gdi::dialog_rect_to_pixels(*rect);
    return TRUE;
}

LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam) {
    HWND control = GetDlgItem(dialog, id);
    return control ? SendMessageW(control, message, wParam, lParam) : 0;
}
