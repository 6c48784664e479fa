#include "connection/NetworkThread.h"

#include <QCoreApplication>
#include <QThread>

namespace {

struct Thread {
    QThread thread;
    QObject* root = nullptr;
};

Thread* running = nullptr;

// Runs while the application object is torn down: the objects still living on
// the network thread are deleted there, then the thread ends.
void stop()
{
    if (!running)
        return;
    QMetaObject::invokeMethod(running->root, [root = running->root] { delete root; },
        Qt::BlockingQueuedConnection);
    running->thread.quit();
    running->thread.wait();
    delete running;
    running = nullptr;
}

} // namespace

QObject* NetworkThread::root()
{
    if (!running) {
        running = new Thread;
        running->thread.setObjectName(QStringLiteral("Network"));
        running->root = new QObject;
        running->root->moveToThread(&running->thread);
        running->thread.start();
        qAddPostRoutine(stop);
    }
    return running->root;
}
