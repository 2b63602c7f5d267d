// SPDX-License-Identifier: MIT
#include "editor/ParamGrid.h"

#include "document/Edits.h"
#include "document/SoundPaths.h"
#include "editor/QtText.h"
#include "editor/UpdatesFrozen.h"

#include <QApplication>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyledItemDelegate>

namespace tonvale {

// The cell editor reports every change to the model at once; Enter and Escape go to the grid.
class ParamGridDelegate : public QStyledItemDelegate {
  public:
    explicit ParamGridDelegate(ParamGrid* grid) : QStyledItemDelegate(grid), m_grid(grid) {}

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&,
                          const QModelIndex& index) const override {
        auto* editor = new QLineEdit(parent);
        editor->setObjectName(QStringLiteral("gridCellEditor"));
        editor->setFrame(false);
        const QPersistentModelIndex at(index);
        ParamGridModel* model = m_grid->gridModel();
        connect(editor, &QLineEdit::textEdited, editor, [model, at](const QString& text) {
            if (at.isValid())
                model->writeValue(at.row(), text);
        });
        return editor;
    }
    void setEditorData(QWidget* editor, const QModelIndex& index) const override {
        auto* line = static_cast<QLineEdit*>(editor);
        const QString text = index.data(Qt::EditRole).toString();
        if (line->text() != text)
            line->setText(text);
    }
    void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {
        // Every keystroke is already in the node.
    }

  protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
        // The program's own colours (grey, green) win over the selection's highlight.
        if (index.data(Qt::BackgroundRole).isValid())
            option->state &= ~QStyle::State_Selected;
        const QColor colour = m_grid->cellTextColour(index);
        if (colour.isValid()) {
            option->palette.setColor(QPalette::Text, colour);
            option->palette.setColor(QPalette::HighlightedText, colour);
        }
    }
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (key == Qt::Key_Return || key == Qt::Key_Enter) {
                m_grid->enterPressed();
                return true;
            }
            if (key == Qt::Key_Escape) {
                m_grid->escapePressed();
                return true;
            }
        }
        return QStyledItemDelegate::eventFilter(object, event);
    }

  private:
    ParamGrid* m_grid;
};

ParamGrid::ParamGrid(SectionTree* tree, QWidget* parent)
    : QTableView(parent), m_model(new ParamGridModel(tree, this)) {
    setObjectName(QStringLiteral("parameterGrid"));
    setModel(m_model);
    setItemDelegate(new ParamGridDelegate(this));
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::EditKeyPressed);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setShowGrid(true);
    setAlternatingRowColors(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    QFont headerFont = horizontalHeader()->font();
    headerFont.setBold(true);
    horizontalHeader()->setFont(headerFont);
    setColumnWidth(0, m_contentWidth[0]);
    setColumnWidth(1, m_contentWidth[1]);
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column, int, int size) {
        if (column == 1 && !m_sizing)
            m_userValueWidth = size;
    });
    setEnabled(false);
    connect(m_model, &ParamGridModel::enabledChanged, this, &QWidget::setEnabled);
    connect(m_model, &ParamGridModel::valueWritten, this, [this](int row, bool ok) {
        if (m_model->isWaveRow(row)) {
            m_model->setWaveFound(playableWaveSelected());
        }
        emit edited(ok);
    });
}

void ParamGrid::clearRows() {
    closeOpenEditor();
    setUpdatesFrozen(this, true);
    m_model->clearRows();
    setUpdatesFrozen(this, false);
}

void ParamGrid::fillFor(Node* selected) {
    const int row = std::max(0, m_model->currentRow());
    const int column = m_model->currentColumn();
    m_model->fill(selected);
    widenColumns();
    // The grid keeps its current cell position across fills, within the rows there are.
    const QModelIndex at = m_model->index(std::min(row, m_model->dataRows() - 1), column);
    if (currentIndex() == at)
        cellSelectedAt(at.row(), at.column());
    else
        setCurrentIndex(at);
}

void ParamGrid::refresh() {
    Node* selected = m_model->selectedNode();
    clearRows();
    fillFor(selected);
}

void ParamGrid::closeOpenEditor() {
    if (!isEditing())
        return;
    if (auto* editor = viewport()->findChild<QLineEdit*>(QStringLiteral("gridCellEditor")))
        closeEditor(editor, QAbstractItemDelegate::NoHint);
    else
        setState(QAbstractItemView::NoState);
}

bool ParamGrid::hasCurrentRow() const {
    const Node* selected = m_model->selectedNode();
    if (selected == nullptr || !m_model->gridEnabled() || m_model->dataRows() < 1)
        return false;
    if (m_model->rowName(m_model->currentRow()).isEmpty())
        return false;
    return !m_model->tree()->isEndMarker(selected);
}

