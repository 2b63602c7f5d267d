// SPDX-License-Identifier: MIT
// Every edit, fed awkward input, keeps the document's invariants, reports its changes precisely to a
// tree model, and leaves a tree that a save and a load give back unchanged.
#include "EditChecks.h"
#include "document/NewElements.h"

#include <algorithm>
#include <filesystem>
#include <random>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

// Quoted and unquoted keys, variables, a header written without quotes, a childless soundscape and
// comments, so that edits meet every way the loader cuts a line.
std::string baseScript() {
    return crlf({
        "// the first soundscape",
        "\"first\"",
        "{",
        "\t\"dsp\"\t\"0\"",
        "\tdsp2 5",
        "\t$var a b c",
        "\t\"playlooping\"",
        "\t{",
        "\t\t\"wave\"\t\"ambient/a.wav\"\t// beside",
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
        "$top value",
        "\"second\"",
        "{",
        "\tunquoted header",
        "\t{",
        "\t\t\"k\"\t\"v\"",
        "\t}",
        "\tplain 7",
        "\tlone",
        "}",
        "\"empty\"",
        "{",
        "}",
    });
}

SectionTree loadBase() {
    return mustLoad(baseScript()).tree;
}

const std::vector<std::string>& awkwardInputs() {
    static const std::vector<std::string> inputs = {
        "plain",
        "two words",
        "  padded  ",
        "many   blanks   inside",
        "tab\there",
        "\t\t",
        "brace{in}side",
        "{",
        "}",
        "{}",
        "quote\"inside",
        "\"quoted\"",
        "\"quoted with blanks\"",
        "\"unterminated",
        "\"",
        "\"\"",
        "\"a\" \"b\"",
        "a\"b c\"d",
        "line\nbreak",
        "cr\rbreak",
        "crlf\r\nbreak",
        "\r\n",
        std::string("nul\0byte", 8),
        "slashes//comment",
        "//",
        "///x///",
        "a / b",
        "$dollar var",
        "$",
        "\x01\x1f control",
        "",
        "   ",
        "\xc7\xed\xe0\xf7\xe5\xed\xe8\xe5", // "Значение" in Windows-1251
        "x{\t}\r\n\"y\" // z",
    };
    return inputs;
}

void expectSound(const SectionTree& tree, const ModelMirror& mirror) {
    expectInvariants(tree);
    expectImages(tree);
    mirror.expectInSync();
    expectReadsBack(tree);
}

class AwkwardInput : public ::testing::TestWithParam<std::string> {};

TEST_P(AwkwardInput, RenameOfEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        SCOPED_TRACE(i);
        SectionTree tree = loadBase();
        ModelMirror mirror(tree);
        Node* node = tree.nodeAt(i);
        const std::string oldText = node->text();
        const NodeData oldData = dataOf(node);
        const RenameResult result = renameNode(tree, node, GetParam(), &mirror);
        EXPECT_EQ(result.changed, mirror.reportedChange(node));
        EXPECT_EQ(dataOf(node), oldData); // a rename never touches the data
        const std::string typed = storableLine(GetParam());
        if (typed.empty())
            EXPECT_EQ(node->text(), oldText);
        else
            EXPECT_TRUE(node->text() == typed || node->text() == normalizeName(typed)) << node->text();
        EXPECT_EQ(mirror.structuralReports(), 0);
        expectSound(tree, mirror);
    }
}

TEST_P(AwkwardInput, ValueOfEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        SCOPED_TRACE(i);
        SectionTree tree = loadBase();
        ModelMirror mirror(tree);
        Node* node = tree.nodeAt(i);
        const std::string oldText = node->text();
        const bool changed = setNodeValue(tree, node, GetParam(), &mirror);
        EXPECT_EQ(changed, mirror.reportedChange(node));
        EXPECT_EQ(node->text(), oldText); // the key stays as it was
        const std::string typed = storableLine(GetParam());
        EXPECT_TRUE(dataOf(node).value == typed || dataOf(node).value == normalizeName(typed))
            << dataOf(node).value;
        expectSound(tree, mirror);
    }
}

TEST_P(AwkwardInput, CommentsOfEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        SCOPED_TRACE(i);
        SectionTree tree = loadBase();
        ModelMirror mirror(tree);
        setComments(tree, tree.nodeAt(i), GetParam(), {GetParam(), "", GetParam()}, &mirror);
        expectSound(tree, mirror);
    }
}

