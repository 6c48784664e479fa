#pragma once
// Where receiver passwords are kept: the desktop's keyring, never the
// preferences file. Addresses are taken as the listener typed them; the
// store decides which addresses name the same receiver. Every operation
// answers once, later, on the main thread, and not at all once `context` is
// gone.

#include <QObject>
#include <QString>

#include <functional>
#include <optional>

struct PasswordLookup {
    std::optional<QString> password;
    // Empty when the keyring answered (whether it held a password or not);
    // otherwise why no keyring could be used, in plain words.
    QString keyringProblem;
};

class PasswordStore {
public:
    virtual ~PasswordStore() = default;

    virtual void read(const QString& address, QObject* context, std::function<void(const PasswordLookup&)> done) = 0;
    // Empty text removes the password. `done` hears an empty text when the
    // keyring did it, else why it could not.
    virtual void write(const QString& address, const QString& password, QObject* context,
                       std::function<void(const QString& keyringProblem)> done) = 0;
};
