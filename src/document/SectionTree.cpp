// SPDX-License-Identifier: MIT
#include "document/SectionTree.h"

#include "document/BlockMemory.h"

#include <algorithm>
#include <cassert>
#include <cstdlib>
#include <new>
#include <utility>

namespace tonvale {

SectionTree::SectionTree() : m_root(&m_rootNode) {
    m_root->m_level = -1;
}

// Nodes never delete each other: the chunks own them all, so destroying a deep tree needs no recursion.
SectionTree::~SectionTree() {
    releaseStorage();
}

void SectionTree::freeChunk(Chunk& chunk) {
    std::destroy_n(chunk.nodes, chunk.used);
    freeBlock(chunk.nodes, chunk.capacity * sizeof(Node));
    chunk = {};
}

void SectionTree::freeDataBlock(DataBlock& block) {
    std::destroy_n(block.items, block.used);
    freeBlock(block.items, block.capacity * sizeof(NodeData));
    block = {};
}

void SectionTree::releaseStorage() {
    for (Chunk& chunk : m_chunks)
        freeChunk(chunk);
    m_chunks.clear();
    m_free.clear();
    for (DataBlock& block : m_dataBlocks)
        freeDataBlock(block);
    m_dataBlocks.clear();
    m_freeData.clear();
    m_arena.clear();
    m_childArrays.clear();
    m_rootNode.m_children = ChildList();
    m_expectedNodes = 0;
    m_count = 0;
    m_order.clear();
    m_orderValid = true;
    m_topLevelComments.clear();
    m_source.reset();
    m_sourceCache.reset();
    m_byteOrderMark = false;
}

SectionTree::SectionTree(SectionTree&& other) noexcept
    : m_chunks(std::move(other.m_chunks)), m_free(std::move(other.m_free)),
      m_dataBlocks(std::move(other.m_dataBlocks)), m_freeData(std::move(other.m_freeData)),
      m_arena(std::move(other.m_arena)), m_childArrays(std::move(other.m_childArrays)), m_root(&m_rootNode),
      m_count(other.m_count), m_order(std::move(other.m_order)), m_orderValid(other.m_orderValid),
      m_topLevelComments(std::move(other.m_topLevelComments)), m_source(std::move(other.m_source)),
      m_sourceCache(std::move(other.m_sourceCache)), m_byteOrderMark(other.m_byteOrderMark) {
    m_rootNode.m_level = -1;
    m_rootNode.m_children = std::exchange(other.m_rootNode.m_children, ChildList());
    for (Node* child : m_rootNode.m_children)
        child->m_parent = m_root;
    other.m_chunks.clear();
    other.m_dataBlocks.clear();
    other.clear();
}

SectionTree& SectionTree::operator=(SectionTree&& other) noexcept {
    if (this != &other) {
        releaseStorage();
        m_chunks = std::move(other.m_chunks);
        m_free = std::move(other.m_free);
        m_dataBlocks = std::move(other.m_dataBlocks);
        m_freeData = std::move(other.m_freeData);
        m_arena = std::move(other.m_arena);
        m_childArrays = std::move(other.m_childArrays);
        m_count = other.m_count;
        m_order = std::move(other.m_order);
        m_orderValid = other.m_orderValid;
        m_topLevelComments = std::move(other.m_topLevelComments);
        m_source = std::move(other.m_source);
        m_sourceCache = std::move(other.m_sourceCache);
        m_byteOrderMark = other.m_byteOrderMark;
        m_rootNode.m_children = std::exchange(other.m_rootNode.m_children, ChildList());
        for (Node* child : m_rootNode.m_children)
            child->m_parent = m_root;
        other.m_chunks.clear();
        other.m_dataBlocks.clear();
        other.clear();
    }
    return *this;
}

void SectionTree::clear() {
    releaseStorage();
}

Node* SectionTree::allocate() {
    if (!m_free.empty()) {
        Node* node = m_free.back();
        m_free.pop_back();
        return node;
    }
    if (m_chunks.empty() || m_chunks.back().used == m_chunks.back().capacity) {
        // Chunks double from 64 nodes (or the number expected) up to 8 MiB.
        constexpr std::size_t MaxChunk = (std::size_t{8} << 20) / sizeof(Node);
        const std::size_t capacity = m_chunks.empty()
                                         ? firstBlockBytes(m_expectedNodes * sizeof(Node), 64 * sizeof(Node),
                                                           MaxChunk * sizeof(Node)) /
                                               sizeof(Node)
                                         : std::min(m_chunks.back().capacity * 2, MaxChunk);
        void* memory = allocateBlock(capacity * sizeof(Node));
        m_chunks.push_back({static_cast<Node*>(memory), capacity, 0});
    }
    Chunk& chunk = m_chunks.back();
    return new (chunk.nodes + chunk.used++) Node();
}

NodeData* SectionTree::allocateData() {
    if (!m_freeData.empty()) {
        NodeData* data = m_freeData.back();
        m_freeData.pop_back();
        return data;
    }
    if (m_dataBlocks.empty() || m_dataBlocks.back().used == m_dataBlocks.back().capacity) {
        constexpr std::size_t MaxBlock = (std::size_t{4} << 20) / sizeof(NodeData);
        const std::size_t capacity =
            m_dataBlocks.empty() ? firstBlockBytes(m_expectedNodes * sizeof(NodeData), 64 * sizeof(NodeData),
                                                   MaxBlock * sizeof(NodeData)) /
                                       sizeof(NodeData)
                                 : std::min(m_dataBlocks.back().capacity * 2, MaxBlock);
        m_dataBlocks.push_back(
            {static_cast<NodeData*>(allocateBlock(capacity * sizeof(NodeData))), capacity, 0});
    }
    DataBlock& block = m_dataBlocks.back();
    return new (block.items + block.used++) NodeData();
}

void SectionTree::releaseData(NodeData* data) {
    *data = NodeData();
    m_freeData.push_back(data);
}

static_assert(sizeof(Node) <= 56, "a node stays within 56 bytes: the bytes a large load touches");

void SectionTree::reserve(std::size_t nodes) {
    m_order.reserve(nodes);
    adviseHugePages(m_order.data() + m_order.size(), (m_order.capacity() - m_order.size()) * sizeof(Node*));
    m_expectedNodes = nodes;
    m_arena.expect(nodes * 16);
    m_childArrays.expect(nodes);
}

std::size_t SectionTree::reservedBytes() const {
    std::size_t bytes = m_arena.reserved() + m_childArrays.reserved();
    for (const Chunk& chunk : m_chunks)
        bytes += chunk.capacity * sizeof(Node);
    for (const DataBlock& block : m_dataBlocks)
        bytes += block.capacity * sizeof(NodeData);
    return bytes;
}

void SectionTree::release(Node* node) {
    node->m_text.clear();
    if (node->m_data != nullptr)
        releaseData(node->m_data);
    node->m_data = nullptr;
    m_childArrays.release(node->m_children);
    node->m_parent = nullptr;
    m_free.push_back(node);
}

Node* SectionTree::first() const {
    return m_root->m_children.empty() ? nullptr : m_root->m_children.front();
}

Node* SectionTree::last() const {
    Node* node = m_root;
    while (!node->m_children.empty())
        node = node->m_children.back();
    return node == m_root ? nullptr : node;
}

Node* SectionTree::next(const Node* node) const {
    if (node == nullptr)
        return nullptr;
    if (!node->m_children.empty())
        return node->m_children.front();
    while (node != m_root) {
        const Node* parent = node->m_parent;
        const auto nextRow = static_cast<std::size_t>(node->m_row) + 1;
        if (nextRow < parent->m_children.size())
            return parent->m_children[nextRow];
        node = parent;
    }
    return nullptr;
}

Node* SectionTree::previous(const Node* node) const {
    if (node == nullptr || node == m_root)
        return nullptr;
    Node* parent = node->m_parent;
    if (node->m_row == 0)
        return parent == m_root ? nullptr : parent;
    Node* prev = parent->m_children[static_cast<std::size_t>(node->m_row) - 1];
    while (!prev->m_children.empty())
        prev = prev->m_children.back();
    return prev;
}

const std::vector<Node*>& SectionTree::preorder() const {
    if (!m_orderValid) {
        m_order.clear();
        m_order.reserve(m_count);
        for (Node* node = first(); node != nullptr; node = next(node)) {
            node->m_index = static_cast<std::uint32_t>(m_order.size());
            m_order.push_back(node);
        }
        m_orderValid = true;
    }
    return m_order;
}

std::size_t SectionTree::absoluteIndex(const Node* node) const {
    preorder();
    return node->m_index;
}

Node* SectionTree::nodeAt(std::size_t index) const {
    const auto& order = preorder();
    return index < order.size() ? order[index] : nullptr;
}

bool SectionTree::isWithin(const Node* node, const Node* ancestor) {
    for (; node != nullptr && node->m_level >= 0; node = node->m_parent) {
        if (node == ancestor)
            return true;
    }
    return false;
}

void SectionTree::renumber(Node* parent, std::size_t fromRow) {
    auto& kids = parent->m_children;
    for (std::size_t i = fromRow; i < kids.size(); ++i)
        kids[i]->m_row = static_cast<int>(i);
}

void SectionTree::setSubtreeLevels(Node* node, int level) {
    const int delta = level - node->m_level;
    if (delta == 0)
        return;
    std::vector<Node*> stack{node};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        n->m_level += delta;
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
    }
}

