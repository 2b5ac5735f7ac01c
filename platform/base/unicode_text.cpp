#include "platform/base/unicode_text.h"

#include "platform/base/text_convert.h"

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace platform {
namespace {

// kFold*, kCollation*, kExpansions, kContraction*, kAsciiElements and the
// range tables, generated at build time from the Unicode data files.
#include "platform/base/unicode_tables.inc"

constexpr char32_t kEnd = 0xFFFFFFFF;

// A collation element as the comparison uses it: primary weight in the high
// half, secondary in the low. 0 is never a real element (those that weigh
// nothing at both levels are left out of the tables), so it marks the end.
using Element = std::uint32_t;

int sign(std::uint32_t a, std::uint32_t b) { return a < b ? -1 : 1; }

// Table entries: see scripts/make-unicode-tables.py.
constexpr std::uint32_t kTagMask = 3u << 30;
constexpr std::uint32_t kTagSingle = 1u << 30;
constexpr std::uint32_t kTagExpansion = 2u << 30;
constexpr std::uint32_t kTagContraction = 3u << 30;

// Hangul syllables decompose into conjoining jamo by arithmetic.
constexpr char32_t kHangulFirst = 0xAC00;
constexpr char32_t kHangulLast = 0xD7A3;
constexpr char32_t kJamoL = 0x1100;
constexpr char32_t kJamoV = 0x1161;
constexpr char32_t kJamoT = 0x11A7;
constexpr char32_t kJamoVCount = 21;
constexpr char32_t kJamoTCount = 28;

char32_t next_code_point(const char16_t*& p, const char16_t* end) {
    char32_t c = *p++;
    if (c >= 0xD800 && c <= 0xDBFF && p < end && *p >= 0xDC00 && *p <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (*p++ - 0xDC00);
    }
    return c;
}

char32_t fold_ascii(char32_t c) { return c >= u'A' && c <= u'Z' ? c + 32 : c; }

// Writes the folding of c (one to three code points) to out.
int fold(char32_t c, char32_t* out) {
    if (c < 0x80 || c >= kFoldLimit) {
        out[0] = fold_ascii(c);
        return 1;
    }
    const unsigned block = kFoldStage1[c >> kFoldShift];
    const unsigned entry = kFoldStage2[(block << kFoldShift) | (c & ((1u << kFoldShift) - 1))];
    if (entry == 0) {
        out[0] = c;
        return 1;
    }
    if (entry <= kFoldDeltas) {
        out[0] = static_cast<char32_t>(static_cast<std::int32_t>(c) + kFoldDelta[entry - 1]);
        return 1;
    }
    const char32_t* full = &kFoldFull[(entry - 1 - kFoldDeltas) * 3];
    out[0] = full[0];
    out[1] = full[1];
    if (full[2] == 0) return 2;
    out[2] = full[2];
    return 3;
}

// A text's folded code points, one at a time, with a look two ahead for the
// contractions.
class FoldedText {
public:
    explicit FoldedText(std::u16string_view text) : m_p(text.data()), m_end(text.data() + text.size()) {}

    // Whether folded code points wait to be read. While none do, the source
    // units not yet read may be read directly.
    bool pending() const { return m_count != 0; }
    const char16_t*& source() { return m_p; }
    const char16_t* source_end() const { return m_end; }

    char32_t next() {
        if (m_count == 0 && !refill()) return kEnd;
        const char32_t c = m_pending[m_first++];
        --m_count;
        return c;
    }

    // The code point ahead places after the next one read (0: the next).
    char32_t peek(int ahead) {
        while (m_count <= ahead) {
            if (!refill()) return kEnd;
        }
        return m_pending[m_first + ahead];
    }

    void skip(int n) {
        m_first += n;
        m_count -= n;
    }

private:
    bool refill() {
        if (m_p == m_end) return false;
        if (m_count == 0) m_first = 0;
        // A look ahead refills with at most one code point pending, so moving
        // it down keeps room for the three that one unit may fold to.
        if (m_first + m_count + 3 > static_cast<int>(std::size(m_pending))) {
            for (int i = 0; i < m_count; ++i) m_pending[i] = m_pending[m_first + i];
            m_first = 0;
        }
        m_count += fold(next_code_point(m_p, m_end), &m_pending[m_first + m_count]);
        return true;
    }

    const char16_t* m_p;
    const char16_t* m_end;
    char32_t m_pending[8];
    int m_first = 0;
    int m_count = 0;
};

// ranges: first, last pairs.
bool in_ranges(const std::uint32_t* ranges, std::size_t size, char32_t c) {
    for (std::size_t i = 0; i + 1 < size; i += 2) {
        if (c >= ranges[i] && c <= ranges[i + 1]) return true;
    }
    return false;
}

// The table entry of a code point (0: not listed).
std::uint32_t entry_of(char32_t c) {
    if (c >= kCollationLimit) {
        return in_ranges(kIgnorableRanges, std::size(kIgnorableRanges), c) ? kTagExpansion : 0;
    }
    const unsigned slot = c >> kCollationShift;
    const std::uint32_t entry =
        kCollationStage2[(kCollationStage1[slot] << kCollationShift) | (c & ((1u << kCollationShift) - 1))];
    return (entry & kTagMask) == kTagSingle ? entry + kCollationBase[slot] : entry;
}

Element single_element(std::uint32_t entry) { return (entry & 0xFFFF) << 16 | ((entry >> 16) & 0x3FFF); }

// The collation elements of a text's folded form, one at a time.
class Elements {
public:
    explicit Elements(std::u16string_view text) : m_text(text) {}

    Element next() {
        for (;;) {
            if (m_left > 0) {
                --m_left;
                return *m_run++;
            }
            if (!m_text.pending()) {
                // An ASCII character followed by another (or by the end)
                // starts no contraction: one element from a flat table.
                const char16_t*& p = m_text.source();
                const char16_t* end = m_text.source_end();
                if (p == end) return 0;
                if (*p < 0x80 && (p + 1 == end || p[1] < 0x80)) {
                    const Element e = kAsciiElements[*p++];
                    if (e != 0) return e;
                    continue;
                }
            }
            const char32_t c = m_text.next();
            if (c == kEnd) return 0;
            load(c);
        }
    }

    // The next element with a primary weight, or 0 at the end.
    std::uint32_t next_primary() {
        for (Element e; (e = next()) != 0;) {
            if (e >> 16) return e >> 16;
        }
        return 0;
    }

    std::uint32_t next_secondary() {
        for (Element e; (e = next()) != 0;) {
            if (e & 0xFFFF) return e & 0xFFFF;
        }
        return 0;
    }

private:
    // Makes the elements of c (and of what it contracts with) the run.
    void load(char32_t c) {
        if (c >= kHangulFirst && c <= kHangulLast) {
            const char32_t s = c - kHangulFirst;
            const char32_t t = s % kJamoTCount;
            m_own[0] = single_element(entry_of(kJamoL + s / (kJamoVCount * kJamoTCount)));
            m_own[1] = single_element(entry_of(kJamoV + (s % (kJamoVCount * kJamoTCount)) / kJamoTCount));
            if (t != 0) m_own[2] = single_element(entry_of(kJamoT + t));
            set_own(t != 0 ? 3 : 2);
            return;
        }
        std::uint32_t entry = entry_of(c);
        if (entry == 0) {
            implicit(c);
            return;
        }
        if ((entry & kTagMask) == kTagContraction) entry = contract(entry & 0xFFFF);
        if ((entry & kTagMask) == kTagSingle) {
            m_own[0] = single_element(entry);
            set_own(1);
        } else {
            m_run = &kExpansions[(entry & ~kTagMask) >> 5];
            m_left = static_cast<int>(entry & 31);
        }
    }

    // The longest contraction the starter makes with the code points after
    // it (the followers are listed longest first), else the starter alone.
    std::uint32_t contract(std::uint32_t starter) {
        const std::uint32_t* s = &kContractionStarters[starter * 3];
        const char32_t second = m_text.peek(0);
        for (std::uint32_t i = s[1]; i < s[1] + s[2]; ++i) {
            const std::uint32_t* f = &kContractionFollowers[i * 3];
            if (f[0] != second) continue;
            if (f[1] == 0) {
                m_text.skip(1);
                return f[2];
            }
            if (m_text.peek(1) == f[1]) {
                m_text.skip(2);
                return f[2];
            }
        }
        return s[0];
    }

    // Characters the table does not list: weights from the code point, Han
    // ideographs and the scripts with a base of their own first.
    void implicit(char32_t c) {
        std::uint32_t base = 0;
        char32_t offset = c;
        for (std::size_t i = 0; i + 2 < std::size(kImplicitRanges); i += 3) {
            if (c >= kImplicitRanges[i] && c <= kImplicitRanges[i + 1]) {
                base = kImplicitRanges[i + 2];
                offset = c - kImplicitRanges[i];
            }
        }
        if (base == 0) {
            const bool core = (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xF900 && c <= 0xFAFF);
            base = !in_ranges(kUnifiedIdeographs, std::size(kUnifiedIdeographs), c) ? 0xFBC0 : core ? 0xFB40 : 0xFB80;
            base += c >> 15;
        }
        m_own[0] = base << 16 | 0x20;
        m_own[1] = ((offset & 0x7FFF) | 0x8000) << 16;
        set_own(2);
    }

    void set_own(int count) {
        m_run = m_own;
        m_left = count;
    }

    FoldedText m_text;
    const Element* m_run = nullptr;
    int m_left = 0;
    Element m_own[3] = {};
};

bool alike(char16_t x, char16_t y) { return x == y || (x < 0x80 && fold_ascii(x) == fold_ascii(y)); }

bool safe_to_cut_after(char16_t c) { return c < 0x80 && !kAsciiStartsContraction[c]; }

constexpr int kNoUnit = -1;
constexpr int kUnsettled = 2;
constexpr std::uint32_t kUnknownPrimary = 0xFFFFFFFF;

// The primary weight of an ASCII character followed by another or by the
// end (so that it starts no contraction, and no contraction goes on with an
// ASCII character), 0 for the end, and kUnknownPrimary for anything else or
// a character that weighs nothing.
std::uint32_t settled_primary(int c, int next) {
    if (c == kNoUnit) return 0;
    if (c >= 0x80 || next >= 0x80) return kUnknownPrimary;
    const std::uint32_t primary = kAsciiElements[c] >> 16;
    return primary != 0 ? primary : kUnknownPrimary;
}

// The order that the first units after a common beginning settle by
// themselves, or kUnsettled. Every ASCII character that weighs anything has
// a primary weight of its own, so two different ones decide.
int settled_order(int x, int xNext, int y, int yNext) {
    const std::uint32_t p = settled_primary(x, xNext);
    const std::uint32_t q = settled_primary(y, yNext);
    if (p == kUnknownPrimary || q == kUnknownPrimary) return kUnsettled;
    return p == q ? 0 : sign(p, q);
}

}  // namespace

std::u16string fold_case(std::u16string_view text) {
    std::u16string out;
    out.reserve(text.size());
    FoldedText folded(text);
    for (char32_t c; (c = folded.next()) != kEnd;) append_utf16(out, c);
    return out;
}

bool equal_without_case(std::u16string_view a, std::u16string_view b) {
    if (a == b) return true;
    FoldedText x(a);
    FoldedText y(b);
    for (;;) {
        const char32_t c = x.next();
        if (c != y.next()) return false;
        if (c == kEnd) return true;
    }
}

bool starts_without_case(std::u16string_view text, std::u16string_view prefix) {
    FoldedText x(text);
    FoldedText y(prefix);
    for (;;) {
        const char32_t c = y.next();
        if (c == kEnd) return true;
        if (x.next() != c) return false;
    }
}

int compare_without_case(std::u16string_view a, std::u16string_view b) {
    // What the two begin with alike (ASCII letters also when they differ in
    // case) weighs alike in both; most names are told apart by the first
    // characters after it.
    std::size_t same = 0;
    const std::size_t shorter = std::min(a.size(), b.size());
    while (same < shorter && alike(a[same], b[same])) ++same;
    const auto unit = [](std::u16string_view s, std::size_t i) { return i < s.size() ? int{s[i]} : kNoUnit; };
    const int order = settled_order(unit(a, same), unit(a, same + 1), unit(b, same), unit(b, same + 1));
    if (order != kUnsettled) return order;
    // Otherwise both go on from just after an ASCII character that starts no
    // contraction, where no contraction or surrogate pair can straddle.
    while (same > 0 && !safe_to_cut_after(a[same - 1])) --same;
    a.remove_prefix(same);
    b.remove_prefix(same);

    {
        Elements x(a);
        Elements y(b);
        for (;;) {
            const std::uint32_t p = x.next_primary();
            const std::uint32_t q = y.next_primary();
            if (p != q) return sign(p, q);
            if (p == 0) break;
        }
    }
    {
        Elements x(a);
        Elements y(b);
        for (;;) {
            const std::uint32_t p = x.next_secondary();
            const std::uint32_t q = y.next_secondary();
            if (p != q) return sign(p, q);
            if (p == 0) break;
        }
    }
    FoldedText x(a);
    FoldedText y(b);
    for (;;) {
        const char32_t c = x.next();
        const char32_t d = y.next();
        if (c != d) return sign(c + 1, d + 1);  // the end (kEnd + 1 == 0) first
        if (c == kEnd) return 0;
    }
}

int compare_without_case(const char16_t* a, const char16_t* b) {
    std::size_t same = 0;
    while (a[same] != 0 && alike(a[same], b[same])) ++same;
    const auto unit = [](const char16_t* s) { return *s == 0 ? kNoUnit : int{*s}; };
    const auto after = [unit](const char16_t* s) { return *s == 0 ? kNoUnit : unit(s + 1); };
    const int order = settled_order(unit(a + same), after(a + same), unit(b + same), after(b + same));
    if (order != kUnsettled) return order;
    while (same > 0 && !safe_to_cut_after(a[same - 1])) --same;
    return compare_without_case(std::u16string_view(a + same), std::u16string_view(b + same));
}

}  // namespace platform
