// SPDX-License-Identifier: MIT
// Rename, values, comments, delete and drag-and-drop moves of the section tree.
#include "EditChecks.h"
#include "document/Cp1251.h"

using namespace tonvale;
using namespace tonvale::testing;

namespace {

std::string twoSoundscapes() {
    return crlf({
        "\"one\"",
        "{",
        "\t\"dsp\"\t\"1\"",
        "\t\"playlooping\"",
        "\t{",
        "\t\t\"wave\"\t\"a.wav\"",
        "\t\t\"volume\"\t\"0.5\"",
        "\t}",
        "\t\"playrandom\"",
        "\t{",
        "\t\t\"time\"\t\"1,5\"",
        "\t\t\"rndwave\"",
        "\t\t{",
        "\t\t\t\"wave\"\t\"x.wav\"",
        "\t\t\t\"wave\"\t\"y.wav\"",
        "\t\t}",
        "\t}",
        "}",
        "\"two\"",
        "{",
        "\t\"dsp\"\t\"2\"",
        "\tdsp2 5",
        "}",
    });
}

struct NameCase {
    const char* typed;
    const char* expected;
};

TEST(NameNormalisation, QuotesBecomeBlanksAndTheNameIsQuotedOnce) {
    const NameCase cases[] = {
        {"volume", "\"volume\""},
        {"\"volume\"", "\"volume\""},
        {"  playlooping ", "\"playlooping\""},
        {"", "\"\""},
        {"a\"b", "\"a b\""},
        {"\"a\"  \"b\"", "\"a b\""},
        {"tab\tand{brace}", "\"tab andbrace\""},
        {"two\r\nlines", "\"two lines\""},
        {"path//to", "\"path/to\""},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(normalizeName(c.typed), c.expected) << c.typed;
}

TEST(Rename, KeepsQuotesAsTypedWhenTheLineReadsBack) {
    const NameCase cases[] = {
        {"\"renamed\"", "\"renamed\""}, {"renamed", "renamed"}, {"  \"padded\"  ", "\"padded\""},
        {"two words", "two words"}, // before a quoted value an unquoted two-word key reads back
        {"\"a\"b\"", "\"a b\""},    // would be cut after "a": normalised
        {"a\"b c", "\"a b c\""},
    };
    for (const NameCase& c : cases) {
        SectionTree tree = mustLoad(twoSoundscapes()).tree;
        Node* dsp = findNode(tree, "\"dsp\"");
        ModelMirror mirror(tree);
        EXPECT_TRUE(renameNode(tree, dsp, c.typed, &mirror).changed) << c.typed;
        EXPECT_EQ(dsp->text(), c.expected);
        EXPECT_EQ(dataOf(dsp).value, "\"1\"");
        EXPECT_TRUE(mirror.reportedChange(dsp));
    }
}

TEST(Rename, BlanksOrTheEndMarkerChangeNothing) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    ModelMirror mirror(tree);
    const std::vector<std::string> before = describe(tree);
    for (const char* typed : {"", "   ", "\t", "{}", "\r\n"})
        EXPECT_FALSE(renameNode(tree, findNode(tree, "\"one\""), typed, &mirror).changed);
    EXPECT_FALSE(renameNode(tree, tree.last(), "\"end\"", &mirror).changed);
    EXPECT_FALSE(renameNode(tree, nullptr, "x", &mirror).changed);
    EXPECT_EQ(describe(tree), before);
    EXPECT_FALSE(mirror.reportedChange(findNode(tree, "\"one\"")));
}

TEST(Rename, WordsWithoutAValueAreQuoted) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* header = findNode(tree, "\"playlooping\"");
    renameNode(tree, header, "my block");
    EXPECT_EQ(header->text(), "my block"); // a header keeps an unquoted name whole
    Node* leaf = findNode(tree, "\"rndwave\"")->child(0);
    setNodeValue(tree, leaf, "");
    renameNode(tree, leaf, "my wave"); // a parameter would be cut into key "my" and value "wave"
    EXPECT_EQ(leaf->text(), "\"my wave\"");
}

