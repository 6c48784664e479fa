#include "bookmarks/ui/BookmarkListModel.h"

#include <QMimeData>

#include <algorithm>

Qt::ItemFlags BookmarkListModel::flags(const QModelIndex& index) const
{
    // Rows are dropped between rows, never onto one.
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
}

QVariant BookmarkListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 || section >= columnTitles.size())
        return {};
    return columnTitles[section];
}

QMimeData* BookmarkListModel::mimeData(const QModelIndexList& indexes) const
{
    QList<int> rows;
    for (const QModelIndex& index : indexes)
        if (index.isValid() && index.model() == this)
            rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    QStringList ids;
    for (const int row : rows)
        ids.append(idAt(row).toString(QUuid::WithoutBraces));
    auto* data = new QMimeData;
    data->setData(idsMimeType, ids.join(QLatin1Char('\n')).toLatin1());
    return data;
}

bool BookmarkListModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                     const QModelIndex& parent)
{
    if (!data || action != Qt::MoveAction || !data->hasFormat(idsMimeType))
        return false;
    int destination = parent.isValid() ? parent.row() : row;
    if (destination < 0 || destination > rowCount())
        destination = rowCount();

    QSet<QUuid> ids;
    for (const QByteArray& line : data->data(idsMimeType).split('\n'))
        if (const QUuid id = QUuid::fromString(QLatin1String(line)); !id.isNull())
            ids.insert(id);
    QList<int> rows;
    for (int r = 0; r < rowCount(); ++r)
        if (ids.contains(idAt(r)))
            rows.append(r);
    return !rows.isEmpty() && moveItems(rows, destination);
}

bool BookmarkListModel::moveRows(const QModelIndex& sourceParent, int sourceRow, int count,
                                 const QModelIndex& destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count <= 0 || sourceRow < 0
        || sourceRow > rowCount() - count)
        return false;
    QList<int> rows;
    for (int r = sourceRow; r < sourceRow + count; ++r)
        rows.append(r);
    return moveItems(rows, destinationChild);
}
