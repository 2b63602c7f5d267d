// SPDX-License-Identifier: MIT
#include "document/Loader.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <array>
#include <exception>
#include <new>

namespace tonvale {

namespace {

void addMessage(LoadResult& result, std::string_view text, std::string_view caption) {
    result.messages.push_back({std::string(text), std::string(caption), MessageIcon::Error});
}

// Places a new node of level `level` after `last`, the node added before it, with its text kept in the
// tree's arena. Returns nullptr on a jump of more than one level.
Node* placeNode(SectionTree& tree, Node* last, std::size_t level, std::string_view text) {
    if (last == nullptr)
        return tree.appendStored(nullptr, text);
    const auto lastLevel = static_cast<std::size_t>(last->level());
    if (level == lastLevel)
        return tree.appendStored(last->parent(), text);
    if (level == lastLevel + 1)
        return tree.appendStored(last, text);
    if (level < lastLevel) {
        Node* sibling = last->parent();
        while (sibling != nullptr && static_cast<std::size_t>(sibling->level()) > level)
            sibling = sibling->parent();
        return tree.appendStored(sibling != nullptr ? sibling->parent() : nullptr, text);
    }
    return nullptr;
}

// A comment line between an element and the "{" of its block goes into the block as the walk reads it.
// A comment line before an unnamed block (a "{" that follows a brace) is left as the parent of the
// block's elements, and deleting the comment would take them along; such a comment (with the comment
// lines just before it) and its children move into the element before it; when no element precedes
// it, the children take the comment's place. Every line keeps its place in file order. Each children
// list is rebuilt in one pass, so even pathological files stay linear.
bool needsSettling(const SectionTree& tree) {
    for (const Node* node : tree.preorder()) {
        if (node->hasChildren() && isCommentLine(node->text()))
            return true;
    }
    return false;
}

void settleStructure(SectionTree& tree) {
    std::vector<Node*> kids;
    std::vector<Node*> pending; // items still to place, in reverse order
    for (Node* parent = nullptr;;) {
        const auto& original = parent != nullptr ? parent->children() : tree.topLevel();
        const int level = parent != nullptr ? parent->level() + 1 : 0;
        kids.clear();
        pending.assign(original.rbegin(), original.rend());
        std::ptrdiff_t owner = -1; // last element (non-comment entry) of kids
        bool changed = false;
        while (!pending.empty()) {
            Node* node = pending.back();
            pending.pop_back();
            const bool comment = isCommentLine(node->text());
            if (!comment || !node->hasChildren()) {
                if (!comment)
                    owner = static_cast<std::ptrdiff_t>(kids.size());
                kids.push_back(node);
                continue;
            }
            changed = true;
            const auto children = node->children();
            std::vector<Node*> block(children.begin(), children.end());
            tree.setChildren(node, {});
            if (owner >= 0) {
                Node* ownerNode = kids[static_cast<std::size_t>(owner)];
                const auto ownerChildren = ownerNode->children();
                std::vector<Node*> ownerKids(ownerChildren.begin(), ownerChildren.end());
                ownerKids.insert(ownerKids.end(), kids.begin() + owner + 1, kids.end());
                kids.resize(static_cast<std::size_t>(owner) + 1);
                ownerKids.push_back(node);
                ownerKids.insert(ownerKids.end(), block.begin(), block.end());
                tree.setChildren(ownerNode, std::move(ownerKids));
            } else {
                kids.push_back(node);
                pending.insert(pending.end(), block.rbegin(), block.rend());
            }
        }
        // Levels are set top-down as each list is placed, so a promoted subtree is right by the time
        // its own lists are visited.
        if (changed || (!kids.empty() && kids.front()->level() != level))
            tree.setChildren(parent, kids);
        parent = parent != nullptr ? tree.next(parent) : tree.first();
        if (parent == nullptr)
            break;
    }
}

// How the text of an element line that contains a blank is cut into key and value.
struct KeyValueCut {
    std::string_view key; // empty: the text stays whole, as `value` (see applyCut)
    std::string_view value;
    // Cut as an element without a block: an element that opens one keeps key and value together,
    // joined by their one blank.
    bool dependsOnBlock = false;
};

// `opens`: the element opens a block. `scratch` holds the text when its blanks had to be collapsed.
KeyValueCut cutKeyValue(std::string_view text, bool opens, std::string& scratch);

// Where the quotes and blanks of a trimmed element text stand (npos: none), as one pass finds them.
struct CutMarks {
    std::size_t quote1;
    std::size_t quote2;
    std::size_t blank1;
    std::size_t blank2;
    std::size_t blanksBeforeQuote;
    std::size_t blanks;
};

// Finds the marks of a trimmed element text in one pass; blanks and control characters count as
// blanks, and `controls` counts the control characters. False on a run of two blanks, which only the
// general cut handles.
bool markText(std::string_view sv, CutMarks& m, std::size_t& controls) {
    constexpr std::size_t None = std::string_view::npos;
    m = {None, None, None, None, 0, 0};
    controls = 0;
    for (std::size_t i = 0; i < sv.size(); ++i) {
        const char c = sv[i];
        if (isTrimmable(c)) {
            if (i + 1 < sv.size() && isTrimmable(sv[i + 1]))
                return false;
            controls += c != ' ';
            ++m.blanks;
            if (m.blank1 == None)
                m.blank1 = i;
            else if (m.blank2 == None)
                m.blank2 = i;
            if (m.quote1 == None)
                ++m.blanksBeforeQuote;
        } else if (c == '"') {
            if (m.quote1 == None)
                m.quote1 = i;
            else if (m.quote2 == None)
                m.quote2 = i;
        }
    }
    return true;
}

// The key and value cut of an element without a block, from the marks of its text.
KeyValueCut cutAtMarks(std::string_view sv, const CutMarks& m) {
    constexpr std::size_t None = std::string_view::npos;
    KeyValueCut cut;
    std::size_t e = 0; // key = sv[0, e), value = sv[e, end), both trimmed
    if (m.quote1 == 0) {
        e = m.quote2 == None ? 0 : m.quote2 + 1;
    } else if (m.quote1 != None && m.blanksBeforeQuote <= 1) {
        e = m.quote1;
    } else if (m.quote1 != None) {
        e = m.blank2 == None ? 0 : m.blank2 + 1;
    } else if (m.blanks < 2 || sv.starts_with('$')) {
        e = m.blank1 == None ? 0 : m.blank1 + 1;
        cut.dependsOnBlock = true;
    } else {
        e = m.blank2 + 1;
    }
    cut.key = trim(sv.substr(0, e));
    cut.value = trim(sv.substr(e));
    return cut;
}

// The same cut as cutKeyValue for an element without a block, in one pass over a trimmed text whose
// control characters are blanks already: the positions it asks for are found together. A text with a
// run of blanks goes the general way.
KeyValueCut cutElementText(std::string_view sv, std::string& scratch) {
    CutMarks marks{};
    std::size_t controls = 0;
    if (!markText(sv, marks, controls))
        return cutKeyValue(sv, false, scratch);
    return cutAtMarks(sv, marks);
}

// The cut of cutElementText, made on a trimmed element text as read, where control characters still
// stand for the blanks the tree's text has in their place: when the key and the value hold none of
// them, they are slices of the bytes read and need no copy. False when the text must go the general
// way (a run of blanks, or a control character inside the key or the value).
bool cutAsRead(std::string_view sv, KeyValueCut& cut) {
    CutMarks marks{};
    std::size_t controls = 0;
    if (!markText(sv, marks, controls))
        return false;
    cut = {sv, {}, false};
    if (marks.blanks == 0)
        return true;
    cut = cutAtMarks(sv, marks);
    if (controls > 0) {
        // Every control character must lie between the key and the value, where trimming drops it.
        const char* from = cut.key.empty() ? sv.data() : cut.key.data() + cut.key.size();
        const char* to = cut.value.empty() ? sv.data() + sv.size() : cut.value.data();
        if (static_cast<std::size_t>(
                std::count_if(from, to, [](char c) { return isTrimmable(c) && c != ' '; })) != controls)
            return false;
    }
    return true;
}

KeyValueCut cutKeyValue(std::string_view text, bool opens, std::string& scratch) {
    const std::string_view trimmed = trim(text);
    std::string_view sv = trimmed;
    if (trimmed.find("  ") != std::string_view::npos) {
        scratch = collapseBlanks(trimmed);
        sv = scratch;
    }
    KeyValueCut cut;
    const std::size_t q = firstPosition(sv, '"');
    std::size_t e = 0; // key = sv[0, e), value = sv[e, end), both trimmed
    if (q == 1) {
        e = secondPosition(sv, '"');
    } else if (q > 1 && blanksBeforeQuote(sv) <= 1) {
        e = q - 1;
    } else if (q > 1) {
        e = secondPosition(sv, ' ');
    } else if (countOccurrences(" ", sv) < 2 || text.starts_with('$')) {
        e = opens ? sv.size() : firstPosition(sv, ' ');
        cut.dependsOnBlock = !opens;
    } else {
        e = secondPosition(sv, ' ');
    }
    cut.key = trim(sv.substr(0, e));
    cut.value = trim(sv.substr(e));
    return cut;
}

void applyCut(SectionTree& tree, Node* node, const KeyValueCut& cut) {
    NodeData& data = tree.ensureData(node);
    if (cut.key.empty()) {
        // Without a key (an unterminated quote, or blanks only at the ends of the line) the text
        // stays whole: cutting it would give a line that reads back differently.
        data.value.clear();
        tree.storeText(node, cut.value);
        return;
    }
    tree.storeText(data.value, cut.value);
    tree.storeText(node, cut.key);
}

// Key and value of an element line that contains a blank. `opens`: the element opens a block.
void cutKeyValue(SectionTree& tree, Node* node, bool opens) {
    std::string scratch;
    applyCut(tree, node, cutKeyValue(node->text(), opens, scratch));
}

} // namespace

LoadResult loadScriptUnguarded(std::string_view bytes, ScriptEncoding asciiOnly, bool cutting = true);

bool buildTreeFromLines(SectionTree& tree, const std::vector<std::string>& lines) {
    tree.clear();
    Node* last = nullptr;
    for (const auto& line : lines) {
        const IndentedLine start = splitIndentation(line);
        Node* node = placeNode(tree, last, start.level, start.rest);
        if (node == nullptr)
            return false;
        last = node;
    }
    return true;
}

namespace {

// An element of a children list: its beside comment, key and value, and the comment lines above it.
void attachElement(SectionTree& tree, Node* node, std::string_view above) {
    NodeData& data = tree.ensureData(node);
    if (const std::size_t at = node->text().find("//"); at != std::string::npos) {
        tree.storeText(data.commentBeside, trimCommentEnd(node->text().substr(at + 2)));
        tree.storeText(node, trim(node->text().substr(0, at)));
    }
    // Comment lines inside a block (its children now) stay in it as its trailing comments.
    const bool opens = node->hasChildren() || data.block;
    data.block = opens;
    if (node->text().find(' ') != std::string::npos)
        cutKeyValue(tree, node, opens);
    tree.storeText(data.commentsAbove, above);
}

} // namespace

void attachNodeData(SectionTree& tree) {
    if (needsSettling(tree))
        settleStructure(tree);
    const std::vector<Node*> order = tree.preorder();
    if (order.empty())
        return;
    const Node* endMarker = order.back();
    std::vector<Node*> comments;
    // Each children list in turn: comment lines wait for the next element of their list; those left
    // at the end of the list are the trailing comments of its block.
    auto attachList = [&](std::span<Node* const> kids) {
        std::string pending;
        for (Node* node : kids) {
            if (node == endMarker)
                break;
            if (isCommentLine(node->text())) {
                pending.append(node->text(), 2);
                pending += '\r';
                comments.push_back(node); // a leaf: its children were re-homed above
                continue;
            }
            attachElement(tree, node, pending);
            pending.clear();
        }
        return pending;
    };
    tree.setTopLevelComments(attachList(tree.topLevel()));
    for (Node* node : order) {
        if (node->hasChildren() && !isCommentLine(node->text()))
            tree.storeText(tree.ensureData(node).trailingComments, attachList(node->children()));
    }
    tree.removeLeaves(comments);
}

bool assignImages(SectionTree& tree) {
    Node* last = tree.last();
    if (last == nullptr || last->level() != 0)
        return false;
    for (Node* node : tree.preorder()) {
        if (opensBlock(node))
            tree.setImages(node, ImageHeader, ImageHeaderSelected);
        else
            tree.setImages(node, ImageParameter, ImageParameterSelected);
    }
    tree.setImages(last, ImageEndMarker, ImageEndMarker);
    return true;
}

LoadResult loadScript(std::string_view bytes, ScriptEncoding asciiOnly) {
    bool outOfMemory = false;
    try {
        return loadScriptUnguarded(bytes, asciiOnly);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    } catch (const std::exception&) {
    }
    // Out of memory while building: reported like any other failure of the build, and said so.
    LoadResult result;
    result.failure = LoadFailure::LoadError;
    result.outOfMemory = outOfMemory;
    addMessage(result, loadtext::LoadErrorMessage, loadtext::LoadErrorCaption);
    return result;
}

namespace {

// Element text as the tree holds it: tabs and every other control character become blanks (trimming
// treats them all as blanks, so cutting and trimming must agree or a saved line would read back
// differently), then the text is trimmed. A beside comment keeps its characters. `comment` is where
// the piece's first "//" is. The text goes to `out`.
void elementCode(std::string_view piece, std::size_t comment, std::string& out) {
    const std::string_view code = piece.substr(0, comment);
    std::size_t begin = 0;
    std::size_t end = code.size();
    while (begin < end && isTrimmable(code[begin]))
        ++begin;
    // The blanks before a comment stay: an end marker is written as it is.
    while (comment == std::string_view::npos && end > begin && isTrimmable(code[end - 1]))
        --end;
    out.assign(code.substr(begin, end - begin));
    for (char& c : out) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
}

void elementText(std::string_view piece, std::string& out) {
    const std::size_t comment = piece.find("//");
    elementCode(piece, comment, out);
    if (comment != std::string_view::npos)
        out.append(trimCommentEnd(piece.substr(comment)));
}

void commentText(std::string_view afterSlashes, std::string& out) {
    out.assign("//");
    out.append(trimCommentEnd(afterSlashes));
}

// The brace check of the script, counted from the pieces of its lines as they are read.
class BraceCount {
  public:
    template <class Piece> void line(const std::vector<Piece>& pieces) {
        ++m_line;
        for (const Piece& piece : pieces) {
            if (piece.kind == PieceKind::Open) {
                ++m_open;
                m_openLines.push_back(m_line);
            } else if (piece.kind == PieceKind::Close) {
                ++m_close;
                if (!m_openLines.empty())
                    m_openLines.pop_back();
                else if (m_firstUnmatchedClose == 0)
                    m_firstUnmatchedClose = m_line;
            }
        }
    }
    BraceCheck inQuotes() const { return {false, BraceProblem::InQuotes, m_line + 1}; }
    BraceCheck result() const {
        if (braceCountsValid(m_open, m_close))
            return {true, BraceProblem::None, 0};
        if (m_firstUnmatchedClose != 0)
            return {false, BraceProblem::UnmatchedClose, m_firstUnmatchedClose};
        if (!m_openLines.empty())
            return {false, BraceProblem::LeftOpen, m_openLines.front()};
        return {false, BraceProblem::NoBraces, 0};
    }