TEST(NodeValue, IsStoredAsItReadsBack) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* volume = findNode(tree, "\"volume\"");
    EXPECT_TRUE(setNodeValue(tree, volume, " 0.7 "));
    EXPECT_EQ(dataOf(volume).value, "0.7");
    EXPECT_FALSE(setNodeValue(tree, volume, "0.7"));
    EXPECT_TRUE(setNodeValue(tree, volume, "\"0.5,\t1.0\""));
    EXPECT_EQ(dataOf(volume).value, "\"0.5, 1.0\"");
    Node* unquoted = findNode(tree, "dsp2");
    EXPECT_TRUE(setNodeValue(tree, unquoted, "6 7")); // "dsp2 6 7" would read back as key "dsp2 6"
    EXPECT_EQ(dataOf(unquoted).value, "\"6 7\"");
    EXPECT_EQ(unquoted->text(), "dsp2");
    EXPECT_FALSE(setNodeValue(tree, tree.last(), "x"));
}

struct LinesCase {
    std::vector<std::string> (*split)(std::string_view);
    std::string text;
    std::vector<std::string> lines;
};

TEST(Comments, LinesOfCommentsAboveAndOfEditTexts) {
    const LinesCase cases[] = {
        // CommentsAbove: every CR ends a line; text after the last CR is a last line.
        {commentLines, "", {}},
        {commentLines, "a", {"a"}},
        {commentLines, "a\r", {"a"}},
        {commentLines, "\r", {""}},
        {commentLines, "a\r\rb\r", {"a", "", "b"}},
        {commentLines, "a\rb", {"a", "b"}},
        // Multi-line edits: CR LF, CR and LF each end a line.
        {splitEditLines, "", {}},
        {splitEditLines, "a\nb", {"a", "b"}},
        {splitEditLines, "a\r\n", {"a"}},
        {splitEditLines, "\n", {""}},
        {splitEditLines, "a\r\n\r\nb\n", {"a", "", "b"}},
    };
    for (const LinesCase& c : cases)
        EXPECT_EQ(c.split(c.text), c.lines) << c.text;
}

TEST(Comments, SeveralLinesWithEmptyOnesAreStoredWithACarriageReturnAfterEach) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* node = findNode(tree, "\"playlooping\"");
    ModelMirror mirror(tree);
    EXPECT_TRUE(setComments(tree, node, "beside\ttext", {"a", "", "b"}, &mirror));
    EXPECT_EQ(dataOf(node).commentsAbove, "a\r\rb\r");
    EXPECT_EQ(dataOf(node).commentBeside, "beside\ttext"); // a tab is comment text
    EXPECT_EQ(commentLines(dataOf(node).commentsAbove), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_TRUE(mirror.reportedChange(node));
    EXPECT_FALSE(setComments(tree, node, "beside\ttext", {"a", "", "b"}));
    EXPECT_TRUE(setComments(tree, node, "", {}));
    EXPECT_EQ(dataOf(node).commentsAbove, "");
    EXPECT_EQ(dataOf(node).commentBeside, "");
    EXPECT_TRUE(setComments(tree, node, "one\ntwo", {"x\r\ny{}"})); // a break inside a line starts a new one
    EXPECT_EQ(dataOf(node).commentsAbove, "x\ry{}\r");
    EXPECT_EQ(dataOf(node).commentBeside, "one two");
    EXPECT_FALSE(setComments(tree, tree.last(), "x", {}));
}

TEST(Comments, KeepEverySlashBraceAndBlankAndReadBackExactly) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* node = findNode(tree, "\"playlooping\"");
    const std::vector<std::string> above = {"//\"wave\" \"a/b.wav\"", "{", "  }  x", "", "////"};
    ASSERT_TRUE(setComments(tree, node, " beside { / }", above));
    expectReadsBack(tree);
    const LoadResult back = mustLoad(writeScript(tree).bytes);
    const NodeData& data = dataOf(findNode(back.tree, "\"playlooping\""));
    EXPECT_EQ(commentLines(data.commentsAbove), above);
    EXPECT_EQ(data.commentBeside, " beside { / }");
}

