#pragma once
// The texts of the "SET" commands a KiwiSDR client sends.

#include "model/Mode.h"
#include "model/WaterfallLook.h"

#include <QString>
#include <QStringList>
#include <QUrl>

#include <cstdint>
#include <optional>

QString kiwiAuthCommand(const QString& password);
QString kiwiIdentCommand(const QString& identity);
// CW is heard 500 Hz above the carrier, so the carrier is tuned that far below.
QString kiwiTuneCommand(Mode mode, Passband passband, double frequencyKHz);
QString kiwiAGCCommand(bool agcEnabled, int manualGain);
// No command when the start, in bins at the highest zoom, is not a
// representable integer.
std::optional<QString> kiwiZoomCommand(int zoom, double startHz, double bandwidthHz, int maxZoom);
// The acknowledgement of an "audio_rate"; none for a rate beyond 64 bits.
std::optional<QString> kiwiAudioRateReply(double audioRate);

inline const QString kiwiCompressionOffCommand = QStringLiteral("SET compression=0");
inline const QString kiwiKeepaliveCommand = QStringLiteral("SET keepalive");
inline constexpr int kiwiFastestWaterfallSpeed = 4;
QString kiwiWaterfallSpeedCommand(int kiwiSpeed);
// The speed as a KiwiSDR counts it (1-4; 4, the fastest, is what the
// waterfall setup asks for). Off keeps the fastest: the rows still feed the
// spectrum.
int kiwiWaterfallSpeed(WaterfallSpeed speed);
// The waterfall setup before its zoom command.
inline const QStringList kiwiWaterfallSetupCommands{
    QStringLiteral("SET maxdb=0 mindb=-100"),
    QStringLiteral("SET wf_speed=4"),
    QStringLiteral("SET wf_comp=0"),
    QStringLiteral("SET interp=13"),
};

// The address of a channel ("SND" or "W/F") of the connection stamped
// `timestamp` to the server at `serverURL`; invalid when none can be built.
QUrl kiwiChannelURL(const QUrl& serverURL, std::int64_t timestamp, const QString& channel);
