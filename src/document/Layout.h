// SPDX-License-Identifier: MIT
#pragma once

#include "document/Loader.h"
#include "document/Writer.h"

#include <string>

namespace tonvale {

// The layout-keeping save: the script is written as its source text with only the lines that the
// edits touched rewritten. Every other byte (line ends, indentation, blank lines, comments, brace
// placement, a missing final line break) stays as it was loaded.

// Keeps `bytes`, the text `tree` was just loaded from, as the tree's source and numbers its elements
// so that each can be found in it after edits.
void keepSource(SectionTree& tree, std::string bytes);

// Reads and loads the file as loadScriptFile does, keeping its bytes as the tree's source.
LoadResult loadScriptFileKeepingSource(const std::string& path,
                                       ScriptEncoding asciiOnly = ScriptEncoding::Windows1251);

enum class LayoutUse {
    Kept,        // the source's layout was kept
    NoSource,    // the tree has no source text (a new script): the canonical text was written
    NotPossible, // the kept layout would not read back as the tree: the canonical text was written
};

struct LayoutWriteResult {
    WriteResult write; // the text, or why it cannot be written (the canonical writer's refusals)
    LayoutUse use = LayoutUse::NoSource;
};

// Writes the tree keeping its source's layout. The result always reads back as the tree does when it
// is written canonically; where the layout cannot be kept so, the canonical text is written instead
// (and `use` says so). A tree whose content is as it was loaded is written as its source, byte for byte.
LayoutWriteResult writeKeepingLayout(const SectionTree& tree);

} // namespace tonvale
