#include "bookmarks/ui/BookmarksEditor.h"

#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/FieldDelegates.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>

BookmarksEditor::BookmarksEditor(AddressCheck check, QWidget* parent)
    : BookmarkListEditor(new ServerListModel(std::move(check),
                                             [this](const QString& why) {
                                                 showMessage(tr("Not saved: %1").arg(why));
                                             }),
                         tr("Servers"),
                         {tr("No Servers"), tr("Use the bookmark button next to the server address to save it.")},
                         QSize(360, 240), parent)
    , servers(static_cast<ServerListModel*>(model))
{
    view->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    view->setItemDelegateForColumn(
        0, new TextFieldDelegate(tr("Server address"), TextFieldDelegate::Commit::whenFinished, view));
    connect(servers, &QAbstractItemModel::dataChanged, this, [this] { showMessage({}); });

    auto* row = new QHBoxLayout;
    newAddress = new QLineEdit(this);
    newAddress->setObjectName(QStringLiteral("newServerAddress"));
    newAddress->setPlaceholderText(tr("Server address to add"));
    newAddress->setClearButtonEnabled(true);
    auto* addButton = new QPushButton(tr("Add"), this);
    row->addWidget(newAddress, 1);
    row->addWidget(addButton);
    contentLayout->addLayout(row, 1, 0);
    connect(newAddress, &QLineEdit::returnPressed, this, &BookmarksEditor::addServer);
    connect(addButton, &QPushButton::clicked, this, &BookmarksEditor::addServer);

    auto* addAction = new QAction(themedIcon(QStringLiteral("list-add")), tr("Add Server"), this);
    addAction->setObjectName(QStringLiteral("addServerAction"));
    addAction->setToolTip(tr("Type a server address to add"));
    connect(addAction, &QAction::triggered, this, [this] {
        if (newAddress->text().trimmed().isEmpty()) {
            newAddress->setFocus();
            return;
        }
        addServer();
    });
    toolBar->insertAction(deleteAction, addAction);
}

// The added (or already listed) row becomes the whole selection.
void BookmarksEditor::addServer()
{
    const std::optional<int> added = servers->addServer(newAddress->text());
    if (!added)
        return;
    showMessage({});
    newAddress->clear();
    const QModelIndex index = servers->index(*added, 0);
    view->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    view->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    view->scrollTo(index);
}
