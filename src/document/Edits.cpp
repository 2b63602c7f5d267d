#include "document/Edits.h"

namespace tonvale {

std::string sanitizeLineText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '{' || c == '}')
            continue;
        out.push_back(c == '\t' || c == '\r' || c == '\n' ? ' ' : c);
    }
    return out;
}

bool setNodeValue(SectionTree& tree, Node* node, std::string_view value) {
    if (node == nullptr || !node->hasData())
        return false;
    std::string clean = sanitizeLineText(value);
    TNodeData& data = tree.ensureData(node);
    if (data.Value == clean)
        return false;
    data.Value = std::move(clean);
    return true;
}

} // namespace tonvale
