// SPDX-License-Identifier: MIT
#pragma once

// Checks shared by the tests of the document edits: the tree's invariants, the tree a save and a
// load give back, and a mirror of the tree kept only from TreeObserver reports, as a tree model would.

#include "Helpers.h"
#include "document/Edits.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace tonvale::testing {

inline bool hasLineBreakOrBrace(std::string_view text) {
    for (char c : text) {
        if (c == '\t' || c == '{' || c == '}' || c == '\n' || c == '\0' || c == '\r')
            return true;
    }
    return false;
}

// Comments hold any byte but line breaks; comment lines are each followed by a CR.
inline bool isCommentLines(std::string_view text) {
    return text.find('\n') == std::string_view::npos && (text.empty() || text.back() == '\r');
}

// Structure, data and text invariants of a document that edits must keep.
inline void expectInvariants(const SectionTree& tree) {
    const std::vector<Node*>& order = tree.preorder();
    ASSERT_FALSE(order.empty());
    const Node* last = order.back();
    EXPECT_EQ(last->level(), 0);
    EXPECT_FALSE(last->hasData());
    EXPECT_TRUE(isCommentLines(tree.topLevelComments()));
    for (const Node* node : order) {
        const Node* parent = node->parent();
        EXPECT_EQ(node->level(), parent != nullptr ? parent->level() + 1 : 0) << node->text();
        const std::span<Node* const> siblings = parent != nullptr ? parent->children() : tree.topLevel();
        ASSERT_LT(static_cast<std::size_t>(node->row()), siblings.size());
        EXPECT_EQ(siblings[static_cast<std::size_t>(node->row())], node);
        EXPECT_FALSE(hasLineBreakOrBrace(node->text())) << node->text();
        if (node == last)
            continue;
        const NodeData* data = node->data();
        ASSERT_NE(data, nullptr) << node->text();
        EXPECT_FALSE(hasLineBreakOrBrace(data->value)) << data->value;
        EXPECT_EQ(data->commentBeside.find_first_of("\r\n"), std::string::npos) << data->commentBeside;
        EXPECT_TRUE(isCommentLines(data->commentsAbove)) << data->commentsAbove;
        EXPECT_TRUE(isCommentLines(data->trailingComments)) << data->trailingComments;
    }
}

// Images as the loader assigns them: a node that opens a block (a soundscape or header left without
// children included) shows as a header.
inline void expectImages(const SectionTree& tree) {
    for (const Node* node : tree.preorder()) {
        int image = opensBlock(node) ? ImageHeader : ImageParameter;
        if (tree.isEndMarker(node))
            image = ImageEndMarker;
        EXPECT_EQ(node->image(), image) << node->text();
        EXPECT_EQ(node->selectedImage(), image == ImageEndMarker ? ImageEndMarker : image + 1)
            << node->text();
    }
}

// What the tree should read back as: every text, Value, comment and level exactly. Only the blanks
// and tabs that end a comment line are layout.
inline std::vector<std::string> describeReloaded(const SectionTree& tree) {
    auto lines = [](std::string_view comments) {
        std::string out;
        while (!comments.empty()) {
            const std::size_t cr = std::min(comments.find('\r'), comments.size());
            out += trimCommentEnd(comments.substr(0, cr));
            out += '\r';
            comments.remove_prefix(std::min(cr + 1, comments.size()));
        }
        return out;
    };
    std::vector<std::string> out;
    for (const Node* node : tree.preorder()) {
        std::string entry = std::to_string(node->level()) + "|" + node->text();
        if (const NodeData* data = node->data()) {
            entry += "|" + data->value + "|" + lines(data->commentsAbove) + "|" +
                     std::string(trimCommentEnd(data->commentBeside));
            if (!data->trailingComments.empty())
                entry += "|trailing:" + lines(data->trailingComments);
        } else {
            entry += "|-";
        }
        if (opensBlock(node) && !node->hasChildren())
            entry += "|{}";
        out.push_back(entry);
    }
    if (!tree.topLevelComments().empty())
        out.push_back("top:" + lines(tree.topLevelComments()));
    return out;
}

// Saves the tree, loads the bytes and compares the trees.
inline void expectReadsBack(const SectionTree& tree) {
    const WriteResult written = writeScript(tree);
    if (tree.size() < 2) {
        EXPECT_FALSE(written.ok); // nothing but the end marker: the writer refuses with its message
        return;
    }
    ASSERT_TRUE(written.ok) << written.message.text;
    const LoadResult loaded = loadScript(written.bytes);
    ASSERT_TRUE(loaded.ok()) << written.bytes;
    EXPECT_EQ(describe(loaded.tree), describeReloaded(tree)) << written.bytes;
}

// A tree model's view of the document, kept only from the observer's reports. It checks each
// report against the tree (the "about to" reports must come before the change, the others after it)
// and, through expectInSync, that the reports added up to the tree's new shape.
class ModelMirror : public TreeObserver {
  public:
    explicit ModelMirror(const SectionTree& tree) : m_tree(tree) {
        for (const Node* node : tree.preorder())
            m_kids[node] = realKids(node);
        m_kids[nullptr] = realKids(nullptr);
        for (const Node* node : tree.preorder())
            m_before[node] = snapshot(node);
    }

