#include "platform/base/wsprintf.h"

namespace {

class Output {
public:
    explicit Output(LPWSTR out) : m_out(out) {}
    void put(WCHAR c) {
        if (m_count < WSPRINTF_MAX) m_out[m_count++] = c;
    }
    void repeat(WCHAR c, int n) {
        for (int i = 0; i < n; ++i) put(c);
    }
    int finish() {
        m_out[m_count] = 0;
        return m_count;
    }

private:
    LPWSTR m_out;
    int m_count = 0;
};

// Digits of v in base 10 or 16, least significant first; returns the count.
int digits_of(unsigned long long v, int base, bool upper, WCHAR* buffer) {
    const char* set = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    int n = 0;
    do {
        buffer[n++] = static_cast<WCHAR>(set[v % base]);
        v /= base;
    } while (v != 0);
    return n;
}

}  // namespace

int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args) {
    if (out == nullptr) return 0;
    Output o(out);
    if (format == nullptr) return o.finish();
    for (LPCWSTR p = format; *p; ++p) {
        if (*p != u'%') {
            o.put(*p);
            continue;
        }
        LPCWSTR start = p++;
        bool left = false;
        bool zero = false;
        for (;; ++p) {
            if (*p == u'-') left = true;
            else if (*p == u'0') zero = true;
            else break;
        }
        int width = 0;
        while (*p >= u'0' && *p <= u'9') {
            if (width < WSPRINTF_MAX) width = width * 10 + (*p - u'0');
            ++p;
        }
        int precision = -1;
        if (*p == u'.') {
            ++p;
            precision = 0;
            while (*p >= u'0' && *p <= u'9') {
                if (precision < WSPRINTF_MAX) precision = precision * 10 + (*p - u'0');
                ++p;
            }
        }
        bool wide = false;
        if (p[0] == u'I' && p[1] == u'6' && p[2] == u'4') {
            wide = true;
            p += 3;
        }
        while (*p == u'l' || *p == u'h' || *p == u'w') ++p;
        WCHAR buffer[24];
        int length = 0;
        bool negative = false;
        const WCHAR* text = nullptr;
        switch (*p) {
            case u'd':
            case u'i': {
                // Windows' long is 32 bits: %d and %ld read the same int.
                long long v = wide ? va_arg(args, long long) : va_arg(args, int);
                negative = v < 0;
                // The magnitude in unsigned arithmetic, so the most negative
                // value does not overflow.
                unsigned long long magnitude = static_cast<unsigned long long>(v);
                if (negative) magnitude = 0 - magnitude;
                length = digits_of(magnitude, 10, false, buffer);
                break;
            }
            case u'u':
                length = digits_of(wide ? va_arg(args, unsigned long long) : va_arg(args, unsigned int), 10, false,
                                   buffer);
                break;
            case u'x':
            case u'X':
                length = digits_of(wide ? va_arg(args, unsigned long long) : va_arg(args, unsigned int), 16,
                                   *p == u'X', buffer);
                break;
            case u'c':
                buffer[0] = static_cast<WCHAR>(va_arg(args, int));
                length = 1;
                break;
            case u's': {
                text = va_arg(args, const WCHAR*);
                if (text == nullptr) text = u"(null)";
                length = 0;
                while (text[length] && (precision < 0 || length < precision)) ++length;
                break;
            }
            case u'%':
                o.put(u'%');
                continue;
            default:
                // Unknown conversion (or the format ended): printed as written.
                for (LPCWSTR q = start; q < p; ++q) o.put(*q);
                if (*p == 0) return o.finish();
                o.put(*p);
                continue;
        }
        const bool number = text == nullptr && *p != u'c';
        const int body = length + (negative ? 1 : 0);
        const int pad = width > body ? width - body : 0;
        if (!left && !(zero && number)) o.repeat(u' ', pad);
        if (negative) o.put(u'-');
        if (!left && zero && number) o.repeat(u'0', pad);
        if (text) {
            for (int i = 0; i < length; ++i) o.put(text[i]);
        } else {
            for (int i = length - 1; i >= 0; --i) o.put(buffer[i]);
        }
        if (left) o.repeat(u' ', pad);
    }
    return o.finish();
}

int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int n = wvsprintfW(out, format, args);
    va_end(args);
    return n;
}