  private:
    std::size_t m_line = 0;
    std::size_t m_open = 0;
    std::size_t m_close = 0;
    std::size_t m_firstUnmatchedClose = 0;
    std::vector<std::size_t> m_openLines; // lines of the braces still open, outermost first
};

// A piece of a line (see LinePiece) and, for an element, where the first "//" of its text is, inside
// quotes or not (npos: none).
struct ScannedPiece {
    PieceKind kind = PieceKind::Element;
    std::string_view text;
    std::size_t slashes = std::string_view::npos;
};

// Reads the line that starts at `at` and cuts it into pieces as splitLinePieces does, in the same
// pass that finds its end (LineCursor's rules); `at` moves to the next line. Returns false, with the
// pieces before it, when a brace stands inside double quotes; `at` then stays.
// What a byte means to scanLine.
enum ByteClass : unsigned char { TextByte, BlankByte, BreakByte, QuoteByte, SlashByte, BraceByte };

constexpr std::array<unsigned char, 256> byteClasses() {
    std::array<unsigned char, 256> classes{};
    for (int c = 0; c < 256; ++c)
        classes[static_cast<std::size_t>(c)] = isTrimmable(static_cast<char>(c)) ? BlankByte : TextByte;
    classes['\r'] = classes['\n'] = BreakByte;
    classes['"'] = QuoteByte;
    classes['/'] = SlashByte;
    classes['{'] = classes['}'] = BraceByte;
    return classes;
}

bool scanLine(std::string_view bytes, std::size_t& at, std::vector<ScannedPiece>& pieces) {
    static constexpr std::array<unsigned char, 256> Classes = byteClasses();
    const char* const line = bytes.data() + at;
    const std::size_t rest = bytes.size() - at;
    std::size_t start = 0;
    std::size_t slashes = std::string_view::npos;
    bool text = false;
    bool quoted = false;
    std::size_t i = 0;
    for (; i < rest; ++i) {
        const char c = line[i];
        const unsigned char kind = Classes[static_cast<unsigned char>(c)];
        if (kind == TextByte) {
            text = true;
            continue;
        }
        if (kind == BlankByte)
            continue;
        if (kind == BreakByte)
            break;
        if (c == '"') {
            quoted = !quoted;
            text = true;
        } else if (c == '/' && i + 1 < rest && line[i + 1] == '/') {
            if (quoted) {
                if (slashes == std::string_view::npos)
                    slashes = i - start;
                text = true;
                continue;
            }
            // The rest of the line is a comment: on its own, or beside the element text before it.
            std::size_t end = i + 2;
            while (end < rest && line[end] != '\r' && line[end] != '\n')
                ++end;
            if (text)
                pieces.push_back({PieceKind::Element, std::string_view(line + start, end - start),
                                  slashes == std::string_view::npos ? i - start : slashes});
            else
                pieces.push_back({PieceKind::Comment, std::string_view(line + i + 2, end - i - 2)});
            i = end;
            text = false;
            break;
        } else if (c == '{' || c == '}') {
            if (quoted)
                return false;
            if (text)
                pieces.push_back({PieceKind::Element, std::string_view(line + start, i - start), slashes});
            pieces.push_back({c == '{' ? PieceKind::Open : PieceKind::Close, std::string_view(line + i, 1)});
            start = i + 1;
            slashes = std::string_view::npos;
            text = false;
        } else {
            text = true;
        }
    }
    if (text)
        pieces.push_back({PieceKind::Element, std::string_view(line + start, i - start), slashes});
    if (i < rest && line[i] == '\r' && i + 1 < rest && line[i + 1] == '\n')
        i += 2;
    else if (i < rest)
        ++i;
    at += i;
    return true;
}

// Builds the tree from the pieces of the script's lines, in one pass. Braces set the depth; elements
// and comment lines become nodes at that depth.
//
// Cutting does everything the later steps would, as each element is placed: key, value and beside
// comment, whether it opens a block, its image; comment lines are attached to their elements
// afterwards, list by list, only in the lists that hold any. A script this cannot finish (a comment
// line that became the parent of a block, a level error) is built again the plain way: every node
// with its whole text, then attachNodeData.
class TreeWalk {
  public:
    TreeWalk(SectionTree& tree, bool cutting) : m_tree(tree), m_cutting(cutting) {}

