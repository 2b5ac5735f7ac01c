#include "platform/base/crt.h"

#include "platform/base/unicode_text.h"

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

int lstrlenW(LPCWSTR s) {
    if (s == nullptr) return 0;
    int n = 0;
    while (s[n]) ++n;
    return n;
}

LPWSTR lstrcpyW(LPWSTR dest, LPCWSTR src) {
    LPWSTR d = dest;
    while ((*d++ = *src++) != 0) {
    }
    return dest;
}

LPWSTR lstrcpynW(LPWSTR dest, LPCWSTR src, int max) {
    if (max <= 0) return dest;
    int i = 0;
    for (; i < max - 1 && src[i]; ++i) dest[i] = src[i];
    dest[i] = 0;
    return dest;
}

LPWSTR lstrcatW(LPWSTR dest, LPCWSTR src) {
    lstrcpyW(dest + lstrlenW(dest), src);
    return dest;
}

int lstrcmpW(LPCWSTR a, LPCWSTR b) {
    while (*a && *a == *b) ++a, ++b;
    return (*a > *b) - (*a < *b);
}

int lstrcmpiW(LPCWSTR a, LPCWSTR b) {
    return platform::compare_without_case(a, b);
}

int _wcsnicmp(LPCWSTR a, LPCWSTR b, size_t count) {
    const auto prefix = [count](LPCWSTR s) {
        size_t n = 0;
        while (n < count && s[n]) ++n;
        return std::u16string_view(s, n);
    };
    return platform::compare_without_case(prefix(a), prefix(b));
}

LONG _wtol(LPCWSTR s) {
    if (s == nullptr) return 0;
    while (*s == u' ' || (*s >= u'\t' && *s <= u'\r')) ++s;
    bool negative = false;
    if (*s == u'+' || *s == u'-') negative = (*s++ == u'-');
    // Accumulate in 64 bits and stop growing once past the 32-bit range, so no
    // number of digits can overflow.
    long long value = 0;
    for (; *s >= u'0' && *s <= u'9'; ++s) {
        if (value <= static_cast<long long>(INT32_MAX) + 1) value = value * 10 + (*s - u'0');
    }
    if (negative) value = -value;
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<LONG>(value);
}

void _swab(const char* src, char* dest, int n) {
    for (int i = 0; i + 1 < n; i += 2) {
        char a = src[i];
        char b = src[i + 1];
        dest[i] = b;
        dest[i + 1] = a;
    }
}

namespace {

#if defined(__SSE2__)
// The first unit at or after p that equals d or is the terminator. Like the C
// library's own string scans it reads 16-byte blocks that may extend past the
// terminator, but only where the block stays inside the page the terminator
// is in, so the read cannot fault; the sanitizer is told not to count those
// bytes.
__attribute__((no_sanitize("address"))) LPWSTR find_unit_or_end(LPWSTR p, WCHAR d) {
    const __m128i want = _mm_set1_epi16(static_cast<short>(d));
    const __m128i zero = _mm_setzero_si128();
    for (;;) {
        if (reinterpret_cast<std::uintptr_t>(p) % 4096 <= 4096 - 16) {
            __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(units, want), _mm_cmpeq_epi16(units, zero)));
            if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask)) / 2;
            p += 8;
        } else {
            if (*p == d || *p == 0) return p;
            ++p;
        }
    }
}
#else
LPWSTR find_unit_or_end(LPWSTR p, WCHAR d) {
    while (*p && *p != d) ++p;
    return p;
}
#endif

bool is_delimiter(WCHAR c, LPCWSTR delimiters) {
    for (LPCWSTR d = delimiters; *d; ++d) {
        if (*d == c) return true;
    }
    return false;
}
}  // namespace

LPWSTR wcstok(LPWSTR str, LPCWSTR delimiters, LPWSTR* context) {
    LPWSTR p = str ? str : *context;
    if (p == nullptr) return nullptr;
    // One delimiter (the parser's comma) is by far the common case.
    const bool single = delimiters[0] != 0 && delimiters[1] == 0;
    const WCHAR d = delimiters[0];
    auto is_delim = [&](WCHAR c) { return single ? c == d : is_delimiter(c, delimiters); };
    while (*p && is_delim(*p)) ++p;
    if (*p == 0) {
        *context = p;
        return nullptr;
    }
    LPWSTR token = p;
    if (single) {
        p = find_unit_or_end(p, d);
    } else {
        while (*p && !is_delimiter(*p, delimiters)) ++p;
    }
    if (*p) *p++ = 0;
    *context = p;
    return token;
}
