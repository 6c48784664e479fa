#include "directory/PlainText.h"

#include <array>
#include <optional>
#include <utility>

namespace {

struct NamedEntity {
    const char* name;
    char16_t character;
};

// The entities list pages use; an unknown one stays as written.
constexpr std::array<NamedEntity, 22> namedEntities{{
    {"amp", u'&'}, {"lt", u'<'}, {"gt", u'>'}, {"quot", u'"'}, {"apos", u'\''}, {"nbsp", u' '},
    {"deg", u'\u00b0'}, {"copy", u'\u00a9'}, {"reg", u'\u00ae'}, {"middot", u'\u00b7'},
    {"ndash", u'\u2013'}, {"mdash", u'\u2014'}, {"hellip", u'\u2026'}, {"auml", u'\u00e4'},
    {"ouml", u'\u00f6'}, {"uuml", u'\u00fc'}, {"Auml", u'\u00c4'}, {"Ouml", u'\u00d6'},
    {"Uuml", u'\u00dc'}, {"szlig", u'\u00df'}, {"eacute", u'\u00e9'}, {"micro", u'\u00b5'},
}};

// Tags after which words stand apart.
bool breaksWords(QStringView tag)
{
    static const std::array<QStringView, 9> breaking{u"br", u"p", u"div", u"li", u"tr", u"td", u"hr", u"h1", u"h2"};
    for (QStringView name : breaking) {
        if (tag.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool startsTag(QStringView text, qsizetype at)
{
    if (at + 1 >= text.size())
        return false;
    const QChar next = text[at + 1];
    return (next.unicode() < 128 && next.isLetter()) || next == u'/' || next == u'!' || next == u'?';
}

// The code point of "&...;" at `at` and the length taken, or nothing.
std::optional<std::pair<char32_t, qsizetype>> entityAt(QStringView text, qsizetype at)
{
    constexpr qsizetype longest = 12;
    const qsizetype end = text.indexOf(u';', at + 1);
    if (end < 0 || end - at > longest)
        return std::nullopt;
    const QStringView body = text.sliced(at + 1, end - at - 1);
    if (body.startsWith(u'#')) {
        bool ok = false;
        const bool hex = body.size() > 1 && (body[1] == u'x' || body[1] == u'X');
        const uint value = hex ? body.sliced(2).toUInt(&ok, 16) : body.sliced(1).toUInt(&ok, 10);
        if (!ok || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
            return std::nullopt;
        return std::pair{char32_t(value), end - at + 1};
    }
    for (const NamedEntity& entity : namedEntities) {
        if (body == QLatin1StringView(entity.name))
            return std::pair{char32_t(entity.character), end - at + 1};
    }
    return std::nullopt;
}

// Invisible characters that could hide or reorder text; the zero-width
// joiner stays, as emoji sequences need it.
bool isDropped(char32_t c)
{
    if (c == 0x200D)
        return false;
    return QChar::category(c) == QChar::Other_Format;
}

bool isBlank(char32_t c)
{
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == 0xA0 || c == 0x2028 || c == 0x2029
        || QChar::category(c) == QChar::Other_Control || QChar::category(c) == QChar::Separator_Space;
}

class PlainWriter {
public:
    explicit PlainWriter(qsizetype maxLength) : m_max(maxLength) {}

    void add(char32_t c)
    {
        if (isDropped(c))
            return;
        if (isBlank(c)) {
            m_pendingBlank = !m_text.isEmpty();
            return;
        }
        if (m_pendingBlank) {
            m_text += u' ';
            m_pendingBlank = false;
        }
        const qsizetype before = m_text.size();
        if (QChar::requiresSurrogates(c)) {
            m_text += QChar(QChar::highSurrogate(c));
            m_text += QChar(QChar::lowSurrogate(c));
        } else {
            m_text += QChar(char16_t(c));
        }
        if (m_text.size() > m_max)
            m_text.truncate(before);
    }
    void blank() { m_pendingBlank = !m_text.isEmpty(); }
    bool full() const { return m_text.size() >= m_max; }
    QString take() { return std::move(m_text); }

private:
    QString m_text;
    qsizetype m_max;
    bool m_pendingBlank = false;
};

} // namespace

QString plainListText(QStringView markup, qsizetype maxLength)
{
    PlainWriter out(maxLength);
    qsizetype at = 0;
    while (at < markup.size() && !out.full()) {
        const QChar c = markup[at];
        if (c == u'<' && startsTag(markup, at)) {
            const bool comment = markup.sliced(at).startsWith(u"<!--");
            const qsizetype end = comment ? markup.indexOf(u"-->", at + 4) : markup.indexOf(u'>', at + 1);
            if (end < 0)
                break;
            qsizetype nameStart = at + 1;
            if (nameStart < markup.size() && markup[nameStart] == u'/')
                ++nameStart;
            qsizetype nameEnd = nameStart;
            while (nameEnd < end && markup[nameEnd].isLetterOrNumber())
                ++nameEnd;
            if (breaksWords(markup.sliced(nameStart, nameEnd - nameStart)))
                out.blank();
            at = end + (comment ? 3 : 1);
            continue;
        }
        if (c == u'&') {
            if (const auto entity = entityAt(markup, at)) {
                out.add(entity->first);
                at += entity->second;
                continue;
            }
        }
        if (c.isHighSurrogate() && at + 1 < markup.size() && markup[at + 1].isLowSurrogate()) {
            out.add(QChar::surrogateToUcs4(c, markup[at + 1]));
            at += 2;
            continue;
        }
        out.add(c.isSurrogate() ? char32_t(QChar::ReplacementCharacter) : char32_t(c.unicode()));
        ++at;
    }
    return out.take();
}
