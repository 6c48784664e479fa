#pragma once
// The name of a recording, without extension:
// <receiver name>_<frequency kHz>_<mode>_<UTC yyyymmdd-hhmmss>, e.g.
// "Twente-WebSDR_7200.5_lsb_20240301-181502". The receiver's name is a
// server's text: everything a file name on any common system cannot hold
// (path separators, reserved and control characters, invisible formatting)
// becomes "-", and so does everything else but letters, digits, "." and "+"
// (spaces and "_" too, so the four parts stay apart); runs of "-" shrink to
// one, leading and trailing "-" and "." go (no hidden files),
// and the name keeps at most `maxNameBytes` bytes of UTF-8, cut between
// characters. An empty result is "receiver".

#include "model/Mode.h"

#include <QDateTime>
#include <QString>

constexpr qsizetype maxNameBytes = 80;

QString cleanFileNamePart(const QString& text, qsizetype maxBytes = maxNameBytes);
QString recordingName(const QString& receiverName, double frequencyKHz, Mode mode, const QDateTime& start);
