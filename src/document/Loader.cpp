#include "document/Loader.h"

#include "document/FileIO.h"
#include "document/TextHelpers.h"

#include <algorithm>
#include <exception>

namespace tonvale {

namespace {

bool isShortBlank(std::string_view line) {
    return line.empty() || line == "\t" || line == "\t\t";
}

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

// Two kinds of node cannot come back from a save as they are, so the structure is settled before the
// node data is built:
// - A comment line between an element and the "{" of its block ends up as the parent of the block's
//   elements, and deleting the comment would take them along. The comment (with the comment lines just
//   before it) and its children move into the element before it; when no element precedes it, the
//   children take the comment's place.
// - A node without text above the third level is a blank line, which loading drops at that depth; its
//   children take its place.
// Every line keeps its place in file order. Each children list is rebuilt in one pass, so even
// pathological files stay linear.
bool isVoidNode(const Node* node, int level, const Node* endMarker) {
    return node->text().empty() && level <= 2 && node != endMarker;
}

bool needsSettling(const SectionTree& tree) {
    const Node* endMarker = tree.last();
    for (const Node* node : tree.preorder()) {
        if ((node->hasChildren() && isCommentLine(node->text())) ||
            isVoidNode(node, node->level(), endMarker))
            return true;
    }
    return false;
}

void settleStructure(SectionTree& tree) {
    const Node* endMarker = tree.last();
    std::vector<Node*> kids;
    std::vector<Node*> pending; // items still to place, in reverse order
    std::vector<Node*> dropped;
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
            const bool isVoid = isVoidNode(node, level, endMarker);
            if (!isVoid && (!comment || !node->hasChildren())) {
                if (!comment)
                    owner = static_cast<std::ptrdiff_t>(kids.size());
                kids.push_back(node);
                continue;
            }
            changed = true;
            std::vector<Node*> block = node->children();
            tree.setChildren(node, {});
            if (isVoid) {
                dropped.push_back(node);
                pending.insert(pending.end(), block.rbegin(), block.rend());
            } else if (owner >= 0) {
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
    tree.removeLeaves(dropped);
}

void replaceSlashes(std::string& text) {
    std::replace(text.begin(), text.end(), '/', ' ');
}

// Key and value of an element line that contains a blank.
void cutKeyValue(SectionTree& tree, Node* node, bool nextIsDeeper) {
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
        e = nextIsDeeper ? sv.size() : firstPosition(sv, ' ');
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

LoadResult loadScriptUnguarded(std::string_view bytes);

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

void attachNodeData(SectionTree& tree) {
    if (needsSettling(tree))
        settleStructure(tree);
    const std::vector<Node*> order = tree.preorder();
    if (order.empty())
        return;
    // Comment lines are not elements: whether an element opens a block is decided by the next element.
    std::vector<int> nextElementLevel(order.size(), -1);
    for (std::size_t i = order.size() - 1; i > 0; --i) {
        const bool isElement = i + 1 == order.size() || !isCommentLine(order[i]->text());
        nextElementLevel[i - 1] = isElement ? order[i]->level() : nextElementLevel[i];
    }
    std::string pending;
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        Node* node = order[i];
        if (isCommentLine(node->text())) {
            std::string comment = node->text();
            replaceSlashes(comment);
            pending += ' ';
            pending += trim(comment);
            continue;
        }
        bool beside = false;
        if (const std::size_t at = node->text().find("//"); at != std::string::npos) {
            pending += ' ';
            pending.append(node->text(), at);
            replaceSlashes(pending);
            pending = std::string(trim(pending));
            beside = true;
            tree.setText(node, std::string(trim(std::string_view(node->text()).substr(0, at))));
        }
        NodeData& data = tree.ensureData(node);
        if (node->text().find(' ') != std::string::npos)
            cutKeyValue(tree, node, nextElementLevel[i] > node->level());
        (beside ? data.commentBeside : data.commentsAbove) = std::string(trim(pending));
        pending.clear();
    }
    std::vector<Node*> comments;
    for (std::size_t i = 0; i + 1 < order.size(); ++i) {
        if (isCommentLine(order[i]->text()))
            comments.push_back(order[i]); // leaves: their children were re-homed above
    }
    tree.removeLeaves(comments);
}

bool assignImages(SectionTree& tree) {
    Node* last = tree.last();
    if (last == nullptr || last->level() != 0)
        return false;
    for (Node* node : tree.preorder()) {
        if (node->hasChildren())
            tree.setImages(node, ImageHeader, ImageHeaderSelected);
        else
            tree.setImages(node, ImageParameter, ImageParameterSelected);
    }
    tree.setImages(last, ImageEndMarker, ImageEndMarker);
    return true;
}

LoadResult loadScript(std::string_view bytes) {
    try {
        return loadScriptUnguarded(bytes);
    } catch (const std::exception&) {
        // Out of memory while building: report it like any other failure of the build.
        LoadResult result;
        result.failure = LoadFailure::LoadError;
        addMessage(result, loadtext::LoadErrorMessage, loadtext::LoadErrorCaption);
        return result;
    }
}

LoadResult loadScriptUnguarded(std::string_view bytes) {
    LoadResult result;
    if (!scriptBracesBalanced(bytes)) {
        result.failure = LoadFailure::BraceCheck;
        addMessage(result, loadtext::BraceMessage, loadtext::BraceCaption);
        return result;
    }

    // Normalisation and tree building in one pass. For each line, in the terms of the rules: blank
    // lines go; tabs become blanks and the line is trimmed; brace lines set the depth; other braces
    // are deleted; the depth (plus any blanks the deleted braces left in front) is the level.
    SectionTree& tree = result.tree;
    Node* last = nullptr;
    std::size_t depth = 0;
    std::string content;
    LineCursor cursor(bytes);
    for (std::string_view raw; cursor.next(raw);) {
        const bool isLast = cursor.atEnd();
        if (!isLast && isShortBlank(raw))
            continue;
        const std::string_view line = trim(raw);
        std::size_t lineDepth = depth;
        if (line == "{") {
            ++depth;
            lineDepth = 0;
        } else if (line == "}" && depth >= 1) {
            --depth;
            lineDepth = 0;
        }
        content.clear();
        for (char c : line) {
            if (c == '{' || c == '}')
                continue;
            // Tabs, and any other control character, become blanks: trimming treats them all as
            // blanks, so cutting and trimming must agree or a saved line would read back differently.
            content.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
        }
        if (!isLast && content.empty() && lineDepth <= 2)
            continue;
        const IndentedLine start = splitIndentation(content);
        // A deleted brace can leave control characters at either end of the text; a reload would trim
        // them, so they go now.
        Node* node = placeNode(tree, last, lineDepth + start.level, std::string(trim(start.rest)));
        if (node == nullptr) {
            result.levelError = true;
            addMessage(result, loadtext::LevelMessage, loadtext::LevelCaption);
            break;
        }
        last = node;
    }

    attachNodeData(tree);
    if (!assignImages(tree)) {
        result.failure = LoadFailure::LoadError;
        addMessage(result, loadtext::LoadErrorMessage, loadtext::LoadErrorCaption);
    }
    return result;
}

LoadResult loadScriptFile(const std::string& path) {
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) {
        LoadResult result;
        result.failure = LoadFailure::ReadError;
        result.readError = std::move(error);
        return result;
    }
    return loadScript(bytes);
}

} // namespace tonvale
