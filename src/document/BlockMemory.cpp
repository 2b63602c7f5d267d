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

void reserveLarge(std::string& text, std::size_t bytes) {
    text.reserve(bytes);
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    // The whole huge pages inside the room, before anything touches them.
    if (text.capacity() < 2 * HugePage)
        return;
    const auto begin = reinterpret_cast<std::uintptr_t>(text.data()) + text.size();
    const std::uintptr_t first = (begin + HugePage - 1) / HugePage * HugePage;
    const std::uintptr_t last =
        (reinterpret_cast<std::uintptr_t>(text.data()) + text.capacity()) / HugePage * HugePage;
    if (last > first)
        ::madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#endif
}

} // namespace tonvale
