// SPDX-License-Identifier: MIT
#include "document/Layout.h"

#include "document/Cp1251.h"
#include "document/Loader.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

namespace tonvale {

namespace {

constexpr std::size_t None = std::string_view::npos;

bool isBreak(char c) {
    return c == '\r' || c == '\n';
}

bool isIndentBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view withoutBreak(std::string_view line) {
    while (!line.empty() && isBreak(line.back()))
        line.remove_suffix(1);
    return line;
}

// Where one element's text lies in the source. Its head runs from the end of whatever came before it
// (blank lines and comment lines above it included) through its own line and the "{" of its block;
// its tail from the end of its last child through the "}" of its block. Head, children and tail
// follow one another, so the pieces of all elements, in order, make the whole source.
struct ElementSource {
    std::size_t headBegin = 0;
    std::size_t pieceBegin = 0; // the element's text, with its indentation when it starts its line
    std::size_t pieceEnd = 0;
    std::size_t headEnd = 0;
    std::size_t braceOpen = None; // the "{" of its block
    std::size_t tailBegin = None;
    std::size_t braceClose = None; // the "}" of its block
    std::size_t tailEnd = None;
    // Comment lines between the element and its "{": [carriedBegin, carriedEnd), `carried` of them.
    // The tree holds them above the block's first element (or first among its trailing comments).
    std::size_t carriedBegin = None;
    std::size_t carriedEnd = None;
    std::size_t carried = 0;
};

// The source cut into the elements of the tree it loads as.
struct SourceMap {
    std::string_view text;
    std::size_t start = 0; // after a byte-order mark
    std::vector<ElementSource> elements;
    std::size_t finalBegin = 0;        // the top level's last comment lines and the end marker
    std::size_t endMarkerBegin = None; // the end marker's text, when it has one
};

// A block of the source that has elements but no element of its own ("{" after a "}") cannot be
// mapped: the tree hangs its elements under another element.
class SourceMapper {
  public:
    SourceMapper(std::string_view text, const SectionTree& original, SourceMap& map)
        : m_text(text), m_nodes(original.preorder()), m_map(map) {}

    bool run() {
        m_map.text = m_text;
        m_map.start = startsWithByteOrderMark(m_text) ? ByteOrderMark.size() : 0;
        if (m_nodes.empty())
            return false;
        m_map.elements.reserve(m_nodes.size() - 1);
        m_cursor = m_map.start;
        std::vector<LinePiece> pieces;
        const std::vector<std::string_view> lines = splitLinesKeepingBreaks(m_text.substr(m_map.start));
        for (std::size_t line = 0; line < lines.size(); ++line) {
            pieces.clear();
            if (!splitLinePieces(withoutBreak(lines[line]), pieces))
                return false;
            const bool isLast = line + 1 == lines.size();
            std::size_t count = pieces.size();
            if (isLast && count > 0 &&
                (pieces.back().kind == PieceKind::Element || pieces.back().kind == PieceKind::Comment)) {
                for (std::size_t i = 0; i + 1 < count; ++i) {
                    if (!piece(pieces[i]))
                        return false;
                }
                if (m_open.empty())
                    m_map.endMarkerBegin = offset(pieces.back().text);
                else if (!piece(pieces.back()))
                    return false;
                count = 0;
            }
            for (std::size_t i = 0; i < count; ++i) {
                if (!piece(pieces[i]))
                    return false;
            }
        }
        m_map.finalBegin = m_cursor;
        return m_map.elements.size() + 1 == m_nodes.size();
    }

  private:
    std::size_t offset(std::string_view piece) const {
        return static_cast<std::size_t>(piece.data() - m_text.data());
    }

    // The end of a piece's part of the source: through the line break when only blanks follow it on
    // its line, else right after it.
    std::size_t extend(std::size_t end) const {
        std::size_t at = end;
        while (at < m_text.size() && !isBreak(m_text[at]) && isTrimmable(m_text[at]))
            ++at;
        if (at >= m_text.size())
            return m_text.size();
        if (!isBreak(m_text[at]))
            return end;
        return at + ((m_text[at] == '\r' && at + 1 < m_text.size() && m_text[at + 1] == '\n') ? 2 : 1);
    }

