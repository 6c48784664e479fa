#include "BookmarkUiTestSupport.h"
#include "bookmarks/BookmarkFiles.h"
#include "bookmarks/ui/BookmarksEditor.h"
#include "bookmarks/ui/FrequencyBookmarksEditor.h"
#include "session/ReceiverAddress.h"

#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>

namespace {

using namespace BookmarkFiles;

const QString a = QStringLiteral("http://a.example:8073/");

struct Case {
    const char* what;
    bool servers;
    QByteArray file;
    qsizetype added;
    qsizetype merged;
    // Part of the message; empty when the file is taken.
    QString problem;
};

QByteArray rows(const QByteArray& header, qsizetype count)
{
    QByteArray text = header;
    for (qsizetype i = 0; i < count; ++i)
        text += QByteArray::number(1000 + i) + ",am\n";
    return text;
}

// The lists a file is read against: each file is judged against them and may
// never change them.
TEST(BookmarkFiles, ReadsGoodFilesAndNamesTheLineOfABadOne)
{
    const Bookmarks servers = serverList({a});
    const FrequencyBookmarks frequencies{{frequencyBookmark(7200, Mode::lsb)}};
    const QString serversBefore = servers.toText();
    const QString frequenciesBefore = frequencies.toText();
    const Case cases[] = {
        {"csv header", false, "Name,Frequency (kHz),Mode\nR1,9650,am\n\"Net, \"\"40\"\"\nm\",7200,LSB\nX,9650,am\n", 1, 2, {}},
        {"no header, cells told apart", false, "usb;Ham;14074,5\n7200;lsb\n", 1, 1, {}},
        {"no header after a single cell", false, "\n6070\n9500;semicolon;am\n", 2, 0, {}},
        {"no header, separators mixed", false, "6070,comma,am\n9500;semicolon;am\n7300\ttab\tlsb\n", 3, 0, {}},
        {"hz header", false, "frequency_hz,mode\n7074000,usb\n", 1, 0, {}},
        {"unitless hz", false, "15400000,am\n\n", 1, 0, {}},
        {"openwebrx mode", false, "frequency,mode\n145500,nfm\n", 1, 0, {}},
        {"own json", false, "[{\"frequencyKHz\":6000,\"mode\":\"am\",\"name\":\"x\"},{\"frequencyKHz\":7200,\"mode\":\"lsb\"}]", 1, 1, {}},
        {"bad mode", false, "frequency,mode\n6000,am\n7000,zz\n", 0, 0, QStringLiteral("Line 3: \"zz\" is no mode")},
        {"bad frequency", false, "frequency,mode\nabc,am\n", 0, 0, QStringLiteral("Line 2: \"abc\" is no frequency")},
        {"out of range", false, "frequency_khz\n-5\n", 0, 0, QStringLiteral("Line 2:")},
        {"rounds to zero", false, "frequency_hz\n3\n", 0, 0, QStringLiteral("Line 2:")},
        {"open quote", false, "name,frequency\n\"a\n,6000\n", 0, 0, QStringLiteral("Line 2: a quoted field")},
        {"no frequency column", false, "name,mode\nx,am\n", 0, 0, QStringLiteral("Line 1: no frequency column")},
        {"broken json", false, "[\n{\"frequencyKHz\":6000,\n\"mode\" \"am\"}]", 0, 0, QStringLiteral("Line 3: not readable")},
        {"json bad entry", false, "[{\"frequencyKHz\":6000,\"mode\":\"am\"},{\"mode\":\"am\"}]", 0, 0, QStringLiteral("Entry 2:")},
        {"json object", false, "[1]", 0, 0, QStringLiteral("Entry 1:")},
        {"empty", false, "", 0, 0, QStringLiteral("no entries")},
        {"blank", false, " \n\n", 0, 0, QStringLiteral("no entries")},
        {"too many rows", false, rows("frequency,mode\n", maxEntries + 1), 0, 0, QStringLiteral("more than 10000")},
        {"as many as allowed", false, rows({}, maxEntries - 1), maxEntries - 1, 0, {}},
        {"list too long", false, rows({}, maxEntries), 0, 0, QStringLiteral("list would hold")},
        {"too large", false, QByteArray(maxFileBytes + 1, ' '), 0, 0, QStringLiteral("larger than 4 MB")},
        {"servers csv", true, "Name,URL\nx,http://b.example/\ny," + a.toUtf8() + "\n", 1, 1, {}},
        {"servers no header", true, "http://b.example/\nhttp://b.example/\n", 1, 1, {}},
        {"servers json", true, "[{\"id\":\"x\",\"url\":\"http://b.example/\"}]", 1, 0, {}},
        {"server refused", true, "url\nhttp://b.example/\nhttp://\n", 0, 0, QStringLiteral("Line 3:")},
        {"server blank cell", true, "url,x\n,1\n", 0, 0, QStringLiteral("Line 2: no server address")},
    };
    const auto outcome = [](const auto& read) {
        return std::tuple(read.added.items.size(), read.merged, read.problem);
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.what);
        const auto [added, merged, problem] = test.servers
            ? outcome(readServers(test.file, servers, serverAddressProblem))
            : outcome(readFrequencies(test.file, frequencies));
        EXPECT_EQ(std::pair(added, merged), std::pair(test.added, test.merged));
        EXPECT_TRUE(test.problem.isEmpty() ? problem.isEmpty() : problem.contains(test.problem)) << problem.toStdString();
    }
    EXPECT_EQ(servers.toText(), serversBefore);
    EXPECT_EQ(frequencies.toText(), frequenciesBefore);
}

