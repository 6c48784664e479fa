#include "OpenWebRXChannel.h"

#include "SimLabels.h"
#include "openwebrx/OpenWebRXModulations.h"

#include <QDateTime>
#include <QJsonDocument>

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace {

// Client messages are short; anything larger is not one.
constexpr qint64 maxIncomingMessage = 64 * 1024;
// Frames waiting for a slow client beyond this are skipped, not queued.
constexpr qint64 maxBacklogBytes = 256 * 1024;
constexpr auto closeGrace = std::chrono::seconds(5);
constexpr auto tickInterval = std::chrono::milliseconds(20);
// Half a second of audio: a stalled event loop catches up without a gap in
// the sound, as a real server's stream has none.
constexpr std::int64_t maxBlocksPerTick = 24;
constexpr std::int64_t maxRowsPerTick = 2;
constexpr std::int64_t maxFastRowsPerTick = 8;
// An "smeter" message every this many audio blocks (about 0.1 s).
constexpr std::int64_t blocksPerSMeter = 5;
// HD audio is the 12 kHz receiver's output interpolated to 48 kHz.
constexpr int hdFactor = 4;
// Plain ADPCM frames: 64 samples each from a real 1.1 server; HD audio,
// four times as many samples a second, in frames four times as long.
constexpr std::size_t plainFrameBytes = 32;
constexpr std::size_t plainHDFrameBytes = 128;
constexpr double audioRate = SimReceiver::sampleRate;

const QString channelName = QStringLiteral("OWRX");
// OpenWebRX has no per-listener path part; the log shows "-" in its place.
const QString noTimestamp = QStringLiteral("-");

std::int16_t toSample(float x)
{
    return static_cast<std::int16_t>(std::lround(std::clamp(x, -1.0f, 1.0f) * 32767.0f));
}

// A windowed FFT spreads a steady line over a few bins; so does this, in
// power, keeping the noise floor where it was. (ADPCM-coded waterfalls could
// not follow a line that fills one bin alone.)
std::vector<float> windowed(const std::vector<float>& levels)
{
    constexpr std::array<double, 5> weights{0.1, 0.2, 0.4, 0.2, 0.1};
    std::vector<double> power(levels.size());
    std::transform(levels.begin(), levels.end(), power.begin(), [](float db) { return std::pow(10.0, db / 10.0); });
    std::vector<float> out(levels.size());
    for (std::size_t i = 0; i < levels.size(); ++i) {
        double sum = 0;
        double weight = 0;
        for (std::size_t k = 0; k < weights.size(); ++k) {
            const std::size_t j = i + k;
            if (j < 2 || j - 2 >= levels.size())
                continue;
            sum += weights[k] * power[j - 2];
            weight += weights[k];
        }
        out[i] = static_cast<float>(10.0 * std::log10(sum / weight));
    }
    return out;
}

double tuningEdge(const QJsonValue& value, double fallback)
{
    return value.isDouble() && std::isfinite(value.toDouble()) ? value.toDouble() : fallback;
}

// One transmission as a message of fields, as a skimmer reports a station.
QJsonObject transmissionFields(const SimCwDecoder::Transmission& transmission, double frequencyHz)
{
    QJsonObject fields{{QStringLiteral("mode"), QStringLiteral("CW")},
        {QStringLiteral("timestamp"), QDateTime::currentMSecsSinceEpoch()},
        {QStringLiteral("db"), std::round(transmission.snrDb)}, {QStringLiteral("freq"), std::round(frequencyHz)},
        {QStringLiteral("msg"), transmission.text}, {QStringLiteral("wpm"), std::round(transmission.wordsPerMinute)}};
    const QStringList words = transmission.text.split(u' ', Qt::SkipEmptyParts);
    if (const qsizetype de = words.indexOf(QStringLiteral("DE")); de >= 0 && de + 1 < words.size())
        fields.insert(QStringLiteral("callsign"), words.at(de + 1));
    return fields;
}

} // namespace

