#pragma once

// Named edits of the document. The grid, the tree commands, the templates, the wave chooser and the
// player panel change the document only through these functions, so the tree's invariants hold: no
// node text, Value or comment contains a tab, "{" or "}", and only CommentsAbove holds line breaks
// (single CR characters between its lines).

#include "document/SectionTree.h"

#include <string>
#include <string_view>

namespace tonvale {

// A text as it may be stored in one line of a node: tabs and line breaks become blanks, braces go.
std::string sanitizeLineText(std::string_view text);

// Sets the Value of a node with data (a no-op for the end marker). Returns true when it changed.
bool setNodeValue(SectionTree& tree, Node* node, std::string_view value);

} // namespace tonvale
