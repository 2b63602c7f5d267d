// SPDX-License-Identifier: MIT
#pragma once

// Text helpers of the script loader and writer. They work on single-byte strings; positions are
// 1-based and 0 means "none", as the loader's rules are written in those terms.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

// Characters with codes up to 32 count as blanks for trimming.
constexpr bool isTrimmable(char c) {
    return static_cast<unsigned char>(c) <= 32;
}
std::string_view trim(std::string_view text);

// Number of non-overlapping occurrences of `sub` in `text`; 0 when either is empty.
std::size_t countOccurrences(std::string_view sub, std::string_view text);
// Every run of blanks becomes one blank.
std::string collapseBlanks(std::string_view text);
// Position of the first occurrence of `c`, 0 if none.
std::size_t firstPosition(std::string_view text, char c);
// Position of the second occurrence of `c`, 0 if there are fewer than two.
std::size_t secondPosition(std::string_view text, char c);
// Number of blanks before the first double quote (in the whole text when there is none).
std::size_t blanksBeforeQuote(std::string_view text);
// True when the text begins with "//".
bool isCommentLine(std::string_view text);

// A line cut into its leading indentation and the rest: the level counts leading tabs and blanks.
struct IndentedLine {
    std::string_view rest;
    std::size_t level = 0;
};
IndentedLine splitIndentation(std::string_view line);

// True when the text holds `a` or `b` (a plain scan: find_first_of asks memchr for every character).
constexpr bool containsEither(std::string_view text, char a, char b) {
    for (char c : text) {
        if (c == a || c == b)
            return true;
    }
    return false;
}

// Trailing blanks and tabs at the end of a comment are layout, not text: they go.
std::string_view trimCommentEnd(std::string_view text);

// One piece of a script line. A "{" or "}" outside double quotes and comments counts as if it stood on
// a line of its own at its place, so one line can hold several pieces: `"name" {` is an element and
// an opening brace, `{ "a" "b" }` a brace, an element and a brace.
enum class PieceKind { Element, Open, Close, Comment };
struct LinePiece {
    PieceKind kind = PieceKind::Element;
    // Element: the text between braces, untrimmed, with its beside comment if it has one.
    // Comment: the text after the "//" of a comment that no element text precedes.
    std::string_view text;
};
// Cuts a line into pieces; text that is blank (blanks, tabs, control characters) gives none. A "//"
// outside quotes starts a comment that runs to the end of the line. Returns false, with the pieces
// before it, when a brace stands inside double quotes (a quote left open runs to the end of the line).
bool splitLinePieces(std::string_view line, std::vector<LinePiece>& pieces);

// The brace rule shared by every check: at least one "{", at least one "}", and an even total.
bool braceCountsValid(std::size_t open, std::size_t close);
// Brace check of a list of lines, counting every brace.
bool bracesBalanced(const std::vector<std::string>& lines);

// Why a script fails the brace check, and the line (1-based) where it shows first.
enum class BraceProblem {
    None,
    NoBraces,       // the script holds no "{" or no "}" at all outside comments (no line to name)
    UnmatchedClose, // the first "}" that closes nothing
    LeftOpen,       // the first "{" that nothing closes
    InQuotes,       // a brace inside double quotes
};
struct BraceCheck {
    bool ok = false;
    BraceProblem problem = BraceProblem::None;
    std::size_t line = 0; // 0 when there is no line to name
};
// Brace check of a script's own text: only braces outside quotes and comments count, they must pass
// braceCountsValid, and a brace inside quotes fails the script.
BraceCheck checkScriptBraces(std::string_view text);
inline bool scriptBracesBalanced(std::string_view text) {
    return checkScriptBraces(text).ok;
}

// Walks script bytes line by line without storing them; same rules as splitLines.
class LineCursor {
  public:
    explicit LineCursor(std::string_view bytes);
    // The next line, or false at the end of the text.
    bool next(std::string_view& line);
    bool atEnd() const { return m_pos >= m_text.size(); }

  private:
    std::string_view m_text;
    std::size_t m_pos = 0;
};

// Splits script bytes into lines: CR LF, a lone CR and a lone LF end a line, and a break at the very
// end starts no further line. A NUL byte is an ordinary character: it never ends the text.
std::vector<std::string_view> splitLines(std::string_view bytes);
// The same lines, each with its line break (the last one may have none).
std::vector<std::string_view> splitLinesKeepingBreaks(std::string_view bytes);

// Case-sensitive Boyer-Moore-Horspool search of `pattern` in `text` from the 1-based position
// `start` (0 behaves like 1). Returns the 1-based position of the match, 0 when there is none.
std::size_t textSearch(std::size_t start, std::string_view text, std::string_view pattern);

} // namespace tonvale
