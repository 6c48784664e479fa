#include "bookmarks/ui/ServerListModel.h"

#include <QCoreApplication>

ServerListModel::ServerListModel(Preferences& preferences, AddressCheck check,
                                 std::function<void(const QString& why)> refused, AddressForm form, QObject* parent)
    : PersistedListModel(preferences, PreferenceKeys::bookmarks, &Preferences::bookmarks, &Preferences::setBookmarks,
                         {QCoreApplication::translate("ServerListModel", "Address")}, parent)
    , check(std::move(check))
    , form(std::move(form))
    , refused(std::move(refused))
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
    changed.url = value.toString().trimmed();
    if (changed.url == itemAt(index.row()).url)
        return true;
    if (!accepts(changed.url))
        return false;
    changed.url = listed(changed.url);
    replace(index, changed);
    return true;
}

Qt::ItemFlags ServerListModel::flags(const QModelIndex& index) const
{
    const Qt::ItemFlags base = PersistedListModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsEditable : base;
}

std::optional<int> ServerListModel::addServer(const QString& address)
{
    if (!accepts(address.trimmed()))
        return std::nullopt;
    const QString url = listed(address.trimmed());
    for (int row = 0; row < rowCount(); ++row)
        if (itemAt(row).url == url)
            return row;
    return append(Bookmark{QUuid::createUuid(), url});
}

QString ServerListModel::listed(const QString& address) const
{
    return form ? form(address) : address;
}

bool ServerListModel::accepts(const QString& address) const
{
    std::optional<QString> why;
    if (address.isEmpty())
        why = QCoreApplication::translate("ServerListModel", "Type a server address first.");
    else if (check)
        why = check(address);
    if (why && refused)
        refused(*why);
    return !why;
}
