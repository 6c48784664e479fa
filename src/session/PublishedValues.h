#pragma once
// Everything a session publishes, declared once. Each line of
// RECEIVER_CLIENT_VALUES gives ReceiverClient a getter and a NOTIFY signal
// "<name>Changed" (emitted once an operation is over, when the value then
// differs from before it), and:
// - PROPERTY(type, name, value before any connection): a member of
//   PublishedValues and a Qt property (rxprobe prints every Qt property);
// - DERIVED(type, name): a Qt property computed from the other values by
//   ReceiverClient::name##Of(const PublishedValues&);
// - WINDOWS(type, name, value before any connection): a member of
//   PublishedValues read by the windows only, not a Qt property.
// A new published value is one line here; a DERIVED one also its function.
// Values with commas in them are written in parentheses.

#include "model/DecoderOutput.h"
#include "model/Mode.h"
#include "model/ReceiverDecoders.h"
#include "model/ReceiverFeatures.h"
#include "model/ReceiverLabels.h"
#include "model/ReceiverModel.h"
#include "model/ReceiverProfile.h"
#include "session/ReconnectSchedule.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QUrl>

#include <optional>

#define RECEIVER_CLIENT_VALUES(PROPERTY, DERIVED, WINDOWS)                                      \
    PROPERTY(ConnectionState, state, {})                                                        \
    PROPERTY(std::optional<QUrl>, serverURL, {})                                                \
    PROPERTY(std::optional<ServerKind>, serverKind, {})                                         \
    PROPERTY(ReceiverInfo, info, {})                                                            \
    PROPERTY(QList<ReceiverProfile>, profiles, {})                                              \
    PROPERTY(std::optional<QString>, currentProfileID, {})                                      \
    PROPERTY(std::optional<QUrl>, webPageAfterAppLimit, {})                                     \
    PROPERTY(double, frequencyKHz, 7200.0)                                                      \
    PROPERTY(Mode, mode, Mode::lsb)                                                             \
    PROPERTY(Passband, passband, (Passband{-2700, -300}))                                       \
    PROPERTY(bool, agcEnabled, true)                                                            \
    PROPERTY(int, manualGain, 50)                                                               \
    PROPERTY(std::optional<double>, rssi, {})                                                   \
    PROPERTY(bool, isADCOverloaded, false)                                                      \
    PROPERTY(int, waterfallZoom, 0)                                                             \
    PROPERTY(double, waterfallStartHz, 0)                                                       \
    PROPERTY(std::optional<QString>, waterfallError, {})                                        \
    PROPERTY(float, volume, 0.8f)                                                               \
    PROPERTY(bool, isMuted, false)                                                              \
    PROPERTY(QSet<QString>, openWebRXModulations, {})                                           \
    PROPERTY(ReceiverLabels, receiverLabels, {})                                                \
    PROPERTY(ReceiverLoad, receiverLoad, {})                                                    \
    PROPERTY(QList<Mode>, availableModes, (ReceiverFeatures{}.modes))                           \
    DERIVED(std::optional<SMeterReading>, sMeter)                                               \
    PROPERTY(std::optional<ReconnectWait>, reconnectWait, {})                                   \
    PROPERTY(bool, canWaitForFreeChannel, false)                                                \
    PROPERTY(std::optional<int>, freeChannelWaitSeconds, {})                                    \
    PROPERTY(std::optional<QString>, decoderError, {})                                          \
    WINDOWS(ReceiverFeatures, features, {})                                                     \
    WINDOWS(QList<ReceiverDecoder>, decoders, {})                                               \
    WINDOWS(std::optional<DecoderChoice>, decoder, {})                                          \
    WINDOWS(DecoderChannel, decoderChannel, {})                                                 \
    WINDOWS(DecoderOutput, decoderOutput, {})

#define RECEIVER_CLIENT_IGNORE_2(type, name)
#define RECEIVER_CLIENT_IGNORE_3(type, name, value)

// The values themselves, so that the session can tell after an operation
// which differ from before it.
struct PublishedValues {
#define RECEIVER_CLIENT_FIELD(type, name, value) type name = value;
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_FIELD, RECEIVER_CLIENT_IGNORE_2, RECEIVER_CLIENT_FIELD)
#undef RECEIVER_CLIENT_FIELD
};

// Every published value, derived ones included, in the order above.
enum class PublishedProperty {
#define RECEIVER_CLIENT_ENUM_3(type, name, value) name,
#define RECEIVER_CLIENT_ENUM_2(type, name) name,
    RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_ENUM_3, RECEIVER_CLIENT_ENUM_2, RECEIVER_CLIENT_ENUM_3)
#undef RECEIVER_CLIENT_ENUM_3
#undef RECEIVER_CLIENT_ENUM_2
};

// The member of PublishedValues behind each stored property.
template <PublishedProperty P>
struct PublishedField;
#define RECEIVER_CLIENT_TRAIT(type_, name, value)                                               \
    template <>                                                                                 \
    struct PublishedField<PublishedProperty::name> {                                            \
        using type = type_;                                                                     \
        static constexpr type PublishedValues::*member = &PublishedValues::name;                \
    };
RECEIVER_CLIENT_VALUES(RECEIVER_CLIENT_TRAIT, RECEIVER_CLIENT_IGNORE_2, RECEIVER_CLIENT_TRAIT)
#undef RECEIVER_CLIENT_TRAIT
