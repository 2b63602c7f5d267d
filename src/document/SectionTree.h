// SPDX-License-Identifier: MIT
#pragma once

#include "document/ChildList.h"
#include "document/NodeData.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// Tree images: indices into the section tree's image list.
enum TreeImage : int {
    ImageHeader = 0,
    ImageHeaderSelected = 1,
    ImageParameter = 2,
    ImageParameterSelected = 3,
    ImageEndMarker = 4,
};

class SectionTree;

// One element of the script. Nodes are owned by their SectionTree and change only through it, so the
// tree can keep levels, rows and the pre-order index in step.
class Node {
  public:
    Node() = default;
    // A node's child list belongs to its tree: nodes are never copied.
    Node(const Node&) = delete;
    Node& operator=(const Node&) = delete;

    const NodeText& text() const { return m_text; }
    int level() const { return m_level; }
    Node* parent() const { return m_level == 0 ? nullptr : m_parent; } // nullptr at the top
    std::span<Node* const> children() const { return m_children.view(); }
    bool hasChildren() const { return !m_children.empty(); }
    int childCount() const { return static_cast<int>(m_children.size()); }
    Node* child(int row) const { return m_children[static_cast<std::size_t>(row)]; }
    int row() const { return m_row; } // position among its siblings
    int image() const { return m_image; }
    int selectedImage() const { return m_selectedImage; }

    bool hasData() const { return m_data != nullptr; }
    const NodeData* data() const { return m_data; }
    NodeData* data() { return m_data; }

  private:
    friend class SectionTree;

    NodeText m_text;
    NodeData* m_data = nullptr; // from the tree's pool of data
    ChildList m_children;       // in the tree's child arrays
    Node* m_parent = nullptr;   // the tree's hidden root for top-level nodes
    int m_level = 0;
    int m_row = 0;
    mutable std::uint32_t m_index = 0; // absolute index, valid while the tree's order cache is
    std::int8_t m_image = ImageHeader;
    std::int8_t m_selectedImage = ImageHeader;
};

// The section tree: an ordered forest of nodes, one per element, in file order (pre-order).
// Pre-order neighbours, levels and absolute indices are cheap; nothing recurses, so a file nested
// 100,000 levels deep is built, walked and destroyed without deep stacks.
class SectionTree {
  public:
    SectionTree();
    ~SectionTree();
    // Drops every node and gives the memory back.
    void releaseStorage();
    SectionTree(const SectionTree&) = delete;
    SectionTree& operator=(const SectionTree&) = delete;
    SectionTree(SectionTree&&) noexcept;
    SectionTree& operator=(SectionTree&&) noexcept;

    void clear();
    bool empty() const { return m_count == 0; }
    std::size_t size() const { return m_count; }

    std::span<Node* const> topLevel() const { return m_root->m_children.view(); }
    Node* first() const; // first node in pre-order
    Node* last() const;  // last node in pre-order: the end marker of a loaded script
    Node* next(const Node* node) const;
    Node* previous(const Node* node) const;
    // Absolute index: position in pre-order, 0-based.
    std::size_t absoluteIndex(const Node* node) const;
    Node* nodeAt(std::size_t index) const;
    // Every node in pre-order (cached until the structure changes).
    const std::vector<Node*>& preorder() const;
    bool isEndMarker(const Node* node) const { return node != nullptr && node == last(); }
    // True when `node` is `ancestor` or lies below it.
    static bool isWithin(const Node* node, const Node* ancestor);

    // Structure. `parent` nullptr means the top level; `row` -1 means after the last child.
    Node* insert(Node* parent, int row, std::string text);
    Node* append(Node* parent, std::string text) { return insert(parent, -1, std::move(text)); }
    // Removes the node and everything below it.
    void remove(Node* node);
    // Moves the node with its subtree; `row` counts in the new parent's children before the move.
    void move(Node* node, Node* newParent, int row);

    // Bulk edits for whole-tree passes, each O(size of the lists involved).
    // Replaces the children of `parent` (nullptr: the top level). The children's levels follow the
    // parent's; their own children's levels are not updated.
    void setChildren(Node* parent, std::vector<Node*> children);
    // Sets every node's level from its place in the tree.
    void recomputeLevels();
    // Removes every listed node, which must all be leaves, in one pass over their parents.
    void removeLeaves(const std::vector<Node*>& leaves);

