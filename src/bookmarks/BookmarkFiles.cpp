#include "bookmarks/BookmarkFiles.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>
#include <utility>

namespace BookmarkFiles {
namespace {

constexpr qsizetype maxColumns = 32;
// Above 10 GHz no receiver listens; at or below 0 there is nothing to hear.
constexpr double maxKHz = 1e7;
// A frequency column that names no unit is in Hz when it reaches this:
// 1 MHz in Hz, but 1 GHz in kHz, far above the bands listened to here.
constexpr double unitlessHzFrom = 1e6;

QString atLine(qsizetype line, const QString& why)
{
    return QCoreApplication::translate("BookmarkFiles", "Line %1: %2").arg(line).arg(why);
}

QString atEntry(qsizetype entry, const QString& why)
{
    return QCoreApplication::translate("BookmarkFiles", "Entry %1: %2").arg(entry).arg(why);
}

QString tooMany()
{
    return QCoreApplication::translate("BookmarkFiles", "The file holds more than %1 entries.").arg(maxEntries);
}

// ---- CSV ----

struct CsvRow {
    qsizetype line = 1;
    QStringList cells;
};

struct Csv {
    QList<CsvRow> rows;
    QString problem;
};

// The commonest of comma, semicolon and tab on the first line that has any
// (a file may start with a blank line or a single cell); comma when none.
QChar separatorOf(const QString& text)
{
    const QChar candidates[] = {u',', u';', u'\t'};
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        QChar best;
        qsizetype most = 0;
        for (const QChar c : candidates) {
            const qsizetype count = line.count(c);
            if (count > most) {
                most = count;
                best = c;
            }
        }
        if (most > 0)
            return best;
    }
    return u',';
}

// Quoted fields may hold separators, doubled quotes and line breaks; the
// rest of a field is trimmed. Blank rows are skipped.
Csv readCsv(const QString& text)
{
    const QChar separator = separatorOf(text);
    Csv csv;
    CsvRow row;
    QString cell;
    bool quoted = false;
    bool wasQuoted = false;
    qsizetype line = 1;
    const auto endCell = [&] {
        row.cells.append(wasQuoted ? cell : cell.trimmed());
        cell.clear();
        wasQuoted = false;
    };
    const auto endRow = [&] {
        endCell();
        const bool blank
            = std::all_of(row.cells.cbegin(), row.cells.cend(), [](const QString& c) { return c.trimmed().isEmpty(); });
        if (!blank)
            csv.rows.append(std::move(row));
        row = CsvRow{line + 1, {}};
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                cell += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                line += c == u'\n';
                cell += c;
            }
        } else if (c == u'"' && cell.trimmed().isEmpty()) {
            cell.clear();
            quoted = wasQuoted = true;
        } else if (c == separator) {
            endCell();
            if (row.cells.size() > maxColumns) {
                csv.problem = atLine(
                    row.line, QCoreApplication::translate("BookmarkFiles", "more than %1 columns").arg(maxColumns));
                return csv;
            }
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            endRow();
            ++line;
            // One header row besides the entries.
            if (csv.rows.size() > maxEntries + 1) {
                csv.problem = tooMany();
                return csv;
            }
        } else {
            cell += c;
        }
    }
    if (quoted) {
        csv.problem = atLine(row.line, QCoreApplication::translate("BookmarkFiles", "a quoted field is not closed"));
        return csv;
    }
    endRow();
    if (csv.rows.size() > maxEntries + 1)
        csv.problem = tooMany();
    return csv;
}

QByteArray csvField(const QString& text)
{
    const bool plain = !text.contains(u',') && !text.contains(u';') && !text.contains(u'"') && !text.contains(u'\n')
        && !text.contains(u'\r') && !text.contains(u'\t') && text == text.trimmed();
    if (plain)
        return text.toUtf8();
    return '"' + QString(text).replace(u'"', QStringLiteral("\"\"")).toUtf8() + '"';
}

enum class Column { url, frequency, name, mode, other };

