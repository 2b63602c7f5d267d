// SPDX-License-Identifier: MIT
// The layout-keeping save: a script saved without edits is its own bytes, and each kind of edit changes
// exactly the lines it touches, on every real script, fixture and sample.
#include "Helpers.h"
#include "document/Edits.h"
#include "document/FileIO.h"
#include "document/Layout.h"
#include "document/NewElements.h"

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <set>

using namespace tonvale;
using namespace tonvale::testing;
namespace fs = std::filesystem;

namespace {

std::vector<fs::path> scripts() {
    std::vector<fs::path> files;
    for (const char* dir : {TONVALE_REALWORLD, TONVALE_FIXTURES, TONVALE_SAMPLE_SCRIPTS}) {
        const std::vector<fs::path> found = scriptsIn(dir);
        files.insert(files.end(), found.begin(), found.end());
    }
    return files;
}

LoadResult loadKeeping(const std::string& bytes) {
    LoadResult loaded = loadScript(bytes);
    keepSource(loaded.tree, bytes);
    return loaded;
}

// The lines between the longest common head and tail of two texts.
struct LineChange {
    std::vector<std::string_view> removed;
    std::vector<std::string_view> added;
};
LineChange lineChange(std::string_view before, std::string_view after) {
    const auto a = splitLinesKeepingBreaks(before);
    const auto b = splitLinesKeepingBreaks(after);
    std::size_t head = 0;
    while (head < a.size() && head < b.size() && a[head] == b[head])
        ++head;
    std::size_t tail = 0;
    while (tail < a.size() - head && tail < b.size() - head &&
           a[a.size() - 1 - tail] == b[b.size() - 1 - tail])
        ++tail;
    return {{a.begin() + static_cast<std::ptrdiff_t>(head), a.end() - static_cast<std::ptrdiff_t>(tail)},
            {b.begin() + static_cast<std::ptrdiff_t>(head), b.end() - static_cast<std::ptrdiff_t>(tail)}};
}

std::string trimmed(std::string_view line) {
    return std::string(trim(line));
}

std::string saved(const SectionTree& tree) {
    const LayoutWriteResult result = writeKeepingLayout(tree);
    EXPECT_TRUE(result.write.ok) << result.write.message.text;
    EXPECT_EQ(result.use, LayoutUse::Kept);
    return result.write.bytes;
}

using Edit = std::function<bool(SectionTree&, Node*)>;

struct EditCase {
    const char* name;
    Edit edit;
    std::function<void(const LineChange&, const Node&)> check;
};

} // namespace

TEST(LayoutSave, EveryScriptSavedWithoutEditsIsItsOwnBytes) {
    for (const fs::path& path : scripts()) {
        const std::string source = readFileBytes(path);
        LoadResult loaded = loadKeeping(source);
        if (!loaded.ok() || !writeScript(loaded.tree).ok)
            continue;
        EXPECT_EQ(saved(loaded.tree), source) << path.filename();
    }
}

