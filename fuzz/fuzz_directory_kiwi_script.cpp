// A receiver list is whatever a server or mirror sends: read it as the
// Receivers window does.
#include "DirectoryListCheck.h"
#include "directory/DirectoryFormats.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDirectoryRead(readKiwiScriptList(bytes));
    return 0;
}
