// SPDX-License-Identifier: MIT
#pragma once

// Named edits of the document. The grid, the tree commands, the templates, the wave chooser and the
// player panel change the document only through these functions, so the tree's invariants hold: no
// node text or Value contains a tab, "{", "}" or another control byte; comments hold any byte but a
// line break, except that CommentsAbove and the trailing comments end each of their lines with a CR;
// the end marker stays the last node at the top level; and every node's text, Value and comments read
// back unchanged when the document is saved and loaded again. A block that loses its last child keeps
// its braces (NodeData::block), and its trailing comments travel with it.
//
// How a tree model follows the edits
// ----------------------------------
// Every edit takes an optional TreeObserver and calls it around the change, the way a
// QAbstractItemModel must bracket it:
//   aboutToInsert(parent, row, count) / inserted(...)        -> beginInsertRows / endInsertRows
//   aboutToRemove(parent, row, count) / removed(...)         -> beginRemoveRows / endRemoveRows
//   aboutToMove(node, oldParent, oldRow, newParent, destRow) / moved(...)
//                                                            -> beginMoveRows / endMoveRows
//   aboutToChange(node) / changed(node)                      -> dataChanged for that node's row
// `parent` nullptr means the top level. Rows count among the parent's children; for a move,
// `destRow` counts in the new parent's children before the move, as beginMoveRows expects, and a
// move that would leave the node where it is is not reported (nor made). The "about to" calls come
// while the tree still has its old shape; the others once the new shape is in place. A node inserted
// with children (a block from a template) is reported as one inserted row: its children are there
// when `inserted` runs. `changed` follows any change of a node's text, data or images that the edit
// made besides the structural change (a parent that became a header, images reassigned, a line
// re-read in its canonical form); `aboutToChange` comes before it, while the node still has its old
// text, data and images (the undo history takes its copy there), and may come alone when the edit
// turns out to change nothing. Each edit also returns what it did (the node created, moved or
// renamed, its parent and row, the node to select after a delete), so the window can select and
// scroll without walking the tree.

#include "document/Cp1251.h"
#include "document/Message.h"
#include "document/SectionTree.h"

#include <string>
#include <string_view>
#include <vector>

