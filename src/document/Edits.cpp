// SPDX-License-Identifier: MIT
#include "document/Edits.h"

#include "document/Cp1251.h"
#include "document/Loader.h"
#include "document/TextHelpers.h"
#include "document/Writer.h"

#include <algorithm>
#include <optional>
#include <utility>

namespace tonvale {

namespace {

struct LineContent {
    std::string text;
    std::string value;
};

// A key in double quotes with no other quote and no blank to spare: the loader cuts such a line
// after the key's closing quote whatever follows, so any storable value reads back with it.
bool isPlainQuotedKey(std::string_view text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"' &&
           std::count(text.begin(), text.end(), '"') == 2 && storableLine(text) == text;
}

// What a save followed by a load makes of a node's line. The writer and the loader are the authority
// on the script format, so the line is passed through them rather than through a copy of their rules.
std::optional<LineContent> readBack(std::string_view text, std::string_view value, bool opens) {
    SectionTree probe;
    Node* node = probe.append(nullptr, std::string(text));
    NodeData& probeData = probe.ensureData(node);
    probeData.value = std::string(value);
    probeData.block = opens;
    probe.append(nullptr, std::string());
    const WriteResult written = writeScript(probe);
    if (!written.ok)
        return std::nullopt;
    const LoadResult loaded = loadScript(written.bytes);
    const Node* back = loaded.tree.first();
    if (!loaded.ok() || back == nullptr || back->hasChildren() || opensBlock(back) != opens)
        return std::nullopt;
    const NodeData* data = back->data();
    if (data == nullptr)
        return std::nullopt;
    return LineContent{back->text(), data->value};
}

void notifyAboutToChange(TreeObserver* observer, const Node* node) {
    if (observer != nullptr)
        observer->aboutToChange(node);
}

void notifyChanged(TreeObserver* observer, const Node* node) {
    if (observer != nullptr)
        observer->changed(node);
}

std::pair<int, int> imagesFor(const SectionTree& tree, const Node* node) {
    if (tree.isEndMarker(node))
        return {ImageEndMarker, ImageEndMarker};
    if (opensBlock(node))
        return {ImageHeader, ImageHeaderSelected};
    return {ImageParameter, ImageParameterSelected};
}

void refreshNodeImages(SectionTree& tree, Node* node, TreeObserver* observer) {
    const auto [image, selected] = imagesFor(tree, node);
    if (node->image() == image && node->selectedImage() == selected)
        return;
    notifyAboutToChange(observer, node);
    tree.setImages(node, image, selected);
    notifyChanged(observer, node);
}

// A block that loses its last child stays a block, written with its braces: the key in front of it
// must not turn into a parameter that takes the next line's key as its value.
void keepBlock(SectionTree& tree, Node* parent, TreeObserver* observer) {
    if (parent != nullptr && parent->hasData() && parent->childCount() == 1 && !parent->data()->block) {
        notifyAboutToChange(observer, parent);
        tree.ensureData(parent).block = true;
        notifyChanged(observer, parent);
    }
}

// A comment typed on one line: line breaks become blanks; every other character is comment text.
std::string oneLineComment(std::string_view text) {
    std::string out(text);
    std::replace(out.begin(), out.end(), '\r', ' ');
    std::replace(out.begin(), out.end(), '\n', ' ');
    return out;
}

} // namespace

std::string sanitizeLineText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        if (c == '{' || c == '}')
            continue;
        out.push_back(static_cast<unsigned char>(c) < 32 ? ' ' : c);
    }
    return out;
}

std::string storableLine(std::string_view text) {
    const std::string clean = sanitizeLineText(text);
    std::string out;
    out.reserve(clean.size());
    for (char c : clean) {
        if (c == ' ' && (out.empty() || out.back() == ' '))
            continue;
        if (c == '/' && !out.empty() && out.back() == '/')
            continue;
        out.push_back(c);
    }
    if (!out.empty() && out.back() == ' ')
        out.pop_back();
    return out;
}

std::string normalizeName(std::string_view text) {
    std::string unquoted(text);
    std::replace(unquoted.begin(), unquoted.end(), '"', ' ');
    return '"' + storableLine(unquoted) + '"';
}

bool lineReadsBack(std::string_view text, std::string_view value, bool opens) {
    if (isPlainQuotedKey(text) && storableLine(value) == value)
        return true;
    const std::optional<LineContent> back = readBack(text, value, opens);
    return back && back->text == text && back->value == value;
}

