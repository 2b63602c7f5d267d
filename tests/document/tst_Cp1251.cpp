#include "document/Cp1251.h"

#include <gtest/gtest.h>
#include <set>

using namespace tonvale;

TEST(Cp1251, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    const std::u16string wide = cp1251ToUtf16(all);
    EXPECT_EQ(std::set<char16_t>(wide.begin(), wide.end()).size(), 256u);
    EXPECT_EQ(utf16ToCp1251(wide), all);
    EXPECT_EQ(utf8ToCp1251(cp1251ToUtf8(all)), all);
}

TEST(Cp1251, KnownCharacters) {
    EXPECT_EQ(cp1251ToUnicode(0xC0), u'А');
    EXPECT_EQ(cp1251ToUnicode(0xFF), u'я');
    EXPECT_EQ(cp1251ToUnicode(0xA8), u'Ё');
    EXPECT_EQ(cp1251ToUnicode(0xB9), u'№');
    EXPECT_EQ(cp1251ToUnicode(0x93), u'\u201C');
    EXPECT_EQ(cp1251ToUnicode(0x98), u'\u0098');
    EXPECT_EQ(utf8ToCp1251("Конструктор"), "\xCA\xEE\xED\xF1\xF2\xF0\xF3\xEA\xF2\xEE\xF0");
}

TEST(Cp1251, CharactersWithoutAByteBecomeQuestionMarks) {
    EXPECT_EQ(utf8ToCp1251("a€ü中😀b"), "a\x88??"
                                       "?b");
    EXPECT_EQ(utf16ToCp1251(u"\u00FC\U0001F600"), "??");
    EXPECT_EQ(utf8ToCp1251("\xFF\xC3"), "??"); // broken UTF-8 is not trusted
}
