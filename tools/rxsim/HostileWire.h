#pragma once
// The raw material of a hostile server: bytes no well-behaved receiver would
// send. Pure functions; the hostile channels decide when to send what.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Every tag and header of a KiwiSDR frame cut short: each prefix of "MSG",
// "SND" and "W/F" (the empty message too) and of the sound and waterfall
// headers, and a tag nobody knows.
QList<QByteArray> kiwiTruncatedFrames();

// Numbers no receiver means: beyond every range, not numbers at all, or
// written in ways a strict reader refuses.
QStringList absurdNumberTexts();
// The same as JSON number (or wrong-type) literals, for JSON members.
QStringList absurdJsonNumbers();

// Byte sequences that are not UTF-8: a lone continuation byte, cut-off and
// overlong sequences, an encoded surrogate, code points beyond U+10FFFF.
QList<QByteArray> invalidUtf8Samples();
// All samples joined, between two readable words.
QByteArray invalidUtf8Text();

// JSON arrays (or objects) nested `depth` deep.
QByteArray deepJsonArray(int depth);
QByteArray deepJsonObject(int depth);

// The header of one unmasked WebSocket frame from a server (FIN set), for
// bytes written straight onto the TCP connection.
enum class WebSocketOpcode : std::uint8_t { text = 0x1, binary = 0x2 };
QByteArray webSocketFrameHeader(WebSocketOpcode opcode, std::uint64_t payloadLength);
