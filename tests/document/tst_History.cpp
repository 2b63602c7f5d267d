// SPDX-License-Identifier: MIT
// The undo history: every kind of edit taken back and made again, to the byte, through the history
// as the edits' observer; steps, merging and the saved state.

#include "Helpers.h"
#include "document/Edits.h"
#include "document/History.h"
#include "document/NewElements.h"

#include <functional>

using namespace tonvale;
using namespace tonvale::testing;

namespace {

const std::string Script =
    crlf({"// the first soundscape", "\"sc.one\"", "{", "\t\"dsp\"\t\"1\"\t// beside", "\t\"playlooping\"",
          "\t{", "\t\t\"wave\"\t\"a.wav\"", "\t}", "}", "\"sc.two\"", "{", "\t\"playrandom\"", "\t{",
          "\t\t\"rndwave\"", "\t\t{", "\t\t\t\"wave\"\t\"b.wav\"", "\t\t}", "\t}", "}"});

Node* find(SectionTree& tree, std::string_view text, int nth = 0) {
    for (Node* node : tree.preorder())
        if (node->text() == text && nth-- == 0)
            return node;
    return nullptr;
}

std::string written(const SectionTree& tree) {
    const WriteResult result = writeScript(tree);
    EXPECT_TRUE(result.ok);
    return result.bytes;
}

// Counts what the view would be told, to check that undo reports each change.
struct CountingObserver : TreeObserver {
    int inserts = 0, removes = 0, changes = 0, resets = 0;
    void inserted(const Node*, int, int) override { ++inserts; }
    void removed(const Node*, int, int) override { ++removes; }
    void changed(const Node*) override { ++changes; }
    void wasReset() override { ++resets; }
};

} // namespace

TEST(History, EveryEditIsUndoneAndRedoneToTheByte) {
    using Edit = std::function<void(SectionTree&, TreeObserver*)>;
    const std::vector<std::pair<const char*, Edit>> edits = {
        {"value", [](SectionTree& t, TreeObserver* o) { setNodeValue(t, find(t, "\"dsp\""), "7", o); }},
        {"value re-read",
         [](SectionTree& t, TreeObserver* o) { setNodeValue(t, find(t, "\"dsp\""), "a b", o); }},
        {"rename",
         [](SectionTree& t, TreeObserver* o) { renameNode(t, find(t, "\"sc.two\""), "\"sc.2\"", o); }},
        {"comments",
         [](SectionTree& t, TreeObserver* o) {
             setComments(t, find(t, "\"dsp\""), "new", {"x", "", "y"}, o);
         }},
        {"delete a block",
         [](SectionTree& t, TreeObserver* o) { deleteNode(t, find(t, "\"playlooping\""), o); }},
        {"delete the last child",
         [](SectionTree& t, TreeObserver* o) { deleteNode(t, find(t, "\"wave\"", 1), o); }},
        {"delete a soundscape",
         [](SectionTree& t, TreeObserver* o) { deleteNode(t, find(t, "\"sc.one\""), o); }},
        {"new soundscape", [](SectionTree& t, TreeObserver* o) { createSoundscape(t, "fresh", o); }},
        {"new block",
         [](SectionTree& t, TreeObserver* o) {
             createBlock(t, find(t, "\"sc.two\""), BlockKind::PlayLooping, o);
         }},
        {"new element",
         [](SectionTree& t, TreeObserver* o) {
             NewElementAnswers answers;
             answers.mode = NewElementMode::Parameter;
             answers.parameterName = "\"volume\"";
             answers.value = "\"0.3\"";
             addNewElement(t, find(t, "\"playlooping\""), answers, PlacementAnswer::Yes, o);
         }},
        {"move into another soundscape",
         [](SectionTree& t, TreeObserver* o) {
             moveNode(t, find(t, "\"playlooping\""), find(t, "\"sc.two\""), PlacementAnswer::No, o);
         }},
        {"move a soundscape into another",
         [](SectionTree& t, TreeObserver* o) {
             moveNode(t, find(t, "\"sc.one\""), find(t, "\"sc.two\""), PlacementAnswer::Yes, o);
         }},
        {"move to the top of its parent",
         [](SectionTree& t, TreeObserver* o) {
             moveNode(t, find(t, "\"playlooping\""), find(t, "\"sc.one\""), PlacementAnswer::Yes, o);
         }},
    };
    for (const auto& [name, edit] : edits) {
        SCOPED_TRACE(name);
        SectionTree tree = mustLoad(Script).tree;
        const std::string before = written(tree);
        EditHistory history(tree);
        CountingObserver view;
        history.setNext(&view);
        history.begin(name);
        edit(tree, &history);
        history.end();
        const std::string after = written(tree);
        ASSERT_NE(after, before);
        ASSERT_TRUE(history.canUndo());
        EXPECT_EQ(history.undoLabel(), name);
        const int told = view.inserts + view.removes + view.changes;
        history.undo();
        EXPECT_EQ(written(tree), before);
        EXPECT_GT(view.inserts + view.removes + view.changes, told); // the view heard of the undo
        EXPECT_EQ(view.resets, 0);
        EXPECT_FALSE(history.canUndo());
        ASSERT_TRUE(history.canRedo());
        history.redo();
        EXPECT_EQ(written(tree), after);
        history.undo();
        EXPECT_EQ(written(tree), before);
    }
}

