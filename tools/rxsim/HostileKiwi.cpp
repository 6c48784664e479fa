#include "HostileKiwi.h"

#include "HostilePace.h"
#include "HostileSocket.h"
#include "HostileWire.h"

#include <QUrl>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr qint64 hugeStatusBytes = 200LL * 1000 * 1000;
// The huge page is written this much at a time, whenever less than
// hugeStatusLowWater waits in the socket.
constexpr qsizetype hugeStatusChunk = 64 * 1024;
constexpr qint64 hugeStatusLowWater = 256 * 1024;
constexpr auto trickleInterval = 1s;

QByteArray message(const QByteArray& parameters)
{
    return QByteArrayLiteral("MSG ") + parameters;
}

// A status page of hugeStatusBytes: the real page, then lines of padding,
// written only as the client takes them.
class HugeAnswer : public QObject {
public:
    HugeAnswer(QTcpSocket* socket, const HttpPage& page)
        : QObject(socket)
        , socket_(socket)
        , filler_(QByteArray(QByteArrayLiteral("pad=") + QByteArray(59, 'x') + '\n').repeated(hugeStatusChunk / 64))
    {
        socket_->write(httpAnswerHead(page, hugeStatusBytes));
        socket_->write(page.body);
        left_ = hugeStatusBytes - page.body.size();
        connect(socket_, &QTcpSocket::bytesWritten, this, &HugeAnswer::topUp);
        topUp();
    }

private:
    void topUp()
    {
        while (left_ > 0 && socket_->bytesToWrite() < hugeStatusLowWater) {
            const qint64 n = std::min<qint64>(left_, filler_.size());
            socket_->write(filler_.constData(), n);
            left_ -= n;
        }
        if (left_ == 0) {
            left_ = -1;
            socket_->disconnectFromHost();
        }
    }

    QTcpSocket* socket_;
    const QByteArray filler_;
    qint64 left_ = 0;
};

// The whole answer, head included, one byte a second.
class TrickledAnswer : public QObject {
public:
    TrickledAnswer(QTcpSocket* socket, const HttpPage& page)
        : QObject(socket)
        , socket_(socket)
        , bytes_(httpAnswerHead(page, page.body.size()) + page.body)
    {
        connect(&timer_, &QTimer::timeout, this, &TrickledAnswer::tick);
        timer_.start(trickleInterval);
        tick();
    }

private:
    void tick()
    {
        if (next_ >= bytes_.size()) {
            timer_.stop();
            socket_->disconnectFromHost();
            return;
        }
        socket_->write(bytes_.constData() + next_++, 1);
    }

    QTcpSocket* socket_;
    const QByteArray bytes_;
    qsizetype next_ = 0;
    QTimer timer_;
};

QByteArray soundFloodFrame(std::uint32_t sequence)
{
    static const std::vector<std::uint8_t> silence(2 * KiwiSoundChannel::samplesPerFrame);
    return kiwiSoundFrame(0, sequence, -100, silence);
}

} // namespace

HostileKiwiSoundChannel::HostileKiwiSoundChannel(std::unique_ptr<QWebSocket> socket, QPointer<QTcpSocket> tcp,
                                                 QString timestamp, const KiwiChannelContext& context,
                                                 QObject* parent)
    : KiwiSoundChannel(std::move(socket), std::move(timestamp), context, parent)
    , tcp_(std::move(tcp))
{
    floodTimer_.setTimerType(Qt::PreciseTimer);
    connect(&floodTimer_, &QTimer::timeout, this, &HostileKiwiSoundChannel::floodTick);
    if (hostile() == RxSimHostile::truncatedTags)
        sendTruncatedFrames();
}

void HostileKiwiSoundChannel::sendTruncatedFrames()
{
    for (const QByteArray& frame : kiwiTruncatedFrames())
        sendFrame(frame);
}

