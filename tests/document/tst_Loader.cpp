// SPDX-License-Identifier: MIT
#include "Helpers.h"
#include "ScriptGenerator.h"

#include <memory>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// Loads one element line inside a soundscape block and returns that element's node.
struct Element {
    std::string text, value, above, beside;
};

Element loadElement(const std::string& line, const std::string& after = "") {
    const std::string script = crlf({"\"s\"", "{", line, after, "}"});
    LoadResult result = mustLoad(script);
    const Node* node = result.tree.first()->child(0);
    const NodeData* data = node->data();
    return {node->text(), data ? data->value : "-", data ? data->commentsAbove : "-",
            data ? data->commentBeside : "-"};
}

struct CutCase {
    const char* name;
    std::string line;
    std::string text, value, beside;
    friend void PrintTo(const CutCase& c, std::ostream* os) { *os << c.line; }
};

class KeyValueCut : public ::testing::TestWithParam<CutCase> {};

TEST_P(KeyValueCut, CutsTheLineIntoKeyValueAndComment) {
    const CutCase& c = GetParam();
    const Element e = loadElement(c.line);
    EXPECT_EQ(e.text, c.text);
    EXPECT_EQ(e.value, c.value);
    EXPECT_EQ(e.beside, c.beside);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, KeyValueCut,
    ::testing::Values(
        CutCase{"QuotedValueKeepsInnerBlank", "\"volume\"\t\"0.35, 0.5\"", "\"volume\"", "\"0.35, 0.5\"", ""},
        CutCase{"NoBlankKeepsWholeText", "\"rndwave\"", "\"rndwave\"", "", ""},
        CutCase{"RunsOfBlanksCollapse", "  \"wave\"   \"a   b\"   ", "\"wave\"", "\"a b\"", ""},
        CutCase{"BesideComment", "\"wave\" \"wave file name\" // it rains", "\"wave\"", "\"wave file name\"",
                " it rains"},
        CutCase{"SlashesAndBracesInCommentStay", "\"dsp\" \"1\" //a/b//c { }", "\"dsp\"", "\"1\"",
                "a/b//c { }"},
        CutCase{"TabsInCommentStayAndTheEndIsLayout", "\"dsp\" \"1\" //\ta\tb \t ", "\"dsp\"", "\"1\"",
                "\ta\tb"},
        CutCase{"ControlCharactersInCommentStay", std::string("\"dsp\"\x01\"1\" //\x01\0x", 15), "\"dsp\"",
                "\"1\"", std::string("\x01\0x", 3)},
        CutCase{"ValueCutAtDoubleSlash", "\"wave\" \"http://x\"", "\"wave\"", "\"http:", "x\""},
        CutCase{"UnquotedKeyBeforeQuote", "volume \"0.5\"", "volume", "\"0.5\"", ""},
        CutCase{"TwoBlanksBeforeQuoteCutAtSecondBlank", "a b \"c\"", "a b", "\"c\"", ""},
        CutCase{"UnquotedPair", "volume 0.5", "volume", "0.5", ""},
        CutCase{"UnquotedThreeWordsCutAtSecondBlank", "a b c", "a b", "c", ""},
        CutCase{"VariableKeepsEveryWord", "$wind strong and cold", "$wind", "strong and cold", ""},
        CutCase{"TabsBecomeBlanks", "\"pitch\"\t\t\"100\"", "\"pitch\"", "\"100\"", ""},
        CutCase{"UnterminatedQuoteStaysWhole", "\"abc def", "\"abc def", "", ""},
        CutCase{"RealWorldSoundlevel", "\"soundlevel\" \t\"SNDLVL_60dB\"", "\"soundlevel\"",
                "\"SNDLVL_60dB\"", ""}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Loader, CommentLinesAboveStayLinesWithTheirText) {
    const Element e = loadElement("\"dsp\" \"1\"", "");
    EXPECT_EQ(e.above, "");
    LoadResult r =
        mustLoad(crlf({"\"s\"", "{", "// first / line", "\t//  second", "//", "////", "\"dsp\" \"1\"", "}"}));
    const NodeData* data = r.tree.first()->child(0)->data();
    EXPECT_EQ(data->commentsAbove, " first / line\r  second\r\r//\r");
    EXPECT_EQ(data->commentBeside, "");
}

TEST(Loader, CommentsAboveAndBesideStayApart) {
    LoadResult r = mustLoad(crlf({"\"s\"", "{", "// above", "\"dsp\" \"1\" // beside", "}"}));
    const NodeData* data = r.tree.first()->child(0)->data();
    EXPECT_EQ(data->commentsAbove, " above\r");
    EXPECT_EQ(data->commentBeside, " beside");
}

TEST(Loader, BuildsLevelsImagesAndTheEndMarker) {
    LoadResult r = mustLoad(crlf({"\"s\"", "{", "\"playlooping\"", "{", "\"wave\" \"a.wav\"", "}", "}"}));
    EXPECT_EQ(describe(r.tree), (std::vector<std::string>{"0|\"s\"|||", "1|\"playlooping\"|||",
                                                          "2|\"wave\"|\"a.wav\"||", "0||-"}));
    const auto& order = r.tree.preorder();
    EXPECT_EQ(order[0]->image(), ImageHeader);
    EXPECT_EQ(order[0]->selectedImage(), ImageHeaderSelected);
    EXPECT_EQ(order[2]->image(), ImageParameter);
    EXPECT_EQ(order[2]->selectedImage(), ImageParameterSelected);
    EXPECT_EQ(order[3]->image(), ImageEndMarker);
    EXPECT_EQ(order[3]->selectedImage(), ImageEndMarker);
    EXPECT_FALSE(order[3]->hasData());
    EXPECT_TRUE(r.messages.empty());
}

TEST(Loader, LastLineBecomesTheEndMarkerText) {
    // Two comment lines after the last brace: the first is a comment of the top level, kept before
    // the end marker; the second is the end marker.
    LoadResult r = mustLoad("\"s\"\n{\n\"a\" \"1\"\n}\n// one\n// two");
    EXPECT_EQ(r.tree.size(), 3u);
    EXPECT_EQ(r.tree.last()->text(), "// two");
    EXPECT_FALSE(r.tree.last()->hasData());
    EXPECT_EQ(describe(r.tree),
              (std::vector<std::string>{"0|\"s\"|||", "1|\"a\"|\"1\"||", "0|// two|-", "top: one\r"}));
}

TEST(Loader, BraceOnTheHeaderLineOpensItsBlock) {
    LoadResult own = mustLoad(crlf({"\"s\"", "{", "\"playlooping\"", "{", "\"wave\" \"a\"", "}", "}"}));
    LoadResult same = mustLoad(crlf({"\"s\" {", "\"playlooping\" {", "\"wave\" \"a\" }", "}"}));
    EXPECT_EQ(describe(same.tree), describe(own.tree));
    EXPECT_EQ(same.tree.first()->child(0)->childCount(), 1);
}

TEST(Loader, UnquotedHeaderWithBraceOnItsLineKeepsItsName) {
    LoadResult r = mustLoad("soundscapes_manifest {\n\"file\" \"a.txt\"\n}\n");
    EXPECT_EQ(r.tree.first()->text(), "soundscapes_manifest");
    EXPECT_EQ(r.tree.first()->data()->value, "");
}

TEST(Loader, FirstLineBraceMakesTheFirstElementTopLevel) {
    LoadResult r = mustLoad(crlf({"{", "\"a\" \"1\"", "\"b\" \"2\"", "}"}));
    EXPECT_EQ(describe(r.tree), (std::vector<std::string>{"0|\"a\"|\"1\"||", "1|\"b\"|\"2\"||", "0||-"}));
}

TEST(Loader, LevelJumpStopsTheLoadWithAWarning) {
    LoadResult r = loadScript(crlf({"\"s\"", "{", "{", "\"a\" \"1\"", "}", "}", "\"t\""}));
    EXPECT_TRUE(r.levelError);
    EXPECT_EQ(r.levelErrorLine, 4u); // "a" would stand two levels below "s"
    ASSERT_FALSE(r.messages.empty());
    EXPECT_EQ(r.messages[0], (Message{"Error load Level", "Load Tree", MessageIcon::Error}));
    // Only the header was built: it is the end marker and has no data.
    EXPECT_TRUE(r.ok());
    EXPECT_EQ(r.tree.size(), 1u);
    EXPECT_FALSE(r.tree.first()->hasData());
    EXPECT_EQ(r.tree.first()->image(), ImageEndMarker);
}

TEST(Loader, LevelJumpLeavingADeepLastNodeFails) {
    LoadResult r = loadScript(crlf({"\"s\"", "{", "\"a\"", "{", "{", "\"b\"", "}", "}", "}"}));
    EXPECT_TRUE(r.levelError);
    EXPECT_EQ(r.failure, LoadFailure::LoadError);
    ASSERT_EQ(r.messages.size(), 2u);
    EXPECT_EQ(r.messages[1], (Message{"Ошибка загрузки файла", "Открыть файл", MessageIcon::Error}));
}

TEST(Loader, LinesOfBlanksTabsAndControlCharactersAreBlankAtEveryDepth) {
    const std::string rnd = crlf({"\"s\"", "{", "\"playrandom\"", "{", "\"rndwave\"", "{", "\"wave\" \"a\"",
                                  "   ", "\"wave\" \"b\"", "\t\t\t  \x01", "}", "}", "\"playlooping\"", "{",
                                  "\"wave\" \"c\"", std::string("\t\0\x1a", 3), "}", "}"});
    LoadResult r = mustLoad(rnd);
    const Node* list = r.tree.first()->child(0)->child(0);
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(1)->text(), "\"wave\"");
    EXPECT_EQ(r.tree.first()->child(1)->childCount(), 1);
    EXPECT_EQ(canonical(canonical(rnd)), canonical(rnd));
}

