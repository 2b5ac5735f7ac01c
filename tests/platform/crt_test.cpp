#include "platform/win32.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

std::vector<std::u16string> tokens(std::u16string text) {
    std::vector<std::u16string> out;
    WCHAR* context = nullptr;
    for (WCHAR* t = wcstok(text.data(), u",", &context); t; t = wcstok(nullptr, u",", &context)) out.push_back(t);
    return out;
}

TEST(Wtol, ReadsSignAndDigitsUpToTheFirstOtherCharacter) {
    EXPECT_EQ(_wtol(u"120"), 120);
    EXPECT_EQ(_wtol(u"  \t-7x"), -7);
    EXPECT_EQ(_wtol(u"+42 cafes"), 42);
    EXPECT_EQ(_wtol(u"Quay"), 0);
    EXPECT_EQ(_wtol(u""), 0);
    EXPECT_EQ(_wtol(u"- 5"), 0);
    EXPECT_EQ(_wtol(u"0070000"), 70000);
}

TEST(Wtol, SaturatesOutsideThe32BitRange) {
    EXPECT_EQ(_wtol(u"2147483647"), INT_MAX);
    EXPECT_EQ(_wtol(u"2147483648"), INT_MAX);
    EXPECT_EQ(_wtol(u"-2147483648"), INT_MIN);
    EXPECT_EQ(_wtol(u"-2147483649"), INT_MIN);
    EXPECT_EQ(_wtol(u"99999999999999999999999999999999999"), INT_MAX);
    EXPECT_EQ(_wtol(u"-99999999999999999999999999999999999"), INT_MIN);
}

TEST(Wcstok, SkipsLeadingCommasAndCollapsesRuns) {
    EXPECT_EQ(tokens(u"120,,340,Quay Cafe"), (std::vector<std::u16string>{u"120", u"340", u"Quay Cafe"}));
    EXPECT_EQ(tokens(u",,a,b,,"), (std::vector<std::u16string>{u"a", u"b"}));
    EXPECT_EQ(tokens(u"a, b"), (std::vector<std::u16string>{u"a", u" b"}));
    EXPECT_TRUE(tokens(u",,,").empty());
    EXPECT_TRUE(tokens(u"").empty());
}

TEST(Wcstok, KeepsReturningNullAfterTheLastToken) {
    std::u16string text = u"x,";
    WCHAR* context = nullptr;
    EXPECT_EQ(std::u16string(wcstok(text.data(), u",", &context)), u"x");
    EXPECT_EQ(wcstok(nullptr, u",", &context), nullptr);
    EXPECT_EQ(wcstok(nullptr, u",", &context), nullptr);
}

TEST(Swab, SwapsPairsAndLeavesAnOddLastByte) {
    char src[5] = {'a', 'b', 'c', 'd', 'e'};
    char dst[5] = {'-', '-', '-', '-', '-'};
    _swab(src, dst, 5);
    EXPECT_EQ(std::string(dst, 5), "badc-");
}

TEST(StringFunctions, CompareCopyAndIgnoreCase) {
    WCHAR buf[6];
    lstrcpynW(buf, u"Harbour", 6);
    EXPECT_EQ(std::u16string(buf), u"Harbo");
    EXPECT_EQ(lstrlenW(u"Harbour"), 7);
    EXPECT_EQ(lstrlenW(nullptr), 0);
    EXPECT_LT(lstrcmpW(u"Harbour", u"harbour"), 0);
    EXPECT_EQ(lstrcmpiW(u"Main.Dab", u"MAIN.DAB"), 0);
    EXPECT_EQ(lstrcmpiW(u"caf\u00e9", u"CAF\u00c9"), 0);
    EXPECT_NE(lstrcmpiW(u"MAIN.DAB", u"MAIN.DA"), 0);
    EXPECT_EQ(_wcsnicmp(u"home.dab", u"HOME.DAB", 8), 0);
}

}  // namespace