OpenWebRXChannel::OpenWebRXChannel(std::unique_ptr<QWebSocket> socket, const OpenWebRXChannelContext& context,
                                   QObject* parent)
    : QObject(parent)
    , context_(context)
    , socket_(std::move(socket))
    , receiver_(context.band, static_cast<std::uint32_t>(reinterpret_cast<quintptr>(this)) | 1u)
{
    socket_->setMaxAllowedIncomingMessageSize(maxIncomingMessage);
    socket_->setMaxAllowedIncomingFrameSize(maxIncomingMessage);
    connect(socket_.get(), &QWebSocket::textMessageReceived, this, &OpenWebRXChannel::textReceived);
    connect(socket_.get(), &QWebSocket::disconnected, this, &OpenWebRXChannel::finished);
    // A client that left while its socket waited to be taken never says so
    // again: such a channel ends at once.
    if (socket_->state() != QAbstractSocket::ConnectedState)
        QMetaObject::invokeMethod(this, &OpenWebRXChannel::finished, Qt::QueuedConnection);
    connect(socket_.get(), &QWebSocket::bytesWritten, this,
            [this](qint64 bytes) { unwrittenBytes_ = std::max<qint64>(0, unwrittenBytes_ - bytes); });

    frameTimer_.setTimerType(Qt::PreciseTimer);
    frameTimer_.setInterval(context_.options.fast ? std::chrono::milliseconds(0) : tickInterval);
    connect(&frameTimer_, &QTimer::timeout, this, &OpenWebRXChannel::tick);

    closeGraceTimer_.setSingleShot(true);
    connect(&closeGraceTimer_, &QTimer::timeout, this, &OpenWebRXChannel::drop);

    if (context_.options.dropAfter)
        QTimer::singleShot(*context_.options.dropAfter, this, &OpenWebRXChannel::drop);
}

OpenWebRXChannel::~OpenWebRXChannel()
{
    if (slot_)
        context_.listenerSlots.release(*slot_);
    socket_->disconnect(this);
    socket_->abort();
}

void OpenWebRXChannel::close()
{
    if (closing_)
        return;
    closing_ = true;
    frameTimer_.stop();
    socket_->close(QWebSocketProtocol::CloseCodeNormal);
    closeGraceTimer_.start(closeGrace);
}

void OpenWebRXChannel::drop()
{
    closing_ = true;
    frameTimer_.stop();
    closeGraceTimer_.stop();
    socket_->abort();
    // Aborting a socket that is already gone reports nothing.
    emit finished();
}

void OpenWebRXChannel::textReceived(const QString& text)
{
    emit commandReceived(channelName, text, noTimestamp);
    if (closing_)
        return;
    if (!handshook_) {
        // Nothing counts before the handshake line.
        if (text.startsWith(QLatin1String("SERVER DE CLIENT")))
            handshake();
        return;
    }
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
    if (document.isObject())
        handleMessage(document.object(), text);
}

void OpenWebRXChannel::handshake()
{
    handshook_ = true;
    const RxSimOptions& o = context_.options;
    if (o.backoff) {
        sendText(openWebRXBackoffMessage(o.backoffReason));
        close();
        return;
    }
    slot_ = context_.listenerSlots.acquire();
    if (!slot_) {
        sendText(openWebRXBackoffMessage(QStringLiteral("Too many clients")));
        close();
        return;
    }
    // A server before 1.2 replies to the handshake line only after its first messages.
    const bool replyLast = o.openWebRXVersion == RxSimOpenWebRXVersion::v1_1;
    if (!replyLast)
        sendText(openWebRXHandshakeReply(o.openWebRXVersion));
    sendText(openWebRXGlobalConfig(o));
    sendText(openWebRXDecoderConfigMessage(QStringLiteral("secondary_fft_size"), openWebRXDecoderFFTSize));
    sendText(openWebRXReceiverDetails(context_.receiver));
    sendText(openWebRXProfilesMessage(context_.receiver));
    sendText(openWebRXFeaturesMessage());
    sendText(openWebRXModesMessage());
    sendText(openWebRXBookmarksMessage());
    sendText(openWebRXDialFrequenciesMessage());
    if (o.sdrError) {
        sendText(openWebRXSdrErrorMessage(*o.sdrError));
    } else {
        selectProfile(openWebRXProfiles().front());
        sendText(openWebRXClientsMessage(context_.listenerSlots.inUse()));
        sendText(openWebRXLoadMessage("cpuusage", 0.23));
        sendText(openWebRXLoadMessage("temperature", 47.5));
    }
    if (replyLast)
        sendText(openWebRXHandshakeReply(o.openWebRXVersion));
    if (o.sdrError)
        return;
    rowClock_.start();
    streaming_ = true;
    frameTimer_.start();
}