struct BraceCase {
    const char* name;
    std::string script;
    bool loads;
    std::string message;
    std::size_t line;
    friend void PrintTo(const BraceCase& c, std::ostream* os) { *os << c.name; }
};

class BraceCheck : public ::testing::TestWithParam<BraceCase> {};

TEST_P(BraceCheck, AcceptsOrRejectsTheFileNamingTheLine) {
    LoadResult r = loadScript(GetParam().script);
    if (GetParam().loads) {
        EXPECT_TRUE(r.ok());
        return;
    }
    EXPECT_EQ(r.failure, LoadFailure::BraceCheck);
    EXPECT_TRUE(r.tree.empty());
    ASSERT_EQ(r.messages.size(), 1u);
    EXPECT_EQ(r.messages[0].text, GetParam().message);
    EXPECT_EQ(r.braces.line, GetParam().line);
    EXPECT_EQ(loadtext::braceLineText(r.braces).empty(), GetParam().line == 0);
    EXPECT_EQ(r.messages[0].caption, "Загрузка файла");
    EXPECT_EQ(r.messages[0].icon, MessageIcon::Error);
}

const std::string Base = "Ошибка. Не найдена одна или несколько открывающих(закрывающих) фигурных скобок. "
                         "Или файл непригоден для загрузки в программу.";

