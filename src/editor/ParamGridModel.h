// SPDX-License-Identifier: MIT
#pragma once

// The rows of the parameter grid. Each data row refers to a node of the section tree (owned by the
// document) and holds the two cell texts the grid shows: the node's trimmed text and its value. A
// change of a value cell goes straight into the node through setNodeValue, keystroke by keystroke;
// nothing else is written. The model also carries the little state the painting rules need (the
// current cell, the wave-found flag, the search flags) and answers them through the item roles, so the
// grid's look is decided here and can be checked without looking at pixels.

#include "document/SectionTree.h"

#include <QAbstractTableModel>
#include <QString>
#include <functional>
#include <string_view>
#include <vector>

namespace tonvale {

class TreeObserver;

class ParamGridModel : public QAbstractTableModel {
    Q_OBJECT
  public:
    static const QColor ReadOnlyColour; // light grey of names, block rows and empty soundscapes
    static const QColor MatchColour;    // light green of a cell found by a table search
    enum Column { NameColumn = 0, ValueColumn = 1 };

    explicit ParamGridModel(SectionTree* tree, QObject* parent = nullptr);

    // Filling and emptying (the grid's rows follow the selected node of the tree).
    void clearRows();
    void fill(Node* selected);
    void removeRow(int row);
    Node* selectedNode() const { return m_selected; }
    SectionTree* tree() const { return m_tree; }
    // The observer every value written goes through (the undo history, then the tree model).
    void setObserver(TreeObserver* observer) { m_observer = observer; }
    void setSelectedNode(Node* node) { m_selected = node; }

    // Row access. A row whose name is empty counts as empty everywhere.
    int dataRows() const { return static_cast<int>(m_rows.size()); }
    Node* rowNode(int row) const;
    QString rowName(int row) const;
    QString cellText(int row, int column) const;
    bool isEditable(int row, int column) const;
    bool isWaveRow(int row) const;
    bool isBlockRow(int row) const;

    // Writes a value cell's text into its node; false only when the row refers to no node data.
    bool writeValue(int row, const QString& text);

    // State read by the painting rules.
    void setCurrentCell(int row, int column);
    int currentRow() const { return m_currentRow; }
    int currentColumn() const { return m_currentColumn; }
    void setWaveFound(bool found);
    // Tells whether the file a "wave" value names exists; every wave row whose file does not is drawn
    // red. Without a lookup only the current row follows the wave-found flag.
    void setWaveLookup(std::function<bool(const QString& value)> exists);
    bool waveMissing(int row) const;
    bool waveFound() const { return m_waveFound; }
    void setSearchMode(bool on);
    void setSearchMatch(bool on);
    bool searchMode() const { return m_searchMode; }
    bool searchMatch() const { return m_searchMatch; }
    bool gridEnabled() const { return m_enabled; }
    void setGridEnabled(bool enabled);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  signals:
    // A value cell was written into its node (ok = the node took it).
    void valueWritten(int row, bool ok);
    void enabledChanged(bool enabled);

  private:
    struct Row {
        Node* node = nullptr;
        QString name;
        QString value;
        bool block = false;               // the name is a block keyword
        mutable signed char missing = -1; // the wave file is missing: -1 not asked yet, 0 no, 1 yes
    };
    void repaintAll();
    bool allReadOnly() const;

    SectionTree* m_tree;
    TreeObserver* m_observer = nullptr;
    std::vector<Row> m_rows;
    Node* m_selected = nullptr;
    int m_currentRow = -1;
    int m_currentColumn = 0;
    bool m_waveFound = true;
    bool m_searchMode = false;
    bool m_searchMatch = false;
    bool m_enabled = false;
    std::function<bool(const QString&)> m_waveExists;
};

} // namespace tonvale
