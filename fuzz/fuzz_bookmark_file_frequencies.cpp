// The frequency bookmark file reader on arbitrary bytes, against a short list:
// it either names a problem and adds nothing, or adds a bounded list of
// frequencies in range that its own files, both formats, read back whole.
#include "bookmarks/BookmarkFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace BookmarkFiles;
    FrequencyBookmarks current;
    current.add(KiwiMode::lsb, 7200);
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Import<FrequencyBookmarks> read = readFrequencies(file, current);
    if (!read.problem.isEmpty()) {
        if (!read.added.items.isEmpty())
            std::abort();
        return 0;
    }
    if (read.added.items.size() > maxEntries || read.added.items.size() + read.merged == 0)
        std::abort();
    for (const FrequencyBookmark& item : read.added.items) {
        if (!(item.frequencyKHz > 0 && item.frequencyKHz <= 1e7) || (item.name && item.name->size() > maxNameLength))
            std::abort();
    }
    // A file of duplicates only adds nothing; an empty file is refused.
    if (read.added.items.isEmpty())
        return 0;
    for (const BookmarkFileFormat format : {BookmarkFileFormat::json, BookmarkFileFormat::csv}) {
        const Import<FrequencyBookmarks> again = readFrequencies(write(read.added, format), {});
        if (!again.problem.isEmpty() || again.merged != 0 || again.added.items.size() != read.added.items.size())
            std::abort();
        for (qsizetype i = 0; i < again.added.items.size(); ++i) {
            const FrequencyBookmark& a = again.added.items[i];
            const FrequencyBookmark& b = read.added.items[i];
            if (a.frequencyKHz != b.frequencyKHz || a.mode != b.mode || a.name != b.name)
                std::abort();
        }
    }
    return 0;
}
