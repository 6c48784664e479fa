#include "bookmarks/BookmarkUiTestSupport.h"
#include "bookmarks/BuiltInServers.h"
#include "settings/Preferences.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>

#include <atomic>
#include <functional>
#include <limits>
#include <thread>
#include <vector>

namespace {

QSettings rawStore()
{
    return QSettings(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Farlisten"),
                     QStringLiteral("Farlisten"));
}

void putRaw(const QString& key, const QVariant& value)
{
    rawStore().setValue(key, value);
}

// The set-aside copies of a list, oldest first.
QVariantList setAsideCopies(const QString& prefix)
{
    QStringList keys = rawStore().allKeys().filter(QRegularExpression(u'^' + QRegularExpression::escape(prefix) + "\\."));
    keys.sort();
    QVariantList copies;
    for (const QString& key : keys)
        copies.append(rawStore().value(key));
    return copies;
}

class PreferencesTest : public ::testing::Test {
protected:
    void SetUp() override { clear(); }
    void TearDown() override { clear(); }

    static void clear() { rawStore().clear(); }

    Preferences& preferences = Preferences::instance();
};

// What a first launch reads; an untouched store writes nothing.
void expectDefaults(Preferences& preferences)
{
    EXPECT_EQ(preferences.serverAddress(), builtInServers().items[1].url);
    EXPECT_EQ(preferences.frequencyKHz(), 7200.0);
    EXPECT_EQ(preferences.mode(), Mode::lsb);
    EXPECT_EQ(preferences.waterfallZoom(), 0);
    EXPECT_EQ(preferences.bookmarks(), builtInServers());
    EXPECT_TRUE(preferences.frequencyBookmarks().items.isEmpty());
    EXPECT_EQ(preferences.audioOutputDeviceUID(), QString());
}

TEST_F(PreferencesTest, FreshStoreGivesEveryDefaultAndStaysEmpty)
{
    expectDefaults(preferences);
    preferences.setServerAddress(QStringLiteral("http://x/"));
    EXPECT_TRUE(rawStore().allKeys() == QStringList{PreferenceKeys::serverAddress});
    const QString expected = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + QStringLiteral("/Farlisten/Farlisten.conf");
    EXPECT_EQ(rawStore().fileName(), expected);
    EXPECT_TRUE(QFileInfo::exists(expected));
}

TEST_F(PreferencesTest, ReadsAFileWrittenBefore)
{
    const QString fileName = rawStore().fileName();
    ASSERT_TRUE(QDir().mkpath(QFileInfo(fileName).path()));
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("[General]\n"
               "frequencyKHz=3550.25\n"
               "waterfallZoom=-3\n"
               "mode=cwn\n"
               "serverAddress=\"http://a, b/\"\n"
               "audioOutputDeviceUID=one, two\n"
               "frequencyBookmarks=\"[{\\\"id\\\":\\\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\\\",\\\"frequencyKHz\\\":7200,"
               "\\\"mode\\\":\\\"lsb\\\",\\\"name\\\":\\\"a, b\\\"}]\"\n");
    file.close();
    // The store holds the file in memory and reads it again when it saves.
    preferences.flush();

    EXPECT_EQ(std::tuple(preferences.frequencyKHz(), preferences.waterfallZoom(), preferences.mode(),
                  preferences.serverAddress()), std::tuple(3550.25, -3, Mode::cwn, QStringLiteral("http://a, b/")));
    // Unquoted commas make a list in an INI file: the wrong type for text.
    EXPECT_EQ(preferences.audioOutputDeviceUID(), QString());
    EXPECT_EQ(preferences.frequencyBookmarks().items, (QList<FrequencyBookmark>{{QUuid::fromString(
        QStringLiteral("1B4E28BA-2FA1-11D2-883F-0016D3CCA427")), 7200, Mode::lsb, QStringLiteral("a, b")}}));
}

TEST_F(PreferencesTest, ValuesAreReadStrictlyAndUnreadableOnesAsDefaults)
{
    const auto read = [this](const QString& key) -> QVariant {
        if (key == PreferenceKeys::frequencyKHz)
            return preferences.frequencyKHz();
        if (key == PreferenceKeys::waterfallZoom)
            return preferences.waterfallZoom();
        return rawValue(preferences.mode());
    };
    const QString frequency = PreferenceKeys::frequencyKHz, zoom = PreferenceKeys::waterfallZoom;
    // Numbers written as numbers are read from their text too.
    const struct {
        QString key;
        QVariant raw, expected;
    } cases[] = {
        {frequency, 3550.25, 3550.25}, {frequency, "-1.5e3", -1500.0},
        {frequency, std::numeric_limits<double>::infinity(), 7200.0}, {zoom, 5, 5}, {zoom, 2.5, 0},
        {zoom, Q_INT64_C(1) << 40, 0}, {zoom, "2.5", 0}, {zoom, "2147483648", 0},
        {zoom, "-2147483648", std::numeric_limits<int>::min()}, {PreferenceKeys::mode, "LSB", "lsb"},
        {PreferenceKeys::mode, "fm", "lsb"}, {PreferenceKeys::mode, " usb", "lsb"}, {PreferenceKeys::mode, "wfm", "wfm"},
    };
    for (const auto& c : cases) {
        putRaw(c.key, c.raw);
        EXPECT_EQ(read(c.key), c.expected) << c.key.toStdString() << " " << c.raw.toString().toStdString();
    }
    for (const char* text : {"", " 7100", "7,100", "nan", "-infinity", "1e999", "0x10"}) {
        putRaw(frequency, QString::fromLatin1(text));
        EXPECT_EQ(preferences.frequencyKHz(), 7200.0) << text;
        putRaw(zoom, QString::fromLatin1(text));
        EXPECT_EQ(preferences.waterfallZoom(), 0) << text;
    }

    // A list and raw bytes are what a reloaded INI file gives for such values.
    const QVariant wrongTypes[] = {QStringList{QStringLiteral("a"), QStringLiteral("b")},
                                   QByteArray("\x01\x02", 2)};
    for (const QVariant& value : wrongTypes) {
        for (const QString& key : {PreferenceKeys::serverAddress, PreferenceKeys::mode, PreferenceKeys::frequencyKHz,
                                   PreferenceKeys::waterfallZoom, PreferenceKeys::bookmarks,
                                   PreferenceKeys::frequencyBookmarks, PreferenceKeys::audioOutputDeviceUID})
            putRaw(key, value);
        expectDefaults(preferences);
    }
}

// A frequency that is not a number is no write at all.
TEST_F(PreferencesTest, EveryWriteSignalsItsKeyAfterTheValueIsReadable)
{
    double seen = 0.0;
    const QMetaObject::Connection connection =
        QObject::connect(&preferences, &Preferences::changed, [&](const QString& key) {
            if (key == PreferenceKeys::frequencyKHz)
                seen = Preferences::instance().frequencyKHz();
        });
    QSignalSpy spy(&preferences, &Preferences::changed);
    preferences.setServerAddress(QStringLiteral("a"));
    preferences.setFrequencyKHz(1.0);
    preferences.setFrequencyKHz(std::numeric_limits<double>::quiet_NaN());
    preferences.setFrequencyKHz(std::numeric_limits<double>::infinity());
    preferences.setMode(Mode::am);
    preferences.setWaterfallZoom(1);
    preferences.setBookmarks(Bookmarks{});
    preferences.setFrequencyBookmarks(FrequencyBookmarks{});
    preferences.setAudioOutputDeviceUID(QString());
    preferences.setMode(Mode::am);

    const QStringList expected{PreferenceKeys::serverAddress, PreferenceKeys::frequencyKHz, PreferenceKeys::mode,
                               PreferenceKeys::waterfallZoom, PreferenceKeys::bookmarks,
                               PreferenceKeys::frequencyBookmarks, PreferenceKeys::audioOutputDeviceUID,
                               PreferenceKeys::mode};
    QStringList keys;
    for (const QList<QVariant>& arguments : spy)
        keys.append(arguments.at(0).toString());
    EXPECT_EQ(keys, expected);
    QObject::disconnect(connection);
    EXPECT_EQ(std::pair(seen, preferences.frequencyKHz()), std::pair(1.0, 1.0));
}

// Adding what is already stored must not rewrite the file or wake every
// window's menus.
TEST_F(PreferencesTest, AddingAStoredItemWritesNothing)
{
    const QStringList builtIn = storedUrls();
    QSignalSpy spy(&preferences, &Preferences::changed);
    preferences.addBookmark(QStringLiteral(" http://a.example/ "));
    preferences.addBookmark(QStringLiteral("http://a.example/"));
    preferences.addBookmark(QStringLiteral("   "));
    preferences.addFrequencyBookmark(Mode::usb, 14200.004);
    preferences.addFrequencyBookmark(Mode::usb, 14200.0);
    preferences.addFrequencyBookmark(Mode::usb, std::numeric_limits<double>::quiet_NaN());

    EXPECT_EQ(spy.count(), 2);
    EXPECT_EQ(storedUrls(), builtIn + QStringList{"http://a.example/"});
    ASSERT_EQ(preferences.frequencyBookmarks().items.size(), 1);
    EXPECT_EQ(preferences.frequencyBookmarks().items.front().frequencyKHz, 14200.0);
}

TEST_F(PreferencesTest, ThreadsMayReadAndWriteAtOnce)
{
    std::atomic<int> signalled{0};
    const QMetaObject::Connection connection = QObject::connect(
        &preferences, &Preferences::changed, &preferences, [&] { ++signalled; }, Qt::DirectConnection);
    std::vector<std::thread> threads;
    constexpr int rounds = 40;
    for (int t = 0; t < 3; ++t) {
        threads.emplace_back([t] {
            Preferences& shared = Preferences::instance();
            for (int i = 0; i < rounds; ++i) {
                shared.setWaterfallZoom(t * 100 + i);
                const int zoom = shared.waterfallZoom();
                EXPECT_TRUE(zoom >= 0 && zoom < 300) << zoom;
                EXPECT_EQ(shared.audioOutputDeviceUID(), QString());
            }
        });
    }
    for (std::thread& thread : threads)
        thread.join();
    QObject::disconnect(connection);
    EXPECT_EQ(signalled.load(), 3 * rounds);
    EXPECT_EQ(preferences.waterfallZoom() % 100, rounds - 1);
}

TEST_F(PreferencesTest, UnreadableListsAreKeptAsideBeforeTheyAreReplaced)
{
    // Readable or absent lists are not copied.
    preferences.setFrequencyBookmarks(FrequencyBookmarks{});
    preferences.setFrequencyBookmarks(FrequencyBookmarks{});
    EXPECT_TRUE(setAsideCopies(PreferenceKeys::frequencyBookmarksUnreadable).isEmpty());

    const QString unreadable = QStringLiteral("[{\"id\":\"not a uuid\",\"url\":\"http://mine/\"}]");
    putRaw(PreferenceKeys::bookmarks, unreadable);
    EXPECT_EQ(preferences.bookmarks(), builtInServers());
    EXPECT_TRUE(setAsideCopies(PreferenceKeys::bookmarksUnreadable).isEmpty());
    Bookmarks list = preferences.bookmarks();
    list.add(QStringLiteral("http://new/"));
    preferences.setBookmarks(list);
    EXPECT_EQ(setAsideCopies(PreferenceKeys::bookmarksUnreadable), QVariantList{unreadable});
    // Once the stored list reads again there is nothing more to keep.
    preferences.setBookmarks(Bookmarks{});
    EXPECT_EQ(setAsideCopies(PreferenceKeys::bookmarksUnreadable), QVariantList{unreadable});
    // Each later corruption is kept beside the earlier ones, the newest few.
    QVariantList expected{unreadable};
    for (int n = 0; n < 4; ++n) {
        const QString text = QStringLiteral("[{\"id\":%1}]").arg(n);
        putRaw(PreferenceKeys::bookmarks, text);
        preferences.setBookmarks(Bookmarks{});
        expected.append(text);
    }
    EXPECT_EQ(setAsideCopies(PreferenceKeys::bookmarksUnreadable), expected.mid(2));

    const QString upperCaseMode = QStringLiteral(
        "[{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\",\"frequencyKHz\":7200,\"mode\":\"LSB\"}]");
    putRaw(PreferenceKeys::frequencyBookmarks, upperCaseMode);
    EXPECT_TRUE(preferences.frequencyBookmarks().items.isEmpty());
    preferences.setFrequencyBookmarks(FrequencyBookmarks{});
    EXPECT_EQ(setAsideCopies(PreferenceKeys::frequencyBookmarksUnreadable), QVariantList{upperCaseMode});
}

TEST_F(PreferencesTest, ABadEntryIsSetAsideAndTheGoodOnesLoad)
{
    const QString good = QStringLiteral("{\"id\":\"1B4E28BA-2FA1-11D2-883F-0016D3CCA427\",\"url\":\"http://good/\"}");
    const QString text = u'[' + good + QStringLiteral(",{\"id\":\"bad\",\"url\":\"http://bad/\"},") + good + u']';
    putRaw(PreferenceKeys::bookmarks, text);
    EXPECT_EQ(storedUrls(), QStringList({"http://good/", "http://good/"}));
    EXPECT_EQ(preferences.problem(), QStringLiteral("1 server bookmark could not be read and was set aside."));
    preferences.setBookmarks(preferences.bookmarks());
    EXPECT_EQ(setAsideCopies(PreferenceKeys::bookmarksUnreadable), QVariantList{text});
    EXPECT_EQ(preferences.problem(), QString());
}

TEST_F(PreferencesTest, AFileThatCannotBeWrittenIsToldAndTheValuesKept)
{
    // A folder where the file should be: not even root can write it.
    preferences.setFrequencyKHz(7000);
    preferences.flush();
    const QString fileName = rawStore().fileName();
    ASSERT_TRUE(QFile::remove(fileName));
    ASSERT_TRUE(QDir().mkpath(fileName));
    QSignalSpy told(&preferences, &Preferences::problemChanged);
    preferences.setFrequencyKHz(9400.5);
    preferences.flush();
    EXPECT_EQ(told.count(), 1);
    EXPECT_TRUE(preferences.problem().startsWith(QStringLiteral("Your settings could not be saved to ") + fileName))
        << preferences.problem().toStdString();
    EXPECT_EQ(preferences.frequencyKHz(), 9400.5);
    preferences.setMode(Mode::usb);
    EXPECT_EQ(preferences.mode(), Mode::usb);

    ASSERT_TRUE(QDir().rmdir(fileName));
    preferences.flush();
    EXPECT_EQ(preferences.problem(), QString());
    QSettings reread(fileName, QSettings::IniFormat);
    EXPECT_EQ(reread.value(PreferenceKeys::frequencyKHz).toString(), QStringLiteral("9400.5"));
    EXPECT_EQ(reread.value(PreferenceKeys::mode).toString(), QStringLiteral("usb"));
}

// The other program of the test below: this binary run again, on our file.
TEST(PreferencesOfAnotherProgram, AddOneBookmarkOfEachKind)
{
    const QString folder = qEnvironmentVariable("FARLISTEN_SHARED_PREFERENCES");
    if (folder.isEmpty())
        GTEST_SKIP() << "run by TwoProgramsEachAddingABookmarkKeepBoth";
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
    Preferences::instance().addBookmark(QStringLiteral("http://theirs.example/"));
    Preferences::instance().addFrequencyBookmark(Mode::usb, 14100);
    Preferences::instance().flush();
}

TEST_F(PreferencesTest, TwoProgramsEachAddingABookmarkKeepBoth)
{
    const QStringList builtIn = storedUrls();
    preferences.addBookmark(QStringLiteral("http://ours.example/"));
    preferences.addFrequencyBookmark(Mode::lsb, 7100);

    QProcess other;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("FARLISTEN_SHARED_PREFERENCES"), qEnvironmentVariable("XDG_CONFIG_HOME"));
    other.setProcessEnvironment(environment);
    other.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=PreferencesOfAnotherProgram.*"});
    ASSERT_TRUE(other.waitForFinished(60000));
    ASSERT_EQ(other.exitCode(), 0) << other.readAll().toStdString();