    std::size_t depth() const { return m_depth; }
    // The cutting walk met a shape it leaves to the plain one.
    bool needsPlainWalk() const { return m_needsPlainWalk; }

    // False on a jump of more than one level: the rest of the file is not loaded.
    bool piece(const ScannedPiece& piece) {
        switch (piece.kind) {
        case PieceKind::Open:
            open();
            return true;
        case PieceKind::Close:
            if (m_depth >= 1)
                --m_depth; // a "}" at the top closes nothing
            m_owner = nullptr;
            m_between.clear();
            return true;
        case PieceKind::Comment:
            commentText(piece.text, m_text);
            return place(m_depth, m_text, true);
        case PieceKind::Element:
            if (m_cutting)
                return placeElement(piece.text, piece.slashes);
            elementText(piece.text, m_text);
            return place(m_depth, m_text, false);
        }
        return true;
    }
    // The end marker: the last line's text, when the last piece is text at the top level; else empty.
    bool endMarker(const ScannedPiece* final) {
        m_text.clear();
        if (final != nullptr && final->kind == PieceKind::Comment)
            commentText(final->text, m_text);
        else if (final != nullptr)
            elementText(final->text, m_text);
        if (!place(0, m_text, false))
            return false;
        m_tree.clearData(m_last);
        m_tree.setImages(m_last, ImageEndMarker, ImageEndMarker);
        return true;
    }