    bool piece(const LinePiece& piece) {
        const std::size_t at = offset(piece.text);
        switch (piece.kind) {
        case PieceKind::Comment:
            if (m_owner != None && m_between++ == 0)
                m_firstBetween = at - 2; // the piece is the text after its "//"
            return true;
        case PieceKind::Open:
            if (m_owner != None) {
                ElementSource& element = m_map.elements[m_owner];
                element.braceOpen = at;
                element.headEnd = m_cursor = extend(at + 1);
                if (m_between > 0) {
                    element.carriedBegin = lineStartOf(m_firstBetween, element.pieceEnd);
                    element.carriedEnd = lineStartOf(at, m_firstBetween);
                    element.carried = m_between;
                }
            }
            m_between = 0;
            m_open.push_back(m_owner);
            m_owner = None;
            return true;
        case PieceKind::Close:
            if (!m_open.empty()) {
                if (const std::size_t owner = m_open.back(); owner != None) {
                    ElementSource& element = m_map.elements[owner];
                    element.tailBegin = m_cursor;
                    element.braceClose = at;
                    element.tailEnd = m_cursor = extend(at + 1);
                }
                m_open.pop_back();
            }
            m_owner = None;
            m_between = 0;
            return true;
        case PieceKind::Element:
            break;
        }
        const std::size_t index = m_map.elements.size();
        if (index + 1 >= m_nodes.size())
            return false;
        // The element must sit where the tree has it: at the depth of the open blocks, in the block of
        // the innermost one.
        const Node* node = m_nodes[index];
        if (static_cast<std::size_t>(node->level()) != m_open.size())
            return false;
        if (m_open.empty() != (node->parent() == nullptr))
            return false;
        if (!m_open.empty() && (m_open.back() == None || m_nodes[m_open.back()] != node->parent()))
            return false;
        ElementSource element;
        element.headBegin = m_cursor;
        element.pieceBegin = at;
        element.pieceEnd = at + piece.text.size();
        element.headEnd = m_cursor = extend(element.pieceEnd);
        m_map.elements.push_back(element);
        m_owner = index;
        m_between = 0;
        return true;
    }

    // Where the line of `at` begins when only blanks stand before it there (not before `floor`),
    // else `at`.
    std::size_t lineStartOf(std::size_t at, std::size_t floor) const {
        std::size_t begin = at;
        while (begin > floor && isIndentBlank(m_text[begin - 1]))
            --begin;
        return begin == m_map.start || (begin > floor && isBreak(m_text[begin - 1])) ? begin : at;
    }

    std::string_view m_text;
    const std::vector<Node*>& m_nodes;
    SourceMap& m_map;
    std::size_t m_cursor = 0;
    std::size_t m_owner = None;      // the element a "{" now would open a block for
    std::size_t m_between = 0;       // comment lines read since that element
    std::size_t m_firstBetween = 0;  // where the first of them is
    std::vector<std::size_t> m_open; // the owner of every open block (None: none)
};

// The layout was found not to be keepable while writing.
struct CannotKeep {};

std::string_view commentsOf(const Node* node, NodeText NodeData::*field) {
    const NodeData* data = node->data();
    return data != nullptr ? std::string_view(data->*field) : std::string_view();
}

std::vector<std::string_view> commentLines(std::string_view comments) {
    std::vector<std::string_view> lines;
    while (!comments.empty()) {
        const std::size_t cr = comments.find('\r');
        lines.push_back(comments.substr(0, cr));
        comments.remove_prefix(cr == None ? comments.size() : cr + 1);
    }
    return lines;
}

std::string_view leadingBlanks(std::string_view line) {
    std::size_t n = 0;
    while (n < line.size() && isIndentBlank(line[n]))
        ++n;
    return line.substr(0, n);
}

// For each entry of `before`, the entry of `after` it stays as (None: removed), by the longest
// common subsequence.
std::vector<std::size_t> matchLines(const std::vector<std::string_view>& before,
                                    const std::vector<std::string_view>& after) {
    const std::size_t n = before.size();
    const std::size_t m = after.size();
    std::vector<std::size_t> match(n, None);
    if (n == 0 || m == 0 || n * m > 4'000'000)
        return match;
    std::vector<std::uint32_t> length((n + 1) * (m + 1), 0);
    const auto at = [m](std::size_t i, std::size_t j) { return i * (m + 1) + j; };
    for (std::size_t i = n; i-- > 0;) {
        for (std::size_t j = m; j-- > 0;) {
            length[at(i, j)] = before[i] == after[j] ? length[at(i + 1, j + 1)] + 1
                                                     : std::max(length[at(i + 1, j)], length[at(i, j + 1)]);
        }
    }
    for (std::size_t i = 0, j = 0; i < n && j < m;) {
        if (before[i] == after[j]) {
            match[i++] = j++;
        } else if (length[at(i + 1, j)] >= length[at(i, j + 1)]) {
            ++i;
        } else {
            ++j;
        }
    }
    return match;
}

// How the source lays out what the editor adds: line end, indentation step, brace placement and the
// blanks between a key and its value.
struct SourceStyle {
    std::string lineEnd = "\r\n";
    std::string indentStep = "\t";
    bool braceOnHeaderLine = false;
    std::string braceIndent; // a brace line's indentation beyond its header's
    std::string separator = "\t";
};

class LayoutWriter {
  public:
    LayoutWriter(const SectionTree& tree, const SectionTree& original, const SourceMap& map)
        : m_tree(tree), m_original(original), m_originalNodes(original.preorder()), m_map(map),
          m_text(map.text) {
        detectStyle();
    }

