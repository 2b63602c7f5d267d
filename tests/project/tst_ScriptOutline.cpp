// SPDX-License-Identifier: MIT
#include "project/ScriptOutline.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tonvale::project;

namespace {

// An outline as text, one element a line: depth, key, "=" value, and "@line:column".
std::string describe(const ScriptOutline& outline) {
    std::string out;
    for (const OutlineElement& element : outline.elements) {
        int depth = 0;
        for (auto p = element.parent; p >= 0; p = outline.elements[static_cast<std::size_t>(p)].parent)
            ++depth;
        out += std::string(static_cast<std::size_t>(depth), '.') + element.key;
        if (element.hasValue)
            out += '=' + element.value;
        if (element.block)
            out += '{';
        out += '@' + std::to_string(element.keyAt.line) + ':' + std::to_string(element.keyAt.column) + '\n';
    }
    return out;
}

struct OutlineCase {
    const char* name;
    std::string bytes;
    std::string expected;
};

class ReadOutline : public ::testing::TestWithParam<OutlineCase> {};

} // namespace

TEST_P(ReadOutline, GivesKeysValuesBlocksAndPlaces) {
    EXPECT_EQ(describe(readOutline(GetParam().bytes)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadOutline,
    ::testing::Values(
        OutlineCase{"BracesOnTheirOwnLines", "\"a\"\r\n{\r\n\t\"dsp\"\t\"1\"\r\n}\r\n",
                    "a{@1:1\n.dsp=1@3:2\n"},
        OutlineCase{"BraceOnTheHeadersLine", "\"a\" {\n  \"b\" {\n    \"wave\" \"x.wav\"\n  }\n}\n",
                    "a{@1:1\n.b{@2:3\n..wave=x.wav@3:5\n"},
        OutlineCase{"WholeFileOnOneLine", "soundscapes_manifest{\"file\" \"a.txt\"}",
                    "soundscapes_manifest{@1:1\n.file=a.txt@1:22\n"},
        OutlineCase{"CommentsAnywhereOutsideQuotes", "// {\n\"a\" // }\n{ \"k\" \"v//x\" //\"j\" \"w\"\n}",
                    "a{@2:1\n.k=v//x@3:3\n"},
        OutlineCase{"ValueOnALaterLine", "\"a\"\n{\n\"k\"\n\n\"v\"\n}", "a{@1:1\n.k=v@3:1\n"},
        OutlineCase{"UnquotedWordsPairUp", "-- BANNER WORDS --\n\"a\" { }",
                    "--=BANNER@1:1\nWORDS=--@1:11\na{@2:1\n"},
        OutlineCase{"KeyWithoutValueBeforeABrace", "\"a\"\n{\n\"k\"\n}", "a{@1:1\n.k@3:1\n"},
        OutlineCase{"AnonymousBlock", "\"a\"\n{\n{\n\"k\" \"v\"\n}\n}", "a{@1:1\n.{@3:1\n..k=v@4:1\n"},
        OutlineCase{"LoneCarriageReturnsEndLines", "\"a\"\r{\r\"k\" \"v\"\r}", "a{@1:1\n.k=v@3:1\n"},
        OutlineCase{"NulEndsTheText", std::string("\"a\" { \"k\" \"v\" }") + '\0' + "\"b\" { }",
                    "a{@1:1\n.k=v@1:7\n"},
        OutlineCase{"QuotedTextRunsOverItsLine", "\"a\"\n{\n\"k\" \"0.5\n\"\n\"j\" \"w\"\n}",
                    "a{@1:1\n.k=0.5\n@3:1\n.j=w@5:1\n"}),
    [](const auto& param) { return std::string(param.param.name); });

TEST(ReadOutline, FindsTheFirstBraceFault) {
    struct Case {
        std::string bytes;
        BraceFault::Kind kind;
        SourcePosition at;
    } cases[] = {
        {"\"a\"\n{\n\"b\"\n{\n}\n", BraceFault::Kind::Unclosed, {1, 1}}, // the outermost block still open
        {"\"a\" { }\n }\n\"b\" {", BraceFault::Kind::Unopened, {2, 2}},
        {"\"a\" { \"k\" \"}\" }", BraceFault::Kind::None, {}}, // a brace inside quotes is text
    };
    for (const Case& c : cases) {
        const ScriptOutline outline = readOutline(c.bytes);
        EXPECT_EQ(outline.braceFault.kind, c.kind) << c.bytes;
        EXPECT_EQ(outline.braceFault.at, c.at) << c.bytes;
    }
}

TEST(ReadOutline, ReportsQuotedTextThatRunsOverItsLine) {
    const ScriptOutline closedLater = readOutline("\"a\"\n{\n\"k\" \"0.5\n\"\n}\n");
    ASSERT_EQ(closedLater.quoteFaults.size(), 1u);
    EXPECT_EQ(closedLater.quoteFaults[0].at, (SourcePosition{3, 5}));
    EXPECT_EQ(closedLater.quoteFaults[0].closingLine, 4);
    const ScriptOutline neverClosed = readOutline("\"a\" { \"k\" \"v\n}\n");
    ASSERT_EQ(neverClosed.quoteFaults.size(), 1u);
    EXPECT_EQ(neverClosed.quoteFaults[0].closingLine, 0);
}

TEST(ReadOutline, CountsLinesAsTheLoaderDoes) {
    EXPECT_EQ(readOutline("").lineCount, 0);
    EXPECT_EQ(readOutline("a").lineCount, 1);
    EXPECT_EQ(readOutline("a\r\n").lineCount, 1);
    EXPECT_EQ(readOutline("a\r\n\r\nb").lineCount, 3);
}

TEST(ReadOutline, DeepNestingNeedsNoDeepStack) {
    constexpr std::size_t Depth = 100000;
    std::string bytes;
    for (std::size_t i = 0; i < Depth; ++i)
        bytes += "\"k\"\n{\n";
    bytes += std::string(Depth, '}');
    const ScriptOutline outline = readOutline(bytes);
    ASSERT_EQ(outline.elements.size(), Depth);
    EXPECT_EQ(outline.elements.back().parent, static_cast<std::int32_t>(Depth - 2));
    EXPECT_EQ(outline.elements.front().end, Depth);
    EXPECT_EQ(outline.braceFault.kind, BraceFault::Kind::None);
}

TEST(FoldName, FoldsAsciiLettersOnly) {
    EXPECT_EQ(foldName("Town.SQUARE_01"), "town.square_01");
    EXPECT_EQ(foldName("\xC0\xE0"), "\xC0\xE0"); // Cyrillic letters compare exactly
}