void settleLine(SectionTree& tree, Node* node, TreeObserver* observer) {
    if (node == nullptr || !node->hasData() || tree.isEndMarker(node))
        return;
    NodeData& data = tree.ensureData(node);
    // One reading gives the canonical form; the bound only guards against a loop.
    for (int pass = 0; pass < 3; ++pass) {
        if (lineReadsBack(node->text(), data.value, opensBlock(node)))
            return;
        std::optional<LineContent> back = readBack(node->text(), data.value, opensBlock(node));
        if (!back)
            return;
        notifyAboutToChange(observer, node);
        tree.setText(node, std::move(back->text));
        data.value = std::move(back->value);
        notifyChanged(observer, node);
    }
}

bool setNodeValue(SectionTree& tree, Node* node, std::string_view value, TreeObserver* observer) {
    if (node == nullptr || !node->hasData() || tree.isEndMarker(node))
        return false;
    std::string clean = storableLine(value);
    if (!lineReadsBack(node->text(), clean, opensBlock(node))) {
        std::string quoted = normalizeName(clean);
        if (lineReadsBack(node->text(), quoted, opensBlock(node)))
            clean = std::move(quoted);
    }
    NodeData& data = tree.ensureData(node);
    const std::string oldText = node->text();
    const bool valueChanged = data.value != clean;
    notifyAboutToChange(observer, node); // not always followed by `changed`: nothing may change
    data.value = std::move(clean);
    settleLine(tree, node, nullptr); // a key that no value keeps whole is re-read
    const bool changed = valueChanged || node->text() != oldText;
    if (changed)
        notifyChanged(observer, node);
    return changed;
}

RenameResult renameNode(SectionTree& tree, Node* node, std::string_view text, TreeObserver* observer) {
    if (node == nullptr || tree.isEndMarker(node))
        return {};
    std::string clean = storableLine(text);
    if (clean.empty())
        return {};
    const NodeData* data = node->data();
    const std::string value = data != nullptr ? data->value : std::string();
    if (!lineReadsBack(clean, value, opensBlock(node)))
        clean = normalizeName(clean);
    if (clean == node->text())
        return {};
    notifyAboutToChange(observer, node);
    tree.setText(node, std::move(clean));
    settleLine(tree, node, nullptr);
    notifyChanged(observer, node);
    return {true};
}

std::vector<std::string> splitEditLines(std::string_view text) {
    std::vector<std::string> lines;
    LineCursor cursor(text);
    for (std::string_view line; cursor.next(line);)
        lines.emplace_back(line);
    return lines;
}

std::vector<std::string> commentLines(std::string_view commentsAbove) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t cr = commentsAbove.find('\r'); cr != std::string_view::npos;
         cr = commentsAbove.find('\r', start)) {
        lines.emplace_back(commentsAbove.substr(start, cr - start));
        start = cr + 1;
    }
    if (start < commentsAbove.size())
        lines.emplace_back(commentsAbove.substr(start));
    return lines;
}

std::string joinCommentLines(const std::vector<std::string>& lines) {
    std::string out;
    for (const std::string& line : lines) {
        std::vector<std::string> pieces = splitEditLines(line);
        if (pieces.empty())
            pieces.emplace_back();
        for (const std::string& piece : pieces) {
            out += piece;
            out += '\r';
        }
    }
    return out;
}

std::string besideComment(std::string_view text, std::string_view value, std::string_view comment) {
    std::string beside = oneLineComment(comment);
    if (!containsEither(beside, '{', '}'))
        return beside;
    // The comment starts at its "//" unless a quote of the key or value left open hides it: then a
    // brace in it would be read as a block, or refuse the file, and the braces go.
    std::string line = std::string(text) + ' ' + std::string(value) + "  //" + beside;
    std::vector<LinePiece> pieces;
    const bool quotedBrace = !splitLinePieces(line, pieces);
    const bool structural = std::any_of(pieces.begin(), pieces.end(), [](const LinePiece& p) {
        return p.kind != PieceKind::Element && p.kind != PieceKind::Comment;
    });
    if (quotedBrace || structural)
        std::erase_if(beside, [](char c) { return c == '{' || c == '}'; });
    return beside;
}

bool setComments(SectionTree& tree, Node* node, std::string_view beside,
                 const std::vector<std::string>& aboveLines, TreeObserver* observer) {
    if (node == nullptr || !node->hasData() || tree.isEndMarker(node))
        return false;
    NodeData& data = tree.ensureData(node);
    std::string newBeside = besideComment(node->text(), data.value, beside);
    std::string newAbove = joinCommentLines(aboveLines);
    if (data.commentBeside == newBeside && data.commentsAbove == newAbove)
        return false;
    notifyAboutToChange(observer, node);
    data.commentBeside = std::move(newBeside);
    data.commentsAbove = std::move(newAbove);
    notifyChanged(observer, node);
    return true;
}

