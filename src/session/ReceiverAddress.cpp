#include "session/ReceiverAddress.h"

#include "model/StrictInteger.h"
#include "session/ReceiverClient.h"

#include <QCoreApplication>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// Quoted parts of an address are cut to this many characters in a warning.
constexpr int maxQuotedLength = 60;

QString quoted(QStringView part)
{
    if (part.size() <= maxQuotedLength)
        return part.toString();
    return part.first(maxQuotedLength).toString() + QChar(0x2026);
}

QString ignoredPart(QStringView part)
{
    return QCoreApplication::translate("ReceiverAddress", "Ignored \"%1\" in the address.").arg(quoted(part));
}

// Digits with at most one decimal point, nothing else: no sign, exponent,
// blanks or "inf", which the general number reader would take.
std::optional<double> decimalNumber(QStringView text)
{
    bool sawDigit = false;
    bool sawPoint = false;
    for (const QChar c : text) {
        if (c >= u'0' && c <= u'9')
            sawDigit = true;
        else if (c == u'.' && !sawPoint)
            sawPoint = true;
        else
            return std::nullopt;
    }
    if (!sawDigit)
        return std::nullopt;
    bool ok = false;
    const double value = text.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<double> frequencyFromKHz(std::optional<double> kHz)
{
    if (!kHz || *kHz > maxReceiverFrequencyKHz)
        return std::nullopt;
    return kHz;
}

std::optional<int> zoomFromText(QStringView text)
{
    const std::optional<std::int64_t> zoom = parseStrictInteger(text);
    if (!zoom || *zoom < 0 || *zoom > maxReceiverAddressZoom || text.startsWith(u'+') || text.startsWith(u'-'))
        return std::nullopt;
    return static_cast<int>(*zoom);
}

QString decoded(QStringView part)
{
    return QUrl::fromPercentEncoding(part.toUtf8());
}

class Reader {
public:
    explicit Reader(ReceiverAddress& address) : m_address(address) {}

    // The KiwiSDR form "f=<kHz>[mode][z<zoom>][/passband]".
    void kiwiTuning(QStringView value)
    {
        qsizetype end = 0;
        while (end < value.size() && (value[end].isDigit() || value[end] == u'.'))
            ++end;
        const QStringView number = value.first(end);
        qsizetype letters = end;
        while (letters < value.size() && value[letters].isLetter() && value[letters].unicode() < 128)
            ++letters;
        QStringView word = value.sliced(end, letters - end);
        QStringView rest = value.sliced(letters);
        // A trailing "z" followed by digits is the zoom; no mode has a "z".
        if (!word.isEmpty() && word.back().toLower() == u'z' && !rest.isEmpty() && rest.front().isDigit()) {
            word.chop(1);
            qsizetype digits = 0;
            while (digits < rest.size() && rest[digits].isDigit())
                ++digits;
            zoom(rest.first(digits));
            rest = rest.sliced(digits);
        }
        if (!number.isEmpty())
            frequency(frequencyFromKHz(decimalNumber(number)), number);
        if (!word.isEmpty())
            mode(word);
        if (!rest.isEmpty())
            ignore(rest);
    }

    // The OpenWebRX form "freq=<Hz>,mod=<modulation>".
    void openWebRXItem(QStringView key, QStringView value)
    {
        if (key == u"freq") {
            const std::optional<double> hz = decimalNumber(value);
            frequency(hz ? frequencyFromKHz(*hz / 1000) : std::nullopt, value);
        } else if (key == u"mod") {
            mode(value);
        } else {
            ignore(key.toString() + u'=' + value.toString());
        }
    }

    void kiwiItem(QStringView key, QStringView value)
    {
        if (key == u"f")
            kiwiTuning(value);
        else if (key == u"z" || key == u"zoom")
            zoom(value);
        else if (key == u"mode")
            mode(value);
        else
            ignore(key.toString() + u'=' + value.toString());
    }

    void ignore(QStringView part) { m_address.warnings.append(ignoredPart(part)); }

private:
    void frequency(std::optional<double> kHz, QStringView text)
    {
        if (kHz)
            m_address.frequencyKHz = kHz;
        else
            m_address.warnings.append(QCoreApplication::translate("ReceiverAddress",
                "Ignored the frequency \"%1\" in the address: not a frequency between 0 and 10 GHz.")
                    .arg(quoted(text)));
    }

    void mode(QStringView text)
    {
        if (const std::optional<Mode> mode = modeFromAddressText(text.toString()))
            m_address.mode = mode;
        else
            m_address.warnings.append(
                QCoreApplication::translate("ReceiverAddress", "Ignored the unknown mode \"%1\" in the address.")
                    .arg(quoted(text)));
    }

    void zoom(QStringView text)
    {
        if (const std::optional<int> zoom = zoomFromText(text))
            m_address.zoom = zoom;
        else
            m_address.warnings.append(QCoreApplication::translate("ReceiverAddress",
                "Ignored the zoom \"%1\" in the address: not a zoom between 0 and %2.")
                    .arg(quoted(text))
                    .arg(maxReceiverAddressZoom));
    }

    ReceiverAddress& m_address;
};

// Items "key=value" split at any of `separators`; empty items are skipped.
template <typename Handle>
void readItems(QStringView part, QStringView separators, Reader& reader, Handle handle)
{
    qsizetype start = 0;
    while (start <= part.size()) {
        qsizetype end = start;
        while (end < part.size() && !separators.contains(part[end]))
            ++end;
        const QStringView item = part.sliced(start, end - start);
        if (!item.isEmpty()) {
            const qsizetype equals = item.indexOf(u'=');
            if (equals <= 0)
                reader.ignore(decoded(item));
            else
                handle(decoded(item.first(equals)).toLower(), decoded(item.sliced(equals + 1)));
        }
        start = end + 1;
    }
}

} // namespace

