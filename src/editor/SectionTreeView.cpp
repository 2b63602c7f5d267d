// SPDX-License-Identifier: MIT
#include "editor/SectionTreeView.h"

#include "document/Edits.h"
#include "editor/SectionTreeModel.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>

namespace tonvale {

const QString SectionTreeView::MimeType = QStringLiteral("application/x-tonvale-section-node");

SectionTreeView::SectionTreeView(QWidget* parent) : QTreeView(parent) {
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::MoveAction);
    setDropIndicatorShown(false);
    setAutoScroll(false); // scrolling while dragging follows the rule below
    m_scrollTimer.setInterval(ScrollIntervalMs);
    connect(&m_scrollTimer, &QTimer::timeout, this, [this] { scrollByNode(m_scrollDirection); });
}

const SectionTree* SectionTreeView::documentTree() const {
    const auto* sections = qobject_cast<const SectionTreeModel*>(model());
    return sections != nullptr ? sections->tree() : nullptr;
}

Node* SectionTreeView::draggedNode() const {
    return SectionTreeModel::nodeOf(currentIndex());
}

Node* SectionTreeView::dropTarget() const {
    return SectionTreeModel::nodeOf(m_dropTarget);
}

void SectionTreeView::scrollByNode(int direction) {
    const QModelIndex top = indexAt(QPoint(1, 1));
    if (!top.isValid() || direction == 0)
        return;
    const QModelIndex to = direction > 0 ? indexBelow(top) : indexAbove(top);
    if (to.isValid())
        scrollTo(to, QAbstractItemView::PositionAtTop);
}

void SectionTreeView::startDrag(Qt::DropActions) {
    if (draggedNode() == nullptr)
        return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(MimeType, QByteArray());
    drag->setMimeData(mime);
    const QRect item = visualRect(currentIndex());
    if (item.isValid())
        drag->setPixmap(viewport()->grab(item));
    drag->exec(Qt::MoveAction);
    stopDragging();
}

void SectionTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (!event->mimeData()->hasFormat(MimeType)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
}

void SectionTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (!event->mimeData()->hasFormat(MimeType)) {
        event->ignore();
        return;
    }
    const QPoint at = event->position().toPoint();
    const int direction = at.y() > viewport()->height() - ScrollMargin ? 1 : at.y() < ScrollMargin ? -1 : 0;
    if (direction != m_scrollDirection) {
        m_scrollDirection = direction;
        m_scrollTimer.stop();
        if (direction != 0) {
            scrollByNode(direction);
            m_scrollTimer.start();
        }
    }
    const QModelIndex target = indexAt(at);
    const SectionTree* tree = documentTree();
    if (tree != nullptr && dragAccepted(*tree, draggedNode(), SectionTreeModel::nodeOf(target))) {
        setDropTarget(target);
        event->setDropAction(Qt::MoveAction);
        event->accept();
    } else {
        setDropTarget({});
        event->ignore();
    }
}

void SectionTreeView::dragLeaveEvent(QDragLeaveEvent* event) {
    stopDragging();
    event->accept();
}

void SectionTreeView::dropEvent(QDropEvent* event) {
    stopDragging();
    const SectionTree* tree = documentTree();
    const QModelIndex target = indexAt(event->position().toPoint());
    if (!event->mimeData()->hasFormat(MimeType) || tree == nullptr ||
        !dropMoves(*tree, draggedNode(), SectionTreeModel::nodeOf(target))) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::MoveAction);
    event->accept();
    // The move asks a question; it runs once the drag has finished, not inside the drop event.
    const QPersistentModelIndex dragged(currentIndex());
    const QPersistentModelIndex onto(target);
    QTimer::singleShot(0, this, [this, dragged, onto] {
        Node* node = SectionTreeModel::nodeOf(dragged);
        Node* to = SectionTreeModel::nodeOf(onto);
        if (node != nullptr && to != nullptr)
            emit nodeDropped(node, to);
    });
}

void SectionTreeView::setDropTarget(const QModelIndex& target) {
    if (QModelIndex(m_dropTarget) == target)
        return;
    m_dropTarget = target;
    viewport()->update();
}

void SectionTreeView::stopDragging() {
    m_scrollTimer.stop();
    m_scrollDirection = 0;
    setDropTarget({});
}

void SectionTreeView::paintEvent(QPaintEvent* event) {
    QTreeView::paintEvent(event);
    if (!m_dropTarget.isValid())
        return;
    QPainter painter(viewport());
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DashLine));
    painter.drawRect(visualRect(m_dropTarget).adjusted(0, 0, -1, -1));
}

} // namespace tonvale
