// SPDX-License-Identifier: MIT
#include "document/History.h"

#include <algorithm>
#include <utility>

namespace tonvale {

namespace {
constexpr const char* DefaultLabel = "изменение";
} // namespace

NodePath pathOf(const Node* node) {
    NodePath path;
    for (; node != nullptr; node = node->parent())
        path.push_back(node->row());
    std::reverse(path.begin(), path.end());
    return path;
}

Node* nodeAtPath(const SectionTree& tree, const NodePath& path) {
    Node* node = nullptr;
    std::span<Node* const> rows = tree.topLevel();
    for (const int row : path) {
        if (row < 0 || static_cast<std::size_t>(row) >= rows.size())
            return nullptr;
        node = rows[static_cast<std::size_t>(row)];
        rows = node->children();
    }
    return node;
}

EditHistory::EditHistory(SectionTree& tree) : m_tree(tree) {}

EditHistory::~EditHistory() = default;

// ---- Steps ----

void EditHistory::begin(std::string label, std::string mergeKey) {
    if (m_depth++ > 0)
        return; // a step inside a step belongs to the outer one
    closeImplicit();
    m_open = Step{std::move(label), std::move(mergeKey), {}};
    m_implicit = false;
}

void EditHistory::end() {
    if (m_depth == 0 || --m_depth > 0)
        return;
    if (m_open) {
        Step step = std::move(*m_open);
        m_open.reset();
        push(std::move(step));
    }
    m_pending.clear();
}

void EditHistory::setNextLabel(std::string label, std::string mergeKey) {
    m_nextLabel = std::move(label);
    m_nextMergeKey = std::move(mergeKey);
}

void EditHistory::closeImplicit() {
    if (!m_open || !m_implicit)
        return;
    Step step = std::move(*m_open);
    m_open.reset();
    m_implicit = false;
    m_pending.clear();
    push(std::move(step));
}

void EditHistory::push(Step step) {
    if (step.changes.empty())
        return;
    // What was undone can no longer be redone once something new is done.
    m_steps.erase(m_steps.begin() + static_cast<std::ptrdiff_t>(m_done), m_steps.end());
    if (m_savedAt && *m_savedAt > m_done)
        m_savedAt.reset();
    const bool merges = !step.mergeKey.empty() && m_done > 0 &&
                        m_steps[m_done - 1].mergeKey == step.mergeKey && m_savedAt != m_done;
    if (merges) {
        std::vector<Change>& into = m_steps[m_done - 1].changes;
        for (Change& change : step.changes)
            into.push_back(std::move(change));
        notifyStepsChanged();
        return;
    }
    m_steps.push_back(std::move(step));
    m_done = m_steps.size();
    notifyStepsChanged();
}

void EditHistory::recordSubtree(Change::Kind kind, const Node* node) {
    Change change;
    change.kind = kind;
    change.path = pathOf(node);
    change.subtree = copySubtree(node);
    record(std::move(change));
}

void EditHistory::record(Change change) {
    if (m_replaying)
        return;
    if (!m_open) {
        m_open = Step{m_nextLabel.empty() ? std::string(DefaultLabel) : m_nextLabel, m_nextMergeKey, {}};
        m_implicit = true;
    }
    m_open->changes.push_back(std::move(change));
}

void EditHistory::documentReplaced(std::string label, SectionTree replaced) {
    closeImplicit();
    Change change;
    change.kind = Change::Kind::Document;
    change.document = std::make_shared<SectionTree>(std::move(replaced));
    push(Step{std::move(label), {}, {std::move(change)}});
}

bool EditHistory::canUndo() {
    closeImplicit();
    return m_done > 0;
}

bool EditHistory::canRedo() {
    closeImplicit();
    return m_done < m_steps.size();
}

std::string EditHistory::undoLabel() {
    return canUndo() ? m_steps[m_done - 1].label : std::string();
}

std::string EditHistory::redoLabel() {
    return canRedo() ? m_steps[m_done].label : std::string();
}

void EditHistory::clear(bool saved) {
    m_steps.clear();
    m_done = 0;
    m_open.reset();
    m_implicit = false;
    m_depth = 0;
    m_pending.clear();
    m_move.reset();
    m_nextLabel.clear();
    m_nextMergeKey.clear();
    m_savedAt = saved ? std::optional<std::size_t>(0) : std::nullopt;
    notifyStepsChanged();
}

void EditHistory::markSaved() {
    closeImplicit();
    m_savedAt = m_done;
    notifyStepsChanged();
}

void EditHistory::notifyStepsChanged() {
    if (m_stepsChanged)
        m_stepsChanged();
}

bool EditHistory::atSavedState() {
    closeImplicit();
    return m_savedAt == m_done;
}

// ---- Undo and redo ----

Node* EditHistory::undo() {
    if (!canUndo())
        return nullptr;
    Step& step = m_steps[--m_done];
    m_replaying = true;
    Node* focus = nullptr;
    for (auto it = step.changes.rbegin(); it != step.changes.rend(); ++it)
        focus = apply(*it, false);
    m_replaying = false;
    notifyStepsChanged();
    return focus;
}

Node* EditHistory::redo() {
    if (!canRedo())
        return nullptr;
    Step& step = m_steps[m_done++];
    m_replaying = true;
    Node* focus = nullptr;
    for (Change& change : step.changes)
        focus = apply(change, true);
    m_replaying = false;
    notifyStepsChanged();
    return focus;
}

// Applies a change forwards (as it was made) or backwards, and returns the node it leaves to look at:
// the node changed or inserted, or the parent of a node removed.
Node* EditHistory::apply(Change& change, bool forward) {
    switch (change.kind) {
    case Change::Kind::Content: {
        Node* node = nodeAtPath(m_tree, change.path);
        if (node != nullptr)
            applyContent(node, forward ? change.after : change.before);
        return node;
    }
    case Change::Kind::Insert:
        return forward ? insertSubtree(change.path, change.subtree) : removeAt(change.path);
    case Change::Kind::Remove:
        return forward ? removeAt(change.path) : insertSubtree(change.path, change.subtree);
    case Change::Kind::Document:
        if (m_next != nullptr)
            m_next->aboutToReset();
        std::swap(m_tree, *change.document);
        if (m_next != nullptr)
            m_next->wasReset();
        return nullptr;
    }
    return nullptr;
}

EditHistory::Content EditHistory::contentOf(const Node* node) const {
    Content content;
    content.text = node->text();
    content.hasData = node->hasData();
    if (const NodeData* data = node->data())
        content.data = *data;
    content.image = node->image();
    content.selectedImage = node->selectedImage();
    return content;
}

void EditHistory::applyContent(Node* node, const Content& content) {
    if (m_next != nullptr)
        m_next->aboutToChange(node);
    m_tree.setText(node, content.text);
    if (content.hasData)
        m_tree.ensureData(node) = content.data;
    else
        m_tree.clearData(node);
    m_tree.setImages(node, content.image, content.selectedImage);
    if (m_next != nullptr)
        m_next->changed(node);
}

EditHistory::Subtree EditHistory::copySubtree(const Node* root) const {
    Subtree subtree;
    const int base = root->level();
    subtree.nodes.emplace_back(0, contentOf(root));
    for (const Node* node = m_tree.next(root); node != nullptr && node->level() > base;
         node = m_tree.next(node))
        subtree.nodes.emplace_back(node->level() - base, contentOf(node));
    return subtree;
}

Node* EditHistory::insertSubtree(const NodePath& path, const Subtree& subtree) {
    if (path.empty() || subtree.nodes.empty())
        return nullptr;
    Node* parent = path.size() > 1 ? nodeAtPath(m_tree, NodePath(path.begin(), path.end() - 1)) : nullptr;
    if (path.size() > 1 && parent == nullptr)
        return nullptr;
    const int row = path.back();
    if (m_next != nullptr)
        m_next->aboutToInsert(parent, row, 1);
    // The subtree is built whole before the view hears of it, as a block from a template is.
    std::vector<Node*> open; // the last node at each depth
    Node* root = nullptr;
    for (const auto& [depth, content] : subtree.nodes) {
        Node* under = depth == 0 ? parent : open[static_cast<std::size_t>(depth - 1)];
        Node* node = m_tree.insert(under, depth == 0 ? row : -1, content.text);
        if (content.hasData)
            m_tree.ensureData(node) = content.data;
        m_tree.setImages(node, content.image, content.selectedImage);
        open.resize(static_cast<std::size_t>(depth));
        open.push_back(node);
        if (depth == 0)
            root = node;
    }
    if (m_next != nullptr)
        m_next->inserted(parent, row, 1);
    return root;
}

Node* EditHistory::removeAt(const NodePath& path) {
    Node* node = nodeAtPath(m_tree, path);
    if (node == nullptr)
        return nullptr;
    Node* parent = node->parent();
    const int row = node->row();
    if (m_next != nullptr)
        m_next->aboutToRemove(parent, row, 1);
    m_tree.remove(node);
    if (m_next != nullptr)
        m_next->removed(parent, row, 1);
    return parent;
}

// ---- Recording ----

void EditHistory::aboutToInsert(const Node* parent, int row, int count) {
    if (m_next != nullptr)
        m_next->aboutToInsert(parent, row, count);
}

void EditHistory::inserted(const Node* parent, int row, int count) {
    const std::span<Node* const> rows = parent != nullptr ? parent->children() : m_tree.topLevel();
    for (int i = row; i < row + count && static_cast<std::size_t>(i) < rows.size(); ++i)
        recordSubtree(Change::Kind::Insert, rows[static_cast<std::size_t>(i)]);
    if (m_next != nullptr)
        m_next->inserted(parent, row, count);
}

void EditHistory::aboutToRemove(const Node* parent, int row, int count) {
    const std::span<Node* const> rows = parent != nullptr ? parent->children() : m_tree.topLevel();
    // Removed from the last to the first, so each path is right when the removals are replayed.
    for (int i = std::min(row + count, static_cast<int>(rows.size())) - 1; i >= row; --i)
        recordSubtree(Change::Kind::Remove, rows[static_cast<std::size_t>(i)]);
    if (m_next != nullptr)
        m_next->aboutToRemove(parent, row, count);
}

void EditHistory::removed(const Node* parent, int row, int count) {
    if (m_next != nullptr)
        m_next->removed(parent, row, count);
}

void EditHistory::aboutToMove(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                              int destRow) {
    if (!m_replaying)
        m_move = PendingMove{pathOf(node), copySubtree(node)};
    if (m_next != nullptr)
        m_next->aboutToMove(node, oldParent, oldRow, newParent, destRow);
}

void EditHistory::moved(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                        int destRow) {
    if (m_move) {
        Change removal;
        removal.kind = Change::Kind::Remove;
        removal.path = std::move(m_move->from);
        removal.subtree = m_move->subtree;
        record(std::move(removal));
        Change insertion;
        insertion.kind = Change::Kind::Insert;
        insertion.path = pathOf(node);
        insertion.subtree = std::move(m_move->subtree);
        record(std::move(insertion));
        m_move.reset();
    }
    if (m_next != nullptr)
        m_next->moved(node, oldParent, oldRow, newParent, destRow);
}

void EditHistory::aboutToChange(const Node* node) {
    if (!m_replaying) {
        // Always a fresh copy: an earlier one may belong to a node that is gone and whose place a new
        // node took.
        std::erase_if(m_pending, [node](const auto& pending) { return pending.first == node; });
        m_pending.emplace_back(node, contentOf(node));
    }
    if (m_next != nullptr)
        m_next->aboutToChange(node);
}

void EditHistory::changed(const Node* node) {
    const auto pending = std::find_if(m_pending.begin(), m_pending.end(),
                                      [node](const auto& entry) { return entry.first == node; });
    if (pending != m_pending.end()) {
        Change change;
        change.kind = Change::Kind::Content;
        change.path = pathOf(node);
        change.before = std::move(pending->second);
        change.after = contentOf(node);
        m_pending.erase(pending);
        if (!(change.before == change.after))
            record(std::move(change));
    }
    if (m_next != nullptr)
        m_next->changed(node);
}

void EditHistory::aboutToReset() {
    if (m_next != nullptr)
        m_next->aboutToReset();
}

void EditHistory::wasReset() {
    if (m_next != nullptr)
        m_next->wasReset();
}

} // namespace tonvale
