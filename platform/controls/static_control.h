// The "STATIC" control: a text label. The text is drawn left-aligned
// (SS_LEFT, broken between words), centred or right-aligned, with the font
// set by WM_SETFONT (the System font until then); '&' marks a mnemonic
// unless SS_NOPREFIX. Before painting it asks its parent with
// WM_CTLCOLORSTATIC: the brush answered fills the whole control, and the
// text takes the DC's text colour and background mode. With SS_NOTIFY a
// tap sends STN_CLICKED.
#pragma once

#include "platform/user/user_types.h"

#define WC_STATIC u"STATIC"

#define SS_LEFT 0x00000000L
#define SS_CENTER 0x00000001L
#define SS_RIGHT 0x00000002L
#define SS_LEFTNOWORDWRAP 0x0000000CL
#define SS_TYPEMASK 0x0000001FL
#define SS_NOPREFIX 0x00000080L
#define SS_NOTIFY 0x00000100L

#define STN_CLICKED 0
