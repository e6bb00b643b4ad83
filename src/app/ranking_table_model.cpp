// The ranking table's cells, written with the report's number formats.
#include "ranking_table_model.h"

#include "qt_text.h"

#include "export/ranking_columns.h"

namespace koravel {

void RankingTableModel::setRanking(const RankingResult &ranking, FormatSettings settings)
{
    beginResetModel();
    m_kind = ranking.kind;
    m_best.clear();
    for (std::size_t i = 0; i < ranking.best.size(); ++i)
        m_best.push_back(ranking.record(i));
    m_settings = settings;
    m_extras.names = ranking.names;
    m_extras.standardErrors = ranking.standardErrors;
    m_extras.differsFromFirst = ranking.differsFromFirst;
    const RankingColumns shown(ranking);
    m_columns = { { Column::Rank, 0 }, { Column::Hybrid, 0 } };
    if (shown.names)
        m_columns.emplace_back(Column::Named, 0);
    m_columns.insert(m_columns.end(), { { Column::Mean, 0 }, { Column::Cv, 0 } });
    for (int value = 0; value < int(valueCount(m_kind)); ++value)
        m_columns.emplace_back(Column::Value, value);
    if (shown.estimated)
        m_columns.emplace_back(Column::Estimated, 0);
    if (shown.errors)
        m_columns.insert(m_columns.end(), { { Column::Error, 0 }, { Column::Differs, 0 } });
    m_titles.clear();
    for (const std::string_view title : rankingTitles(ranking))
        m_titles.push_back(QString::fromUtf8(title.data(), qsizetype(title.size())));
    endResetModel();
}

int RankingTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_best.size());
}

int RankingTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant RankingTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(static_cast<std::size_t>(index.row()), index.column());
    if (role == Qt::TextAlignmentRole) {
        const Column column = m_columns[std::size_t(index.column())].first;
        const bool left = column == Column::Hybrid || column == Column::Named;
        return QVariant::fromValue((left ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
    }
    return {};
}

QVariant RankingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    return section >= 0 && section < m_titles.size() ? QVariant(m_titles[section]) : QVariant();
}

QString RankingTableModel::text(std::size_t row, int column) const
{
    const CandidateRecord &candidate = m_best[row];
    const auto yesNo = [](bool yes) { return yes ? QStringLiteral("sim") : QStringLiteral("não"); };
    const auto [kind, value] = m_columns[std::size_t(column)];
    switch (kind) {
    case Column::Rank:
        return QString::number(row + 1);
    case Column::Hybrid:
        return toQt(hybridName(candidate));
    case Column::Named:
        return toQt(namedHybrid(candidate, *m_extras.names));
    case Column::Mean:
        return toQt(formatFloat(FixedPattern::ThreeDecimals, candidate.mean, m_settings));
    case Column::Cv:
        return toQt(formatFloat(FixedPattern::OneDecimal, candidate.cv, m_settings));
    case Column::Value:
        return toQt(floatToStr(candidate.values[std::size_t(value)], m_settings));
    case Column::Estimated:
        return yesNo(candidate.estimated != 0);
    case Column::Error:
        return toQt(
            formatFloat(FixedPattern::ThreeDecimals, m_extras.standardErrors[row], m_settings));
    case Column::Differs:
        return yesNo(m_extras.differsFromFirst[row] != 0);
    }
    return {};
}

} // namespace koravel
