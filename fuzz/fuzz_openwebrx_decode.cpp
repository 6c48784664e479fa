// Any "secondary_demod" message read as the connection and the window read
// it: the text cleaned piece by piece (each input also split in two), a
// message turned into a table row and a CSV line, everything merged as the
// network thread merges it. Text stays plain and every piece bounded.
#include "model/DecoderOutput.h"
#include "openwebrx/OpenWebRXDecoders.h"
#include "openwebrx/OpenWebRXMessage.h"

#include <QDateTime>
#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

bool isPlain(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != u'\n' && (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format))
            return false;
        if (c.isHighSurrogate() && (i + 1 == text.size() || !text.at(i + 1).isLowSurrogate()))
            return false;
        if (c.isLowSurrogate() && (i == 0 || !text.at(i - 1).isHighSurrogate()))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString input = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    DecoderOutput merged;
    DecodedTextCleaner cleaner;

    // The input as a whole message, and as the bare text of one.
    const auto message = parseOpenWebRXText(input);
    const OpenWebRXDecode decode = message ? readOpenWebRXDecode(message->value) : OpenWebRXDecode(input);
    if (const auto* piece = std::get_if<QString>(&decode)) {
        check(piece->size() <= maxDecodedPieceLength);
        const qsizetype half = piece->size() / 2;
        const QString text = cleaner.clean(piece->left(half)) + cleaner.clean(piece->mid(half));
        check(text.size() <= piece->size() && isPlain(text));
        merged.append(text, {});
    } else if (const auto* decoded = std::get_if<DecodedMessage>(&decode)) {
        qsizetype length = 0;
        for (const DecodedField& field : decoded->fields) {
            check(field.key.size() <= maxDecodedKeyLength && isPlain(field.key) && !field.key.contains(u'\n'));
            if (const auto* text = std::get_if<QString>(&field.value)) {
                check(isPlain(*text) && !text->contains(u'\n'));
                length += text->size();
            }
            length += field.key.size();
        }
        check(length <= maxDecodedPieceLength);
        const DecodedRow row = decodedRow(*decoded, 7'029'000, QDateTime::currentDateTimeUtc());
        check(row.time.isValid());
        check(!row.audioHz || (*row.audioHz >= -100'000 && *row.audioHz <= 100'000));
        check(!decodedCsvLine(row).isEmpty());
        merged.append({}, {*decoded});
    }
    check(merged.text.size() <= maxKeptDecodedText && merged.messages.size() <= maxKeptDecodedMessages);
    return 0;
}
