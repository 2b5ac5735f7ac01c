#include "platform/base/text_convert.h"

#include <cstring>

namespace platform {
namespace {

// Bytes 0x80..0x9F of Windows-1252; the five bytes the table leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to themselves, as MultiByteToWideChar does.
constexpr WCHAR kHighControls[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

constexpr char32_t kReplacement = 0xFFFD;

int unit_to_cp1252(WCHAR u) {
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) return u;
    for (int i = 0; i < 32; ++i) {
        if (kHighControls[i] == u) return 0x80 + i;
    }
    return -1;
}

// Decodes one code point from UTF-16 at p (p < end); returns units consumed.
int decode_utf16(const WCHAR* p, const WCHAR* end, char32_t* cp) {
    WCHAR u = p[0];
    if (u >= 0xD800 && u <= 0xDBFF && p + 1 < end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
        *cp = 0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (p[1] - 0xDC00);
        return 2;
    }
    *cp = (u >= 0xD800 && u <= 0xDFFF) ? kReplacement : u;
    return 1;
}

int encode_utf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = static_cast<char>(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = static_cast<char>(0xC0 | (cp >> 6));
        out[1] = static_cast<char>(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = static_cast<char>(0xE0 | (cp >> 12));
        out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out[2] = static_cast<char>(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = static_cast<char>(0xF0 | (cp >> 18));
    out[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out[3] = static_cast<char>(0x80 | (cp & 0x3F));
    return 4;
}

int encode_utf16(char32_t cp, WCHAR* out) {
    if (cp >= 0x10000) {
        cp -= 0x10000;
        out[0] = static_cast<WCHAR>(0xD800 + (cp >> 10));
        out[1] = static_cast<WCHAR>(0xDC00 + (cp & 0x3FF));
        return 2;
    }
    out[0] = static_cast<WCHAR>(cp);
    return 1;
}

}  // namespace

WCHAR cp1252_to_unit(BYTE b) {
    return (b >= 0x80 && b < 0xA0) ? kHighControls[b - 0x80] : static_cast<WCHAR>(b);
}

int decode_utf8(const BYTE* p, const BYTE* end, char32_t* codePoint) {
    BYTE b0 = p[0];
    if (b0 < 0x80) {
        *codePoint = b0;
        return 1;
    }
    int need;
    char32_t cp;
    char32_t min;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        need = 1, cp = b0 & 0x1F, min = 0x80;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        need = 2, cp = b0 & 0x0F, min = 0x800;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        need = 3, cp = b0 & 0x07, min = 0x10000;
    } else {
        *codePoint = kReplacement;
        return 1;
    }
    // An ill-formed sequence is replaced as a whole up to the first byte that
    // cannot continue it (the "maximal subpart" rule).
    int used = 1;
    for (int i = 0; i < need; ++i) {
        if (p + used >= end || (p[used] & 0xC0) != 0x80) {
            *codePoint = kReplacement;
            return used;
        }
        cp = (cp << 6) | (p[used] & 0x3F);
        ++used;
        // Reject overlong and surrogate forms as early as the second byte.
        if (i == 0) {
            if ((b0 == 0xE0 && p[1] < 0xA0) || (b0 == 0xED && p[1] > 0x9F) ||
                (b0 == 0xF0 && p[1] < 0x90) || (b0 == 0xF4 && p[1] > 0x8F)) {
                *codePoint = kReplacement;
                return 1;
            }
        }
    }
    *codePoint = (cp < min || cp > 0x10FFFF) ? kReplacement : cp;
    return used;
}

std::string to_utf8(std::u16string_view text) {
    std::string out;
    out.reserve(text.size());
    const WCHAR* p = text.data();
    const WCHAR* end = p + text.size();
    char buf[4];
    while (p < end) {
        char32_t cp;
        p += decode_utf16(p, end, &cp);
        out.append(buf, encode_utf8(cp, buf));
    }
    return out;
}

std::u16string from_utf8(std::string_view text) {
    std::u16string out;
    out.reserve(text.size());
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    const BYTE* end = p + text.size();
    while (p < end) {
        char32_t cp;
        p += decode_utf8(p, end, &cp);
        append_utf16(out, cp);
    }
    return out;
}

void append_utf16(std::u16string& out, char32_t cp) {
    WCHAR buf[2];
    out.append(buf, encode_utf16(cp, buf));
}

}  // namespace platform

int MultiByteToWideChar(UINT codePage, DWORD /*flags*/, LPCSTR multiByte, int cbMultiByte,
                        LPWSTR wideChar, int cchWideChar) {
    if (multiByte == nullptr || cbMultiByte == 0 || cchWideChar < 0 ||
        (cchWideChar > 0 && wideChar == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const BYTE* p = reinterpret_cast<const BYTE*>(multiByte);
    const BYTE* end = p + (cbMultiByte < 0 ? std::strlen(multiByte) + 1 : static_cast<size_t>(cbMultiByte));
    int written = 0;
    if (codePage == 1252 || codePage == CP_ACP) {
        for (; p < end; ++p, ++written) {
            if (cchWideChar == 0) continue;
            if (written >= cchWideChar) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            wideChar[written] = platform::cp1252_to_unit(*p);
        }
        return written;
    }
    if (codePage != CP_UTF8) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    while (p < end) {
        char32_t cp;
        p += platform::decode_utf8(p, end, &cp);
        int n = platform::utf16_length(cp);
        if (cchWideChar != 0) {
            if (written + n > cchWideChar) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            platform::encode_utf16(cp, wideChar + written);
        }
        written += n;
    }
    return written;
}

int WideCharToMultiByte(UINT codePage, DWORD /*flags*/, LPCWSTR wideChar, int cchWideChar,
                        LPSTR multiByte, int cbMultiByte, LPCSTR defaultChar, BOOL* usedDefault) {
    if (wideChar == nullptr || cchWideChar == 0 || cbMultiByte < 0 ||
        (cbMultiByte > 0 && multiByte == nullptr)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const WCHAR* p = wideChar;
    const WCHAR* end;
    if (cchWideChar < 0) {
        end = p;
        while (*end) ++end;
        ++end;  // the terminator is converted too
    } else {
        end = p + cchWideChar;
    }
    if (usedDefault) *usedDefault = FALSE;
    int written = 0;
    char buf[4];
    while (p < end) {
        int n;
        if (codePage == CP_UTF8) {
            char32_t cp;
            p += platform::decode_utf16(p, end, &cp);
            n = platform::encode_utf8(cp, buf);
        } else if (codePage == 1252 || codePage == CP_ACP) {
            int b = platform::unit_to_cp1252(*p++);
            if (b < 0) {
                b = defaultChar ? static_cast<BYTE>(*defaultChar) : '?';
                if (usedDefault) *usedDefault = TRUE;
            }
            buf[0] = static_cast<char>(b);
            n = 1;
        } else {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (cbMultiByte != 0) {
            if (written + n > cbMultiByte) {
                SetLastError(ERROR_INSUFFICIENT_BUFFER);
                return 0;
            }
            std::memcpy(multiByte + written, buf, n);
        }
        written += n;
    }
    return written;
}