void OpenWebRXChannel::handleMessage(const QJsonObject& message, const QString& text)
{
    const QString type = message.value(QStringLiteral("type")).toString();
    if (!streaming_)
        return;
    if (type == QLatin1String("dspcontrol")) {
        const QJsonValue params = message.value(QStringLiteral("params"));
        if (params.isObject())
            applyDspParams(params.toObject(), text);
        if (message.value(QStringLiteral("action")).toString() == QLatin1String("start"))
            startAudio();
    } else if (type == QLatin1String("selectprofile")) {
        const QString id = message.value(QStringLiteral("params")).toObject().value(QStringLiteral("profile")).toString();
        if (const OpenWebRXProfile* profile = openWebRXProfile(id))
            selectProfile(*profile);
    }
}

void OpenWebRXChannel::applyDspParams(const QJsonObject& params, const QString& text)
{
    SimTuning t = tuning_;
    if (params.contains(QStringLiteral("offset_freq"))) {
        // A real server refuses the whole message for an offset that is not
        // a JSON integer.
        const QJsonValue offset = params.value(QStringLiteral("offset_freq"));
        if (!offset.isDouble() || !isJsonIntegerMember(text, QStringLiteral("offset_freq")))
            return;
        t.carrierHz = profile_->centerHz + static_cast<double>(offset.toInteger());
    }
    if (const QJsonValue mod = params.value(QStringLiteral("mod")); mod.isString()) {
        if (const std::optional<Mode> mode = modeForOpenWebRXModulation(mod.toString()))
            t.mode = *mode;
    }
    t.lowHz = tuningEdge(params.value(QStringLiteral("low_cut")), t.lowHz);
    t.highHz = tuningEdge(params.value(QStringLiteral("high_cut")), t.highHz);
    tuning_ = t;
    receiver_.setTuning(tuning_);
    if (params.contains(QStringLiteral("secondary_offset_freq"))
        && isJsonIntegerMember(text, QStringLiteral("secondary_offset_freq"))) {
        decoderOffsetHz_ = params.value(QStringLiteral("secondary_offset_freq")).toInteger();
        if (decoding_)
            decoding_->decoder.setFrequency(std::abs(static_cast<double>(decoderOffsetHz_)));
    }
    // One it does not know is no decoder, without a word.
    if (params.contains(QStringLiteral("secondary_mod")))
        decoderChoice_ = openWebRXSimDecoder(params.value(QStringLiteral("secondary_mod")).toString());
    runDecoder();
}

void OpenWebRXChannel::runDecoder()
{
    const bool runs = decoderChoice_
        && openWebRXSimDecoderModes(*decoderChoice_).contains(openWebRXModulation(tuning_.mode));
    if (!runs) {
        decoding_.reset();
        return;
    }
    if (decoding_ && decoding_->kind == *decoderChoice_)
        return;
    decoding_.emplace();
    decoding_->kind = *decoderChoice_;
    decoding_->decoder.setFrequency(std::abs(static_cast<double>(decoderOffsetHz_)));
    decoding_->spectrumClock.start();
    sendText(openWebRXDecoderConfigMessage(QStringLiteral("if_samp_rate"), openWebRXDecoderRate));
    sendText(openWebRXDecoderConfigMessage(QStringLiteral("secondary_bw"), openWebRXCwBandwidth));
}

void OpenWebRXChannel::decode(std::span<const float> audio)
{
    const QString text = decoding_->decoder.feed(audio);
    if (decoding_->kind == OpenWebRXSimDecoder::text) {
        if (!text.isEmpty())
            sendText(openWebRXDecodedTextMessage(text));
        return;
    }
    const std::optional<SimCwDecoder::Transmission> transmission = decoding_->decoder.takeTransmission();
    if (transmission && !transmission->text.isEmpty()) {
        const double frequencyHz = tuning_.carrierHz + static_cast<double>(decoderOffsetHz_);
        sendText(openWebRXDecodedObjectMessage(transmissionFields(*transmission, frequencyHz)));
    }
}

