// SPDX-License-Identifier: MIT
#include "document/BlockMemory.h"

#include <cstdint>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace tonvale {

namespace {

constexpr std::size_t HugePage = std::size_t{2} << 20;
constexpr std::size_t SmallAlignment = alignof(std::max_align_t);

} // namespace

void* allocateBlock(std::size_t bytes) {
    if (bytes < HugePage)
        return ::operator new (bytes, std::align_val_t{SmallAlignment});
    const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
    void* memory = ::operator new (rounded, std::align_val_t{HugePage});
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    ::madvise(memory, rounded, MADV_HUGEPAGE);
#endif
    return memory;
}

void freeBlock(void* block, std::size_t bytes) noexcept {
    ::operator delete (block, std::align_val_t{bytes < HugePage ? SmallAlignment : HugePage});
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

void reserveLarge(std::string& text, std::size_t bytes) {
    text.reserve(bytes);
    adviseHugePages(text.data() + text.size(), text.capacity() - text.size());
}

} // namespace tonvale
