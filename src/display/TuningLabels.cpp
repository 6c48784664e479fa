#include "display/TuningLabels.h"

#include <QCoreApplication>
#include <QLocale>

#include <algorithm>
#include <cmath>

QString stepTitle(double stepKHz)
{
    const QString number = QLocale().toString(stepKHz);
    return stepKHz > 0 ? QStringLiteral("+") + number : number;
}

QString passbandEdgesText(const Passband& passband)
{
    // Written as a receiver's own page writes them: "-2700", not "-2,700".
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return QCoreApplication::translate("TuningLabels", "%1 \u2013 %2 Hz")
        .arg(locale.toString(qint64(passband.low)), locale.toString(qint64(passband.high)));
}

QString tuningStepText(int hz)
{
    if (hz >= 1000 && hz % 1000 == 0)
        return QCoreApplication::translate("TuningLabels", "%1 kHz").arg(QLocale().toString(hz / 1000));
    return QCoreApplication::translate("TuningLabels", "%1 Hz").arg(QLocale().toString(hz));
}

QString stepAccessibleName(double stepKHz)
{
    const QString step = QLocale().toString(std::fabs(stepKHz));
    return stepKHz <= 0 ? QCoreApplication::translate("TuningLabels", "Tune down %1 kilohertz").arg(step)
                        : QCoreApplication::translate("TuningLabels", "Tune up %1 kilohertz").arg(step);
}

QString modeTitle(Mode mode)
{
    return rawValue(mode).toUpper();
}

QString modeAccessibleName(Mode mode)
{
    return QCoreApplication::translate("TuningLabels", "Mode %1").arg(modeTitle(mode));
}

BookmarkButtonLook bookmarkButtonLook(bool isBookmarked)
{
    if (isBookmarked) {
        return {QCoreApplication::translate("TuningLabels", "Bookmarked"), QStringLiteral("user-bookmarks"),
            QCoreApplication::translate("TuningLabels", "This frequency and mode are bookmarked"), false};
    }
    return {QCoreApplication::translate("TuningLabels", "Bookmark Frequency"), QStringLiteral("bookmark-new"),
        QCoreApplication::translate("TuningLabels", "Bookmark this frequency and mode"), true};
}

MuteButtonLook muteButtonLook(bool isMuted)
{
    if (isMuted)
        return {QCoreApplication::translate("TuningLabels", "Unmute"), QStringLiteral("audio-volume-muted")};
    return {QCoreApplication::translate("TuningLabels", "Mute"), QStringLiteral("audio-volume-high")};
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
