// Modules: the program's calls to LoadLibraryW name libraries whose
// services the platform itself provides ("htmlview.dll" for the HTML viewer,
// the shell and command bar libraries), so loading one only hands out its
// handle. Nothing is ever read from disk. GetModuleFileNameW tells the
// program where it lives, which is where it looks for its guide.
#pragma once

#include "platform/base/win32_types.h"

#include <string>

#define ERROR_MOD_NOT_FOUND 126L

// The handle of a library the platform provides (the name compared without
// regard to case, with or without a directory); null with
// ERROR_MOD_NOT_FOUND for any other name.
HMODULE LoadLibraryW(LPCWSTR name);
BOOL FreeLibrary(HMODULE module);

// The path of the program's file (module null or the program's own): the
// program's directory, then its file name. The result is the length copied
// without the terminator; a path that does not fit is cut to size - 1 units
// and terminated, the result is size and the error
// ERROR_INSUFFICIENT_BUFFER. 0 for any other module.
DWORD GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

namespace platform {

// Makes the program's directory, as GetModuleFileNameW reports it, the given
// one instead of the directory of its file: the program then finds its
// guide there. An empty directory goes back to the program's own.
void set_module_directory(const std::u16string& directory);

}  // namespace platform
