// Where the program finds its guide: the directory of its own file, as
// GetModuleFileNameW reports it. Paths are held in buffers of MAX_PATH
// units.
#pragma once

#include "platform/win32_drawing.h"

// The program's directory, up to and including its last '/', into dest
// (MAX_PATH units). False, with dest empty, when the program's path cannot
// be had whole.
bool GetModuleDirectory(WCHAR* dest);

// Replaces the file name held in name (MAX_PATH units) by the program's
// directory followed by that name. False, with name unchanged, when the
// directory cannot be had or the two together do not fit: a path cut short
// would name another file.
bool PrependModuleDirectory(WCHAR* name);
