#pragma once
// What the stand-in OpenWebRX server says: its root page, its profiles, and
// every JSON text message it sends, as the exact text.

#include "KiwiPages.h"
#include "RxSimOptions.h"

#include <QByteArray>
#include <QJsonObject>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

struct OpenWebRXProfile {
    QString id; // within the SDR
    QString name;
    double centerHz = 0;
    double sampleRateHz = 0;
    QString startMod;
    // The start frequency as an absolute frequency ("start_freq") or, when
    // false, as an offset from the centre ("start_offset_freq").
    bool absoluteStart = false;
    double startHz = 0;
};

inline constexpr const char* openWebRXSdrId = "rxsim";
inline constexpr const char* openWebRXVersion = "1.2.2";
inline constexpr const char* openWebRXVersion1_1 = "v1.1.0";
inline constexpr int openWebRXFFTSize = 4096;
// The decoders' spectrum: this many levels across their channel's rate.
inline constexpr int openWebRXDecoderFFTSize = 512;
inline constexpr double openWebRXDecoderRate = 12000;
// How wide a signal the Morse decoders take.
inline constexpr double openWebRXCwBandwidth = 75;

// The decoders the stand-in runs: Morse as text ("cwdecoder", on USB or LSB)
// and as one message per transmission ("cwskimmer", on USB).
enum class OpenWebRXSimDecoder { text, messages };
std::optional<OpenWebRXSimDecoder> openWebRXSimDecoder(const QString& modulation);
// The modes it runs on.
QStringList openWebRXSimDecoderModes(OpenWebRXSimDecoder decoder);

// "40m" (7.1 MHz) and "31m" (9.6 MHz), in that order; the first is the default.
const std::vector<OpenWebRXProfile>& openWebRXProfiles();
// The profile with this "sdr|profile" id, or null.
const OpenWebRXProfile* openWebRXProfile(const QString& fullId);

QByteArray openWebRXRootPage(const SimReceiverDescription& receiver);

QString openWebRXHandshakeReply(RxSimOpenWebRXVersion version);
// The global settings, sent first.
QString openWebRXGlobalConfig(const RxSimOptions& options);
// The band of a profile, sent after the global settings and after every
// "selectprofile".
QString openWebRXProfileConfig(const OpenWebRXProfile& profile);
QString openWebRXReceiverDetails(const SimReceiverDescription& receiver);
QString openWebRXProfilesMessage(const SimReceiverDescription& receiver);
// The analog modes with their passbands, the two decoders, and FT8, which
// needs software the "features" message says it lacks.
QString openWebRXModesMessage();
QString openWebRXFeaturesMessage();
QString openWebRXDecoderConfigMessage(const QString& member, double value);
// A decoder's output: a piece of text, or a message of fields.
QString openWebRXDecodedTextMessage(const QString& text);
QString openWebRXDecodedObjectMessage(const QJsonObject& fields);
QString openWebRXClientsMessage(int clients);
// "cpuusage" (a fraction) or "temperature" (°C).
QString openWebRXLoadMessage(const char* type, double value);
QString openWebRXSMeterMessage(double linearPower);
QString openWebRXBackoffMessage(const std::optional<QString>& reason);
QString openWebRXSdrErrorMessage(const QString& text);
