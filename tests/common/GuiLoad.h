#pragma once
// What the tests of a session under a hostile receiver measure: the live
// memory, the GUI thread's CPU time, and rxsim on a thread of its own, so
// that what it does costs the GUI thread nothing.

#include "RxSimServer.h"

#include <QFile>
#include <QThread>

#include <time.h>
#include <unistd.h>

#include <cstddef>

#if defined(__SANITIZE_ADDRESS__)
#define FARLISTEN_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define FARLISTEN_ASAN 1
#endif
#endif
#ifdef FARLISTEN_ASAN
// From the sanitizer runtime (GCC ships no header for it).
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#endif

// Live heap bytes where AddressSanitizer keeps freed memory in quarantine
// (resident memory would then mostly measure the quarantine); resident
// memory otherwise.
inline qint64 memoryInUse()
{
#ifdef FARLISTEN_ASAN
    return static_cast<qint64>(__sanitizer_get_current_allocated_bytes());
#else
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toLongLong() * sysconf(_SC_PAGESIZE) : 0;
#endif
}

// CPU time the calling thread has used.
inline qint64 threadCpuMs()
{
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<qint64>(t.tv_sec) * 1000 + t.tv_nsec / 1'000'000;
}

// rxsim on its own thread, created, run and deleted there.
class ServerThread {
public:
    explicit ServerThread(RxSimOptions options)
    {
        anchor.moveToThread(&thread);
        thread.start();
        QMetaObject::invokeMethod(&anchor, [this, options] {
            server = new RxSimServer(options);
            port = server->listen();
        }, Qt::BlockingQueuedConnection);
    }
    ~ServerThread()
    {
        QMetaObject::invokeMethod(&anchor, [this] { delete server; }, Qt::BlockingQueuedConnection);
        thread.quit();
        thread.wait();
    }

    quint16 port = 0;

private:
    QThread thread;
    QObject anchor;
    RxSimServer* server = nullptr;
};
