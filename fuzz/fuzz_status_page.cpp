// A status page is whatever the server's web page answers: parse it, apply it,
// and show S-meter levels made from the same bytes.
#include "model/ReceiverModel.h"
#include "kiwisdr/KiwiStatusPage.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray body = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const QHash<QString, QString> page = parseKiwiStatusPage(body);

    ReceiverInfo fresh;
    applyKiwiStatusPage(fresh, page);
    ReceiverInfo known;
    known.name = QStringLiteral("known");
    applyKiwiStatusPage(known, page);
    applyKiwiStatusPage(known, page);

    std::size_t sink = std::size_t(fresh == known);
    for (std::size_t offset = 0; offset + sizeof(double) <= size; offset += sizeof(double)) {
        double dBm;
        std::memcpy(&dBm, data + offset, sizeof dBm);
        sink += std::size_t(SMeterReading{dBm, true}.displayText().size());
        sink += std::size_t(SMeterReading{dBm, false}.displayText().size());
    }
    volatile std::size_t keep = sink;
    (void)keep;
    return 0;
}
