#pragma once
// What the editor windows need of a bookmark list's rows, whatever the kind of
// bookmark: removal by id, and rows that are moved by dragging.

#include <QAbstractTableModel>
#include <QSet>
#include <QUuid>

class BookmarkListModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;

    virtual QUuid idAt(int row) const = 0;
    // Removes every row whose id is in the set and stores the list once.
    virtual void removeIds(const QSet<QUuid>& ids) = 0;
    // Moves the rows, keeping their order, to stand together before the row
    // that is `destination` now (the row count for the end); stores the list.
    // False when a row is out of range.
    virtual bool moveItems(QList<int> rows, int destination) = 0;

    // Dragged rows travel as their ids.
    static inline const QString idsMimeType = QStringLiteral("application/x-farlisten-bookmark-ids");

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {idsMimeType}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;
};