Node* SectionTree::insert(Node* parent, int row, std::string text) {
    Node* node = allocate();
    node->m_text = std::string_view(text);
    return insertNode(parent, row, node);
}

Node* SectionTree::appendStored(Node* parent, std::string_view text) {
    Node* node = allocate();
    m_arena.assign(node->m_text, text);
    return insertNode(parent, -1, node);
}

Node* SectionTree::insertNode(Node* parent, int row, Node* node) {
    if (parent == nullptr)
        parent = m_root;
    auto& kids = parent->m_children;
    const std::size_t at = (row < 0 || static_cast<std::size_t>(row) > kids.size())
                               ? kids.size()
                               : static_cast<std::size_t>(row);
    node->m_parent = parent;
    node->m_level = parent->m_level + 1;
    node->m_image = ImageHeader;
    node->m_selectedImage = ImageHeader;
    bool staysInOrder = false;
    if (at == kids.size()) {
        // Appending below the last node in pre-order, or below one of its ancestors, makes the new
        // node the last one: the order cache stays valid. Loading builds whole files this way.
        if (m_orderValid) {
            const Node* last = m_order.empty() ? m_root : m_order.back();
            while (last->m_level > parent->m_level)
                last = last->m_parent;
            staysInOrder = last == parent;
        }
        m_childArrays.push_back(kids, node);
        node->m_row = static_cast<int>(kids.size()) - 1;
    } else {
        m_childArrays.insert(kids, at, node);
        renumber(parent, at);
    }
    ++m_count;
    if (staysInOrder) {
        node->m_index = static_cast<std::uint32_t>(m_order.size());
        m_order.push_back(node);
    } else {
        invalidateOrder();
    }
    return node;
}

