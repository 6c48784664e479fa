// The Receivers window's costs with 2,000 receivers: reading each list form,
// filtering the table on one keystroke (target under 16 ms), and opening the
// window until the rows are there and painted (target under 200 ms).
#include "directory/DirectoryFormats.h"
#include "directory/ui/ReceiverTableModel.h"
#include "directory/ui/ReceiversWindow.h"
#include "settings/Preferences.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int receivers = 2000;

QString name(int i)
{
    return QStringLiteral("<b>Kiwi %1</b> &amp; Beverage near Town %2").arg(i).arg(i % 97);
}

QString position(int i)
{
    return QStringLiteral("(%1, %2)").arg(-60 + (i * 7) % 130).arg(-170 + (i * 13) % 340);
}

QByteArray kiwiPage()
{
    QString page = QStringLiteral("<html><body><div id='id-public'>\n");
    for (int i = 0; i < receivers; ++i) {
        page += QStringLiteral("<div class='cl-entry '><div class='cl-info'>\n<!-- name=%1 -->\n"
                               "<!-- sdr_hw=KiwiSDR 2 \u2063 GPS -->\n"
                               "<!-- bands=0-30000000 -->\n<!-- users=%2 -->\n<!-- users_max=4 -->\n<!-- gps=%3 -->\n"
                               "<!-- loc=Town %4 -->\n<!-- sw_version=KiwiSDR_v1.602 -->\n<!-- antenna=Loop %4 -->\n"
                               "<!-- snr=%5,20 -->\n<a href='http://kiwi%6.example.net:8073'>x</a>\n</div></div>\n")
                    .arg(name(i)).arg(i % 5).arg(position(i)).arg(i % 97).arg(i % 40).arg(i);
    }
    return (page + QStringLiteral("</div></body></html>\n")).toUtf8();
}

QByteArray kiwiScript()
{
    QString text = QStringLiteral("// mirror\nvar kiwisdr_com = [\n");
    for (int i = 0; i < receivers; ++i) {
        text += QStringLiteral("{\"name\": \"%1\", \"url\": \"http://kiwi%2.example.net:8073\", "
                               "\"bands\": \"0-30000000\", "
                               "\"users\": \"%3\", \"users_max\": \"4\", \"gps\": \"%4\", \"loc\": \"Town %5\", "
                               "\"sw_version\": \"KiwiSDR_v1.602\", \"antenna\": \"Loop\", \"snr\": \"%6,20\",},\n")
                    .arg(name(i)).arg(i).arg(i % 5).arg(position(i)).arg(i % 97).arg(i % 40);
    }
    return (text + QStringLiteral("];\n")).toUtf8();
}

QByteArray receiverBook()
{
    QString text = QStringLiteral("<html><script>\nvar receivers = [");
    for (int i = 0; i < receivers; ++i) {
        text += QStringLiteral("%1{\"label\":\"Station %2\",\"location\":{\"type\":\"Point\",\"coordinates\":[%3,%4]},"
                               "\"receivers\":[{\"label\":\"OpenWebRX %2\",\"version\":\"1.2.2\","
                               "\"url\":\"http://owrx%2.example.org:8073/\",\"type\":\"OpenWebRX\"}]}")
                    .arg(i ? QStringLiteral(",") : QString())
                    .arg(i)
                    .arg(-170 + (i * 13) % 340)
                    .arg(-60 + (i * 7) % 130);
    }
    return (text + QStringLiteral("];\n</script></html>\n")).toUtf8();
}

void readList(benchmark::State& state, const QByteArray& bytes)
{
    for (auto _ : state) {
        const DirectoryRead read = readDirectory(bytes);
        if (read.receivers.size() != receivers)
            state.SkipWithError("the list did not read whole");
        benchmark::DoNotOptimize(read);
    }
    state.SetItemsProcessed(state.iterations() * receivers);
    state.SetBytesProcessed(state.iterations() * bytes.size());
}

void BM_ReadKiwiPage2000(benchmark::State& state)
{
    readList(state, kiwiPage());
}
BENCHMARK(BM_ReadKiwiPage2000)->Unit(benchmark::kMillisecond);

void BM_ReadKiwiScript2000(benchmark::State& state)
{
    readList(state, kiwiScript());
}
BENCHMARK(BM_ReadKiwiScript2000)->Unit(benchmark::kMillisecond);

void BM_ReadReceiverBook2000(benchmark::State& state)
{
    readList(state, receiverBook());
}
BENCHMARK(BM_ReadReceiverBook2000)->Unit(benchmark::kMillisecond);

// One more letter typed into the search, with a table showing the model.
void BM_FilterKeystroke2000(benchmark::State& state)
{
    ReceiverTableModel model;
    QTableView table;
    table.setModel(&model);
    table.resize(900, 500);
    table.show();
    model.setListings(readDirectory(kiwiPage()).receivers, GeoPoint{52.5, 13.4});
    ReceiverQuery query;
    query.frequencyKHz = 9500;
    int step = 0;
    for (auto _ : state) {
        query.text = step++ % 2 ? QStringLiteral("town 1") : QStringLiteral("town ");
        model.setQuery(query);
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * receivers);
}
BENCHMARK(BM_FilterKeystroke2000)->Unit(benchmark::kMillisecond);

// From nothing to a shown window whose 2,000 rows are painted: the list
// (a file) read on the worker thread, the rows made, the map drawn.
void BM_OpenReceiversWindow2000(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString list = folder.filePath(QStringLiteral("public.html"));
    QFile file(list);
    if (!file.open(QIODevice::WriteOnly) || file.write(kiwiPage()) < 0)
        state.SkipWithError("cannot write the list");
    file.close();
    DirectorySourcesOptions options;
    options.cacheFolder = folder.filePath(QStringLiteral("cache"));
    for (auto _ : state) {
        ReceiversWindow window(std::make_unique<DirectorySources>(QStringList{list}, options),
            Preferences::instance(), [] { return std::optional<double>(9500); });
        window.show();
        QElapsedTimer waited;
        waited.start();
        while (window.model().rowCount() < receivers && waited.elapsed() < 10'000)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        window.repaint();
        if (window.model().rowCount() < receivers)
            state.SkipWithError("the rows did not come");
    }
}
BENCHMARK(BM_OpenReceiversWindow2000)->Unit(benchmark::kMillisecond)->Iterations(10);

} // namespace
