#pragma once
// What a receiver's decoder says: streaming text (CW, RTTY, PSK, NAVTEX) or
// messages of named fields (FT8, WSPR, packet and the like). Both are
// server text: plain, bounded, never markup.

#include <QDateTime>
#include <QList>
#include <QString>

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

// One piece of text or one message from a server, at most this many
// characters (a message counts its keys and values); the rest is cut.
inline constexpr qsizetype maxDecodedPieceLength = 4096;
// Each field of a message at most this many characters of its key.
inline constexpr qsizetype maxDecodedKeyLength = 64;
// What the window keeps: the newest text and the newest rows.
inline constexpr qsizetype maxKeptDecodedText = 100'000;
inline constexpr qsizetype maxKeptDecodedMessages = 5000;

struct DecodedField {
    QString key;
    // A number as the server sent it, or text (any other value as compact
    // JSON text).
    std::variant<double, QString> value;
    friend bool operator==(const DecodedField&, const DecodedField&) = default;
};

struct DecodedMessage {
    // In the server's order of keys.
    std::vector<DecodedField> fields;

    const DecodedField* field(const QString& key) const;
    std::optional<double> number(const QString& key) const;
    // Text as sent; a number written as text.
    std::optional<QString> text(const QString& key) const;
    friend bool operator==(const DecodedMessage&, const DecodedMessage&) = default;
};

// What arrived from the decoder since the last output: text in order, then
// messages, oldest first. `serial` tells one output from the next.
struct DecoderOutput {
    std::uint64_t serial = 0;
    QString text;
    QList<DecodedMessage> messages;

    bool isEmpty() const { return text.isEmpty() && messages.isEmpty(); }
    // Adds later output, keeping the newest within the bounds the window keeps.
    void append(QString moreText, QList<DecodedMessage> moreMessages);
    friend bool operator==(const DecoderOutput&, const DecoderOutput&) = default;
};

// Decoded text as plain text: line ends become "\n" ("\r\n" and a lone "\r"
// each one, also when a piece ends between the two), other control
// characters, and halves of surrogate pairs, are dropped.
class DecodedTextCleaner {
public:
    QString clean(const QString& piece);

private:
    bool m_afterCarriageReturn = false;
};

// Each line of decoded text stamped with the UTC time its first character
// arrived: "2025-03-01 12:34:56Z  text".
class DecodedTextStamper {
public:
    QString stamp(const QString& text, const QDateTime& utc);

private:
    bool m_atLineStart = true;
};

// One message as the columns the window shows and files keep.
struct DecodedRow {
    // The message's own time when it has a believable one, else when it
    // arrived; UTC.
    QDateTime time;
    std::optional<double> db;
    std::optional<double> dt;
    // The signal's audio frequency: its "freq" less the carrier.
    std::optional<double> audioHz;
    QString message;
    QString callsign;
    QString locator;
    // Every other field as "key = value", joined by ", ".
    QString details;
    friend bool operator==(const DecodedRow&, const DecodedRow&) = default;
};

DecodedRow decodedRow(const DecodedMessage& message, double carrierHz, const QDateTime& arrivedUtc);

// A file of rows: the header line and one line per row, comma-separated with
// quotes where a value needs them, times in ISO 8601 UTC.
QString decodedCsvHeader();
QString decodedCsvLine(const DecodedRow& row);
