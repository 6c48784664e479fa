#pragma once
// The lines rxprobe prints: one compact JSON object each, members in a fixed
// order, so that a reader can take them apart line by line.

#include "model/ListeningSettings.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>
#include <QStringList>

#include <cstdint>

struct RxProbeSummary {
    std::uint64_t waterfallRows = 0;
    std::uint64_t soundFrames = 0;
    double audioSeconds = 0;
    // What the listening tools were set to, and the stages that shaped the
    // sound (names in chain order: blanker, notch, noiseReduction, squelch).
    ListeningSettings listening;
    QStringList stages;
};

// {"t": <ms since start>, "property": <name>, "value": <value>}
QByteArray propertyLine(std::int64_t milliseconds, const QString& property, const QJsonValue& value);
// {"summary": {"waterfallRows": ..., "soundFrames": ..., "audioSeconds": ...,
//  "stages": [...], then the number of each tool that is on: "squelchLevelDb",
//  "noiseReductionDb", "notchHz" and "notchWidthHz", "blankerThresholdDb"}}
QByteArray summaryLine(const RxProbeSummary& summary);
// {"t": <ms since start>, <name>: <value>}: what the probe shares with
// other programs ("soundSource", "rigctl" and their problems).
QByteArray eventLine(std::int64_t milliseconds, const QString& name, const QJsonValue& value);
// {"t": <ms since start>, "reconnectTry": k, "of": <tries at most>}
QByteArray reconnectTryLine(std::int64_t milliseconds, int tryNumber, int maxTries);

// Writes the line and a line break to standard output at once, so that it
// never interleaves with the session's own output there.
void writeLine(const QByteArray& line);
