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

// A short text (1 to 16 bytes) as two words, from loads that overlap: two texts of the same size are
// equal exactly when their words are.
struct ShortWords {
    std::uint64_t head = 0;
    std::uint64_t tail = 0;

    bool operator==(const ShortWords&) const = default;
};

ShortWords shortWords(const char* bytes, std::size_t size) {
    ShortWords words;
    if (size >= 8) {
        std::memcpy(&words.head, bytes, 8);
        std::memcpy(&words.tail, bytes + size - 8, 8);
    } else if (size >= 4) {
        std::uint32_t head = 0;
        std::uint32_t tail = 0;
        std::memcpy(&head, bytes, 4);
        std::memcpy(&tail, bytes + size - 4, 4);
        words.head = head;
        words.tail = tail;
    } else {
        words.head = static_cast<unsigned char>(bytes[0]) |
                     (std::uint64_t{static_cast<unsigned char>(bytes[size / 2])} << 8) |
                     (std::uint64_t{static_cast<unsigned char>(bytes[size - 1])} << 16);
    }
    return words;
}

// True when the `size` bytes at `a` and `b` are equal, for texts of 1 to 16 bytes.
bool sameShortText(const char* a, const char* b, std::size_t size) {
    return shortWords(a, size) == shortWords(b, size);
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

void TextArena::expect(std::size_t bytes) {
    if (m_newest == nullptr)
        m_blockSize = firstBlockBytes(bytes, std::size_t{1} << 16, MaxBlockSize);
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
            sameShortText(*shared, text.data(), text.size())) {
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
    const ShortWords words = shortWords(text.data(), text.size());
    const std::uint64_t mixed = (words.head * 0x9E3779B97F4A7C15u) ^ (words.tail * 0xC2B2AE3D27D4EB4Fu) ^
                                (text.size() * 0x165667B19E3779F9u);
    return static_cast<std::size_t>(mixed >> 54) & (SharedSlots - 1);
}

} // namespace tonvale