TEST(LayoutSave, EachEditChangesOnlyItsLines) {
    const EditCase cases[] = {
        {"value",
         [](SectionTree& tree, Node* node) {
             return node->data() != nullptr && !node->data()->value.empty() &&
                    setNodeValue(tree, node, "\"0.25\"");
         },
         [](const LineChange& change, const Node& node) {
             ASSERT_EQ(change.removed.size(), 1u);
             ASSERT_EQ(change.added.size(), 1u);
             // Indentation, key, the blanks before the value and the beside comment stay.
             const std::string_view before = change.removed[0];
             const std::string_view after = change.added[0];
             const std::size_t at = after.find("\"0.25\"");
             ASSERT_NE(at, std::string_view::npos);
             EXPECT_EQ(before.substr(0, at), after.substr(0, at));
             EXPECT_TRUE(before.ends_with(after.substr(at + 6))) << node.text();
         }},
        {"rename",
         [](SectionTree& tree, Node* node) { return renameNode(tree, node, "\"renamed\"").changed; },
         [](const LineChange& change, const Node&) {
             ASSERT_EQ(change.removed.size(), 1u);
             ASSERT_EQ(change.added.size(), 1u);
             EXPECT_NE(change.added[0].find("\"renamed\""), std::string_view::npos);
         }},
        {"comment above",
         [](SectionTree& tree, Node* node) {
             std::vector<std::string> lines = commentLines(node->data()->commentsAbove);
             lines.push_back(" added note");
             return setComments(tree, node, node->data()->commentBeside, lines);
         },
         [](const LineChange& change, const Node&) {
             EXPECT_TRUE(change.removed.empty());
             ASSERT_EQ(change.added.size(), 1u);
             EXPECT_EQ(trimmed(change.added[0]), "// added note");
         }},
        {"beside comment",
         [](SectionTree& tree, Node* node) {
             return setComments(tree, node, "beside", commentLines(node->data()->commentsAbove));
         },
         [](const LineChange& change, const Node&) {
             // A "{" that stood after the element moves to a line of its own.
             ASSERT_EQ(change.removed.size(), 1u);
             ASSERT_EQ(change.added.size(), change.removed[0].find('{') == std::string_view::npos ? 1u : 2u);
             EXPECT_TRUE(trimmed(change.added[0]).ends_with("//beside"));
         }},
        {"delete", [](SectionTree& tree, Node* node) { return deleteNode(tree, node).removed; },
         [](const LineChange& change, const Node&) {
             // Only lines go; lines between two that go (a "{" after a comment that went) stay.
             EXPECT_GT(change.removed.size(), change.added.size());
             auto at = change.removed.begin();
             for (const std::string_view line : change.added) {
                 at = std::find(at, change.removed.end(), line);
                 ASSERT_NE(at, change.removed.end()) << line;
                 ++at;
             }
         }},
        {"new element",
         [](SectionTree& tree, Node* node) {
             if (!opensBlock(node))
                 return false;
             NewElementAnswers answers;
             answers.mode = NewElementMode::Parameter;
             answers.parameterName = "added";
             answers.value = "1";
             return static_cast<bool>(addNewElement(tree, node, answers, PlacementAnswer::No));
         },
         [](const LineChange& change, const Node&) {
             // Only a line that holds the block's braces, too, is split.
             ASSERT_LE(change.removed.size(), 1u);
             if (change.removed.empty())
                 ASSERT_EQ(change.added.size(), 1u);
             else
                 EXPECT_NE(change.removed[0].find('}'), std::string_view::npos);
             EXPECT_EQ(
                 std::count_if(change.added.begin(), change.added.end(),
                               [](std::string_view line) { return trim(line).starts_with("\"added\""); }),
                 1);
         }},
        {"template block",
         [](SectionTree& tree, Node* node) { return static_cast<bool>(createLoopingBlock(tree, node)); },
         [](const LineChange& change, const Node&) {
             ASSERT_LE(change.removed.size(), 1u);
             EXPECT_EQ(std::count_if(
                           change.added.begin(), change.added.end(),
                           [](std::string_view line) { return trim(line).starts_with("\"playlooping\""); }),
                       1);
         }},
        {"move",
         [](SectionTree& tree, Node* node) {
             for (Node* target = tree.next(node); target != nullptr && target != tree.last();
                  target = tree.next(target)) {
                 if (opensBlock(target) && !SectionTree::isWithin(target, node) && target != node->parent())
                     return moveNode(tree, node, target, PlacementAnswer::No).done();
             }
             return false;
         },
         [](const LineChange& change, const Node&) {
             // The element's lines are the same lines, re-indented at most.
             std::multiset<std::string> removed;
             std::multiset<std::string> added;
             for (const std::string_view line : change.removed)
                 removed.insert(trimmed(line));
             for (const std::string_view line : change.added)
                 added.insert(trimmed(line));
             EXPECT_EQ(removed, added);
         }},
    };
    std::map<std::string, int> checked;
    for (const fs::path& path : scripts()) {
        const std::string source = readFileBytes(path);
        const LoadResult original = loadScript(source);
        if (!original.ok() || !writeScript(original.tree).ok)
            continue;
        const std::size_t count = original.tree.size() - 1;
        const std::size_t step = std::max<std::size_t>(1, count / 12);
        for (const EditCase& c : cases) {
            for (std::size_t index = 0; index < count; index += step) {
                LoadResult loaded = loadKeeping(source);
                Node* node = loaded.tree.nodeAt(index);
                if (!c.edit(loaded.tree, node) || !writeScript(loaded.tree).ok)
                    continue;
                SCOPED_TRACE(::testing::Message() << path.filename() << " " << c.name << " at " << index);
                const LayoutWriteResult result = writeKeepingLayout(loaded.tree);
                if (result.use == LayoutUse::NotPossible) {
                    // Known shape only: a script left without any block.
                    EXPECT_TRUE(result.write.bytes.starts_with("{}"));
                    EXPECT_EQ(result.write.bytes, writeScript(loaded.tree).bytes);
                    continue;
                }
                c.check(lineChange(source, result.write.bytes), *original.tree.nodeAt(index));
                ++checked[c.name];
            }
        }
    }
    for (const EditCase& c : cases)
        EXPECT_GE(checked[c.name], 10) << c.name; // fixtures and samples alone give more
}

