#include "platform/base/unicode_text.h"
#include "platform/win32.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

int sign(int v) { return (v > 0) - (v < 0); }

TEST(UnicodeText, FoldsCaseInEveryScript) {
    const struct {
        std::u16string text;
        std::u16string folded;
    } cases[] = {
        {u"ΣΊΣΥΦΟΣ σίσυφος", u"σίσυφοσ σίσυφοσ"},  // final sigma folds as sigma
        {u"МОСКВА Ёлки", u"москва ёлки"},
        {u"ŁÓDŹ łódź", u"łódź łódź"},
        {u"Straße STRASSE ẞ", u"strasse strasse ss"},
        {u"\U00010400\U00010428", u"\U00010428\U00010428"},  // Deseret, a surrogate pair
        {u"İzmir", u"i\u0307zmir"},
        {u"ﬁ\xD800x", u"fi\xD800x"},  // an unpaired surrogate stays itself
    };
    for (const auto& c : cases) EXPECT_EQ(platform::fold_case(c.text), c.folded);

    // Equality and prefixes compare the folded forms.
    EXPECT_TRUE(platform::equal_without_case(u"STRASSE", u"Straße"));
    EXPECT_FALSE(platform::equal_without_case(u"Strasse", u"Straße "));
    EXPECT_TRUE(platform::starts_without_case(u"Straße", u"STRAS"));
    EXPECT_TRUE(platform::starts_without_case(u"ΆΘΩΣ", u"άθωσ"));
    EXPECT_FALSE(platform::starts_without_case(u"Łódź", u"Lod"));
    EXPECT_FALSE(platform::starts_without_case(u"Ab", u"Abc"));
    // _wcsnicmp folds within its count: exactly 4 units are equal, 5 are not.
    EXPECT_EQ(_wcsnicmp(u"ΑΘΗΝΑ", u"αθηνών", 4), 0);
    EXPECT_NE(_wcsnicmp(u"ΑΘΗΝΑ", u"αθηνών", 5), 0);
}

// Names in the order a dictionary gives them; the names of one group differ
// only in case and compare equal.
TEST(UnicodeText, SortsNamesOfEveryScriptAsADictionary) {
    const std::vector<std::vector<std::u16string>> groups = {
        {u"Coll"},
        {u"Col·legi", u"COL·LEGI"},  // "l·" contracts: an accented l, not l and a dot
        {u"Colmar"},
        {u"Évry"},
        {u"Exeter"},
        {u"Ibadan"},
        {u"Izmir", u"IZMIR"},
        {u"İzmir", u"i\u0307zmir"},  // the dot above decides only against Izmir
        {u"Izmit"},
        {u"Lodz"},
        {u"Łódź", u"ŁÓDŹ"},
        {u"Lyon"},
        {u"Osaka", u"osaka"},
        {u"Ōsaka", u"ōsaka"},  // among the O's, after the same name unaccented
        {u"Osb"},              // the accent never outweighs a later letter
        {u"Oslo"},
        {u"San José"},  // a space weighs less than any letter
        {u"Sana"},
        {u"São Paulo"},
        {u"Strasbourg"},
        {u"Straße", u"STRASSE"},
        {u"Zunyi"},
        {u"Αθήνα", u"ΑΘΉΝΑ"},
        {u"Σίσυφος", u"ΣΊΣΥΦΟΣ"},
        {u"Москва", u"МОСКВА"},
        {u"서울"},  // Hangul syllables weigh as their jamo
        {u"\U00010400", u"\U00010428"},
        {u"東京"},  // Han ideographs come after every script
    };
    for (std::size_t i = 0; i < groups.size(); ++i) {
        for (std::size_t j = 0; j < groups.size(); ++j) {
            const int want = sign(static_cast<int>(i) - static_cast<int>(j));
            for (const std::u16string& a : groups[i]) {
                for (const std::u16string& b : groups[j]) {
                    SCOPED_TRACE(testing::Message() << "group " << i << " against " << j);
                    EXPECT_EQ(sign(platform::compare_without_case(a, b)), want);
                    EXPECT_EQ(sign(lstrcmpiW(a.c_str(), b.c_str())), want);
                }
            }
        }
    }
}

}  // namespace