void OpenWebRXChannel::sendDecoderSpectrum()
{
    std::vector<float> levels(openWebRXDecoderFFTSize);
    const double t = static_cast<double>(context_.bandClock.elapsed()) / 1000.0;
    context_.band.levels(tuning_.carrierHz - openWebRXDecoderRate / 2, openWebRXDecoderRate / openWebRXDecoderFFTSize,
        t, noiseState_, levels);
    levels = windowed(levels);
    const std::vector<std::uint8_t> payload = context_.options.waterfallFormat == RxSimWaterfallFormat::adpcm
        ? openWebRXCompressedWaterfall(levels)
        : openWebRXFloatWaterfall(levels);
    sendFrame(openWebRXFrame(OpenWebRXFrameType::decoderSpectrum, payload));
}

void OpenWebRXChannel::selectProfile(const OpenWebRXProfile& profile)
{
    profile_ = &profile;
    const Mode mode = modeForOpenWebRXModulation(profile.startMod).value_or(Mode::am);
    const Passband passband = defaultPassband(mode);
    const double startHz = profile.absoluteStart ? profile.startHz : profile.centerHz + profile.startHz;
    tuning_ = {mode, static_cast<double>(passband.low), static_cast<double>(passband.high), startHz};
    receiver_.setTuning(tuning_);
    runDecoder();
    sendText(openWebRXProfileConfig(profile));
}

void OpenWebRXChannel::startAudio()
{
    if (audioStarted_)
        return;
    audioStarted_ = true;
    audioStartSeconds_ = static_cast<double>(context_.bandClock.elapsed()) / 1000.0;
    audioClock_.start();
}

void OpenWebRXChannel::tick()
{
    if (closing_) {
        frameTimer_.stop();
        return;
    }
    if (context_.options.fast) {
        for (std::int64_t n = 0; n < maxFastRowsPerTick && sendRow(); ++n) {
        }
    } else {
        const double rowsPerMs = context_.options.waterfallFPS / 1000.0;
        const auto due = static_cast<std::int64_t>(static_cast<double>(rowClock_.elapsed()) * rowsPerMs);
        for (std::int64_t n = 0; n < maxRowsPerTick && rowsDone_ < due; ++n, ++rowsDone_)
            sendRow();
        rowsDone_ = std::max(rowsDone_, due - maxRowsPerTick);
    }
    if (decoding_) {
        const double rowsPerMs = context_.options.waterfallFPS / 1000.0;
        const auto due = static_cast<std::int64_t>(static_cast<double>(decoding_->spectrumClock.elapsed()) * rowsPerMs);
        std::int64_t& done = decoding_->spectrumRowsDone;
        for (std::int64_t n = 0; n < maxRowsPerTick && done < due; ++n, ++done)
            sendDecoderSpectrum();
        done = std::max(done, due - maxRowsPerTick);
    }

    if (!audioStarted_)
        return;
    constexpr double blocksPerMs = audioRate / (1000.0 * blockSamples);
    const auto due = static_cast<std::int64_t>(static_cast<double>(audioClock_.elapsed()) * blocksPerMs);
    for (std::int64_t n = 0; n < maxBlocksPerTick && blocksDone_ < due; ++n, ++blocksDone_) {
        sendAudioBlock(audioStartSeconds_ + static_cast<double>(blocksDone_) * blockSamples / audioRate);
        if ((blocksDone_ + 1) % blocksPerSMeter == 0)
            sendText(openWebRXSMeterMessage(std::pow(10.0, receiver_.signalDbm() / 10.0)));
    }
    blocksDone_ = std::max(blocksDone_, due - maxBlocksPerTick);
}

bool OpenWebRXChannel::sendRow()
{
    if (hasBacklog())
        return false;
    std::vector<float> levels(openWebRXFFTSize);
    const double binHz = profile_->sampleRateHz / openWebRXFFTSize;
    const double t = static_cast<double>(context_.bandClock.elapsed()) / 1000.0;
    context_.band.levels(profile_->centerHz - profile_->sampleRateHz / 2, binHz, t, noiseState_, levels);
    levels = windowed(levels);
    const std::vector<std::uint8_t> payload = context_.options.waterfallFormat == RxSimWaterfallFormat::adpcm
        ? openWebRXCompressedWaterfall(levels)
        : openWebRXFloatWaterfall(levels);
    return sendFrame(openWebRXFrame(OpenWebRXFrameType::waterfall, payload));
}

