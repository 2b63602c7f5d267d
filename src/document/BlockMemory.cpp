// SPDX-License-Identifier: MIT
#include "document/BlockMemory.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <mutex>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tonvale {

namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;
constexpr std::size_t SmallAlignment = alignof(std::max_align_t);
// Blocks from this size up are kept when a document gives them back (up to 1 MiB rounded up to a
// power of two): whether the allocator would reuse them or give their pages back, and fault them in
// afresh at the next load, depends on its thresholds.
constexpr std::size_t KeptFrom = std::size_t{2} << 10;

// Blocks a document gave back are kept for the next one, up to Limit bytes in all: loading a
// document again (a reload, the text tab's text turned back into a tree) then finds its memory in
// place, instead of fresh pages that the system clears one fault at a time. The blocks stay with
// the process while they are kept.
class KeptBlocks {
  public:
    void* take(std::size_t bytes) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (std::size_t i = 0; i < m_count; ++i) {
            if (m_blocks[i].bytes == bytes) {
                void* block = m_blocks[i].block;
                m_blocks[i] = m_blocks[--m_count];
                m_total -= bytes;
                return block;
            }
        }
        return nullptr;
    }
    bool keep(void* block, std::size_t bytes) {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_count == m_blocks.size() || m_total + bytes > Limit)
            return false;
        m_blocks[m_count++] = {block, bytes};
        m_total += bytes;
        return true;
    }

  private:
    static constexpr std::size_t Limit = std::size_t{128} << 20;
    struct Kept {
        void* block = nullptr;
        std::size_t bytes = 0;
    };
    std::mutex m_mutex;
    std::array<Kept, 128> m_blocks{};
    std::size_t m_count = 0;
    std::size_t m_total = 0;
};

// Never destroyed: trees that outlive the end of main() still give their blocks back through it.
KeptBlocks& keptBlocks() {
    static KeptBlocks* const blocks = new KeptBlocks;
    return *blocks;
}

std::size_t roundedToHugePages(std::size_t bytes) {
    return (bytes + HugePage - 1) / HugePage * HugePage;
}

// Blocks up to half a huge page are kept rounded up to a power of two, larger ones rounded up to
// whole huge pages (aligned to them): the two kinds never have the same size, so a block is always
// given back with the alignment it was allocated with.
bool isHugeBlock(std::size_t bytes) {
    return bytes > HugePage / 2;
}

} // namespace

void* allocateBlock(std::size_t bytes) {
    if (bytes < KeptFrom)
        return ::operator new (bytes, std::align_val_t{SmallAlignment});
    if (!isHugeBlock(bytes)) {
        const std::size_t rounded = std::bit_ceil(bytes);
        if (void* kept = keptBlocks().take(rounded))
            return kept;
        return ::operator new (rounded, std::align_val_t{SmallAlignment});
    }
    const std::size_t rounded = roundedToHugePages(bytes);
    if (void* kept = keptBlocks().take(rounded))
        return kept;
    void* memory = ::operator new (rounded, std::align_val_t{HugePage});
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    return memory;
}

void freeBlock(void* block, std::size_t bytes) noexcept {
    if (bytes < KeptFrom) {
        ::operator delete (block, std::align_val_t{SmallAlignment});
        return;
    }
    if (!isHugeBlock(bytes)) {
        if (!keptBlocks().keep(block, std::bit_ceil(bytes)))
            ::operator delete (block, std::align_val_t{SmallAlignment});
        return;
    }
    if (!keptBlocks().keep(block, roundedToHugePages(bytes)))
        ::operator delete (block, std::align_val_t{HugePage});
}

void dropBlock(void* block, std::size_t bytes) noexcept {
    ::operator delete (block,
                       std::align_val_t{bytes < KeptFrom || !isHugeBlock(bytes) ? SmallAlignment : HugePage});
}

void adviseHugePages(const void* begin, std::size_t bytes) noexcept {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // Only the whole huge pages inside the range.
    if (bytes < 2 * HugePage)
        return;
    const auto start = reinterpret_cast<std::uintptr_t>(begin);
    const std::uintptr_t first = (start + HugePage - 1) / HugePage * HugePage;
    const std::uintptr_t last = (start + bytes) / HugePage * HugePage;
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)begin;
    (void)bytes;
#endif
}

std::size_t firstBlockBytes(std::size_t expected, std::size_t smallest, std::size_t largest) {
    return expected < HugePage ? smallest : std::min(expected, largest);
}

void reserveLarge(std::string& text, std::size_t bytes) {
    text.reserve(bytes);
    adviseHugePages(text.data() + text.size(), text.capacity() - text.size());
}

} // namespace tonvale