    std::string write() {
        const std::vector<Node*>& nodes = m_tree.preorder();
        m_out.reserve(m_text.size() + m_text.size() / 8 + 256);
        if (m_tree.byteOrderMark())
            m_out.append(ByteOrderMark);
        std::vector<const Node*> closing;
        for (std::size_t i = 0; i + 1 < nodes.size(); ++i) {
            const Node* node = nodes[i];
            head(node);
            if (node->hasChildren())
                continue;
            closing.clear();
            if (opensBlock(node))
                closing.push_back(node);
            const int nextLevel = nodes[i + 1]->level();
            for (const Node* a = node->parent(); a != nullptr && a->level() >= nextLevel; a = a->parent())
                closing.push_back(a);
            for (const Node* block : closing)
                tail(block);
        }
        finalPart(nodes.back());
        return std::move(m_out);
    }

  private:
    const ElementSource* sourceOf(const Node* node, const Node** original = nullptr) const {
        const NodeData* data = node->data();
        if (data == nullptr || data->origin == 0 || data->origin > m_map.elements.size())
            return nullptr;
        if (original != nullptr)
            *original = m_originalNodes[data->origin - 1];
        return &m_map.elements[data->origin - 1];
    }

    bool startsLine(std::size_t at) const { return at <= m_map.start || isBreak(m_text[at - 1]); }

    std::optional<std::string_view> indentOf(const ElementSource& element) const {
        if (!startsLine(element.pieceBegin))
            return std::nullopt;
        return leadingBlanks(m_text.substr(element.pieceBegin, element.pieceEnd - element.pieceBegin));
    }

    void detectStyle() {
        if (const std::size_t b = m_text.find_first_of("\r\n"); b != None)
            m_style.lineEnd =
                m_text[b] == '\n' ? "\n" : (b + 1 < m_text.size() && m_text[b + 1] == '\n' ? "\r\n" : "\r");
        bool stepFound = false;
        bool braceFound = false;
        bool separatorFound = false;
        for (std::size_t k = 0; k < m_map.elements.size(); ++k) {
            const ElementSource& element = m_map.elements[k];
            const Node* node = m_originalNodes[k];
            if (!stepFound && node->parent() != nullptr) {
                const std::optional<std::string_view> own = indentOf(element);
                const Node* parent = node->parent();
                const std::optional<std::string_view> outer =
                    indentOf(m_map.elements[m_original.absoluteIndex(parent)]);
                if (own && outer && own->size() > outer->size() && own->starts_with(*outer)) {
                    m_style.indentStep = std::string(own->substr(outer->size()));
                    stepFound = true;
                }
            }
            if (!braceFound && element.braceOpen != None) {
                const std::string_view between =
                    m_text.substr(element.pieceEnd, element.braceOpen - element.pieceEnd);
                m_style.braceOnHeaderLine = between.find_first_of("\r\n") == None;
                const std::optional<std::string_view> own = indentOf(element);
                if (!m_style.braceOnHeaderLine && own) {
                    const std::string_view braceLine = lineAround(element.braceOpen);
                    const std::string_view braceIndent = leadingBlanks(braceLine);
                    if (braceIndent.starts_with(*own) && braceLine.size() > braceIndent.size() &&
                        braceLine[braceIndent.size()] == '{')
                        m_style.braceIndent = std::string(braceIndent.substr(own->size()));
                }
                braceFound = true;
            }
            if (!separatorFound) {
                if (const std::optional<std::string_view> sep = separatorOf(element, node)) {
                    m_style.separator = std::string(*sep);
                    separatorFound = true;
                }
            }
            if (stepFound && braceFound && separatorFound)
                break;
        }
    }

    // The line that holds `at`, without its line break.
    std::string_view lineAround(std::size_t at) const {
        std::size_t begin = at;
        while (begin > m_map.start && !isBreak(m_text[begin - 1]))
            --begin;
        std::size_t end = at;
        while (end < m_text.size() && !isBreak(m_text[end]))
            ++end;
        return m_text.substr(begin, end - begin);
    }

    // The parts of an element's text: [codeBegin, codeEnd) is key and value, [codeEnd, pieceEnd) the
    // blanks and beside comment after them.
    struct Parts {
        std::size_t codeBegin;
        std::size_t codeEnd;
        std::size_t slashes; // the beside comment's "//" (None: none)
    };
    Parts partsOf(const ElementSource& element) const {
        const std::string_view piece =
            m_text.substr(element.pieceBegin, element.pieceEnd - element.pieceBegin);
        Parts parts{};
        std::size_t begin = 0;
        while (begin < piece.size() && isTrimmable(piece[begin]))
            ++begin;
        const std::size_t slashes = piece.find("//");
        std::size_t end = slashes == None ? piece.size() : slashes;
        while (end > begin && isTrimmable(piece[end - 1]))
            --end;
        parts.codeBegin = element.pieceBegin + begin;
        parts.codeEnd = element.pieceBegin + end;
        parts.slashes = slashes == None ? None : element.pieceBegin + slashes;
        return parts;
    }

