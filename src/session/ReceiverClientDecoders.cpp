// The receiver's decoders: choosing one and the mode it runs on, where in
// the passband it listens, what it sends, and how a mode change or a new
// connection carries it on or ends it.
#include "session/ReceiverClient.h"

#include "model/ScaleLabels.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>
#include <utility>

namespace {

// "USB", "USB or LSB", "USB, LSB or FM".
QString modeNames(const QList<DecoderUnderlying>& modes)
{
    QStringList names;
    for (const DecoderUnderlying& underlying : modes)
        names.append(rawValue(underlying.mode).toUpper());
    if (names.size() < 2)
        return names.join(QString());
    const QString last = names.takeLast();
    return QCoreApplication::translate("ReceiverClient", "%1 or %2").arg(names.join(QStringLiteral(", ")), last);
}

} // namespace

void ReceiverClient::chooseDecoder(const QString& nameOrModulation, std::optional<Mode> underlying)
{
    const Operation operation(*this);
    if (m_values.features.decoders && !(m_decodersNamed && m_bandKnown)) {
        m_decoderRequest = DecoderRequest{nameOrModulation, underlying};
        return;
    }
    const ReceiverDecoder* decoder = findDecoder(m_values.decoders, nameOrModulation);
    if (!decoder) {
        publish<P::decoderError>(
            tr("The receiver offers no decoder named \u201c%1\u201d.").arg(plainLabelName(nameOrModulation)));
        return;
    }
    if (const std::optional<QString> reason = decoderUnavailableReason(*decoder)) {
        publish<P::decoderError>(tr("\u201c%1\u201d cannot run here. %2").arg(decoder->name, *reason));
        return;
    }
    const std::optional<DecoderUnderlying> runsOn = decoderUnderlying(*decoder, underlying, m_values.mode);
    if (!runsOn) {
        publish<P::decoderError>(
            tr("\u201c%1\u201d runs only on %2.").arg(decoder->name, modeNames(decoder->underlying)));
        return;
    }
    publish<P::decoderError>(std::nullopt);
    startDecoder(*decoder, *runsOn, m_values.decoder ? m_values.decoder->offsetHz : defaultDecoderOffsetHz);
}

void ReceiverClient::stopDecoder()
{
    const Operation operation(*this);
    if (!m_values.decoder)
        return;
    publish<P::decoder>(std::nullopt);
    if (m_connection)
        m_connection->sendDecoder(currentTuning(), std::nullopt);
}

void ReceiverClient::setDecoderOffset(std::int64_t offsetHz)
{
    const Operation operation(*this);
    if (!m_values.decoder)
        return;
    const Passband& passband = m_values.passband;
    const std::int64_t offset = std::clamp(offsetHz, passband.low, passband.high);
    if (offset == m_values.decoder->offsetHz)
        return;
    publish<P::decoder>(DecoderChoice{m_values.decoder->modulation, offset});
    if (m_connection)
        m_connection->sendDecoderOffset(offset);
}

void ReceiverClient::startDecoder(const ReceiverDecoder& decoder, const DecoderUnderlying& runsOn, std::int64_t offsetHz)
{
    const std::int64_t offset = decoderOffsetInPassband(offsetHz, runsOn.passband);
    publish<P::mode>(runsOn.mode);
    publish<P::passband>(runsOn.passband);
    publish<P::decoder>(DecoderChoice{decoder.modulation, offset});
    if (m_connection) {
        m_connection->sendDecoder(currentTuning(), decoder.modulation);
        m_connection->sendDecoderOffset(offset);
    }
}

void ReceiverClient::sendTuningWithDecoder(Mode previousMode)
{
    if (!m_values.decoder) {
        sendTune();
        return;
    }
    const DecoderChoice choice = *m_values.decoder;
    const ReceiverDecoder* decoder = findDecoder(m_values.decoders, choice.modulation);
    const std::optional<DecoderUnderlying> runsOn =
        decoder ? decoderUnderlying(*decoder, m_values.mode, m_values.mode) : std::nullopt;
    if (!runsOn) {
        publish<P::decoder>(std::nullopt);
        if (m_connection)
            m_connection->sendDecoder(currentTuning(), std::nullopt);
        return;
    }
    // Another of its modes starts it over there, with the server's passband
    // for it, as the receiver's own page does.
    if (m_values.mode != previousMode) {
        startDecoder(*decoder, *runsOn, choice.offsetHz);
        return;
    }
    sendTune();
    const std::int64_t offset = decoderOffsetInPassband(choice.offsetHz, m_values.passband);
    if (offset != choice.offsetHz) {
        publish<P::decoder>(DecoderChoice{choice.modulation, offset});
        if (m_connection)
            m_connection->sendDecoderOffset(offset);
    }
}

void ReceiverClient::takeUpDecoder()
{
    if (!m_decodersNamed || !m_bandKnown)
        return;
    if (const std::optional<DecoderRequest> request = std::exchange(m_decoderRequest, std::nullopt))
        chooseDecoder(request->nameOrModulation, request->underlying);
    else
        resumeDecoder();
}

void ReceiverClient::resumeDecoder()
{
    if (!m_resume || !m_resume->decoder || m_values.decoder)
        return;
    const DecoderChoice choice = *std::exchange(m_resume->decoder, std::nullopt);
    const ReceiverDecoder* decoder = findDecoder(m_values.decoders, choice.modulation);
    if (!decoder || !decoder->isAvailable())
        return;
    if (const std::optional<DecoderUnderlying> runsOn = decoderUnderlying(*decoder, m_values.mode, m_values.mode))
        startDecoder(*decoder, *runsOn, choice.offsetHz);
}

void ReceiverClient::decodersOffered(QList<ReceiverDecoder> decoders)
{
    publish<P::decoders>(std::move(decoders));
    if (!std::exchange(m_decodersNamed, true)) {
        takeUpDecoder();
        return;
    }
    if (!m_values.decoder)
        return;
    const ReceiverDecoder* decoder = findDecoder(m_values.decoders, m_values.decoder->modulation);
    if (!decoder || !decoder->isAvailable())
        publish<P::decoder>(std::nullopt);
}

void ReceiverClient::changeDecoderChannel(const std::function<void(DecoderChannel&)>& change)
{
    DecoderChannel channel = m_values.decoderChannel;
    change(channel);
    publish<P::decoderChannel>(channel);
}

void ReceiverClient::decoded(DecoderOutput output)
{
    // Only what the chosen decoder says is shown.
    if (!m_values.decoder || output.isEmpty())
        return;
    output.serial = m_values.decoderOutput.serial + 1;
    publish<P::decoderOutput>(std::move(output));
}
