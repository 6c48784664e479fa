// An address is whatever a listener pastes or a launcher passes: read it, and
// hold the reader to its bounds.
#include "session/ReceiverAddress.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    const ReceiverAddress address = parseReceiverAddress(text);
    if (address.frequencyKHz && !(*address.frequencyKHz >= 0 && *address.frequencyKHz <= maxReceiverFrequencyKHz))
        std::abort();
    if (address.zoom && (*address.zoom < 0 || *address.zoom > maxReceiverAddressZoom))
        std::abort();
    if (address.server.size() > text.size())
        std::abort();
    return 0;
}
