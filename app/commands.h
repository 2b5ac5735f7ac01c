// What the main window does for each command (WM_COMMAND). A table says,
// per command, whether the click plays first, whether the command needs the
// catalogue's home map, and which handler carries it out.
#pragma once

#include "platform/win32.h"

// Runs command on the main window. False for a command that is not in the
// table: the window procedure then leaves it to DefWindowProcW.
bool RunCommand(HWND window, int command);

// "Load All Maps": loads the catalogue under the loading log; on success
// shows the home map centred with its name as the title, on failure leaves
// the log up and the window without a map.
void LoadAllMapsCommand(HWND window);
// Quit: asks "Quit the application?"; unless the answer is No, frees every
// map and destroys the main window, which ends the program.
void QuitCommand(HWND window);
