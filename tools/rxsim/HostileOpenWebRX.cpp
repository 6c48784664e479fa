#include "HostileOpenWebRX.h"

#include "HostilePace.h"
#include "HostileSocket.h"
#include "HostileWire.h"
#include "OpenWebRXPages.h"

#include <functional>
#include <vector>

namespace {

QByteArray typed(const char* type, const QByteArray& value)
{
    return "{\"type\":\"" + QByteArray(type) + "\",\"value\":" + value + "}";
}

QByteArray floodFrame(bool audio)
{
    // A flat waterfall line and a block of ADPCM silence.
    static const QByteArray row = [] {
        const std::vector<float> levels(openWebRXFFTSize, -100.0f);
        return openWebRXFrame(OpenWebRXFrameType::waterfall, openWebRXCompressedWaterfall(levels));
    }();
    static const QByteArray block = [] {
        const std::vector<std::uint8_t> silence(512, 0);
        return openWebRXFrame(OpenWebRXFrameType::audio, silence);
    }();
    return audio ? block : row;
}

} // namespace

HostileOpenWebRXChannel::HostileOpenWebRXChannel(std::unique_ptr<QWebSocket> socket, QPointer<QTcpSocket> tcp,
                                                 const OpenWebRXChannelContext& context, QObject* parent)
    : OpenWebRXChannel(std::move(socket), context, parent)
    , tcp_(std::move(tcp))
{
    floodTimer_.setTimerType(Qt::PreciseTimer);
    connect(&floodTimer_, &QTimer::timeout, this, &HostileOpenWebRXChannel::floodTick);
}

void HostileOpenWebRXChannel::handshake()
{
    if (*context_.options.hostile == RxSimHostile::markupReasons) {
        sendText(openWebRXBackoffMessage(QString::fromLatin1(markupReason)));
        close();
        return;
    }
    OpenWebRXChannel::handshake();
    if (!isOpen())
        return;
    switch (*context_.options.hostile) {
    case RxSimHostile::flood:
        floodTimer_.start(floodInterval);
        break;
    case RxSimHostile::decoderFlood:
        disconnect(&floodTimer_, nullptr, this, nullptr);
        connect(&floodTimer_, &QTimer::timeout, this, &HostileOpenWebRXChannel::decoderFloodTick);
        floodTimer_.start(floodInterval);
        break;
    case RxSimHostile::oversized:
        QTimer::singleShot(actDelay, this, [this] {
            if (tcp_ && isOpen())
                writeOversizedFrame(*tcp_, QByteArrayLiteral("\x01"));
        });
        break;
    case RxSimHostile::invalidUtf8:
        sendInvalidText();
        break;
    case RxSimHostile::deepJson:
        sendDeepJson();
        break;
    case RxSimHostile::absurdNumbers:
        sendAbsurdNumbers();
        break;
    case RxSimHostile::closeMidFrame:
        QTimer::singleShot(actDelay, this, [this] {
            if (tcp_ && isOpen())
                writeHalfFrameAndAbort(*tcp_, floodFrame(false));
        });
        break;
    case RxSimHostile::hugeAdpcmFrame:
        QTimer::singleShot(actDelay, this, [this] {
            if (isOpen())
                sendFrame(openWebRXFrame(OpenWebRXFrameType::audio, std::vector<std::uint8_t>(floodMessageBytes, 0x17)));
        });
        break;
    case RxSimHostile::longProfileNames: {
        QByteArray profiles = "[";
        for (int n = 0; n < longProfileCount; ++n) {
            profiles += (n ? ",{\"id\":\"rxsim|" : "{\"id\":\"rxsim|") + QByteArray::number(n) + "\",\"name\":\""
                + QByteArray(longProfileNameLength, 'W') + "\"}";
        }
        sendText(QString::fromLatin1(typed("profiles", profiles + ']')));
        break;
    }
    case RxSimHostile::wideJsonArray: {
        // Made one at a time, just before each goes.
        const auto wide = [this](const char* type) {
            return [this, type] {
                if (!isOpen())
                    return;
                QByteArray zeros = QByteArrayLiteral("0,").repeated(floodMessageBytes / 2 - 64);
                zeros.chop(1);
                sendText(QString::fromLatin1(type ? typed(type, '[' + zeros + ']') : '[' + zeros + ']'));
            };
        };
        QTimer::singleShot(actDelay, this, wide(nullptr));
        QTimer::singleShot(actDelay + actSpacing, this, wide("profiles"));
        QTimer::singleShot(actDelay + 2 * actSpacing, this, wide("modes"));
        break;
    }
    case RxSimHostile::truncatedTags:
    case RxSimHostile::statusHuge:
    case RxSimHostile::statusTrickle:
    case RxSimHostile::wsSilent:
    case RxSimHostile::paramFlood:
    case RxSimHostile::repeatedAudioRate:
    case RxSimHostile::alternatingRxChan:
    case RxSimHostile::markupReasons:
    case RxSimHostile::silentAfterFirst:
    case RxSimHostile::alternatingZoom:
        break;
    }
}

void HostileOpenWebRXChannel::sendBytes(const QByteArray& bytes)
{
    sendFrame(bytes);
}

void HostileOpenWebRXChannel::floodTick()
{
    if (!isOpen()) {
        floodTimer_.stop();
        return;
    }
    for (int n = 0; n < framesPerFloodTick && sendFrame(floodFrame(n % 2 == 1)); ++n) {
    }
}

