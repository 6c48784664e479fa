#pragma once
// Listings gathered into one row per address: a later entry for an address
// already listed is a duplicate, and fills in only what the first one lacks.

#include "directory/ReceiverListing.h"

#include <QHash>

class ListingMerger {
public:
    void add(ReceiverListing listing);
    const QList<ReceiverListing>& listings() const { return m_listings; }
    QList<ReceiverListing> take() { return std::move(m_listings); }
    int duplicates() const { return m_duplicates; }

private:
    QList<ReceiverListing> m_listings;
    QHash<QString, qsizetype> m_rows;
    int m_duplicates = 0;
};

// Every list that was read (those refused whole count nothing), merged in
// order: what `rxprobe --directory` and the Receivers window list.
DirectoryRead mergeDirectoryReads(const QList<DirectoryRead>& reads);