    // The blanks between key and value as the source has them, when the line holds them as loaded.
    std::optional<std::string_view> separatorOf(const ElementSource& element, const Node* original) const {
        const NodeData* data = original->data();
        if (data == nullptr || data->value.empty())
            return std::nullopt;
        const Parts parts = partsOf(element);
        const std::string_view code = m_text.substr(parts.codeBegin, parts.codeEnd - parts.codeBegin);
        const std::string_view key = original->text();
        const std::string_view value = data->value;
        if (!code.starts_with(key) || !code.ends_with(value) || key.size() + value.size() >= code.size())
            return std::nullopt;
        const std::string_view between = code.substr(key.size(), code.size() - key.size() - value.size());
        if (!std::all_of(between.begin(), between.end(), isIndentBlank))
            return std::nullopt;
        return between;
    }

    // The separator for a value written anew: the one its neighbours use, else the source's.
    std::string_view separatorNear(const Node* node) const {
        const Node* parent = node->parent();
        const auto& siblings = parent != nullptr ? parent->children() : m_tree.topLevel();
        const auto row = static_cast<std::size_t>(node->row());
        for (std::size_t d = 1; d <= 8; ++d) {
            for (const std::size_t r : {row - d, row + d}) {
                if (r >= siblings.size())
                    continue;
                const Node* original = nullptr;
                if (const ElementSource* element = sourceOf(siblings[r], &original)) {
                    if (const std::optional<std::string_view> sep = separatorOf(*element, original))
                        return *sep;
                }
            }
        }
        return m_style.separator;
    }

    bool atLineStart() const {
        return m_out.empty() || isBreak(m_out.back()) ||
               (m_tree.byteOrderMark() && m_out.size() == ByteOrderMark.size());
    }
    void ensureLineStart() {
        if (!atLineStart())
            m_out.append(m_style.lineEnd);
    }

    // Gets the output ready for source text that began at `at`: text that began a line begins one
    // again, and text that followed others on its line only joins what cannot run into it.
    void prepareFor(std::size_t at) {
        if (atLineStart())
            return;
        if (startsLine(at) || lineEndsInComment()) {
            m_out.append(m_style.lineEnd);
            return;
        }
        std::size_t f = at;
        while (f < m_text.size() && isIndentBlank(m_text[f]))
            ++f;
        const bool braceFirst = f < m_text.size() && (m_text[f] == '{' || m_text[f] == '}');
        std::size_t l = m_out.size();
        while (l > 0 && isIndentBlank(m_out[l - 1]))
            --l;
        const bool braceLast = l > 0 && (m_out[l - 1] == '{' || m_out[l - 1] == '}');
        if (!braceFirst && !braceLast)
            m_out.append(m_style.lineEnd);
    }

    // The output's last line holds a comment, which would take in whatever followed on that line.
    bool lineEndsInComment() const {
        const std::size_t lineStart = m_out.find_last_of("\r\n");
        bool quoted = false;
        for (std::size_t i = lineStart == None ? 0 : lineStart + 1; i < m_out.size(); ++i) {
            if (m_out[i] == '"')
                quoted = !quoted;
            else if (!quoted && m_out[i] == '/' && i + 1 < m_out.size() && m_out[i + 1] == '/')
                return true;
        }
        return false;
    }

    // Source text, its lines indented from `from` to `to` (nothing changes when they are equal).
    void emit(std::size_t begin, std::size_t end, std::string_view from, std::string_view to) {
        const std::string_view text = m_text.substr(begin, end - begin);
        if (from == to) {
            m_out.append(text);
            return;
        }
        bool lineStart = startsLine(begin);
        for (const std::string_view line : splitLinesKeepingBreaks(text)) {
            emitLine(line, lineStart, from, to);
            lineStart = true;
        }
    }
    void emitLine(std::string_view line, bool lineStart, std::string_view from, std::string_view to) {
        const std::string_view blanks = leadingBlanks(line);
        if (!lineStart || from == to || withoutBreak(line).size() == blanks.size()) {
            m_out.append(line);
            return;
        }
        m_out.append(to);
        if (blanks.starts_with(from))
            m_out.append(blanks.substr(from.size()));
        m_out.append(line.substr(blanks.size()));
    }

