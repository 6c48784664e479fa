#pragma once
// The file formats a recording can be written in: 16-bit mono WAV (the
// default, opens everywhere) or FLAC (lossless, about half the size).

#include <QString>

#include <optional>

enum class RecordingFormat { wav, flac };

// The stored form and the file name extension: "wav" or "flac".
QString rawValue(RecordingFormat format);
std::optional<RecordingFormat> recordingFormatFromRawValue(const QString& text);
