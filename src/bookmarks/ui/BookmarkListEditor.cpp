#include "bookmarks/ui/BookmarkListEditor.h"

#include "bookmarks/ui/BookmarkListModel.h"
#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/EmptyStatePanel.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QSet>
#include <QToolBar>

BookmarkListEditor::BookmarkListEditor(BookmarkListModel* model, const QString& title, const EmptyState& empty,
                                       QSize minimumContentSize, QWidget* parent)
    : QMainWindow(parent)
    , model(model)
{
    setWindowTitle(title);
    model->setParent(this);

    auto* content = new QWidget(this);
    content->setMinimumSize(minimumContentSize);
    auto* layout = new QGridLayout(content);
    layout->setContentsMargins(0, 0, 0, 0);
    view = new BookmarkTableView(content);
    view->setModel(model);
    // The panel lies over the list, in the same cell of the grid.
    emptyPanel = new EmptyStatePanel(empty.title, QStringLiteral("bookmark-new"), empty.description, content);
    emptyPanel->setObjectName(QStringLiteral("emptyState"));
    layout->addWidget(view, 0, 0);
    layout->addWidget(emptyPanel, 0, 0, Qt::AlignCenter);
    setCentralWidget(content);

    deleteAction = new QAction(themedIcon(QStringLiteral("list-remove")), tr("Delete"), this);
    deleteAction->setObjectName(QStringLiteral("deleteAction"));
    deleteAction->setShortcut(QKeySequence::Delete);
    deleteAction->setToolTip(tr("Delete the selected rows"));
    connect(deleteAction, &QAction::triggered, this, &BookmarkListEditor::deleteSelected);
    view->addAction(deleteAction);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);

    toolBar = addToolBar(tr("Edit"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    toolBar->addAction(deleteAction);

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::modelReset, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::rowsInserted, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &BookmarkListEditor::refresh);
    refresh();
}

void BookmarkListEditor::deleteSelected()
{
    QSet<QUuid> ids;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        ids.insert(model->idAt(index.row()));
    view->clearSelection();
    if (!ids.isEmpty())
        model->removeIds(ids);
}

void BookmarkListEditor::refresh()
{
    deleteAction->setEnabled(view->selectionModel()->hasSelection());
    emptyPanel->setVisible(model->rowCount() == 0);
}
