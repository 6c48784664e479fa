#include "bookmarks/ui/BookmarkTableView.h"

#include <QDrag>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMimeData>

#include <algorithm>

BookmarkTableView::BookmarkTableView(QWidget* parent)
    : QTableView(parent)
{
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->hide();
    setShowGrid(false);
    setWordWrap(false);
    setAlternatingRowColors(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked
                    | QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    setDragDropMode(QAbstractItemView::InternalMove);
    setDragDropOverwriteMode(false);
    setDropIndicatorShown(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

// The model moves the dragged rows itself when they are dropped, so the drag
// must not then remove them the way a moving drag between views does.
void BookmarkTableView::startDrag(Qt::DropActions)
{
    QModelIndexList rows = selectionModel()->selectedRows();
    if (rows.isEmpty() || !model())
        return;
    std::sort(rows.begin(), rows.end());
    QMimeData* data = model()->mimeData(rows);
    if (!data)
        return;
    auto* drag = new QDrag(this);
    drag->setMimeData(data);
    const QModelIndex first = rows.front();
    const QModelIndex last = first.siblingAtColumn(model()->columnCount() - 1);
    drag->setPixmap(viewport()->grab(visualRect(first).united(visualRect(last))));
    drag->exec(Qt::MoveAction);
}
