// How often each line is a parent among the best hybrids, as a two-column table.
#pragma once

#include <QAbstractTableModel>

#include <vector>

#include "export/ranking.h"

namespace koravel {

class LineNames;

class LineFrequencyModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // With names, a column "Nome" after the line's number; names must outlive the model's use.
    void setFrequencies(
        const std::vector<LineFrequency> &frequencies, const LineNames *names = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    std::vector<LineFrequency> m_frequencies;
    const LineNames *m_names = nullptr;
};

} // namespace koravel
