// SPDX-License-Identifier: MIT
#pragma once

// The texts a new script starts from and the blocks the editor adds to a soundscape. Keys and
// values carry their double quotes as in a script; the lines are Windows-1251 bytes.

#include "document/BlockKinds.h"
#include "document/SectionTree.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// The default soundscape's name in a new file.
inline constexpr std::string_view DefaultSectionName = "\"myfile.defsection\"";

// The four lines of a new file without blocks.
std::vector<std::string> shortNewFileLines();
// Appends the 22 lines of a new file with a default soundscape and its blocks.
void appendDefaultBlocks(std::vector<std::string>& lines);
// The bytes of a new file: the full text with blocks or the short one, every line followed by CR LF.
std::string newFileBytes(bool withBlocks);

// One line of a block template: a child of the block (depth 1) or of its "rndwave" list (depth 2).
struct TemplateEntry {
    int depth;
    std::string_view key;
    std::string_view value; // empty for the "rndwave" list itself
};

struct BlockTemplate {
    std::string_view keyword; // the block node's text, quotes included
    std::vector<TemplateEntry> entries;
};

const BlockTemplate& blockTemplate(BlockKind kind);

// Adds the block as the last child of `soundscape` with its children in template order: the block
// and the "rndwave" list get empty data and header images, every parameter its Value and the
// parameter images. Returns the block node.
Node* addBlockFromTemplate(SectionTree& tree, Node* soundscape, const BlockTemplate& block);

} // namespace tonvale
