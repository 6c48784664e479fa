// The server bookmark file reader on arbitrary bytes: every address read back
// as it was.
#include "BookmarkFileRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    Bookmarks current;
    current.add(QStringLiteral("http://a.example:8073/"));
    checkBookmarkFile(
        data, size, current,
        [](const QByteArray& file, const Bookmarks& list) { return BookmarkFiles::readServers(file, list); },
        [](const auto&) { return true; }, [](const auto& a, const auto& b) { return a.url == b.url; });
    return 0;
}