INSTANTIATE_TEST_SUITE_P(
    Files, BraceCheck,
    ::testing::Values(
        BraceCase{"Empty", "", false, Base, 0},
        BraceCase{"NoOpening", "\"a\"\n}\n", false,
                  Base + " Строка 2: закрывающая скобка «}» без открывающей.", 2},
        BraceCase{"NoClosing", "\"a\"\n{\n", false, Base + " Строка 2: открывающая скобка «{» не закрыта.",
                  2},
        BraceCase{"OddTotalNamesTheFirstBraceLeftOpen", "\"a\"\n{\n\"b\" {\n}\n", false,
                  Base + " Строка 2: открывающая скобка «{» не закрыта.", 2},
        BraceCase{"FirstUnmatchedClose", "\"a\"\n{\n}\n\"b\" \"1\" }\n{\n}\n", false,
                  Base + " Строка 4: закрывающая скобка «}» без открывающей.", 4},
        BraceCase{"BraceInsideQuotes", "\"a\"\n{\n\"wave\" \"x{y\"\n}\n", false,
                  Base + " Строка 3: фигурная скобка внутри кавычек.", 3},
        BraceCase{"BraceAfterAnUnterminatedQuote", "\"a\"\n{\n\"wave\" \"x }\n}\n", false,
                  Base + " Строка 3: фигурная скобка внутри кавычек.", 3},
        BraceCase{"ThreeOpenOneClose", "\"a\"\n{\n{\n{\n\"b\"\n}\n", true, "", 0},
        BraceCase{"OnlyCommentedBraces", "// {\n// }\n", false, Base, 0},
        BraceCase{"CommentQuotesAClosingBrace",
                  "// table: the character } ends a block\n\"a\"\n{\n\"b\" \"1\"\n}\n", true, "", 0},
        BraceCase{"BraceInBesideComment", "\"a\" // {\n{\n\"b\" \"1\"\n}\n", true, "", 0},
        BraceCase{"BraceInQuotesInsideAComment", "\"a\" // \"{\"\n{\n\"b\" \"1\"\n}\n", true, "", 0},
        BraceCase{"QuotedDoubleSlashDoesNotHideABrace", "\"a//b\" {\n\"b\" \"1\"\n}\n", true, "", 0}),
    [](const auto& p) { return std::string(p.param.name); });

