#pragma once
// The window "Servers": the saved server addresses, each an editable row,
// a field to add one, "Add Server" and "Delete", and the password the
// desktop keyring keeps for the selected server, set or cleared. An address is stored only
// when it passes the same check as the main window's address field;
// otherwise a plain message says why.

#include "bookmarks/ui/BookmarkListEditor.h"
#include "bookmarks/ui/ServerListModel.h"

#include <memory>

class PasswordStore;
class QPushButton;
class QLineEdit;

class BookmarksEditor : public BookmarkListEditor {
    Q_OBJECT
public:
    // Edits the server bookmarks kept in `preferences`, each in the form
    // `form` gives. Without a password store there are no password controls.
    BookmarksEditor(Preferences& preferences, AddressCheck check, std::shared_ptr<PasswordStore> passwords = {},
                    AddressForm form = {}, QWidget* parent = nullptr);

protected:
    QByteArray fileText(BookmarkFileFormat format) const override;
    ImportOffer offerImport(const QByteArray& data) const override;

private:
    void addServer();
    void addPasswordRow();
    void refreshPasswordRow();
    // Keeps the password for the selected server; empty text clears it.
    void storePassword(const QString& password);

    ServerListModel* servers;
    QLineEdit* newAddress;
    std::shared_ptr<PasswordStore> passwords;
    QLineEdit* passwordField = nullptr;
    QPushButton* setPasswordButton = nullptr;
    QPushButton* clearPasswordButton = nullptr;
};