TEST(Comments, BracesBesideALineWithAnOpenQuoteWouldBeReadAsABlockAndGo) {
    EXPECT_EQ(besideComment("\"k\"", "\"v\"", "a { b }"), "a { b }");
    EXPECT_EQ(besideComment("\"k\"", "\"v", "a \" } b"), "a \"  b");
    EXPECT_EQ(besideComment("\"k", "", "x{"), "x");
    EXPECT_EQ(besideComment("k", "v", "line\r\nbreak"), "line  break");
}

TEST(Delete, QuestionNamesTheNodeAndWarnsAboutComments) {
    SectionTree tree = mustLoad(crlf({"\"" + utf8ToCp1251("звук") + "\"", "{", "\t\"k\"\t\"v\"", "}"})).tree;
    const Message question = deleteQuestion(*tree.first());
    EXPECT_EQ(question.text, "Вы действительно хотите удалить заголовок (параметр, секцию) [\"звук\"]?\r"
                             "Внимание, комментарии также удаляются.");
    // Below the top level the value and the parent are named too.
    EXPECT_EQ(deleteQuestion(*tree.next(tree.first())).text,
              "Вы действительно хотите удалить заголовок (параметр, секцию) [\"k\" \"v\"] в [\"звук\"]?\r"
              "Внимание, комментарии также удаляются.");
    EXPECT_EQ(moveQuestion(*tree.next(tree.first()), *tree.first()).text,
              "Переместить [\"k\"] в начало [\"звук\"]?\rДа - первым элементом, Нет - последним элементом.");
    EXPECT_EQ(question.caption, "Удалить");
    EXPECT_EQ(question.icon, MessageIcon::Warning);
    SectionTree utf8 = mustLoad("\"звук\"\n{\n\t\"k\"\t\"v\"\n}\n").tree;
    EXPECT_NE(deleteQuestion(*utf8.first(), ScriptEncoding::Utf8).text.find("[\"звук\"]"), std::string::npos);
}

TEST(Delete, RemovesTheSubtreeAndNamesTheNodeToSelect) {
    struct Case {
        const char* text;
        int nth;
        const char* selectAfter; // nullptr: the end marker
    };
    const Case cases[] = {
        {"\"playlooping\"", 0, "\"playrandom\""}, // the node that takes its row
        {"\"playrandom\"", 0, "\"playlooping\""}, // the last child: the one before it
        {"\"time\"", 0, "\"rndwave\""},           {"\"one\"", 0, "\"two\""}, {"\"two\"", 0, nullptr},
    };
    for (const Case& c : cases) {
        SectionTree tree = mustLoad(twoSoundscapes()).tree;
        ModelMirror mirror(tree);
        Node* node = findNode(tree, c.text, c.nth);
        const Node* parent = node->parent();
        const int row = node->row();
        const std::size_t size = tree.size();
        std::size_t subtree = 0;
        for (const Node* n = node; n != nullptr && SectionTree::isWithin(n, node); n = tree.next(n))
            ++subtree;
        const DeleteResult result = deleteNode(tree, node, &mirror);
        ASSERT_TRUE(result.removed) << c.text;
        EXPECT_EQ(result.parent, parent);
        EXPECT_EQ(result.row, row);
        EXPECT_EQ(tree.size(), size - subtree);
        EXPECT_EQ(result.selectAfter, c.selectAfter != nullptr ? findNode(tree, c.selectAfter) : tree.last())
            << c.text;
        mirror.expectInSync();
    }
}