void HostileKiwiSoundChannel::accepted()
{
    KiwiSoundChannel::accepted();
    switch (hostile()) {
    case RxSimHostile::flood:
        floodTimer_.start(floodInterval);
        break;
    case RxSimHostile::oversized:
        QTimer::singleShot(actDelay, this, [this] {
            if (tcp_ && isOpen())
                writeOversizedFrame(*tcp_, QByteArrayLiteral("SND"));
        });
        break;
    case RxSimHostile::truncatedTags:
        sendTruncatedFrames();
        QTimer::singleShot(actDelay, this, &HostileKiwiSoundChannel::sendTruncatedFrames);
        break;
    case RxSimHostile::invalidUtf8: {
        const QByteArray bad = invalidUtf8Text();
        for (const char* key : {"client_public_ip", "version_maj", "version_min", "rx_chans", "rx_chan",
                                "bandwidth", "sample_rate", "audio_rate", "audio_adpcm_state", "load_cfg"}) {
            sendFrame(message(key + QByteArray("=") + bad));
        }
        sendFrame(message(bad + "=" + bad + ' ' + bad));
        // Percent-encoded bytes that do not decode, in the text and in the
        // receiver's configuration.
        sendFrame(message("load_cfg=" + QByteArray("%FF%FE%C3%28")));
        const QByteArray config = "{\"rx_name\":\"" + bad + "\",\"rx_location\":\"" + bad + "\",\"rx_antenna\":\""
            + bad + "\",\"rx_grid\":\"" + bad + "\"}";
        sendFrame(message("load_cfg=" + config));
        sendFrame(message("load_cfg=" + QUrl::toPercentEncoding(QString::fromLatin1(config))));
        sendFrame(message("load_cfg=" + QByteArray("%7B%22rx_name%22%3A%22%FF%FE%22%7D")));
        // The one text that ends the session, shown to the listener.
        QTimer::singleShot(actDelay, this, [this, bad] {
            if (isOpen())
                sendFrame(message("kiwi_kick=" + bad + "%FF%FE%C0%AF"));
        });
        break;
    }
    case RxSimHostile::deepJson: {
        // One at a time, each made just before it goes, so that the
        // server's own copies stay few.
        const auto loadCfg = [this](const std::function<QByteArray()>& json) {
            return [this, json] {
                // Sent past the backlog limit: each act must arrive.
                sendMessage(QStringLiteral("load_cfg=") + QString::fromLatin1(json().toPercentEncoding()));
            };
        };
        const std::vector<std::function<void()>> acts{
            loadCfg([] { return deepJsonArray(deepNesting); }),
            loadCfg([] { return deepJsonObject(deepNesting); }),
            loadCfg([] {
                return "{\"rx_name\":\"" + QByteArray(hugeStringBytes, 'x') + "\",\"rx_location\":"
                    + deepJsonArray(deepNesting) + "}";
            }),
            loadCfg([] { return "{\"rx_location\":\"" + QByteArray(hugeStringBytes, 'y') + "\"}"; }),
        };
        for (std::size_t i = 0; i < acts.size(); ++i)
            QTimer::singleShot(actSpacing * static_cast<int>(i), this, acts[i]);
        break;
    }
    case RxSimHostile::absurdNumbers:
        for (const QString& v : absurdNumberTexts()) {
            const QString n = kiwiPercentEncoded(v);
            sendMessage(QStringLiteral("sample_rate=%1 audio_rate=%1 bandwidth=%1 rx_chans=%1 rx_chan=%1 "
                                       "version_maj=%1 version_min=%1 audio_adpcm_state=%1,%1 chan_no_pwd=%1")
                            .arg(n));
        }
        for (const QString& v : absurdJsonNumbers()) {
            sendMessage(QStringLiteral("load_cfg=")
                        + kiwiPercentEncoded(QStringLiteral("{\"inactivity_timeout_mins\":%1}").arg(v)));
        }
        // Sound frames with every header field at its extreme, and odd payloads.
        for (const int payload : {0, 1, 3, 4095, 65537}) {
            const std::vector<std::uint8_t> bytes(static_cast<std::size_t>(payload), 0xff);
            for (const std::uint8_t flags : {std::uint8_t(0x00), std::uint8_t(0x10), std::uint8_t(0xff)})
                sendFrame(kiwiSoundFrame(flags, 0xffffffffu, 1e9, bytes));
        }
        break;
    case RxSimHostile::closeMidFrame:
        QTimer::singleShot(actDelay, this, [this] {
            if (tcp_ && isOpen()) {
                const std::vector<std::uint8_t> payload(1024, 0x11);
                writeHalfFrameAndAbort(*tcp_, kiwiSoundFrame(0x10, 0, -80, payload));
            }
        });
        break;
    case RxSimHostile::paramFlood: {
        // Made one at a time, just before each goes, so that the server's
        // own copies stay few.
        const auto flood = [this](const QString& word) {
            return [this, word] {
                if (isOpen())
                    sendMessage(word.repeated(static_cast<qsizetype>(floodMessageBytes / word.size())));
            };
        };
        QTimer::singleShot(actDelay, this, flood(QStringLiteral("a ")));
        QTimer::singleShot(actDelay + actSpacing, this, flood(QStringLiteral("x=1 ")));
        break;
    }
    case RxSimHostile::repeatedAudioRate:
        sendRepeated({QStringLiteral("audio_rate=12000")});
        break;
    case RxSimHostile::alternatingRxChan:
        sendRepeated({QStringLiteral("rx_chan=1"), QStringLiteral("rx_chan=2")});
        break;
    case RxSimHostile::markupReasons:
        QTimer::singleShot(actDelay, this, [this] {
            if (isOpen())
                sendMessage(QStringLiteral("kiwi_kick=") + kiwiPercentEncoded(QString::fromLatin1(markupReason)));
        });
        break;
    case RxSimHostile::hugeAdpcmFrame:
        QTimer::singleShot(actDelay, this, [this] {
            if (isOpen())
                sendFrame(kiwiSoundFrame(0x10, 0, -80, std::vector<std::uint8_t>(floodMessageBytes, 0x17)));
        });
        break;
    case RxSimHostile::statusHuge:
    case RxSimHostile::statusTrickle:
    case RxSimHostile::wsSilent:
    case RxSimHostile::silentAfterFirst:
    case RxSimHostile::longProfileNames:
    case RxSimHostile::alternatingZoom:
    case RxSimHostile::wideJsonArray:
    case RxSimHostile::decoderFlood:
        break;
    }
}

