// SPDX-License-Identifier: MIT
#include "document/SectionTree.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace tonvale;

namespace {

// Checks rows, parents, levels and that next/previous/absoluteIndex agree with the pre-order.
void expectConsistent(const SectionTree& tree) {
    const auto& order = tree.preorder();
    ASSERT_EQ(order.size(), tree.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        const Node* node = order[i];
        EXPECT_EQ(tree.absoluteIndex(node), i);
        EXPECT_EQ(tree.nodeAt(i), node);
        EXPECT_EQ(tree.next(node), i + 1 < order.size() ? order[i + 1] : nullptr);
        EXPECT_EQ(tree.previous(node), i > 0 ? order[i - 1] : nullptr);
        const auto& siblings = node->parent() ? node->parent()->children() : tree.topLevel();
        EXPECT_EQ(siblings[static_cast<std::size_t>(node->row())], node);
        EXPECT_EQ(node->level(), node->parent() ? node->parent()->level() + 1 : 0);
    }
}

std::string texts(const SectionTree& tree) {
    std::string out;
    for (const Node* node : tree.preorder())
        out += std::to_string(node->level()) + node->text() + " ";
    return out;
}

} // namespace

TEST(SectionTree, InsertRemoveAndMoveKeepTheTreeConsistent) {
    SectionTree tree;
    Node* a = tree.append(nullptr, "a");
    Node* b = tree.append(nullptr, "b");
    Node* a1 = tree.append(a, "a1");
    tree.append(a1, "a11");
    tree.insert(a, 0, "a0");
    tree.append(nullptr, "end");
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1a0 1a1 2a11 0b 0end ");
    EXPECT_EQ(tree.last()->text(), "end");

    tree.move(a1, b, -1); // with its child
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1a0 0b 1a1 2a11 0end ");

    tree.move(b, nullptr, 0);
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0b 1a1 2a11 0a 1a0 0end ");

    tree.move(b, nullptr, 2); // rows count before the move: lands before "end"
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1a0 0b 1a1 2a11 0end ");

    tree.move(b, a1, -1); // into its own subtree: refused
    EXPECT_EQ(texts(tree), "0a 1a0 0b 1a1 2a11 0end ");

    tree.remove(b);
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1a0 0end ");
    EXPECT_EQ(tree.size(), 3u);

    Node* reused = tree.append(a, "again"); // storage of removed nodes is reused
    EXPECT_EQ(reused->text(), "again");
    EXPECT_FALSE(reused->hasData());
    EXPECT_FALSE(reused->hasChildren());
    expectConsistent(tree);
}

TEST(SectionTree, BulkPassesKeepOrder) {
    SectionTree tree;
    Node* a = tree.append(nullptr, "a");
    Node* x = tree.append(nullptr, "x");
    Node* y = tree.append(x, "y");
    Node* z = tree.append(nullptr, "z");
    tree.setChildren(a, {x});
    tree.setChildren(nullptr, {a, z});
    tree.recomputeLevels();
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1x 2y 0z ");
    tree.removeLeaves({y, z});
    expectConsistent(tree);
    EXPECT_EQ(texts(tree), "0a 1x ");
}

TEST(SectionTree, DeepChainIsWalkedAndDestroyedWithoutRecursion) {
    auto tree = std::make_unique<SectionTree>();
    Node* node = nullptr;
    for (int i = 0; i < 200000; ++i)
        node = tree->append(node, "n");
    EXPECT_EQ(tree->last()->level(), 199999);
    EXPECT_EQ(tree->absoluteIndex(tree->last()), 199999u);
    std::size_t count = 0;
    for (Node* n = tree->last(); n != nullptr; n = tree->previous(n))
        ++count;
    EXPECT_EQ(count, 200000u);
    tree->move(tree->nodeAt(1), nullptr, -1);
    EXPECT_EQ(tree->last()->level(), 199998);
    tree.reset();
}

