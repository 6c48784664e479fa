#include "bookmarks/Bookmarks.h"

#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>
#include <QLocale>
#include <QSet>

#include <algorithm>
#include <cmath>

namespace {

const QString idKey = QStringLiteral("id");
const QString urlKey = QStringLiteral("url");
const QString frequencyKey = QStringLiteral("frequencyKHz");
const QString modeKey = QStringLiteral("mode");
const QString nameKey = QStringLiteral("name");

// Spaces (any Unicode space separator) and tabs, but not line breaks.
bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedSpacesAndTabs(const QString& text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text[begin]))
        ++begin;
    while (end > begin && isSpaceOrTab(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Only the bare 8-4-4-4-12 form, hexadecimal digits in either case.
std::optional<QUuid> uuidFromJson(const QJsonValue& value)
{
    if (!value.isString())
        return std::nullopt;
    const QString text = value.toString();
    if (text.size() != 36)
        return std::nullopt;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool dashPosition = i == 8 || i == 13 || i == 18 || i == 23;
        if (dashPosition ? text[i] != u'-' : !isHexDigit(text[i]))
            return std::nullopt;
    }
    return QUuid::fromString(text);
}

QString uuidText(const QUuid& id)
{
    return id.toString(QUuid::WithoutBraces).toUpper();
}

QString compactText(const QJsonArray& array)
{
    return QString::fromUtf8(QJsonDocument(array).toJson(QJsonDocument::Compact));
}

std::optional<QJsonArray> arrayFromText(const QString& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8(), &error);
    if (error.error != QJsonParseError::NoError || !document.isArray())
        return std::nullopt;
    return document.array();
}

std::optional<Bookmark> bookmarkFromJson(const QJsonValue& element)
{
    if (!element.isObject())
        return std::nullopt;
    const QJsonObject object = element.toObject();
    const std::optional<QUuid> id = uuidFromJson(object.value(idKey));
    const QJsonValue url = object.value(urlKey);
    if (!id || !url.isString())
        return std::nullopt;
    return Bookmark{*id, url.toString()};
}

std::optional<FrequencyBookmark> frequencyBookmarkFromJson(const QJsonValue& element)
{
    if (!element.isObject())
        return std::nullopt;
    const QJsonObject object = element.toObject();
    const std::optional<QUuid> id = uuidFromJson(object.value(idKey));
    const QJsonValue frequency = object.value(frequencyKey);
    const QJsonValue modeText = object.value(modeKey);
    if (!id || !frequency.isDouble() || !std::isfinite(frequency.toDouble()) || !modeText.isString())
        return std::nullopt;
    const std::optional<Mode> mode = modeFromRawValue(modeText.toString());
    if (!mode)
        return std::nullopt;
    const QJsonValue name = object.value(nameKey);
    std::optional<QString> nameText;
    if (name.isString())
        nameText = name.toString();
    else if (!name.isUndefined() && !name.isNull())
        return std::nullopt;
    return FrequencyBookmark{*id, frequency.toDouble(), *mode, nameText};
}

template <typename List, typename Duplicate>
List mergedById(const List& base, const List& ours, const List& theirs, Duplicate isDuplicate)
{
    using Item = typename decltype(List::items)::value_type;
    QHash<QUuid, const Item*> baseItems;
    QHash<QUuid, const Item*> theirItems;
    QSet<QUuid> ourIds;
    for (const Item& item : base.items)
        baseItems.insert(item.id, &item);
    for (const Item& item : theirs.items)
        theirItems.insert(item.id, &item);
    List result;
    for (const Item& item : ours.items) {
        ourIds.insert(item.id);
        const Item* before = baseItems.value(item.id);
        const Item* there = theirItems.value(item.id);
        if (!before || !(*before == item))
            result.items.append(item);
        else if (there)
            result.items.append(*there);
    }
    for (const Item& item : theirs.items) {
        if (!baseItems.contains(item.id) && !ourIds.contains(item.id) && !isDuplicate(result, item))
            result.items.append(item);
    }
    return result;
}

} // namespace

size_t qHash(const Bookmark& bookmark, size_t seed) noexcept
{
    return qHashMulti(seed, bookmark.id, bookmark.url);
}

bool Bookmarks::contains(const QString& address) const
{
    const QString trimmed = address.trimmed();
    return std::any_of(items.cbegin(), items.cend(),
                       [&](const Bookmark& item) { return item.url == trimmed; });
}

void Bookmarks::add(const QString& address)
{
    const QString trimmed = address.trimmed();
    if (trimmed.isEmpty() || contains(trimmed))
        return;
    items.append(Bookmark{QUuid::createUuid(), trimmed});
}

QList<Bookmark> Bookmarks::nonBlankItems() const
{
    QList<Bookmark> result;
    for (const Bookmark& item : items) {
        if (!trimmedSpacesAndTabs(item.url).isEmpty())
            result.append(item);
    }
    return result;
}

QString Bookmarks::toText() const
{
    QJsonArray array;
    for (const Bookmark& item : items)
        array.append(QJsonObject{{idKey, uuidText(item.id)}, {urlKey, item.url}});
    return compactText(array);
}