// Also tells the frequency's unit in kHz (0 when the name gives none).
std::pair<Column, double> columnNamed(const QString& cell)
{
    QString key = cell.toLower();
    key.remove(u' ');
    if (key.contains(QStringLiteral("freq")) || key == QStringLiteral("khz") || key == QStringLiteral("hz")
        || key == QStringLiteral("mhz")) {
        const double unit = key.contains(QStringLiteral("mhz")) ? 1000.0
            : key.contains(QStringLiteral("khz"))               ? 1.0
            : key.contains(QStringLiteral("hz"))                ? 0.001
                                                                : 0.0;
        return {Column::frequency, unit};
    }
    static const QStringList urls{QStringLiteral("url"), QStringLiteral("address"), QStringLiteral("server"),
        QStringLiteral("link"), QStringLiteral("uri")};
    static const QStringList names{QStringLiteral("name"), QStringLiteral("title"), QStringLiteral("label"),
        QStringLiteral("station"), QStringLiteral("description")};
    static const QStringList modes{QStringLiteral("mode"), QStringLiteral("modulation"),
        QStringLiteral("demodulation")};
    if (urls.contains(key))
        return {Column::url, 0.0};
    if (names.contains(key))
        return {Column::name, 0.0};
    if (modes.contains(key))
        return {Column::mode, 0.0};
    return {Column::other, 0.0};
}

