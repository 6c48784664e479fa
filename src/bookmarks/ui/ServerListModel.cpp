#include "bookmarks/ui/ServerListModel.h"

ServerListModel::ServerListModel(QObject* parent)
    : PersistedListModel(PreferenceKeys::bookmarks, &Preferences::bookmarks, &Preferences::setBookmarks, parent)
{
}

int ServerListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : 1;
}

QVariant ServerListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole)
        return itemAt(index.row()).url;
    return {};
}

bool ServerListModel::setData(const QModelIndex& index, const QVariant& value, int role)
{
    if (!index.isValid() || index.row() >= rowCount() || role != Qt::EditRole)
        return false;
    Bookmark changed = itemAt(index.row());
    changed.url = value.toString();
    replace(index, changed);
    return true;
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags base = PersistedListModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsEditable : base;
}

int ServerListModel::addServer()
{
    return append(Bookmark{QUuid::createUuid(), QString()});
}
