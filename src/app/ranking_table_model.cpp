// The ranking table's cells, written with the report's number formats.
#include "ranking_table_model.h"

#include "qt_text.h"

namespace koravel {

namespace {

    constexpr int kFixedColumns = 4; // position, hybrid, mean, CV

    int valueColumns(HybridKind kind)
    {
        return int(valueCount(kind));
    }

    const QStringList &valueHeadings(HybridKind kind)
    {
        static const QStringList doubleCross { QStringLiteral("HS(ik)"), QStringLiteral("HS(il)"),
            QStringLiteral("HS(jk)"), QStringLiteral("HS(jl)") };
        static const QStringList threeWay { QStringLiteral("HS(ik)"), QStringLiteral("HS(jk)") };
        return kind == HybridKind::DoubleCross ? doubleCross : threeWay;
    }

} // namespace

void RankingTableModel::setRanking(const RankingResult &ranking, FormatSettings settings)
{
    beginResetModel();
    m_kind = ranking.kind;
    m_best.clear();
    for (std::size_t i = 0; i < ranking.best.size(); ++i)
        m_best.push_back(ranking.record(i));
    m_settings = settings;
    endResetModel();
}

int RankingTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_best.size());
}

int RankingTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kFixedColumns + valueColumns(m_kind);
}

QVariant RankingTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return text(m_best[static_cast<std::size_t>(index.row())], index.row(), index.column());
    if (role == Qt::TextAlignmentRole) {
        const Qt::Alignment alignment = index.column() == 1 ? Qt::AlignLeft : Qt::AlignRight;
        return QVariant::fromValue(alignment | Qt::AlignVCenter);
    }
    return {};
}

QVariant RankingTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList fixed { QStringLiteral("Posição"), QStringLiteral("Híbrido"),
        QStringLiteral("Média"), QStringLiteral("CV%") };
    if (section >= 0 && section < kFixedColumns)
        return fixed[section];
    const QStringList &values = valueHeadings(m_kind);
    const int value = section - kFixedColumns;
    return value >= 0 && value < values.size() ? QVariant(values[value]) : QVariant();
}

QString RankingTableModel::text(const CandidateRecord &candidate, int row, int column) const
{
    switch (column) {
    case 0:
        return QString::number(row + 1);
    case 1:
        return toQt(hybridName(candidate));
    case 2:
        return toQt(formatFloat(FixedPattern::ThreeDecimals, candidate.mean, m_settings));
    case 3:
        return toQt(formatFloat(FixedPattern::OneDecimal, candidate.cv, m_settings));
    default:
        return toQt(floatToStr(
            candidate.values[static_cast<std::size_t>(column - kFixedColumns)], m_settings));
    }
}

} // namespace koravel