TEST(Delete, OnlyChildLeavesAnEmptyBlockAndTheEndMarkerStays) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* rndwave = findNode(tree, "\"rndwave\"");
    deleteNode(tree, rndwave->child(1));
    const DeleteResult result = deleteNode(tree, rndwave->child(0));
    EXPECT_EQ(result.selectAfter, rndwave);
    EXPECT_FALSE(rndwave->hasChildren());
    // A header without children keeps its braces: a bare "rndwave" would take the next key as its value.
    EXPECT_TRUE(opensBlock(rndwave));
    EXPECT_EQ(rndwave->image(), ImageHeader);
    const std::string written = writeScript(tree).bytes;
    EXPECT_NE(written.find("\t\t\"rndwave\" \r\n\t\t\t{\r\n\t\t\t}  \r\n"), std::string::npos) << written;
    expectReadsBack(tree);
    EXPECT_FALSE(deleteNode(tree, tree.last()).removed);
    EXPECT_FALSE(deleteNode(tree, nullptr).removed);
    deleteNode(tree, findNode(tree, "\"one\""));
    deleteNode(tree, findNode(tree, "\"two\""));
    EXPECT_EQ(tree.size(), 1U);
    EXPECT_TRUE(tree.isEndMarker(tree.first()));
    EXPECT_FALSE(writeScript(tree).ok); // nothing left to write: the writer says so
}

TEST(TrailingComments, TravelWithTheirBlockAndGoWithIt) {
    SectionTree tree =
        mustLoad(crlf({"\"a\"", "{", "\t\"loop\"", "\t{", "\t\t\"wave\" \"x\"", "\t\t//\"wave\" \"off\"",
                       "\t}", "}", "\"b\"", "{", "\t\"dsp\" \"1\"", "}"}))
            .tree;
    Node* loop = findNode(tree, "\"loop\"");
    ASSERT_EQ(dataOf(loop).trailingComments, "\"wave\" \"off\"\r");
    ModelMirror mirror(tree);
    ASSERT_TRUE(moveNode(tree, loop, findNode(tree, "\"b\""), PlacementAnswer::No, &mirror).done());
    mirror.expectInSync();
    expectReadsBack(tree);
    const std::string moved = writeScript(tree).bytes;
    EXPECT_NE(
        moved.find("\"b\" \r\n\t{\r\n\t\"dsp\"      \"1\"  \r\n\t\"loop\" \r\n\t\t{\r\n\t\t\"wave\"      "
                   "\"x\"   \r\n\t\t//\"wave\" \"off\"\r\n\t\t}  \r\n"),
        std::string::npos)
        << moved;
    deleteNode(tree, loop);
    EXPECT_EQ(writeScript(tree).bytes.find("off"), std::string::npos);
}

TEST(Move, YesPutsTheBlockFirstInAnotherSoundscapeWithItsParametersInOrder) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    ModelMirror mirror(tree);
    Node* block = findNode(tree, "\"playrandom\"");
    Node* two = findNode(tree, "\"two\"");
    ASSERT_TRUE(dropMoves(tree, block, two));
    const MoveResult result = moveNode(tree, block, two, PlacementAnswer::Yes, &mirror);
    EXPECT_EQ(result.outcome, MoveOutcome::Moved);
    EXPECT_EQ(result.oldParent, findNode(tree, "\"one\""));
    EXPECT_EQ(result.oldRow, 2);
    EXPECT_EQ(result.newParent, two);
    EXPECT_EQ(result.newRow, 0);
    EXPECT_EQ(describe(tree),
              (std::vector<std::string>{"0|\"one\"|||", "1|\"dsp\"|\"1\"||", "1|\"playlooping\"|||",
                                        "2|\"wave\"|\"a.wav\"||", "2|\"volume\"|\"0.5\"||", "0|\"two\"|||",
                                        "1|\"playrandom\"|||", "2|\"time\"|\"1,5\"||", "2|\"rndwave\"|||",
                                        "3|\"wave\"|\"x.wav\"||", "3|\"wave\"|\"y.wav\"||",
                                        "1|\"dsp\"|\"2\"||", "1|dsp2|5||", "0||-"}));
    mirror.expectInSync();
}

