#include "settings/Preferences.h"

#include "bookmarks/BuiltInServers.h"
#include "model/StrictInteger.h"
#include "model/TuningSteps.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QEvent>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocale>
#include <QMutexLocker>
#include <QFile>
#include <QRegularExpression>
#include <QSettings>
#include <QTemporaryDir>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

constexpr double defaultFrequencyKHz = 7200.0;
constexpr Mode defaultMode = Mode::lsb;
constexpr int defaultWaterfallZoom = 0;

// QSettings writes its file in the event-loop turn after each change; this
// one writes only when told to.
class HeldSettings final : public QSettings {
public:
    HeldSettings()
        : QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Farlisten"),
                    QStringLiteral("Farlisten"))
    {
    }

protected:
    bool event(QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest)
            return true;
        return QSettings::event(event);
    }
};

void flushAtExit()
{
    Preferences::instance().flush();
}

// A reloaded INI file gives text for every value. A number set during this
// run keeps its type until then, so it is read as the text the file will
// hold. Anything else (a list, bytes, another type) is the wrong type.
std::optional<QString> textOf(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::QString:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
        return value.toString();
    default:
        return std::nullopt;
    }
}

// The plain decimal or exponent form and nothing around it; finite only.
std::optional<double> parseFiniteDouble(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    const char* begin = bytes.constData();
    const char* end = begin + bytes.size();
    double value = 0.0;
    const auto [last, error] = std::from_chars(begin, end, value, std::chars_format::general);
    if (error != std::errc() || last != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

bool isReadableBookmarks(const QVariant& value)
{
    const std::optional<QString> text = textOf(value);
    return text && Bookmarks::fromText(*text);
}

bool isReadableFrequencyBookmarks(const QVariant& value)
{
    const std::optional<QString> text = textOf(value);
    return text && FrequencyBookmarks::fromText(*text);
}

Bookmarks readBookmarks(const QVariant& value, qsizetype* setAside = nullptr)
{
    const std::optional<QString> text = textOf(value);
    auto read = text ? Bookmarks::readableItems(*text) : std::nullopt;
    if (setAside)
        *setAside = read ? read->second : 0;
    if (!read || (read->first.items.isEmpty() && read->second > 0))
        return builtInServers();
    return std::move(read->first);
}

FrequencyBookmarks readFrequencyBookmarks(const QVariant& value, qsizetype* setAside = nullptr)
{
    const std::optional<QString> text = textOf(value);
    auto read = text ? FrequencyBookmarks::readableItems(*text) : std::nullopt;
    if (setAside)
        *setAside = read ? read->second : 0;
    return read ? std::move(read->first) : FrequencyBookmarks{};
}

// The base is read without the built-in fallback: each program makes the
// built-in servers with ids of its own, so they would not match by id.
template <typename List, List (*read)(const QVariant&, qsizetype*)>
QString mergeStored(const QVariant& base, const QVariant& ours, const QVariant& theirs)
{
    const std::optional<QString> baseText = textOf(base);
    auto before = baseText ? List::readableItems(*baseText) : std::nullopt;
    return List::merged(before ? before->first : List{}, read(ours, nullptr), read(theirs, nullptr)).toText();
}

} // namespace

Preferences& Preferences::instance()
{
    // Never destroyed, so that a thread still running at exit can use it.
    static Preferences* const preferences = new Preferences;
    return *preferences;
}

Preferences::Preferences()
    : m_settings(std::make_unique<HeldSettings>())
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(saveDelay);
    connect(&m_saveTimer, &QTimer::timeout, this, &Preferences::save);
    qAddPostRoutine(flushAtExit);
}

Preferences::~Preferences() = default;

QVariant Preferences::storedValue(const QString& key) const
{
    QMutexLocker locker(&m_mutex);
    return m_settings->value(key);
}

void Preferences::store(const QString& key, const QString& text)
{
    {
        QMutexLocker locker(&m_mutex);
        m_settings->setValue(key, text);
    }
    scheduleSave();
    emit changed(key);
}

void Preferences::keepAside(const ListKind& kind, const QVariant& value)
{
    if (!value.isValid() || kind.isReadable(value))
        return;
    // Each set-aside text gets a key of its own; the oldest go once there
    // are more than a few.
    const QString stamp = QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMdd'T'HHmmsszzz"));
    QString copyKey = kind.backupKey + u'.' + stamp;
    for (int n = 2; m_settings->contains(copyKey); ++n)
        copyKey = kind.backupKey + u'.' + stamp + u'-' + QString::number(n);
    m_settings->setValue(copyKey, value);
    QStringList copies = m_settings->allKeys().filter(
        QRegularExpression(QStringLiteral("^%1\\.").arg(QRegularExpression::escape(kind.backupKey))));
    copies.sort();
    while (copies.size() > keptUnreadableCopies)
        m_settings->remove(copies.takeFirst());
}