DeleteResult deleteNode(SectionTree& tree, Node* node, TreeObserver* observer) {
    if (node == nullptr || tree.isEndMarker(node))
        return {};
    Node* parent = node->parent();
    const int row = node->row();
    const std::span<Node* const> siblings = parent != nullptr ? parent->children() : tree.topLevel();
    DeleteResult result{true, parent, row, nullptr};
    if (static_cast<std::size_t>(row) + 1 < siblings.size())
        result.selectAfter = siblings[static_cast<std::size_t>(row) + 1];
    else if (row > 0)
        result.selectAfter = siblings[static_cast<std::size_t>(row) - 1];
    else
        result.selectAfter = parent;
    keepBlock(tree, parent, observer);
    if (observer != nullptr)
        observer->aboutToRemove(parent, row, 1);
    tree.remove(node);
    if (observer != nullptr)
        observer->removed(parent, row, 1);
    if (parent != nullptr) {
        settleLine(tree, parent, observer);
        refreshNodeImages(tree, parent, observer);
    }
    return result;
}

namespace {
// "[name value]" (the value when there is one), then " в [parent]" below the top level.
std::string describeNode(const Node& node, ScriptEncoding encoding) {
    std::string text = "[" + scriptToUtf8(node.text(), encoding);
    if (const NodeData* data = node.data(); data != nullptr && !data->value.empty())
        text += " " + scriptToUtf8(data->value, encoding);
    text += "]";
    if (const Node* parent = node.parent())
        text += " в [" + scriptToUtf8(parent->text(), encoding) + "]";
    return text;
}
} // namespace

Message deleteQuestion(const Node& node, ScriptEncoding encoding) {
    return {"Вы действительно хотите удалить заголовок (параметр, секцию) " + describeNode(node, encoding) +
                "?\rВнимание, комментарии также удаляются.",
            std::string(edittext::DeleteCaption), MessageIcon::Warning};
}

Message moveQuestion(const Node& dragged, const Node& target, ScriptEncoding encoding) {
    return {"Переместить [" + scriptToUtf8(dragged.text(), encoding) + "] в начало [" +
                scriptToUtf8(target.text(), encoding) +
                "]?\rДа - первым элементом, Нет - последним элементом.",
            std::string(edittext::MoveCaption), MessageIcon::Question};
}

bool dragAccepted(const SectionTree& tree, const Node* dragged, const Node* target) {
    return dragged != nullptr && target != nullptr && target != dragged && !tree.isEndMarker(dragged) &&
           !SectionTree::isWithin(target, dragged);
}

bool dropMoves(const SectionTree& tree, const Node* dragged, const Node* target) {
    return dragAccepted(tree, dragged, target) && !tree.isEndMarker(target);
}

MoveResult moveNode(SectionTree& tree, Node* node, Node* target, PlacementAnswer answer,
                    TreeObserver* observer) {
    MoveResult result;
    if (!dropMoves(tree, node, target))
        return result;
    result.oldParent = node->parent();
    result.oldRow = node->row();
    result.newParent = target;
    if (answer == PlacementAnswer::Cancel) {
        result.outcome = MoveOutcome::Cancelled;
        return result;
    }
    const int destRow = answer == PlacementAnswer::Yes ? 0 : target->childCount();
    if (node->parent() == target && (destRow == result.oldRow || destRow == result.oldRow + 1)) {
        result.outcome = MoveOutcome::Unchanged;
        result.newRow = result.oldRow;
        return result;
    }
    Node* oldParent = node->parent();
    keepBlock(tree, oldParent, observer);
    if (observer != nullptr)
        observer->aboutToMove(node, oldParent, result.oldRow, target, destRow);
    tree.move(node, target, destRow);
    if (observer != nullptr)
        observer->moved(node, oldParent, result.oldRow, target, destRow);
    result.outcome = MoveOutcome::Moved;
    result.newRow = node->row();
    settleLine(tree, oldParent, observer);
    settleLine(tree, target, observer);
    refreshImages(tree, observer);
    return result;
}

bool refreshImages(SectionTree& tree, TreeObserver* observer) {
    const Node* last = tree.last();
    if (last == nullptr || last->level() != 0)
        return false;
    for (Node* node : tree.preorder())
        refreshNodeImages(tree, node, observer);
    return true;
}

} // namespace tonvale
