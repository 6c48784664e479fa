// The frequency bookmark file reader on arbitrary bytes: frequencies in range,
// names bounded, and every entry read back as it was.
#include "BookmarkFileRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FrequencyBookmarks current;
    current.add(Mode::lsb, 7200);
    checkBookmarkFile(
        data, size, current,
        [](const QByteArray& file, const FrequencyBookmarks& list) { return BookmarkFiles::readFrequencies(file, list); },
        [](const FrequencyBookmark& item) {
            return item.frequencyKHz > 0 && item.frequencyKHz <= 1e7
                && (!item.name || item.name->size() <= BookmarkFiles::maxNameLength);
        },
        [](const FrequencyBookmark& a, const FrequencyBookmark& b) {
            return a.frequencyKHz == b.frequencyKHz && a.mode == b.mode && a.name == b.name;
        });
    return 0;
}
