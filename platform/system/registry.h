// The registry: keys and values of the current user, kept in a text file
// under $XDG_CONFIG_HOME/mapfolio/ (~/.config/mapfolio/ when that is not
// set). Keys are backslash paths below HKEY_CURRENT_USER, created on demand;
// values are named within a key, each a type and bytes; key and value names
// compare without regard to case. Every change replaces the file whole and
// atomically under a lock, after reading it again, so programs writing at
// the same time keep each other's values and an interrupted write leaves
// the file as it was. A file that cannot be read as a store holds nothing:
// reading it answers ERROR_BADDB, and the next change starts an empty store
// and moves the old file aside (NAME.bad, or NAME.bad.2 and on when that is
// taken). Anything but a regular file in the store's place (a directory, a
// named pipe) is no store at all.
#pragma once

#include "platform/base/win32_types.h"

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;
struct SECURITY_ATTRIBUTES;
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

// The only root: the store is the current user's.
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x80000001u)))

#define REG_NONE 0
#define REG_SZ 1
#define REG_EXPAND_SZ 2
#define REG_BINARY 3
#define REG_DWORD 4
#define REG_MULTI_SZ 7

#define REG_OPTION_NON_VOLATILE 0x00000000L
#define REG_CREATED_NEW_KEY 0x00000001L
#define REG_OPENED_EXISTING_KEY 0x00000002L

// Access rights are accepted and not checked: the user owns the store.
#define KEY_QUERY_VALUE 0x0001
#define KEY_SET_VALUE 0x0002
#define KEY_CREATE_SUB_KEY 0x0004
#define KEY_ENUMERATE_SUB_KEYS 0x0008
#define KEY_READ 0x20019
#define KEY_WRITE 0x20006
#define KEY_ALL_ACCESS 0xF003F

#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_BADDB 1009L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L

// Opens subKey below key, creating it and its missing ancestors. An empty
// subKey opens key itself again. ERROR_BAD_PATHNAME for a path with an
// empty component (a leading, trailing or doubled backslash), a control
// character, a component over 255 units or a path over 4096;
// ERROR_CANTWRITE when the store cannot be written. Class, options, access and security are ignored.
LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD reserved, LPWSTR className, DWORD options, REGSAM access,
                     LPSECURITY_ATTRIBUTES security, PHKEY result, LPDWORD disposition);
// ERROR_FILE_NOT_FOUND when the key does not exist; ERROR_BADDB (here and
// for the reads below) when the store cannot be read.
LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM access, PHKEY result);
LONG RegCloseKey(HKEY key);
// The value's type and bytes. With data null the size alone is told. When
// the bytes do not fit in *size, ERROR_MORE_DATA and *size is the size
// needed; the buffer is then left as it was. ERROR_FILE_NOT_FOUND when no
// value has that name (null and "" name the key's default value).
LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data, LPDWORD size);
// Replaces the value whole. The bytes are kept exactly as given, whatever
// the type; a string's size should count its terminating zero.
// ERROR_INVALID_PARAMETER for more than 1 MiB of bytes or a name over
// 16383 units.
LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD reserved, DWORD type, const BYTE* data, DWORD size);
LONG RegDeleteValueW(HKEY key, LPCWSTR name);
// The index-th value in the order the values were first set: its name
// (*nameLength units of room, terminator included; set to the length
// without it), type and bytes as RegQueryValueExW gives them.
// ERROR_NO_MORE_ITEMS past the last; ERROR_MORE_DATA when the name or the
// bytes do not fit.
LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameLength, LPDWORD reserved, LPDWORD type,
                   LPBYTE data, LPDWORD size);