TEST(LayoutSave, UndoingAnEditGivesBackTheSource) {
    for (const fs::path& path : scripts()) {
        const std::string source = readFileBytes(path);
        LoadResult loaded = loadKeeping(source);
        if (!loaded.ok() || !writeScript(loaded.tree).ok)
            continue;
        for (Node* node : loaded.tree.preorder()) {
            if (node->data() == nullptr || node->data()->value.empty())
                continue;
            const std::string value = node->data()->value;
            ASSERT_TRUE(setNodeValue(loaded.tree, node, "\"changed\""));
            ASSERT_NE(saved(loaded.tree), source);
            setNodeValue(loaded.tree, node, value);
            EXPECT_EQ(saved(loaded.tree), source) << path.filename();
            break;
        }
    }
}

TEST(LayoutSave, MovedElementsKeepTheirLinesReindented) {
    const std::string source =
        "\"a\"\n{\n    \"wave\"  \"x.wav\" // keep\n    \"b\" {\n        \"volume\"  \"1\"\n    }\n}\n";
    LoadResult loaded = loadKeeping(source);
    Node* a = loaded.tree.topLevel()[0];
    ASSERT_TRUE(moveNode(loaded.tree, a->child(0), a->child(1), PlacementAnswer::No).done());
    EXPECT_EQ(
        saved(loaded.tree),
        "\"a\"\n{\n    \"b\" {\n        \"volume\"  \"1\"\n        \"wave\"  \"x.wav\" // keep\n    }\n}\n");
}

TEST(LayoutSave, NewBlocksFollowTheFilesStyle) {
    // Blanks for indentation, LF, "{" on the header's line, no final line break.
    const std::string source = "\"a\" {\n  \"dsp\" \"1\"\n}\n\n\"b\" {\n  \"dsp\" \"2\"\n}";
    LoadResult loaded = loadKeeping(source);
    ASSERT_TRUE(createSoundscape(loaded.tree, "c"));
    Node* c = loaded.tree.topLevel()[2];
    NewElementAnswers answers;
    answers.mode = NewElementMode::Parameter;
    answers.parameterName = "dsp";
    answers.value = "3";
    ASSERT_TRUE(addNewElement(loaded.tree, c, answers, PlacementAnswer::No));
    EXPECT_EQ(saved(loaded.tree), source + "\n\n\"c\" {\n  \"dsp\" \"3\"\n}\n");
}

