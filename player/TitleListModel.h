#pragma once
// The items of the player's title list, over the collection itself: a first
// item that stands for no entry, then each entry's display name, made when
// the list asks for it. A large collection costs one list, not an item
// object and a name per entry.

#include <QAbstractListModel>
#include <QStringList>

class TitleListModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    // first alone when entries is empty. Until then the list has no items.
    void Reset(const QString& first, const QStringList& entries);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;

private:
    bool m_filled = false;
    QString m_first;
    QStringList m_entries;
};
