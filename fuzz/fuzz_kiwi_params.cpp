// Parameter values are whatever a server sends: read them as numbers, integers,
// percent-encoded text, versions and receiver configuration, and place
// waterfall frames of any geometry the same bytes describe.
#include "kiwisdr/KiwiParamValues.h"
#include "kiwisdr/KiwiWaterfallGeometry.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

template <typename T>
T read(const std::uint8_t* data, std::size_t& offset)
{
    T value;
    std::memcpy(&value, data + offset, sizeof value);
    offset += sizeof value;
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    std::size_t sink = 0;

    KiwiParams params;
    ReceiverInfo info;
    for (const QString& word : text.split(u' ')) {
        const qsizetype equals = word.indexOf(u'=');
        const QString key = equals < 0 ? word : word.left(equals);
        const std::optional<QString> value = equals < 0 ? std::nullopt : std::optional(word.mid(equals + 1));
        params.push_back({key, value});

        if (const std::optional<double> number = parseServerNumber(value)) {
            if (!std::isfinite(*number))
                std::abort();
            sink += std::size_t(isUsableBandwidth(*number));
            sink += std::size_t(truncatedToInt64(*number).value_or(0));
            sink += std::size_t(roundedToInt64(*number).value_or(0));
        }
        if (const std::optional<std::int64_t> integer = parseServerInteger(value))
            sink += std::size_t(clampedZoom(*integer));
        info.softwareVersion = updatedSoftwareVersion(info.softwareVersion, key, value);

        const QString decoded = percentDecoded(word);
        sink += std::size_t(decoded.size());
        // Encoding keeps only letters and digits, and decodes back to the text.
        if (percentDecoded(percentEncodedAlphanumerics(decoded)) != decoded)
            std::abort();
    }
    for (const QString& value : {text, percentDecoded(text)}) {
        if (const std::optional<KiwiReceiverConfig> config = readReceiverConfig(value))
            applyReceiverConfig(info, *config);
    }
    sink += std::size_t(info.name.value_or(QString()).size());

    KiwiWaterfallGeometry geometry;
    geometry.applyParameters(params);
    for (std::size_t offset = 0; offset + 12 <= size;) {
        KiwiWaterfallFrame frame;
        frame.xBin = read<std::uint32_t>(data, offset);
        frame.zoom = read<std::int32_t>(data, offset);
        frame.sequence = read<std::uint32_t>(data, offset);
        frame.bins.assign(data, data + std::min<std::size_t>(size, frame.sequence & 0x3F));
        if (const auto placed = geometry.place(std::move(frame))) {
            if (!std::isfinite(placed->row.startHz) || !std::isfinite(placed->row.spanHz) || placed->row.spanHz <= 0)
                std::abort();
            sink += std::size_t(placed->geometryChanged);
        }
    }

    volatile std::size_t keep = sink;
    (void)keep;
    return 0;
}
