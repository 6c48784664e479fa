#pragma once
// The server bookmarks as one editable column of addresses.

#include "bookmarks/Bookmarks.h"
#include "bookmarks/ui/PersistedListModel.h"

class ServerListModel : public PersistedListModel<Bookmarks> {
public:
    explicit ServerListModel(QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends a server with an empty address and gives its row.
    int addServer();
};
