// How often each line is a parent among the best hybrids, as a two-column table.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "export/ranking.h"

namespace koravel {

class LineFrequencyModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setFrequencies(const std::vector<LineFrequency> &frequencies);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<LineFrequency> m_frequencies;
};

} // namespace koravel
