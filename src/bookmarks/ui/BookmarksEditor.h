#pragma once
// The window "Servers": the saved server addresses, each an editable row,
// with "Add Server" and "Delete".

#include "bookmarks/ui/BookmarkListEditor.h"

class ServerListModel;

class BookmarksEditor : public BookmarkListEditor {
    Q_OBJECT
public:
    explicit BookmarksEditor(QWidget* parent = nullptr);

private:
    void addServer();

    ServerListModel* servers;
};
