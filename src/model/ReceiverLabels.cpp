#include "model/ReceiverLabels.h"

#include "kiwisdr/KiwiParamValues.h"

#include <QJsonDocument>
#include <QJsonObject>

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

} // namespace

std::vector<FrequencyLabel> readOpenWebRXBookmarks(const std::optional<JSONValue>& value)
{
    return readLabels(value, [](const JSONValue& element, double hz) {
        const auto modulation = element.stringMember(QStringLiteral("modulation"));
        return FrequencyLabel{hz, plainLabelName(element.stringMember(QStringLiteral("name")).value_or(QString())),
            modulation ? modeForOpenWebRXModulation(*modulation) : std::nullopt};
    });
}

std::vector<FrequencyLabel> readOpenWebRXDialFrequencies(const std::optional<JSONValue>& value)
{
    return readLabels(value, [](const JSONValue& element, double hz) {
        const QString mode = element.stringMember(QStringLiteral("mode")).value_or(QString());
        const std::optional<Mode> analog = modeForOpenWebRXModulation(mode);
        return FrequencyLabel{hz, plainLabelName(mode.left(maxLabelNameLength).toUpper()),
            analog ? analog : std::optional(Mode::usb)};
    });
}

std::optional<std::vector<BandBar>> readKiwiBandBars(const QString& loadDxcfgValue)
{
    if (loadDxcfgValue.size() > maxReceiverConfigLength)
        return std::nullopt;
    const QJsonDocument document = QJsonDocument::fromJson(percentDecoded(loadDxcfgValue).toUtf8());
    if (!document.isObject())
        return std::nullopt;
    return readBandBars(document.object());
}
