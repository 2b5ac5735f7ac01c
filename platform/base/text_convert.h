// Code-page conversion: MultiByteToWideChar and WideCharToMultiByte for the
// code pages the program meets (1252 for .DAB files written on Windows, UTF-8
// for file names and fonts), plus the conversions the platform itself uses at
// its edges (paths to the file system, text to FreeType).
#pragma once

#include "platform/base/win32_types.h"

#include <string>
#include <string_view>

#define CP_ACP 0
#define CP_UTF8 65001
#define MB_PRECOMPOSED 0x00000001

// Converts cbMultiByte bytes (or up to the terminator when -1) of code page
// codePage into UTF-16. Returns the number of units written, or the number
// needed when cchWideChar is 0; 0 on failure. Code page 1252 maps every byte to
// exactly one unit (the five undefined bytes map to their own value, as
// Windows does). UTF-8 turns every invalid sequence into U+FFFD.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte,
                        LPWSTR wideChar, int cchWideChar);

// Converts UTF-16 to code page 1252 or UTF-8; unpaired surrogates become
// U+FFFD in UTF-8 and '?' in 1252. Same counting rules as above.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar,
                        LPSTR multiByte, int cbMultiByte, LPCSTR defaultChar, BOOL* usedDefault);

namespace platform {

// The published Windows-1252 table: the UTF-16 unit for every byte.
WCHAR cp1252_to_unit(BYTE b);

// UTF-8 <-> UTF-16 for the platform's own edges.
std::string to_utf8(std::u16string_view text);
std::u16string from_utf8(std::string_view text);

// Decodes one UTF-8 sequence starting at p (p < end). Stores the code point
// (U+FFFD for an invalid or truncated sequence) and returns the number of
// bytes consumed (at least 1).
int decode_utf8(const BYTE* p, const BYTE* end, char32_t* codePoint);

// Number of UTF-16 units a code point needs (1 or 2).
inline int utf16_length(char32_t cp) { return cp >= 0x10000 ? 2 : 1; }

// Appends a code point as one UTF-16 unit or a surrogate pair.
void append_utf16(std::u16string& out, char32_t cp);

}  // namespace platform
