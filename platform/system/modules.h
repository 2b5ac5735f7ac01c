// Libraries: the program's calls to LoadLibraryW name libraries whose
// services the platform itself provides ("htmlview.dll" for the HTML viewer,
// the shell and command bar libraries), so loading one only hands out its
// handle. Nothing is ever read from disk.
#pragma once

#include "platform/user/user_types.h"

#define ERROR_MOD_NOT_FOUND 126L

// The handle of a library the platform provides (the name compared without
// regard to case, with or without a directory); null with
// ERROR_MOD_NOT_FOUND for any other name.
HMODULE LoadLibraryW(LPCWSTR name);
BOOL FreeLibrary(HMODULE module);
