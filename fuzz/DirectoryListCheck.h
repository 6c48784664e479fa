#pragma once
// What every receiver-list fuzz target checks of one read: each listing is
// plain, bounded and in range, and the window's rows can be made, filtered
// and ordered from it.

#include "directory/ListingMerger.h"
#include "directory/ReceiverFilter.h"

#include <cstdlib>

inline void checkDirectoryRead(const DirectoryRead& read)
{
    if (read.error && !read.receivers.isEmpty())
        std::abort();
    if (read.receivers.size() > maxListingEntries)
        std::abort();
    QList<ReceiverRow> rows;
    for (const ReceiverListing& listing : read.receivers) {
        const bool bounded = listing.name.size() <= maxListingTextLength
            && listing.location.size() <= maxListingTextLength && listing.antenna.size() <= maxListingTextLength
            && listing.version.size() <= maxListingTextLength;
        const bool inRange = (!listing.latitude || std::abs(*listing.latitude) <= 90)
            && (!listing.longitude || std::abs(*listing.longitude) <= 180)
            && (!listing.users || (*listing.users >= 0 && *listing.users <= 1000))
            && (!listing.highHz || (*listing.highHz <= 100'000'000'000 && *listing.lowHz <= *listing.highHz));
        if (!bounded || !inRange || listing.url.isEmpty())
            std::abort();
        rows.append(receiverRow(listing, GeoPoint{52.5, 13.4}));
    }
    const std::vector<qsizetype> best = rowsBestFor(rows, 9500);
    const std::vector<qsizetype> shown = filteredRows(rows, best, {QStringLiteral("kiwi"), {}, true, 7000, 5000});
    if (shown.size() > best.size() || mergeDirectoryReads({read, read}).receivers.size() != read.receivers.size())
        std::abort();
}
