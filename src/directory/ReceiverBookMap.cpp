// The receiverbook map page: one script array of stations, each with a
// position ([longitude, latitude]) and its receivers of several kinds.
#include "directory/DirectoryFormats.h"

#include "directory/ListingMerger.h"
#include "directory/ListingValues.h"
#include "directory/PlainText.h"
#include "directory/ScriptArray.h"
#include "directory/ScriptArrayProblem.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr qsizetype maxReceiversPerStation = 64;

QString plain(const QJsonValue& value)
{
    return value.isString() ? plainListText(value.toString().left(4096), maxListingTextLength) : QString();
}

std::optional<GeoPoint> stationPosition(const QJsonObject& station)
{
    const QJsonArray coordinates = station.value(QStringLiteral("location")).toObject()
                                       .value(QStringLiteral("coordinates")).toArray();
    if (coordinates.size() < 2 || !coordinates[0].isDouble() || !coordinates[1].isDouble())
        return std::nullopt;
    const double longitude = coordinates[0].toDouble();
    const double latitude = coordinates[1].toDouble();
    if ((latitude == -69 && longitude == 90) || (latitude == 0 && longitude == 0))
        return std::nullopt;
    return checkedGeoPoint(latitude, longitude);
}

} // namespace

DirectoryRead readReceiverBookMap(QByteArrayView page)
{
    const ScriptArray array = readScriptArray(page, "receivers", maxListingEntries);
    if (array.problem != ScriptArray::Problem::none)
        return refusedDirectory(scriptArrayProblem(array.problem));
    DirectoryRead read;
    ListingMerger merger;
    qsizetype receivers = 0;
    for (const QByteArray& element : array.elements) {
        const QJsonObject station = QJsonDocument::fromJson(element).object();
        const QJsonArray listed = station.value(QStringLiteral("receivers")).toArray();
        if (listed.isEmpty() || listed.size() > maxReceiversPerStation) {
            ++read.skipped;
            continue;
        }
        receivers += listed.size();
        if (receivers > maxListingEntries)
            return refusedDirectory(DirectoryProblem::tooManyEntries);
        const std::optional<GeoPoint> position = stationPosition(station);
        const QString stationName = plain(station.value(QStringLiteral("label")));
        for (const QJsonValue& value : listed) {
            const QJsonObject receiver = value.toObject();
            const QString type = receiver.value(QStringLiteral("type")).toString();
            std::optional<ServerKind> kind;
            if (type.compare(QLatin1String("OpenWebRX"), Qt::CaseInsensitive) == 0)
                kind = ServerKind::openWebRX;
            else if (type.compare(QLatin1String("KiwiSDR"), Qt::CaseInsensitive) == 0)
                kind = ServerKind::kiwiSDR;
            const std::optional<QString> url
                = normalizedReceiverUrl(receiver.value(QStringLiteral("url")).toString());
            if (!kind && !type.isEmpty()) {
                ++read.unsupported;
                continue;
            }
            if (!kind || !url) {
                ++read.skipped;
                continue;
            }
            ReceiverListing listing;
            listing.url = *url;
            listing.kind = *kind;
            listing.name = plain(receiver.value(QStringLiteral("label")));
            if (listing.name.isEmpty())
                listing.name = stationName;
            if (position) {
                listing.latitude = position->latitude;
                listing.longitude = position->longitude;
            }
            listing.version = plain(receiver.value(QStringLiteral("version")));
            merger.add(std::move(listing));
        }
    }
    read.duplicates = merger.duplicates();
    read.receivers = merger.take();
    return read;
}
