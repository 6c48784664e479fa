#include "bookmarks/BuiltInServers.h"

#include <array>

namespace {

// Each "scheme://host[:port]/". The first two are one receiver's two ports.
constexpr std::array<const char*, 9> builtInServerAddresses{
    "http://hackgreensdr.org:8073/",
    "http://hackgreensdr.org:8074/",
    "http://kiwisdr.owdjim.gen.nz:8073/",
    "http://sdr.hfunderground.com:8073/",
    "http://kiwi.ve3sun.com:8074/",
    "http://kiwisdr.sk3w.se:8073/",
    "http://rx.kiwisdr.co.nz:8073/",
    "https://kiwisdr.bclnr.net/",
    "http://websdr.ja1ghl.net:8073/",
};

constexpr std::size_t defaultServerIndex = 1;

Bookmarks makeBuiltInServers()
{
    Bookmarks list;
    for (const char* address : builtInServerAddresses)
        list.items.append(Bookmark{QUuid::createUuid(), QString::fromLatin1(address)});
    return list;
}

} // namespace

const Bookmarks& builtInServers()
{
    static const Bookmarks list = makeBuiltInServers();
    return list;
}

QString defaultServerAddress()
{
    return QString::fromLatin1(builtInServerAddresses[defaultServerIndex]);
}
