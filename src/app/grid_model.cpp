// The single-cross table as a Qt table model.
#include "grid_model.h"

#include "table/cell_grid.h"
#include "qt_text.h"

#include <algorithm>

namespace koravel {

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
    m_grid.setCell(gridColumn(index.column()), gridRow(index.row()), fromQt(value.toString()));
    emit dataChanged(index, index, { Qt::DisplayRole, Qt::EditRole });
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
