// Both bookmark list readers on arbitrary text; a list that reads must write a
// text that reads back to the same list.
#include "bookmarks/Bookmarks.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

template <typename List>
void checkRoundTrip(const QString& text)
{
    const std::optional<List> list = List::fromText(text);
    if (!list)
        return;
    const std::optional<List> again = List::fromText(list->toText());
    if (!again || !(*again == *list))
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    checkRoundTrip<Bookmarks>(text);
    checkRoundTrip<FrequencyBookmarks>(text);
    return 0;
}
