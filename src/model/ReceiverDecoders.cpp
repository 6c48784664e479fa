#include "model/ReceiverDecoders.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>

std::optional<QString> decoderUnavailableReason(const ReceiverDecoder& decoder)
{
    if (!decoder.missingRequirements.isEmpty()) {
        return QCoreApplication::translate("ReceiverDecoders", "The receiver lacks %1.")
            .arg(QLocale().createSeparatedList(decoder.missingRequirements));
    }
    if (decoder.underlying.isEmpty())
        return QCoreApplication::translate("ReceiverDecoders", "It runs on a mode Farlisten cannot tune.");
    return std::nullopt;
}

const ReceiverDecoder* findDecoder(const QList<ReceiverDecoder>& decoders, const QString& nameOrModulation)
{
    for (const ReceiverDecoder& decoder : decoders) {
        if (decoder.modulation == nameOrModulation)
            return &decoder;
    }
    for (const ReceiverDecoder& decoder : decoders) {
        if (decoder.name.compare(nameOrModulation, Qt::CaseInsensitive) == 0)
            return &decoder;
    }
    return nullptr;
}

std::optional<DecoderUnderlying> decoderUnderlying(
    const ReceiverDecoder& decoder, std::optional<Mode> asked, Mode tuned)
{
    const auto find = [&](Mode mode) -> std::optional<DecoderUnderlying> {
        const auto found = std::find_if(decoder.underlying.begin(), decoder.underlying.end(),
            [mode](const DecoderUnderlying& underlying) { return underlying.mode == mode; });
        return found == decoder.underlying.end() ? std::nullopt : std::optional(*found);
    };
    if (asked)
        return find(*asked);
    if (const auto current = find(tuned))
        return current;
    if (decoder.underlying.isEmpty())
        return std::nullopt;
    return decoder.underlying.first();
}

std::int64_t decoderOffsetInPassband(std::int64_t offsetHz, Passband passband)
{
    const auto inside = [&](std::int64_t hz) { return hz >= passband.low && hz <= passband.high; };
    if (inside(offsetHz))
        return offsetHz;
    if (inside(-offsetHz))
        return -offsetHz;
    return passband.low + (passband.high - passband.low) / 2;
}
