// SPDX-License-Identifier: MIT
#include "document/NodeText.h"

#include "document/BlockMemory.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <ostream>
#include <stdexcept>
#include <utility>

namespace tonvale {

namespace {

constexpr std::size_t MaxTextSize = (std::size_t{1} << 31) - 1;
constexpr std::size_t MaxBlockSize = std::size_t{4} << 20;

void writeHeader(char* at, std::uint32_t header) {
    std::memcpy(at, &header, sizeof header);
}

} // namespace

const char* NodeText::ownedCopy(std::string_view text) {
    if (text.empty())
        return nullptr;
    if (text.size() > MaxTextSize)
        throw std::length_error("text too long");
    char* block = static_cast<char*>(std::malloc(HeaderSize + text.size()));
    if (block == nullptr)
        throw std::bad_alloc();
    writeHeader(block, static_cast<std::uint32_t>(text.size()) | OwnedBit);
    std::memcpy(block + HeaderSize, text.data(), text.size());
    return block + HeaderSize;
}

std::ostream& operator<<(std::ostream& out, const NodeText& text) {
    return out << text.view();
}

void NodeText::freeOwned(const char* bytes) {
    std::free(const_cast<char*>(bytes - HeaderSize));
}

TextArena::TextArena(TextArena&& other) noexcept
    : m_shared(std::exchange(other.m_shared, nullptr)), m_next(std::exchange(other.m_next, nullptr)),
      m_end(std::exchange(other.m_end, nullptr)), m_newest(std::exchange(other.m_newest, nullptr)),
      m_blockSize(std::exchange(other.m_blockSize, 1 << 16)), m_reserved(std::exchange(other.m_reserved, 0)) {
}

TextArena& TextArena::operator=(TextArena&& other) noexcept {
    if (this != &other) {
        clear();
        m_shared = std::exchange(other.m_shared, nullptr);
        m_next = std::exchange(other.m_next, nullptr);
        m_end = std::exchange(other.m_end, nullptr);
        m_newest = std::exchange(other.m_newest, nullptr);
        m_blockSize = std::exchange(other.m_blockSize, 1 << 16);
        m_reserved = std::exchange(other.m_reserved, 0);
    }
    return *this;
}

void TextArena::clear() {
    for (Block* block = m_newest; block != nullptr;) {
        Block* previous = block->previous;
        freeBlock(block, block->size);
        block = previous;
    }
    m_newest = nullptr;
    delete[] m_shared;
    m_shared = nullptr;
    m_next = m_end = nullptr;
    m_blockSize = std::size_t{1} << 16;
    m_reserved = 0;
}

void TextArena::assign(NodeText& target, std::string_view text) {
    if (text.empty()) {
        target.clear();
        return;
    }
    if (text.size() > MaxTextSize)
        throw std::length_error("text too long");
    const char** shared = nullptr;
    if (text.size() <= SharedLength) {
        if (m_shared == nullptr)
            m_shared = new const char* [SharedSlots] {};
        shared = &m_shared[sharedSlot(text)];
        if (*shared != nullptr && NodeText::sizeAt(*shared) == text.size() &&
            std::memcmp(*shared, text.data(), text.size()) == 0) {
            target.release();
            target.m_bytes = *shared;
            return;
        }
    }
    const std::size_t need = NodeText::HeaderSize + text.size();
    if (static_cast<std::size_t>(m_end - m_next) < need) {
        // Blocks double up to 4 MiB, header included; a larger text gets a block of its own.
        const std::size_t total = std::max(m_blockSize, sizeof(Block) + need);
        auto* block = static_cast<Block*>(allocateBlock(total));
        block->size = total;
        block->bytes = reinterpret_cast<char*>(block + 1);
        block->previous = m_newest;
        m_newest = block;
        m_next = block->bytes;
        m_end = reinterpret_cast<char*>(block) + total;
        m_reserved += total;
        m_blockSize = std::min(m_blockSize * 2, MaxBlockSize);
    }
    // Copied before the old text goes: `text` may view it.
    writeHeader(m_next, static_cast<std::uint32_t>(text.size()));
    std::memcpy(m_next + NodeText::HeaderSize, text.data(), text.size());
    target.release();
    target.m_bytes = m_next + NodeText::HeaderSize;
    if (shared != nullptr)
        *shared = target.m_bytes;
    m_next += need;
}

std::size_t TextArena::sharedSlot(std::string_view text) {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;
    std::memcpy(&head, text.data(), std::min<std::size_t>(text.size(), 8));
    if (text.size() > 8)
        std::memcpy(&tail, text.data() + 8, text.size() - 8);
    const std::uint64_t mixed =
        (head * 0x9E3779B97F4A7C15u) ^ (tail * 0xC2B2AE3D27D4EB4Fu) ^ (text.size() * 0x165667B19E3779F9u);
    return static_cast<std::size_t>(mixed >> 54) & (SharedSlots - 1);
}

} // namespace tonvale