void Preferences::storeList(const QString& key, const ListKind& kind, const QString& text)
{
    {
        QMutexLocker locker(&m_mutex);
        const QVariant previous = m_settings->value(key);
        keepAside(kind, previous);
        m_settings->setValue(key, text);
        UnsavedList& unsaved = m_unsavedLists[key];
        // A value someone else put here since our last change is the new base.
        if (unsaved.written != previous)
            unsaved.base = previous;
        unsaved.kind = &kind;
        unsaved.written = text;
    }
    setAside(key, 0);
    scheduleSave();
    emit changed(key);
}

QStringList Preferences::mergeListsWithFile()
{
    // A copy of the file is read, because every QSettings of this process on
    // the file itself shares our unsaved values.
    QStringList merged;
    const QTemporaryDir folder;
    const QString copy = folder.path() + QStringLiteral("/file.conf");
    if (folder.isValid() && QFile::copy(m_settings->fileName(), copy)) {
        const QSettings file(copy, QSettings::IniFormat);
        for (auto it = m_unsavedLists.cbegin(); it != m_unsavedLists.cend(); ++it) {
            const QVariant ours = m_settings->value(it.key());
            const QVariant theirs = file.value(it.key());
            if (ours != it->written || theirs == it->base || textOf(theirs) == textOf(it->base))
                continue;
            keepAside(*it->kind, theirs);
            const QString text = it->kind->merge(it->base, ours, theirs);
            if (textOf(ours) != text) {
                m_settings->setValue(it.key(), text);
                merged.append(it.key());
            }
        }
    }
    m_unsavedLists.clear();
    return merged;
}

void Preferences::scheduleSave()
{
    {
        QMutexLocker locker(&m_mutex);
        if (std::exchange(m_isSaveScheduled, true))
            return;
    }
    // The timer belongs to the preferences' thread; a write from another
    // thread starts it there.
    QMetaObject::invokeMethod(this, [this] { m_saveTimer.start(); });
}

void Preferences::flush()
{
    m_saveTimer.stop();
    save();
}

void Preferences::save()
{
    QString problem;
    QStringList merged;
    {
        QMutexLocker locker(&m_mutex);
        m_isSaveScheduled = false;
        // A QSettings keeps its first error: after one, a fresh one (sharing
        // the unsaved values) tells whether this write succeeds.
        if (m_settings->status() != QSettings::NoError)
            m_settings = std::make_unique<HeldSettings>();
        merged = mergeListsWithFile();
        m_settings->sync();
        if (m_settings->status() != QSettings::NoError) {
            problem = tr("Your settings could not be saved to %1. Farlisten keeps them while it runs and "
                         "tries again with the next change.")
                          .arg(m_settings->fileName());
        }
    }
    for (const QString& key : merged)
        emit changed(key);
    {
        QMutexLocker locker(&m_mutex);
        if (problem == m_writeProblem)
            return;
        m_writeProblem = problem;
    }
    emit problemChanged();
}

void Preferences::setAside(const QString& key, qsizetype count)
{
    {
        QMutexLocker locker(&m_mutex);
        if (m_setAside.value(key) == count)
            return;
        m_setAside.insert(key, count);
    }
    emit problemChanged();
}

QString Preferences::problem() const
{
    QMutexLocker locker(&m_mutex);
    QStringList parts;
    if (!m_writeProblem.isEmpty())
        parts.append(m_writeProblem);
    const qsizetype servers = m_setAside.value(PreferenceKeys::bookmarks);
    if (servers > 0)
        parts.append(servers == 1 ? tr("1 server bookmark could not be read and was set aside.")
                                  : tr("%1 server bookmarks could not be read and were set aside.").arg(servers));
    const qsizetype frequencies = m_setAside.value(PreferenceKeys::frequencyBookmarks);
    if (frequencies > 0)
        parts.append(frequencies == 1
                ? tr("1 frequency bookmark could not be read and was set aside.")
                : tr("%1 frequency bookmarks could not be read and were set aside.").arg(frequencies));
    return parts.join(u' ');
}

