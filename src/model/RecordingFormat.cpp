#include "model/RecordingFormat.h"

QString rawValue(RecordingFormat format)
{
    return format == RecordingFormat::flac ? QStringLiteral("flac") : QStringLiteral("wav");
}

std::optional<RecordingFormat> recordingFormatFromRawValue(const QString& text)
{
    for (const RecordingFormat format : {RecordingFormat::wav, RecordingFormat::flac}) {
        if (text == rawValue(format))
            return format;
    }
    return std::nullopt;
}