void OpenWebRXChannel::sendAudioBlock(double bandSeconds)
{
    // A block the client cannot take now is not made at all, so that the
    // ADPCM state on both sides stays the same.
    if (hasBacklog())
        return;
    std::vector<float> audio(blockSamples);
    receiver_.render(bandSeconds, audio);
    if (decoding_)
        decode(audio);
    const bool hd = context_.options.hdAudio;
    std::vector<std::int16_t> samples;
    samples.reserve(audio.size() * (hd ? hdFactor : 1));
    for (std::size_t i = 0; i < audio.size(); ++i) {
        if (!hd) {
            samples.push_back(toSample(audio[i]));
            continue;
        }
        const float next = i + 1 < audio.size() ? audio[i + 1] : audio[i];
        for (int k = 0; k < hdFactor; ++k)
            samples.push_back(toSample(audio[i] + (next - audio[i]) * static_cast<float>(k) / hdFactor));
    }
    const OpenWebRXFrameType type = hd ? OpenWebRXFrameType::hdAudio : OpenWebRXFrameType::audio;
    if (context_.options.audio == RxSimAudio::pcm16) {
        sendFrame(openWebRXFrame(type, openWebRXPcm16(samples)));
    } else if (context_.options.openWebRXVersion == RxSimOpenWebRXVersion::v1_1) {
        sendPlainAudio(type, plainEncoder_.encode(samples));
    } else {
        sendAudioBytes(encoder_.encode(samples));
    }
}

// One plain stream in frames of equal length, as a server before 1.2 sends it.
void OpenWebRXChannel::sendPlainAudio(OpenWebRXFrameType type, std::span<const std::uint8_t> bytes)
{
    const std::size_t frameBytes = type == OpenWebRXFrameType::hdAudio ? plainHDFrameBytes : plainFrameBytes;
    for (std::size_t from = 0; from < bytes.size(); from += frameBytes) {
        // Bypasses the backlog check: a skipped piece would break the stream.
        const QByteArray frame = openWebRXFrame(type, bytes.subspan(from, std::min(frameBytes, bytes.size() - from)));
        unwrittenBytes_ += frame.size();
        socket_->sendBinaryMessage(frame);
    }
}

// Messages of varying length: every other state block, the first among them,
// is cut after 1 to 7 of its bytes, and every other message is split once more.
void OpenWebRXChannel::sendAudioBytes(const OpenWebRXAudioEncoder::Encoded& encoded)
{
    const std::size_t size = encoded.bytes.size();
    std::vector<std::size_t> cuts;
    for (const std::size_t offset : encoded.syncOffsets) {
        if (syncBlocksSent_++ % 2 == 0)
            cuts.push_back(offset + 1 + static_cast<std::size_t>((syncBlocksSent_ / 2) % 7));
    }
    if (audioMessagesSent_ % 2 == 1)
        cuts.push_back(size * static_cast<std::size_t>(1 + audioMessagesSent_ % 3) / 4);
    cuts.push_back(size);
    std::sort(cuts.begin(), cuts.end());
    const OpenWebRXFrameType type = context_.options.hdAudio ? OpenWebRXFrameType::hdAudio
                                                             : OpenWebRXFrameType::audio;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
        if (cut <= from || cut > size)
            continue;
        // Bypasses the backlog check: a skipped piece would break the stream.
        const QByteArray frame = openWebRXFrame(type, std::span(encoded.bytes).subspan(from, cut - from));
        unwrittenBytes_ += frame.size();
        socket_->sendBinaryMessage(frame);
        from = cut;
    }
    ++audioMessagesSent_;
}

void OpenWebRXChannel::sendText(const QString& text)
{
    if (closing_)
        return;
    unwrittenBytes_ += text.size();
    socket_->sendTextMessage(text);
}

bool OpenWebRXChannel::hasBacklog() const
{
    return unwrittenBytes_ > maxBacklogBytes;
}

bool OpenWebRXChannel::sendFrame(const QByteArray& frame)
{
    if (closing_ || hasBacklog())
        return false;
    unwrittenBytes_ += frame.size();
    socket_->sendBinaryMessage(frame);
    return true;
}
