#pragma once
// Shared by the display tests: a locale switch, a session connected to the
// in-process stand-in receiver with silent audio.

#include "RxSimServer.h"
#include "audio/AudioPlayer.h"
#include "common/QtTestOutput.h"
#include "common/RecordingAudioEngine.h"
#include "session/ReceiverClient.h"

#include <QLocale>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

// Makes one locale the default for a test and puts the previous one back.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale previous;
};

// A player whose engine plays nothing and never reports a buffer consumed.
inline std::shared_ptr<AudioPlayer> silentPlayer()
{
    return AudioRecording().player();
}

// A session on the stand-in receiver; connect() waits until it is connected.
class RxSimSession {
public:
    explicit RxSimSession(RxSimOptions options = {})
        : server(std::move(options)), client(QStringLiteral("Farlisten test"), silentPlayer())
    {
    }

    // Starts the connection; false when the server cannot listen.
    bool start()
    {
        const quint16 port = server.listen();
        if (port == 0)
            return false;
        client.connect(QStringLiteral("127.0.0.1:%1").arg(port));
        return true;
    }

    bool connect()
    {
        return start() && QTest::qWaitFor([this] { return client.state().isConnected(); }, 10000);
    }

    RxSimServer server;
    ReceiverClient client;
};
