// SPDX-License-Identifier: MIT
#include "editor/SectionTreeModel.h"

#include "editor/Icons.h"
#include "editor/QtText.h"

#include <QColor>

namespace tonvale {

SectionTreeModel::SectionTreeModel(SectionTree* tree, QObject* parent)
    : QAbstractItemModel(parent), m_tree(tree) {
    for (int i = 0; i < 5; ++i)
        m_images[static_cast<std::size_t>(i)] = treeImage(i);
}

Node* SectionTreeModel::nodeOf(const QModelIndex& index) {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex SectionTreeModel::indexOf(const Node* node) const {
    if (node == nullptr)
        return {};
    return createIndex(node->row(), 0, const_cast<Node*>(node));
}

void SectionTreeModel::nodeChanged(const Node* node) {
    const QModelIndex at = indexOf(node);
    if (at.isValid())
        emit dataChanged(at, at);
}

void SectionTreeModel::Observer::aboutToInsert(const Node* parent, int row, int count) {
    m_model.beginInsertRows(m_model.indexOf(parent), row, row + count - 1);
}

void SectionTreeModel::Observer::inserted(const Node*, int, int) {
    m_model.endInsertRows();
}

void SectionTreeModel::Observer::aboutToRemove(const Node* parent, int row, int count) {
    m_model.beginRemoveRows(m_model.indexOf(parent), row, row + count - 1);
}

void SectionTreeModel::Observer::removed(const Node*, int, int) {
    m_model.endRemoveRows();
}

void SectionTreeModel::Observer::aboutToMove(const Node*, const Node* oldParent, int oldRow,
                                             const Node* newParent, int destRow) {
    m_moveAsReset = !m_model.beginMoveRows(m_model.indexOf(oldParent), oldRow, oldRow,
                                           m_model.indexOf(newParent), destRow);
    if (m_moveAsReset)
        m_model.beginResetModel();
}

void SectionTreeModel::Observer::moved(const Node*, const Node*, int, const Node*, int) {
    if (m_moveAsReset)
        m_model.endResetModel();
    else
        m_model.endMoveRows();
    m_moveAsReset = false;
}

void SectionTreeModel::Observer::changed(const Node* node) {
    m_model.nodeChanged(node);
}

QModelIndex SectionTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0)
        return {};
    if (!parent.isValid()) {
        const auto& top = m_tree->topLevel();
        if (static_cast<std::size_t>(row) >= top.size())
            return {};
        return createIndex(row, 0, top[static_cast<std::size_t>(row)]);
    }
    const Node* owner = nodeOf(parent);
    if (owner == nullptr || row >= owner->childCount())
        return {};
    return createIndex(row, 0, owner->child(row));
}

QModelIndex SectionTreeModel::parent(const QModelIndex& child) const {
    const Node* node = nodeOf(child);
    if (node == nullptr)
        return {};
    return indexOf(node->parent());
}

int SectionTreeModel::rowCount(const QModelIndex& parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_tree->topLevel().size());
    if (parent.column() != 0)
        return 0;
    const Node* node = nodeOf(parent);
    return node != nullptr ? node->childCount() : 0;
}

int SectionTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool SectionTreeModel::hasChildren(const QModelIndex& parent) const {
    return rowCount(parent) > 0;
}

QVariant SectionTreeModel::data(const QModelIndex& index, int role) const {
    const Node* node = nodeOf(index);
    if (node == nullptr)
        return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
        return scriptToQString(node->text());
    case Qt::DecorationRole: {
        const int image = node->image();
        return image >= 0 && image < 5 ? m_images[static_cast<std::size_t>(image)] : QVariant();
    }
    case Qt::ForegroundRole:
        if (node->level() == 0 && m_marker && m_marker(node))
            return QColor(200, 0, 0);
        return {};
    default:
        return {};
    }
}

void SectionTreeModel::refreshMarks() {
    const int rows = rowCount({});
    if (rows > 0)
        emit dataChanged(index(0, 0, {}), index(rows - 1, 0, {}), {Qt::ForegroundRole});
}

Qt::ItemFlags SectionTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!m_tree->isEndMarker(nodeOf(index)))
        result |= Qt::ItemIsDragEnabled; // the end marker never moves
    if (nodeOf(index)->childCount() == 0)
        result |= Qt::ItemNeverHasChildren;
    return result;
}

} // namespace tonvale
