// SPDX-License-Identifier: MIT
#pragma once

// A reader of the script format written apart from the loader, the way a game reads the files: it
// cuts the text into tokens (quoted strings, bare words), braces wherever they stand outside quotes
// and comments, and "//" comments that run to the end of the line. Nesting comes from the braces
// alone; indentation and line ends mean nothing. The round-trip tests compare what it reads in a file
// before and after a load and a save.

#include <cstddef>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale::testing {

struct ReadScript {
    // Tokens and braces in order: "{", "}", or the token's text (a quoted token with its quotes).
    std::vector<std::string> structure;
    // Comment texts (after "//", without the blanks and tabs that end the line) by the block they
    // stand in, named by the path of block numbers from the top ("" for the top level, "2/0" for the
    // first block inside the third block of the top level), in file order.
    std::map<std::string, std::vector<std::string>> comments;
    std::size_t commentCount = 0;
};

inline ReadScript readIndependently(std::string_view text) {
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    ReadScript out;
    std::vector<std::size_t> blocksSeen{0}; // per open level: blocks opened inside it so far
    std::vector<std::string> path;          // numbers of the open blocks
    auto pathText = [&path] {
        std::string joined;
        for (const std::string& step : path)
            joined += (joined.empty() ? "" : "/") + step;
        return joined;
    };
    auto isSpace = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    std::size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (isSpace(c)) {
            ++i;
        } else if (c == '/' && i + 1 < text.size() && text[i + 1] == '/') {
            std::size_t end = i + 2;
            while (end < text.size() && text[end] != '\r' && text[end] != '\n')
                ++end;
            std::size_t last = end;
            while (last > i + 2 && (text[last - 1] == ' ' || text[last - 1] == '\t'))
                --last;
            out.comments[pathText()].emplace_back(text.substr(i + 2, last - i - 2));
            ++out.commentCount;
            i = end;
        } else if (c == '{') {
            out.structure.emplace_back("{");
            path.push_back(std::to_string(blocksSeen.back()++));
            blocksSeen.push_back(0);
            ++i;
        } else if (c == '}') {
            out.structure.emplace_back("}");
            if (!path.empty()) {
                path.pop_back();
                blocksSeen.pop_back();
            }
            ++i;
        } else if (c == '"') {
            std::size_t end = i + 1;
            while (end < text.size() && text[end] != '"' && text[end] != '\r' && text[end] != '\n')
                ++end;
            const bool closed = end < text.size() && text[end] == '"';
            out.structure.emplace_back(text.substr(i, end - i + (closed ? 1 : 0)));
            i = end + (closed ? 1 : 0);
        } else {
            std::size_t end = i;
            while (end < text.size() && !isSpace(text[end]) && text[end] != '"' && text[end] != '{' &&
                   text[end] != '}' && !(text[end] == '/' && end + 1 < text.size() && text[end + 1] == '/'))
                ++end;
            out.structure.emplace_back(text.substr(i, end - i));
            i = end;
        }
    }
    return out;
}

// How many of the comments read in `before` come back in the same block of `after` (each comment of
// `after` is matched once).
inline std::size_t commentsKeptInTheirBlock(const ReadScript& before, const ReadScript& after) {
    std::size_t kept = 0;
    for (const auto& [block, texts] : before.comments) {
        const auto found = after.comments.find(block);
        if (found == after.comments.end())
            continue;
        std::multiset<std::string> pool(found->second.begin(), found->second.end());
        for (const std::string& text : texts) {
            if (const auto it = pool.find(text); it != pool.end()) {
                pool.erase(it);
                ++kept;
            }
        }
    }
    return kept;
}

} // namespace tonvale::testing
