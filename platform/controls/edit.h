// The "EDIT" control: a box of text, one line or many. A multi-line edit
// (ES_MULTILINE) breaks lines at "\r\n" (a lone "\r" or "\n" also ends a
// line) and wraps long lines between words; with WS_VSCROLL it has a
// vertical scroll bar (arrows, track and thumb), and with ES_AUTOVSCROLL it
// scrolls to show the caret after text is put in. EM_REPLACESEL inserts at
// the caret, replacing the selection. The stylus places the caret; typing
// edits unless the control is ES_READONLY.
#pragma once

#include "platform/user/user_types.h"

#define WC_EDIT u"EDIT"

#define ES_LEFT 0x0000L
#define ES_MULTILINE 0x0004L
#define ES_AUTOVSCROLL 0x0040L
#define ES_AUTOHSCROLL 0x0080L
#define ES_NOHIDESEL 0x0100L
#define ES_READONLY 0x0800L
#define ES_WANTRETURN 0x1000L

#define EM_GETSEL 0x00B0
#define EM_SETSEL 0x00B1
#define EM_LINESCROLL 0x00B6
#define EM_SCROLLCARET 0x00B7
#define EM_GETLINECOUNT 0x00BA
#define EM_LINEINDEX 0x00BB
#define EM_REPLACESEL 0x00C2
#define EM_LIMITTEXT 0x00C5
#define EM_GETFIRSTVISIBLELINE 0x00CE
#define EM_SETREADONLY 0x00CF

// Sent to the parent in WM_COMMAND when the user changed the text.
#define EN_CHANGE 0x0300

#define WM_CUT 0x0300
#define WM_COPY 0x0301
#define WM_PASTE 0x0302
#define WM_CLEAR 0x0303
