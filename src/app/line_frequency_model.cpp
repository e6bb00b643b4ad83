// The line frequency table's cells: the line number and its count.
#include "line_frequency_model.h"

#include "analysis/line_names.h"
#include "qt_text.h"

namespace koravel {

void LineFrequencyModel::setFrequencies(
    const std::vector<LineFrequency> &frequencies, const LineNames *names)
{
    beginResetModel();
    m_frequencies = frequencies;
    m_names = names;
    endResetModel();
}

int LineFrequencyModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_frequencies.size());
}

int LineFrequencyModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_names != nullptr ? 3 : 2;
}

QVariant LineFrequencyModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const LineFrequency &frequency = m_frequencies[static_cast<std::size_t>(index.row())];
    const bool name = m_names != nullptr && index.column() == 1;
    if (role == Qt::DisplayRole) {
        if (name)
            return toQt(m_names->name(frequency.line));
        return index.column() == 0 ? QString::number(frequency.line)
                                   : QString::number(static_cast<qulonglong>(frequency.count));
    }
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(
            Qt::Alignment((name ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter));
    return {};
}

QVariant LineFrequencyModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (section == 0)
        return QStringLiteral("Linhagem");
    if (m_names != nullptr && section == 1)
        return QStringLiteral("Nome");
    if (section == (m_names != nullptr ? 2 : 1))
        return QStringLiteral("Frequência");
    return {};
}

} // namespace koravel
