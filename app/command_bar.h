// The main window's menu bar of nine image buttons (Quit, Find,
// Information, Zoom In, Zoom Out, Home, a blank spacer, Back, Forward),
// each with its tool tip.
#pragma once

#include "platform/win32.h"

// The menu bar window, or null when it could not be made.
extern HWND g_menuBar;

// Creates the main window's menu bar with its buttons: all enabled but the
// spacer, Back and Forward. On failure says "Create Menu Bar Failed" in a
// box and returns null; the program then runs without buttons.
HWND CreateMainMenuBar(HWND window, HINSTANCE instance);
// Enables or disables the button of command, replacing its whole state.
// Does nothing without a menu bar.
void SetCommandButtonEnabled(int command, bool enabled);
