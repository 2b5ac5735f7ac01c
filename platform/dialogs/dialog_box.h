// Modal dialogs made from templates: DialogBoxIndirectParamW and
// DialogBoxParamW, EndDialog, the dialog keys (IsDialogMessageW), the tab
// order and dialog units.
//
// A template (DLGTEMPLATE and its items, as the resource compiler lays them
// out) gives the dialog's style, size and controls in dialog units, which
// the System font's base units turn into pixels (138 x 156 units are the
// 240 x 268 pixels between the navigation bar and the menu bar). The dialog
// is a popup placed at the template's position in its owner's client area
// (in the screen with DS_ABSALIGN, centred with DS_CENTER), kept inside the
// space between the two bars. Controls are made in template order, which is
// also the tab order; each gets WM_SETFONT with the dialog's font (DS_SETFONT:
// "System" is the stock System font). Then WM_INITDIALOG arrives with the
// first tab stop in wParam: TRUE gives that control the focus, FALSE leaves
// the focus where the procedure put it. The dialog is shown, and a nested
// message loop runs until EndDialog; the other program windows take no
// input meanwhile.
//
// The dialog procedure sees every message first. It returns TRUE when it
// handled one, FALSE for the dialog's own handling; for WM_CTLCOLOR*
// messages and WM_INITDIALOG what it returns is the answer itself (the brush,
// the focus choice). The dialog paints its background with the brush its
// procedure answers to WM_CTLCOLORDLG. Tab and Shift+Tab move the focus among
// the WS_TABSTOP controls; Enter sends WM_COMMAND IDOK and Escape WM_COMMAND
// IDCANCEL to the procedure, unless the focused control wants the key (a
// dropped combo box list); closing the desktop window sends IDCANCEL too.
#pragma once

#include "platform/user/user_types.h"

using DLGPROC = INT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

#define DS_ABSALIGN 0x01L
#define DS_SYSMODAL 0x02L
#define DS_3DLOOK 0x04L
#define DS_FIXEDSYS 0x08L
#define DS_NOFAILCREATE 0x10L
#define DS_LOCALEDIT 0x20L
#define DS_SETFONT 0x40L
#define DS_MODALFRAME 0x80L
#define DS_NOIDLEMSG 0x100L
#define DS_SETFOREGROUND 0x200L
#define DS_CONTROL 0x0400L
#define DS_CENTER 0x0800L
#define DS_CENTERMOUSE 0x1000L

// A push button's click, as Enter and Escape send it.
#define BN_CLICKED 0

#pragma pack(push, 2)
// The header of a template. Then follow, as 16-bit units: the menu, the
// window class and the title (each 0x0000 for none, 0xFFFF and a number, or
// a zero-terminated text); with DS_SETFONT the point size and the face
// name; then cdit items, each starting on a 4-byte boundary.
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
// An item's header. Then follow its class (0xFFFF and an atom: 0x0080
// button, 0x0081 edit, 0x0082 static, 0x0083 list box, 0x0084 scroll bar,
// 0x0085 combo box; or a class name), its title, and a count of creation
// data bytes followed by those bytes.
struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(DLGTEMPLATE) == 18, "DLGTEMPLATE is 18 bytes");
static_assert(sizeof(DLGITEMTEMPLATE) == 18, "DLGITEMTEMPLATE is 18 bytes");
using LPCDLGTEMPLATEW = const DLGTEMPLATE*;

// Runs the dialog modally and returns what EndDialog was given; 0 when the
// dialog went away otherwise (destroyed, or the program told to quit), 0
// too for an owner that is not a window, -1 when the template is broken or
// refused (extended templates, menus and window classes of its own are not
// supported) or a control cannot be made (unless DS_NOFAILCREATE). A
// template among the program's resources is read only within its
// resource's bytes.
INT_PTR DialogBoxIndirectParamW(HINSTANCE instance, LPCDLGTEMPLATEW dialogTemplate, HWND owner, DLGPROC proc,
                                LPARAM param);
// The template is the RT_DIALOG resource name of instance.
INT_PTR DialogBoxParamW(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM param);
// Ends the dialog's loop once the procedure returns; FALSE for a window
// that is not a dialog.
BOOL EndDialog(HWND dialog, INT_PTR result);
// Handles the dialog keys of a message meant for the dialog or one of its
// controls (Tab, Enter, Escape) and dispatches any other such message;
// FALSE for a message meant for another window.
BOOL IsDialogMessageW(HWND dialog, LPMSG msg);
// The next (or, with previous, the preceding) visible, enabled WS_TABSTOP
// control after control in template order, going round; null when there is
// none. A null control starts before the first.
HWND GetNextDlgTabItem(HWND dialog, HWND control, BOOL previous);
// Dialog units to pixels.
BOOL MapDialogRect(HWND dialog, LPRECT rect);
LRESULT SendDlgItemMessageW(HWND dialog, int id, UINT message, WPARAM wParam, LPARAM lParam);