TEST(Move, NoPutsItLastAndAParameterTargetBecomesAHeader) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    ModelMirror mirror(tree);
    Node* block = findNode(tree, "\"playlooping\"");
    Node* target = findNode(tree, "\"dsp\"", 1);
    const MoveResult result = moveNode(tree, block, target, PlacementAnswer::No, &mirror);
    ASSERT_TRUE(result.done());
    EXPECT_EQ(block->parent(), target);
    EXPECT_EQ(block->level(), 2);
    EXPECT_EQ(block->child(1)->level(), 3);
    EXPECT_EQ(target->image(), ImageHeader);
    EXPECT_EQ(target->selectedImage(), ImageHeaderSelected);
    EXPECT_TRUE(mirror.reportedChange(target));
    mirror.expectInSync();
    expectReadsBack(tree);
}

TEST(Move, RefusedIntoItsOwnSubtreeOntoTheEndMarkerAndForTheEndMarker) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* one = findNode(tree, "\"one\"");
    Node* rndwave = findNode(tree, "\"rndwave\"");
    Node* end = tree.last();
    EXPECT_FALSE(dragAccepted(tree, one, rndwave));
    EXPECT_FALSE(dragAccepted(tree, one, one));
    EXPECT_FALSE(dragAccepted(tree, end, one));
    EXPECT_FALSE(dragAccepted(tree, one, nullptr));
    EXPECT_TRUE(dragAccepted(tree, one, end)); // accepted while dragging ...
    EXPECT_FALSE(dropMoves(tree, one, end));   // ... but the drop does nothing
    ModelMirror mirror(tree);
    const std::vector<std::string> before = describe(tree);
    for (const auto answer : {PlacementAnswer::Yes, PlacementAnswer::No}) {
        EXPECT_EQ(moveNode(tree, one, rndwave, answer, &mirror).outcome, MoveOutcome::Refused);
        EXPECT_EQ(moveNode(tree, one, end, answer, &mirror).outcome, MoveOutcome::Refused);
        EXPECT_EQ(moveNode(tree, end, one, answer, &mirror).outcome, MoveOutcome::Refused);
    }
    EXPECT_EQ(moveNode(tree, rndwave, one, PlacementAnswer::Cancel, &mirror).outcome, MoveOutcome::Cancelled);
    EXPECT_EQ(describe(tree), before);
    EXPECT_EQ(mirror.structuralReports(), 0);
}

TEST(Move, WithinTheSameParentToItsOwnPlaceChangesNothing) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* one = findNode(tree, "\"one\"");
    ModelMirror mirror(tree);
    EXPECT_EQ(moveNode(tree, one->child(0), one, PlacementAnswer::Yes, &mirror).outcome,
              MoveOutcome::Unchanged);
    EXPECT_EQ(moveNode(tree, one->child(2), one, PlacementAnswer::No, &mirror).outcome,
              MoveOutcome::Unchanged);
    EXPECT_EQ(mirror.structuralReports(), 0);
    const MoveResult toEnd = moveNode(tree, one->child(0), one, PlacementAnswer::No, &mirror);
    EXPECT_EQ(toEnd.outcome, MoveOutcome::Moved);
    EXPECT_EQ(toEnd.newRow, 2);
    EXPECT_EQ(one->child(2)->text(), "\"dsp\"");
    mirror.expectInSync();
}

TEST(Move, UnquotedKeyIsReReadWhenItGainsOrLosesChildren) {
    SectionTree tree = mustLoad(twoSoundscapes()).tree;
    Node* dsp2 = findNode(tree, "dsp2");
    Node* wave = findNode(tree, "\"wave\"");
    ModelMirror mirror(tree);
    ASSERT_TRUE(moveNode(tree, wave, dsp2, PlacementAnswer::Yes, &mirror).done());
    // A header line "dsp2 5" reads back as one key: the tree shows what the file will hold.
    EXPECT_EQ(dsp2->text(), "dsp2 5");
    EXPECT_EQ(dataOf(dsp2).value, "");
    EXPECT_TRUE(mirror.reportedChange(dsp2));
    expectReadsBack(tree);
}

} // namespace
