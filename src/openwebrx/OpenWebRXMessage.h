#pragma once
// The envelope of every text message an OpenWebRX server sends, the rule that
// turns one received text into such a message, and the exact text of every
// message we send.

#include "connection/JSONValue.h"

#include <QString>
#include <QtGlobal>

#include <optional>

struct OpenWebRXMessage {
    QString type;
    std::optional<JSONValue> value;
    std::optional<QString> reason;
    friend bool operator==(const OpenWebRXMessage&, const OpenWebRXMessage&) = default;
};

// The server's handshake reply becomes a "handshake" message whose value is an
// object of its key=value words; anything else is read as a JSON message. No
// value for text that is neither.
std::optional<OpenWebRXMessage> parseOpenWebRXText(const QString& text);

// The outgoing messages, as the exact text to send.
QString openWebRXHandshakeLine();
QString openWebRXConnectionProperties();
QString openWebRXDSPControl(const QString& mod, qint64 offsetFreq, qint64 lowCut, qint64 highCut);
QString openWebRXDSPStart();
// The tuning message that also chooses a decoder by its modulation, or ends
// the one running ("secondary_mod" false); then where it listens, from the
// carrier.
QString openWebRXDecoderControl(const QString& mod, qint64 offsetFreq, qint64 lowCut, qint64 highCut,
    const std::optional<QString>& decoder);
QString openWebRXDecoderOffset(qint64 offsetHz);
QString openWebRXSelectProfile(const QString& profileID);
