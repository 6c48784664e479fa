#include "directory/ReceiverFilter.h"

#include <algorithm>
#include <numeric>
#include <tuple>

namespace {

constexpr double kmPerDb = 500;
constexpr double unknownDistanceKm = 10'000;

std::vector<qsizetype> allRows(const QList<ReceiverRow>& rows)
{
    std::vector<qsizetype> order(static_cast<std::size_t>(rows.size()));
    std::iota(order.begin(), order.end(), 0);
    return order;
}

int freeRank(const ReceiverListing& listing)
{
    const std::optional<bool> free = listing.hasFreeChannel();
    return free ? (*free ? 2 : 0) : 1;
}

// Sorts by a key that may be missing; missing keys go last in both orders.
template <typename Key>
void sortByKey(std::vector<qsizetype>& order, const QList<ReceiverRow>& rows, bool ascending, Key key)
{
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) {
        const auto keyA = key(rows[a]);
        const auto keyB = key(rows[b]);
        if (!keyA || !keyB)
            return keyA.has_value() && !keyB.has_value();
        return ascending ? *keyA < *keyB : *keyB < *keyA;
    });
}

std::optional<QString> textKey(const QString& text)
{
    if (text.isEmpty())
        return std::nullopt;
    return text.toCaseFolded();
}

} // namespace

ReceiverRow receiverRow(ReceiverListing listing, std::optional<GeoPoint> listener)
{
    ReceiverRow row;
    if (listener && listing.hasPosition()) {
        const GeoPoint there{*listing.latitude, *listing.longitude};
        row.distanceKm = distanceKm(*listener, there);
        row.bearingDegrees = bearingDegrees(*listener, there);
    }
    row.searchText = QStringList{listing.name, listing.location, listing.antenna, listing.url, listing.version}
                         .join(u'\n')
                         .toCaseFolded();
    row.listing = std::move(listing);
    return row;
}

Coverage coverageOf(const ReceiverListing& listing, double frequencyKHz)
{
    if (!listing.lowHz || !listing.highHz)
        return Coverage::unknown;
    const double hz = frequencyKHz * 1000;
    return hz >= double(*listing.lowHz) && hz <= double(*listing.highHz) ? Coverage::yes : Coverage::no;
}

bool matchesQuery(const ReceiverRow& row, const ReceiverQuery& query)
{
    const ReceiverListing& listing = row.listing;
    if (query.kind && listing.kind != *query.kind)
        return false;
    if (query.freeChannelOnly && listing.hasFreeChannel() == false)
        return false;
    if (query.frequencyKHz && coverageOf(listing, *query.frequencyKHz) == Coverage::no)
        return false;
    if (query.maxDistanceKm && (!row.distanceKm || *row.distanceKm > *query.maxDistanceKm))
        return false;
    return query.text.isEmpty() || row.searchText.contains(query.text);
}

std::vector<qsizetype> filteredRows(
    const QList<ReceiverRow>& rows, const std::vector<qsizetype>& order, const ReceiverQuery& query)
{
    ReceiverQuery folded = query;
    folded.text = query.text.trimmed().toCaseFolded();
    std::vector<qsizetype> kept;
    kept.reserve(order.size());
    for (const qsizetype row : order) {
        if (row >= 0 && row < rows.size() && matchesQuery(rows[row], folded))
            kept.push_back(row);
    }
    return kept;
}

std::vector<qsizetype> rowsByColumn(const QList<ReceiverRow>& rows, ReceiverColumn column, bool ascending,
    std::int64_t nowMs)
{
    std::vector<qsizetype> order = allRows(rows);
    const auto sortText = [&](QString ReceiverListing::*member) {
        sortByKey(order, rows, ascending, [member](const ReceiverRow& row) { return textKey(row.listing.*member); });
    };
    switch (column) {
    case ReceiverColumn::name:
        sortText(&ReceiverListing::name);
        break;
    case ReceiverColumn::location:
        sortText(&ReceiverListing::location);
        break;
    case ReceiverColumn::antenna:
        sortText(&ReceiverListing::antenna);
        break;
    case ReceiverColumn::version:
        sortText(&ReceiverListing::version);
        break;
    case ReceiverColumn::distance:
        sortByKey(order, rows, ascending, [](const ReceiverRow& row) { return row.distanceKm; });
        break;
    case ReceiverColumn::bearing:
        sortByKey(order, rows, ascending, [](const ReceiverRow& row) { return row.bearingDegrees; });
        break;
    case ReceiverColumn::kind:
        sortByKey(order, rows, ascending,
            [](const ReceiverRow& row) { return std::optional<int>(static_cast<int>(row.listing.kind)); });
        break;
    case ReceiverColumn::users:
        sortByKey(order, rows, ascending, [](const ReceiverRow& row) -> std::optional<int> {
            if (!row.listing.users || !row.listing.usersMax)
                return std::nullopt;
            return *row.listing.usersMax - *row.listing.users;
        });
        break;
    case ReceiverColumn::coverage:
        sortByKey(order, rows, ascending, [](const ReceiverRow& row) -> std::optional<std::int64_t> {
            if (!row.listing.highHz)
                return std::nullopt;
            return *row.listing.highHz;
        });
        break;
    case ReceiverColumn::snr:
        sortByKey(order, rows, ascending, [](const ReceiverRow& row) { return row.listing.snrDb; });
        break;
    case ReceiverColumn::age:
        sortByKey(order, rows, ascending, [nowMs](const ReceiverRow& row) -> std::optional<std::int64_t> {
            if (row.listing.asOfMs <= 0)
                return std::nullopt;
            return nowMs - row.listing.asOfMs;
        });
        break;
    }
    return order;
}

double bestScore(const ReceiverRow& row)
{
    return row.listing.snrDb.value_or(0) - row.distanceKm.value_or(unknownDistanceKm) / kmPerDb;
}

std::vector<qsizetype> rowsBestFor(const QList<ReceiverRow>& rows, std::optional<double> frequencyKHz)
{
    std::vector<qsizetype> order = allRows(rows);
    const auto rank = [&](qsizetype index) {
        const ReceiverRow& row = rows[index];
        const Coverage coverage = frequencyKHz ? coverageOf(row.listing, *frequencyKHz) : Coverage::unknown;
        return std::tuple(static_cast<int>(coverage), freeRank(row.listing), bestScore(row));
    };
    std::stable_sort(order.begin(), order.end(), [&](qsizetype a, qsizetype b) { return rank(a) > rank(b); });
    return order;
}
