#include "player/TitleListModel.h"

#include "collection/CollectionEntry.h"

void TitleListModel::Reset(const QString& first, const QStringList& entries)
{
    beginResetModel();
    m_filled = true;
    m_first = first;
    m_entries = entries;
    endResetModel();
}

int TitleListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() || !m_filled ? 0 : static_cast<int>(m_entries.size()) + 1;
}

QVariant TitleListModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::EditRole)
        return {};
    const int row = index.row();
    if (row == 0)
        return m_first;
    if (row < 0 || row > m_entries.size())
        return {};
    return collection::DisplayName(m_entries.at(row - 1));
}
