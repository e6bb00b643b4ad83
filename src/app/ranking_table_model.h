// The best hybrids of a ranking as a table: position, hybrid, mean, CV% and single crosses.
#pragma once

#include <QAbstractTableModel>

#include "numtext/numtext.h"
#include "export/ranking.h"

namespace koravel {

// Numbers are written as the report writes them ("0.000" for the mean, "0.0" for the CV, the
// general format for the single crosses), with the decimal separator of the report.
class RankingTableModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    void setRanking(const RankingResult &ranking, FormatSettings settings);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    // What a column shows: the fixed ones, then those the ranking was asked for.
    enum class Column { Rank, Hybrid, Named, Mean, Cv, Value, Estimated, Error, Differs };
    QString text(std::size_t row, int column) const;

    HybridKind m_kind = HybridKind::DoubleCross;
    std::vector<CandidateRecord> m_best;
    std::vector<std::pair<Column, int>> m_columns; // with the value's index for Value
    QStringList m_titles;
    RankingResult m_extras; // the names, standard errors and differences, without the rows
    FormatSettings m_settings;
};

} // namespace koravel