TEST(BookmarkFiles, WrittenFilesReadBackInBothFormats)
{
    const FrequencyBookmarks frequencies{{frequencyBookmark(7200, Mode::lsb, QStringLiteral("a, \"b\"\nc")),
                                          frequencyBookmark(14074.5, Mode::usb),
                                          frequencyBookmark(4625, Mode::usb, QString())}};
    const Bookmarks servers = serverList({a, QStringLiteral("http://b.example/x,y")});
    for (const BookmarkFileFormat format : {BookmarkFileFormat::json, BookmarkFileFormat::csv}) {
        const Import<FrequencyBookmarks> readFrequencies = BookmarkFiles::readFrequencies(write(frequencies, format), {});
        ASSERT_EQ(readFrequencies.added.items.size(), 3) << readFrequencies.problem.toStdString();
        // Names become one line; a blank name is none. Only the ids are new.
        FrequencyBookmarks expected = frequencies;
        expected.items[0].name = QStringLiteral("a, \"b\" c");
        expected.items[2].name = std::nullopt;
        for (qsizetype i = 0; i < 3; ++i)
            expected.items[i].id = readFrequencies.added.items[i].id;
        EXPECT_EQ(readFrequencies.added, expected);
        const Import<Bookmarks> readServers = BookmarkFiles::readServers(write(servers, format), {});
        ASSERT_TRUE(readServers.problem.isEmpty()) << readServers.problem.toStdString();
        EXPECT_EQ(readServers.added.items.size(), 2);
        EXPECT_EQ(readServers.added.items[1].url, servers.items[1].url);
    }
}

// Through the editor: a bad file leaves the list and says why; a good one
// waits for "Add"; an export writes what import reads.
TEST(BookmarkFiles, EditorImportsAfterConfirmationAndKeepsTheListOnABadFile)
{
    Preferences& preferences = Preferences::instance();
    preferences.setFrequencyBookmarks({{frequencyBookmark(7200, Mode::lsb)}});
    FrequencyBookmarksEditor editor(preferences);
    editor.show();
    QTemporaryDir dir;
    const auto file = [&](const char* name, const QByteArray& text) {
        QFile out(dir.filePath(QString::fromLatin1(name)));
        EXPECT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(text);
        return out.fileName();
    };
    const QString before = preferences.frequencyBookmarks().toText();
    auto* message = editor.findChild<QLabel*>(QStringLiteral("editorMessage"));

    editor.importFrom(file("bad.csv", "frequency,mode\n6000,am\nnope,am\n"));
    EXPECT_TRUE(message->text().contains(QStringLiteral("Line 3"))) << message->text().toStdString();
    EXPECT_EQ(editor.findChild<QMessageBox*>(), nullptr);
    EXPECT_EQ(preferences.frequencyBookmarks().toText(), before);

    editor.importFrom(file("good.csv", "6000,comma,am\n7200;semicolon;lsb\n"));
    auto* box = editor.findChild<QMessageBox*>(QStringLiteral("importConfirmation"));
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->text().contains(QStringLiteral("good.csv: 1. Merged as already listed or repeated: 1."))) << box->text().toStdString();
    EXPECT_EQ(preferences.frequencyBookmarks().toText(), before);
    qobject_cast<QPushButton*>(box->defaultButton())->click();
    settle();
    const FrequencyBookmarks after = preferences.frequencyBookmarks();
    ASSERT_EQ(after.items.size(), 2);
    EXPECT_EQ(after.items[1].frequencyKHz, 6000);
    EXPECT_EQ(message->text(), QStringLiteral("Entries added: 1."));

    const QString exported = dir.filePath(QStringLiteral("list.json"));
    editor.exportTo(exported);
    QFile in(exported);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    EXPECT_EQ(readFrequencies(in.readAll(), {}).added.items.size(), 2);
    preferences.setFrequencyBookmarks({});
}

} // namespace
