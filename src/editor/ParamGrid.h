// SPDX-License-Identifier: MIT
#pragma once

// The parameter grid of the tab "Конструктор": a two-column table of the selected node's parameters.
// It shows ParamGridModel and adds the grid's behaviour: which cell may be edited, the live cell editor
// that writes every keystroke into the node, Enter and Escape, the wave-file test, the column widths
// and the two conditions the grid commands are enabled by. The main window listens to `edited` (set the
// modified flag), `commandsChanged` (recompute the commands) and `cellSelected` (stop a preview).

#include "editor/ParamGridModel.h"

#include <QColor>
#include <QTableView>
#include <array>
#include <functional>

namespace tonvale {

class ParamGrid : public QTableView {
    Q_OBJECT
  public:
    ParamGrid(SectionTree* tree, QWidget* parent = nullptr);

    ParamGridModel* gridModel() const { return m_model; }

    // The sounds folder the wave-file test looks in.
    void setSoundsFolder(const QString& folder);
    const QString& soundsFolder() const { return m_soundsFolder; }

    // Empties the rows, then lists the node (the grid's part of a tree selection change).
    void clearRows();
    void fillFor(Node* selected);
    void refresh(); // clear and fill for the selected node again

    // Conditions of the grid command update.
    bool hasCurrentRow() const;
    bool waveCellSelected() const;
    bool newElementAllowed() const;
    bool playableWaveSelected() const;

    bool readOnly() const { return m_readOnly; }
    const QString& savedCellText() const { return m_savedText; }
    bool isEditing() const { return state() == QAbstractItemView::EditingState; }

    // Enter and Escape, as typed into the grid or into its cell editor.
    void enterPressed();
    void escapePressed();
    // Widens the columns to the texts shown; columns never shrink.
    void widenColumns();
    // The colour a cell's text is drawn in, when it is not the style's own: red for a missing wave
    // (both columns of its row), except that the current cell of a grid without the keyboard focus
    // shows the window text (name) or the highlighted text (value) colour.
    QColor cellTextColour(const QModelIndex& index) const;

  signals:
    void edited(bool ok);
    void commandsChanged();
    void cellSelected();

  protected:
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

  private:
    friend class ParamGridDelegate;
    void cellSelectedAt(int row, int column);
    void closeOpenEditor();
    void fillWidth();

    ParamGridModel* m_model;
    QString m_soundsFolder;
    QString m_savedText;
    bool m_readOnly = true;
    std::array<int, 2> m_contentWidth{166, 262}; // widest texts shown so far; the columns never get narrower
    int m_userValueWidth = 0;                    // the value column's width as the user last dragged it
    bool m_sizing = false;                       // the grid itself is setting column widths
};

} // namespace tonvale