bool Preferences::hasServerAddress() const
{
    return textOf(storedValue(PreferenceKeys::serverAddress)).has_value();
}

QString Preferences::serverAddress() const
{
    return textOf(storedValue(PreferenceKeys::serverAddress)).value_or(defaultServerAddress());
}

void Preferences::setServerAddress(const QString& address)
{
    store(PreferenceKeys::serverAddress, address);
}

double Preferences::frequencyKHz() const
{
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::frequencyKHz));
    return text ? parseFiniteDouble(*text).value_or(defaultFrequencyKHz) : defaultFrequencyKHz;
}

void Preferences::setFrequencyKHz(double kHz)
{
    if (!std::isfinite(kHz))
        return;
    store(PreferenceKeys::frequencyKHz, QString::number(kHz, 'g', QLocale::FloatingPointShortest));
}

Mode Preferences::mode() const
{
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::mode));
    return text ? modeFromRawValue(*text).value_or(defaultMode) : defaultMode;
}

void Preferences::setMode(Mode mode)
{
    store(PreferenceKeys::mode, rawValue(mode));
}

int Preferences::waterfallZoom() const
{
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::waterfallZoom));
    if (!text)
        return defaultWaterfallZoom;
    const std::optional<std::int64_t> zoom = parseStrictInteger(*text);
    if (!zoom || *zoom < std::numeric_limits<int>::min() || *zoom > std::numeric_limits<int>::max())
        return defaultWaterfallZoom;
    return static_cast<int>(*zoom);
}

void Preferences::setWaterfallZoom(int zoom)
{
    store(PreferenceKeys::waterfallZoom, QString::number(zoom));
}

namespace {

const Preferences::ListKind serverListKind{PreferenceKeys::bookmarksUnreadable, isReadableBookmarks,
                                           mergeStored<Bookmarks, readBookmarks>};
const Preferences::ListKind frequencyListKind{PreferenceKeys::frequencyBookmarksUnreadable,
                                              isReadableFrequencyBookmarks,
                                              mergeStored<FrequencyBookmarks, readFrequencyBookmarks>};

} // namespace

Bookmarks Preferences::bookmarks() const
{
    qsizetype setAsideCount = 0;
    Bookmarks list = readBookmarks(storedValue(PreferenceKeys::bookmarks), &setAsideCount);
    const_cast<Preferences*>(this)->setAside(PreferenceKeys::bookmarks, setAsideCount);
    return list;
}

void Preferences::setBookmarks(const Bookmarks& list)
{
    storeList(PreferenceKeys::bookmarks, serverListKind, list.toText());
}

FrequencyBookmarks Preferences::frequencyBookmarks() const
{
    qsizetype setAsideCount = 0;
    FrequencyBookmarks list = readFrequencyBookmarks(storedValue(PreferenceKeys::frequencyBookmarks), &setAsideCount);
    const_cast<Preferences*>(this)->setAside(PreferenceKeys::frequencyBookmarks, setAsideCount);
    return list;
}

void Preferences::setFrequencyBookmarks(const FrequencyBookmarks& list)
{
    storeList(PreferenceKeys::frequencyBookmarks, frequencyListKind, list.toText());
}

void Preferences::addBookmark(const QString& address)
{
    Bookmarks list = bookmarks();
    const qsizetype before = list.items.size();
    list.add(address);
    if (list.items.size() != before)
        setBookmarks(list);
}

namespace {

QJsonObject serverNamesOf(const QVariant& value)
{
    const std::optional<QString> text = textOf(value);
    return text ? QJsonDocument::fromJson(text->toUtf8()).object() : QJsonObject();
}

} // namespace

QString Preferences::serverName(const QString& address) const
{
    return serverNamesOf(storedValue(PreferenceKeys::serverNames))
        .value(address.trimmed())
        .toString()
        .left(maxServerNameLength);
}

void Preferences::setServerName(const QString& address, const QString& name)
{
    const QString key = address.trimmed();
    const QString shown = name.trimmed().left(maxServerNameLength);
    if (key.isEmpty() || key.size() > 2048)
        return;
    QJsonObject names = serverNamesOf(storedValue(PreferenceKeys::serverNames));
    if (names.value(key).toString() == shown || (!names.contains(key) && shown.isEmpty()))
        return;
    if (shown.isEmpty())
        names.remove(key);
    else if (names.contains(key) || names.size() < maxServerNames)
        names.insert(key, shown);
    else
        return;
    store(PreferenceKeys::serverNames, QString::fromUtf8(QJsonDocument(names).toJson(QJsonDocument::Compact)));
}

