// The cells of a diallel analysis table as the views show them.
#include "diallel_table_model.h"

#include <numeric>

namespace koravel {

void DiallelTableModel::setTable(
    const DiallelTable *table, char decimalMark, std::vector<std::size_t> order)
{
    beginResetModel();
    m_table = table;
    m_decimalMark = decimalMark;
    m_order = std::move(order);
    if (m_table && m_order.size() != m_table->rows.size()) {
        m_order.resize(m_table->rows.size());
        std::iota(m_order.begin(), m_order.end(), std::size_t(0));
    }
    endResetModel();
}

int DiallelTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : static_cast<int>(m_order.size());
}

int DiallelTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() || !m_table ? 0 : static_cast<int>(m_table->header.size());
}

QVariant DiallelTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const std::vector<DiallelCell> &row = m_table->rows[m_order[std::size_t(index.row())]];
    if (std::size_t(index.column()) >= row.size())
        return {};
    const DiallelCell &cell = row[std::size_t(index.column())];
    if (role == Qt::DisplayRole)
        return QString::fromStdString(cellText(cell, m_decimalMark));
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment side =
            cell.kind == DiallelCell::Kind::Text ? Qt::AlignLeft : Qt::AlignRight;
        return QVariant::fromValue(side | Qt::AlignVCenter);
    }
    return {};
}

QVariant DiallelTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || !m_table || section < 0
        || std::size_t(section) >= m_table->header.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    return QString::fromStdString(m_table->header[std::size_t(section)]);
}

} // namespace koravel
