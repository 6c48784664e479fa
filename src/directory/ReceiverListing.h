#pragma once
// One receiver as a public list describes it, every text plain and cut and
// every number in range, and what reading one list gave.

#include "model/ReceiverModel.h"

#include <QList>
#include <QString>

#include <cstdint>
#include <optional>

// Texts of a list are cut to this many characters.
inline constexpr qsizetype maxListingTextLength = 200;
// A list of more entries, or more bytes, is refused whole.
inline constexpr qsizetype maxListingEntries = 20'000;
inline constexpr qsizetype maxListingBytes = 16 * 1024 * 1024;

struct ReceiverListing {
    QString name;
    // Lower-case scheme and host, the port always written, no path:
    // "http://host.example:8073".
    QString url;
    ServerKind kind = ServerKind::kiwiSDR;
    // Both or neither; none where the list places the receiver nowhere real.
    std::optional<double> latitude;
    std::optional<double> longitude;
    QString location;
    std::optional<int> users;
    std::optional<int> usersMax;
    std::optional<std::int64_t> lowHz;
    std::optional<std::int64_t> highHz;
    std::optional<int> snrDb;
    QString antenna;
    QString version;
    // When the list this came from was fetched, or the receiver last asked
    // itself (ms since the epoch); 0 when not known.
    std::int64_t asOfMs = 0;

    bool hasPosition() const { return latitude && longitude; }
    // A free channel: known counts with fewer listeners than channels.
    std::optional<bool> hasFreeChannel() const
    {
        if (!users || !usersMax)
            return std::nullopt;
        return *users < *usersMax;
    }

    friend bool operator==(const ReceiverListing&, const ReceiverListing&) = default;
};

// What one list gave. `error` is set when the list was refused whole; then
// nothing else counts.
struct DirectoryRead {
    QList<ReceiverListing> receivers;
    // Entries for an address listed before (the later one fills in what the
    // earlier one lacks).
    int duplicates = 0;
    // Receivers of a kind Farlisten cannot listen to (WebSDR).
    int unsupported = 0;
    // Entries that could not be read, or that say the receiver is offline.
    int skipped = 0;
    std::optional<QString> error;
};
