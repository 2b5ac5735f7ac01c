// The main window: its class, its creation, the dispatch of its messages to
// their handlers, its creation and destruction handlers, and its title.
#pragma once

#include "platform/win32.h"

// The class and title by which the main window, and a second start of the
// program, find it.
#define MAIN_WINDOW_CLASS u"MapfolioClass"
#define MAIN_WINDOW_TITLE u"MapPDA"

// Loads "htmlview.dll" and makes its viewer class available; false when
// either fails. The library stays loaded.
bool InitHtmlViewer(HINSTANCE instance);
// Registers the main window class and creates the window, then makes it 26
// pixels shorter at the same place and width, leaving the bottom of the
// screen to the menu bar. False when no window results.
bool CreateMainWindow(HINSTANCE instance);
// The main window procedure: handled messages return 0, every other
// message goes to DefWindowProcW.
LRESULT CALLBACK MainWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the current map's name to the navigation bar.
void ShowTitle(HWND window);
