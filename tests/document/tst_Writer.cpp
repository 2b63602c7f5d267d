// SPDX-License-Identifier: MIT
#include "Helpers.h"
#include "ScriptGenerator.h"
#include "document/Cp1251.h"
#include "document/Templates.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#if defined(__linux__)
#include <sys/resource.h>
#endif

using namespace tonvale;
using namespace tonvale::testing;

namespace {

std::string fullTemplate() {
    std::vector<std::string> lines;
    appendDefaultBlocks(lines);
    return crlf(lines);
}

// Builds "tabs + content + trailing blanks" lines of the canonical layout.
std::string row(int tabs, const std::string& content, int blanks) {
    return std::string(static_cast<std::size_t>(tabs), '\t') + content +
           std::string(static_cast<std::size_t>(blanks), ' ');
}

} // namespace

TEST(Writer, FullNewFileTemplateGivesTheCanonicalTwentyFourLines) {
    const std::string six = "      ";
    const std::string comment = utf8ToCp1251(
        "//soundscapes_myfile. Создана секция по умолчанию \"myfile.defsection\".Чтобы изменить ее название "
        "выберите из главного меню \"Правка\" -> \"Изменить\".");
    // The comment line loses its "/" characters inside the text: they become blanks, then the text is
    // trimmed; the template's "->" has none, so only the leading "//" goes and comes back.
    const std::vector<std::string> expected = {
        comment,
        row(0, "\"myfile.defsection\"", 1),
        row(1, "{", 0),
        row(0, "", 0),
        row(1, "\"dsp\"" + six + "\"0\"", 2),
        row(1, "\"playlooping\"", 1),
        row(2, "{", 0),
        row(2, "\"volume\"" + six + "\"0.5\"", 2),
        row(2, "\"wave\"" + six + "\"wave file name\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 3),
        row(1, "}", 1),
        row(1, "\"playrandom\"", 1),
        row(2, "{", 0),
        row(2, "\"time\"" + six + "\"1,6\"", 2),
        row(2, "\"volume\"" + six + "\"0.5,1.0\"", 2),
        row(2, "\"pitch\"" + six + "\"100\"", 2),
        row(2, "\"rndwave\"", 1),
        row(3, "{", 0),
        row(3, "\"wave\"" + six + "\"first wave file name\"", 2),
        row(3, "\"wave\"" + six + "\"second wave file name\"", 3),
        row(3, "}", 2),
        row(3, "}", 2),
        row(3, "}", 1),
        row(0, "", 0),
    };
    const std::string first = canonical(fullTemplate());
    EXPECT_EQ(first, crlf(expected));
    EXPECT_EQ(canonical(first), first);
}

namespace {

// A tree built by hand: soundscape "s" with the given children, then an empty end marker.
struct Doc {
    SectionTree tree;
    Node* soundscape;
    Doc() {
        soundscape = tree.append(nullptr, "\"s\"");
        tree.ensureData(soundscape);
    }
    Node* add(Node* parent, const std::string& text, const std::string& value = "",
              const std::string& above = "", const std::string& beside = "") {
        Node* node = tree.append(parent, text);
        NodeData& data = tree.ensureData(node);
        data.value = value;
        data.commentsAbove = above;
        data.commentBeside = beside;
        return node;
    }
    std::string write() {
        if (tree.last() == nullptr || tree.last()->level() != 0 || tree.last()->hasData())
            tree.append(nullptr, "");
        WriteResult w = writeScript(tree);
        EXPECT_TRUE(w.ok) << w.message.text;
        return w.bytes;
    }
};

} // namespace

TEST(Writer, ValueAndBesideCommentLayout) {
    Doc doc;
    doc.add(doc.soundscape, "\"wave\"", "\"a.wav\"", "", "rain");
    doc.add(doc.soundscape, "\"dsp\"", "", "", "no value");
    doc.add(doc.soundscape, "\"pitch\"", "\"100\"");
    EXPECT_EQ(doc.write(), crlf({"\"s\" ", "\t{", "\t\"wave\"      \"a.wav\"    //rain",
                                 "\t\"dsp\"  //no value", "\t\"pitch\"      \"100\"   ", "\t} ", ""}));
}

TEST(Writer, CommentsAboveBecomeLinesFollowedByAnEmptyLine) {
    Doc doc;
    // Every line of CommentsAbove is followed by a CR; the last CR ends the last line.
    doc.add(doc.soundscape, "\"dsp\"", "\"1\"", "first\r\rthird {/}\r");
    EXPECT_EQ(doc.write(), crlf({"\"s\" ", "\t{", "//first", "//", "//third {/}", "\t\"dsp\"      \"1\"   ",
                                 "\t} ", "", ""}));
}

TEST(Writer, ScriptWithoutBlocksGetsABraceLineFirst) {
    SectionTree tree;
    tree.ensureData(tree.append(nullptr, "\"a\"")).value = "\"1\"";
    tree.append(nullptr, "");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok);
    // After the element, the "{" would open the element's block.
    EXPECT_EQ(w.bytes, crlf({"{}", "\"a\"      \"1\"  ", ""}));
    EXPECT_EQ(canonical(w.bytes), w.bytes);
    EXPECT_EQ(describe(mustLoad(w.bytes).tree), describe(tree));
}

