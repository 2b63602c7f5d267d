// SPDX-License-Identifier: MIT
// Load, write, load, write: never crash, never hang; whatever loads and writes must read back from its
// own canonical text as the same document (every text, comment, level and block), and write the same
// bytes again.
#include "document/Loader.h"
#include "document/Writer.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

namespace {

// Everything the document holds, in one string.
std::string model(const tonvale::SectionTree& tree) {
    std::string out = tree.byteOrderMark() ? "bom\n" : "\n";
    for (const tonvale::Node* node : tree.preorder()) {
        out += std::to_string(node->level()) + '|' + node->text() + (tonvale::opensBlock(node) ? "|{}" : "|");
        if (const tonvale::NodeData* data = node->data())
            out += '|' + data->value + '|' + data->commentsAbove + '|' + data->commentBeside + '|' +
                   data->trailingComments;
        out += '\n';
    }
    return out + tree.topLevelComments();
}

void fail(const char* what) {
    std::fprintf(stderr, "%s\n", what);
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    tonvale::LoadResult first = tonvale::loadScript(input);
    if (!first.ok())
        return 0;
    tonvale::WriteResult once = tonvale::writeScript(first.tree);
    if (!once.ok)
        return 0;
    tonvale::LoadResult second = tonvale::loadScript(once.bytes);
    if (!second.ok() || second.levelError)
        fail("canonical text failed to load again");
    if (model(second.tree) != model(first.tree))
        fail("canonical text reads back as another document");
    tonvale::WriteResult twice = tonvale::writeScript(second.tree);
    if (!twice.ok || twice.bytes != once.bytes)
        fail("canonical text is not stable");
    return 0;
}
