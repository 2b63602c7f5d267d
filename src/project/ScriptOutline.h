// SPDX-License-Identifier: MIT
#pragma once

// A script as a game reads it: keys, values and blocks, each with the line and column where it
// starts. Braces open and close blocks wherever they stand (also on a header's own line), "//"
// starts a comment anywhere outside double quotes, and a key takes the next token as its value even
// when that token stands on a later line. The editor's loader is stricter about layout; the checks
// read scripts this way so that they judge what a game will play.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale::project {

// A place in a file: 1-based line and column (bytes); line 0 means "nowhere".
struct SourcePosition {
    int line = 0;
    int column = 0;
    bool operator==(const SourcePosition&) const = default;
};

struct OutlineElement {
    std::string key;   // without its double quotes, the script's bytes
    std::string value; // without its double quotes; empty for a block
    SourcePosition keyAt;
    SourcePosition valueAt;   // line 0 when the key has no value
    std::uint32_t end = 0;    // index past the last element below this one
    std::int32_t parent = -1; // index of the enclosing block, -1 at the top level
    bool block = false;       // the key opens a block
    bool hasValue = false;    // a value followed the key
    bool keyQuoted = false;
};

// The first place where the braces do not pair up.
struct BraceFault {
    enum class Kind { None, Unclosed, Unopened };
    Kind kind = Kind::None;
    SourcePosition at; // the "{" never closed (the outermost one) or the "}" that closes nothing
};

// A quoted text that runs over the end of its line: a game reads on to the next double quote.
struct QuoteFault {
    SourcePosition at;   // the opening quote
    int closingLine = 0; // the line of the closing quote, 0 when there is none
};

// Every element in file order (pre-order). The children of element i are found from i + 1 on,
// stepping from each child to its `end`, while below elements[i].end.
struct ScriptOutline {
    std::vector<OutlineElement> elements;
    BraceFault braceFault;
    std::vector<QuoteFault> quoteFaults;
    int lineCount = 0;
};

ScriptOutline readOutline(std::string_view bytes);

// A name as games compare it: ASCII letters folded to lower case, every other byte kept.
std::string foldName(std::string_view name);

} // namespace tonvale::project