TEST(Writer, ScriptWithoutBlocksKeepsItsTrailingComment) {
    LoadResult r = mustLoad(crlf({"\"a\" \"1\"", "// note", "{", "}", "// the end"}));
    ASSERT_EQ(r.tree.last()->text(), "// the end");
    WriteResult first = writeScript(r.tree);
    ASSERT_TRUE(first.ok);
    EXPECT_EQ(first.bytes, crlf({"\"a\"      \"1\"   ", "\t{", "\t// note", "\t} ", "// the end"}));
    LoadResult again = mustLoad(first.bytes);
    EXPECT_EQ(again.tree.last()->text(), "// the end");
    EXPECT_EQ(canonical(first.bytes), first.bytes);
}

TEST(Writer, EmptyBlocksKeepTheirBraces) {
    SectionTree tree;
    Node* empty = tree.append(nullptr, "\"empty\"");
    tree.ensureData(empty).block = true;
    Node* s = tree.append(nullptr, "\"s\"");
    tree.ensureData(s);
    Node* list = tree.append(s, "\"rndwave\"");
    tree.ensureData(list).block = true;
    tree.append(nullptr, "");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok) << w.message.text;
    EXPECT_EQ(w.bytes, crlf({"\"empty\" ", "\t{", "\t} ", "\"s\" ", "\t{", "\t\"rndwave\" ", "\t\t{",
                             "\t\t}  ", "\t\t} ", ""}));
    EXPECT_EQ(describe(mustLoad(w.bytes).tree), describe(tree));
}

TEST(Writer, TrailingCommentsCloseTheirBlockAtItsIndentation) {
    SectionTree tree;
    Node* s = tree.append(nullptr, "\"s\"");
    tree.ensureData(s).trailingComments = "}\r//\"off\"\r";
    Node* loop = tree.append(s, "\"playlooping\"");
    tree.ensureData(loop).trailingComments = "\t\"wave\" \"a/b.wav\"\r";
    Node* wave = tree.append(loop, "\"wave\"");
    tree.ensureData(wave).value = "\"x\"";
    tree.append(nullptr, "");
    tree.setTopLevelComments(" end of file {\r");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok) << w.message.text;
    EXPECT_EQ(w.bytes, crlf({"\"s\" ", "\t{", "\t\"playlooping\" ", "\t\t{", "\t\t\"wave\"      \"x\"   ",
                             "\t\t//\t\"wave\" \"a/b.wav\"", "\t} ", "\t//}", "\t////\"off\"", "\t} ",
                             "// end of file {", ""}));
    EXPECT_EQ(describe(mustLoad(w.bytes).tree), describe(tree));
}

