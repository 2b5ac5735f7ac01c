// The Find and Information commands: each runs its dialog over the main
// window. Find then goes to the place chosen, on its map, with its popup;
// Information changes nothing.
#pragma once

#include "platform/win32.h"

void FindCommand(HWND window);
void InformationCommand(HWND window);