void HostileOpenWebRXChannel::decoderFloodTick()
{
    if (!isOpen()) {
        floodTimer_.stop();
        return;
    }
    // Text with control characters and markup, and now and then a message
    // with absurd fields, as far as the client takes them.
    for (int n = 0; n < decodesPerFloodTick && !hasBacklog(); ++n, ++decodesSent_) {
        if (decodesSent_ % 10 == 9) {
            sendText(QStringLiteral(
                R"({"type":"secondary_demod","value":{"mode":"FT8","timestamp":%1,"db":1e308,"dt":"<b>x</b>",)"
                R"("freq":-1e300,"msg":"CQ <i>DL%1</i>\u0007","callsign":"<a href=x>DL1</a>","n":[[[%1]]]}})")
                         .arg(decodesSent_));
        } else {
            sendText(QStringLiteral(R"({"type":"secondary_demod","value":"CQ <b>%1</b>\u001b[2J\r\n"})")
                         .arg(decodesSent_));
        }
    }
}

void HostileOpenWebRXChannel::sendInvalidText()
{
    // JSON can carry no bytes that are not UTF-8 in a text message, but it
    // can carry lone surrogates; binary messages carry the bytes themselves.
    for (const QByteArray& bad : {QByteArray("\\ud800x\\udfff"), invalidUtf8Text()}) {
        const QByteArray s = '"' + bad + '"';
        const QList<QByteArray> messages{
            typed("receiver_details",
                  "{\"receiver_name\":" + s + ",\"receiver_location\":" + s + ",\"locator\":" + s
                      + ",\"photo_title\":" + s + ",\"receiver_admin\":" + s + "}"),
            typed("profiles", "[{\"id\":" + s + ",\"name\":" + s + "},{\"id\":\"rxsim|" + bad + "\",\"name\":1}]"),
            typed("modes", "[{\"modulation\":" + s + ",\"name\":" + s + ",\"type\":\"analog\"},{\"modulation\":\"am\","
                           "\"name\":" + s + ",\"type\":" + s + "}]"),
            typed("config", "{\"sdr_id\":" + s + ",\"profile_id\":" + s + ",\"start_mod\":" + s
                                + ",\"audio_compression\":" + s + ",\"fft_compression\":" + s + "}"),
            "{\"type\":" + s + ",\"value\":" + s + "}",
            "{" + s + ":" + s + "}",
        };
        for (const QByteArray& m : messages) {
            if (bad.startsWith('\\'))
                sendText(QString::fromLatin1(m));
            else
                sendBytes(m);
        }
    }
    // Then a text message that is not UTF-8, which a client must refuse.
    QTimer::singleShot(actDelay, this, [this] {
        if (tcp_ && isOpen())
            writeInvalidTextFrame(*tcp_, typed("receiver_details", "{\"receiver_name\":\"" + invalidUtf8Text() + "\"}"));
    });
}

void HostileOpenWebRXChannel::sendDeepJson()
{
    // One at a time, each made just before it goes, so that the server's own
    // copies stay few; every one stays within the 16 MiB a client takes.
    const auto text = [this](const std::function<QByteArray()>& json) {
        return [this, json] {
            if (isOpen())
                sendText(QString::fromLatin1(json()));
        };
    };
    const auto huge = [] { return QByteArray(hugeStringBytes, 'x'); };
    const std::vector<std::function<void()>> acts{
        text([] { return deepJsonArray(deepNesting); }),
        text([] { return deepJsonObject(deepNesting); }),
        text([] { return typed("config", "{\"center_freq\":" + deepJsonArray(deepNesting) + "}"); }),
        text([] { return typed("profiles", deepJsonArray(deepNesting)); }),
        text([] { return typed("receiver_details", deepJsonObject(deepNesting)); }),
        text([huge] { return typed("receiver_details", "{\"receiver_name\":\"" + huge() + "\"}"); }),
        text([huge] { return typed("profiles", "[{\"id\":\"rxsim|" + huge() + "\",\"name\":\"n\"}]"); }),
        text([huge] { return typed("profiles", "[{\"id\":\"rxsim|huge\",\"name\":\"" + huge() + "\"}]"); }),
    };
    for (std::size_t i = 0; i < acts.size(); ++i)
        QTimer::singleShot(actSpacing * static_cast<int>(i), this, acts[i]);
}

void HostileOpenWebRXChannel::sendAbsurdNumbers()
{
    for (const QString& v : absurdJsonNumbers()) {
        const QByteArray n = v.toLatin1();
        sendText(QString::fromLatin1(typed(
            "config", "{\"center_freq\":" + n + ",\"samp_rate\":" + n + ",\"fft_size\":" + n + ",\"fft_fps\":" + n
                          + ",\"max_clients\":" + n + ",\"start_freq\":" + n + ",\"start_offset_freq\":" + n
                          + ",\"audio_compression\":\"adpcm\",\"sdr_id\":\"rxsim\",\"profile_id\":\"40m\"}")));
        sendText(QString::fromLatin1(typed("smeter", n)));
        sendText(QString::fromLatin1(typed("clients", n)));
        sendText(QString::fromLatin1(typed("cpuusage", n)));
        sendText(QString::fromLatin1(typed("temperature", n)));
        sendText(QString::fromLatin1(
            typed("receiver_details", "{\"receiver_gps\":{\"lat\":" + n + ",\"lon\":" + n + "},\"receiver_asl\":" + n + "}")));
    }
    // Beyond any double: a reader may take these for infinity.
    sendText(QStringLiteral(R"({"type":"config","value":{"center_freq":1e400,"samp_rate":-1e400,"fft_size":1e400}})"));
    sendText(QStringLiteral(R"({"type":"smeter","value":1e400})"));
}