TEST(SectionTree, MoveAssignmentTransfersNodes) {
    SectionTree source;
    source.append(nullptr, "a");
    SectionTree target;
    target.append(nullptr, "old");
    target = std::move(source);
    EXPECT_EQ(target.size(), 1u);
    EXPECT_EQ(target.first()->text(), "a");
    source.append(nullptr, "fresh"); // the moved-from tree stays usable
    EXPECT_EQ(source.size(), 1u);
}

// Loaded texts share the tree's arena (equal short texts even share their bytes); an edit gives one
// node a text of its own and leaves every other node as it was, and data copied out of a tree keeps its
// texts after the tree is gone.
TEST(SectionTree, EditsAndCopiesOfArenaTextsStandAlone) {
    SectionTree tree;
    Node* a = tree.appendStored(nullptr, "\"volume\"");
    Node* b = tree.appendStored(nullptr, "\"volume\"");
    const std::string longValue(300, 'v');
    for (Node* node : {a, b}) {
        tree.storeText(tree.ensureData(node).value, "\"0.5\"");
        tree.storeText(tree.ensureData(node).commentsAbove, longValue);
    }
    EXPECT_EQ(a->text().data(), b->text().data()); // one copy of the repeated key

    tree.setText(a, "\"pitch\"");
    tree.ensureData(a).value = "\"0.7\"";
    tree.ensureData(b).commentsAbove.assign(b->data()->commentsAbove.substr(1)); // a view of itself
    EXPECT_EQ(a->text(), "\"pitch\"");
    EXPECT_EQ(b->text(), "\"volume\"");
    EXPECT_EQ(a->data()->value, "\"0.7\"");
    EXPECT_EQ(b->data()->value, "\"0.5\"");
    EXPECT_EQ(a->data()->commentsAbove, longValue);
    EXPECT_EQ(b->data()->commentsAbove, longValue.substr(1));

    NodeData copy = *b->data();
    NodeText moved = std::move(tree.ensureData(a).commentsAbove);
    const NodeData before = copy;
    tree.clear();
    EXPECT_EQ(copy, before);
    EXPECT_EQ(copy.value, "\"0.5\"");
    EXPECT_EQ(copy.commentsAbove, longValue.substr(1));
    EXPECT_EQ(moved, longValue);
}

// Child lists grow through every size of array, the largest ones in blocks of their own, and arrays
// given back are used again by other lists: each list keeps exactly its children, in order.
TEST(SectionTree, ChildListsOfEverySizeKeepTheirChildren) {
    SectionTree tree;
    std::vector<Node*> model; // the top level, as it must be
    std::vector<Node*> parents;
    for (int i = 0; i < 150000; ++i) {
        model.push_back(tree.append(nullptr, "n"));
        if (i % 5000 == 0) { // a few lists grow and shrink beside the big one
            parents.push_back(model.back());
            for (int k = 0; k < 40; ++k)
                tree.append(parents.back(), "c" + std::to_string(k));
        }
    }
    for (std::size_t i = 0; i < parents.size(); i += 2) {
        while (parents[i]->hasChildren())
            tree.remove(parents[i]->child(0));
    }
    for (std::size_t i = 1; i < parents.size(); i += 2)
        tree.append(parents[i], "last");
    for (std::size_t at : {std::size_t{0}, std::size_t{70000}, std::size_t{150001}})
        model.insert(model.begin() + static_cast<std::ptrdiff_t>(at),
                     tree.insert(nullptr, static_cast<int>(at), "m"));
    tree.remove(model[1]);
    model.erase(model.begin() + 1);
    tree.move(model[5], nullptr, -1);
    model.push_back(model[5]);
    model.erase(model.begin() + 5);

    ASSERT_TRUE(std::equal(tree.topLevel().begin(), tree.topLevel().end(), model.begin(), model.end()));
    for (std::size_t i = 0; i < parents.size(); ++i) {
        const auto kids = parents[i]->children();
        ASSERT_EQ(kids.size(), i % 2 == 0 ? 0u : 41u) << i;
        for (std::size_t k = 0; k < kids.size(); ++k)
            EXPECT_EQ(kids[k]->text(), k < 40 ? "c" + std::to_string(k) : "last");
    }
    expectConsistent(tree);
}
