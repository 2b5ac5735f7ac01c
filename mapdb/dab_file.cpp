#include "mapdb/dab_file.h"

#include <algorithm>
#include <cstring>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

// The tag search looks at no more of a line than this, terminator included.
constexpr int kTagLineCapacity = 200;

constexpr BYTE kCR = 13;
constexpr BYTE kLF = 10;

// Where a line ends and where the next one starts, in bytes.
struct LineSpan {
    const BYTE* end;   // one past the line's last byte
    const BYTE* next;  // start of the following line
};

// Byte-wide encodings (1252 and UTF-8): CR and LF never occur inside a
// multi-byte UTF-8 sequence, so both are scanned the same way. The search
// goes in windows so that a file with lone CRs (or lone LFs) does not make
// every line look for the other terminator to the end of the file.
const BYTE* find_terminator(const BYTE* p, const BYTE* end) {
    constexpr std::ptrdiff_t kWindow = 512;
    while (p < end) {
        std::size_t n = static_cast<std::size_t>(std::min(kWindow, end - p));
        const void* lf = std::memchr(p, kLF, n);
        std::size_t limit = lf ? static_cast<std::size_t>(static_cast<const BYTE*>(lf) - p) : n;
        const void* cr = std::memchr(p, kCR, limit);
        if (cr) return static_cast<const BYTE*>(cr);
        if (lf) return static_cast<const BYTE*>(lf);
        p += n;
    }
    return end;
}

LineSpan scan_bytes(const BYTE* p, const BYTE* end) {
    // Callers often stand on the terminator already.
    const BYTE* q = (p < end && (*p == kCR || *p == kLF)) ? p : find_terminator(p, end);
    if (q == end) return {q, q};
    const BYTE* next = q + 1;
    if (*q == kCR && next < end && *next == kLF) ++next;
    return {q, next};
}

// UTF-16 with the low byte first (lo = 0) or second (lo = 1). Only whole
// units before the end take part: an odd last byte is never read.
LineSpan scan_units(const BYTE* p, const BYTE* end, int lo) {
    const int hi = 1 - lo;
    const BYTE* last = p + ((end - p) / 2) * 2;
    const BYTE* q = p;
    for (; q < last; q += 2) {
        if (q[hi] == 0 && (q[lo] == kCR || q[lo] == kLF)) break;
    }
    if (q == last) return {q, q};
    const BYTE* next = q + 2;
    if (q[lo] == kCR && next < last && next[hi] == 0 && next[lo] == kLF) next += 2;
    return {q, next};
}

// Copies the plain ASCII run at the start of [p, end) into dest, one unit per
// byte, stopping at a line terminator, at a byte of 0x80 or more, after room
// units or at the end. Returns the number of bytes copied. ASCII is the same
// in code page 1252 and UTF-8, and it is nearly all of a database's text.
std::size_t widen_ascii(const BYTE* p, const BYTE* end, WCHAR* dest, std::size_t room) {
    std::size_t n = 0;
    std::size_t limit = std::min(room, static_cast<std::size_t>(end - p));
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8(static_cast<char>(kCR));
    const __m128i lf = _mm_set1_epi8(static_cast<char>(kLF));
    const __m128i zero = _mm_setzero_si128();
    while (n + 16 <= limit) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n));
        // Bytes of 0x80 or more set their own top bit; CR and LF are matched.
        __m128i stop = _mm_or_si128(bytes, _mm_or_si128(_mm_cmpeq_epi8(bytes, cr), _mm_cmpeq_epi8(bytes, lf)));
        int mask = _mm_movemask_epi8(stop);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + n), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dest + n + 8), _mm_unpackhi_epi8(bytes, zero));
        if (mask != 0) return n + static_cast<std::size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
        n += 16;
    }
#endif
    for (; n < limit; ++n) {
        BYTE b = p[n];
        if (b >= 0x80 || b == kCR || b == kLF) break;
        dest[n] = b;
    }
    return n;
}

