#include "directory/ListingMerger.h"

namespace {

template <typename T>
void fill(std::optional<T>& mine, const std::optional<T>& theirs)
{
    if (!mine)
        mine = theirs;
}

void fill(QString& mine, const QString& theirs)
{
    if (mine.isEmpty())
        mine = theirs;
}

} // namespace

void ListingMerger::add(ReceiverListing listing)
{
    const auto found = m_rows.constFind(listing.url);
    if (found == m_rows.cend()) {
        m_rows.insert(listing.url, m_listings.size());
        m_listings.append(std::move(listing));
        return;
    }
    ++m_duplicates;
    ReceiverListing& first = m_listings[*found];
    fill(first.name, listing.name);
    if (!first.hasPosition()) {
        first.latitude = listing.latitude;
        first.longitude = listing.longitude;
    }
    fill(first.location, listing.location);
    if (!first.users || !first.usersMax) {
        first.users = listing.users;
        first.usersMax = listing.usersMax;
    }
    if (!first.lowHz || !first.highHz) {
        first.lowHz = listing.lowHz;
        first.highHz = listing.highHz;
    }
    fill(first.snrDb, listing.snrDb);
    fill(first.antenna, listing.antenna);
    fill(first.version, listing.version);
    first.asOfMs = std::max(first.asOfMs, listing.asOfMs);
}

DirectoryRead mergeDirectoryReads(const QList<DirectoryRead>& reads)
{
    DirectoryRead merged;
    ListingMerger merger;
    for (const DirectoryRead& read : reads) {
        if (read.error)
            continue;
        merged.duplicates += read.duplicates;
        merged.unsupported += read.unsupported;
        merged.skipped += read.skipped;
        for (const ReceiverListing& listing : read.receivers)
            merger.add(listing);
    }
    merged.duplicates += merger.duplicates();
    merged.receivers = merger.take();
    return merged;
}