void SectionTree::remove(Node* node) {
    if (node == nullptr || node == m_root)
        return;
    Node* parent = node->m_parent;
    const auto at = static_cast<std::size_t>(node->m_row);
    m_childArrays.erase(parent->m_children, at);
    renumber(parent, at);
    std::vector<Node*> stack{node};
    while (!stack.empty()) {
        Node* n = stack.back();
        stack.pop_back();
        stack.insert(stack.end(), n->m_children.begin(), n->m_children.end());
        release(n);
        --m_count;
    }
    invalidateOrder();
}

void SectionTree::move(Node* node, Node* newParent, int row) {
    if (node == nullptr || node == m_root)
        return;
    if (newParent == nullptr)
        newParent = m_root;
    if (isWithin(newParent, node))
        return; // a node cannot move into its own subtree
    Node* oldParent = node->m_parent;
    const auto oldRow = static_cast<std::size_t>(node->m_row);
    auto& newKids = newParent->m_children;
    std::size_t at = (row < 0 || static_cast<std::size_t>(row) > newKids.size())
                         ? newKids.size()
                         : static_cast<std::size_t>(row);
    if (oldParent == newParent && at > oldRow)
        --at; // the node's own slot disappears first
    // The one step that may fail goes first: the node never leaves the tree.
    m_childArrays.makeRoomForOne(newKids);
    m_childArrays.erase(oldParent->m_children, oldRow);
    renumber(oldParent, oldRow);
    m_childArrays.insert(newKids, at, node);
    node->m_parent = newParent;
    renumber(newParent, at);
    setSubtreeLevels(node, newParent->m_level + 1);
    invalidateOrder();
}

