// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace tonvale {

// Memory for the large blocks of a document (nodes, node data, texts). Blocks of 2 MiB or more are
// aligned to 2 MiB and asked to be backed by transparent huge pages, which spares a large load most of
// the page faults of its fresh memory. Throws std::bad_alloc.
void* allocateBlock(std::size_t bytes);
// `bytes` is the size the block was allocated with.
void freeBlock(void* block, std::size_t bytes) noexcept;

// Asks that the fresh memory in the range be backed by transparent huge pages, when it spans some.
void adviseHugePages(const void* begin, std::size_t bytes) noexcept;
// Makes room in `text` for `bytes` bytes in one allocation; room of several megabytes is asked to be
// backed by transparent huge pages, like the blocks above. Throws std::bad_alloc or std::length_error.
void reserveLarge(std::string& text, std::size_t bytes);

} // namespace tonvale