    // Writes the lines of [begin, end) with their comment lines changed from `before` to `after`:
    // lines that stay are written as they are, removed ones are left out, new ones are written where
    // they stand in `after`, indented like the comment lines around them (or `indent`).
    void rewriteComments(std::size_t begin, std::size_t end, std::string_view before, std::string_view after,
                         std::string_view from, std::string_view to, std::string_view indent) {
        rewriteCommentLines(begin, end, commentLines(before), commentLines(after), from, to, indent);
    }
    void rewriteCommentLines(std::size_t begin, std::size_t end, const std::vector<std::string_view>& before,
                             const std::vector<std::string_view>& wanted, std::string_view from,
                             std::string_view to, std::string_view indent) {
        const std::vector<std::string_view> lines =
            splitLinesKeepingBreaks(m_text.substr(begin, end - begin));
        std::vector<std::size_t> entryOf(lines.size(), None);
        std::vector<std::string_view> found;
        std::vector<LinePiece> pieces;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            pieces.clear();
            if (!splitLinePieces(withoutBreak(lines[i]), pieces))
                throw CannotKeep{};
            if (pieces.size() == 1 && pieces[0].kind == PieceKind::Comment) {
                entryOf[i] = found.size();
                found.push_back(trimCommentEnd(pieces[0].text));
            } else if (std::any_of(pieces.begin(), pieces.end(), [](const LinePiece& p) {
                           return p.kind == PieceKind::Comment || p.kind == PieceKind::Element;
                       })) {
                throw CannotKeep{};
            }
        }
        if (found != before)
            throw CannotKeep{};
        const std::vector<std::size_t> match = matchLines(found, wanted);
        std::string lastIndent(indent);
        std::size_t next = 0; // the next entry of `wanted` to write
        const auto writeNew = [&](std::size_t upTo) {
            for (; next < upTo; ++next) {
                ensureLineStart();
                m_out.append(lastIndent).append("//").append(wanted[next]).append(m_style.lineEnd);
            }
        };
        bool lineStart = startsLine(begin);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::size_t entry = entryOf[i];
            if (entry != None) {
                if (match[entry] == None) {
                    lineStart = true;
                    continue;
                }
                writeNew(match[entry]);
                next = match[entry] + 1;
            }
            if (entry != None && lineStart) {
                const std::string_view blanks = leadingBlanks(lines[i]);
                lastIndent = from != to && blanks.starts_with(from)
                                 ? std::string(to).append(blanks.substr(from.size()))
                                 : (from != to ? std::string(to) : std::string(blanks));
            }
            emitLine(lines[i], lineStart, from, to);
            lineStart = true;
        }
        writeNew(wanted.size());
    }

    // The indentation for a line of `node` that the source does not give.
    std::string newIndent(const Node* node) const {
        const auto level = static_cast<std::size_t>(node->level());
        if (node->row() > 0 && level < m_indents.size())
            return m_indents[level];
        const Node* parent = node->parent();
        const auto& siblings = parent != nullptr ? parent->children() : m_tree.topLevel();
        for (std::size_t r = static_cast<std::size_t>(node->row()) + 1; r < siblings.size(); ++r) {
            const Node* original = nullptr;
            const ElementSource* element = sourceOf(siblings[r], &original);
            if (element == nullptr)
                continue;
            if (original->level() == siblings[r]->level()) {
                if (const std::optional<std::string_view> indent = indentOf(*element))
                    return std::string(*indent);
            }
            break;
        }
        if (level == 0)
            return {};
        return (level - 1 < m_indents.size() ? m_indents[level - 1] : std::string()) + m_style.indentStep;
    }

    void setIndent(const Node* node, std::string indent) {
        const auto level = static_cast<std::size_t>(node->level());
        if (m_indents.size() <= level)
            m_indents.resize(level + 1);
        m_indents[level] = std::move(indent);
    }

    // The indentation `node` gets, and the one its source lines have when they begin their lines (the
    // two are equal when it stays at its depth).
    std::pair<std::string, std::optional<std::string>>
    indentsFor(const Node* node, const ElementSource* element, const Node* original) const {
        const std::optional<std::string_view> own = element != nullptr ? indentOf(*element) : std::nullopt;
        if (!own)
            return {newIndent(node), std::nullopt};
        if (original->level() == node->level())
            return {std::string(*own), std::string(*own)};
        // Moved to another depth: indented like its new neighbours, keeping its own lines' indentation
        // beyond its old parent's.
        const Node* oldParent = original->parent();
        const auto level = static_cast<std::size_t>(node->level());
        if (oldParent != nullptr && node->parent() != nullptr && level >= 1 && level - 1 < m_indents.size()) {
            const std::optional<std::string_view> outer =
                indentOf(m_map.elements[m_original.absoluteIndex(oldParent)]);
            if (outer && own->starts_with(*outer) && own->size() > outer->size())
                return {m_indents[level - 1] + std::string(own->substr(outer->size())), std::string(*own)};
        }
        return {newIndent(node), std::string(*own)};
    }

