// The two forms of the KiwiSDR public list: the page of "cl-info" blocks and
// the script array mirrors publish. Both carry a receiver's status-page keys.
#include "directory/DirectoryFormats.h"

#include "directory/ListingMerger.h"
#include "directory/ListingValues.h"
#include "directory/PlainText.h"
#include "directory/ScriptArray.h"
#include "directory/ScriptArrayProblem.h"

#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using Values = QHash<QString, QString>;

constexpr qsizetype maxKeysPerEntry = 200;
constexpr qsizetype maxKeyLength = 40;
constexpr qsizetype maxValueBytes = 4096;

QString plain(const Values& values, const char* key)
{
    return plainListText(values.value(QLatin1StringView(key)), maxListingTextLength);
}

// The receiver an entry describes; nothing when it has no usable address or
// says it is offline.
std::optional<ReceiverListing> kiwiListing(const Values& values, const QString& urlText)
{
    const std::optional<QString> url = normalizedReceiverUrl(urlText);
    if (!url || values.value(QStringLiteral("offline")).trimmed() == QLatin1String("yes")
        || values.value(QStringLiteral("status")).trimmed() == QLatin1String("offline"))
        return std::nullopt;
    ReceiverListing listing;
    listing.url = *url;
    listing.kind = ServerKind::kiwiSDR;
    listing.name = plain(values, "name");
    std::optional<GeoPoint> position = positionFromGps(values.value(QStringLiteral("gps")));
    if (!position)
        position = maidenheadCentre(plain(values, "grid"));
    if (position) {
        listing.latitude = position->latitude;
        listing.longitude = position->longitude;
    }
    listing.location = plain(values, "loc");
    listing.users = countFromText(values.value(QStringLiteral("users")));
    listing.usersMax = countFromText(values.value(QStringLiteral("users_max")));
    if (const auto bands = bandsFromText(values.value(QStringLiteral("bands")))) {
        listing.lowHz = bands->first;
        listing.highHz = bands->second;
    }
    listing.snrDb = snrFromText(values.value(QStringLiteral("snr")));
    listing.antenna = plain(values, "antenna");
    listing.version = versionFromSoftware(values.value(QStringLiteral("sw_version")));
    return listing;
}

bool isKeyCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// The "<!-- key=value -->" lines of one block.
Values commentValues(QByteArrayView block, qsizetype& afterLast)
{
    Values values;
    qsizetype at = 0;
    afterLast = 0;
    while (values.size() < maxKeysPerEntry) {
        const qsizetype open = block.indexOf(QByteArrayView("<!--"), at);
        if (open < 0)
            break;
        const qsizetype close = block.indexOf(QByteArrayView("-->"), open + 4);
        if (close < 0)
            break;
        at = afterLast = close + 3;
        const QByteArrayView inner = block.sliced(open + 4, close - open - 4).trimmed();
        const qsizetype equals = inner.indexOf('=');
        if (equals <= 0 || equals > maxKeyLength)
            continue;
        const QByteArrayView key = inner.first(equals);
        if (!std::all_of(key.begin(), key.end(), isKeyCharacter))
            continue;
        values.insert(QString::fromLatin1(key), QString::fromUtf8(inner.sliced(equals + 1).first(
            std::min(inner.size() - equals - 1, maxValueBytes))));
    }
    return values;
}

// The address of the block's link: the first href after its values.
QString linkTarget(QByteArrayView block)
{
    const qsizetype href = block.indexOf(QByteArrayView("href="));
    if (href < 0 || href + 5 >= block.size())
        return {};
    const char quote = block[href + 5];
    if (quote != '\'' && quote != '"')
        return {};
    const qsizetype end = block.indexOf(quote, href + 6);
    if (end < 0)
        return {};
    return plainListText(QString::fromUtf8(block.sliced(href + 6, end - href - 6)), 2048);
}

void addEntry(DirectoryRead& read, ListingMerger& merger, std::optional<ReceiverListing> listing)
{
    if (listing)
        merger.add(std::move(*listing));
    else
        ++read.skipped;
}

void finish(DirectoryRead& read, ListingMerger& merger)
{
    read.duplicates = merger.duplicates();
    read.receivers = merger.take();
}

} // namespace

DirectoryRead readKiwiPublicPage(QByteArrayView page)
{
    static const QByteArrayView marker("cl-info");
    DirectoryRead read;
    ListingMerger merger;
    qsizetype at = page.indexOf(marker);
    qsizetype entries = 0;
    while (at >= 0) {
        if (++entries > maxListingEntries)
            return refusedDirectory(DirectoryProblem::tooManyEntries);
        const qsizetype next = page.indexOf(marker, at + marker.size());
        const QByteArrayView block = page.sliced(at, (next < 0 ? page.size() : next) - at);
        qsizetype afterValues = 0;
        const Values values = commentValues(block, afterValues);
        addEntry(read, merger, kiwiListing(values, linkTarget(block.sliced(afterValues))));
        at = next;
    }
    finish(read, merger);
    return read;
}

DirectoryRead readKiwiScriptList(QByteArrayView page)
{
    const ScriptArray array = readScriptArray(page, "kiwisdr_com", maxListingEntries);
    if (array.problem != ScriptArray::Problem::none)
        return refusedDirectory(scriptArrayProblem(array.problem));
    DirectoryRead read;
    ListingMerger merger;
    for (const QByteArray& element : array.elements) {
        const QJsonObject object = QJsonDocument::fromJson(element).object();
        Values values;
        for (auto member = object.begin(); member != object.end() && values.size() < maxKeysPerEntry; ++member) {
            if (member->isString())
                values.insert(member.key(), member->toString().left(maxValueBytes));
            else if (member->isDouble())
                values.insert(member.key(), QString::number(member->toDouble(), 'g', 17));
        }
        const QString url = object.value(QStringLiteral("url")).toString();
        addEntry(read, merger, object.isEmpty() ? std::nullopt : kiwiListing(values, url));
    }
    finish(read, merger);
    return read;
}