void HostileKiwiSoundChannel::sendRepeated(const QStringList& words)
{
    for (int n = 0; n < repeatedWords; ++n)
        sendMessage(words[n % words.size()]);
    QStringList all;
    for (int n = 0; n < repeatedWords; ++n)
        all.append(words[n % words.size()]);
    sendMessage(all.join(u' '));
}

void HostileKiwiSoundChannel::floodTick()
{
    if (!isOpen()) {
        floodTimer_.stop();
        return;
    }
    for (int n = 0; n < framesPerFloodTick && sendFrame(soundFloodFrame(floodSequence_)); ++n)
        ++floodSequence_;
}

HostileKiwiWaterfallChannel::HostileKiwiWaterfallChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                                                         const KiwiChannelContext& context, QObject* parent)
    : KiwiWaterfallChannel(std::move(socket), std::move(timestamp), context, parent)
{
    floodTimer_.setTimerType(Qt::PreciseTimer);
    connect(&floodTimer_, &QTimer::timeout, this, &HostileKiwiWaterfallChannel::floodTick);
}

void HostileKiwiWaterfallChannel::accepted()
{
    KiwiWaterfallChannel::accepted();
    switch (*context_.options.hostile) {
    case RxSimHostile::flood:
        floodTimer_.start(floodInterval);
        break;
    case RxSimHostile::truncatedTags:
        for (const QByteArray& frame : kiwiTruncatedFrames())
            sendFrame(frame);
        break;
    case RxSimHostile::invalidUtf8: {
        const QByteArray bad = invalidUtf8Text();
        for (const char* key : {"zoom_max", "zoom_cap", "wf_fps", "wf_chans", "bandwidth", "badp"})
            sendFrame(message(key + QByteArray("=") + bad));
        break;
    }
    case RxSimHostile::absurdNumbers: {
        for (const QString& v : absurdNumberTexts()) {
            sendMessage(QStringLiteral("zoom_max=%1 zoom_cap=%1 wf_fps=%1 wf_chans=%1 bandwidth=%1")
                            .arg(kiwiPercentEncoded(v)));
        }
        // Rows at impossible places and of impossible widths.
        for (const int bins : {0, 1, 1023, 1025, 100000}) {
            const std::vector<std::uint8_t> row(static_cast<std::size_t>(bins), 0xff);
            sendFrame(kiwiWaterfallFrame(0xffffffffu, 0xffff, 0xffffffffu, row));
            sendFrame(kiwiWaterfallFrame(0x7fffffffu, 31, 0, row));
        }
        break;
    }
    case RxSimHostile::alternatingZoom: {
        // The picture's zoom and place change with every row.
        const std::vector<std::uint8_t> row(binsPerRow, 145);
        for (int n = 0; n < alternatingZoomFrames; ++n)
            sendFrame(kiwiWaterfallFrame(n % 2 ? 0 : 1000, n % 2 ? 0 : 14, static_cast<std::uint32_t>(n), row));
        break;
    }
    case RxSimHostile::oversized:
    case RxSimHostile::deepJson:
    case RxSimHostile::statusHuge:
    case RxSimHostile::statusTrickle:
    case RxSimHostile::wsSilent:
    case RxSimHostile::closeMidFrame:
    case RxSimHostile::paramFlood:
    case RxSimHostile::repeatedAudioRate:
    case RxSimHostile::alternatingRxChan:
    case RxSimHostile::markupReasons:
    case RxSimHostile::silentAfterFirst:
    case RxSimHostile::hugeAdpcmFrame:
    case RxSimHostile::longProfileNames:
    case RxSimHostile::wideJsonArray:
    case RxSimHostile::decoderFlood:
        break;
    }
}

