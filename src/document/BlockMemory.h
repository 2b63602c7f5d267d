// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>

namespace tonvale {

// Memory for the large blocks of a document (nodes, node data, texts). Blocks of 2 MiB or more are
// aligned to 2 MiB and asked to be backed by transparent huge pages, which spares a large load most of
// the page faults of its fresh memory. Throws std::bad_alloc.
void* allocateBlock(std::size_t bytes);
// `bytes` is the size the block was allocated with.
void freeBlock(void* block, std::size_t bytes) noexcept;

} // namespace tonvale