TEST(History, StepsUndoInOrderAndANewEditDropsTheRedos) {
    SectionTree tree = mustLoad(Script).tree;
    const std::string original = written(tree);
    EditHistory history(tree);
    std::vector<std::string> states{original};
    const auto step = [&](const char* label, const std::function<void()>& edit) {
        history.begin(label);
        edit();
        history.end();
        states.push_back(written(tree));
    };
    step("a", [&] { setNodeValue(tree, find(tree, "\"dsp\""), "2", &history); });
    step("b", [&] { deleteNode(tree, find(tree, "\"playlooping\""), &history); });
    step("c", [&] { createSoundscape(tree, "fresh", &history); });
    step("d", [&] {
        moveNode(tree, find(tree, "\"fresh\""), find(tree, "\"sc.one\""), PlacementAnswer::Yes, &history);
    });
    for (std::size_t i = states.size() - 1; i > 0; --i) {
        history.undo();
        EXPECT_EQ(written(tree), states[i - 1]) << i;
    }
    for (std::size_t i = 1; i < states.size(); ++i) {
        history.redo();
        EXPECT_EQ(written(tree), states[i]) << i;
    }
    history.undo();
    history.undo();
    setNodeValue(tree, find(tree, "\"dsp\""), "9", &history); // outside any step: a step of its own
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoLabel(), "изменение");
    history.undo();
    EXPECT_EQ(written(tree), states[2]);
}

TEST(History, KeystrokesOfOneCellAreOneStepUnlessSavedBetween) {
    SectionTree tree = mustLoad(Script).tree;
    const std::string original = written(tree);
    EditHistory history(tree);
    Node* dsp = find(tree, "\"dsp\"");
    history.setNextLabel("значение", "cell 1");
    for (const char* typed : {"4", "42", "420"})
        setNodeValue(tree, dsp, typed, &history);
    history.canUndo(); // closes the step
    history.setNextLabel("значение", "cell 1");
    setNodeValue(tree, dsp, "4200", &history);
    EXPECT_EQ(history.stepCount(), 1u);
    history.markSaved();
    EXPECT_TRUE(history.atSavedState());
    history.setNextLabel("значение", "cell 1");
    setNodeValue(tree, dsp, "5", &history);
    EXPECT_EQ(history.stepCount(), 2u); // not merged across the save
    EXPECT_FALSE(history.atSavedState());
    history.undo();
    EXPECT_TRUE(history.atSavedState());
    history.undo();
    EXPECT_EQ(written(tree), original);
    EXPECT_FALSE(history.atSavedState());
    history.clear(false);
    EXPECT_FALSE(history.atSavedState()); // a new file that was never saved
    history.clear(true);
    EXPECT_TRUE(history.atSavedState());
}

TEST(History, ADocumentReplacedIsOneStepThatSwapsBack) {
    SectionTree tree = mustLoad(Script).tree;
    const std::string original = written(tree);
    EditHistory history(tree);
    CountingObserver view;
    history.setNext(&view);
    SectionTree previous = std::move(tree);
    tree = mustLoad(crlf({"\"other\"", "{", "}"})).tree;
    const std::string replaced = written(tree);
    history.documentReplaced("правка текстом", std::move(previous));
    EXPECT_EQ(history.undo(), nullptr);
    EXPECT_EQ(written(tree), original);
    EXPECT_EQ(view.resets, 1);
    history.redo();
    EXPECT_EQ(written(tree), replaced);
    // Edits after it undo on the new document, then it.
    setNodeValue(tree, tree.first(), "x", &history);
    history.undo();
    history.undo();
    EXPECT_EQ(written(tree), original);
}
