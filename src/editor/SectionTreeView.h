// SPDX-License-Identifier: MIT
#pragma once

// The section tree view with moves by drag and drop. The dragged node is the selected node;
// while it is dragged the view accepts a target under the rules of the document's dragAccepted,
// frames the target, and scrolls by one node every 100 ms while the pointer stays within 10 pixels
// of the top or bottom edge. A drop that leads to a move is reported by `nodeDropped` once the drop
// event has returned (the main window then asks where to put the node and moves it through the
// document).

#include "document/SectionTree.h"

#include <QPersistentModelIndex>
#include <QTimer>
#include <QTreeView>

namespace tonvale {

class SectionTreeModel;

class SectionTreeView : public QTreeView {
    Q_OBJECT
  public:
    static const QString MimeType;
    static constexpr int ScrollMargin = 10;
    static constexpr int ScrollIntervalMs = 100;

    explicit SectionTreeView(QWidget* parent = nullptr);

    Node* draggedNode() const;
    Node* dropTarget() const;
    // One node down (+1) or up (-1): the node after (before) the top node becomes the top node.
    void scrollByNode(int direction);
    int autoScrollDirection() const { return m_scrollDirection; }

  signals:
    void nodeDropped(tonvale::Node* dragged, tonvale::Node* target);

  protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    const SectionTree* documentTree() const;
    void setDropTarget(const QModelIndex& target);
    void stopDragging();

    QPersistentModelIndex m_dropTarget;
    QTimer m_scrollTimer;
    int m_scrollDirection = 0;
};

} // namespace tonvale
