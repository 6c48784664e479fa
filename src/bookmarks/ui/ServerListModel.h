#pragma once
// The server bookmarks as one editable column of addresses. An address is
// stored only when the address check passes it.

#include "bookmarks/Bookmarks.h"
#include "bookmarks/ui/PersistedListModel.h"

#include <functional>
#include <optional>

// Why the text is no server address, or nothing when it is one.
using AddressCheck = std::function<std::optional<QString>(const QString& address)>;
// How an address that passed the check is listed.
using AddressForm = std::function<QString(const QString& address)>;

class ServerListModel : public PersistedListModel<Bookmarks> {
public:
    // `refused` hears why an address was not stored; `form` gives the form
    // it is stored in (as typed, trimmed, without one).
    ServerListModel(Preferences& preferences, AddressCheck check, std::function<void(const QString& why)> refused,
                    AddressForm form = {}, QObject* parent = nullptr);

    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Appends the address (in its listed form) when it passes the check and gives its
    // row (the row it has when it is listed already); nothing when refused.
    std::optional<int> addServer(const QString& address);
    const AddressCheck& addressCheck() const { return check; }

private:
    bool accepts(const QString& address) const;
    QString listed(const QString& address) const;

    AddressCheck check;
    AddressForm form;
    std::function<void(const QString& why)> refused;
};