bool ParamGrid::waveCellSelected() const {
    return m_model->selectedNode() != nullptr && m_model->gridEnabled() &&
           m_model->currentColumn() == ParamGridModel::ValueColumn && m_model->dataRows() >= 1 &&
           m_model->isWaveRow(m_model->currentRow());
}

bool ParamGrid::newElementAllowed() const {
    const Node* selected = m_model->selectedNode();
    return selected != nullptr && selected->level() < 3 && hasCurrentRow();
}

void ParamGrid::setSoundsFolder(const QString& folder) {
    m_soundsFolder = folder;
    // Every wave row of the grid is marked when its file is missing, with the same resolver as Play.
    m_model->setWaveLookup([folder = QFile::encodeName(folder).toStdString()](const QString& value) {
        return findWaveFile(folder, qstringToScript(value)).has_value();
    });
}

bool ParamGrid::playableWaveSelected() const {
    const int row = m_model->currentRow();
    if (!m_model->gridEnabled() || row < 0 || row >= m_model->dataRows() || !m_model->isWaveRow(row))
        return false;
    // Found as written, without the playback hints before the name, or without regard to case.
    return findWaveFile(QFile::encodeName(m_soundsFolder).toStdString(),
                        qstringToScript(m_model->cellText(row, ParamGridModel::ValueColumn)))
        .has_value();
}

void ParamGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableView::currentChanged(current, previous);
    if (current.isValid())
        cellSelectedAt(current.row(), current.column());
}

void ParamGrid::cellSelectedAt(int row, int column) {
    m_model->setCurrentCell(row, column);
    if (m_model->isEditable(row, column)) {
        m_savedText = m_model->cellText(row, column);
        m_readOnly = false;
    } else {
        m_readOnly = true;
    }
    emit commandsChanged();
    m_model->setWaveFound(playableWaveSelected());
    emit cellSelected();
}

void ParamGrid::enterPressed() {
    const int row = m_model->currentRow();
    if (!m_readOnly && m_model->isEditable(row, m_model->currentColumn())) {
        const bool wasEditing = isEditing();
        closeOpenEditor();
        m_model->writeValue(row, scriptToQString(normalizeName(
                                     qstringToScript(m_model->cellText(row, ParamGridModel::ValueColumn)))));
        if (!wasEditing)
            edit(currentIndex());
    }
    m_model->setWaveFound(playableWaveSelected());
}

void ParamGrid::escapePressed() {
    const int row = m_model->currentRow();
    if (m_readOnly || !m_model->isEditable(row, m_model->currentColumn()))
        return;
    closeOpenEditor();
    m_model->writeValue(row, m_savedText);
}

void ParamGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        enterPressed();
        return;
    case Qt::Key_Escape:
        escapePressed();
        return;
    default:
        QTableView::keyPressEvent(event);
    }
}

void ParamGrid::mousePressEvent(QMouseEvent* event) {
    QTableView::mousePressEvent(event);
    m_model->setSearchMatch(false);
}

void ParamGrid::widenColumns() {
    const QFontMetrics normal(font());
    QFont boldFont = font();
    boldFont.setBold(true);
    const QFontMetrics bold(boldFont);
    constexpr int Padding = 10;
    for (int column = 0; column < 2; ++column) {
        int width =
            bold.horizontalAdvance(m_model->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString() +
                                   QLatin1Char(' ')) +
            Padding;
        for (int row = 0; row < m_model->dataRows(); ++row) {
            const QString text =
                m_model->index(row, column).data(Qt::DisplayRole).toString() + QLatin1Char(' ');
            const bool isBold = m_model->isBlockRow(row);
            width = std::max(width, (isBold ? bold : normal).horizontalAdvance(text) + Padding);
        }
        if (m_contentWidth[static_cast<std::size_t>(column)] < width)
            m_contentWidth[static_cast<std::size_t>(column)] = width;
        if (columnWidth(column) < width) {
            m_sizing = true;
            setColumnWidth(column, width);
            m_sizing = false;
        }
    }
    fillWidth();
}

void ParamGrid::fillWidth() {
    // The value column also takes up the room the pane gives it; it never shrinks below what the
    // user or the content made it.
    const int room = viewport()->width() - columnWidth(0);
    m_sizing = true;
    setColumnWidth(1, std::max({m_userValueWidth, m_contentWidth[1], room}));
    m_sizing = false;
}

QColor ParamGrid::cellTextColour(const QModelIndex& index) const {
    if (index == currentIndex() && !hasFocus()) {
        return index.column() == ParamGridModel::NameColumn ? palette().color(QPalette::WindowText)
                                                            : palette().color(QPalette::HighlightedText);
    }
    const QVariant foreground = index.data(Qt::ForegroundRole);
    return foreground.isValid() ? foreground.value<QColor>() : QColor();
}

void ParamGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    fillWidth();
}

} // namespace tonvale