TEST_P(AwkwardInput, NewElementsUnderEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i + 1 < count; ++i) {
        for (const auto mode : {NewElementMode::Header, NewElementMode::Parameter}) {
            for (const auto placement : {PlacementAnswer::Yes, PlacementAnswer::No}) {
                SCOPED_TRACE(::testing::Message() << i << " mode " << static_cast<int>(mode));
                SectionTree tree = loadBase();
                ModelMirror mirror(tree);
                NewElementAnswers answers;
                answers.mode = mode;
                answers.headerName = answers.parameterName = answers.value = GetParam();
                answers.commentBeside = GetParam();
                answers.commentLines = {GetParam(), GetParam()};
                const CreateResult result = addNewElement(tree, tree.nodeAt(i), answers, placement, &mirror);
                EXPECT_EQ(static_cast<bool>(result), !GetParam().empty());
                EXPECT_EQ(result.message.has_value(), GetParam().empty());
                expectSound(tree, mirror);
            }
        }
    }
}

TEST_P(AwkwardInput, NewSoundscape) {
    SectionTree tree = loadBase();
    ModelMirror mirror(tree);
    const CreateResult result = createSoundscape(tree, GetParam(), &mirror);
    if (result) {
        EXPECT_TRUE(tree.isEndMarker(tree.next(result.node)));
        EXPECT_EQ(normalizeName(GetParam()), result.node->text());
    }
    expectSound(tree, mirror);
}

INSTANTIATE_TEST_SUITE_P(Table, AwkwardInput, ::testing::ValuesIn(awkwardInputs()));

// The relative description of a subtree: texts, data and levels below its root, in order.
std::vector<std::string> describeSubtree(const SectionTree& tree, const Node* root) {
    std::vector<std::string> out;
    for (const Node* node = root; node != nullptr && (node == root || SectionTree::isWithin(node, root));
         node = tree.next(node)) {
        std::string entry = std::to_string(node->level() - root->level()) + "|" + node->text();
        if (const NodeData* data = node->data())
            entry += "|" + data->value + "|" + data->commentsAbove + "|" + data->commentBeside;
        out.push_back(entry);
    }
    return out;
}

TEST(EditRoundTrip, DeleteOfEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i < count; ++i) {
        SCOPED_TRACE(i);
        SectionTree tree = loadBase();
        ModelMirror mirror(tree);
        Node* node = tree.nodeAt(i);
        const bool endMarker = tree.isEndMarker(node);
        const DeleteResult result = deleteNode(tree, node, &mirror);
        EXPECT_EQ(result.removed, !endMarker);
        if (result.removed) {
            ASSERT_NE(result.selectAfter, nullptr);
            EXPECT_NE(std::find(tree.preorder().begin(), tree.preorder().end(), result.selectAfter),
                      tree.preorder().end());
        }
        expectSound(tree, mirror);
    }
}

TEST(EditRoundTrip, MoveOfEveryNodeUnderEveryTarget) {
    const std::size_t count = loadBase().size();
    for (std::size_t s = 0; s < count; ++s) {
        for (std::size_t t = 0; t < count; ++t) {
            for (const auto answer : {PlacementAnswer::Yes, PlacementAnswer::No, PlacementAnswer::Cancel}) {
                SCOPED_TRACE(::testing::Message()
                             << s << " -> " << t << " answer " << static_cast<int>(answer));
                SectionTree tree = loadBase();
                ModelMirror mirror(tree);
                Node* node = tree.nodeAt(s);
                Node* target = tree.nodeAt(t);
                const bool allowed = dropMoves(tree, node, target);
                const std::vector<std::string> before = describe(tree);
                const std::vector<std::string> subtree = describeSubtree(tree, node);
                const MoveResult result = moveNode(tree, node, target, answer, &mirror);
                if (!allowed || answer == PlacementAnswer::Cancel) {
                    EXPECT_EQ(result.outcome, allowed ? MoveOutcome::Cancelled : MoveOutcome::Refused);
                    EXPECT_EQ(describe(tree), before);
                    EXPECT_EQ(mirror.structuralReports(), 0);
                    continue;
                }
                EXPECT_EQ(node->parent(), target);
                EXPECT_EQ(node->row(), answer == PlacementAnswer::Yes ? 0 : target->childCount() - 1);
                EXPECT_EQ(result.newRow, node->row());
                EXPECT_EQ(describeSubtree(tree, node), subtree);
                EXPECT_EQ(mirror.structuralReports(), result.outcome == MoveOutcome::Moved ? 1 : 0);
                expectSound(tree, mirror);
            }
        }
    }
}