std::optional<Mode> modeFromAddressText(const QString& text)
{
    return modeFromWord(text);
}

std::optional<double> frequencyKHzFromText(const QString& text)
{
    return frequencyFromKHz(decimalNumber(QStringView(text).trimmed()));
}

ReceiverAddress parseReceiverAddress(const QString& text)
{
    ReceiverAddress address;
    const QString trimmed = text.trimmed();
    if (trimmed.size() > maxReceiverAddressLength) {
        address.server = trimmed;
        address.warnings.append(QCoreApplication::translate("ReceiverAddress",
            "The address is longer than %1 characters; no tuning was read from it.")
                                    .arg(maxReceiverAddressLength));
        return address;
    }

    const QStringView view(trimmed);
    const qsizetype hash = view.indexOf(u'#');
    const QStringView beforeFragment = hash < 0 ? view : view.first(hash);
    const qsizetype question = beforeFragment.indexOf(u'?');
    address.server = (question < 0 ? beforeFragment : beforeFragment.first(question)).toString();

    Reader reader(address);
    if (question >= 0) {
        readItems(beforeFragment.sliced(question + 1), u"&;", reader,
            [&](const QString& key, const QString& value) { reader.kiwiItem(key, value); });
    }
    if (hash >= 0) {
        readItems(view.sliced(hash + 1), u",&", reader,
            [&](const QString& key, const QString& value) { reader.openWebRXItem(key, value); });
    }
    return address;
}

std::optional<QString> serverAddressProblem(const QString& text)
{
    const QString server = parseReceiverAddress(text).server.trimmed();
    if (ReceiverClient::normalizedServerURL(server))
        return std::nullopt;
    if (server.isEmpty())
        return QCoreApplication::translate("ReceiverAddress", "Type a server address first.");
    if (std::any_of(server.cbegin(), server.cend(), [](QChar c) { return c.isSpace(); }))
        return QCoreApplication::translate("ReceiverAddress", "The server address has a space in it.");
    const qsizetype schemeEnd = server.indexOf(QStringLiteral("://"));
    const QString rest = schemeEnd < 0 ? server : server.sliced(schemeEnd + 3);
    const QString authority = rest.section(u'/', 0, 0).section(u'@', -1);
    if (authority.isEmpty() || authority.startsWith(u':'))
        return QCoreApplication::translate("ReceiverAddress", "The server address has no host name.");
    const qsizetype colon = authority.lastIndexOf(u':');
    if (colon >= 0 && !authority.contains(u']')) {
        bool isNumber = false;
        const int port = authority.sliced(colon + 1).toInt(&isNumber);
        if (!isNumber || port < 1 || port > 65535)
            return QCoreApplication::translate(
                "ReceiverAddress", "The server address's port is not a number from 1 to 65535.");
    }
    return QCoreApplication::translate("ReceiverAddress", "The server address has characters that no web address has.");
}

QString listedServerAddress(const QString& text)
{
    const QString trimmed = text.trimmed();
    const ReceiverAddress address = parseReceiverAddress(trimmed);
    if (address.server != trimmed)
        return trimmed;
    const std::optional<QUrl> url = ReceiverClient::normalizedServerURL(trimmed);
    return url ? url->toString() : trimmed;
}