void HostileKiwiWaterfallChannel::floodTick()
{
    if (!isOpen()) {
        floodTimer_.stop();
        return;
    }
    static const std::vector<std::uint8_t> bins(binsPerRow, 145);
    for (int n = 0; n < framesPerFloodTick && sendFrame(kiwiWaterfallFrame(0, 0, floodSequence_, bins)); ++n)
        ++floodSequence_;
}

void makeStatusPageHostile(RxSimHostile hostile, HttpPage& page)
{
    switch (hostile) {
    case RxSimHostile::statusHuge:
        page.writeAnswer = [page](QTcpSocket* socket) { new HugeAnswer(socket, page); };
        break;
    case RxSimHostile::statusTrickle:
        page.writeAnswer = [page](QTcpSocket* socket) { new TrickledAnswer(socket, page); };
        break;
    case RxSimHostile::invalidUtf8: {
        // Later lines win: every text field becomes one that is not UTF-8.
        const QByteArray bad = invalidUtf8Text();
        for (const char* key : {"name", "sdr_hw", "op_email", "bands", "gps", "loc", "antenna", "grid", "gn",
                                "status", "offline", "users", "users_max", "uptime", "ext_api"})
            page.body += key + QByteArray("=") + bad + '\n';
        page.body += "sw_version=KiwiSDR_v" + bad + '\n';
        page.body += bad + "=" + bad + '\n';
        break;
    }
    case RxSimHostile::absurdNumbers: {
        const QStringList numbers = absurdNumberTexts();
        qsizetype i = 0;
        for (const char* key : {"users", "users_max", "uptime", "ext_api", "freq_offset", "asl", "tdoa_ch",
                                "fixes", "fixes_min", "fixes_hour", "adc_ov", "avatar_ctime", "snr"})
            page.body += key + QByteArray("=") + numbers.at(i++ % numbers.size()).toLatin1() + '\n';
        page.body += "users=1e400\nusers_max=99999999999999999999\nuptime=-9223372036854775809\n";
        break;
    }
    case RxSimHostile::flood:
    case RxSimHostile::oversized:
    case RxSimHostile::truncatedTags:
    case RxSimHostile::deepJson:
    case RxSimHostile::wsSilent:
    case RxSimHostile::closeMidFrame:
    case RxSimHostile::paramFlood:
    case RxSimHostile::repeatedAudioRate:
    case RxSimHostile::alternatingRxChan:
    case RxSimHostile::markupReasons:
    case RxSimHostile::silentAfterFirst:
    case RxSimHostile::hugeAdpcmFrame:
    case RxSimHostile::longProfileNames:
    case RxSimHostile::alternatingZoom:
    case RxSimHostile::wideJsonArray:
    case RxSimHostile::decoderFlood:
        break;
    }
}
