// SPDX-License-Identifier: MIT
#include "document/Loader.h"
#include "document/TextHelpers.h"

#include <gtest/gtest.h>

using namespace tonvale;

TEST(TextHelpers, CountPosCountsNonOverlappingOccurrences) {
    EXPECT_EQ(countOccurrences("ab", "abxab"), 2u);
    EXPECT_EQ(countOccurrences("aa", "aaaa"), 2u);
    EXPECT_EQ(countOccurrences("aa", "aaa"), 1u);
    EXPECT_EQ(countOccurrences("", "abc"), 0u);
    EXPECT_EQ(countOccurrences("a", ""), 0u);
    EXPECT_EQ(countOccurrences("z", "abc"), 0u);
}

TEST(TextHelpers, PositionHelpersAreOneBasedWithZeroForNone) {
    EXPECT_EQ(firstPosition("ab\"c\"", '"'), 3u);
    EXPECT_EQ(firstPosition("abc", '"'), 0u);
    EXPECT_EQ(secondPosition("ab\"c\"", '"'), 5u);
    EXPECT_EQ(secondPosition("ab\"c", '"'), 0u);
    EXPECT_EQ(secondPosition("a b c", ' '), 4u);
    EXPECT_EQ(blanksBeforeQuote("a b \"c d\""), 2u);
    EXPECT_EQ(blanksBeforeQuote("\"c d\""), 0u);
}

TEST(TextHelpers, ClearspaceAndTrim) {
    EXPECT_EQ(collapseBlanks("a   b  \"c    d\""), "a b \"c d\"");
    EXPECT_EQ(collapseBlanks("   "), " ");
    EXPECT_EQ(trim(" \t\x01 a b \x1f\t "), "a b");
    EXPECT_EQ(trim("\t \t"), "");
    EXPECT_TRUE(isCommentLine("//x"));
    EXPECT_FALSE(isCommentLine("/x"));
    EXPECT_FALSE(isCommentLine(" //x"));
}

TEST(TextHelpers, SplitIndentationCountsLeadingTabsAndBlanks) {
    auto start = splitIndentation("\t\t \"wave\" x");
    EXPECT_EQ(start.level, 3u);
    EXPECT_EQ(start.rest, "\"wave\" x");
    EXPECT_EQ(splitIndentation("").level, 0u);
    EXPECT_EQ(splitIndentation("\t\t").rest, "");
}

TEST(TextHelpers, BraceCheckNeedsBothKindsAndAnEvenTotal) {
    EXPECT_TRUE(bracesBalanced({"{", "}"}));
    EXPECT_TRUE(bracesBalanced({"{", "{", "{", "}"})); // the counts need not be equal
    EXPECT_FALSE(bracesBalanced({}));
    EXPECT_FALSE(bracesBalanced({"{", "{"}));
    EXPECT_FALSE(bracesBalanced({"}", "}"}));
    EXPECT_FALSE(bracesBalanced({"{", "{", "}"}));
}

TEST(TextHelpers, ScriptBraceCheckIgnoresBracesInComments) {
    EXPECT_TRUE(scriptBracesBalanced("// the character } closes a block\r\n\"a\"\r\n{\r\n}\r\n"));
    EXPECT_TRUE(scriptBracesBalanced("\"a\" // {\n{\n\"b\" \"c\" // }}}\n}"));
    EXPECT_FALSE(scriptBracesBalanced("// {\n// }\n"));
    EXPECT_FALSE(scriptBracesBalanced(""));
    // A brace inside quotes fails the check, even after a "//" inside the quotes.
    EXPECT_FALSE(scriptBracesBalanced("\"a//{\"\n}\n"));
}

// Pieces of a line, written compactly: "{", "}", "E:" + element text, "C:" + comment text.
std::vector<std::string> pieces(std::string_view line, bool* ok = nullptr) {
    std::vector<LinePiece> found;
    const bool fine = splitLinePieces(line, found);
    if (ok != nullptr)
        *ok = fine;
    std::vector<std::string> out;
    for (const LinePiece& piece : found) {
        switch (piece.kind) {
        case PieceKind::Open:
            out.emplace_back("{");
            break;
        case PieceKind::Close:
            out.emplace_back("}");
            break;
        case PieceKind::Element:
            out.push_back("E:" + std::string(piece.text));
            break;
        case PieceKind::Comment:
            out.push_back("C:" + std::string(piece.text));
            break;
        }
    }
    return out;
}