    QSignalSpy told(&preferences, &Preferences::changed);
    preferences.flush();
    EXPECT_EQ(told.count(), 2);
    EXPECT_EQ(storedUrls(), builtIn + QStringList({"http://ours.example/", "http://theirs.example/"}));
    const QList<FrequencyBookmark> frequencies = preferences.frequencyBookmarks().items;
    EXPECT_EQ(frequencies, (QList<FrequencyBookmark>{{frequencies.value(0).id, 7100, Mode::lsb, std::nullopt},
                               {frequencies.value(1).id, 14100, Mode::usb, std::nullopt}}));
}

// Stored texts a user or an older version may have left: members of the
// wrong kind read as their default, numbers out of range are clamped.
template <typename Value>
void expectStoredAndRead(Value (Preferences::*get)() const, void (Preferences::*set)(const Value&), const QString& key,
    const Value& changed, std::initializer_list<std::pair<const char*, std::function<void(Value&)>>> stored)
{
    Preferences& preferences = Preferences::instance();
    EXPECT_EQ((preferences.*get)(), Value{});
    (preferences.*set)(changed);
    EXPECT_EQ((preferences.*get)(), changed);
    for (const auto& [text, change] : stored) {
        putRaw(key, QString::fromUtf8(text));
        Value expected;
        change(expected);
        EXPECT_EQ((preferences.*get)(), expected) << text;
    }
}