TEST(Writer, VariableWithChildrenStillOpensItsBlock) {
    SectionTree tree;
    Node* var = tree.append(nullptr, "$group");
    tree.ensureData(var);
    tree.ensureData(tree.append(var, "\"a\"")).value = "\"1\"";
    tree.ensureData(tree.append(nullptr, "$flat")).value = "on";
    tree.append(nullptr, "");
    WriteResult w = writeScript(tree);
    ASSERT_TRUE(w.ok) << w.message.text;
    EXPECT_EQ(w.bytes, crlf({"$group ", "\t{", "\t\"a\"      \"1\"   ", "\t} ", "$flat      on  ", ""}));
    LoadResult back = mustLoad(w.bytes);
    EXPECT_EQ(describe(back.tree), describe(tree));
}

TEST(Writer, TooFewNodesIsReported) {
    SectionTree empty;
    WriteResult w = writeScript(empty);
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.message, (Message{"Файл не имеет данных", "Сохранить файл", MessageIcon::Error}));
    SectionTree one;
    one.append(nullptr, "soundscapes_manifest");
    EXPECT_FALSE(writeScript(one).ok);
}

TEST(Writer, BracesInTextsAreRefusedAndBracesInCommentsWritten) {
    Doc commented;
    commented.add(commented.soundscape, "\"a\"", "\"1\"", "{\r", "}");
    EXPECT_EQ(commented.write(),
              crlf({"\"s\" ", "\t{", "//{", "\t\"a\"      \"1\"    //} ", "\t} ", "", ""}));
    Doc doc;
    doc.add(doc.soundscape, "\"a\"", "\"{\"");
    doc.tree.append(nullptr, "");
    WriteResult w = writeScript(doc.tree);
    EXPECT_FALSE(w.ok);
    EXPECT_EQ(w.message.text, "Ошибка! Не могу создать файл нужного формата");
    EXPECT_TRUE(w.bytes.empty());
}

// The text goes to the sink in chunks of bounded size; a sink that asks to stop gets nothing more, and
// a tree that cannot be written sends nothing at all.
TEST(Writer, StreamingStopsWhenTheSinkAsksAndRefusalsSendNothing) {
    const LoadResult r = mustLoad(bench::generateScript(20000));
    const std::string whole = writeScript(r.tree).bytes;
    ASSERT_GT(whole.size(), std::size_t{300000});
    std::string streamed;
    std::size_t largest = 0;
    EXPECT_EQ(streamScript(
                  r.tree,
                  [&](std::string_view chunk) {
                      streamed.append(chunk);
                      largest = std::max(largest, chunk.size());
                      return true;
                  },
                  nullptr),
              WriteOutcome::Written);
    EXPECT_EQ(streamed, whole);
    EXPECT_LE(largest, std::size_t{1} << 17);

    int calls = 0;
    EXPECT_EQ(streamScript(
                  r.tree,
                  [&calls](std::string_view) {
                      ++calls;
                      return false;
                  },
                  nullptr),
              WriteOutcome::Stopped);
    EXPECT_EQ(calls, 1);

    Doc doc;
    doc.add(doc.soundscape, "\"a\"", "\"{\"");
    doc.tree.append(nullptr, "");
    Message failure;
    EXPECT_EQ(streamScript(
                  doc.tree,
                  [&calls](std::string_view) {
                      ++calls;
                      return true;
                  },
                  &failure),
              WriteOutcome::Refused);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(failure.text, "Ошибка! Не могу создать файл нужного формата");
}

