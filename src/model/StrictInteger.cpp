#include "model/StrictInteger.h"

#include <limits>

std::optional<std::int64_t> parseStrictInteger(QStringView text)
{
    bool negative = false;
    if (!text.isEmpty() && (text.front() == u'+' || text.front() == u'-')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    if (text.isEmpty())
        return std::nullopt;

    // The magnitude is gathered unsigned, so that the most negative value,
    // one larger than the most positive, fits too.
    constexpr std::uint64_t maxPositive = std::numeric_limits<std::int64_t>::max();
    const std::uint64_t limit = negative ? maxPositive + 1 : maxPositive;
    std::uint64_t magnitude = 0;
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const std::uint64_t digit = c.unicode() - u'0';
        if (magnitude > (limit - digit) / 10)
            return std::nullopt;
        magnitude = magnitude * 10 + digit;
    }
    if (!negative)
        return static_cast<std::int64_t>(magnitude);
    if (magnitude == limit)
        return std::numeric_limits<std::int64_t>::min();
    return -static_cast<std::int64_t>(magnitude);
}
