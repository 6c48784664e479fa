// The server bookmark file reader on arbitrary bytes, against a short list: it
// either names a problem and adds nothing, or adds a bounded list that its own
// files, both formats, read back whole.
#include "bookmarks/BookmarkFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace BookmarkFiles;
    Bookmarks current;
    current.add(QStringLiteral("http://a.example:8073/"));
    const QByteArray file(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const Import<Bookmarks> read = readServers(file, current);
    if (!read.problem.isEmpty()) {
        if (!read.added.items.isEmpty())
            std::abort();
        return 0;
    }
    if (read.added.items.size() > maxEntries || read.added.items.size() + read.merged == 0)
        std::abort();
    // A file of duplicates only adds nothing; an empty file is refused.
    if (read.added.items.isEmpty())
        return 0;
    for (const BookmarkFileFormat format : {BookmarkFileFormat::json, BookmarkFileFormat::csv}) {
        const Import<Bookmarks> again = readServers(write(read.added, format), {});
        if (!again.problem.isEmpty() || again.merged != 0 || again.added.items.size() != read.added.items.size())
            std::abort();
        for (qsizetype i = 0; i < again.added.items.size(); ++i) {
            if (again.added.items[i].url != read.added.items[i].url)
                std::abort();
        }
    }
    return 0;
}