TEST(Loader, CommentBetweenHeaderAndBraceGoesIntoTheBlock) {
    LoadResult r = mustLoad(crlf({"\"s\"", "// about the block", "{", "\"dsp\" \"1\"", "\"playlooping\"",
                                  "// loop", "{", "\"wave\" \"a\"", "}", "}", "\"t\"", "//only", "{", "}"}));
    EXPECT_EQ(describe(r.tree), (std::vector<std::string>{"0|\"s\"|||", "1|\"dsp\"|\"1\"| about the block\r|",
                                                          "1|\"playlooping\"|||", "2|\"wave\"|\"a\"| loop\r|",
                                                          "0|\"t\"||||trailing:only\r|{}", "0||-"}));
}

TEST(Loader, CommentOpeningAnUnnamedBlockKeepsItsElements) {
    LoadResult r = mustLoad(crlf({"\"s\"", "{", "// unnamed", "{", "\"a\" \"1\"", "}", "\"b\" \"2\"", "}"}));
    EXPECT_EQ(describe(r.tree), (std::vector<std::string>{"0|\"s\"|||", "1|\"a\"|\"1\"| unnamed\r|",
                                                          "1|\"b\"|\"2\"||", "0||-"}));
}

TEST(Loader, TreeFromLinesFollowsTheIndentation) {
    SectionTree tree;
    EXPECT_TRUE(buildTreeFromLines(tree, {"\t\ta", "\tb", "\t\tc", " \t d", "e"}));
    std::vector<std::string> levels;
    for (const Node* node : tree.preorder())
        levels.push_back(std::to_string(node->level()) + node->text());
    EXPECT_EQ(levels, (std::vector<std::string>{"0a", "1b", "2c", "3d", "0e"}));
    EXPECT_FALSE(buildTreeFromLines(tree, {"a", "\t\tb"}));
    EXPECT_EQ(tree.size(), 1u);
}

TEST(Loader, MissingFileIsAReadError) {
    LoadResult r = loadScriptFile("/nonexistent/folder/soundscapes.txt");
    EXPECT_EQ(r.failure, LoadFailure::ReadError);
    EXPECT_FALSE(r.readError.empty());
    EXPECT_TRUE(r.tree.empty());
}

TEST(Loader, MalformedBytesNeverCrash) {
    std::vector<std::string> inputs = {
        bytes("\"a\"\n{\n\"b\" \"\0x\"\n}\n"),
        "\"a\"\r{\r\"b\" \"1\"\r}\r",
        "}}}}{{{{",
        "{\n}\n}\n}\n{\n{",
        std::string(10 * 1024 * 1024, 'x') + "\n{\n}\n",
        "\"a\" {{{ }}} \"b\"\n{\n}\n",
        "//\n{\n//\n}\n//",
        "$\n{\n$ $ $\n}\n",
    };
    std::string garbage;
    for (int i = 0; i < 4096; ++i)
        garbage.push_back(static_cast<char>((i * 7919) % 256));
    inputs.push_back(garbage + "{}");
    for (const std::string& input : inputs) {
        LoadResult r = loadScript(input);
        if (!r.ok())
            continue;
        WriteResult w = writeScript(r.tree);
        if (w.ok) {
            EXPECT_EQ(canonical(w.bytes), w.bytes);
        }
    }
}

