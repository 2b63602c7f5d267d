// SPDX-License-Identifier: MIT
#include "document/Loader.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <exception>
#include <new>

namespace tonvale {

namespace {

void addMessage(LoadResult& result, std::string_view text, std::string_view caption) {
    result.messages.push_back({std::string(text), std::string(caption), MessageIcon::Error});
}

// Places a new node of level `level` after `last`, the node added before it. Returns nullptr on a
// jump of more than one level.
Node* placeNode(SectionTree& tree, Node* last, std::size_t level, std::string text) {
    if (last == nullptr)
        return tree.append(nullptr, std::move(text));
    const auto lastLevel = static_cast<std::size_t>(last->level());
    if (level == lastLevel)
        return tree.append(last->parent(), std::move(text));
    if (level == lastLevel + 1)
        return tree.append(last, std::move(text));
    if (level < lastLevel) {
        Node* sibling = last->parent();
        while (sibling != nullptr && static_cast<std::size_t>(sibling->level()) > level)
            sibling = sibling->parent();
        return tree.append(sibling != nullptr ? sibling->parent() : nullptr, std::move(text));
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
            std::vector<Node*> block = node->children();
            tree.setChildren(node, {});
            if (owner >= 0) {
                Node* ownerNode = kids[static_cast<std::size_t>(owner)];
                std::vector<Node*> ownerKids = ownerNode->children();
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

// Key and value of an element line that contains a blank. `opens`: the element opens a block.
void cutKeyValue(SectionTree& tree, Node* node, bool opens) {
    const std::string_view text = node->text();
    const std::string_view trimmed = trim(text);
    std::string collapsed;
    std::string_view sv = trimmed;
    if (trimmed.find("  ") != std::string_view::npos) {
        collapsed = collapseBlanks(trimmed);
        sv = collapsed;
    }
    const std::size_t q = firstPosition(sv, '"');
    std::size_t e = 0; // key = sv[0, e), value = sv[e, end), both trimmed
    if (q == 1)
        e = secondPosition(sv, '"');
    else if (q > 1 && blanksBeforeQuote(sv) <= 1)
        e = q - 1;
    else if (q > 1)
        e = secondPosition(sv, ' ');
    else if (countOccurrences(" ", sv) < 2 || text.starts_with('$'))
        e = opens ? sv.size() : firstPosition(sv, ' ');
    else
        e = secondPosition(sv, ' ');
    const std::string_view key = trim(sv.substr(0, e));
    const std::string_view value = trim(sv.substr(e));
    NodeData& data = tree.ensureData(node);
    if (key.empty()) {
        // Without a key (an unterminated quote, or blanks only at the ends of the line) the text
        // stays whole: cutting it would give a line that reads back differently.
        data.value.clear();
        const std::string whole(value);
        tree.assignText(node, whole);
        return;
    }
    data.value.assign(value);
    // A fresh string rather than an assignment: the line's longer buffer goes back to the allocator
    // for the next line instead of staying attached to a short key.
    tree.setText(node, std::string(key));
}

} // namespace

LoadResult loadScriptUnguarded(std::string_view bytes, ScriptEncoding asciiOnly);

bool buildTreeFromLines(SectionTree& tree, const std::vector<std::string>& lines) {
    tree.clear();
    Node* last = nullptr;
    for (const auto& line : lines) {
        const IndentedLine start = splitIndentation(line);
        Node* node = placeNode(tree, last, start.level, std::string(start.rest));
        if (node == nullptr)
            return false;
        last = node;
    }
    return true;
}

namespace {

// An element of a children list: its beside comment, key and value, and the comment lines above it.
void attachElement(SectionTree& tree, Node* node, std::string&& above) {
    NodeData& data = tree.ensureData(node);
    if (const std::size_t at = node->text().find("//"); at != std::string::npos) {
        data.commentBeside.assign(trimCommentEnd(std::string_view(node->text()).substr(at + 2)));
        tree.setText(node, std::string(trim(std::string_view(node->text()).substr(0, at))));
    }
    // Comment lines inside a block (its children now) stay in it as its trailing comments.
    const bool opens = node->hasChildren() || data.block;
    data.block = opens;
    if (node->text().find(' ') != std::string::npos)
        cutKeyValue(tree, node, opens);
    data.commentsAbove = std::move(above);
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
    auto attachList = [&](const std::vector<Node*>& kids) {
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
            attachElement(tree, node, std::move(pending));
            pending.clear();
        }
        return pending;
    };
    tree.setTopLevelComments(attachList(tree.topLevel()));
    for (Node* node : order) {
        if (node->hasChildren() && !isCommentLine(node->text()))
            tree.ensureData(node).trailingComments = attachList(node->children());
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
// differently), then the text is trimmed. A beside comment keeps its characters.
std::string elementText(std::string_view piece) {
    const std::size_t comment = piece.find("//");
    const std::string_view code = piece.substr(0, comment);
    std::size_t begin = 0;
    std::size_t end = code.size();
    while (begin < end && isTrimmable(code[begin]))
        ++begin;
    // The blanks before a comment stay: an end marker is written as it is.
    while (comment == std::string_view::npos && end > begin && isTrimmable(code[end - 1]))
        --end;
    std::string text(code.substr(begin, end - begin));
    for (char& c : text) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    if (comment != std::string_view::npos)
        text.append(trimCommentEnd(piece.substr(comment)));
    return text;
}

std::string commentText(std::string_view afterSlashes) {
    std::string text("//");
    text.append(trimCommentEnd(afterSlashes));
    return text;
}

// Builds the tree from the pieces of the script's lines, in one pass. Braces set the depth; elements
// and comment lines become nodes at that depth (comment lines are settled into the node data later).
class TreeWalk {
  public:
    explicit TreeWalk(SectionTree& tree) : m_tree(tree) {}

    std::size_t depth() const { return m_depth; }

    // False on a jump of more than one level: the rest of the file is not loaded.
    bool piece(const LinePiece& piece) {
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
            return place(m_depth, commentText(piece.text), true);
        case PieceKind::Element:
            return place(m_depth, elementText(piece.text), false);
        }
        return true;
    }
    // The end marker: the last line's text, when the last piece is text at the top level; else empty.
    bool endMarker(std::string text) { return place(0, std::move(text), false); }

  private:
    bool place(std::size_t level, std::string text, bool comment) {
        Node* node = placeNode(m_tree, m_last, level, std::move(text));
        if (node == nullptr)
            return false;
        m_last = node;
        if (comment) {
            m_between.push_back(node);
        } else {
            m_owner = node;
            m_between.clear();
        }
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
            m_tree.ensureData(m_owner).block = true;
        }
        m_owner = nullptr;
        m_between.clear();
        ++m_depth;
    }

    SectionTree& m_tree;
    Node* m_last = nullptr;
    Node* m_owner = nullptr;      // the element a "{" now would open a block for
    std::vector<Node*> m_between; // comment lines placed since that element
    std::size_t m_depth = 0;
};

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

LoadResult loadScriptUnguarded(std::string_view bytes, ScriptEncoding asciiOnly) {
    LoadResult result;
    result.encoding = detectEncoding(bytes, asciiOnly);
    const bool byteOrderMark = startsWithByteOrderMark(bytes);
    if (byteOrderMark)
        bytes.remove_prefix(ByteOrderMark.size());
    result.braces = checkScriptBraces(bytes);
    if (!result.braces.ok) {
        result.failure = LoadFailure::BraceCheck;
        addMessage(result, loadtext::braceMessage(result.braces), loadtext::BraceCaption);
        return result;
    }

    SectionTree& tree = result.tree;
    tree.setByteOrderMark(byteOrderMark);
    TreeWalk walk(tree);
    std::vector<LinePiece> pieces;
    LineCursor cursor(bytes);
    bool complete = true;
    bool textSeen = false;
    std::string unmarked;
    for (std::string_view raw; complete && cursor.next(raw);) {
        const bool isLast = cursor.atEnd();
        if (!textSeen && !tree.byteOrderMark()) {
            // A byte-order mark before the script's first text (after blanks and braces) is the
            // byte-order mark too: the writer puts it first, where it must read back as one.
            const std::size_t start =
                std::find_if(raw.begin(), raw.end(),
                             [](char c) { return !isTrimmable(c) && c != '{' && c != '}'; }) -
                raw.begin();
            if (raw.substr(start).starts_with(ByteOrderMark)) {
                unmarked.assign(raw.substr(0, start)).append(raw.substr(start + ByteOrderMark.size()));
                raw = unmarked;
                tree.setByteOrderMark(true);
            }
        }
        pieces.clear();
        splitLinePieces(raw, pieces); // never fails once the brace check has passed
        textSeen = textSeen || std::any_of(pieces.begin(), pieces.end(), [](const LinePiece& piece) {
                       return piece.kind == PieceKind::Element || piece.kind == PieceKind::Comment;
                   });
        // The last line ends the tree with the end marker. When its last piece is text at the top
        // level, that text is the end marker's, as written; otherwise the end marker is empty.
        std::string endText;
        if (isLast && !pieces.empty() &&
            (pieces.back().kind == PieceKind::Element || pieces.back().kind == PieceKind::Comment)) {
            for (std::size_t i = 0; complete && i + 1 < pieces.size(); ++i)
                complete = walk.piece(pieces[i]);
            const LinePiece& final = pieces.back();
            if (walk.depth() == 0)
                endText =
                    final.kind == PieceKind::Comment ? commentText(final.text) : elementText(final.text);
            else if (complete)
                complete = walk.piece(final); // inside a block left open: an element of the block
            pieces.clear();
        }
        for (std::size_t i = 0; complete && i < pieces.size(); ++i)
            complete = walk.piece(pieces[i]);
        if (complete && isLast)
            complete = walk.endMarker(std::move(endText));
    }
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

LoadResult loadScriptFile(const std::string& path, ScriptEncoding asciiOnly) {
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        LoadResult result;
        result.failure = LoadFailure::ReadError;
        result.readError = std::move(error);
        return result;
    }
    return loadScript(bytes, asciiOnly);
}

} // namespace tonvale