    void head(const Node* node) {
        const Node* original = nullptr;
        const ElementSource* element = sourceOf(node, &original);
        auto [indent, was] = indentsFor(node, element, original);
        setIndent(node, indent);
        if (element == nullptr) {
            newHead(node, indent);
            return;
        }
        const bool inPlace = original->level() == node->level();
        const bool reindent = !inPlace && was.has_value();
        const std::string_view from = reindent ? std::string_view(*was) : std::string_view();
        const std::string_view to = reindent ? std::string_view(indent) : std::string_view();

        // Blank lines and comment lines above it (those that stand before its parent's "{" are not
        // here, and those that its parent wrote there are written).
        prepareFor(element->headBegin);
        std::vector<std::string_view> wanted = commentLines(commentsOf(node, &NodeData::commentsAbove));
        std::vector<std::string_view> had = commentLines(commentsOf(original, &NodeData::commentsAbove));
        dropFront(wanted, takeCarried(node));
        if (const Node* oldParent = original->parent(); oldParent != nullptr && original->row() == 0)
            dropFront(had, elementOf(oldParent).carried);
        if (wanted == had)
            emit(element->headBegin, element->pieceBegin, from, to);
        else
            rewriteCommentLines(element->headBegin, element->pieceBegin, had, wanted, from, to, indent);

        // Its own line.
        prepareFor(element->pieceBegin);
        const NodeData* data = node->data();
        const NodeData* was0 = original->data();
        const std::string_view value = data->value;
        const std::string_view beside = data->commentBeside;
        if (node->text() == original->text() && value == was0->value.view() &&
            beside == was0->commentBeside.view()) {
            emit(element->pieceBegin, element->pieceEnd, from, to);
        } else {
            const Parts parts = partsOf(*element);
            if (startsLine(element->pieceBegin))
                m_out.append(inPlace ? std::string_view(m_text.substr(element->pieceBegin,
                                                                      parts.codeBegin - element->pieceBegin))
                                     : std::string_view(indent));
            else
                m_out.append(m_text.substr(element->pieceBegin, parts.codeBegin - element->pieceBegin));
            if (node->text() == original->text() && value == was0->value.view()) {
                m_out.append(m_text.substr(parts.codeBegin, parts.codeEnd - parts.codeBegin));
            } else {
                m_out.append(node->text());
                if (!value.empty()) {
                    const std::optional<std::string_view> sep = separatorOf(*element, original);
                    m_out.append(sep ? *sep : separatorNear(node)).append(value);
                }
            }
            if (beside == was0->commentBeside.view()) {
                m_out.append(m_text.substr(parts.codeEnd, element->pieceEnd - parts.codeEnd));
            } else if (!beside.empty()) {
                if (parts.slashes != None)
                    m_out.append(m_text.substr(parts.codeEnd, parts.slashes - parts.codeEnd));
                else
                    m_out.append("  ");
                m_out.append("//").append(beside);
            }
        }

        // The rest of its line, and the "{" of its block. A beside comment now ends the line: what
        // followed the element on it moves to a line of its own.
        const bool opens = opensBlock(node);
        const bool opened = element->braceOpen != None;
        std::size_t restBegin = element->pieceEnd;
        while (restBegin < element->headEnd && isIndentBlank(m_text[restBegin]))
            ++restBegin;
        if (!beside.empty() && beside != was0->commentBeside.view() && restBegin < element->headEnd &&
            !isBreak(m_text[restBegin])) {
            m_out.append(m_style.lineEnd).append(indent);
            emit(restBegin, element->headEnd, from, to);
            if (opens != opened)
                throw CannotKeep{};
        } else if (opens == opened && element->carried > 0) {
            // Comment lines between the element and its "{" stay there while they still belong to the
            // same first element (or, in a block without elements, to its trailing comments).
            const Node* first = node->hasChildren() ? node->child(0) : nullptr;
            std::vector<std::string_view> carried = commentLines(
                original->hasChildren() ? commentsOf(original->child(0), &NodeData::commentsAbove)
                                        : commentsOf(original, &NodeData::trailingComments));
            carried.resize(std::min(carried.size(), element->carried));
            const Node* firstOriginal = nullptr;
            const bool stay =
                first != nullptr
                    ? original->hasChildren() && sourceOf(first, &firstOriginal) != nullptr &&
                          firstOriginal == original->child(0) &&
                          startsWith(commentLines(commentsOf(first, &NodeData::commentsAbove)), carried)
                    : !original->hasChildren() &&
                          startsWith(commentLines(commentsOf(node, &NodeData::trailingComments)), carried);
            if (stay) {
                emit(element->pieceEnd, element->headEnd, from, to);
                m_carriedFor = first != nullptr ? first : node;
                m_carriedCount = carried.size();
            } else {
                emit(element->pieceEnd, element->carriedBegin, from, to);
                emit(element->carriedEnd, element->headEnd, from, to);
            }
        } else if (opens == opened) {
            emit(element->pieceEnd, element->headEnd, from, to);
        } else if (opens) {
            // A "{" after a beside comment would be part of the comment.
            if (m_style.braceOnHeaderLine && beside.empty()) {
                m_out.append(" {");
                emit(element->pieceEnd, element->headEnd, from, to);
            } else {
                emit(element->pieceEnd, element->headEnd, from, to);
                ensureLineStart();
                m_out.append(indent).append(m_style.braceIndent).append("{").append(m_style.lineEnd);
            }
        } else {
            throw CannotKeep{}; // the "{" and what stands between it and the element would go
        }
    }

