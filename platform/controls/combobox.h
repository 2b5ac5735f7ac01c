// The "COMBOBOX" control as a drop-down list (CBS_DROPDOWNLIST; the other
// kinds behave the same, without an edit field): a box showing the chosen
// item, with an arrow at its right. A tap drops the list over the dialog,
// below the box (above it when there is more room there); the height given
// at creation, less the box's own, is the list's height, and without
// CBS_NOINTEGRALHEIGHT the list holds whole rows and no more rows than
// items. In the dropped list the stylus highlights the item under it, a tap
// on an item chooses it and closes the list (CBN_SELCHANGE, then
// CBN_CLOSEUP), and a tap anywhere outside closes it with nothing chosen
// (CBN_CLOSEUP only); CBN_DROPDOWN comes before the list shows. The list
// scrolls with a bar as a list box does. On the closed box the arrow, page,
// Home and End keys choose another item (CBN_SELCHANGE); on the dropped
// list they move the highlight, Enter chooses and Escape closes. A choice
// made by the program (CB_SETCURSEL, CB_SELECTSTRING) is not notified.
// The box asks its parent with WM_CTLCOLOREDIT before it paints
// (WM_CTLCOLORSTATIC while disabled), and the dropped list with
// WM_CTLCOLORLISTBOX, as the desktop's combo box does.
#pragma once

#include "platform/user/user_types.h"

#define WC_COMBOBOX u"COMBOBOX"

#define CBS_SIMPLE 0x0001L
#define CBS_DROPDOWN 0x0002L
#define CBS_DROPDOWNLIST 0x0003L
#define CBS_AUTOHSCROLL 0x0040L
#define CBS_SORT 0x0100L
#define CBS_HASSTRINGS 0x0200L
#define CBS_NOINTEGRALHEIGHT 0x0400L
#define CBS_DISABLENOSCROLL 0x0800L

#define CB_OKAY 0
#define CB_ERR (-1)
#define CB_ERRSPACE (-2)

// The messages mean what their list box counterparts (listbox.h) mean.
#define CB_ADDSTRING 0x0143
#define CB_DELETESTRING 0x0144
#define CB_GETCOUNT 0x0146
#define CB_GETCURSEL 0x0147
#define CB_GETLBTEXT 0x0148
#define CB_GETLBTEXTLEN 0x0149
#define CB_INSERTSTRING 0x014A
#define CB_RESETCONTENT 0x014B
#define CB_FINDSTRING 0x014C
#define CB_SELECTSTRING 0x014D
#define CB_SETCURSEL 0x014E
// wParam: TRUE drops the list, FALSE closes it.
#define CB_SHOWDROPDOWN 0x014F
#define CB_GETITEMDATA 0x0150
#define CB_SETITEMDATA 0x0151
// lParam: RECT* set to the dropped list's screen rectangle.
#define CB_GETDROPPEDCONTROLRECT 0x0152
// wParam -1: the box's text area; otherwise the list's rows.
#define CB_GETITEMHEIGHT 0x0154
#define CB_GETDROPPEDSTATE 0x0157
#define CB_FINDSTRINGEXACT 0x0158
#define CB_GETTOPINDEX 0x015B
#define CB_SETTOPINDEX 0x015C
#define CB_INITSTORAGE 0x0161

#define CBN_ERRSPACE (-1)
#define CBN_SELCHANGE 1
#define CBN_DBLCLK 2
#define CBN_SETFOCUS 3
#define CBN_KILLFOCUS 4
#define CBN_DROPDOWN 7
#define CBN_CLOSEUP 8
