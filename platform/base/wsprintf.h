// wsprintfW: the Windows formatter for 16-bit text. Conversions: %d %i %u
// %x %X %c %s %%, with the flags '-' and '0', a width and (for %s) a
// precision; an 'l' or 'h' size prefix is accepted. As on Windows, %d and %ld
// both take a 32-bit int, %s and %ls a WCHAR string (null prints "(null)"),
// and the output is cut at 1024 units plus the terminator. The prefix I64
// (%I64d, %I64u, %I64x) takes a 64-bit value, for figures such as memory
// sizes that outgrow 32 bits.
#pragma once

#include "platform/base/win32_types.h"

#include <cstdarg>

// The most units written, terminator excluded.
#define WSPRINTF_MAX 1024

int wsprintfW(LPWSTR out, LPCWSTR format, ...);
int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args);