std::optional<double> numberIn(QString text)
{
    text.remove(u' ');
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    double value = c.toDouble(text, &ok);
    // A decimal comma, as spreadsheets in many languages write it.
    if (!ok && text.count(u',') == 1 && !text.contains(u'.'))
        value = c.toDouble(text.replace(u',', u'.'), &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

// A row that stayed one cell but is no number was written with another
// separator than the file's first row: split at the first one it holds.
QStringList cellsOf(const QStringList& cells)
{
    if (cells.size() != 1 || numberIn(cells.front()))
        return cells;
    for (const QChar separator : {u';', u'\t', u','}) {
        if (cells.front().contains(separator)) {
            QStringList split = cells.front().split(separator);
            for (QString& cell : split)
                cell = cell.trimmed();
            return split;
        }
    }
    return cells;
}

std::optional<Mode> modeIn(const QString& text)
{
    const QString key = text.trimmed().toLower();
    if (key.isEmpty())
        return Mode::am;
    return modeFromWord(key);
}

// Plain one-line text, cut to length; nothing when blank.
std::optional<QString> nameIn(const QString& text)
{
    QString name;
    for (const QChar c : text)
        name += c.category() == QChar::Other_Control ? QChar(u' ') : c;
    name = name.trimmed().left(maxNameLength);
    // A cut must not split a surrogate pair or leave a space at the end.
    if (!name.isEmpty() && name.back().isHighSurrogate())
        name.chop(1);
    name = name.trimmed();
    if (name.isEmpty())
        return std::nullopt;
    return name;
}

// ---- JSON ----

struct Json {
    QJsonArray entries;
    QString problem;
};

Json readJson(const QByteArray& data)
{
    Json json;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(data, &error);
    if (error.error != QJsonParseError::NoError) {
        const qsizetype line = 1 + data.left(error.offset).count('\n');
        json.problem = atLine(
            line, QCoreApplication::translate("BookmarkFiles", "not readable as JSON (%1)").arg(error.errorString()));
    } else if (!document.isArray()) {
        json.problem = atLine(1, QCoreApplication::translate("BookmarkFiles", "not a list of bookmarks"));
    } else if (document.array().size() > maxEntries) {
        json.problem = tooMany();
    } else {
        json.entries = document.array();
    }
    return json;
}

bool isJson(const QByteArray& data)
{
    for (const char c : data) {
        if (c != ' ' && c != '\t' && c != '\r' && c != '\n')
            return c == '[';
    }
    return false;
}

QString textOf(const QByteArray& data)
{
    QString text = QString::fromUtf8(data);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    return text;
}

QByteArray indented(const QString& storedText)
{
    return QJsonDocument::fromJson(storedText.toUtf8()).toJson(QJsonDocument::Indented);
}

// ---- Merging ----

class ServerMerge {
public:
    ServerMerge(const Bookmarks& current, const AddressCheck& check)
        : check(check)
    {
        for (const Bookmark& item : current.items)
            seen.insert(item.url);
    }

    // Why the address is not taken, or nothing.
    std::optional<QString> take(const QString& address)
    {
        const QString url = address.trimmed();
        if (url.isEmpty())
            return QCoreApplication::translate("BookmarkFiles", "no server address");
        if (url.size() > maxAddressLength)
            return QCoreApplication::translate("BookmarkFiles", "the address is longer than %1 characters")
                .arg(maxAddressLength);
        if (check) {
            if (std::optional<QString> why = check(url))
                return why;
        }
        if (seen.contains(url)) {
            ++result.merged;
        } else {
            seen.insert(url);
            result.added.items.append(Bookmark{QUuid::createUuid(), url});
        }
        return std::nullopt;
    }

    Import<Bookmarks> result;

private:
    const AddressCheck& check;
    QSet<QString> seen;
};

class FrequencyMerge {
public:
    explicit FrequencyMerge(const FrequencyBookmarks& current)
    {
        for (const FrequencyBookmark& item : current.items) {
            if (std::isfinite(item.frequencyKHz) && std::abs(item.frequencyKHz) <= maxKHz)
                seen.insert(key(item.mode, item.frequencyKHz));
        }
    }

    std::optional<QString> take(double kHz, Mode mode, std::optional<QString> name)
    {
        // Kept to 0.01 kHz, as bookmarks are added; what rounds to 0 is out.
        const double rounded = std::isfinite(kHz) ? std::round(kHz * 100.0) / 100.0 : 0.0;
        if (!(rounded > 0.0 && rounded <= maxKHz))
            return QCoreApplication::translate("BookmarkFiles", "%1 kHz is not between 0 and 10 GHz").arg(kHz);
        if (!seen.contains(key(mode, rounded))) {
            seen.insert(key(mode, rounded));
            result.added.items.append(FrequencyBookmark{QUuid::createUuid(), rounded, mode, std::move(name)});
        } else {
            ++result.merged;
        }
        return std::nullopt;
    }

    Import<FrequencyBookmarks> result;

private:
    // Bookmarks within a hundredth of a kHz in the same mode are one.
    static std::pair<int, qint64> key(Mode mode, double kHz)
    {
        return {static_cast<int>(mode), qRound64(kHz * 100.0)};
    }

    QSet<std::pair<int, qint64>> seen;
};

template <typename List> Import<List> failed(const QString& problem)
{
    Import<List> result;
    result.problem = problem;
    return result;
}

template <typename List> Import<List> bounded(Import<List> result, const List& current)
{
    if (result.problem.isEmpty() && result.added.items.isEmpty() && result.merged == 0)
        return failed<List>(QCoreApplication::translate("BookmarkFiles", "The file holds no entries."));
    if (result.problem.isEmpty() && current.items.size() + result.added.items.size() > maxEntries)
        return failed<List>(
            QCoreApplication::translate("BookmarkFiles", "The list would hold more than %1 entries.").arg(maxEntries));
    if (!result.problem.isEmpty())
        result.added.items.clear();
    return result;
}

Import<Bookmarks> serversFromJson(const QByteArray& data, const Bookmarks& current, const AddressCheck& check)
{
    const Json json = readJson(data);
    if (!json.problem.isEmpty())
        return failed<Bookmarks>(json.problem);
    ServerMerge merge(current, check);
    for (qsizetype i = 0; i < json.entries.size(); ++i) {
        const QJsonValue url = json.entries[i].toObject().value(QStringLiteral("url"));
        if (const std::optional<QString> why = merge.take(url.isString() ? url.toString() : QString()))
            return failed<Bookmarks>(atEntry(i + 1, *why));
    }
    return merge.result;
}

Import<Bookmarks> serversFromCsv(const QString& text, const Bookmarks& current, const AddressCheck& check)
{
    Csv csv = readCsv(text);
    if (!csv.problem.isEmpty())
        return failed<Bookmarks>(csv.problem);
    qsizetype column = 0;
    if (!csv.rows.isEmpty()) {
        const QStringList& first = csv.rows.front().cells;
        const auto url = std::find_if(
            first.cbegin(), first.cend(), [](const QString& cell) { return columnNamed(cell).first == Column::url; });
        if (url != first.cend()) {
            column = url - first.cbegin();
            csv.rows.removeFirst();
        }
    }
    ServerMerge merge(current, check);
    for (const CsvRow& row : csv.rows) {
        if (const std::optional<QString> why = merge.take(row.cells.value(column)))
            return failed<Bookmarks>(atLine(row.line, *why));
    }
    return merge.result;
}

Import<FrequencyBookmarks> frequenciesFromJson(const QByteArray& data, const FrequencyBookmarks& current)
{
    const Json json = readJson(data);
    if (!json.problem.isEmpty())
        return failed<FrequencyBookmarks>(json.problem);
    FrequencyMerge merge(current);
    for (qsizetype i = 0; i < json.entries.size(); ++i) {
        const QJsonObject entry = json.entries[i].toObject();
        const QJsonValue frequency = entry.value(QStringLiteral("frequencyKHz"));
        const QJsonValue mode = entry.value(QStringLiteral("mode"));
        const std::optional<Mode> parsedMode = mode.isString() ? modeFromRawValue(mode.toString()) : std::nullopt;
        if (!frequency.isDouble() || !parsedMode)
            return failed<FrequencyBookmarks>(
                atEntry(i + 1, QCoreApplication::translate("BookmarkFiles", "no frequency and mode")));
        if (const auto why
            = merge.take(frequency.toDouble(), *parsedMode, nameIn(entry.value(QStringLiteral("name")).toString())))
            return failed<FrequencyBookmarks>(atEntry(i + 1, *why));
    }
    return merge.result;
}

Import<FrequencyBookmarks> frequenciesFromCsv(const QString& text, const FrequencyBookmarks& current)
{
    Csv csv = readCsv(text);
    if (!csv.problem.isEmpty())
        return failed<FrequencyBookmarks>(csv.problem);

    // Column places from a header; without one, each row's cells are told
    // apart by what they hold.
    std::optional<qsizetype> frequencyColumn, nameColumn, modeColumn;
    double unit = 0.0;
    if (!csv.rows.isEmpty()) {
        const QStringList& first = csv.rows.front().cells;
        for (qsizetype i = 0; i < first.size(); ++i) {
            const auto [column, columnUnit] = columnNamed(first[i]);
            if (column == Column::frequency && !frequencyColumn) {
                frequencyColumn = i;
                unit = columnUnit;
            } else if (column == Column::name && !nameColumn) {
                nameColumn = i;
            } else if (column == Column::mode && !modeColumn) {
                modeColumn = i;
            }
        }
        if (frequencyColumn || nameColumn || modeColumn) {
            if (!frequencyColumn)
                return failed<FrequencyBookmarks>(
                    atLine(csv.rows.front().line, QCoreApplication::translate("BookmarkFiles", "no frequency column")));
            csv.rows.removeFirst();
        }
    }

    struct Entry {
        qsizetype line;
        double value;
        QString mode;
        QString name;
    };
    QList<Entry> entries;
    entries.reserve(csv.rows.size());
    double largest = 0.0;
    for (const CsvRow& row : csv.rows) {
        Entry entry{row.line, 0.0, {}, {}};
        std::optional<double> value;
        if (frequencyColumn) {
            value = numberIn(row.cells.value(*frequencyColumn));
            if (!value)
                return failed<FrequencyBookmarks>(atLine(row.line,
                    QCoreApplication::translate("BookmarkFiles", "\"%1\" is no frequency")
                        .arg(row.cells.value(*frequencyColumn))));
            entry.mode = modeColumn ? row.cells.value(*modeColumn) : QString();
            entry.name = nameColumn ? row.cells.value(*nameColumn) : QString();
        } else {
            bool haveMode = false;
            bool haveName = false;
            for (const QString& cell : cellsOf(row.cells)) {
                if (!value && (value = numberIn(cell)))
                    continue;
                if (!haveMode && !cell.isEmpty() && modeIn(cell)) {
                    entry.mode = cell;
                    haveMode = true;
                } else if (!haveName && !cell.isEmpty()) {
                    entry.name = cell;
                    haveName = true;
                }
            }
            if (!value)
                return failed<FrequencyBookmarks>(
                    atLine(row.line, QCoreApplication::translate("BookmarkFiles", "no frequency")));
        }
        entry.value = *value;
        largest = std::max(largest, std::abs(*value));
        entries.append(std::move(entry));
    }

    if (unit == 0.0)
        unit = largest >= unitlessHzFrom ? 0.001 : 1.0;
    FrequencyMerge merge(current);
    for (const Entry& entry : entries) {
        const std::optional<Mode> mode = modeIn(entry.mode);
        if (!mode)
            return failed<FrequencyBookmarks>(
                atLine(entry.line, QCoreApplication::translate("BookmarkFiles", "\"%1\" is no mode").arg(entry.mode)));
        if (const auto why = merge.take(entry.value * unit, *mode, nameIn(entry.name)))
            return failed<FrequencyBookmarks>(atLine(entry.line, *why));
    }
    return merge.result;
}

QString frequencyText(double kHz)
{
    return QString::number(kHz, 'g', 15);
}

} // namespace

BookmarkFileFormat formatForPath(const QString& path)
{
    return path.endsWith(QStringLiteral(".json"), Qt::CaseInsensitive) ? BookmarkFileFormat::json
                                                                       : BookmarkFileFormat::csv;
}

QByteArray write(const Bookmarks& list, BookmarkFileFormat format)
{
    if (format == BookmarkFileFormat::json)
        return indented(list.toText());
    QByteArray csv = "url\n";
    for (const Bookmark& item : list.items)
        csv += csvField(item.url) + '\n';
    return csv;
}

QByteArray write(const FrequencyBookmarks& list, BookmarkFileFormat format)
{
    if (format == BookmarkFileFormat::json)
        return indented(list.toText());
    QByteArray csv = "name,frequency_khz,mode\n";
    for (const FrequencyBookmark& item : list.items) {
        if (!std::isfinite(item.frequencyKHz))
            continue;
        csv += csvField(item.name.value_or(QString())) + ',' + frequencyText(item.frequencyKHz).toUtf8() + ','
            + rawValue(item.mode).toUtf8() + '\n';
    }
    return csv;
}

Import<Bookmarks> readServers(const QByteArray& data, const Bookmarks& current, const AddressCheck& check)
{
    if (data.size() > maxFileBytes)
        return failed<Bookmarks>(QCoreApplication::translate("BookmarkFiles", "The file is larger than %1 MB.")
                                     .arg(maxFileBytes / (1024 * 1024)));
    return bounded(
        isJson(data) ? serversFromJson(data, current, check) : serversFromCsv(textOf(data), current, check), current);
}

Import<FrequencyBookmarks> readFrequencies(const QByteArray& data, const FrequencyBookmarks& current)
{
    if (data.size() > maxFileBytes)
        return failed<FrequencyBookmarks>(QCoreApplication::translate("BookmarkFiles", "The file is larger than %1 MB.")
                                              .arg(maxFileBytes / (1024 * 1024)));
    return bounded(
        isJson(data) ? frequenciesFromJson(data, current) : frequenciesFromCsv(textOf(data), current), current);
}

} // namespace BookmarkFiles
