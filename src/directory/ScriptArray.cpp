#include "directory/ScriptArray.h"

namespace {

// Deeper elements are no list entry; they are kept out of the JSON reader.
constexpr int maxDepth = 32;

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

// Where the array's '[' is, after "var <name>" and '='; -1 when absent.
qsizetype arrayStart(QByteArrayView page, QByteArrayView name)
{
    qsizetype from = 0;
    while (true) {
        const qsizetype var = page.indexOf(QByteArrayView("var"), from);
        if (var < 0)
            return -1;
        from = var + 3;
        qsizetype at = from;
        while (at < page.size() && isBlank(page[at]))
            ++at;
        if (at == from || !page.sliced(at).startsWith(name))
            continue;
        at += name.size();
        while (at < page.size() && isBlank(page[at]))
            ++at;
        if (at >= page.size() || page[at] != '=')
            continue;
        ++at;
        while (at < page.size() && isBlank(page[at]))
            ++at;
        if (at < page.size() && page[at] == '[')
            return at;
    }
}

class ElementReader {
public:
    ElementReader(QByteArrayView page, qsizetype at) : m_page(page), m_at(at) {}

    // Reads to the end of the array; false when the page ends first.
    bool read(ScriptArray& array, qsizetype maxElements)
    {
        QByteArray element;
        int depth = 0;
        bool tooDeep = false;
        const auto finishElement = [&] {
            if (!element.trimmed().isEmpty()) {
                array.elements.append(tooDeep ? QByteArray() : element);
                if (array.elements.size() > maxElements)
                    return false;
            }
            element.clear();
            tooDeep = false;
            return true;
        };
        while (m_at < m_page.size()) {
            const char c = m_page[m_at];
            if (c == '"' || c == '\'') {
                const qsizetype end = stringEnd(c);
                if (end < 0)
                    return false;
                element += m_page.sliced(m_at, end - m_at);
                m_at = end;
                continue;
            }
            if (skipComment())
                continue;
            ++m_at;
            if (c == '{' || c == '[') {
                ++depth;
                tooDeep = tooDeep || depth > maxDepth;
            } else if (c == '}' || c == ']') {
                if (depth == 0) {
                    if (c == ']' && !finishElement())
                        array.problem = ScriptArray::Problem::tooManyEntries;
                    return true;
                }
                --depth;
            } else if (c == ',') {
                if (depth == 0) {
                    if (!finishElement()) {
                        array.problem = ScriptArray::Problem::tooManyEntries;
                        return true;
                    }
                    continue;
                }
                if (closesNext())
                    continue;
            }
            if (!tooDeep)
                element += c;
        }
        return false;
    }

private:
    // Just past the string's closing quote; -1 when it never closes.
    qsizetype stringEnd(char quote) const
    {
        for (qsizetype at = m_at + 1; at < m_page.size(); ++at) {
            if (m_page[at] == '\\')
                ++at;
            else if (m_page[at] == quote)
                return at + 1;
        }
        return -1;
    }

    bool skipComment()
    {
        if (m_at + 1 >= m_page.size() || m_page[m_at] != '/')
            return false;
        if (m_page[m_at + 1] == '/') {
            const qsizetype end = m_page.indexOf('\n', m_at);
            m_at = end < 0 ? m_page.size() : end;
            return true;
        }
        if (m_page[m_at + 1] == '*') {
            const qsizetype end = m_page.indexOf(QByteArrayView("*/"), m_at + 2);
            m_at = end < 0 ? m_page.size() : end + 2;
            return true;
        }
        return false;
    }

    // A trailing comma: only blanks and comments before the next closing bracket.
    bool closesNext()
    {
        const qsizetype saved = m_at;
        while (m_at < m_page.size()) {
            if (isBlank(m_page[m_at]))
                ++m_at;
            else if (!skipComment())
                break;
        }
        const bool closes = m_at < m_page.size() && (m_page[m_at] == '}' || m_page[m_at] == ']');
        m_at = saved;
        return closes;
    }

    QByteArrayView m_page;
    qsizetype m_at;
};

} // namespace

bool assignsScriptVariable(QByteArrayView page, QByteArrayView name)
{
    return arrayStart(page, name) >= 0;
}

ScriptArray readScriptArray(QByteArrayView page, QByteArrayView name, qsizetype maxElements)
{
    ScriptArray array;
    const qsizetype start = arrayStart(page, name);
    if (start < 0) {
        array.problem = ScriptArray::Problem::missing;
        return array;
    }
    ElementReader reader(page, start + 1);
    if (!reader.read(array, maxElements))
        array.problem = ScriptArray::Problem::cutShort;
    if (array.problem != ScriptArray::Problem::none)
        array.elements.clear();
    return array;
}
