#pragma once
// What the editor windows need of a bookmark list's rows, whatever the kind of
// bookmark: removal by id, and rows that are moved by dragging.

#include <QAbstractTableModel>
#include <QSet>
#include <QUuid>

#include <functional>

class BookmarkListModel : public QAbstractTableModel {
public:
    BookmarkListModel(QStringList columnTitles, QObject* parent)
        : QAbstractTableModel(parent)
        , columnTitles(std::move(columnTitles))
    {
    }

    virtual QUuid idAt(int row) const = 0;
    // Removes every row whose id is in the set and stores the list once.
    // Gives what puts the removed rows back where they were (empty when
    // nothing was removed); rows back in the list by then are not doubled.
    virtual std::function<void()> removeIds(const QSet<QUuid>& ids) = 0;
    // Moves the rows, keeping their order, to stand together before the row
    // that is `destination` now (the row count for the end); stores the list.
    // False when a row is out of range.
    virtual bool moveItems(QList<int> rows, int destination) = 0;

    // Dragged rows travel as their ids.
    static inline const QString idsMimeType = QStringLiteral("application/x-farlisten-bookmark-ids");

    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // The column titles of the editor's list header.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::DropActions supportedDropActions() const override { return Qt::MoveAction; }
    QStringList mimeTypes() const override { return {idsMimeType}; }
    QMimeData* mimeData(const QModelIndexList& indexes) const override;
    bool dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int column,
                      const QModelIndex& parent) override;
    bool moveRows(const QModelIndex& sourceParent, int sourceRow, int count, const QModelIndex& destinationParent,
                  int destinationChild) override;

private:
    QStringList columnTitles;
};
