#include "KiwiSoundChannel.h"

#include "SimLabels.h"

#include "model/StrictInteger.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int audioRate = SimReceiver::sampleRate;
constexpr auto tickInterval = std::chrono::milliseconds(20);
// After a stall, catch up by at most this many frames; the rest is skipped.
constexpr std::int64_t maxFramesPerTick = 3;

std::optional<std::int64_t> integerValue(const KiwiCommand& command, QStringView key)
{
    const std::optional<QString> value = command.value(key);
    return value ? parseStrictInteger(*value) : std::nullopt;
}

} // namespace

KiwiSoundChannel::KiwiSoundChannel(std::unique_ptr<QWebSocket> socket, QString timestamp,
                                   const KiwiChannelContext& context, QObject* parent)
    : KiwiChannel(std::move(socket), std::move(timestamp), context, parent)
    , receiver_(context.band, static_cast<std::uint32_t>(qHash(this->timestamp())) | 1u)
{
    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(tickInterval);
    connect(&frameTimer_, &QTimer::timeout, this, &KiwiSoundChannel::tick);

    if (context_.options.dropAfter) {
        QTimer::singleShot(*context_.options.dropAfter, this,
                           [this] { emit listenerDropped(this->timestamp()); });
    }

    sendMessage(QStringLiteral("audio_init=0 audio_rate=%1").arg(audioRate));
    sendMessage(QStringLiteral("sample_rate=%1").arg(announcedSampleRate, 0, 'f', 6));
}

KiwiSoundChannel::~KiwiSoundChannel()
{
    if (slot_)
        context_.soundSlots.release(*slot_);
}

std::optional<QString> KiwiSoundChannel::refusal()
{
    const RxSimOptions& o = context_.options;
    if (o.badp)
        return QStringLiteral("badp=") + *o.badp;
    if (o.tooBusy)
        return QStringLiteral("too_busy=%1").arg(*o.tooBusy);
    if (o.redirect)
        return QStringLiteral("redirect=") + kiwiPercentEncoded(*o.redirect);
    if (o.down)
        return QStringLiteral("down");
    if (o.monitor)
        return QStringLiteral("monitor");
    if (o.ipLimit)
        return QStringLiteral("ip_limit=1440,") + peerAddress();
    if (o.exclusiveUse)
        return QStringLiteral("exclusive_use");
    slot_ = context_.soundSlots.acquire();
    if (!slot_)
        return QStringLiteral("too_busy=%1").arg(context_.soundSlots.count());
    return std::nullopt;
}

void KiwiSoundChannel::accepted()
{
    const SimReceiverDescription& rx = context_.receiver;
    const RxSimOptions& o = context_.options;
    sendMessage(QStringLiteral("rx_chans=%1").arg(context_.soundSlots.count()));
    sendMessage(QStringLiteral("chan_no_pwd=%1").arg(context_.soundSlots.count()));
    sendMessage(QStringLiteral("badp=0"));
    sendMessage(QStringLiteral("version_maj=%1 version_min=%2").arg(rx.versionMajor).arg(rx.versionMinor));
    sendMessage(QStringLiteral("bandwidth=%1").arg(static_cast<qint64>(SimBand::bandwidthHz)));
    sendMessage(QStringLiteral("client_public_ip=") + peerAddress());
    sendMessage(QStringLiteral("rx_chan=%1").arg(slot_.value_or(0)));
    sendMessage(QStringLiteral("load_cfg=") + kiwiPercentEncoded(kiwiConfigJson(rx, o.inactivityTimeout)));
    sendMessage(QStringLiteral("load_dxcfg=") + kiwiPercentEncoded(kiwiDxConfigJson()));

    if (o.tooBusyAfter)
        scheduleLimit(o.tooBusyDelay, QStringLiteral("too_busy=%1").arg(*o.tooBusyAfter));
    if (o.kick)
        scheduleLimit(o.kickAfter, QStringLiteral("kiwi_kick=") + kiwiPercentEncoded(*o.kick));
    if (o.inactivityTimeout)
        scheduleLimit(o.inactivityDelay, QStringLiteral("inactivity_timeout=%1").arg(*o.inactivityTimeout));

    audioStartSeconds_ = static_cast<double>(context_.bandClock.elapsed()) / 1000.0;
    audioClock_.start();
    frameTimer_.start();
}

