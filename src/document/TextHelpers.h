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

// The brace rule shared by every check: at least one "{", at least one "}", and an even total.
bool braceCountsValid(std::size_t open, std::size_t close);
// Brace check of a list of lines, counting every brace (used on the writer's own output, where the
// block marks follow beside comments).
bool bracesBalanced(const std::vector<std::string>& lines);
// Brace check of a script's own text: braces inside "//" comments do not count.
bool scriptBracesBalanced(std::string_view text);
bool scriptBracesBalanced(const std::vector<std::string_view>& lines);

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

// Splits script bytes into lines: CR LF, a lone CR and a lone LF end a line, a break at the very end
// starts no further line, and a NUL byte ends the text.
std::vector<std::string_view> splitLines(std::string_view bytes);

// Case-sensitive Boyer-Moore-Horspool search of `pattern` in `text` from the 1-based position
// `start` (0 behaves like 1). Returns the 1-based position of the match, 0 when there is none.
std::size_t textSearch(std::size_t start, std::string_view text, std::string_view pattern);

} // namespace tonvale