std::optional<Bookmarks> Bookmarks::fromText(const QString& text)
{
    const std::optional<QJsonArray> array = arrayFromText(text);
    if (!array)
        return std::nullopt;
    Bookmarks list;
    list.items.reserve(array->size());
    for (const QJsonValue& element : *array) {
        std::optional<Bookmark> item = bookmarkFromJson(element);
        if (!item)
            return std::nullopt;
        list.items.append(std::move(*item));
    }
    return list;
}

std::optional<std::pair<Bookmarks, qsizetype>> Bookmarks::readableItems(const QString& text)
{
    const std::optional<QJsonArray> array = arrayFromText(text);
    if (!array)
        return std::nullopt;
    std::pair<Bookmarks, qsizetype> read;
    for (const QJsonValue& element : *array) {
        if (std::optional<Bookmark> item = bookmarkFromJson(element))
            read.first.items.append(std::move(*item));
        else
            ++read.second;
    }
    return read;
}

QString FrequencyBookmark::title() const
{
    QLocale locale;
    locale.setNumberOptions(locale.numberOptions() | QLocale::OmitGroupSeparator);
    const QString text = locale.toString(frequencyKHz, 'f', 2) + QStringLiteral(" kHz ")
        + rawValue(mode).toUpper();
    if (name) {
        const QString trimmed = trimmedSpacesAndTabs(*name);
        if (!trimmed.isEmpty())
            return trimmed + QStringLiteral(u" \u2014 ") + text;
    }
    return text;
}

size_t qHash(const FrequencyBookmark& bookmark, size_t seed) noexcept
{
    const size_t hash = qHashMulti(seed, bookmark.id, bookmark.frequencyKHz, rawValue(bookmark.mode),
                                   bookmark.name.has_value());
    return bookmark.name ? qHashMulti(hash, *bookmark.name) : hash;
}

bool FrequencyBookmarks::contains(Mode mode, double frequencyKHz) const
{
    return std::any_of(items.cbegin(), items.cend(), [&](const FrequencyBookmark& item) {
        return item.mode == mode && std::abs(item.frequencyKHz - frequencyKHz) < 0.005;
    });
}

void FrequencyBookmarks::add(Mode mode, double frequencyKHz)
{
    if (!std::isfinite(frequencyKHz) || contains(mode, frequencyKHz))
        return;
    // Halves away from zero. So large a value that scaling overflows has no
    // hundredths left to round.
    const double scaled = frequencyKHz * 100.0;
    const double rounded = std::isfinite(scaled) ? std::round(scaled) / 100.0 : frequencyKHz;
    items.append(FrequencyBookmark{QUuid::createUuid(), rounded, mode, std::nullopt});
}

QString FrequencyBookmarks::toText() const
{
    QJsonArray array;
    for (const FrequencyBookmark& item : items) {
        if (!std::isfinite(item.frequencyKHz))
            continue;
        // -0 would be written as "-0" but read back as 0: store the one zero.
        const double frequency = item.frequencyKHz == 0.0 ? 0.0 : item.frequencyKHz;
        QJsonObject object{{idKey, uuidText(item.id)},
                           {frequencyKey, frequency},
                           {modeKey, rawValue(item.mode)}};
        if (item.name)
            object.insert(nameKey, *item.name);
        array.append(object);
    }
    return compactText(array);
}

std::optional<FrequencyBookmarks> FrequencyBookmarks::fromText(const QString& text)
{
    const std::optional<QJsonArray> array = arrayFromText(text);
    if (!array)
        return std::nullopt;
    FrequencyBookmarks list;
    list.items.reserve(array->size());
    for (const QJsonValue& element : *array) {
        std::optional<FrequencyBookmark> item = frequencyBookmarkFromJson(element);
        if (!item)
            return std::nullopt;
        list.items.append(std::move(*item));
    }
    return list;
}

std::optional<std::pair<FrequencyBookmarks, qsizetype>> FrequencyBookmarks::readableItems(const QString& text)
{
    const std::optional<QJsonArray> array = arrayFromText(text);
    if (!array)
        return std::nullopt;
    std::pair<FrequencyBookmarks, qsizetype> read;
    for (const QJsonValue& element : *array) {
        if (std::optional<FrequencyBookmark> item = frequencyBookmarkFromJson(element))
            read.first.items.append(std::move(*item));
        else
            ++read.second;
    }
    return read;
}

Bookmarks Bookmarks::merged(const Bookmarks& base, const Bookmarks& ours, const Bookmarks& theirs)
{
    return mergedById(base, ours, theirs,
                      [](const Bookmarks& list, const Bookmark& item) { return list.contains(item.url); });
}

FrequencyBookmarks FrequencyBookmarks::merged(const FrequencyBookmarks& base, const FrequencyBookmarks& ours,
                                              const FrequencyBookmarks& theirs)
{
    return mergedById(base, ours, theirs, [](const FrequencyBookmarks& list, const FrequencyBookmark& item) {
        return list.contains(item.mode, item.frequencyKHz);
    });
}