    // The cutting walk's last steps: elements that open a block get their whole text back as key,
    // comment lines go into the data of their elements and blocks.
    void finishCutting() {
        for (Node* node : m_blockDependent) {
            NodeData& data = m_tree.ensureData(node);
            if (!data.block)
                continue;
            m_text.assign(node->text()).append(" ").append(data.value);
            m_tree.storeText(node, m_text);
            data.value.clear();
        }
        if (m_comments.empty())
            return;
        std::vector<Node*> parents;
        for (Node* comment : m_comments)
            parents.push_back(comment->parent());
        std::sort(parents.begin(), parents.end());
        parents.erase(std::unique(parents.begin(), parents.end()), parents.end());
        const Node* endMarker = m_tree.last();
        std::vector<Node*> comments;
        std::string pending;
        for (Node* parent : parents) {
            pending.clear();
            for (Node* node : parent != nullptr ? parent->children() : m_tree.topLevel()) {
                if (node == endMarker)
                    break;
                if (isCommentLine(node->text())) {
                    pending.append(node->text(), 2);
                    pending += '\r';
                    comments.push_back(node);
                    continue;
                }
                m_tree.storeText(m_tree.ensureData(node).commentsAbove, pending);
                pending.clear();
            }
            if (parent == nullptr) {
                m_tree.setTopLevelComments(pending);
            } else if (!pending.empty()) {
                // The parent opened a block when its first comment line was placed in it.
                m_tree.storeText(m_tree.ensureData(parent).trailingComments, pending);
            }
        }
        m_tree.removeLeaves(comments);
    }

