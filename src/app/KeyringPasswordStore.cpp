#include "app/KeyringPasswordStore.h"

#include "session/ReceiverClient.h"
#include "session/ReceiverAddress.h"

#include <QCoreApplication>
#include <QPointer>

#include <qt6keychain/keychain.h>

namespace {

const QString service = QStringLiteral("Farlisten");

// QtKeychain's own texts say little ("Unknown error" when no Secret Service
// answers), so the reason is worded from the kind of error.
QString problemOf(const QKeychain::Job& job)
{
    switch (job.error()) {
    case QKeychain::AccessDenied:
    case QKeychain::AccessDeniedByUser:
        return QCoreApplication::translate("KeyringPasswordStore", "the desktop keyring refused access");
    default:
        return QCoreApplication::translate("KeyringPasswordStore",
                                           "no desktop keyring (a Secret Service such as GNOME Keyring, or "
                                           "KWallet) is available");
    }
}

// Runs the job; `finished` hears it once unless the context is gone.
template <typename Finished>
void run(QKeychain::Job* job, const QString& address, QObject* context, Finished finished)
{
    job->setAutoDelete(true);
    job->setInsecureFallback(false);
    job->setKey(KeyringPasswordStore::keyFor(address));
    QObject::connect(job, &QKeychain::Job::finished, context, finished);
    job->start();
}

} // namespace

QString KeyringPasswordStore::keyFor(const QString& address)
{
    if (const std::optional<QUrl> url = ReceiverClient::normalizedServerURL(parseReceiverAddress(address).server))
        return url->toString();
    return address.trimmed();
}

void KeyringPasswordStore::read(const QString& address, QObject* context,
                                std::function<void(const PasswordLookup&)> done)
{
    auto* job = new QKeychain::ReadPasswordJob(service);
    run(job, address, context, [job, done = std::move(done)] {
        switch (job->error()) {
        case QKeychain::NoError:
            done({job->textData(), {}});
            return;
        case QKeychain::EntryNotFound:
            done({});
            return;
        default:
            done({std::nullopt, problemOf(*job)});
        }
    });
}

void KeyringPasswordStore::write(const QString& address, const QString& password, QObject* context,
                                 std::function<void(const QString& keyringProblem)> done)
{
    QKeychain::Job* job = nullptr;
    if (password.isEmpty()) {
        job = new QKeychain::DeletePasswordJob(service);
    } else {
        auto* writeJob = new QKeychain::WritePasswordJob(service);
        writeJob->setTextData(password);
        job = writeJob;
    }
    run(job, address, context, [job, clearing = password.isEmpty(), done = std::move(done)] {
        const bool ok = job->error() == QKeychain::NoError || (clearing && job->error() == QKeychain::EntryNotFound);
        done(ok ? QString() : problemOf(*job));
    });
}

std::shared_ptr<PasswordStore> KeyringPasswordStore::shared()
{
    static const std::shared_ptr<PasswordStore> store = std::make_shared<KeyringPasswordStore>();
    return store;
}
