// The HTML viewer control: a child window of class "DISPLAYCLASS" that shows
// a small HTML document. The document arrives as source text in pieces
// (DTM_ADDTEXTW) and is laid out and shown when the source is complete
// (DTM_ENDOFSOURCE); WM_SETTEXT replaces the whole source at once, so
// WM_SETTEXT with "" empties the view. It renders body margins and colours,
// FONT SIZE and COLOR, B, I, U, A (as underlined blue text, never
// followed), P, BR, DIV, headings, lists, HR and PRE; any other tag shows
// its text and is otherwise ignored; HEAD, SCRIPT and STYLE show nothing.
// Nothing is ever loaded from outside the text given and nothing is run.
// A document taller than the window scrolls: a thin bar at the right, a
// drag of the stylus, and the cursor keys while the view has the focus.
#pragma once

#include "platform/user/user_types.h"

#define DISPLAYCLASS u"DISPLAYCLASS"
#define WC_HTML DISPLAYCLASS

// wParam: 0 when lParam is HTML source, non-zero for plain text (shown as
// it is); lParam: a zero-terminated piece of the document.
#define DTM_ADDTEXTW (WM_USER + 102)
// The source is complete: lay it out and show it from its top.
#define DTM_ENDOFSOURCE (WM_USER + 104)

// Makes the class "DISPLAYCLASS" available; TRUE also when it already is.
BOOL InitHTMLControl(HINSTANCE instance);