    // Content. Texts set here are the node's own copies (copy on edit).
    void setText(Node* node, std::string_view text);
    void assignText(Node* node, std::string_view text) { setText(node, text); }
    NodeData& ensureData(Node* node);
    void clearData(Node* node);

    // Loading: texts kept in the tree's text arena, which grows and is given back with the tree (no
    // allocation of its own for each text).
    Node* appendStored(Node* parent, std::string_view text);
    void storeText(Node* node, std::string_view text) { m_arena.assign(node->m_text, text); }
    void storeText(NodeText& target, std::string_view text) { m_arena.assign(target, text); }
    // Makes room for about `nodes` nodes, for a load of known size: the pre-order cache, and the first
    // blocks of nodes, node data, texts and child lists, are sized for them instead of growing from
    // small ones. Room that stays unused is never touched, so it costs no memory.
    void reserve(std::size_t nodes);
    // Bytes reserved for nodes, node data, texts and child lists.
    std::size_t reservedBytes() const;
    void setImages(Node* node, int image, int selectedImage);

    // Comment lines at the end of the top level, kept before the end marker line (each followed by a
    // CR, like a block's trailing comments).
    const std::string& topLevelComments() const { return m_topLevelComments; }
    void setTopLevelComments(std::string comments) { m_topLevelComments = std::move(comments); }
    // The script began with a UTF-8 byte-order mark, which is written back before its first line.
    bool byteOrderMark() const { return m_byteOrderMark; }
    void setByteOrderMark(bool present) { m_byteOrderMark = present; }

    // The text the tree was loaded from, kept for the layout-keeping save (nullptr: none). Set with
    // keepSource (Layout.h), which numbers the elements after it.
    const std::shared_ptr<const std::string>& source() const { return m_source; }
    void setSource(std::shared_ptr<const std::string> source) {
        m_source = std::move(source);
        m_sourceCache.reset();
    }
    // What the layout-keeping save works out from the source once (it goes with the source).
    std::shared_ptr<const void>& sourceCache() const { return m_sourceCache; }

  private:
    Node* allocate();
    void release(Node* node);
    Node* insertNode(Node* parent, int row, Node* node);
    NodeData* allocateData();
    void releaseData(NodeData* data);
    void invalidateOrder() { m_orderValid = false; }
    static void renumber(Node* parent, std::size_t fromRow);
    static void setSubtreeLevels(Node* node, int level);

    // Nodes live in chunks that grow with the document (stable addresses, few allocations, large
    // pages for large documents); removed nodes are reused.
    struct Chunk {
        Node* nodes = nullptr;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    static void freeChunk(Chunk& chunk);
    std::vector<Chunk> m_chunks;
    std::vector<Node*> m_free;
    // Node data in blocks of the same kind; released data is reused.
    struct DataBlock {
        NodeData* items = nullptr;
        std::size_t capacity = 0;
        std::size_t used = 0;
    };
    static void freeDataBlock(DataBlock& block);
    std::vector<DataBlock> m_dataBlocks;
    std::vector<NodeData*> m_freeData;
    TextArena m_arena;
    ChildArrays m_childArrays;
    Node m_rootNode;
    Node* m_root;
    std::size_t m_count = 0;
    std::size_t m_expectedNodes = 0; // see reserve()
    mutable std::vector<Node*> m_order;
    mutable bool m_orderValid = true;
    std::string m_topLevelComments;
    std::shared_ptr<const std::string> m_source;
    mutable std::shared_ptr<const void> m_sourceCache;
    bool m_byteOrderMark = false;
};

// One step of a path of names from the top level down: an element's name and how many of its siblings
// before it have the same name. Such a path finds the same element again in a tree built anew from the
// same text.
struct NameStep {
    std::string name;
    int sameNamesBefore = 0;
};
// A node's name as a path has it; nullopt for a node that no step names.
using NodeName = std::function<std::optional<std::string_view>(const Node*)>;
// The path from the top level down to `node` (empty for nullptr).
std::vector<NameStep> namePathOf(const SectionTree& tree, const Node* node, const NodeName& nameOf);
// Where the path leads: its element, else the deepest one found on the way (nullptr: not the first).
Node* nodeAtNamePath(const SectionTree& tree, const std::vector<NameStep>& path, const NodeName& nameOf);

// True when the node is written with a block: it has children, or its data says it opens a block (a
// block left empty), or it has trailing comments, which live inside its block.
bool opensBlock(const Node* node);

static_assert(sizeof(Node) <= 64, "a node fits a cache line");

} // namespace tonvale
