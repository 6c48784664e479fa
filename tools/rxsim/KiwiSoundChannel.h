#pragma once
// The sound channel ("SND") of the stand-in KiwiSDR. Announces the sample
// rate at once, answers auth with the receiver's parameters or a refusal,
// and streams one 2048-sample frame every 2048/12000 s once the client has
// sent its tuning, its AGC settings and the audio-rate acknowledgement, like
// a real receiver that withholds audio until then. Also plays out the timed
// misbehaviours (too_busy, kick, inactivity, drop).

#include "ImaAdpcmEncoder.h"
#include "KiwiChannel.h"
#include "SimReceiver.h"

#include <cstdint>
#include <optional>

class KiwiSoundChannel : public KiwiChannel {
    Q_OBJECT

public:
    static constexpr int samplesPerFrame = 2048;
    // What a real receiver's clock gives: never exactly 12000.
    static constexpr double announcedSampleRate = 12001.188119;

    KiwiSoundChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                     const KiwiChannelContext& context, QObject* parent);
    ~KiwiSoundChannel() override;

    QString channelName() const override { return QStringLiteral("SND"); }

protected:
    std::optional<QString> refusal() override;
    void accepted() override;
    void handleCommand(const KiwiCommand& command) override;

private:
    void tick();
    void sendAudioFrame(double bandSeconds);
    void scheduleLimit(RxSimOptions::Duration delay, QString parameters);

    SimReceiver receiver_;
    ImaAdpcmEncoder encoder_;
    std::optional<int> slot_;
    QTimer frameTimer_;
    QElapsedTimer audioClock_;
    double audioStartSeconds_ = 0;
    std::int64_t framesDone_ = 0;
    std::uint32_t sequence_ = 0;
    bool haveTuning_ = false;
    bool haveGain_ = false;
    bool haveRateAck_ = false;
    bool announcedAdpcmState_ = false;
};