std::optional<QUuid> Preferences::addFrequencyBookmark(Mode mode, double frequencyKHz)
{
    FrequencyBookmarks list = frequencyBookmarks();
    const qsizetype before = list.items.size();
    list.add(mode, frequencyKHz);
    if (list.items.size() == before)
        return std::nullopt;
    setFrequencyBookmarks(list);
    return list.items.last().id;
}

void Preferences::setFrequencyBookmarkName(const QUuid& id, const QString& name)
{
    FrequencyBookmarks list = frequencyBookmarks();
    for (FrequencyBookmark& bookmark : list.items) {
        if (bookmark.id != id)
            continue;
        const std::optional<QString> named = name.isEmpty() ? std::nullopt : std::optional<QString>(name);
        if (bookmark.name == named)
            return;
        bookmark.name = named;
        setFrequencyBookmarks(list);
        return;
    }
}

RecordingFormat Preferences::recordingFormat() const
{
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::recordingFormat));
    return text ? recordingFormatFromRawValue(*text).value_or(RecordingFormat::wav) : RecordingFormat::wav;
}

void Preferences::setRecordingFormat(RecordingFormat format)
{
    store(PreferenceKeys::recordingFormat, rawValue(format));
}

QString Preferences::recordingFolder() const
{
    return textOf(storedValue(PreferenceKeys::recordingFolder)).value_or(QString());
}

void Preferences::setRecordingFolder(const QString& folder)
{
    store(PreferenceKeys::recordingFolder, folder);
}

bool Preferences::reconnectAutomatically() const
{
    return textOf(storedValue(PreferenceKeys::reconnectAutomatically)) != QStringLiteral("false");
}

void Preferences::setReconnectAutomatically(bool on)
{
    store(PreferenceKeys::reconnectAutomatically, on ? QStringLiteral("true") : QStringLiteral("false"));
}

int Preferences::bandPlanRegion() const
{
    const QString text = textOf(storedValue(PreferenceKeys::bandPlanRegion)).value_or(QString());
    return text == QStringLiteral("2") ? 2 : text == QStringLiteral("3") ? 3 : 1;
}

void Preferences::setBandPlanRegion(int region)
{
    if (region >= 1 && region <= 3)
        store(PreferenceKeys::bandPlanRegion, QString::number(region));
}

bool Preferences::receiverBands() const
{
    return textOf(storedValue(PreferenceKeys::receiverBands)) != QStringLiteral("false");
}

void Preferences::setReceiverBands(bool on)
{
    store(PreferenceKeys::receiverBands, on ? QStringLiteral("true") : QStringLiteral("false"));
}

QString Preferences::listenerLocation() const
{
    return textOf(storedValue(PreferenceKeys::listenerLocation)).value_or(QString()).left(100);
}

void Preferences::setListenerLocation(const QString& location)
{
    store(PreferenceKeys::listenerLocation, location.trimmed().left(100));
}

int Preferences::tuningStepHz(Mode mode) const
{
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::tuningSteps));
    const QJsonValue stored = text ? QJsonDocument::fromJson(text->toUtf8()).object().value(rawValue(mode)) : QJsonValue();
    return validTuningStepHz(stored.isDouble() ? stored.toInt(0) : 0, mode);
}

void Preferences::setTuningStepHz(Mode mode, int hz)
{
    if (validTuningStepHz(hz, mode) != hz || tuningStepHz(mode) == hz)
        return;
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::tuningSteps));
    QJsonObject steps = text ? QJsonDocument::fromJson(text->toUtf8()).object() : QJsonObject();
    steps.insert(rawValue(mode), hz);
    store(PreferenceKeys::tuningSteps, QString::fromUtf8(QJsonDocument(steps).toJson(QJsonDocument::Compact)));
}

bool Preferences::shareWithPrograms() const
{
    return textOf(storedValue(PreferenceKeys::shareWithPrograms)) == QStringLiteral("true");
}

void Preferences::setShareWithPrograms(bool on)
{
    store(PreferenceKeys::shareWithPrograms, on ? QStringLiteral("true") : QStringLiteral("false"));
}

bool Preferences::shareListeningTools() const
{
    return textOf(storedValue(PreferenceKeys::shareListeningTools)) == QStringLiteral("true");
}

void Preferences::setShareListeningTools(bool on)
{
    store(PreferenceKeys::shareListeningTools, on ? QStringLiteral("true") : QStringLiteral("false"));
}

