// Any OpenWebRX message read the way the session reads it: the config's band
// and tuning, the tuning message computed from the result, and every other
// reader, with the invariants the session relies on.
#include "openwebrx/OpenWebRXDecoders.h"
#include "openwebrx/OpenWebRXMessage.h"
#include "model/ServerValues.h"
#include "openwebrx/OpenWebRXSessionValues.h"

#include <QLocale>
#include <QString>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

const QList<Mode> allModes(allModes.begin(), allModes.end());

void check(bool condition)
{
    if (!condition)
        std::abort();
}

void readBand(const JSONValue& value, std::optional<double> previousCenterHz)
{
    const OpenWebRXConfigValues config = readOpenWebRXConfig(value);
    check(!config.maxZoom || (*config.maxZoom >= 0 && *config.maxZoom <= maxZoomLevel));
    check(!config.sampleRateHz || isUsableBandwidth(*config.sampleRateHz));
    const ReceiverTuning current{7200, Mode::lsb, defaultPassband(Mode::lsb)};
    const auto band = openWebRXBandForConfig(config, previousCenterHz, 30e6, current, allModes);
    if (!band)
        return;
    check(std::isfinite(band->baseHz) && std::isfinite(band->bandwidthHz) && std::isfinite(band->tuning.frequencyKHz));
    check(band->tuning.frequencyKHz >= band->baseHz / 1000
        && band->tuning.frequencyKHz <= (band->baseHz + band->bandwidthHz) / 1000);
    if (const auto params = openWebRXDSPParams(band->tuning, band->centerHz)) {
        check(band->tuning.mode == Mode::wfm || (params->lowCutHz >= -5999 && params->highCutHz <= 5999));
        (void)openWebRXDSPControl(params->mod, params->offsetHz, params->lowCutHz, params->highCutHz);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto message = parseOpenWebRXText(text);
    if (!message)
        return 0;
    const JSONValue value = message->value.value_or(JSONValue());
    readBand(value, std::nullopt);
    readBand(value, 7'100'000.0);
    check(readOpenWebRXProfiles(message->value).size() <= maxOpenWebRXProfiles);
    check(readOpenWebRXModes(message->value).analog.size() <= maxOpenWebRXModulations);
    (void)openWebRXGPSText(value, QLocale::c());
    if (const auto level = openWebRXSMeterDB(message->value))
        check(std::isfinite(*level));
    (void)openWebRXClients(message->value);
    check(openWebRXSDRErrorText(message->value).size() <= maxServerTextLength);
    check(openWebRXBackoffText(message->reason).size() <= maxServerTextLength + 22);
    return 0;
}
