// SPDX-License-Identifier: MIT
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

TEST(ScriptEncoding, Utf8OnlyWhenValidWithNonAsciiBytes) {
    const std::pair<std::string_view, ScriptEncoding> cases[] = {
        {"plain ascii // comment", ScriptEncoding::Windows1251},
        {"// \xD0\x97\xD0\xB2\xD1\x83\xD0\xBA", ScriptEncoding::Utf8}, // "Звук" in UTF-8
        {"// \xC7\xE2\xF3\xEA", ScriptEncoding::Windows1251},          // "Звук" in Windows-1251
        {"\xEF\xBB\xBF\"s\"", ScriptEncoding::Utf8},                   // a byte-order mark
        {"// \x93quoted\x94", ScriptEncoding::Windows1251},            // Windows quotes
        {"// \xE2\x82", ScriptEncoding::Windows1251},                  // cut off
        {"// \xC0\x80", ScriptEncoding::Windows1251},                  // overlong NUL
        {"// \xED\xA0\x80", ScriptEncoding::Windows1251},              // a surrogate
        {"// \xF0\x9F\x98\x80 \xC3\xA9", ScriptEncoding::Utf8},        // emoji, e acute
        {std::string_view("a\0b", 3), ScriptEncoding::Windows1251},
    };
    for (const auto& [bytes, encoding] : cases)
        EXPECT_EQ(detectEncoding(bytes), encoding) << bytes;
    EXPECT_EQ(detectEncoding("ascii", ScriptEncoding::Utf8), ScriptEncoding::Utf8);
    EXPECT_EQ(detectEncoding("\xC7", ScriptEncoding::Utf8), ScriptEncoding::Windows1251);
    EXPECT_EQ(encodingName(ScriptEncoding::Utf8), "UTF-8");
    EXPECT_EQ(encodingName(ScriptEncoding::Windows1251), "Windows-1251");
}

TEST(ScriptEncoding, BytesComeBackFromTheirTextInEitherEncoding) {
    const std::string utf8 = "\xEF\xBB\xBF// \xD0\x97\xD0\xB2\xD1\x83\xD0\xBA \xF0\x9F\x98\x80\r\n\"s\"";
    const std::u16string shown = scriptToUtf16(utf8, ScriptEncoding::Utf8);
    EXPECT_EQ(shown, u"\uFEFF// Звук \U0001F600\r\n\"s\"");
    EXPECT_EQ(utf16ToScript(shown, ScriptEncoding::Utf8), utf8);
    std::string all;
    for (int b = 0; b < 256; ++b)
        all.push_back(static_cast<char>(b));
    EXPECT_EQ(utf16ToScript(scriptToUtf16(all, ScriptEncoding::Windows1251), ScriptEncoding::Windows1251),
              all);
    // Typed text becomes bytes of the document's encoding; what has no byte becomes "?".
    EXPECT_EQ(utf8ToScript("Звук", ScriptEncoding::Utf8), "Звук");
    EXPECT_EQ(utf8ToScript("Звук", ScriptEncoding::Windows1251), "\xC7\xE2\xF3\xEA");
    EXPECT_EQ(utf16ToScript(u"a\xD800"
                            u"b",
                            ScriptEncoding::Utf8),
              "a?b");
    EXPECT_EQ(scriptToUtf8("\xC7\xE2\xF3\xEA", ScriptEncoding::Windows1251), "Звук");
    // A stray byte in a UTF-8 document shows as its Windows-1251 character instead of vanishing.
    EXPECT_EQ(scriptToUtf16("a\xC7", ScriptEncoding::Utf8), u"aЗ");
}
