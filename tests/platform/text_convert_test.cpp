#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string from1252(const std::string& bytes) {
    std::u16string out(bytes.size(), u'\0');
    int n = MultiByteToWideChar(1252, MB_PRECOMPOSED, bytes.data(), static_cast<int>(bytes.size()), out.data(),
                                static_cast<int>(out.size()));
    out.resize(n);
    return out;
}

std::u16string fromUtf8(const std::string& bytes) {
    int n = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
    std::u16string out(n, u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), static_cast<int>(bytes.size()), out.data(), n);
    return out;
}

TEST(CodePage1252, MapsTheHighControlRangeByThePublishedTable) {
    EXPECT_EQ(from1252("\x80\x8A\x99\x9F"), u"\u20AC\u0160\u2122\u0178");
    EXPECT_EQ(from1252("\xE9\xA0\xFF"), u"\u00E9\u00A0\u00FF");
    // Bytes the table leaves undefined keep their value.
    EXPECT_EQ(from1252("\x81\x8D\x8F\x90\x9D"), u"\u0081\u008D\u008F\u0090\u009D");
}

TEST(CodePage1252, EveryByteRoundTripsThroughTheReverseConversion) {
    for (int b = 1; b < 256; ++b) {
        std::string in(1, static_cast<char>(b));
        std::u16string wide = from1252(in);
        ASSERT_EQ(wide.size(), 1u);
        char back = 0;
        ASSERT_EQ(WideCharToMultiByte(1252, 0, wide.data(), 1, &back, 1, nullptr, nullptr), 1);
        EXPECT_EQ(static_cast<unsigned char>(back), b);
    }
}

TEST(CodePage1252, RefusesAnOutputBufferTooSmall) {
    WCHAR out[2];
    EXPECT_EQ(MultiByteToWideChar(1252, 0, "abc", 3, out, 2), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Utf8, DecodesValidTextIncludingSurrogatePairs) {
    EXPECT_EQ(fromUtf8("Caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x97\xBA"), u"Caf\u00E9 \u20AC \U0001F5FA");
}

TEST(Utf8, ReplacesEachInvalidSequence) {
    EXPECT_EQ(fromUtf8("a\xFFz"), u"a\uFFFDz");
    EXPECT_EQ(fromUtf8("\xC3"), u"\uFFFD");                 // cut short at the end
    EXPECT_EQ(fromUtf8("\xE2\x82z"), u"\uFFFDz");           // cut short before z
    EXPECT_EQ(fromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");       // overlong
    EXPECT_EQ(fromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");  // encoded surrogate
    EXPECT_EQ(fromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");  // above U+10FFFF
}

TEST(Utf8, EncodesUnpairedSurrogatesAsReplacement) {
    std::u16string text = u"x";
    text += static_cast<char16_t>(0xD800);
    EXPECT_EQ(platform::to_utf8(text), "x\xEF\xBF\xBD");
    EXPECT_EQ(platform::to_utf8(u"\U0001F5FA"), "\xF0\x9F\x97\xBA");
}

}  // namespace
