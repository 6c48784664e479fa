#include "DirectoryLines.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <optional>

namespace {

QByteArray text(const QString& value)
{
    const QByteArray array = QJsonDocument(QJsonArray{value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray number(const std::optional<double>& value)
{
    if (!value)
        return "null";
    const QByteArray array = QJsonDocument(QJsonArray{*value}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

template <typename Integer>
QByteArray integer(const std::optional<Integer>& value)
{
    return value ? QByteArray::number(static_cast<qlonglong>(*value)) : QByteArray("null");
}

} // namespace

QByteArray receiverLine(const ReceiverListing& listing)
{
    const char* kind = listing.kind == ServerKind::kiwiSDR ? "kiwisdr" : "openwebrx";
    return "{\"receiver\":{\"name\":" + text(listing.name) + ",\"url\":" + text(listing.url) + ",\"kind\":\""
        + kind + "\",\"latitude\":" + number(listing.latitude) + ",\"longitude\":" + number(listing.longitude)
        + ",\"location\":" + text(listing.location) + ",\"users\":" + integer(listing.users)
        + ",\"usersMax\":" + integer(listing.usersMax) + ",\"lowHz\":" + integer(listing.lowHz)
        + ",\"highHz\":" + integer(listing.highHz) + ",\"snrDb\":" + integer(listing.snrDb)
        + ",\"antenna\":" + text(listing.antenna) + ",\"version\":" + text(listing.version) + "}}";
}

QByteArray directorySummaryLine(const DirectoryRead& merged)
{
    return "{\"summary\":{\"receivers\":" + QByteArray::number(merged.receivers.size()) + ",\"duplicates\":"
        + QByteArray::number(merged.duplicates) + ",\"unsupported\":" + QByteArray::number(merged.unsupported)
        + ",\"skipped\":" + QByteArray::number(merged.skipped) + "}}";
}

QByteArray directoryErrorLine(const QString& source, const QString& message)
{
    return "{\"directoryError\":{\"source\":" + text(source) + ",\"message\":" + text(message) + "}}";
}
