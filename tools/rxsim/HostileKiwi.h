#pragma once
// The stand-in KiwiSDR as a hostile server (--hostile): sound and waterfall
// channels that play a case out on top of the normal conversation, and the
// status page answered absurdly, hugely or a byte at a time.

#include "HttpFrontEnd.h"
#include "KiwiSoundChannel.h"
#include "KiwiWaterfallChannel.h"

#include <QPointer>
#include <QTcpSocket>

#include <cstdint>

class HostileKiwiSoundChannel : public KiwiSoundChannel {
    Q_OBJECT

public:
    HostileKiwiSoundChannel(std::unique_ptr<QWebSocket> socket, QPointer<QTcpSocket> tcp, QString timestamp,
                            const KiwiChannelContext& context, QObject* parent);

protected:
    void accepted() override;

private:
    RxSimHostile hostile() const { return *context_.options.hostile; }
    void sendTruncatedFrames();
    // Each word as a message of its own, repeatedWords times in turn, then
    // all of them as one message.
    void sendRepeated(const QStringList& words);
    void floodTick();

    QPointer<QTcpSocket> tcp_;
    QTimer floodTimer_;
    std::uint32_t floodSequence_ = 0;
};

class HostileKiwiWaterfallChannel : public KiwiWaterfallChannel {
    Q_OBJECT

public:
    HostileKiwiWaterfallChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                                const KiwiChannelContext& context, QObject* parent);

protected:
    void accepted() override;

private:
    void floodTick();

    QTimer floodTimer_;
    std::uint32_t floodSequence_ = 0;
};

// Makes the status page hostile for the cases that concern it.
void makeStatusPageHostile(RxSimHostile hostile, HttpPage& page);
