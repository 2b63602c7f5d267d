// SPDX-License-Identifier: MIT
#pragma once

#include "document/FileIO.h"
#include "document/Loader.h"
#include "document/Writer.h"

#include <algorithm>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale::testing {

// A string literal with embedded NUL bytes, all of it.
template <std::size_t N> std::string bytes(const char (&literal)[N]) {
    return std::string(literal, N - 1);
}

// The scripts (".txt" files) of a folder, sorted; none when the folder cannot be read.
inline std::vector<std::filesystem::path> scriptsIn(const std::filesystem::path& folder) {
    std::vector<std::filesystem::path> files;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file() && entry.path().extension() == ".txt")
            files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The whole file, which must be readable.
inline std::string readFileBytes(const std::filesystem::path& path) {
    std::string bytes;
    std::string error;
    EXPECT_TRUE(readWholeFile(path.string(), bytes, error)) << error;
    return bytes;
}

// Joins lines with CR LF after each, as the editor writes them.
inline std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& line : lines)
        out += line + "\r\n";
    return out;
}

// Loads bytes that must load; fails the test otherwise.
inline LoadResult mustLoad(std::string_view bytes) {
    LoadResult result = loadScript(bytes);
    EXPECT_TRUE(result.ok()) << "load failed: "
                             << (result.messages.empty() ? std::string() : result.messages.front().text);
    return result;
}

inline std::string canonical(std::string_view bytes) {
    LoadResult loaded = mustLoad(bytes);
    WriteResult written = writeScript(loaded.tree);
    EXPECT_TRUE(written.ok) << written.message.text;
    return written.bytes;
}

// A compact description of the tree: one entry a node, "level|text|value|above|beside", then
// "|trailing:" and the block's trailing comments when it has some, and "|{}" for a block without
// children; a last entry "top:" with the top level's trailing comments when there are some.
inline std::vector<std::string> describe(const SectionTree& tree) {
    std::vector<std::string> out;
    for (const Node* node : tree.preorder()) {
        std::string entry = std::to_string(node->level()) + "|" + node->text();
        if (const NodeData* data = node->data()) {
            entry += "|" + data->value + "|" + data->commentsAbove + "|" + data->commentBeside;
            if (!data->trailingComments.empty())
                entry += "|trailing:" + data->trailingComments;
        } else {
            entry += "|-";
        }
        if (opensBlock(node) && !node->hasChildren())
            entry += "|{}";
        out.push_back(entry);
    }
    if (!tree.topLevelComments().empty())
        out.push_back("top:" + tree.topLevelComments());
    return out;
}

} // namespace tonvale::testing
