#pragma once
// Bookmark lists as files the user keeps or trades: the program's own JSON
// (what the preferences store holds, indented) and CSV. Reading never touches
// a list; it says what a file would add to one, or why it cannot.

#include "bookmarks/Bookmarks.h"

#include <QByteArray>
#include <QString>

#include <functional>
#include <optional>

enum class BookmarkFileFormat { json, csv };

namespace BookmarkFiles {

// Larger files and longer lists are refused whole: no bookmark list is that long.
inline constexpr qint64 maxFileBytes = 4 * 1024 * 1024;
inline constexpr qsizetype maxEntries = 10000;
// Longer names are cut; longer addresses refused.
inline constexpr qsizetype maxNameLength = 200;
inline constexpr qsizetype maxAddressLength = 2048;

// What a file adds to a list: its new entries (new ids, file order) and how
// many were in the list already or repeated in the file. A problem (naming
// the line, or the entry of a JSON list) means nothing is added.
template <typename List>
struct Import {
    List added;
    qsizetype merged = 0;
    QString problem;
};

// Why the text is no server address, or nothing when it is one.
using AddressCheck = std::function<std::optional<QString>(const QString& address)>;

// JSON for a path ending in ".json", otherwise CSV.
BookmarkFileFormat formatForPath(const QString& path);

QByteArray write(const Bookmarks& list, BookmarkFileFormat format);
QByteArray write(const FrequencyBookmarks& list, BookmarkFileFormat format);

// The format is told by the text: a JSON list starts with "[", anything else
// is read as CSV. A CSV header is found by its column names.
Import<Bookmarks> readServers(const QByteArray& data, const Bookmarks& current, const AddressCheck& check = {});
Import<FrequencyBookmarks> readFrequencies(const QByteArray& data, const FrequencyBookmarks& current);

} // namespace BookmarkFiles
