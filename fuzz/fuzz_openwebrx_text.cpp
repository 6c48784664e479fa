// Any text an OpenWebRX server sends, read as the receive loop reads it
// (UTF-8 with invalid sequences replaced), then walked the way readers do.
#include "openwebrx/OpenWebRXMessage.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

// Walks iteratively so the walk itself has no depth limit to worry about.
void walk(const JSONValue& root)
{
    std::vector<const JSONValue*> pending{&root};
    while (!pending.empty()) {
        const JSONValue* value = pending.back();
        pending.pop_back();
        if (value->member(QStringLiteral("type")) && !value->asObject())
            std::abort();
        if (const auto* array = value->asArray()) {
            for (const auto& element : *array)
                pending.push_back(&element);
        } else if (const auto* object = value->asObject()) {
            for (const auto& [key, member] : *object) {
                if (!(value->member(key) == member))
                    std::abort();
                pending.push_back(&member);
            }
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto message = parseOpenWebRXText(text);
    if (!message)
        return 0;
    if (message->value) {
        if (message->value->isNull())
            std::abort();
        const JSONValue copy = *message->value;
        if (!(copy == *message->value))
            std::abort();
        walk(copy);
    }
    return 0;
}
