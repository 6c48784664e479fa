#pragma once
// Receiver passwords in the desktop keyring through QtKeychain (the Secret
// Service or KWallet), under the service "Farlisten" and the receiver's
// normalised address. Never falls back to a plain file: without a keyring
// every operation reports why.

#include "bookmarks/PasswordStore.h"

#include <memory>

class KeyringPasswordStore : public PasswordStore {
public:
    void read(const QString& address, QObject* context, std::function<void(const PasswordLookup&)> done) override;
    void write(const QString& address, const QString& password, QObject* context,
               std::function<void(const QString& keyringProblem)> done) override;

    // The one store of the process.
    static std::shared_ptr<PasswordStore> shared();
    // The keyring entry's name for an address: the normalised server
    // address, or the trimmed text when it does not normalise.
    static QString keyFor(const QString& address);
};