TEST(TextHelpers, LinePiecesSplitBracesOutsideQuotesAndComments) {
    using P = std::vector<std::string>;
    const std::pair<std::string_view, P> cases[] = {
        {"\"name\" {", {"E:\"name\" ", "{"}},
        {"\t\"key\" \"value\" }", {"E:\t\"key\" \"value\" ", "}"}},
        {"{ \"a\" \"b\" }", {"{", "E: \"a\" \"b\" ", "}"}},
        {"}}", {"}", "}"}},
        {"soundscapes_manifest{}", {"E:soundscapes_manifest", "{", "}"}},
        {"\t//\t{ \"a\" }", {"C:\t{ \"a\" }"}},
        {"\"a\" \"b\" // c { }", {"E:\"a\" \"b\" // c { }"}},
        {"} // end of block", {"}", "C: end of block"}},
        {"{ // opens", {"{", "C: opens"}},
        {"\"a//b\" {", {"E:\"a//b\" ", "{"}},
        {"\x01 \t ", {}},
        {"\x01{\x02", {"{"}},
        {"", {}},
    };
    for (const auto& [line, expected] : cases) {
        bool ok = false;
        EXPECT_EQ(pieces(line, &ok), expected) << line;
        EXPECT_TRUE(ok) << line;
    }
    bool ok = true;
    EXPECT_EQ(pieces("\"a\" { \"b{\" }", &ok), (P{"E:\"a\" ", "{"}));
    EXPECT_FALSE(ok);
    EXPECT_EQ(trimCommentEnd(" a b \t \t"), " a b");
    EXPECT_EQ(trimCommentEnd(std::string_view("x\0", 2)), std::string_view("x\0", 2));
}

TEST(TextHelpers, BraceCheckNamesTheLineWhereTheCountGoesWrong) {
    const std::pair<std::string_view, BraceCheck> cases[] = {
        {"a\n{\n}\n", {true, BraceProblem::None, 0}},
        {"a {\n{\n{\n}\n", {true, BraceProblem::None, 0}}, // blocks left open still pass on an even count
        {"a\n}\n{\n}\n", {false, BraceProblem::UnmatchedClose, 2}},
        {"a\n{\n{ b }\n", {false, BraceProblem::LeftOpen, 2}},
        {"a { \"}\" }\n", {false, BraceProblem::InQuotes, 1}},
        {"// { }\n", {false, BraceProblem::NoBraces, 0}},
    };
    for (const auto& [text, expected] : cases) {
        const BraceCheck check = checkScriptBraces(text);
        EXPECT_EQ(check.ok, expected.ok) << text;
        EXPECT_EQ(check.problem, expected.problem) << text;
        EXPECT_EQ(check.line, expected.line) << text;
        // The loader's own check, which the return from the text tab reports, names the same line.
        const LoadResult loaded = loadScript(text);
        EXPECT_EQ(loaded.failure == LoadFailure::BraceCheck, !expected.ok) << text;
        EXPECT_EQ(loaded.braces.line, expected.line) << text;
    }
}

TEST(TextHelpers, SplitLinesHonoursEveryLineBreakAndKeepsNul) {
    using Lines = std::vector<std::string_view>;
    EXPECT_EQ(splitLines("a\r\nb\rc\nd"), (Lines{"a", "b", "c", "d"}));
    EXPECT_EQ(splitLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(splitLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_EQ(splitLines("\n\r"), (Lines{"", ""}));
    EXPECT_EQ(splitLines(""), Lines{});
    // A NUL byte is an ordinary character: nothing after it is lost.
    EXPECT_EQ(splitLines(std::string_view("a\nb\0c\nd", 7)), (Lines{"a", std::string_view("b\0c", 3), "d"}));
}

struct SearchCase {
    std::size_t start;
    std::string_view text;
    std::string_view pattern;
    std::size_t expected;
    friend void PrintTo(const SearchCase& c, std::ostream* os) {
        *os << c.pattern << " in " << c.text << " from " << c.start;
    }
};

class TextSearch : public ::testing::TestWithParam<SearchCase> {};

TEST_P(TextSearch, FindsFirstMatchFromStart) {
    const auto& c = GetParam();
    EXPECT_EQ(textSearch(c.start, c.text, c.pattern), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, TextSearch,
                         ::testing::Values(SearchCase{1, "xxab", "ab", 3}, SearchCase{4, "xxab", "ab", 0},
                                           SearchCase{1, "bba", "a", 3}, SearchCase{1, "abc", "", 0},
                                           SearchCase{1, "", "a", 0}, SearchCase{0, "ab", "ab", 1},
                                           SearchCase{3, "abcabc", "abc", 4}, SearchCase{1, "ab", "abc", 0},
                                           SearchCase{1, "Rain.Street rain.street", "rain.street", 13},
                                           SearchCase{1, "aaab", "aab", 2},
                                           SearchCase{1, "\xC0\xE1\xC0\xE1", "\xC0\xE1", 1},
                                           SearchCase{2, "\xC0\xE1\xC0\xE1", "\xC0\xE1", 3}));

TEST(TextSearch, AgreesWithAPlainSearchOnManyInputs) {
    const std::string text = "abracadabra \"wave\" \"volume\" abracadabra wave";
    for (std::string_view pattern : {"a", "ab", "abra", "cad", "wave", "\"volume\"", "z", "ra a"}) {
        for (std::size_t start = 1; start <= text.size(); ++start) {
            const std::size_t plain = text.find(pattern, start - 1);
            EXPECT_EQ(textSearch(start, text, pattern), plain == std::string::npos ? 0 : plain + 1)
                << pattern << " from " << start;
        }
    }
}
