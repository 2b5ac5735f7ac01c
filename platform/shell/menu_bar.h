// The shell's menu bar: a command bar (controls/menubar.h) along the bottom
// of the screen, owned by a window or dialog. The screen shows the bar of
// the frontmost window that has one. A menu bar resource (RT_RCDATA, as
// SHMENUBAR resources are) is a list of 16-bit little-endian words: the
// menu's id, the number of buttons, then seven words per button: image
// (I_IMAGENONE for none), command, state, style, caption string id, 0, and
// the index of its popup menu (0xFFFF for none).
#pragma once

#include "platform/user/user_types.h"

#define SHCMBF_EMPTYBAR 0x0001
#define SHCMBF_HIDDEN 0x0002
#define SHCMBF_HIDESIPBUTTON 0x0004
#define SHCMBF_COLORBK 0x0008
#define SHCMBF_HMENU 0x0010

#define NOMENU 0xFFFF

struct SHMENUBARINFO {
    DWORD cbSize;  // at least 32, the size the handheld's record had
    HWND hwndParent;
    DWORD dwFlags;
    UINT nToolBarId;  // the menu bar resource
    HINSTANCE hInstRes;
    int nBmpId;  // a bitmap whose cBmpImages images are added at once
    int cBmpImages;
    HWND hwndMB;  // out: the bar
    COLORREF clrBk;
};
using PSHMENUBARINFO = SHMENUBARINFO*;

// Creates the bar of parent from menu bar resource nToolBarId (none with
// SHCMBF_EMPTYBAR), replacing any bar parent had. FALSE when the record,
// the window or the resource is missing or broken; no bar is made then.
BOOL SHCreateMenuBar(SHMENUBARINFO* info);