  private:
    // Appends a node at `level`; in the cutting walk, a node placed below an element makes it open a
    // block, and one placed below a comment line leaves the script to the plain walk.
    Node* append(std::size_t level, std::string_view text) {
        Node* node = placeNode(m_tree, m_last, level, text);
        if (node == nullptr || !m_cutting)
            return node;
        m_tree.setImages(node, ImageParameter, ImageParameterSelected);
        if (Node* parent = node->parent()) {
            if (isCommentLine(parent->text()))
                m_needsPlainWalk = true;
            else
                opensBlock(parent);
        }
        return node;
    }

    void opensBlock(Node* element) {
        m_tree.ensureData(element).block = true;
        m_tree.setImages(element, ImageHeader, ImageHeaderSelected);
    }

    bool place(std::size_t level, std::string_view text, bool comment) {
        Node* node = append(level, text);
        if (node == nullptr)
            return false;
        m_last = node;
        if (comment) {
            m_between.push_back(node);
            if (m_cutting)
                m_comments.push_back(node);
        } else {
            m_owner = node;
            m_between.clear();
        }
        return true;
    }

    // An element cut as attachElement and cutKeyValue would cut it, as an element without a block.
    bool placeElement(std::string_view piece, std::size_t comment) {
        KeyValueCut cut;
        if (!cutAsRead(trim(piece.substr(0, comment)), cut)) {
            elementCode(piece, comment, m_text);
            const std::string_view code =
                comment == std::string_view::npos ? std::string_view(m_text) : trim(m_text);
            cut = {code, {}, false};
            if (code.find(' ') != std::string_view::npos)
                cut = cutElementText(code, m_scratch);
        }
        const std::string_view text = cut.key.empty() ? cut.value : cut.key;
        Node* node = append(m_depth, text);
        if (node == nullptr)
            return false;
        m_last = node;
        m_owner = node;
        m_between.clear();
        NodeData& data = m_tree.ensureData(node);
        if (!cut.key.empty())
            m_tree.storeText(data.value, cut.value);
        if (comment != std::string_view::npos)
            m_tree.storeText(data.commentBeside, trimCommentEnd(piece.substr(comment + 2)));
        if (cut.dependsOnBlock)
            m_blockDependent.push_back(node);
        return true;
    }

