// One table of the diallel analysis (lines and GCA, ANOVA, crosses and SCA, missing crosses) as
// a table view's model, its rows in the order the window chooses.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "analysis/diallel_tables.h"

namespace koravel {

// Cells read as the exported files write them (cellText: 4 decimals, p values "3,085E-44"),
// with the decimal mark given; text to the left, numbers to the right. The model reads the
// table it is given, which must outlive it or the next setTable.
class DiallelTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // order: the table's rows in the order shown (each once); empty for the table's own order.
    void setTable(const DiallelTable *table, char decimalMark, std::vector<std::size_t> order = {});

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    const DiallelTable *m_table = nullptr;
    char m_decimalMark = '.';
    std::vector<std::size_t> m_order;
};

} // namespace koravel
