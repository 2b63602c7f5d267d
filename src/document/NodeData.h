// SPDX-License-Identifier: MIT
#pragma once

#include "document/NodeText.h"

#include <cstdint>

namespace tonvale {

// The data of one script element: its value and the comments that belong to it. Every node of the
// section tree has one, except the end marker. Texts are the script's own bytes, never converted.
// Comment texts are kept as written after their "//" (braces, tabs and every "/" included); only the
// blanks and tabs that end a comment line are layout. Comment lines are stored each followed by a CR.
// The texts read like std::string_view (see NodeText); a copy of the data owns its texts.
struct NodeData {
    NodeText value;         // value as written, quotes included; empty for headers
    NodeText commentsAbove; // comment lines above the element
    NodeText commentBeside; // comment on the element's own line
    // Comment lines at the end of the element's block, after its last child and before its "}".
    NodeText trailingComments;
    // The element opens a block, even one left without children: it is written with its braces.
    bool block = false;
    // Which element of the kept source text this one was loaded as (1-based pre-order number; 0 for
    // an element made in the editor). A layout-keeping save writes the source's own bytes for it
    // while its content is as loaded. Copies keep it; it is no part of the content.
    std::uint32_t origin = 0;

    bool operator==(const NodeData& other) const {
        return value == other.value && commentsAbove == other.commentsAbove &&
               commentBeside == other.commentBeside && trailingComments == other.trailingComments &&
               block == other.block;
    }
};

static_assert(sizeof(NodeData) <= 40, "the origin fits the padding after the block flag");

} // namespace tonvale