    void newHead(const Node* node, const std::string& indent) {
        ensureLineStart();
        // A new block gets as many blank lines before it as its neighbour has.
        const Node* parent = node->parent();
        const auto& siblings = parent != nullptr ? parent->children() : m_tree.topLevel();
        const auto row = static_cast<std::size_t>(node->row());
        for (const std::size_t r : {row - 1, row + 1}) {
            if (!opensBlock(node))
                break;
            if (r >= siblings.size())
                continue;
            if (const ElementSource* element = sourceOf(siblings[r])) {
                std::size_t blankLines = 0;
                for (const std::string_view line : splitLinesKeepingBreaks(
                         m_text.substr(element->headBegin, element->pieceBegin - element->headBegin))) {
                    if (!withoutBreak(line).empty() &&
                        leadingBlanks(line).size() != withoutBreak(line).size())
                        break;
                    if (line.empty() || !isBreak(line.back()))
                        break;
                    ++blankLines;
                }
                for (std::size_t i = 0; i < blankLines; ++i)
                    m_out.append(m_style.lineEnd);
                break;
            }
        }
        const NodeData* data = node->data();
        for (const std::string_view line : commentLines(commentsOf(node, &NodeData::commentsAbove)))
            m_out.append(indent).append("//").append(line).append(m_style.lineEnd);
        m_out.append(indent).append(node->text());
        if (data != nullptr && !data->value.empty())
            m_out.append(separatorNear(node)).append(data->value);
        if (data != nullptr && !data->commentBeside.empty())
            m_out.append("  //").append(data->commentBeside);
        if (opensBlock(node)) {
            if (m_style.braceOnHeaderLine && (data == nullptr || data->commentBeside.empty()))
                m_out.append(" {").append(m_style.lineEnd);
            else
                m_out.append(m_style.lineEnd)
                    .append(indent)
                    .append(m_style.braceIndent)
                    .append("{")
                    .append(m_style.lineEnd);
        } else {
            m_out.append(m_style.lineEnd);
        }
    }

    void tail(const Node* node) {
        const auto level = static_cast<std::size_t>(node->level());
        const std::string indent = level < m_indents.size() ? m_indents[level] : std::string();
        const std::string inner = indent + m_style.indentStep;
        const std::string_view trailing = commentsOf(node, &NodeData::trailingComments);
        const Node* original = nullptr;
        const ElementSource* element = sourceOf(node, &original);
        if (element == nullptr || element->tailBegin == None) {
            ensureLineStart();
            for (const std::string_view line : commentLines(trailing))
                m_out.append(inner).append("//").append(line).append(m_style.lineEnd);
            m_out.append(indent);
            if (!m_style.braceOnHeaderLine)
                m_out.append(m_style.braceIndent);
            m_out.append("}").append(m_style.lineEnd);
            return;
        }
        const std::optional<std::string_view> own = indentOf(*element);
        const bool reindent = original->level() != node->level() && own.has_value();
        const std::string_view from = reindent ? *own : std::string_view();
        const std::string_view to = reindent ? std::string_view(indent) : std::string_view();
        // The closing brace's line, when the brace begins it.
        std::size_t braceLine = element->braceClose;
        while (braceLine > element->tailBegin && isIndentBlank(m_text[braceLine - 1]))
            --braceLine;
        if (!startsLine(braceLine))
            braceLine = element->braceClose;
        prepareFor(element->tailBegin);
        std::vector<std::string_view> wanted = commentLines(trailing);
        std::vector<std::string_view> had = commentLines(commentsOf(original, &NodeData::trailingComments));
        dropFront(wanted, takeCarried(node));
        if (!original->hasChildren())
            dropFront(had, element->carried);
        if (wanted == had)
            emit(element->tailBegin, braceLine, from, to);
        else
            rewriteCommentLines(element->tailBegin, braceLine, had, wanted, from, to, inner);
        prepareFor(braceLine);
        emit(braceLine, element->tailEnd, from, to);
    }