namespace tonvale {

class TreeObserver {
  public:
    virtual ~TreeObserver() = default;
    virtual void aboutToInsert(const Node* /*parent*/, int /*row*/, int /*count*/) {}
    virtual void inserted(const Node* /*parent*/, int /*row*/, int /*count*/) {}
    virtual void aboutToRemove(const Node* /*parent*/, int /*row*/, int /*count*/) {}
    virtual void removed(const Node* /*parent*/, int /*row*/, int /*count*/) {}
    virtual void aboutToMove(const Node* /*node*/, const Node* /*oldParent*/, int /*oldRow*/,
                             const Node* /*newParent*/, int /*destRow*/) {}
    virtual void moved(const Node* /*node*/, const Node* /*oldParent*/, int /*oldRow*/,
                       const Node* /*newParent*/, int /*destRow*/) {}
    virtual void aboutToChange(const Node* /*node*/) {}
    virtual void changed(const Node* /*node*/) {}
    // The whole document is about to be replaced, and has been (the model resets).
    virtual void aboutToReset() {}
    virtual void wasReset() {}
};

// Texts of the messages and questions of the tree edits (UTF-8).
namespace edittext {
inline constexpr std::string_view Unexpected = "Непредвиденная ошибка";
inline constexpr std::string_view DeleteCaption = "Удалить";
inline constexpr std::string_view RenameCaption = "Изменить";
inline constexpr std::string_view MoveQuestion = "Переместить в начало?";
inline constexpr std::string_view MoveCaption = "Перемещение";
} // namespace edittext

// The answer to "Переместить в начало?": Yes puts the node first among the target's children, No
// last, Cancel leaves everything as it is.
enum class PlacementAnswer { Yes, No, Cancel };

// ---- Texts as they may be stored ----

// Tabs, line breaks and every other control byte (NUL included) become blanks; braces go.
std::string sanitizeLineText(std::string_view text);
// A node text or Value in the form a reload gives back: sanitized, every run of "/" made one "/"
// (a "//" would start a comment), every run of blanks made one blank, trimmed.
std::string storableLine(std::string_view text);
// Name normalisation of the new-element dialog and of Enter in the grid: every double quote becomes
// a blank, the text is made storable and trimmed, and it is enclosed in double quotes.
std::string normalizeName(std::string_view text);

// ---- Values, names, comments ----

// Sets the Value of a node with data (a no-op for the end marker). The value is stored as a reload
// gives it back: made storable, and enclosed in double quotes when the line would otherwise be cut
// differently (an unquoted key followed by a value with blanks or quotes). Returns true when the
// node changed.
bool setNodeValue(SectionTree& tree, Node* node, std::string_view value, TreeObserver* observer = nullptr);

struct RenameResult {
    bool changed = false;
};
// Renames a node (not the end marker). The text is made storable; blanks only change nothing.
// Quotes are kept as typed, unless the text would not read back as the node's key (blanks or quotes
// inside an unquoted name): then it is stored normalised, in double quotes.
RenameResult renameNode(SectionTree& tree, Node* node, std::string_view text,
                        TreeObserver* observer = nullptr);

// The lines of a multi-line edit's text: CR LF, CR and LF each end a line, a break at the very end
// starts no further line, and the empty text has no lines.
std::vector<std::string> splitEditLines(std::string_view text);
// The lines of CommentsAbove as the comments dialog shows them: every CR ends a line (two CRs in a
// row give an empty line), text after the last CR is a last line, the empty text has no lines.
std::vector<std::string> commentLines(std::string_view commentsAbove);
// CommentsAbove made of lines: each line kept as typed and followed by one CR; no lines give "".
// A line break inside a given line starts a new line.
std::string joinCommentLines(const std::vector<std::string>& lines);
// A beside comment as it may be stored for an element with this text and Value: line breaks become
// blanks; braces stay unless a quote left open in the text or Value would make them read as a block.
std::string besideComment(std::string_view text, std::string_view value, std::string_view comment);
// Sets both comments of a node with data (the comments dialog's OK). Returns true when it changed.
bool setComments(SectionTree& tree, Node* node, std::string_view beside,
                 const std::vector<std::string>& aboveLines, TreeObserver* observer = nullptr);

// ---- Delete ----

struct DeleteResult {
    bool removed = false;
    const Node* parent = nullptr; // parent of the removed node (nullptr: the top level)
    int row = -1;                 // its former row
    Node* selectAfter = nullptr;  // the node that took its row, else the one before it, else the parent
};
// Deletes a node (not the end marker) with its whole subtree and their data.
DeleteResult deleteNode(SectionTree& tree, Node* node, TreeObserver* observer = nullptr);
// "Вы действительно хотите удалить ... [text]?" CR "Внимание, комментарии также удаляются.",
// caption "Удалить", warning icon; asked with Yes and No, No being the default. The node's text is
// shown in the script's encoding.
Message deleteQuestion(const Node& node, ScriptEncoding encoding = ScriptEncoding::Windows1251);
// The question a drop asks: the dragged element goes first (Yes) or last (No) among the target's
// children. Both are named.
Message moveQuestion(const Node& dragged, const Node& target,
                     ScriptEncoding encoding = ScriptEncoding::Windows1251);

// ---- Moves by drag and drop ----

// Whether the tree accepts the dragged node over `target` while dragging: there is a target, it is
// not the dragged node, the dragged node is not the end marker, and the target is not inside the
// dragged node's subtree. (The end marker is accepted here; a drop on it does nothing.)
bool dragAccepted(const SectionTree& tree, const Node* dragged, const Node* target);
// Whether a drop of `dragged` on `target` leads to the placement question: dragAccepted and the
// target is not the end marker.
bool dropMoves(const SectionTree& tree, const Node* dragged, const Node* target);

enum class MoveOutcome {
    Moved,     // the node is in its new place
    Unchanged, // it already was there (first or last child of the target, as asked)
    Cancelled, // the answer was Cancel
    Refused,   // no node, the end marker, or a target that is the end marker or inside the node
};
struct MoveResult {
    MoveOutcome outcome = MoveOutcome::Refused;
    const Node* oldParent = nullptr;
    int oldRow = -1;
    const Node* newParent = nullptr; // the target
    int newRow = -1;                 // the node's row once moved
    bool done() const { return outcome == MoveOutcome::Moved; }
};
// Moves `node` with its subtree under `target`: Yes makes it the first child, No the last. Data,
// comments and the order of all descendants travel with it; levels follow, images are reassigned.
MoveResult moveNode(SectionTree& tree, Node* node, Node* target, PlacementAnswer answer,
                    TreeObserver* observer = nullptr);

// ---- Images ----

// Assigns every node's images by its kind (header 0/1, parameter 2/3, end marker 4/4), reporting each
// node whose images change. Returns false, changing nothing, when the last node is not at the top level.
bool refreshImages(SectionTree& tree, TreeObserver* observer = nullptr);

// ---- For the other edits of the document core ----

// Re-reads a node's line the way a save and a load would (its key and Value may be cut differently
// once it opens or loses a block), storing and reporting the result when it differs.
void settleLine(SectionTree& tree, Node* node, TreeObserver* observer);
// True when the node's text and Value come back unchanged from a save and a load, given whether it
// opens a block.
bool lineReadsBack(std::string_view text, std::string_view value, bool opens);

} // namespace tonvale