void SectionTree::setChildren(Node* parent, std::vector<Node*> children) {
    if (parent == nullptr)
        parent = m_root;
    m_childArrays.assign(parent->m_children, children);
    for (Node* child : parent->m_children) {
        child->m_parent = parent;
        child->m_level = parent->m_level + 1;
    }
    renumber(parent, 0);
    invalidateOrder();
}

void SectionTree::recomputeLevels() {
    for (Node* node = first(); node != nullptr; node = next(node))
        node->m_level = node->m_parent->m_level + 1;
}

void SectionTree::removeLeaves(const std::vector<Node*>& leaves) {
    if (leaves.empty())
        return;
    std::vector<Node*> parents;
    for (Node* leaf : leaves) {
        assert(leaf->m_children.empty());
        if (leaf->m_row >= 0) {
            leaf->m_row = -1; // marks the leaf for removal below
            parents.push_back(leaf->m_parent);
        }
    }
    std::sort(parents.begin(), parents.end());
    parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
    for (Node* parent : parents) {
        m_childArrays.keepIf(parent->m_children, [](const Node* n) { return n->m_row >= 0; });
        renumber(parent, 0);
    }
    // The pre-order without the leaves is the pre-order as it was, less them: a load keeps its order
    // instead of walking the whole tree again.
    if (m_orderValid) {
        std::size_t kept = 0;
        for (Node* node : m_order) {
            if (node->m_row < 0)
                continue;
            node->m_index = static_cast<std::uint32_t>(kept);
            m_order[kept++] = node;
        }
        m_order.resize(kept);
    }
    for (Node* leaf : leaves) {
        if (leaf->m_parent != nullptr) {
            release(leaf);
            --m_count;
        }
    }
}

void SectionTree::setText(Node* node, std::string_view text) {
    node->m_text = text;
}

NodeData& SectionTree::ensureData(Node* node) {
    if (node->m_data == nullptr)
        node->m_data = allocateData();
    return *node->m_data;
}

void SectionTree::clearData(Node* node) {
    if (node->m_data != nullptr)
        releaseData(node->m_data);
    node->m_data = nullptr;
}

void SectionTree::setImages(Node* node, int image, int selectedImage) {
    node->m_image = static_cast<std::int8_t>(image);
    node->m_selectedImage = static_cast<std::int8_t>(selectedImage);
}

bool opensBlock(const Node* node) {
    if (node->hasChildren())
        return true;
    const NodeData* data = node->data();
    return data != nullptr && (data->block || !data->trailingComments.empty());
}

std::vector<NameStep> namePathOf(const SectionTree& tree, const Node* node, const NodeName& nameOf) {
    std::vector<NameStep> path;
    for (; node != nullptr; node = node->parent()) {
        const std::span<Node* const> siblings =
            node->parent() != nullptr ? node->parent()->children() : tree.topLevel();
        const std::optional<std::string_view> name = nameOf(node);
        int before = 0;
        for (auto it = siblings.begin(); it != siblings.end() && *it != node; ++it)
            before += name && nameOf(*it) == name ? 1 : 0;
        path.push_back({std::string(name.value_or(std::string_view())), before});
    }
    std::reverse(path.begin(), path.end());
    return path;
}

Node* nodeAtNamePath(const SectionTree& tree, const std::vector<NameStep>& path, const NodeName& nameOf) {
    Node* found = nullptr;
    std::span<Node* const> siblings = tree.topLevel();
    for (const NameStep& step : path) {
        Node* next = nullptr;
        int before = step.sameNamesBefore;
        for (Node* sibling : siblings) {
            if (nameOf(sibling) == step.name && before-- == 0) {
                next = sibling;
                break;
            }
        }
        if (next == nullptr)
            break;
        found = next;
        siblings = found->children();
    }
    return found;
}

} // namespace tonvale
