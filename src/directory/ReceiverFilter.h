#pragma once
// The Receivers window's rows: each listing with its distance and bearing
// from the listener, the filters a listener sets, the column orders, and the
// "best for this frequency" order.
//
// Filters drop only what a list says does not match: a receiver whose
// coverage or listener counts are unknown stays (OpenWebRX lists tell
// neither); one without a position is dropped by a distance limit.
//
// Best for a frequency: first the receivers known to cover it, then those
// whose coverage is unknown, then the rest; within each, those with a free
// channel, then unknown, then full; then by SNR in dB less one dB per 500 km
// of distance (unknown SNR counts 0 dB, unknown distance 10,000 km).

#include "directory/Geo.h"
#include "directory/ReceiverListing.h"

#include <QList>
#include <QString>

#include <optional>
#include <vector>

enum class ReceiverColumn { name, location, distance, bearing, kind, users, coverage, snr, antenna, version, age };
inline constexpr int receiverColumnCount = 11;

struct ReceiverRow {
    ReceiverListing listing;
    std::optional<double> distanceKm;
    std::optional<double> bearingDegrees;
    // Name, location, antenna, address and version in lower case, for the search.
    QString searchText;
};

ReceiverRow receiverRow(ReceiverListing listing, std::optional<GeoPoint> listener);

struct ReceiverQuery {
    QString text;
    std::optional<ServerKind> kind;
    bool freeChannelOnly = false;
    std::optional<double> frequencyKHz;
    std::optional<double> maxDistanceKm;
};

// Known to cover the frequency, unknown, or known not to.
enum class Coverage { no, unknown, yes };
Coverage coverageOf(const ReceiverListing& listing, double frequencyKHz);

bool matchesQuery(const ReceiverRow& row, const ReceiverQuery& query);
// The rows of `order` (indices into `rows`) that match, in that order.
std::vector<qsizetype> filteredRows(
    const QList<ReceiverRow>& rows, const std::vector<qsizetype>& order, const ReceiverQuery& query);

// Every row's index, ordered by the column (unknown values last either way),
// or best for the frequency first.
std::vector<qsizetype> rowsByColumn(const QList<ReceiverRow>& rows, ReceiverColumn column, bool ascending,
    std::int64_t nowMs);
std::vector<qsizetype> rowsBestFor(const QList<ReceiverRow>& rows, std::optional<double> frequencyKHz);
double bestScore(const ReceiverRow& row);