// The first line start in [from, end) whose first byte is c, or end: a byte
// c right after a CR or LF. (After CR LF the LF is no start of a line, but a
// printable c never equals LF, so the rule holds.) from must lie past the
// start of the data.
const BYTE* next_line_starting_with(const BYTE* from, const BYTE* end, BYTE c) {
    const BYTE* p = from;
#ifdef __SSE2__
    const __m128i cr = _mm_set1_epi8(static_cast<char>(kCR));
    const __m128i lf = _mm_set1_epi8(static_cast<char>(kLF));
    const __m128i want = _mm_set1_epi8(static_cast<char>(c));
    // Compares each byte with c and the byte before it with CR and LF.
    while (end - p >= 16) {
        __m128i here = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        __m128i before = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p - 1));
        __m128i after_end = _mm_or_si128(_mm_cmpeq_epi8(before, cr), _mm_cmpeq_epi8(before, lf));
        int mask = _mm_movemask_epi8(_mm_and_si128(after_end, _mm_cmpeq_epi8(here, want)));
        if (mask != 0) return p + __builtin_ctz(static_cast<unsigned>(mask));
        p += 16;
    }
#endif
    for (; p < end; ++p) {
        if (*p == c && (p[-1] == kCR || p[-1] == kLF)) return p;
    }
    return end;
}

}  // namespace

bool CDabFile::Open(LPCWSTR path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD high = 0;
    DWORD length = GetFileSize(file, &high);
    // A file too large for a 32-bit count cannot be held. An empty one fails
    // below: there is nothing to allocate.
    if (length == INVALID_FILE_SIZE || high != 0) {
        CloseHandle(file);
        return false;
    }
    if (size != 0 && size <= length) length = size;
    BYTE* data = static_cast<BYTE*>(VirtualAlloc(nullptr, length, MEM_COMMIT, PAGE_READWRITE));
    if (data == nullptr) {
        CloseHandle(file);
        return false;
    }
    DWORD got = 0;
    ReadFile(file, data, length, &got, nullptr);
    CloseHandle(file);
    if (got != length) {
        VirtualFree(data, 0, MEM_RELEASE);
        return false;
    }
    buffer = data;
    position = data;
    size = length;
    m_tagLinesFor = nullptr;
    if (length >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
        encoding = Utf8;
    } else if (length >= 2 && data[0] == 0xFF && data[1] == 0xFE) {
        encoding = Utf16LE;
    } else if (length >= 2 && data[0] == 0xFE && data[1] == 0xFF) {
        encoding = Utf16BE;
    } else {
        encoding = Ansi1252;
    }
    return true;
}

bool CDabFile::Close() {
    if (buffer == nullptr) return false;
    VirtualFree(buffer, 0, MEM_RELEASE);
    return true;
}

void CDabFile::Rewind() {
    position = buffer;
    if (buffer == nullptr) return;
    if (encoding == Utf16LE || encoding == Utf16BE) position = buffer + 2;
    if (encoding == Utf8) position = buffer + 3;
}

int CDabFile::ReadLine(WCHAR* dest, int capacity, bool* truncated) {
    if (buffer == nullptr || position == nullptr || position >= data_end() || capacity < 1) return -1;
    const std::size_t room = static_cast<std::size_t>(capacity) - 1;
    const BYTE* end = data_end();
    LineSpan line;
    std::size_t length = 0;
    bool cut = false;
    switch (encoding) {
        case Ansi1252:
        case Utf8: {
            // The whole line converted in one pass up to its terminator; a
            // multi-byte UTF-8 sequence never holds a CR or LF byte.
            const BYTE* p = position;
            for (;;) {
                std::size_t ascii = widen_ascii(p, end, dest + length, room - length);
                p += ascii;
                length += ascii;
                if (p == end || *p == kCR || *p == kLF) break;
                if (length == room) {
                    cut = true;
                    break;
                }
                if (encoding == Ansi1252) {
                    dest[length++] = platform::cp1252_to_unit(*p++);
                    continue;
                }
                char32_t cp;
                int used = platform::decode_utf8(p, end, &cp);
                if (length + platform::utf16_length(cp) > room) {
                    cut = true;  // a surrogate pair is never split
                    break;
                }
                if (cp >= 0x10000) {
                    cp -= 0x10000;
                    dest[length++] = static_cast<WCHAR>(0xD800 + (cp >> 10));
                    dest[length++] = static_cast<WCHAR>(0xDC00 + (cp & 0x3FF));
                } else {
                    dest[length++] = static_cast<WCHAR>(cp);
                }
                p += used;
            }
            line = scan_bytes(p, end);
            break;
        }
        case Utf16LE:
        case Utf16BE: {
            // An odd byte left at the end is no unit: there is no line there.
            if (end - position < 2) return -1;
            line = scan_units(position, end, encoding == Utf16LE ? 0 : 1);
            std::size_t count = static_cast<std::size_t>(line.end - position) / 2;
            length = std::min(count, room);
            cut = count > room;
            if (encoding == Utf16LE) {
                std::memcpy(dest, position, length * 2);
            } else {
                _swab(reinterpret_cast<const char*>(position), reinterpret_cast<char*>(dest), static_cast<int>(length * 2));
            }
            break;
        }
        default:
            return -1;
    }
    dest[length] = 0;
    position = const_cast<BYTE*>(line.next);
    if (truncated) *truncated = cut;
    return static_cast<int>(length);
}

