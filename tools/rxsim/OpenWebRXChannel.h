#pragma once
// One listener's socket (/ws/) on the stand-in OpenWebRX server. Answers the
// handshake line, then sends the global config, the receiver details, the
// profiles, the modes, the band of the current profile and the client count,
// and streams waterfall frames at once; audio and "smeter" follow only after
// {"type":"dspcontrol","action":"start"}, like a real server. Audio is the
// synthetic band demodulated at the tuned offset, mode and passband; ADPCM
// audio is cut into messages so that some state blocks straddle two, or, as
// a 1.1 server, is one plain stream in short frames. A decoder chosen with
// "secondary_mod" runs on the listener's sound while the mode is one of its
// own, sending what it decodes and, at the waterfall's rate, the spectrum of
// its channel.

#include "ChannelSlots.h"
#include "KiwiPages.h"
#include "OpenWebRXPages.h"
#include "OpenWebRXWire.h"
#include "RxSimOptions.h"
#include "SimBand.h"
#include "SimCwDecoder.h"
#include "SimReceiver.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QObject>
#include <QTimer>
#include <QWebSocket>

#include <cstdint>
#include <memory>
#include <optional>
#include <span>

struct OpenWebRXChannelContext {
    const RxSimOptions& options;
    const SimBand& band;
    const SimReceiverDescription& receiver;
    const QElapsedTimer& bandClock;
    // One per listener; "max_clients" is their number.
    ChannelSlots& listenerSlots;
};

class OpenWebRXChannel : public QObject {
    Q_OBJECT

public:
    static constexpr int blockSamples = 256;

    OpenWebRXChannel(std::unique_ptr<QWebSocket> socket, const OpenWebRXChannelContext& context,
                     QObject* parent);
    ~OpenWebRXChannel() override;

    // Close frame with code 1000; the peer gets a few seconds to answer.
    void close();
    // The TCP connection goes away without a close frame.
    void drop();

signals:
    void commandReceived(const QString& channel, const QString& text, const QString& timestamp);
    // The socket is gone; the owner deletes the channel.
    void finished();

protected:
    // Answers the handshake line; a hostile server does more afterwards.
    virtual void handshake();
    void sendText(const QString& text);
    // False when the channel is closing or the client is too far behind.
    bool sendFrame(const QByteArray& frame);
    bool isOpen() const { return !closing_; }
    bool hasBacklog() const;

    const OpenWebRXChannelContext& context_;

private:
    void textReceived(const QString& text);
    void handleMessage(const QJsonObject& message, const QString& text);
    void applyDspParams(const QJsonObject& params, const QString& text);
    void selectProfile(const OpenWebRXProfile& profile);
    void startAudio();
    void tick();
    bool sendRow();
    void sendAudioBlock(double bandSeconds);
    void sendAudioBytes(const OpenWebRXAudioEncoder::Encoded& encoded);
    void sendPlainAudio(OpenWebRXFrameType type, std::span<const std::uint8_t> bytes);
    // Starts, keeps or ends the decoder as the choice and the mode say.
    void runDecoder();
    void decode(std::span<const float> audio);
    void sendDecoderSpectrum();

    std::unique_ptr<QWebSocket> socket_;
    SimReceiver receiver_;
    OpenWebRXAudioEncoder encoder_;
    // The 1.1 form's stream: one coder state from the first sample on.
    ImaAdpcmEncoder plainEncoder_;
    const OpenWebRXProfile* profile_ = nullptr;
    SimTuning tuning_;
    std::optional<int> slot_;
    // The decoder chosen, where it listens from the carrier, and the one
    // running.
    struct Decoding {
        OpenWebRXSimDecoder kind;
        SimCwDecoder decoder{SimReceiver::sampleRate};
        QElapsedTimer spectrumClock;
        std::int64_t spectrumRowsDone = 0;
    };
    std::optional<OpenWebRXSimDecoder> decoderChoice_;
    std::int64_t decoderOffsetHz_ = 0;
    std::optional<Decoding> decoding_;
    QTimer frameTimer_;
    QTimer closeGraceTimer_;
    QElapsedTimer rowClock_;
    QElapsedTimer audioClock_;
    double audioStartSeconds_ = 0;
    std::int64_t rowsDone_ = 0;
    std::int64_t blocksDone_ = 0;
    std::int64_t syncBlocksSent_ = 0;
    std::int64_t audioMessagesSent_ = 0;
    std::uint32_t noiseState_ = 0x2545f491u;
    bool handshook_ = false;
    bool streaming_ = false;
    bool audioStarted_ = false;
    bool closing_ = false;
    qint64 unwrittenBytes_ = 0;
};
