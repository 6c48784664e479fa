#pragma once
// The one thread of the process on which every WebSocket lives and every
// received message is decoded, so that neither waits for the GUI thread.

#include <QCoreApplication>
#include <QObject>
#include <QPointer>

#include <utility>

namespace NetworkThread {

// An object living on the network thread. Objects made children of it are
// deleted on that thread when the application shuts down. The thread is
// started on first use, which must be on the GUI thread.
QObject* root();

// Runs `work` on the network thread and hands its result to `done` on the GUI
// thread in a later turn, unless `receiver` (a GUI-thread object) is gone by
// then. Called on the GUI thread.
template <typename Work, typename Done>
void compute(QObject* receiver, Work work, Done done)
{
    QMetaObject::invokeMethod(
        root(),
        [target = QPointer<QObject>(receiver), work = std::move(work), done = std::move(done)]() mutable {
            auto result = work();
            QMetaObject::invokeMethod(
                QCoreApplication::instance(),
                [target, done = std::move(done), result = std::move(result)]() mutable {
                    if (target)
                        done(std::move(result));
                },
                Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

} // namespace NetworkThread