bool CDabFile::FindTag(LPCWSTR tag) {
    Rewind();
    return FindNextTag(tag);
}

bool CDabFile::FindNextTag(LPCWSTR tag) {
    const int tagLength = lstrlenW(tag);
    if (buffer != nullptr && tagLength > 0 && tagLength < kTagLineCapacity && tag[0] == u'<' &&
        encoding >= Ansi1252 && encoding <= Utf8 &&
        std::all_of(tag, tag + tagLength, [](WCHAR c) { return c < 0x80; })) {
        return find_indexed_tag(tag, tagLength);
    }
    WCHAR line[kTagLineCapacity];
    for (;;) {
        int length = ReadLine(line, kTagLineCapacity);
        if (length < 0) return false;
        if (length >= tagLength && std::memcmp(line, tag, static_cast<size_t>(tagLength) * 2) == 0) return true;
    }
}

// A parse searches the whole file once for every kind of section, but only a
// line that begins with '<' can hold a tag. Those lines are found in one pass
// the first time and remembered, so each later search looks at them alone,
// with the same result as reading every line. This serves tags of ASCII
// characters, whose bytes stand for themselves in every encoding.
void CDabFile::index_tag_lines() {
    m_tagLines.clear();
    m_tagLinesFor = buffer;
    const BYTE* end = data_end();
    if (encoding == Ansi1252 || encoding == Utf8) {
        const BYTE* start = buffer + (encoding == Utf8 ? 3 : 0);
        if (start < end && *start == '<') m_tagLines.push_back(static_cast<std::uint32_t>(start - buffer));
        const BYTE* p = start + 1;
        while (p < end) {
            const BYTE* line = next_line_starting_with(p, end, '<');
            if (line == end) break;
            m_tagLines.push_back(static_cast<std::uint32_t>(line - buffer));
            p = line + 1;
        }
        return;
    }
    // UTF-16: a '<' unit whose unit before it is CR or LF.
    const int lo = encoding == Utf16LE ? 0 : 1;
    const int hi = 1 - lo;
    const BYTE* start = buffer + 2;
    const BYTE* last = buffer + (size / 2) * 2;  // whole units only
    if (last - start >= 2 && start[lo] == '<' && start[hi] == 0) m_tagLines.push_back(2);
    const BYTE* q = start + 2 + lo;
    while (q < last) {
        const void* hit = std::memchr(q, '<', static_cast<std::size_t>(last - q));
        if (hit == nullptr) break;
        const BYTE* unit = static_cast<const BYTE*>(hit) - lo;
        const BYTE* before = unit - 2;
        // Only a low byte in its place inside a unit counts.
        if ((unit - buffer) % 2 == 0 && unit[hi] == 0 && before[hi] == 0 && (before[lo] == kCR || before[lo] == kLF)) {
            m_tagLines.push_back(static_cast<std::uint32_t>(unit - buffer));
        }
        q = static_cast<const BYTE*>(hit) + 1;
    }
}

bool CDabFile::find_indexed_tag(LPCWSTR tag, int tagLength) {
    if (m_tagLinesFor != buffer) index_tag_lines();
    const BYTE* end = data_end();
    const bool wide = encoding == Utf16LE || encoding == Utf16BE;
    const int lo = encoding == Utf16LE ? 0 : 1;
    auto from = static_cast<std::uint32_t>(position - buffer);
    for (auto it = std::lower_bound(m_tagLines.begin(), m_tagLines.end(), from); it != m_tagLines.end(); ++it) {
        const BYTE* line = buffer + *it;
        bool match;
        if (wide) {
            match = (end - line) / 2 >= tagLength;
            for (int i = 0; match && i < tagLength; ++i) match = line[2 * i + lo] == tag[i] && line[2 * i + 1 - lo] == 0;
        } else {
            match = end - line >= tagLength &&
                    std::equal(tag, tag + tagLength, line, [](WCHAR t, BYTE b) { return t == b; });
        }
        if (match) {
            position = const_cast<BYTE*>(wide ? scan_units(line, end, lo).next : scan_bytes(line, end).next);
            return true;
        }
    }
    position = const_cast<BYTE*>(end);
    return false;
}