TEST(EditRoundTrip, BlocksOnEveryNode) {
    const std::size_t count = loadBase().size();
    for (std::size_t i = 0; i < count; ++i) {
        for (const auto kind : {BlockKind::PlayLooping, BlockKind::PlayRandom, BlockKind::PlaySoundscape}) {
            SCOPED_TRACE(i);
            SectionTree tree = loadBase();
            ModelMirror mirror(tree);
            Node* node = tree.nodeAt(i);
            const bool allowed = node->level() == 0 && !tree.isEndMarker(node);
            const CreateResult result = createBlock(tree, node, kind, &mirror);
            EXPECT_EQ(static_cast<bool>(result), allowed);
            expectSound(tree, mirror);
        }
    }
}

// Long chains of random edits on one document, checked after every step.
TEST(EditRoundTrip, RandomEditSequences) {
    const std::vector<std::string>& inputs = awkwardInputs();
    for (unsigned seed = 1; seed <= 6; ++seed) {
        std::mt19937 rng(seed);
        auto pick = [&rng](std::size_t n) {
            return std::uniform_int_distribution<std::size_t>(0, n - 1)(rng);
        };
        SectionTree tree = loadBase();
        for (int step = 0; step < 150 && tree.size() > 1; ++step) {
            SCOPED_TRACE(::testing::Message() << "seed " << seed << " step " << step);
            ModelMirror mirror(tree);
            Node* node = tree.nodeAt(pick(tree.size()));
            Node* other = tree.nodeAt(pick(tree.size()));
            const std::string& input = inputs[pick(inputs.size())];
            switch (pick(8)) {
            case 0:
                renameNode(tree, node, input, &mirror);
                break;
            case 1:
                setNodeValue(tree, node, input, &mirror);
                break;
            case 2:
                setComments(tree, node, input, {input, ""}, &mirror);
                break;
            case 3:
                if (pick(3) == 0)
                    deleteNode(tree, node, &mirror);
                break;
            case 4:
            case 5:
                moveNode(tree, node, other, pick(2) == 0 ? PlacementAnswer::Yes : PlacementAnswer::No,
                         &mirror);
                break;
            case 6: {
                NewElementAnswers answers;
                answers.mode = pick(2) == 0 ? NewElementMode::Header : NewElementMode::Parameter;
                answers.headerName = answers.parameterName = answers.value = input + "x";
                addNewElement(tree, node, answers, PlacementAnswer::No, &mirror);
                break;
            }
            default:
                if (pick(2) == 0)
                    createSoundscape(tree, input + "y", &mirror);
                else
                    createBlock(tree, node, BlockKind::PlayRandom, &mirror);
                break;
            }
            expectSound(tree, mirror);
            if (::testing::Test::HasFailure())
                return;
        }
    }
}

} // namespace

namespace {

std::vector<std::string> realWorldScripts() {
    std::vector<std::string> paths;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(TONVALE_REALWORLD, error)) {
        if (entry.path().extension() == ".txt")
            paths.push_back(entry.path().string());
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// Setting a loaded node's own text or value again changes nothing, and structural edits of real
// scripts read back.
TEST(EditRoundTrip, RealWorldScripts) {
    const std::vector<std::string> paths = realWorldScripts();
    if (paths.empty())
        GTEST_SKIP() << "no real-world scripts";
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        LoadResult loaded = loadScriptFile(path);
        if (!loaded.ok())
            continue; // refused by the brace check: nothing to edit
        SectionTree& tree = loaded.tree;
        for (Node* node : tree.preorder()) {
            if (tree.isEndMarker(node))
                continue;
            const std::string value = dataOf(node).value;
            EXPECT_FALSE(setNodeValue(tree, node, value)) << node->text() << " " << value;
            EXPECT_FALSE(renameNode(tree, node, node->text()).changed) << node->text();
        }
        ModelMirror mirror(tree);
        Node* first = tree.first();
        Node* lastSoundscape =
            tree.topLevel().size() >= 3 ? tree.topLevel()[tree.topLevel().size() - 2] : nullptr;
        if (first->hasChildren())
            deleteNode(tree, first->child(0), &mirror);
        if (lastSoundscape != nullptr)
            moveNode(tree, lastSoundscape, first, PlacementAnswer::Yes, &mirror);
        createBlock(tree, first, BlockKind::PlayRandom, &mirror);
        expectInvariants(tree);
        mirror.expectInSync();
        expectReadsBack(tree);
    }
}

} // namespace
