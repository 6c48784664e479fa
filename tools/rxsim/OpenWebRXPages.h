#pragma once
// What the stand-in OpenWebRX server says: its root page, its profiles, and
// every JSON text message it sends, as the exact text.

#include "KiwiPages.h"
#include "RxSimOptions.h"

#include <QByteArray>
#include <QString>

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
QString openWebRXModesMessage();
QString openWebRXClientsMessage(int clients);
// "cpuusage" (a fraction) or "temperature" (°C).
QString openWebRXLoadMessage(const char* type, double value);
QString openWebRXSMeterMessage(double linearPower);
QString openWebRXBackoffMessage(const std::optional<QString>& reason);
QString openWebRXSdrErrorMessage(const QString& text);
