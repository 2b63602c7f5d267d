// SPDX-License-Identifier: MIT
#pragma once

// The section tree as a Qt item model. It adapts the document's SectionTree without copying it: every
// index carries its Node*, rows are the nodes' positions among their siblings, and the text is
// converted for display on demand. The tree itself belongs to the main window; whoever replaces or
// restructures it does so between beginReset()/endReset() (or the row brackets) so views stay in step.

#include "document/Edits.h"
#include "document/SectionTree.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <array>
#include <functional>

namespace tonvale {

class SectionTreeModel : public QAbstractItemModel {
    Q_OBJECT
  public:
    explicit SectionTreeModel(SectionTree* tree, QObject* parent = nullptr);

    SectionTree* tree() const { return m_tree; }
    QModelIndex indexOf(const Node* node) const;
    static Node* nodeOf(const QModelIndex& index);

    // Soundscapes the marker picks are drawn red (those with problems); the marker is asked at paint
    // time. refreshMarks repaints the top level after the marker's answers changed.
    void setMarker(std::function<bool(const Node*)> marker) { m_marker = std::move(marker); }
    void refreshMarks();

    // Replacing the whole document (a load) happens between these two calls.
    void beginReset() { beginResetModel(); }
    void endReset() { endResetModel(); }
    // A node's text or image changed in place.
    void nodeChanged(const Node* node);
    // Structural edits of the tree happen between these brackets, so views and persistent indexes
    // follow them. `parent` nullptr is the top level; rows count as SectionTree::insert and move do.
    void beginInsert(const Node* parent, int first, int last) {
        beginInsertRows(indexOf(parent), first, last);
    }
    void endInsert() { endInsertRows(); }
    void beginRemove(const Node* node) { beginRemoveRows(indexOf(node->parent()), node->row(), node->row()); }
    void endRemove() { endRemoveRows(); }
    // False when the move is no move at all (onto itself or below itself): then make no change.
    bool beginMove(const Node* node, const Node* newParent, int row) {
        return beginMoveRows(indexOf(node->parent()), node->row(), node->row(), indexOf(newParent), row);
    }
    void endMove() { endMoveRows(); }
    // The observer to hand to the document's edit functions: it brackets each structural change
    // with the matching row signals and reports changed nodes, so a small edit never resets views.
    TreeObserver* observer() { return &m_observer; }

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;

  private:
    class Observer : public TreeObserver {
      public:
        explicit Observer(SectionTreeModel& model) : m_model(model) {}
        void aboutToInsert(const Node* parent, int row, int count) override;
        void inserted(const Node* parent, int row, int count) override;
        void aboutToRemove(const Node* parent, int row, int count) override;
        void removed(const Node* parent, int row, int count) override;
        void aboutToMove(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                         int destRow) override;
        void moved(const Node* node, const Node* oldParent, int oldRow, const Node* newParent,
                   int destRow) override;
        void changed(const Node* node) override;
        void aboutToReset() override { m_model.beginResetModel(); }
        void wasReset() override { m_model.endResetModel(); }

      private:
        SectionTreeModel& m_model;
        bool m_moveAsReset = false; // a move Qt refused to bracket is shown as a reset
    };

    SectionTree* m_tree;
    Observer m_observer{*this};
    std::array<QIcon, 5> m_images;
    std::function<bool(const Node*)> m_marker;
};

} // namespace tonvale