#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
namespace {

// Caps the address space at what the process uses now plus 256 MiB, writes the tree into a string and
// exits 0 when that failed with the out-of-memory message and an empty text.
[[noreturn]] void writeWithLittleMemory(const SectionTree& tree) {
    std::size_t pages = 0;
    if (FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%zu", &pages) != 1)
            pages = 0;
        std::fclose(statm);
    }
    const rlim_t cap = static_cast<rlim_t>(pages) * 4096 + (rlim_t{256} << 20);
    const rlimit limit{cap, cap};
    if (pages == 0 || setrlimit(RLIMIT_AS, &limit) != 0)
        std::_Exit(3);
    const WriteResult written = writeScript(tree);
    std::_Exit(!written.ok && written.bytes.empty() && written.message.text == writetext::NoMemory ? 0 : 1);
}

} // namespace
#endif

// A text too large for the memory there is gives the out-of-memory message, never an exception. The
// canonical text of a script nested 30,000 levels deep is about 900 MB (every level indents every line
// below it); in a child process whose address space is capped well below that, writing it must fail.
TEST(Writer, RunningOutOfMemoryIsAFailureWithItsMessage) {
#if defined(__linux__) && !defined(__SANITIZE_ADDRESS__)
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const LoadResult deep = mustLoad(bench::generateDeepScript(30000));
    EXPECT_EXIT(writeWithLittleMemory(deep.tree), ::testing::ExitedWithCode(0), "");
#else
    GTEST_SKIP() << "needs an address-space limit";
#endif
}

TEST(Writer, WritingDoesNotChangeTheTree) {
    LoadResult r = mustLoad(crlf({"// c", "\"s\"", "{", "\"a\" \"1\" // b", "}"}));
    const auto before = describe(r.tree);
    ASSERT_TRUE(writeScript(r.tree).ok);
    EXPECT_EQ(describe(r.tree), before);
}

TEST(Writer, LineBreaksAreAlwaysCrLf) {
    Doc doc;
    doc.add(doc.soundscape, "\"a\"", "\"1\"", "one\rtwo");
    doc.add(doc.soundscape, "\"b\rc\"", "\"x\ny\"");
    const std::string out = doc.write();
    EXPECT_NE(out.find("\t\"b\r\nc\"      \"x\r\ny\"   \r\n"), std::string::npos) << out;
    std::string streamed;
    streamScript(
        doc.tree,
        [&streamed](std::string_view chunk) {
            streamed.append(chunk);
            return true;
        },
        nullptr);
    EXPECT_EQ(streamed, out);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\r') {
            EXPECT_EQ(out[i + 1], '\n') << "lone CR at " << i;
        }
        if (out[i] == '\n') {
            EXPECT_EQ(out[i - 1], '\r') << "lone LF at " << i;
        }
    }
}

namespace {

// A script as people write it, and the exact canonical text it is saved as.
struct LayoutCase {
    const char* name;
    std::string input;
    std::vector<std::string> output; // lines, each followed by CR LF
    friend void PrintTo(const LayoutCase& c, std::ostream* os) { *os << c.name; }
};

class CanonicalLayout : public ::testing::TestWithParam<LayoutCase> {};

} // namespace

