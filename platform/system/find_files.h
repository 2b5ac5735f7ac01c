// Directory enumeration: FindFirstFileW, FindNextFileW, FindClose. The
// pattern is a directory path followed by a name pattern with the wildcards
// '*' (any run of characters) and '?' (one character); names match it
// without regard to case, as on the handheld's file system. Entries come in
// a fixed order: sorted by name without regard to case, then by the exact
// name. "." and ".." are listed as the system lists them.
#pragma once

#include "platform/base/win32_types.h"
#include "platform/system/files.h"

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};

struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;  // 100-nanosecond steps since 1601
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];  // the name alone, without its directory
};
using LPWIN32_FIND_DATAW = WIN32_FIND_DATAW*;

// The first entry matching the pattern, or INVALID_HANDLE_VALUE with
// ERROR_FILE_NOT_FOUND when none does (or the directory cannot be read).
// Names that do not fit cFileName are left out.
HANDLE FindFirstFileW(LPCWSTR fileName, LPWIN32_FIND_DATAW findData);
// The next entry; FALSE with ERROR_NO_MORE_FILES after the last.
BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW findData);
BOOL FindClose(HANDLE find);

namespace platform {

// Number of enumerations not yet closed; tests use it to prove that every
// way out of a loop closes its enumeration.
int open_find_count();
// Whether name matches pattern ('*' and '?', without regard to case).
bool matches_pattern(LPCWSTR name, LPCWSTR pattern);

}  // namespace platform
