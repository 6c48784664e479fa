#include "bookmarks/ui/BookmarksEditor.h"

#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/FieldDelegates.h"
#include "bookmarks/ui/ServerListModel.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QToolBar>

BookmarksEditor::BookmarksEditor(QWidget* parent)
    : BookmarkListEditor(new ServerListModel, tr("Servers"),
                         {tr("No Servers"), tr("Use the bookmark button next to the server address to save it.")},
                         QSize(360, 240), parent)
    , servers(static_cast<ServerListModel*>(model))
{
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->setItemDelegateForColumn(
        0, new TextFieldDelegate(tr("Server address"), TextFieldDelegate::Commit::everyKeystroke, view));

    auto* addAction = new QAction(themedIcon(QStringLiteral("list-add")), tr("Add Server"), this);
    addAction->setObjectName(QStringLiteral("addServerAction"));
    connect(addAction, &QAction::triggered, this, &BookmarksEditor::addServer);
    toolBar->insertAction(deleteAction, addAction);
}

// The new row is the whole selection, and open for typing its address.
void BookmarksEditor::addServer()
{
    const QModelIndex index = servers->index(servers->addServer(), 0);
    view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    view->scrollTo(index);
    view->setFocus();
    view->edit(index);
}