TEST_F(PreferencesTest, ListeningToolsComeBackAsStoredAndClampedMembersByMember)
{
    expectStoredAndRead<ListeningSettings>(&Preferences::listeningSettings, &Preferences::setListeningSettings,
        PreferenceKeys::listeningTools, {true, 22, false, 9, true, 1234.5, 55, true, 7},
        {{R"({"notch":"yes","notchHz":99999,"squelchLevelDb":-3})",
             [](ListeningSettings& s) { s.notchHz = 4000, s.squelchLevelDb = 1; }},
            {R"({"noiseReduction":true,"noiseReductionDb":"loud"})",
                [](ListeningSettings& s) { s.noiseReductionOn = true; }},
            {R"([1,2,3])", [](ListeningSettings&) {}}, {"not json", [](ListeningSettings&) {}}});
}

TEST_F(PreferencesTest, WaterfallLookComesBackAsStoredAndClamped)
{
    expectStoredAndRead<WaterfallLook>(&Preferences::waterfallLook, &Preferences::setWaterfallLook,
        PreferenceKeys::waterfallLook,
        {ColourMap::blueYellow, false, -125, -35, SpectrumAveraging::light, true, WaterfallSpeed::slow},
        {{R"({"colourMap":"plaid","floorDB":-500,"ceilingDB":-155})",
             [](WaterfallLook& l) { l.floorDB = -160, l.ceilingDB = -150; }},
            {R"({"averaging":"heavy","peakHold":"yes","autoRange":false})",
                [](WaterfallLook& l) { l.averaging = SpectrumAveraging::heavy, l.autoRange = false; }},
            {"not json", [](WaterfallLook&) {}}});
}

} // namespace
