// Full-screen framing: SHFullScreen shows or hides the navigation bar,
// SHInitDialog sizes a dialog to the screen between the two bars, and
// SHDoneButton shows or hides the "ok" button at the right of the
// navigation bar, which sends IDOK to its window.
#pragma once

#include "platform/user/user_types.h"

#define SHFS_SHOWTASKBAR 0x0001
#define SHFS_HIDETASKBAR 0x0002
#define SHFS_SHOWSIPBUTTON 0x0004
#define SHFS_HIDESIPBUTTON 0x0008
#define SHFS_SHOWSTARTICON 0x0010
#define SHFS_HIDESTARTICON 0x0020

#define SHIDIM_FLAGS 0x0001

#define SHIDIF_DONEBUTTON 0x0001
#define SHIDIF_SIZEDLG 0x0002
#define SHIDIF_SIZEDLGFULLSCREEN 0x0004
#define SHIDIF_SIPDOWN 0x0008
#define SHIDIF_FULLSCREENNOMENUBAR 0x0010

#define SHDB_SHOW 0x0001
#define SHDB_HIDE 0x0002

struct SHINITDLGINFO {
    DWORD dwMask;
    HWND hDlg;
    DWORD dwFlags;
};
using PSHINITDLGINFO = SHINITDLGINFO*;

// The input panel and its button do not exist here; those flags are
// accepted and change nothing.
BOOL SHFullScreen(HWND window, DWORD state);
// SHIDIF_SIZEDLG and SHIDIF_SIZEDLGFULLSCREEN size the dialog to the space
// between the navigation bar and the menu bar, SHIDIF_FULLSCREENNOMENUBAR
// down to the bottom of the screen; the dialog then owns the bottom bar,
// so the bar of the window under it is not shown. SHIDIF_DONEBUTTON shows
// the "ok" button.
BOOL SHInitDialog(PSHINITDLGINFO info);
BOOL SHDoneButton(HWND window, DWORD state);
