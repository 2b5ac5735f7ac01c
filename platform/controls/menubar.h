// The command bar that a shell menu bar is (SHCreateMenuBar, shell/menu_bar.h):
// a row of image buttons. Images come from bitmap resources cut into
// equal cells (CommandBar_AddBitmap); buttons are added with TB_ADDBUTTONSW
// and changed by command. A tap on an enabled button sends WM_COMMAND with
// its command to the bar's parent window; a disabled button is drawn greyed
// and does nothing; a hidden button takes no room. Holding the stylus on a
// button for half a second shows its tool tip, and a button held that long
// is not pressed when the stylus is lifted.
#pragma once

#include "platform/user/user_types.h"

#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08

#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_GROUP 0x0004
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_AUTOSIZE 0x0010

#define I_IMAGENONE (-2)

struct TBBUTTON {
    int iBitmap;  // image index, I_IMAGENONE, or a separator's width
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[2];
    DWORD_PTR dwData;
    INT_PTR iString;
};
using LPTBBUTTON = TBBUTTON*;
using LPCTBBUTTON = const TBBUTTON*;

// wParam: command; lParam: TRUE to enable. Returns TRUE when found.
#define TB_ENABLEBUTTON (WM_USER + 1)
// wParam: command; lParam: the new state (TBSTATE_*), replacing the old.
#define TB_SETSTATE (WM_USER + 17)
// wParam: command. Returns the state, or -1 when no button has it.
#define TB_GETSTATE (WM_USER + 18)
// wParam: index; lParam: TBBUTTON* filled with the button.
#define TB_GETBUTTON (WM_USER + 23)
#define TB_BUTTONCOUNT (WM_USER + 24)
// wParam: command; lParam: RECT* set to the button's rectangle in the bar's
// client coordinates (empty for a hidden button).
#define TB_GETRECT (WM_USER + 51)
// wParam: count; lParam: array of TBBUTTON, appended in array order.
#define TB_ADDBUTTONSW (WM_USER + 68)
#define TB_ADDBUTTONS TB_ADDBUTTONSW
// wParam: count; lParam: array of strings, one tool tip per button in bar
// order (the bar's own buttons first); null or "" for no tip.
#define TB_SETTOOLTIPS (WM_USER + 81)

// Cuts bitmap resource bitmapId of instance into images of width x height
// (numImages of them, left to right) and appends them to the bar's images.
// Returns the index of the first image added, or -1.
int CommandBar_AddBitmap(HWND bar, HINSTANCE instance, int bitmapId, int numImages, int width, int height);
// Sends TB_SETTOOLTIPS.
BOOL CommandBar_AddToolTips(HWND bar, UINT count, LPCWSTR* tips);
