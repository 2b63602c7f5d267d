// SPDX-License-Identifier: MIT
#include "editor/ParamGridModel.h"

#include "document/Edits.h"
#include "document/NewElements.h"
#include "document/TextHelpers.h"
#include "editor/QtText.h"

#include <QColor>
#include <QDir>
#include <QFont>
#include <array>

namespace tonvale {

namespace {
constexpr int MaxDrawnCharacters = 300;
const QString WaveName = QStringLiteral("\"wave\"");
} // namespace

const QColor ParamGridModel::ReadOnlyColour(236, 234, 230);
const QColor ParamGridModel::MatchColour(211, 248, 215);

ParamGridModel::ParamGridModel(SectionTree* tree, QObject* parent)
    : QAbstractTableModel(parent), m_tree(tree), m_rows(1) {}

void ParamGridModel::setGridEnabled(bool enabled) {
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    emit enabledChanged(enabled);
}

void ParamGridModel::clearRows() {
    beginResetModel();
    m_rows.assign(1, Row{});
    endResetModel();
}

void ParamGridModel::fill(Node* selected) {
    m_selected = selected;
    if (m_tree->empty() || selected == nullptr)
        return;
    beginResetModel();
    std::vector<Row> rows;
    if (!selected->hasData()) {
        setGridEnabled(false);
    } else if (selected->hasChildren()) {
        setGridEnabled(true);
        const int level = selected->level();
        for (Node* node = m_tree->next(selected); node != nullptr; node = m_tree->next(node)) {
            if (node->level() <= level || !node->hasData() || node->text().empty())
                break;
            rows.push_back({node, scriptToQString(trim(node->text())),
                            scriptToQString(trim(node->data()->value)),
                            blockKindOf(trim(node->text())).has_value()});
        }
    } else {
        setGridEnabled(true);
        rows.push_back({selected, scriptToQString(trim(selected->text())),
                        scriptToQString(selected->data()->value),
                        blockKindOf(trim(selected->text())).has_value()});
    }
    if (rows.empty())
        rows.emplace_back();
    m_rows = std::move(rows);
    endResetModel();
}

void ParamGridModel::removeRow(int row) {
    if (row < 0 || row >= dataRows())
        return;
    if (dataRows() == 1) {
        m_rows[0] = Row{};
        emit dataChanged(index(0, 0), index(0, 1));
        return;
    }
    beginRemoveRows({}, row, row);
    m_rows.erase(m_rows.begin() + row);
    endRemoveRows();
}

Node* ParamGridModel::rowNode(int row) const {
    return row >= 0 && row < dataRows() ? m_rows[static_cast<std::size_t>(row)].node : nullptr;
}

QString ParamGridModel::rowName(int row) const {
    return row >= 0 && row < dataRows() ? m_rows[static_cast<std::size_t>(row)].name : QString();
}

QString ParamGridModel::cellText(int row, int column) const {
    if (row < 0 || row >= dataRows())
        return {};
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    return column == NameColumn ? r.name : r.value;
}

bool ParamGridModel::isWaveRow(int row) const {
    return rowName(row).toLower() == WaveName;
}

bool ParamGridModel::isBlockRow(int row) const {
    return row >= 0 && row < dataRows() && m_rows[static_cast<std::size_t>(row)].block;
}

bool ParamGridModel::allReadOnly() const {
    return m_selected == nullptr || (m_selected->level() == 0 && !m_selected->hasChildren());
}

bool ParamGridModel::isEditable(int row, int column) const {
    if (m_selected == nullptr || column != ValueColumn)
        return false;
    const QString name = rowName(row);
    if (name.isEmpty() || isBlockRow(row))
        return false;
    return !allReadOnly();
}

bool ParamGridModel::writeValue(int row, const QString& text) {
    if (row < 0 || row >= dataRows())
        return false;
    Row& r = m_rows[static_cast<std::size_t>(row)];
    r.value = text;
    r.missing = -1;
    emit dataChanged(index(row, NameColumn), index(row, NameColumn));
    emit dataChanged(index(row, ValueColumn), index(row, ValueColumn));
    bool ok = true;
    if (r.node != nullptr) {
        if (r.node->hasData())
            setNodeValue(*m_tree, r.node, qstringToScript(text), m_observer);
        else
            ok = false;
    }
    emit valueWritten(row, ok);
    return ok;
}

void ParamGridModel::repaintAll() {
    if (dataRows() > 0)
        emit dataChanged(index(0, 0), index(dataRows() - 1, 1));
}

void ParamGridModel::setCurrentCell(int row, int column) {
    m_currentRow = row;
    m_currentColumn = column;
    repaintAll();
}

void ParamGridModel::setWaveLookup(std::function<bool(const QString& value)> exists) {
    m_waveExists = std::move(exists);
    for (const Row& r : m_rows)
        r.missing = -1;
    repaintAll();
}

bool ParamGridModel::waveMissing(int row) const {
    if (!m_waveExists || !isWaveRow(row))
        return false;
    const Row& r = m_rows[static_cast<std::size_t>(row)];
    if (r.missing < 0) // the disk is asked once per row and value, not at every paint
        r.missing = m_waveExists(r.value) ? 0 : 1;
    return r.missing == 1;
}

void ParamGridModel::setWaveFound(bool found) {
    if (m_waveFound != found) {
        m_waveFound = found;
        repaintAll();
    }
}

void ParamGridModel::setSearchMode(bool on) {
    m_searchMode = on;
    repaintAll();
}

void ParamGridModel::setSearchMatch(bool on) {
    if (m_searchMatch != on) {
        m_searchMatch = on;
        repaintAll();
    }
}

int ParamGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : dataRows();
}

int ParamGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant ParamGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= dataRows())
        return {};
    const int row = index.row();
    const int column = index.column();
    const bool blockRow = isBlockRow(row);
    switch (role) {
    case Qt::DisplayRole:
        return cellText(row, column).left(MaxDrawnCharacters);
    case Qt::EditRole:
        return cellText(row, column);
    case Qt::BackgroundRole: {
        // Later rules win: grey names, grey block rows, grey read-only tables, green search match.
        QVariant colour;
        if (column == NameColumn || blockRow || allReadOnly())
            colour = ReadOnlyColour;
        if (m_searchMode && m_searchMatch && row == m_currentRow && column == m_currentColumn)
            colour = MatchColour;
        return colour;
    }
    case Qt::FontRole:
        if (blockRow) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ForegroundRole:
        if ((!m_waveFound && row == m_currentRow && isWaveRow(m_currentRow)) || waveMissing(row))
            return QColor(255, 0, 0);
        return {};
    default:
        return {};
    }
}

bool ParamGridModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.column() != ValueColumn)
        return false;
    return writeValue(index.row(), value.toString());
}

Qt::ItemFlags ParamGridModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags result = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    if (isEditable(index.row(), index.column()))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant ParamGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section == NameColumn ? tr("Параметр или переменная") : tr("Значение");
}

} // namespace tonvale
