// SPDX-License-Identifier: MIT
#include "document/BlockMemory.h"

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

} // namespace tonvale
