// MessageBoxW: a modal box drawn by the platform in the middle of the
// screen, with the caption in its title strip, the text broken into lines,
// and its buttons. A tap on a button answers; Enter answers with the
// focused button (the default one at first; Left and Right move the focus)
// and Escape with No or Cancel (OK when that is the only button).
#pragma once

#include "platform/user/user_types.h"

#define MB_OK 0x00000000L
#define MB_OKCANCEL 0x00000001L
#define MB_YESNOCANCEL 0x00000003L
#define MB_YESNO 0x00000004L
#define MB_ICONHAND 0x00000010L
#define MB_ICONERROR MB_ICONHAND
#define MB_ICONQUESTION 0x00000020L
#define MB_ICONEXCLAMATION 0x00000030L
#define MB_ICONWARNING MB_ICONEXCLAMATION
#define MB_ICONASTERISK 0x00000040L
#define MB_ICONINFORMATION MB_ICONASTERISK
#define MB_DEFBUTTON1 0x00000000L
#define MB_DEFBUTTON2 0x00000100L
#define MB_DEFBUTTON3 0x00000200L
#define MB_APPLMODAL 0x00000000L
#define MB_SETFOREGROUND 0x00010000L
#define MB_TOPMOST 0x00040000L


// Returns the button chosen (IDOK, IDCANCEL, IDYES, IDNO), or 0 when the
// type asks for buttons that do not exist here or the box cannot be made.
// The owner may be null; the program's other windows take no input while
// the box is up.
int MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
