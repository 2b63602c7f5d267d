// SPDX-License-Identifier: MIT
#include "document/TextHelpers.h"

#include <algorithm>
#include <array>

namespace tonvale {

std::string_view trim(std::string_view text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isTrimmable(text[begin]))
        ++begin;
    while (end > begin && isTrimmable(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

std::size_t countOccurrences(std::string_view sub, std::string_view text) {
    if (sub.empty() || text.empty())
        return 0;
    std::size_t count = 0;
    for (std::size_t pos = text.find(sub); pos != std::string_view::npos;
         pos = text.find(sub, pos + sub.size()))
        ++count;
    return count;
}

std::string collapseBlanks(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    bool lastBlank = false;
    for (char c : text) {
        if (c == ' ' && lastBlank)
            continue;
        lastBlank = (c == ' ');
        out.push_back(c);
    }
    return out;
}

std::size_t firstPosition(std::string_view text, char c) {
    const std::size_t pos = text.find(c);
    return pos == std::string_view::npos ? 0 : pos + 1;
}

std::size_t secondPosition(std::string_view text, char c) {
    const std::size_t first = text.find(c);
    if (first == std::string_view::npos)
        return 0;
    const std::size_t second = text.find(c, first + 1);
    return second == std::string_view::npos ? 0 : second + 1;
}

std::size_t blanksBeforeQuote(std::string_view text) {
    const std::size_t quote = text.find('"');
    const std::string_view head = quote == std::string_view::npos ? text : text.substr(0, quote);
    return static_cast<std::size_t>(std::count(head.begin(), head.end(), ' '));
}

bool isCommentLine(std::string_view text) {
    return text.size() >= 2 && text[0] == '/' && text[1] == '/';
}

IndentedLine splitIndentation(std::string_view line) {
    std::size_t level = 0;
    while (level < line.size() && (line[level] == '\t' || line[level] == ' '))
        ++level;
    return {line.substr(level), level};
}

bool braceCountsValid(std::size_t open, std::size_t close) {
    return open > 0 && close > 0 && (open + close) % 2 == 0;
}

bool bracesBalanced(const std::vector<std::string>& lines) {
    std::size_t open = 0;
    std::size_t close = 0;
    for (const auto& line : lines) {
        open += static_cast<std::size_t>(std::count(line.begin(), line.end(), '{'));
        close += static_cast<std::size_t>(std::count(line.begin(), line.end(), '}'));
    }
    return braceCountsValid(open, close);
}

std::string_view trimCommentEnd(std::string_view text) {
    std::size_t end = text.size();
    while (end > 0 && (text[end - 1] == ' ' || text[end - 1] == '\t'))
        --end;
    return text.substr(0, end);
}

bool splitLinePieces(std::string_view line, std::vector<LinePiece>& pieces) {
    std::size_t start = 0; // where the current text begins
    bool text = false;     // something other than blanks since `start`
    bool quoted = false;
    const std::size_t size = line.size();
    for (std::size_t i = 0; i < size; ++i) {
        const char c = line[i];
        if (isTrimmable(c))
            continue;
        if (c == '"') {
            quoted = !quoted;
            text = true;
        } else if (c == '/' && !quoted && i + 1 < size && line[i + 1] == '/') {
            // The rest is a comment: on its own, or beside the element text before it.
            if (text)
                pieces.push_back({PieceKind::Element, line.substr(start)});
            else
                pieces.push_back({PieceKind::Comment, line.substr(i + 2)});
            return true;
        } else if (c == '{' || c == '}') {
            if (quoted)
                return false;
            if (text)
                pieces.push_back({PieceKind::Element, line.substr(start, i - start)});
            pieces.push_back({c == '{' ? PieceKind::Open : PieceKind::Close, line.substr(i, 1)});
            start = i + 1;
            text = false;
        } else {
            text = true;
        }
    }
    if (text)
        pieces.push_back({PieceKind::Element, line.substr(start)});
    return true;
}

BraceCheck checkScriptBraces(std::string_view text) {
    std::size_t open = 0;
    std::size_t close = 0;
    std::size_t firstUnmatchedClose = 0;
    std::vector<std::size_t> openLines; // lines of the braces still open, outermost first
    std::vector<LinePiece> pieces;
    LineCursor cursor(text);
    std::size_t lineNumber = 0;
    for (std::string_view line; cursor.next(line);) {
        ++lineNumber;
        if (!containsEither(line, '{', '}'))
            continue;
        pieces.clear();
        if (!splitLinePieces(line, pieces))
            return {false, BraceProblem::InQuotes, lineNumber};
        for (const LinePiece& piece : pieces) {
            if (piece.kind == PieceKind::Open) {
                ++open;
                openLines.push_back(lineNumber);
            } else if (piece.kind == PieceKind::Close) {
                ++close;
                if (!openLines.empty())
                    openLines.pop_back();
                else if (firstUnmatchedClose == 0)
                    firstUnmatchedClose = lineNumber;
            }
        }
    }
    if (braceCountsValid(open, close))
        return {true, BraceProblem::None, 0};
    if (firstUnmatchedClose != 0)
        return {false, BraceProblem::UnmatchedClose, firstUnmatchedClose};
    if (!openLines.empty())
        return {false, BraceProblem::LeftOpen, openLines.front()};
    return {false, BraceProblem::NoBraces, 0};
}

LineCursor::LineCursor(std::string_view bytes) : m_text(bytes) {}

bool LineCursor::next(std::string_view& line) {
    if (m_pos >= m_text.size())
        return false;
    const char* begin = m_text.data() + m_pos;
    const char* end = m_text.data() + m_text.size();
    const char* q = begin;
    while (q < end && *q != '\r' && *q != '\n')
        ++q;
    line = std::string_view(begin, static_cast<std::size_t>(q - begin));
    if (q < end && *q == '\r' && q + 1 < end && q[1] == '\n')
        q += 2;
    else if (q < end)
        ++q;
    m_pos = static_cast<std::size_t>(q - m_text.data());
    return true;
}

std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    LineCursor cursor(bytes);
    for (std::string_view line; cursor.next(line);)
        lines.push_back(line);
    return lines;
}

std::size_t textSearch(std::size_t start, std::string_view text, std::string_view pattern) {
    const std::size_t m = pattern.size();
    if (m == 0 || text.empty())
        return 0;
    if (start == 0)
        start = 1;
    std::array<std::size_t, 256> shift;
    shift.fill(m);
    for (std::size_t k = m; k >= 1; --k) {
        auto& entry = shift[static_cast<unsigned char>(pattern[k - 1])];
        if (entry == m)
            entry = m - k;
    }
    // e is the 1-based text position under the pattern's last byte.
    std::size_t e = start + m - 1;
    while (e <= text.size()) {
        const char last = text[e - 1];
        if (last != pattern[m - 1]) {
            e += shift[static_cast<unsigned char>(last)];
            continue;
        }
        if (m == 1)
            return e;
        bool equal = true;
        for (std::size_t k = m - 1; k >= 1; --k) {
            if (pattern[k - 1] != text[e - m + k - 1]) {
                equal = false;
                break;
            }
        }
        if (equal)
            return e - m + 1;
        e += 1;
    }
    return 0;
}

std::vector<std::string_view> splitLinesKeepingBreaks(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] != '\r' && bytes[i] != '\n')
            continue;
        if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        lines.push_back(bytes.substr(begin, i + 1 - begin));
        begin = i + 1;
    }
    if (begin < bytes.size())
        lines.push_back(bytes.substr(begin));
    return lines;
}

} // namespace tonvale