TEST(LayoutSave, FallsBackToTheCanonicalTextWhereTheLayoutCannotBeKept) {
    // A block without an element of its own: the tree hangs its elements under the element before.
    const std::string source = "\"a\"\r\n{\r\n}\r\n{\r\n\"b\" \"1\"\r\n}\r\n";
    LoadResult loaded = loadKeeping(source);
    ASSERT_TRUE(loaded.ok());
    EXPECT_EQ(writeKeepingLayout(loaded.tree).write.bytes, source) << "no edit: the source itself";
    setNodeValue(loaded.tree, loaded.tree.nodeAt(1), "\"2\"");
    const LayoutWriteResult result = writeKeepingLayout(loaded.tree);
    EXPECT_EQ(result.use, LayoutUse::NotPossible);
    EXPECT_EQ(result.write.bytes, writeScript(loaded.tree).bytes);

    LoadResult plain = loadScript(source); // no source kept: a new script
    const LayoutWriteResult fresh = writeKeepingLayout(plain.tree);
    EXPECT_EQ(fresh.use, LayoutUse::NoSource);
    EXPECT_EQ(fresh.write.bytes, writeScript(plain.tree).bytes);
}

// One round of 12 random edits on every script; TONVALE_LAYOUT_CHAINS=N runs N rounds for a longer hunt.
TEST(LayoutSave, RandomEditChainsKeepTheLayoutAndReadBackAsTheCanonicalText) {
    std::mt19937 random(20261208);
    std::vector<fs::path> files = scripts();
    const std::vector<fs::path> seeds = scriptsIn(TONVALE_FUZZ_SEEDS);
    files.insert(files.end(), seeds.begin(), seeds.end());
    const int chains =
        std::getenv("TONVALE_LAYOUT_CHAINS") != nullptr ? std::atoi(std::getenv("TONVALE_LAYOUT_CHAINS")) : 1;
    for (int chain = 0; chain < chains; ++chain) {
        for (const fs::path& path : files) {
            const std::string source = readFileBytes(path);
            LoadResult loaded = loadKeeping(source);
            if (!loaded.ok() || loaded.tree.size() < 3)
                continue;
            SectionTree& tree = loaded.tree;
            for (int step = 0; step < 12; ++step) {
                Node* node = tree.nodeAt(random() % (tree.size() - 1));
                Node* other = tree.nodeAt(random() % (tree.size() - 1));
                const std::string n = std::to_string(step);
                switch (random() % 7) {
                case 0:
                    setNodeValue(tree, node, "\"" + n + "\"");
                    break;
                case 1:
                    renameNode(tree, node, "\"k" + n + "\"");
                    break;
                case 2:
                    if (tree.size() > 4)
                        deleteNode(tree, node);
                    break;
                case 3:
                    setComments(tree, node, random() % 2 ? "" : "b" + n, {"note " + n});
                    break;
                case 4:
                    if (dropMoves(tree, node, other))
                        moveNode(tree, node, other,
                                 random() % 2 ? PlacementAnswer::Yes : PlacementAnswer::No);
                    break;
                case 5:
                    createLoopingBlock(tree, node);
                    break;
                default: {
                    NewElementAnswers answers;
                    answers.mode = NewElementMode::Parameter;
                    answers.parameterName = "p" + n;
                    answers.value = n;
                    if (!checkNewElement(tree, node, answers))
                        addNewElement(tree, node, answers, PlacementAnswer::No);
                    break;
                }
                }
                const LayoutWriteResult result = writeKeepingLayout(tree);
                if (!writeScript(tree).ok || result.write.bytes.starts_with("{}"))
                    break;
                EXPECT_EQ(result.use, LayoutUse::Kept) << path.filename() << " step " << step;
                EXPECT_EQ(canonical(result.write.bytes), writeScript(tree).bytes) << path.filename();
            }
        }
    }
}
