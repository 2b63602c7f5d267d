// SPDX-License-Identifier: MIT
#pragma once

// What the parts of the main window (tree edits, audio commands) may ask of it: the document, its
// views, the selection, the modified flag and the places where messages go. The main window
// implements it; the parts never see the rest of the window.

#include "document/Message.h"

class QString;
class QTreeView;
class QWidget;

namespace tonvale {

class CommandTable;
class EditHistory;
class TreeObserver;
class Node;
class ParamGrid;
class SectionTree;
class SectionTreeModel;
struct AppSettings;

class DocumentWindow {
  public:
    virtual ~DocumentWindow() = default;

    virtual SectionTree& tree() = 0;
    virtual SectionTreeModel* treeModel() const = 0;
    virtual QTreeView* treeView() const = 0;
    virtual ParamGrid* grid() const = 0;
    virtual CommandTable& commands() = 0;
    virtual AppSettings& settings() = 0;
    virtual QWidget* dialogParent() = 0;

    virtual Node* selectedNode() const = 0;
    virtual void selectNode(Node* node) = 0;
    virtual bool onTextTab() const = 0;
    virtual bool fileOnDisk() const = 0;     // the current file exists
    virtual QString currentPath() const = 0; // the current file; empty for none
    // Opens a script as the Open command does, keep-changes question included; true when it is the
    // open document afterwards.
    virtual bool openScript(const QString& path) = 0;
    virtual bool modified() const = 0;
    virtual void setModified(bool modified) = 0;
    virtual void showMessage(const Message& message) = 0;
    virtual void setStatus(int panel, const QString& text) = 0;

    // A structural edit: while it runs, selection changes of the view are not followed; at its end
    // `select` (when given) becomes the selected node and the grid lists the node selected then.
    virtual void beginStructuralEdit() = 0;
    // Every edit of the document goes through this observer, which writes it into the undo history
    // and passes it on to the tree model; a command brackets its edits as one step (HistoryStep).
    virtual TreeObserver* editObserver() = 0;
    virtual EditHistory& history() = 0;
    virtual void endStructuralEdit(Node* select) = 0;
};

} // namespace tonvale
