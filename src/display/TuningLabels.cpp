#include "display/TuningLabels.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

QString stepTitle(double stepKHz)
{
    const QString number = QLocale().toString(stepKHz);
    return stepKHz > 0 ? QStringLiteral("+") + number : number;
}

QString stepAccessibleName(double stepKHz)
{
    const QString direction = stepKHz <= 0 ? QStringLiteral("down") : QStringLiteral("up");
    return QStringLiteral("Tune %1 %2 kilohertz").arg(direction, QLocale().toString(std::fabs(stepKHz)));
}

QString modeTitle(KiwiMode mode)
{
    return rawValue(mode).toUpper();
}

QString modeAccessibleName(KiwiMode mode)
{
    return QStringLiteral("Mode ") + modeTitle(mode);
}

BookmarkButtonLook bookmarkButtonLook(bool isBookmarked)
{
    if (isBookmarked) {
        return {QStringLiteral("Bookmarked"), QStringLiteral("user-bookmarks"),
            QStringLiteral("This frequency and mode are bookmarked"), false};
    }
    return {QStringLiteral("Bookmark Frequency"), QStringLiteral("bookmark-new"),
        QStringLiteral("Bookmark this frequency and mode"), true};
}

MuteButtonLook muteButtonLook(bool isMuted)
{
    if (isMuted)
        return {QStringLiteral("Unmute"), QStringLiteral("audio-volume-muted")};
    return {QStringLiteral("Mute"), QStringLiteral("audio-volume-high")};
}

bool showsGainControls(std::optional<ServerKind> kind)
{
    return kind != ServerKind::openWebRX;
}

int manualGainForSliderValue(double value)
{
    if (std::isnan(value))
        return 0;
    return static_cast<int>(std::trunc(std::clamp(value, 0.0, 120.0)));
}

int currentProfileIndex(const QList<ReceiverProfile>& profiles, const std::optional<QString>& currentID)
{
    if (!currentID)
        return -1;
    for (int i = 0; i < profiles.size(); ++i) {
        if (profiles[i].id == *currentID)
            return i;
    }
    return -1;
}
