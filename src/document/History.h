// SPDX-License-Identifier: MIT
#pragma once

// The undo history of a document. It is a TreeObserver: handed to the edit functions (chained in
// front of the tree model's observer), it writes down every change as it happens, with what is
// needed to take it back: a node's content before and after, a subtree that was inserted or removed
// (a move is a removal followed by an insertion), or the whole document when the text tab replaced
// it. Changes are addressed by their path of rows from the top level, which is valid again whenever
// the document is back in the state the change was made in, so undo and redo replay them in order
// without keeping pointers to nodes that may be gone.
//
// Changes are grouped into steps: begin(label) ... end() around a command. A change that arrives
// outside any step starts one of its own (labelled as set by setNextLabel, or "изменение"), which is
// closed by the next begin, undo, redo or query. Steps that carry the same merge key one after the
// other (the keystrokes of one grid cell edit) are one step, unless the state between them was saved.

#include "document/Edits.h"
#include "document/NodeData.h"
#include "document/SectionTree.h"

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tonvale {

using NodePath = std::vector<int>; // rows from the top level down to the node

NodePath pathOf(const Node* node);
Node* nodeAtPath(const SectionTree& tree, const NodePath& path);

class EditHistory : public TreeObserver {
  public:
    explicit EditHistory(SectionTree& tree);
    ~EditHistory() override;
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Changes are passed on to `next` (the tree model's observer) after they are written down.
    void setNext(TreeObserver* next) { m_next = next; }
    // Called whenever the steps change (a step added, undone, redone, the history cleared or saved).
    void setStepsChanged(std::function<void()> callback) { m_stepsChanged = std::move(callback); }

    void begin(std::string label, std::string mergeKey = {});
    void end();
    // The label and merge key of the next step that starts by itself.
    void setNextLabel(std::string label, std::string mergeKey = {});
    // A whole-document replacement as one step: `replaced` is the document before, which the history
    // keeps; the tree already holds the new one.
    void documentReplaced(std::string label, SectionTree replaced);

    bool canUndo();
    bool canRedo();
    std::string undoLabel();
    std::string redoLabel();
    // Undo or redo one step, telling `next` about every change. The node the step changed (or its
    // nearest surviving ancestor) is returned, nullptr for the whole document.
    Node* undo();
    Node* redo();

    // Forgets every step (a document loaded or made anew). `saved`: the state now is the one on disk.
    void clear(bool saved);
    void markSaved();
    bool atSavedState();
    std::size_t stepCount() {
        closeImplicit();
        return m_steps.size();
    }

    // TreeObserver: recording.
    void aboutToInsert(const Node* parent, int row, int count) override;
    void inserted(const Node* parent, int row, int count) override;
    void aboutToRemove(const Node* parent, int row, int count) override;
    void removed(const Node* parent, int row, int count) override;
    void aboutToMove(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                     int destRow) override;
    void moved(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
               int destRow) override;
    void aboutToChange(const Node* node) override;
    void changed(const Node* node) override;
    void aboutToReset() override;
    void wasReset() override;

    struct Content {
        std::string text;
        bool hasData = false;
        NodeData data;
        int image = 0;
        int selectedImage = 0;
        bool operator==(const Content&) const = default;
    };
    struct Subtree {
        std::vector<std::pair<int, Content>> nodes; // pre-order, depth below the subtree's root
    };
    struct Change {
        enum class Kind { Content, Insert, Remove, Document } kind = Kind::Content;
        NodePath path; // the node changed, inserted or removed
        Content before;
        Content after;
        Subtree subtree;
        std::shared_ptr<SectionTree> document; // the other document of a Document change
    };
    struct Step {
        std::string label;
        std::string mergeKey;
        std::vector<Change> changes;
    };

  private:
    void closeImplicit();
    void notifyStepsChanged();
    void push(Step step);
    void record(Change change);
    // Records the insertion or removal of `node` with a copy of its subtree.
    void recordSubtree(Change::Kind kind, const Node* node);
    Content contentOf(const Node* node) const;
    void applyContent(Node* node, const Content& content);
    Subtree copySubtree(const Node* node) const;
    Node* insertSubtree(const NodePath& path, const Subtree& subtree);
    Node* removeAt(const NodePath& path);
    Node* apply(Change& change, bool forward);

    SectionTree& m_tree;
    TreeObserver* m_next = nullptr;
    std::function<void()> m_stepsChanged;
    std::vector<Step> m_steps;
    std::size_t m_done = 0;                   // steps m_steps[0..m_done) are in the document
    std::optional<std::size_t> m_savedAt = 0; // the value of m_done when the document was saved
    std::optional<Step> m_open;               // the step being recorded
    bool m_implicit = false;                  // m_open was started by a change, not by begin()
    int m_depth = 0;                          // nesting of begin()
    bool m_replaying = false;
    std::string m_nextLabel;
    std::string m_nextMergeKey;
    std::vector<std::pair<const Node*, Content>> m_pending; // contents before aboutToChange
    struct PendingMove {
        NodePath from;
        Subtree subtree;
    };
    std::optional<PendingMove> m_move;
};

// Brackets the edits of one command as one step of the history.
class HistoryStep {
  public:
    HistoryStep(EditHistory& history, std::string label, std::string mergeKey = {}) : m_history(history) {
        m_history.begin(std::move(label), std::move(mergeKey));
    }
    ~HistoryStep() { m_history.end(); }
    HistoryStep(const HistoryStep&) = delete;
    HistoryStep& operator=(const HistoryStep&) = delete;

  private:
    EditHistory& m_history;
};

} // namespace tonvale
