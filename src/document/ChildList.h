// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>
#include <vector>

namespace tonvale {

class Node;

// The children of a node: an array of node pointers that belongs to the tree's ChildArrays. It reads
// like a std::span; only the tree changes it, through its ChildArrays. It has no destructor: the
// arrays go with the tree.
class ChildList {
  public:
    Node* const* begin() const { return m_items; }
    Node* const* end() const { return m_items + m_size; }
    std::size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    Node* operator[](std::size_t i) const { return m_items[i]; }
    Node* front() const { return m_items[0]; }
    Node* back() const { return m_items[m_size - 1]; }
    std::span<Node* const> view() const { return {m_items, m_size}; }

  private:
    friend class ChildArrays;
    Node** m_items = nullptr;
    std::uint32_t m_size = 0;
    std::uint32_t m_capacity = 0;
};

// The memory of a tree's child lists. Arrays are carved from blocks that grow with the tree (large
// ones backed by huge pages, like the nodes), so a load makes no allocation of its own for each block
// of the script; an array given back is kept for the next list of its size.
class ChildArrays {
  public:
    ChildArrays() = default;
    ChildArrays(const ChildArrays&) = delete;
    ChildArrays& operator=(const ChildArrays&) = delete;
    ChildArrays(ChildArrays&& other) noexcept { *this = std::move(other); }
    ChildArrays& operator=(ChildArrays&& other) noexcept;
    ~ChildArrays() { clear(); }

    // Puts `node` at position `at` (at most the list's size). Throws std::bad_alloc; the list is then
    // as it was.
    void insert(ChildList& list, std::size_t at, Node* node);
    // Makes room for one more child, so that the next insert cannot fail. Throws std::bad_alloc.
    void makeRoomForOne(ChildList& list);
    void push_back(ChildList& list, Node* node) { insert(list, list.m_size, node); }
    void erase(ChildList& list, std::size_t at);
    // Keeps the children for which `keep` is true, in order.
    template <class Keep> void keepIf(ChildList& list, Keep keep) {
        std::size_t kept = 0;
        for (std::size_t i = 0; i < list.m_size; ++i) {
            if (keep(list.m_items[i]))
                list.m_items[kept++] = list.m_items[i];
        }
        list.m_size = static_cast<std::uint32_t>(kept);
    }
    void assign(ChildList& list, const std::vector<Node*>& children);
    // Gives the list's array back; the list is left empty.
    void release(ChildList& list);
    // Gives every block back: every list of the tree is left dangling, to be dropped with it.
    void clear();
    // Lists for about `children` children are coming: the first block is sized for them (up to 4 MiB).
    void expect(std::size_t children);
    std::size_t reserved() const { return m_reserved; }

  private:
    // Arrays hold 4 << k pointers. Smaller arrays given back stay with the tree for lists of their
    // size; those of LargeClass and up have a block of their own, which goes back at once (a list that
    // grows to millions of children would otherwise keep every smaller array it outgrew).
    static constexpr std::size_t Classes = 30;
    static constexpr std::size_t LargeClass = 14; // 64k pointers, 512 KiB
    static std::size_t classOf(std::size_t capacity);
    Node** allocate(std::size_t sizeClass);
    void free(Node** items, std::size_t capacity);

    struct Block {
        Block* previous;
        std::size_t size;
    };
    struct LargeBlock {
        LargeBlock* previous;
        LargeBlock* next;
        std::size_t size;
        std::size_t padding; // keeps the array 16-byte aligned
    };
    Node** m_free[Classes] = {}; // arrays given back, linked through their first slot
    char* m_next = nullptr;
    char* m_end = nullptr;
    Block* m_newest = nullptr;     // the blocks of small arrays, newest first
    LargeBlock* m_large = nullptr; // the large arrays in use
    static constexpr std::size_t SmallestBlock = std::size_t{1} << 16;
    std::size_t m_blockSize = SmallestBlock;
    std::size_t m_reserved = 0;
};

} // namespace tonvale
