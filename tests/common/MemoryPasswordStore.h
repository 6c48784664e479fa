#pragma once
// A keyring that is there, for the paths the test machine (which has no
// Secret Service) cannot take; it answers later, as a keyring does, or
// fails every operation with `problem`.

#include "bookmarks/PasswordStore.h"

#include <QMap>
#include <QTimer>

class MemoryPasswordStore : public PasswordStore {
public:
    explicit MemoryPasswordStore(std::function<QString(const QString&)> keyOf = [](const QString& a) {
        return a.trimmed();
    })
        : keyOf(std::move(keyOf))
    {
    }

    void read(const QString& address, QObject* context, std::function<void(const PasswordLookup&)> done) override
    {
        const QString key = keyOf(address);
        QTimer::singleShot(0, context, [this, key, done] {
            if (!problem.isEmpty())
                done({std::nullopt, problem});
            else
                done({entries.contains(key) ? std::optional<QString>(entries.value(key)) : std::nullopt, {}});
        });
    }

    void write(const QString& address, const QString& password, QObject* context,
               std::function<void(const QString&)> done) override
    {
        if (problem.isEmpty() && password.isEmpty())
            entries.remove(keyOf(address));
        else if (problem.isEmpty())
            entries.insert(keyOf(address), password);
        QTimer::singleShot(0, context, [this, done] { done(problem); });
    }

    QMap<QString, QString> entries;
    QString problem;

private:
    std::function<QString(const QString&)> keyOf;
};
