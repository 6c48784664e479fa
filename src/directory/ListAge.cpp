#include "directory/ListAge.h"

#include <QCoreApplication>

QString listAgeText(std::int64_t ageMs)
{
    const std::int64_t minutes = std::max<std::int64_t>(ageMs, 0) / 60'000;
    if (minutes < 1)
        return QCoreApplication::translate("ListAge", "less than a minute");
    if (minutes < 120)
        return QCoreApplication::translate("ListAge", "%n minute(s)", nullptr, int(minutes));
    if (minutes < 48 * 60)
        return QCoreApplication::translate("ListAge", "%n hour(s)", nullptr, int(minutes / 60));
    return QCoreApplication::translate("ListAge", "%n day(s)", nullptr, int(std::min<std::int64_t>(minutes / 1440, 1'000'000)));
}
