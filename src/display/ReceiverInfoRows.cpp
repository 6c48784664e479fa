#include "display/ReceiverInfoRows.h"

#include "display/FrequencyFormat.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace {

bool isPresent(const std::optional<QString>& text)
{
    return text && !text->isEmpty();
}

QString integerText(std::int64_t value)
{
    return QString::number(value);
}

QString audioFramingText(AudioFraming framing)
{
    switch (framing) {
    case AudioFraming::adpcmWithSync:
        return QCoreApplication::translate("ReceiverInfoRows", "ADPCM with sync");
    case AudioFraming::plainADPCM:
        return QCoreApplication::translate("ReceiverInfoRows", "ADPCM");
    }
    return {};
}

QString coverageText(const ReceiverInfo& info)
{
    const QString lower = info.baseHz > 0 ? formatFrequency(info.baseHz) : QStringLiteral("0");
    return lower + QStringLiteral(" \u2013 ") + formatFrequency(info.baseHz + info.bandwidthHz);
}

} // namespace

QString receiverInfoTitle(const ReceiverInfo& info)
{
    return info.name.value_or(QCoreApplication::translate("ReceiverInfoRows", "Receiver"));
}

QList<ReceiverInfoRow> receiverInfoRows(const ReceiverInfo& info)
{
    QList<ReceiverInfoRow> rows;
    const auto addText = [&rows](const QString& label, const std::optional<QString>& text) {
        if (isPresent(text))
            rows.append({label, *text});
    };
    addText(QCoreApplication::translate("ReceiverInfoRows", "Location"), info.location);
    addText(QCoreApplication::translate("ReceiverInfoRows", "Antenna"), info.antenna);
    addText(QCoreApplication::translate("ReceiverInfoRows", "Grid"), info.grid);
    addText(QCoreApplication::translate("ReceiverInfoRows", "GPS"), info.gps);
    addText(QCoreApplication::translate("ReceiverInfoRows", "Software"), info.softwareVersion);
    if (info.users) {
        QString value = integerText(*info.users);
        if (info.maxUsers)
            value = QCoreApplication::translate("ReceiverInfoRows", "%1 of %2").arg(value, integerText(*info.maxUsers));
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Users"), value});
    }
    if (info.apiChannels) {
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "API channels"),
            *info.apiChannels == 0 ? QCoreApplication::translate("ReceiverInfoRows", "None (web page only)")
                                   : integerText(*info.apiChannels)});
    }
    if (info.rxChannel) {
        QString value = QStringLiteral("RX") + integerText(*info.rxChannel);
        if (info.rxChannels)
            value = QCoreApplication::translate("ReceiverInfoRows", "%1 of %2")
                        .arg(value, integerText(*info.rxChannels));
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Channel"), value});
    }
    rows.append({QCoreApplication::translate("ReceiverInfoRows", "Coverage"), coverageText(info)});
    if (info.audioRate)
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Audio rate"),
            QLocale().toString(*info.audioRate, 'f', 1) + QStringLiteral(" Hz")});
    if (info.audioFraming)
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Audio"), audioFramingText(*info.audioFraming)});
    if (info.waterfallFPS)
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Waterfall"),
            integerText(*info.waterfallFPS) + QStringLiteral(" fps")});
    if (info.uptime)
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Uptime"), formatUptime(*info.uptime)});
    if (info.inactivityTimeoutMinutes && *info.inactivityTimeoutMinutes >= 1)
        rows.append({QCoreApplication::translate("ReceiverInfoRows", "Inactivity limit"),
            integerText(*info.inactivityTimeoutMinutes) + QStringLiteral(" min")});
    return rows;
}

QString formatUptime(std::int64_t seconds)
{
    // Whole minutes only; a negative uptime from a confused server reads as none.
    const std::int64_t minutes = seconds > 0 ? seconds / 60 : 0;
    const std::int64_t parts[] = {minutes / (24 * 60), minutes / 60 % 24, minutes % 60};
    const char* const units[] = {"d", "h", "m"};
    // The largest non-zero unit and the one after it, leaving out a zero.
    int first = 0;
    while (first < 2 && parts[first] == 0)
        ++first;
    QStringList shown;
    for (int i = first; i < first + 2 && i < 3; ++i) {
        if (parts[i] != 0 || i == first)
            shown.append(QString::number(parts[i]) + QLatin1String(units[i]));
    }
    return shown.join(QLatin1Char(' '));
}
