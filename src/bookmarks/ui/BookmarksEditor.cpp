#include "bookmarks/ui/BookmarksEditor.h"

#include "bookmarks/PasswordStore.h"
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

namespace {

// Longer text is no password a receiver takes.
constexpr int maxPasswordLength = 256;

} // namespace

BookmarksEditor::BookmarksEditor(Preferences& preferences, AddressCheck check, std::shared_ptr<PasswordStore> passwords,
                                 AddressForm form, QWidget* parent)
    : BookmarkListEditor(new ServerListModel(preferences, std::move(check),
                                             [this](const QString& why) {
                                                 showMessage(tr("Not saved: %1").arg(why));
                                             },
                                             std::move(form)),
                         tr("Servers"),
                         {tr("No Servers"), tr("Use the bookmark button next to the server address to save it.")},
                         QSize(360, 240), parent)
    , servers(static_cast<ServerListModel*>(model))
    , passwords(std::move(passwords))
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
    if (this->passwords)
        addPasswordRow();
}

void BookmarksEditor::addPasswordRow()
{
    auto* row = new QHBoxLayout;
    passwordField = new QLineEdit(this);
    passwordField->setObjectName(QStringLiteral("serverPassword"));
    passwordField->setEchoMode(QLineEdit::Password);
    passwordField->setToolTip(tr("The password the desktop keyring keeps for the selected server"));
    passwordField->setMaxLength(maxPasswordLength);
    passwordField->setPlaceholderText(tr("Password"));
    setPasswordButton = new QPushButton(tr("Set Password"), this);
    setPasswordButton->setObjectName(QStringLiteral("setPassword"));
    clearPasswordButton = new QPushButton(tr("Clear Password"), this);
    clearPasswordButton->setObjectName(QStringLiteral("clearPassword"));
    row->addWidget(passwordField, 1);
    row->addWidget(setPasswordButton);
    row->addWidget(clearPasswordButton);
    contentLayout->addLayout(row, 2, 0);
    const auto setTyped = [this] {
        if (!passwordField->text().isEmpty())
            storePassword(passwordField->text());
    };
    connect(passwordField, &QLineEdit::returnPressed, this, setTyped);
    connect(setPasswordButton, &QPushButton::clicked, this, setTyped);
    connect(clearPasswordButton, &QPushButton::clicked, this, [this] { storePassword({}); });
    connect(passwordField, &QLineEdit::textChanged, this, &BookmarksEditor::refreshPasswordRow);
    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &BookmarksEditor::refreshPasswordRow);
    connect(servers, &QAbstractItemModel::modelReset, this, &BookmarksEditor::refreshPasswordRow);
    refreshPasswordRow();
}

void BookmarksEditor::refreshPasswordRow()
{
    const bool one = view->selectionModel()->selectedRows().size() == 1;
    passwordField->setEnabled(one);
    setPasswordButton->setEnabled(one && !passwordField->text().isEmpty());
    clearPasswordButton->setEnabled(one);
}

void BookmarksEditor::storePassword(const QString& password)
{
    const QModelIndexList rows = view->selectionModel()->selectedRows();
    if (rows.size() != 1)
        return;
    const QString address = rows.front().data().toString();
    passwordField->clear();
    passwords->write(address, password, this, [this, address, clearing = password.isEmpty()](const QString& problem) {
        if (!problem.isEmpty())
            showMessage(tr("Nothing kept: %1. Farlisten asks for the password when the receiver wants one.")
                            .arg(problem));
        else if (clearing)
            showMessage(tr("No password is kept for %1 now.").arg(address));
        else
            showMessage(tr("The password for %1 is kept in the desktop keyring.").arg(address));
    });
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

QByteArray BookmarksEditor::fileText(BookmarkFileFormat format) const
{
    return BookmarkFiles::write(servers->current(), format);
}

BookmarkListEditor::ImportOffer BookmarksEditor::offerImport(const QByteArray& data) const
{
    return offerFor(servers, data, [check = servers->addressCheck()](const QByteArray& text, const Bookmarks& current) {
        return BookmarkFiles::readServers(text, current, check);
    });
}