bool Preferences::rigctlFromOtherComputers() const
{
    return textOf(storedValue(PreferenceKeys::rigctlFromOtherComputers)) == QStringLiteral("true");
}

void Preferences::setRigctlFromOtherComputers(bool on)
{
    store(PreferenceKeys::rigctlFromOtherComputers, on ? QStringLiteral("true") : QStringLiteral("false"));
}

QString Preferences::audioOutputDeviceUID() const
{
    return textOf(storedValue(PreferenceKeys::audioOutputDeviceUID)).value_or(QString());
}

void Preferences::setAudioOutputDeviceUID(const QString& uid)
{
    store(PreferenceKeys::audioOutputDeviceUID, uid);
}

namespace {

// The stored form: one JSON object, a member per field.
struct ListeningField {
    const char* name;
    bool ListeningSettings::*flag;
    double ListeningSettings::*number;
};

constexpr ListeningField listeningFields[] = {
    {"squelch", &ListeningSettings::squelchOn, nullptr},
    {"squelchLevelDb", nullptr, &ListeningSettings::squelchLevelDb},
    {"noiseReduction", &ListeningSettings::noiseReductionOn, nullptr},
    {"noiseReductionDb", nullptr, &ListeningSettings::noiseReductionDb},
    {"notch", &ListeningSettings::notchOn, nullptr},
    {"notchHz", nullptr, &ListeningSettings::notchHz},
    {"notchWidthHz", nullptr, &ListeningSettings::notchWidthHz},
    {"blanker", &ListeningSettings::blankerOn, nullptr},
    {"blankerThresholdDb", nullptr, &ListeningSettings::blankerThresholdDb},
};

} // namespace

ListeningSettings Preferences::listeningSettings() const
{
    ListeningSettings settings;
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::listeningTools));
    if (!text)
        return settings;
    const QJsonObject object = QJsonDocument::fromJson(text->toUtf8()).object();
    for (const ListeningField& field : listeningFields) {
        const QJsonValue value = object.value(QLatin1String(field.name));
        if (field.flag && value.isBool())
            settings.*field.flag = value.toBool();
        if (field.number && value.isDouble())
            settings.*field.number = value.toDouble();
    }
    return settings.clamped();
}

void Preferences::setListeningSettings(const ListeningSettings& settings)
{
    QJsonObject object;
    for (const ListeningField& field : listeningFields) {
        if (field.flag)
            object.insert(QLatin1String(field.name), settings.*field.flag);
        else
            object.insert(QLatin1String(field.name), settings.*field.number);
    }
    store(PreferenceKeys::listeningTools, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

WaterfallLook Preferences::waterfallLook() const
{
    WaterfallLook look;
    const std::optional<QString> text = textOf(storedValue(PreferenceKeys::waterfallLook));
    if (!text)
        return look;
    const QJsonObject object = QJsonDocument::fromJson(text->toUtf8()).object();
    look.colourMap = colourMapFromStoredName(object.value(QLatin1String("colourMap")).toString()).value_or(look.colourMap);
    look.autoRange = object.value(QLatin1String("autoRange")).toBool(look.autoRange);
    look.floorDB = object.value(QLatin1String("floorDB")).toDouble(look.floorDB);
    look.ceilingDB = object.value(QLatin1String("ceilingDB")).toDouble(look.ceilingDB);
    look.averaging = spectrumAveragingFromStoredName(object.value(QLatin1String("averaging")).toString())
                         .value_or(look.averaging);
    look.peakHold = object.value(QLatin1String("peakHold")).toBool(look.peakHold);
    look.speed = waterfallSpeedFromStoredName(object.value(QLatin1String("speed")).toString()).value_or(look.speed);
    return look.clamped();
}

void Preferences::setWaterfallLook(const WaterfallLook& look)
{
    const WaterfallLook kept = look.clamped();
    const QJsonObject object{
        {QLatin1String("colourMap"), storedName(kept.colourMap)},
        {QLatin1String("autoRange"), kept.autoRange},
        {QLatin1String("floorDB"), kept.floorDB},
        {QLatin1String("ceilingDB"), kept.ceilingDB},
        {QLatin1String("averaging"), storedName(kept.averaging)},
        {QLatin1String("peakHold"), kept.peakHold},
        {QLatin1String("speed"), storedName(kept.speed)},
    };
    store(PreferenceKeys::waterfallLook, QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}