    void finalPart(const Node* endMarker) {
        const std::string_view comments = m_tree.topLevelComments();
        const std::string_view oldComments = m_original.topLevelComments();
        const Node* oldEnd = m_original.last();
        const std::size_t size = m_text.size();
        prepareFor(m_map.finalBegin);
        const bool sameEnd = endMarker->text() == oldEnd->text();
        if (comments == oldComments && sameEnd) {
            m_out.append(m_text.substr(m_map.finalBegin));
            return;
        }
        std::size_t markerLine = m_map.endMarkerBegin == None ? size : m_map.endMarkerBegin;
        while (markerLine > m_map.finalBegin && !isBreak(m_text[markerLine - 1]) &&
               isIndentBlank(m_text[markerLine - 1]))
            --markerLine;
        if (!startsLine(markerLine) && m_map.endMarkerBegin != None)
            markerLine = m_map.endMarkerBegin;
        if (comments == oldComments)
            m_out.append(m_text.substr(m_map.finalBegin, markerLine - m_map.finalBegin));
        else
            rewriteComments(m_map.finalBegin, markerLine, oldComments, comments, {}, {}, {});
        if (sameEnd) {
            m_out.append(m_text.substr(markerLine));
            return;
        }
        ensureLineStart();
        m_out.append(endMarker->text());
        if (!m_text.empty() && isBreak(m_text.back()))
            m_out.append(m_style.lineEnd);
    }

    const ElementSource& elementOf(const Node* original) const {
        return m_map.elements[m_original.absoluteIndex(original)];
    }
    // How many comment lines of `node` its parent's head (or its own) wrote already.
    std::size_t takeCarried(const Node* node) {
        if (m_carriedFor != node)
            return 0;
        m_carriedFor = nullptr;
        return m_carriedCount;
    }
    static void dropFront(std::vector<std::string_view>& lines, std::size_t count) {
        lines.erase(lines.begin(),
                    lines.begin() + static_cast<std::ptrdiff_t>(std::min(count, lines.size())));
    }
    static bool startsWith(const std::vector<std::string_view>& lines,
                           const std::vector<std::string_view>& front) {
        return lines.size() >= front.size() && std::equal(front.begin(), front.end(), lines.begin());
    }

    const SectionTree& m_tree;
    const SectionTree& m_original;
    const std::vector<Node*>& m_originalNodes;
    const Node* m_carriedFor = nullptr; // the node whose first comment lines were written before a "{"
    std::size_t m_carriedCount = 0;
    const SourceMap& m_map;
    std::string_view m_text;
    SourceStyle m_style;
    std::vector<std::string> m_indents; // per level, the indentation of the element written last
    std::string m_out;
};

bool sameCanonicalText(const SectionTree& tree, const std::string& canonical) {
    const WriteResult again = writeScript(tree);
    return again.ok && again.bytes == canonical;
}

} // namespace

void keepSource(SectionTree& tree, std::string bytes) {
    const std::vector<Node*>& nodes = tree.preorder();
    for (std::size_t i = 0; i + 1 < nodes.size(); ++i)
        tree.ensureData(nodes[i]).origin = static_cast<std::uint32_t>(i + 1);
    tree.setSource(std::make_shared<const std::string>(std::move(bytes)));
}

LoadResult loadScriptFileKeepingSource(const std::string& path, ScriptEncoding asciiOnly) {
    std::string bytes;
    LoadResult result = loadScriptFile(path, asciiOnly, &bytes);
    if (result.ok() && !result.levelError)
        keepSource(result.tree, std::move(bytes));
    return result;
}

namespace {

// The source as loaded and cut into its elements, worked out once for each source.
struct SourceBase {
    std::shared_ptr<const std::string> source;
    LoadResult original;
    SourceMap map;
    bool mapped = false;
};

std::shared_ptr<const SourceBase> sourceBase(const SectionTree& tree) {
    std::shared_ptr<const void>& cache = tree.sourceCache();
    if (cache != nullptr)
        return std::static_pointer_cast<const SourceBase>(cache);
    auto base = std::make_shared<SourceBase>();
    base->source = tree.source();
    base->original = loadScript(*base->source);
    base->mapped = base->original.ok() && !base->original.levelError &&
                   SourceMapper(*base->source, base->original.tree, base->map).run();
    cache = base;
    return base;
}

} // namespace

LayoutWriteResult writeKeepingLayout(const SectionTree& tree) {
    LayoutWriteResult result;
    result.write = writeScript(tree);
    if (!result.write.ok || tree.source() == nullptr)
        return result;
    result.use = LayoutUse::NotPossible;
    std::shared_ptr<const SourceBase> base;
    try {
        base = sourceBase(tree);
        if (base->mapped) {
            std::string kept = LayoutWriter(tree, base->original.tree, base->map).write();
            const LoadResult check = loadScript(kept);
            if (check.ok() && !check.levelError && sameCanonicalText(check.tree, result.write.bytes)) {
                result.write.bytes = std::move(kept);
                result.use = LayoutUse::Kept;
                return result;
            }
        }
    } catch (const CannotKeep&) {
    } catch (const std::bad_alloc&) {
        return result;
    }
    // Content as loaded, where the source could not be cut into its elements: the source itself.
    try {
        if (base != nullptr && base->original.ok() &&
            sameCanonicalText(base->original.tree, result.write.bytes)) {
            result.write.bytes = *base->source;
            result.use = LayoutUse::Kept;
        }
    } catch (const std::bad_alloc&) {
    }
    return result;
}

} // namespace tonvale
