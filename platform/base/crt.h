// The C runtime's wide-string helpers that the program uses, for 16-bit
// WCHAR text: lstr* functions, _wtol, _swab, _wcsnicmp and the reentrant
// form of wcstok.
#pragma once

#include "platform/base/win32_types.h"

int lstrlenW(LPCWSTR s);
LPWSTR lstrcpyW(LPWSTR dest, LPCWSTR src);
// Copies at most max - 1 units and always terminates (max > 0).
LPWSTR lstrcpynW(LPWSTR dest, LPCWSTR src, int max);
LPWSTR lstrcatW(LPWSTR dest, LPCWSTR src);
int lstrcmpW(LPCWSTR a, LPCWSTR b);
// Compares without regard to case in every script, in the order of sorted
// lists (platform::compare_without_case): 0 only for texts that differ just
// in case.
int lstrcmpiW(LPCWSTR a, LPCWSTR b);
// The same comparison over at most count units of each text.
int _wcsnicmp(LPCWSTR a, LPCWSTR b, size_t count);

// Leading white space, an optional sign, decimal digits up to the first other
// character; no digits gives 0. A value outside the 32-bit range saturates to
// LONG_MAX or LONG_MIN, as the runtime's _wtol does.
LONG _wtol(LPCWSTR s);

// Copies n bytes from src to dest swapping each pair of adjacent bytes; an odd
// last byte is not copied.
void _swab(const char* src, char* dest, int n);

// wcstok with an explicit context: skips leading delimiters, ends the token
// at the next delimiter (overwritten by 0) and returns it, or null when only
// delimiters remain. A run of delimiters counts as one, so there are no empty
// tokens.
LPWSTR wcstok(LPWSTR str, LPCWSTR delimiters, LPWSTR* context);