TEST_P(CanonicalLayout, KeepsWhatTheUserWroteAndIsStable) {
    const std::string once = canonical(GetParam().input);
    EXPECT_EQ(once, crlf(GetParam().output));
    EXPECT_EQ(canonical(once), once);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CanonicalLayout,
    ::testing::Values(
        LayoutCase{
            "CommentedOutBlockStaysAtTheEndOfItsBlock",
            "\"s\"\n{\n\t\"a\" \"1\"\n\t//\"playsoundscape\"\n\t//{\n\t//\t\"name\"\t\"x\"\n\t//}\n}\n",
            {"\"s\" ", "\t{", "\t\"a\"      \"1\"   ", "\t//\"playsoundscape\"", "\t//{",
             "\t//\t\"name\"\t\"x\"", "\t//}", "\t} ", ""}},
        LayoutCase{
            "CommentTableKeepsItsLines",
            "//------------\n// volume  0.5\n//   pitch 100\n//------------\n\"s\"\n{\n\t\"a\" \"1\"\n}\n",
            {"//------------", "// volume  0.5", "//   pitch 100", "//------------", "\"s\" ", "\t{", "",
             "\t\"a\"      \"1\"   ", "\t} ", ""}},
        LayoutCase{"SlashesInCommentsStay",
                   "\"s\"\n{\n\t//\"wave\" \"ambient/machines/heli_pass1.wav\"\n\t////\n\t\"a\" \"1\" // was "
                   "\"0.5\" / "
                   "now 1\n}\n",
                   {"\"s\" ", "\t{", "//\"wave\" \"ambient/machines/heli_pass1.wav\"", "////",
                    "\t\"a\"      \"1\"    // was \"0.5\" / now 1 ", "\t} ", "", ""}},
        LayoutCase{"BracesSharingALineWithText",
                   "\"s\" {\n\t\"playlooping\" {\n\t\t\"wave\" \"a.wav\" }\n\t\"b\" \"2\" }\n",
                   {"\"s\" ", "\t{", "\t\"playlooping\" ", "\t\t{", "\t\t\"wave\"      \"a.wav\"   ", "\t} ",
                    "\t\"b\"      \"2\"   ", "\t} ", ""}},
        LayoutCase{"BlockOnOneLineAndTwoClosingBraces",
                   "\"s\"\n{ \"a\" \"b\"\n\"c\" { \"d\" \"e\" }}\n",
                   {"\"s\" ", "\t{", "\t\"a\"      \"b\"  ", "\t\"c\" ", "\t\t{", "\t\t\"d\"      \"e\"   ",
                    "\t\t}  ", "\t\t} ", ""}},
        LayoutCase{"LinesOfBlanksBeforeAClosingBrace",
                   "\"s\"\n{\n\t\"rndwave\"\n\t{\n\t\t\"wave\" \"a\"\n\t\t\t\t\n    \n\t\t\"wave\" "
                   "\"b\"\n\t\t\t\n\t}\n}\n",
                   {"\"s\" ", "\t{", "\t\"rndwave\" ", "\t\t{", "\t\t\"wave\"      \"a\"  ",
                    "\t\t\"wave\"      \"b\"   ", "\t\t}  ", "\t\t} ", ""}},
        LayoutCase{"EmptySoundscapeKeepsItsBlock",
                   "\"empty\"\n{\n}\n\"next\"\n{\n\t\"a\" \"1\"\n}\n",
                   {"\"empty\" ", "\t{", "\t} ", "\"next\" ", "\t{", "\t\"a\"      \"1\"   ", "\t} ", ""}},
        LayoutCase{"CommentsAfterTheLastBlock",
                   "\"s\"\n{\n\t\"a\" \"1\"\n}\n// one\n//two {\n// last\n",
                   {"\"s\" ", "\t{", "\t\"a\"      \"1\"   ", "\t} ", "// one", "//two {", "// last"}},
        LayoutCase{"CommentsBesideBracesStayInTheirBlock",
                   "\"s\"\n{\n\t\"a\" \"1\"\n} // end of s\n\"t\" { // about t\n\t\"b\" \"2\"\n}\n",
                   {"\"s\" ", "\t{", "\t\"a\"      \"1\"   ", "\t} ", "// end of s", "\"t\" ", "\t{", "",
                    "// about t", "\t\"b\"      \"2\"   ", "\t} ", "", ""}},
        LayoutCase{"OneLineManifest", "soundscapes_manifest{}", {"soundscapes_manifest ", "\t{", "\t} ", ""}},
        LayoutCase{"NulIsABlankInElementsAndKeptInComments",
                   std::string("\"s\"\n{\n\t\"a\"\0\"1\"\0 //x\0y\n\0\n\t\"b\" \"2\"\n}\n", 35),
                   {"\"s\" ", "\t{", std::string("\t\"a\"      \"1\"    //x\0y", 22), "\t\"b\"      \"2\"   ",
                    "\t} ", ""}}),
    [](const auto& p) { return std::string(p.param.name); });
