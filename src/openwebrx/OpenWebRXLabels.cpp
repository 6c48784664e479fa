#include "openwebrx/OpenWebRXLabels.h"

#include "openwebrx/OpenWebRXModulations.h"

namespace {

// The elements of a list as labels; `label` gives none for one to drop.
template <typename Read>
std::vector<FrequencyLabel> readLabels(const std::optional<JSONValue>& value, Read label)
{
    std::vector<FrequencyLabel> labels;
    const JSONValue::Array* elements = value ? value->asArray() : nullptr;
    if (!elements)
        return labels;
    for (const JSONValue& element : *elements) {
        if (labels.size() >= std::size_t(maxScaleLabels))
            break;
        const std::optional<double> hz = element.numberMember(QStringLiteral("frequency"));
        if (!hz || !isLabelFrequency(*hz))
            continue;
        labels.push_back(label(element, *hz));
    }
    return labels;
}

// A modulation that is none of the analog modes names a decoder.
std::optional<QString> decoderName(const std::optional<QString>& modulation, std::optional<Mode> analog)
{
    if (!modulation || analog || modulation->isEmpty())
        return std::nullopt;
    const QString name = plainLabelName(*modulation);
    return name == *modulation ? std::optional(name) : std::nullopt;
}

} // namespace

std::vector<FrequencyLabel> readOpenWebRXBookmarks(const std::optional<JSONValue>& value)
{
    return readLabels(value, [](const JSONValue& element, double hz) {
        const auto modulation = element.stringMember(QStringLiteral("modulation"));
        const std::optional<Mode> analog = modulation ? modeForOpenWebRXModulation(*modulation) : std::nullopt;
        return FrequencyLabel{hz, plainLabelName(element.stringMember(QStringLiteral("name")).value_or(QString())),
            analog, decoderName(modulation, analog)};
    });
}

std::vector<FrequencyLabel> readOpenWebRXDialFrequencies(const std::optional<JSONValue>& value)
{
    return readLabels(value, [](const JSONValue& element, double hz) {
        const QString mode = element.stringMember(QStringLiteral("mode")).value_or(QString());
        const std::optional<Mode> analog = modeForOpenWebRXModulation(mode);
        return FrequencyLabel{hz, plainLabelName(mode.left(maxLabelNameLength).toUpper()),
            analog ? analog : std::optional(Mode::usb), decoderName(mode, analog)};
    });
}
