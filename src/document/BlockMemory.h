// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>

namespace tonvale {

// Memory for the blocks of a document (nodes, node data, texts, child lists). Blocks over 1 MiB are
// aligned to 2 MiB and asked to be backed by transparent huge pages, which spares a large load most of
// the page faults of its fresh memory. Blocks from 2 KiB up that a document gives back are kept for
// the next one (up to 128 MiB in all), so loading again finds its memory in place. Throws
// std::bad_alloc.
void* allocateBlock(std::size_t bytes);
// `bytes` is the size the block was allocated with.
void freeBlock(void* block, std::size_t bytes) noexcept;
// The same, but the block goes back to the system at once instead of being kept: for blocks freed
// while their document lives on, which the next load would not want.
void dropBlock(void* block, std::size_t bytes) noexcept;

// The size of the first block of a structure that grows by blocks from `smallest` up to `largest`
// bytes, when about `expected` bytes are coming: a large expectation starts at once with a large
// block (backed by huge pages, and kept for the next document), a small one with the small block as
// usual, whose memory the allocator reuses.
std::size_t firstBlockBytes(std::size_t expected, std::size_t smallest, std::size_t largest);

// Asks that the fresh memory in the range be backed by transparent huge pages, when it spans some.
void adviseHugePages(const void* begin, std::size_t bytes) noexcept;
// Makes room in `text` for `bytes` bytes in one allocation; room of several megabytes is asked to be
// backed by transparent huge pages, like the blocks above. Throws std::bad_alloc or std::length_error.
void reserveLarge(std::string& text, std::size_t bytes);

} // namespace tonvale
