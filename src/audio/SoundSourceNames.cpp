#include "audio/SoundSourceNames.h"

namespace {

constexpr qsizetype longestNamePart = 40;
constexpr qsizetype longestDescription = 60;
constexpr qsizetype longestOwner = 64;
constexpr qsizetype longestName = 64;

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-'
        || c == '_';
}

// Printable characters only, none that quotes or escapes a module argument.
QString cleanedDescription(const QString& text)
{
    QString kept;
    for (const QChar c : text) {
        if (c == u'"' || c == u'\'' || c == u'\\')
            continue;
        kept.append(c.isPrint() ? c : QChar(u' '));
    }
    kept = kept.simplified();
    if (kept.size() > longestDescription)
        kept = kept.left(longestDescription - 1).trimmed() + QChar(0x2026);
    return kept;
}

QByteArray nameFrom(const QString& text)
{
    QByteArray part;
    bool gap = false;
    for (const QChar c : text) {
        const char latin = c.toLatin1();
        if (c.unicode() < 0x80 && ((latin >= 'a' && latin <= 'z') || (latin >= 'A' && latin <= 'Z')
                                      || (latin >= '0' && latin <= '9'))) {
            if (gap && !part.isEmpty())
                part.append('-');
            gap = false;
            part.append(latin);
            if (part.size() >= longestNamePart)
                break;
        } else {
            gap = true;
        }
    }
    return part.isEmpty() ? QByteArray("receiver") : part;
}

QByteArray properties(const QString& description, QByteArrayView owner)
{
    return "'device.description=\"" + description.toUtf8() + "\" " + soundSourceOwnerKey + "="
        + owner.toByteArray() + "'";
}

} // namespace

SoundSourceName soundSourceNamedAfter(const QString& receiver)
{
    QString shown = cleanedDescription(receiver);
    if (shown.isEmpty())
        shown = QStringLiteral("receiver");
    // A device name other programs keep in their settings: never translated.
    return {soundSourcePrefix + nameFrom(receiver), QStringLiteral("Farlisten: ") + shown};
}

SoundSourceName numberedSoundSourceName(const SoundSourceName& name, int number)
{
    return {name.name + '-' + QByteArray::number(number), QStringLiteral("%1 (%2)").arg(name.description).arg(number)};
}

bool isValidSoundSourceName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > longestName)
        return false;
    for (const char c : name) {
        if (!isNameCharacter(c))
            return false;
    }
    return true;
}

QByteArray feedSinkName(const SoundSourceName& name)
{
    return name.name + ".feed";
}

QByteArray feedSinkArguments(const SoundSourceName& name, QByteArrayView owner)
{
    return "sink_name=" + feedSinkName(name) + " format=float32le rate=" + QByteArray::number(soundSourceRate)
        + " channels=1 channel_map=mono sink_properties="
        + properties(cleanedDescription(name.description) + QStringLiteral(" (feed)"), owner);
}

QByteArray soundSourceArguments(const SoundSourceName& name, QByteArrayView owner)
{
    return "source_name=" + name.name + " master=" + feedSinkName(name)
        + ".monitor channels=1 channel_map=mono master_channel_map=mono remix=no source_properties="
        + properties(cleanedDescription(name.description), owner);
}

std::optional<QByteArray> soundSourceOwner(QByteArrayView moduleArgument)
{
    const QByteArray key = QByteArray(soundSourceOwnerKey) + '=';
    // The mark comes last: the description before it is the server's text
    // and may spell a mark of its own.
    const qsizetype at = moduleArgument.lastIndexOf(key);
    if (at < 0)
        return std::nullopt;
    QByteArray owner;
    for (qsizetype i = at + key.size(); i < moduleArgument.size() && owner.size() < longestOwner; ++i) {
        const char c = moduleArgument[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') || c == '-'))
            break;
        owner.append(c);
    }
    if (owner.isEmpty())
        return std::nullopt;
    return owner;
}
