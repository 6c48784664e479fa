#pragma once
// Reading what an OpenWebRX server says into the session's terms, and the
// values of the tuning message we send back. Pure functions over plain
// values, so every rule can be checked without a socket. Every number comes
// from an untrusted server: values that are not finite, out of range or of
// the wrong kind count as missing.

#include "model/Mode.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "connection/JSONValue.h"
#include "model/ReceiverTuning.h"

#include <QList>
#include <QLocale>
#include <QSet>
#include <QString>
#include <QUrl>

#include <cstdint>
#include <optional>

// A server's lists beyond these lengths are cut; the texts in them and the
// error texts below are cut to maxServerTextLength (they end up in labels and
// menus).
inline constexpr qsizetype maxOpenWebRXProfiles = 1000;
inline constexpr qsizetype maxOpenWebRXModulations = 1000;

// The one socket of a session: ws (wss for https) at the server's path + "ws/".
std::optional<QUrl> openWebRXSocketURL(const QUrl& serverURL);

// What one "config" message says, read and range-checked.
struct OpenWebRXConfigValues {
    std::optional<std::int64_t> maxUsers;    // "max_clients"
    std::optional<int> maxZoom;              // from "fft_size"
    std::optional<QString> profileID;        // "sdr_id" "|" "profile_id"
    std::optional<double> centerHz;          // "center_freq", finite and within 1e12 Hz
    std::optional<double> sampleRateHz;      // "samp_rate", a usable band width
    std::optional<Mode> startMode;       // "start_mod"
    std::optional<double> startHz;           // "start_freq"
    std::optional<double> startOffsetHz;     // "start_offset_freq"

    bool hasBand() const { return centerHz || sampleRateHz; }
};
OpenWebRXConfigValues readOpenWebRXConfig(const JSONValue& config);

// Waterfall zoom levels an FFT of that size allows: one per doubling above
// 256 bins, at most the session's highest zoom.
int openWebRXMaxZoom(std::int64_t fftSize);

struct OpenWebRXBand {
    double centerHz = 0;
    double baseHz = 0;
    double bandwidthHz = 0;
    ReceiverTuning tuning;
    friend bool operator==(const OpenWebRXBand&, const OpenWebRXBand&) = default;
};

// The band a config with band members puts the session on, and where in it
// the session is tuned: the first band keeps a frequency it covers, every
// later one goes to the profile's start frequency and mode. No value for a
// config without band members. `available` is the mode list the session
// offers before the config.
std::optional<OpenWebRXBand> openWebRXBandForConfig(const OpenWebRXConfigValues& config,
    std::optional<double> previousCenterHz, double previousBandwidthHz, const ReceiverTuning& current,
    const QList<Mode>& available);

// The "profiles" list: elements with text "id" and "name", in order.
QList<ReceiverProfile> readOpenWebRXProfiles(const std::optional<JSONValue>& value);

// "(lat, lon)" with four fraction digits in the locale's number format, when
// "receiver_gps" holds both numbers.
std::optional<QString> openWebRXGPSText(const JSONValue& details, const QLocale& locale);
// The level in dB of an "smeter" value (linear power); none unless positive.
std::optional<double> openWebRXSMeterDB(const std::optional<JSONValue>& value);
// The "clients" count; none for anything but a representable number.
std::optional<std::int64_t> openWebRXClients(const std::optional<JSONValue>& value);

QString openWebRXBackoffText(const std::optional<QString>& reason);
QString openWebRXSDRErrorText(const std::optional<JSONValue>& value);

// The members of the "dspcontrol" tuning message.
struct OpenWebRXDSPParams {
    QString mod;
    std::int64_t offsetHz = 0;
    std::int64_t lowCutHz = 0;
    std::int64_t highCutHz = 0;
    friend bool operator==(const OpenWebRXDSPParams&, const OpenWebRXDSPParams&) = default;
};
// No value when the offset cannot be written as an integer.
std::optional<OpenWebRXDSPParams> openWebRXDSPParams(const ReceiverTuning& tuning, double centerHz);