TEST(Loader, NulByteIsAControlCharacterAndEndsNothing) {
    LoadResult r = mustLoad(bytes("\"s\"\n{\n\"a\"\0\"1\" //x\0y\n\0\n}\n\"t\"\n{\n\"b\" \"2\"\n}\n"));
    EXPECT_EQ(describe(r.tree), (std::vector<std::string>{"0|\"s\"|||", "1|\"a\"|\"1\"||" + bytes("x\0y"),
                                                          "0|\"t\"|||", "1|\"b\"|\"2\"||", "0||-"}));
}

TEST(Loader, ByteOrderMarkIsRememberedAndNoText) {
    LoadResult r = mustLoad("\xEF\xBB\xBF// \xC3\xA9t\xC3\xA9\r\n\"s\"\r\n{\r\n\"a\" \"1\"\r\n}\r\n");
    EXPECT_TRUE(r.tree.byteOrderMark());
    EXPECT_EQ(r.encoding, ScriptEncoding::Utf8);
    EXPECT_EQ(describe(r.tree),
              (std::vector<std::string>{"0|\"s\"|| \xC3\xA9t\xC3\xA9\r|", "1|\"a\"|\"1\"||", "0||-"}));
    const std::string written = writeScript(r.tree).bytes;
    EXPECT_TRUE(written.starts_with("\xEF\xBB\xBF// \xC3\xA9t\xC3\xA9\r\n\"s\" \r\n")) << written;
    EXPECT_EQ(canonical(written), written);
    EXPECT_FALSE(mustLoad("\"s\"\n{\n}\n").tree.byteOrderMark());
    EXPECT_EQ(mustLoad("\"s\"\n{\n}\n").encoding, ScriptEncoding::Windows1251);
    // Text of ASCII only keeps the encoding it is given: the text tab's text of a UTF-8 document.
    EXPECT_EQ(loadScript("\"s\"\n{\n}\n", ScriptEncoding::Utf8).encoding, ScriptEncoding::Utf8);
    EXPECT_EQ(loadScript("// \xC7\n\"s\"\n{\n}\n", ScriptEncoding::Utf8).encoding,
              ScriptEncoding::Windows1251);
    // Before the first text, after blank lines: still the byte-order mark, which a save puts first.
    LoadResult late = mustLoad("\r\n {} \xEF\xBB\xBF//x\r\n\"s\"\r\n{\r\n}\r\n");
    EXPECT_TRUE(late.tree.byteOrderMark());
    EXPECT_EQ(describe(late.tree), (std::vector<std::string>{"0|\"s\"||x\r||{}", "0||-"}));
    // After the first text it is text.
    LoadResult inside = mustLoad("\"s\"\r\n{\r\n\xEF\xBB\xBF\"a\" \"1\"\r\n}\r\n");
    EXPECT_FALSE(inside.tree.byteOrderMark());
    EXPECT_TRUE(inside.tree.first()->child(0)->text().starts_with("\xEF\xBB\xBF"));
}

} // namespace

// A large document's blocks are kept for the next load when it goes: a document loaded into them
// (and into new ones beside them) must be whole, and the same however often that happens.
TEST(Loader, LargeDocumentsLoadedOneAfterAnotherAreTheSame) {
    const std::string script = bench::generateScript(150000, 9);
    const std::string first = canonical(script);
    ASSERT_GT(first.size(), script.size() / 2);
    for (int round = 0; round < 2; ++round) {
        auto other = std::make_unique<LoadResult>(mustLoad(bench::generateScript(60000, 4)));
        EXPECT_EQ(canonical(script), first) << "round " << round;
        other.reset();
        EXPECT_EQ(canonical(script), first) << "round " << round;
    }
}