    void aboutToInsert(const Node* parent, int row, int count) override {
        begin();
        EXPECT_EQ(m_kids[parent], realKids(parent));
        EXPECT_GE(row, 0);
        EXPECT_LE(static_cast<std::size_t>(row), m_kids[parent].size());
        EXPECT_GT(count, 0);
    }
    void inserted(const Node* parent, int row, int count) override {
        end();
        const std::vector<const Node*> real = realKids(parent);
        auto& kids = m_kids[parent];
        ASSERT_EQ(real.size(), kids.size() + static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const Node* node = real[static_cast<std::size_t>(row + i)];
            kids.insert(kids.begin() + row + i, node);
            addSubtree(node);
        }
    }
    void aboutToRemove(const Node* parent, int row, int count) override {
        begin();
        EXPECT_EQ(m_kids[parent], realKids(parent));
        auto& kids = m_kids[parent];
        ASSERT_LE(static_cast<std::size_t>(row + count), kids.size());
        for (int i = 0; i < count; ++i)
            dropSubtree(kids[static_cast<std::size_t>(row + i)]);
    }
    void removed(const Node* parent, int row, int count) override {
        end();
        auto& kids = m_kids[parent];
        kids.erase(kids.begin() + row, kids.begin() + row + count);
    }
    void aboutToMove(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                     int destRow) override {
        begin();
        EXPECT_EQ(m_kids[oldParent], realKids(oldParent));
        ASSERT_LT(static_cast<std::size_t>(oldRow), m_kids[oldParent].size());
        EXPECT_EQ(m_kids[oldParent][static_cast<std::size_t>(oldRow)], node);
        EXPECT_FALSE(oldParent == newParent && (destRow == oldRow || destRow == oldRow + 1))
            << "no-op move reported";
        EXPECT_LE(static_cast<std::size_t>(destRow), m_kids[newParent].size());
    }
    void moved(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
               int destRow) override {
        end();
        auto& from = m_kids[oldParent];
        from.erase(from.begin() + oldRow);
        const int at = oldParent == newParent && destRow > oldRow ? destRow - 1 : destRow;
        auto& to = m_kids[newParent];
        to.insert(to.begin() + at, node);
    }
    void changed(const Node* node) override { m_changed.insert(node); }

    // The mirror matches the tree, and every node that existed before and whose text, data or images
    // differ now was reported as changed.
    void expectInSync() const {
        EXPECT_EQ(m_open, 0);
        EXPECT_EQ(m_kids.size(), m_tree.size() + 1);
        for (const Node* node : m_tree.preorder()) {
            const auto it = m_kids.find(node);
            ASSERT_NE(it, m_kids.end()) << "unreported node " << node->text();
            EXPECT_EQ(it->second, realKids(node)) << node->text();
            const auto before = m_before.find(node);
            if (before != m_before.end() && before->second != snapshot(node)) {
                EXPECT_TRUE(m_changed.count(node) != 0) << "unreported change of " << node->text();
            }
        }
        EXPECT_EQ(m_kids.at(nullptr), realKids(nullptr));
    }
    bool reportedChange(const Node* node) const { return m_changed.count(node) != 0; }
    int structuralReports() const { return m_reports; }

  private:
    void begin() {
        EXPECT_EQ(m_open, 0);
        ++m_open;
        ++m_reports;
    }
    void end() {
        EXPECT_EQ(m_open, 1);
        --m_open;
    }
    std::vector<const Node*> realKids(const Node* node) const {
        const std::span<Node* const> kids = node != nullptr ? node->children() : m_tree.topLevel();
        return {kids.begin(), kids.end()};
    }
    void addSubtree(const Node* node) {
        m_kids[node] = realKids(node);
        for (const Node* child : node->children())
            addSubtree(child);
    }
    void dropSubtree(const Node* node) {
        for (const Node* child : m_kids[node])
            dropSubtree(child);
        m_kids.erase(node);
        m_before.erase(node);
    }
    static std::string snapshot(const Node* node) {
        std::string s =
            node->text() + '|' + std::to_string(node->image()) + '|' + std::to_string(node->selectedImage());
        if (const NodeData* data = node->data())
            s += '|' + data->value + '|' + data->commentsAbove + '|' + data->commentBeside;
        return s;
    }

    const SectionTree& m_tree;
    std::map<const Node*, std::vector<const Node*>> m_kids;
    std::map<const Node*, std::string> m_before;
    std::set<const Node*> m_changed;
    int m_open = 0;
    int m_reports = 0;
};

// A node's data, or empty data for the end marker.
inline const NodeData& dataOf(const Node* node) {
    static const NodeData none;
    const NodeData* data = node != nullptr ? node->data() : nullptr;
    return data != nullptr ? *data : none;
}

// Finds the n-th node (pre-order) with this text.
inline Node* findNode(const SectionTree& tree, std::string_view text, int nth = 0) {
    for (Node* node : tree.preorder()) {
        if (node->text() == text && nth-- == 0)
            return node;
    }
    return nullptr;
}

} // namespace tonvale::testing
