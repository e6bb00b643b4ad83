// The single-cross table as a Qt table model.
#include "grid_model.h"

#include "qt_text.h"
#include "table/cell_grid.h"
#include "table/table_change.h"

#include <QUndoCommand>

#include <algorithm>

namespace koravel {

namespace {

    class ChangeCommand : public QUndoCommand
    {
    public:
        ChangeCommand(GridModel &model, TableChange change, const QString &text)
            : QUndoCommand(text)
            , m_model(model)
            , m_change(std::move(change))
        {
        }
        void redo() override { m_model.showChange(m_change, false); }
        void undo() override { m_model.showChange(m_change, true); }

    private:
        GridModel &m_model;
        TableChange m_change;
    };

} // namespace

GridModel::GridModel(CellGrid &grid, QObject *parent)
    : QAbstractTableModel(parent)
    , m_grid(grid)
{
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::max(0, m_grid.rowCount() - m_grid.fixedRows());
}

int GridModel::columnCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return std::max(0, m_grid.columnCount() - m_grid.fixedColumns());
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    // The view may paint while an import rewrites the grid: every cell reads safely, in size
    // or not.
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return toQt(m_grid.cell(gridColumn(index.column()), gridRow(index.row())));
}

bool GridModel::setData(const QModelIndex &index, const QVariant &value, int role)
{
    if (role != Qt::EditRole || !checkIndex(index, CheckIndexOption::IndexIsValid))
        return false;
    pushChange(TableChange::cellEdit(m_grid, gridColumn(index.column()), gridRow(index.row()),
                   fromQt(value.toString())),
        QStringLiteral("edição"));
    return true;
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal) {
        if (!hasHeadingRow())
            return {};
        return toQt(m_grid.cell(gridColumn(section), 0));
    }
    if (!hasLabelColumn())
        return {};
    return toQt(m_grid.cell(0, gridRow(section)));
}

QModelIndex GridModel::indexOfCell(int column, int row) const
{
    return index(row - m_grid.fixedRows(), column - m_grid.fixedColumns());
}

std::pair<int, int> GridModel::cellOf(const QModelIndex &index) const
{
    return { gridColumn(index.column()), gridRow(index.row()) };
}

bool GridModel::hasHeadingRow() const
{
    return m_grid.fixedRows() > 0;
}

bool GridModel::hasLabelColumn() const
{
    return m_grid.fixedColumns() > 0;
}

void GridModel::beginGridChange()
{
    if (m_changing)
        return;
    m_changing = true;
    beginResetModel();
}

void GridModel::endGridChange()
{
    if (!m_changing)
        return;
    m_changing = false;
    endResetModel();
    // The changes on the stack name cells of the table as it was.
    m_undo.clear();
}

void GridModel::pushChange(TableChange change, const QString &text)
{
    if (!change.empty())
        m_undo.push(new ChangeCommand(*this, std::move(change), text));
}

void GridModel::showChange(const TableChange &change, bool undo)
{
    const auto make = [&] { undo ? change.revert(m_grid) : change.apply(m_grid); };
    const int from = undo ? change.rowsAfter : change.rowsBefore;
    const int to = undo ? change.rowsBefore : change.rowsAfter;
    if (change.columnsBefore != change.columnsAfter) {
        beginResetModel();
        make();
        endResetModel();
        return;
    }
    // A change only adds rows at the end, and its undo takes them away again.
    const int fixed = m_grid.fixedRows();
    if (to > from) {
        beginInsertRows({}, from - fixed, to - fixed - 1);
        make();
        endInsertRows();
    } else if (to < from) {
        beginRemoveRows({}, to - fixed, from - fixed - 1);
        make();
        endRemoveRows();
    } else {
        make();
    }
    int top = rowCount(), bottom = -1, left = columnCount(), right = -1;
    int firstLabel = rowCount(), lastLabel = -1;
    for (const TableChange::Cell &cell : change.cells) {
        const int row = cell.row - fixed;
        const int column = cell.column - m_grid.fixedColumns();
        if (row < 0 || row >= rowCount() || column >= columnCount())
            continue; // a heading, or a row taken away
        if (column < 0) {
            firstLabel = std::min(firstLabel, row);
            lastLabel = std::max(lastLabel, row);
            continue;
        }
        top = std::min(top, row);
        bottom = std::max(bottom, row);
        left = std::min(left, column);
        right = std::max(right, column);
    }
    if (bottom >= 0)
        emit dataChanged(index(top, left), index(bottom, right), { Qt::DisplayRole, Qt::EditRole });
    if (lastLabel >= 0)
        emit headerDataChanged(Qt::Vertical, firstLabel, lastLabel);
}

int GridModel::gridRow(int modelRow) const
{
    return modelRow + m_grid.fixedRows();
}

int GridModel::gridColumn(int modelColumn) const
{
    return modelColumn + m_grid.fixedColumns();
}

} // namespace koravel
