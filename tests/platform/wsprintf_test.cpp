#include "platform/base/wsprintf.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

namespace {

std::u16string format(const char16_t* fmt, auto... args) {
    WCHAR out[WSPRINTF_MAX + 1];
    const int n = wsprintfW(out, fmt, args...);
    EXPECT_EQ(n, static_cast<int>(std::u16string(out).size()));
    return out;
}

TEST(Wsprintf, FormatsTheConversionsTheProgramUses) {
    EXPECT_EQ(format(u" %d%% ", 35), u" 35% ");
    EXPECT_EQ(format(u"%d|%ld|%i", -7, static_cast<LONG>(INT_MIN), 0), u"-7|-2147483648|0");
    EXPECT_EQ(format(u"%u %x %X", 4000000000u, 255u, 0xBEEFu), u"4000000000 ff BEEF");
    EXPECT_EQ(format(u"Failed to open %s", u"/maps/HOME.twk"), u"Failed to open /maps/HOME.twk");
    EXPECT_EQ(format(u"[%5d][%-5d][%05d][%03d]", 42, 42, -42, 12345), u"[   42][42   ][-0042][12345]");
    EXPECT_EQ(format(u"[%.3s][%6s][%-6s]", u"abcdef", u"ab", u"ab"), u"[abc][    ab][ab    ]");
    EXPECT_EQ(format(u"%c%c", u'O', u'K'), u"OK");
    EXPECT_EQ(format(u"%s", static_cast<const WCHAR*>(nullptr)), u"(null)");
    EXPECT_EQ(format(u"100%"), u"100%");  // a lone percent sign at the end prints as written
    EXPECT_EQ(format(u"%q"), u"%q");
}

TEST(Wsprintf, SixtyFourBitValuesKeepEveryDigit) {
    // Memory figures of a large machine: past 4 GiB a 32-bit conversion
    // would wrap round.
    const unsigned long long physical = 17179869184ull + 12345;  // 16 GiB and a bit
    const unsigned long long virtualSpace = 140737488355328ull;  // 128 TiB
    EXPECT_EQ(format(u"%I64u Physical", physical), u"17179881529 Physical");
    EXPECT_EQ(format(u"%I64u|%I64d|%I64x", virtualSpace, -5000000000ll, 0x123456789abull),
              u"140737488355328|-5000000000|123456789ab");
    EXPECT_EQ(format(u"%I64u %I64d", ~0ull, static_cast<long long>(LLONG_MIN)),
              u"18446744073709551615 -9223372036854775808");
    // A 64-bit argument does not shift the ones after it.
    EXPECT_EQ(format(u"%I64u %d %s", 1ull << 40, 7, u"end"), u"1099511627776 7 end");
    EXPECT_EQ(format(u"[%15I64u]", 1ull << 33), u"[     8589934592]");
}

TEST(Wsprintf, OutputStopsAtTheLimit) {
    std::u16string longText(3000, u'x');
    WCHAR out[WSPRINTF_MAX + 1];
    EXPECT_EQ(wsprintfW(out, u"%s and more", longText.c_str()), WSPRINTF_MAX);
    EXPECT_EQ(out[WSPRINTF_MAX], 0);
    EXPECT_EQ(wsprintfW(out, u"%999999999d", 1), WSPRINTF_MAX);  // a huge width is cut too
}

}  // namespace
