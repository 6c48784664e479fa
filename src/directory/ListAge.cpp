#include "directory/ListAge.h"

#include <QCoreApplication>

QString listAgeText(std::int64_t ageMs)
{
    const std::int64_t minutes = std::max<std::int64_t>(ageMs, 0) / 60'000;
    if (minutes < 1)
        return QCoreApplication::translate("ListAge", "less than a minute");
    if (minutes == 1)
        return QCoreApplication::translate("ListAge", "a minute");
    if (minutes < 120)
        return QCoreApplication::translate("ListAge", "%1 minutes").arg(minutes);
    if (minutes < 48 * 60)
        return QCoreApplication::translate("ListAge", "%1 hours").arg(minutes / 60);
    return QCoreApplication::translate("ListAge", "%1 days").arg(minutes / (24 * 60));
}
