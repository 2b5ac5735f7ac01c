// The program's entry point, shared by the program in its window and the
// script runner on the headless screen.
#pragma once

#include "platform/win32.h"

// Ends at once (exit code 0) when a copy of the program already runs,
// bringing that copy to the front. Otherwise prepares the HTML viewer,
// creates the main window and runs the message loop until the window is
// destroyed. Only the instance is used. Returns the exit code: 0.
int WinMain(HINSTANCE instance, HINSTANCE previousInstance, LPWSTR commandLine, int showCommand);
