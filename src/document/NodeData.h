#pragma once

#include <string>

namespace tonvale {

// The data of one script element: its value and the comments that belong to it. Every node of the
// section tree has one, except the end marker. Texts are the script's own bytes, never converted.
struct NodeData {
    std::string value;         // value as written, quotes included; empty for headers
    std::string commentsAbove; // comment lines above the element, "//" removed, lines joined by CR
    std::string commentBeside; // comment on the element's own line, "//" removed

    bool operator==(const NodeData&) const = default;
};

} // namespace tonvale