void KiwiSoundChannel::scheduleLimit(RxSimOptions::Duration delay, QString parameters)
{
    QTimer::singleShot(delay, this, [this, parameters] {
        if (isOpen())
            endListenerWith(parameters);
    });
}

void KiwiSoundChannel::handleCommand(const KiwiCommand& command)
{
    if (const std::optional<QString> modeText = command.value(u"mod")) {
        const std::optional<Mode> mode = modeFromRawValue(*modeText);
        const std::optional<double> low = parseFiniteNumber(command.value(u"low_cut"));
        const std::optional<double> high = parseFiniteNumber(command.value(u"high_cut"));
        const std::optional<double> freqKHz = parseFiniteNumber(command.value(u"freq"));
        if (mode && low && high && freqKHz) {
            const double carrierHz = std::clamp(*freqKHz * 1000.0, 0.0, SimBand::bandwidthHz);
            receiver_.setTuning({*mode, *low, *high, carrierHz});
            haveTuning_ = true;
        }
        return;
    }
    if (command.has(u"agc")) {
        const auto agc = integerValue(command, u"agc");
        const auto hang = integerValue(command, u"hang");
        const auto thresh = integerValue(command, u"thresh");
        const auto slope = integerValue(command, u"slope");
        const auto decay = integerValue(command, u"decay");
        const auto manGain = integerValue(command, u"manGain");
        if (agc && hang && thresh && slope && decay && manGain) {
            // SimReceiver clamps the values; the casts only narrow what
            // parseStrictInteger already bounded to 64 bits.
            receiver_.setGain({*agc != 0, static_cast<double>(*manGain), static_cast<double>(*thresh),
                               static_cast<double>(*decay)});
            haveGain_ = true;
        }
        return;
    }
    if (command.has(u"AR") && command.has(u"OK")) {
        if (integerValue(command, u"in") && integerValue(command, u"out"))
            haveRateAck_ = true;
    }
}

void KiwiSoundChannel::tick()
{
    if (!isOpen()) {
        frameTimer_.stop();
        return;
    }
    constexpr double framesPerMs = audioRate / (1000.0 * samplesPerFrame);
    const auto due = static_cast<std::int64_t>(static_cast<double>(audioClock_.elapsed()) * framesPerMs);
    if (!(haveTuning_ && haveGain_ && haveRateAck_)) {
        framesDone_ = due;
        return;
    }
    for (std::int64_t n = 0; n < maxFramesPerTick && framesDone_ < due; ++n, ++framesDone_) {
        sendAudioFrame(audioStartSeconds_
                       + static_cast<double>(framesDone_) * samplesPerFrame / audioRate);
    }
    framesDone_ = std::max(framesDone_, due - maxFramesPerTick);
}

void KiwiSoundChannel::sendAudioFrame(double bandSeconds)
{
    // A frame the client cannot take now is not made at all, so that the
    // ADPCM state on both sides stays the same.
    if (hasBacklog())
        return;
    std::vector<float> audio(samplesPerFrame);
    receiver_.render(bandSeconds, audio);
    std::vector<std::int16_t> samples(audio.size());
    std::transform(audio.begin(), audio.end(), samples.begin(), [](float x) {
        return static_cast<std::int16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
    });

    std::vector<std::uint8_t> payload;
    std::uint8_t flags = 0;
    if (context_.options.audio == RxSimAudio::adpcm) {
        if (!announcedAdpcmState_) {
            sendMessage(QStringLiteral("audio_adpcm_state=%1,%2").arg(encoder_.index).arg(encoder_.previous));
            announcedAdpcmState_ = true;
        }
        flags = 0x10;
        payload = encoder_.encode(samples);
    } else {
        payload.reserve(samples.size() * 2);
        for (const std::int16_t s : samples) {
            const auto u = static_cast<std::uint16_t>(s);
            payload.push_back(static_cast<std::uint8_t>(u >> 8));
            payload.push_back(static_cast<std::uint8_t>(u & 0xff));
        }
    }
    if (sendFrame(kiwiSoundFrame(flags, sequence_, receiver_.signalDbm(), payload)))
        ++sequence_;
}
