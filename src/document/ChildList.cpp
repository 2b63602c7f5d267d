// SPDX-License-Identifier: MIT
#include "document/ChildList.h"

#include "document/BlockMemory.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>

namespace tonvale {

ChildArrays& ChildArrays::operator=(ChildArrays&& other) noexcept {
    if (this != &other) {
        clear();
        std::copy(std::begin(other.m_free), std::end(other.m_free), std::begin(m_free));
        m_next = std::exchange(other.m_next, nullptr);
        m_end = std::exchange(other.m_end, nullptr);
        m_newest = std::exchange(other.m_newest, nullptr);
        m_large = std::exchange(other.m_large, nullptr);
        m_blockSize = std::exchange(other.m_blockSize, SmallestBlock);
        m_reserved = std::exchange(other.m_reserved, 0);
        std::fill(std::begin(other.m_free), std::end(other.m_free), nullptr);
    }
    return *this;
}

std::size_t ChildArrays::classOf(std::size_t capacity) {
    return static_cast<std::size_t>(std::bit_width((std::max<std::size_t>(capacity, 4) - 1) >> 2));
}

Node** ChildArrays::allocate(std::size_t sizeClass) {
    if (sizeClass >= Classes)
        throw std::bad_alloc();
    const std::size_t bytes = (std::size_t{4} << sizeClass) * sizeof(Node*);
    if (sizeClass >= LargeClass) {
        const std::size_t total = sizeof(LargeBlock) + bytes;
        auto* block = static_cast<LargeBlock*>(allocateBlock(total));
        *block = {nullptr, m_large, total, 0};
        if (m_large != nullptr)
            m_large->previous = block;
        m_large = block;
        m_reserved += total;
        return reinterpret_cast<Node**>(block + 1);
    }
    if (Node** items = m_free[sizeClass]) {
        std::memcpy(&m_free[sizeClass], items, sizeof(Node**));
        return items;
    }
    if (static_cast<std::size_t>(m_end - m_next) < bytes) {
        // Blocks double up to 4 MiB.
        const std::size_t total = std::max(m_blockSize, sizeof(Block) + bytes);
        auto* block = static_cast<Block*>(allocateBlock(total));
        block->previous = m_newest;
        block->size = total;
        m_newest = block;
        m_reserved += total;
        auto* items = reinterpret_cast<char*>(block + 1);
        m_next = items;
        m_end = reinterpret_cast<char*>(block) + total;
        m_blockSize = std::min(m_blockSize * 2, std::size_t{4} << 20);
    }
    auto* items = reinterpret_cast<Node**>(m_next);
    m_next += bytes;
    return items;
}

void ChildArrays::free(Node** items, std::size_t capacity) {
    if (items == nullptr)
        return;
    const std::size_t sizeClass = classOf(capacity);
    if (sizeClass >= LargeClass) {
        LargeBlock* block = reinterpret_cast<LargeBlock*>(items) - 1;
        (block->previous != nullptr ? block->previous->next : m_large) = block->next;
        if (block->next != nullptr)
            block->next->previous = block->previous;
        m_reserved -= block->size;
        dropBlock(block, block->size);
        return;
    }
    std::memcpy(items, &m_free[sizeClass], sizeof(Node**));
    m_free[sizeClass] = items;
}

void ChildArrays::insert(ChildList& list, std::size_t at, Node* node) {
    makeRoomForOne(list);
    std::memmove(list.m_items + at + 1, list.m_items + at, (list.m_size - at) * sizeof(Node*));
    list.m_items[at] = node;
    ++list.m_size;
}

void ChildArrays::makeRoomForOne(ChildList& list) {
    if (list.m_size == list.m_capacity) {
        // Most blocks of a script hold a few elements: the first array has room for four.
        const std::size_t sizeClass = list.m_capacity == 0 ? 0 : classOf(list.m_capacity) + 1;
        Node** items = allocate(sizeClass);
        if (list.m_size > 0)
            std::memcpy(items, list.m_items, list.m_size * sizeof(Node*));
        free(list.m_items, list.m_capacity);
        list.m_items = items;
        list.m_capacity = static_cast<std::uint32_t>(std::size_t{4} << sizeClass);
    }
}

void ChildArrays::erase(ChildList& list, std::size_t at) {
    std::memmove(list.m_items + at, list.m_items + at + 1, (list.m_size - at - 1) * sizeof(Node*));
    --list.m_size;
}

void ChildArrays::assign(ChildList& list, const std::vector<Node*>& children) {
    if (children.size() > list.m_capacity) {
        Node** items = allocate(classOf(children.size()));
        free(list.m_items, list.m_capacity);
        list.m_items = items;
        list.m_capacity = static_cast<std::uint32_t>(std::size_t{4} << classOf(children.size()));
    }
    if (!children.empty())
        std::memcpy(list.m_items, children.data(), children.size() * sizeof(Node*));
    list.m_size = static_cast<std::uint32_t>(children.size());
}

void ChildArrays::release(ChildList& list) {
    free(list.m_items, list.m_capacity);
    list = ChildList();
}

void ChildArrays::expect(std::size_t children) {
    if (m_newest == nullptr)
        m_blockSize = firstBlockBytes(children * sizeof(Node*), SmallestBlock, std::size_t{4} << 20);
}

void ChildArrays::clear() {
    while (m_newest != nullptr) {
        Block* block = m_newest;
        m_newest = block->previous;
        freeBlock(block, block->size);
    }
    while (m_large != nullptr) {
        LargeBlock* block = m_large;
        m_large = block->next;
        freeBlock(block, block->size);
    }
    std::fill(std::begin(m_free), std::end(m_free), nullptr);
    m_next = nullptr;
    m_end = nullptr;
    m_blockSize = SmallestBlock;
    m_reserved = 0;
}

} // namespace tonvale
