// The line frequency table's cells: the line number and its count.
#include "line_frequency_model.h"

namespace koravel {

void LineFrequencyModel::setFrequencies(const std::vector<LineFrequency> &frequencies)
{
    beginResetModel();
    m_frequencies = frequencies;
    endResetModel();
}

int LineFrequencyModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_frequencies.size());
}

int LineFrequencyModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 2;
}

QVariant LineFrequencyModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const LineFrequency &frequency = m_frequencies[static_cast<std::size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        return index.column() == 0 ? QString::number(frequency.line)
                                   : QString::number(static_cast<qulonglong>(frequency.count));
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignRight | Qt::AlignVCenter));
    return {};
}

QVariant LineFrequencyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return QStringLiteral("Linhagem");
    if (section == 1)
        return QStringLiteral("Frequência");
    return {};
}

} // namespace koravel
