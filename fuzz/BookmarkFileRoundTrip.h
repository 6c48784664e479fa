#pragma once
// What both bookmark file readers promise on arbitrary bytes, read against a
// short list: either a problem and nothing added, or a bounded list of good
// entries that our own files, in both formats, read back whole.
#include "bookmarks/BookmarkFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

template <typename List, typename Read, typename Good, typename Same>
void checkBookmarkFile(const uint8_t* data, size_t size, const List& current, Read read, Good good, Same same)
{
    using namespace BookmarkFiles;
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Import<List> first = read(file, current);
    if (!first.problem.isEmpty()) {
        if (!first.added.items.isEmpty())
            std::abort();
        return;
    }
    if (first.added.items.size() > maxEntries || first.added.items.size() + first.merged == 0)
        std::abort();
    for (const auto& item : first.added.items) {
        if (!good(item))
            std::abort();
    }
    // A file of duplicates only adds nothing; an empty file is refused.
    if (first.added.items.isEmpty())
        return;
    for (const BookmarkFileFormat format : {BookmarkFileFormat::json, BookmarkFileFormat::csv}) {
        const Import<List> again = read(write(first.added, format), List{});
        if (!again.problem.isEmpty() || again.merged != 0 || again.added.items.size() != first.added.items.size())
            std::abort();
        for (qsizetype i = 0; i < again.added.items.size(); ++i) {
            if (!same(again.added.items[i], first.added.items[i]))
                std::abort();
        }
    }
}