    void open() {
        if (m_owner != nullptr && static_cast<std::size_t>(m_owner->level()) == m_depth) {
            // The block belongs to the element before it; comment lines between the two go into the
            // block, above its first element.
            for (Node* comment : m_between) {
                if (comment->parent() == m_owner->parent())
                    m_tree.move(comment, m_owner, -1);
            }
            if (m_cutting)
                opensBlock(m_owner);
            else
                m_tree.ensureData(m_owner).block = true;
        }
        m_owner = nullptr;
        m_between.clear();
        ++m_depth;
    }

    SectionTree& m_tree;
    const bool m_cutting;
    bool m_needsPlainWalk = false;
    Node* m_last = nullptr;
    Node* m_owner = nullptr;      // the element a "{" now would open a block for
    std::vector<Node*> m_between; // comment lines placed since that element
    std::size_t m_depth = 0;
    std::string m_text;                  // the text being placed
    std::string m_scratch;               // a text with its blanks collapsed
    std::vector<Node*> m_comments;       // every comment line placed by the cutting walk
    std::vector<Node*> m_blockDependent; // elements whose cut changes when they open a block
};

// One walk over the script's lines: the brace check and the tree, together. Returns the brace check;
// `complete` is false after a level error. `byteOrderMark` is set when one stood before the first text.
BraceCheck walkScript(std::string_view bytes, TreeWalk& walk, bool& complete, bool& byteOrderMark,
                      std::size_t& failedLine) {
    BraceCount braces;
    std::size_t lineNumber = 0;
    failedLine = 0;
    std::vector<ScannedPiece> pieces;
    std::vector<LinePiece> linePieces;
    complete = true;
    bool textSeen = false;
    std::string unmarked;
    for (std::size_t at = 0; at < bytes.size();) {
        pieces.clear();
        ++lineNumber;
        if (!textSeen && !byteOrderMark) {
            // A byte-order mark before the script's first text (after blanks and braces) is the
            // byte-order mark too: the writer puts it first, where it must read back as one.
            LineCursor cursor(bytes.substr(at));
            std::string_view raw;
            cursor.next(raw);
            const std::size_t start =
                std::find_if(raw.begin(), raw.end(),
                             [](char c) { return !isTrimmable(c) && c != '{' && c != '}'; }) -
                raw.begin();
            if (raw.substr(start).starts_with(ByteOrderMark)) {
                unmarked.assign(raw.substr(0, start)).append(raw.substr(start + ByteOrderMark.size()));
                raw = unmarked;
                byteOrderMark = true;
            }
            linePieces.clear();
            if (!splitLinePieces(raw, linePieces))
                return braces.inQuotes();
            for (const LinePiece& piece : linePieces)
                pieces.push_back(
                    {piece.kind, piece.text,
                     piece.kind == PieceKind::Element ? piece.text.find("//") : std::string_view::npos});
            std::size_t next = at + raw.size();
            if (raw.data() == unmarked.data())
                next += ByteOrderMark.size();
            at = next < bytes.size() && bytes[next] == '\r' && next + 1 < bytes.size() &&
                         bytes[next + 1] == '\n'
                     ? next + 2
                     : std::min(next + 1, bytes.size());
        } else if (!scanLine(bytes, at, pieces)) {
            return braces.inQuotes();
        }
        const bool isLast = at >= bytes.size();
        braces.line(pieces);
        if (!complete)
            continue; // after a level error only the braces are counted
        textSeen = textSeen || std::any_of(pieces.begin(), pieces.end(), [](const ScannedPiece& piece) {
                       return piece.kind == PieceKind::Element || piece.kind == PieceKind::Comment;
                   });
        // The last line ends the tree with the end marker. When its last piece is text at the top
        // level, that text is the end marker's, as written; otherwise the end marker is empty.
        const ScannedPiece* endText = nullptr;
        std::size_t count = pieces.size();
        if (isLast && count > 0 &&
            (pieces.back().kind == PieceKind::Element || pieces.back().kind == PieceKind::Comment)) {
            --count;
            for (std::size_t i = 0; complete && i < count; ++i)
                complete = walk.piece(pieces[i]);
            const ScannedPiece& final = pieces.back();
            if (walk.depth() == 0)
                endText = &final;
            else if (complete)
                complete = walk.piece(final); // inside a block left open: an element of the block
            count = 0;
        }
        for (std::size_t i = 0; complete && i < count; ++i)
            complete = walk.piece(pieces[i]);
        if (complete && isLast)
            complete = walk.endMarker(endText);
        if (!complete)
            failedLine = lineNumber;
    }
    return braces.result();
}

} // namespace

namespace loadtext {
std::string braceLineText(const BraceCheck& check) {
    const std::string line = "Строка " + std::to_string(check.line) + ": ";
    switch (check.problem) {
    case BraceProblem::UnmatchedClose:
        return line + "закрывающая скобка «}» без открывающей.";
    case BraceProblem::LeftOpen:
        return line + "открывающая скобка «{» не закрыта.";
    case BraceProblem::InQuotes:
        return line + "фигурная скобка внутри кавычек.";
    case BraceProblem::None:
    case BraceProblem::NoBraces:
        break;
    }
    return {};
}

std::string braceMessage(const BraceCheck& check) {
    const std::string where = braceLineText(check);
    return where.empty() ? std::string(BraceMessage) : std::string(BraceMessage) + " " + where;
}
} // namespace loadtext

LoadResult loadScriptInSteps(std::string_view bytes, ScriptEncoding asciiOnly) {
    return loadScriptUnguarded(bytes, asciiOnly, false);
}

LoadResult loadScriptUnguarded(std::string_view bytes, ScriptEncoding asciiOnly, bool cutting) {
    LoadResult result;
    result.encoding = detectEncoding(bytes, asciiOnly);
    const bool byteOrderMark = startsWithByteOrderMark(bytes);
    if (byteOrderMark)
        bytes.remove_prefix(ByteOrderMark.size());

    SectionTree& tree = result.tree;
    bool complete = true;
    bool markBeforeText = byteOrderMark;
    // Room for the pre-order of a script of about 16 bytes a node; what stays unused is never touched.
    tree.reserve(bytes.size() / 16 + 16);
    {
        TreeWalk walk(tree, cutting);
        result.braces = walkScript(bytes, walk, complete, markBeforeText, result.levelErrorLine);
        if (result.braces.ok && (!cutting || walk.needsPlainWalk() || !complete)) {
            tree.clear();
        } else if (result.braces.ok) {
            walk.finishCutting();
            tree.setByteOrderMark(markBeforeText);
            return result;
        }
    }
    if (!result.braces.ok) {
        tree.clear();
        result.failure = LoadFailure::BraceCheck;
        addMessage(result, loadtext::braceMessage(result.braces), loadtext::BraceCaption);
        return result;
    }

    // The plain walk: every node with its whole text, cut afterwards.
    markBeforeText = byteOrderMark;
    TreeWalk walk(tree, false);
    walkScript(bytes, walk, complete, markBeforeText, result.levelErrorLine);
    tree.setByteOrderMark(markBeforeText);
    if (!complete) {
        result.levelError = true;
        addMessage(result, loadtext::LevelMessage, loadtext::LevelCaption);
    }
    if (Node* last = tree.last())
        tree.clearData(last); // the end marker has none, even when a load cut short left a "{" after it

    attachNodeData(tree);
    if (!assignImages(tree)) {
        result.failure = LoadFailure::LoadError;
        addMessage(result, loadtext::LoadErrorMessage, loadtext::LoadErrorCaption);
    }
    return result;
}

LoadResult loadScriptFile(const std::string& path, ScriptEncoding asciiOnly, std::string* bytesRead) {
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        LoadResult result;
        result.failure = LoadFailure::ReadError;
        result.readError = std::move(error);
        return result;
    }
    LoadResult result = loadScript(bytes, asciiOnly);
    if (bytesRead != nullptr)
        *bytesRead = std::move(bytes);
    return result;
}

} // namespace tonvale
