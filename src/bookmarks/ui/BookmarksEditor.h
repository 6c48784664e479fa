#pragma once
// The window "Servers": the saved server addresses, each an editable row,
// a field to add one, "Add Server" and "Delete". An address is stored only
// when it passes the same check as the main window's address field;
// otherwise a plain message says why.

#include "bookmarks/ui/BookmarkListEditor.h"
#include "bookmarks/ui/ServerListModel.h"

class QLineEdit;

class BookmarksEditor : public BookmarkListEditor {
    Q_OBJECT
public:
    explicit BookmarksEditor(AddressCheck check, QWidget* parent = nullptr);

private:
    void addServer();

    ServerListModel* servers;
    QLineEdit* newAddress;
};
