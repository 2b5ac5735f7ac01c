// The "LISTBOX" control: a list of texts, each with a value of the
// program's (item data), one of which may be selected. LBS_SORT keeps the
// texts in lstrcmpiW order (an equal text goes after those already there);
// otherwise they stay in the order added. A tap selects the item under the
// stylus (dragging moves the selection) and, with LBS_NOTIFY, sends
// LBN_SELCHANGE to the parent when the stylus is lifted; the arrow, page,
// Home and End keys move the selection and notify when it changed. A
// selection set by the program (LB_SETCURSEL, LB_SELECTSTRING) is never
// notified. With WS_VSCROLL a vertical bar appears when the items do not
// fit, and with LBS_DISABLENOSCROLL it is always there, disabled while
// everything fits; its arrows scroll a row, its track a page, and its thumb
// can be dragged. Without LBS_NOINTEGRALHEIGHT the box shrinks to whole
// rows. WM_SETREDRAW FALSE stops drawing until it is switched on again.
// Before it paints, the box sends WM_CTLCOLORLISTBOX to its parent and
// honours the answer (text colour, background mode and colour, brush).
#pragma once

#include "platform/user/user_types.h"

#define WC_LISTBOX u"LISTBOX"

#define LBS_NOTIFY 0x0001L
#define LBS_SORT 0x0002L
#define LBS_NOREDRAW 0x0004L
#define LBS_HASSTRINGS 0x0040L
#define LBS_NOINTEGRALHEIGHT 0x0100L
#define LBS_WANTKEYBOARDINPUT 0x0400L
#define LBS_DISABLENOSCROLL 0x1000L
#define LBS_STANDARD (LBS_NOTIFY | LBS_SORT | WS_VSCROLL | WS_BORDER)

#define LB_OKAY 0
#define LB_ERR (-1)
#define LB_ERRSPACE (-2)

// lParam: the text. Returns its index (LB_ERRSPACE without memory).
#define LB_ADDSTRING 0x0180
// wParam: the index to insert before (-1: at the end), even in a sorted box.
#define LB_INSERTSTRING 0x0181
// wParam: index. Returns the number of items left.
#define LB_DELETESTRING 0x0182
#define LB_RESETCONTENT 0x0184
// wParam: index, -1 for none. Returns the index, LB_ERR for -1 or an index
// out of range (the selection then stays as it was).
#define LB_SETCURSEL 0x0186
#define LB_GETCURSEL 0x0188
// wParam: index; lParam: a buffer of LB_GETTEXTLEN + 1 units. Returns the
// length.
#define LB_GETTEXT 0x0189
#define LB_GETTEXTLEN 0x018A
#define LB_GETCOUNT 0x018B
// wParam: the index after which to look (-1: from the top), going round;
// lParam: the text an item must begin with, without regard to case. Selects
// the item found and returns its index, else LB_ERR.
#define LB_SELECTSTRING 0x018C
#define LB_GETTOPINDEX 0x018E
// As LB_SELECTSTRING without selecting.
#define LB_FINDSTRING 0x018F
// wParam: index. Scrolls it to the top, as far as the items allow.
#define LB_SETTOPINDEX 0x0197
// wParam: index; lParam: RECT* in client coordinates.
#define LB_GETITEMRECT 0x0198
#define LB_GETITEMDATA 0x0199
// wParam: index (-1: every item); lParam: the data.
#define LB_SETITEMDATA 0x019A
#define LB_GETITEMHEIGHT 0x01A1
// As LB_FINDSTRING, the whole text equal.
#define LB_FINDSTRINGEXACT 0x01A2
// wParam: items about to be added. Returns the count.
#define LB_INITSTORAGE 0x01A8
// lParam: a client point. The item nearest in the low word; the high word
// is 1 when the point is outside the items.
#define LB_ITEMFROMPOINT 0x01A9

// Notifications in WM_COMMAND's high word.
#define LBN_ERRSPACE (-2)
#define LBN_SELCHANGE 1
#define LBN_DBLCLK 2
#define LBN_SELCANCEL 3
#define LBN_SETFOCUS 4
#define LBN_KILLFOCUS 5
