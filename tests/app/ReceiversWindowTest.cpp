// The Receivers window in the application: lists served on this machine,
// filtered and shown on the map, and a double click that is heard.
#include "AppTestSupport.h"
#include "HttpFrontEnd.h"
#include "app/Application.h"
#include "audio/AudioOutputSettings.h"
#include "common/PulseAudioTestSupport.h"
#include "directory/ui/Coastlines.h"
#include "directory/ui/ReceiverTableModel.h"
#include "directory/ui/ReceiversWindow.h"
#include "directory/ui/WorldMap.h"
#include "settings/Preferences.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QTableView>

namespace {

// The sample lists with every receiver moved to an unused port on this
// machine, so that nothing the window asks leaves it.
QByteArray localSample(const char* name)
{
    QFile file(QStringLiteral(DIRECTORY_SAMPLES "/") + QLatin1String(name));
    const QString text = file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    static const QRegularExpression address(QStringLiteral("(https?)://([A-Za-z0-9.-]+|\\[[0-9a-f:]+\\])(:[0-9]+)?"));
    // One port per receiver across both lists, so that the same receiver stays one.
    static QStringList hosts;
    QString local;
    qsizetype at = 0;
    for (const QRegularExpressionMatch& match : address.globalMatch(text)) {
        const QString host = match.captured(2).toLower() + match.captured(3);
        if (!hosts.contains(host))
            hosts.append(host);
        local += text.mid(at, match.capturedStart() - at)
            + QStringLiteral("%1://127.0.0.1:%2").arg(match.captured(1)).arg(9 + hosts.indexOf(host));
        at = match.capturedEnd();
    }
    return (local + text.mid(at)).toUtf8();
}

class ReceiversWindowTest : public AppTest {
protected:
    static ReceiversWindow& receiversOf(Application& app)
    {
        app.openReceivers();
        auto* window = qobject_cast<ReceiversWindow*>(app.receiversWindow());
        EXPECT_NE(window, nullptr);
        return *window;
    }
    static QPoint rowCentre(ReceiversWindow& window, int row)
    {
        return window.table()->visualRect(window.model().index(row, 0)).center();
    }

    HttpFrontEnd lists{HttpFrontEnd::PageHandler([](const QString& path) {
        HttpPage page;
        page.body = localSample(path == QLatin1String("/map") ? "receiverbook-map.html" : "kiwisdr-public.html");
        return page;
    })};
    const quint16 listsPort = lists.listen(QHostAddress::LocalHost, 0);
};

TEST_F(ReceiversWindowTest, DoubleClickingARowIsHeardInTheCurrentWindowOnTheFilteredFrequency)
{
    REQUIRE_PULSEAUDIO();
    const QString sinkName = QStringLiteral("farlisten_receivers_%1").arg(QCoreApplication::applicationPid());
    pulsetest::NullSink sink(sinkName, QStringLiteral("FarlistenReceivers"));
    ASSERT_TRUE(sink.loaded());
    {
        AudioOutputSettings devices;
        ASSERT_TRUE(QTest::qWaitFor([&] {
            return std::ranges::any_of(
                devices.devices(), [&](const AudioOutputDevice& device) { return device.uid == sinkName; });
        }, 10000));
    }
    Preferences::instance().setAudioOutputDeviceUID(sinkName);
    Application app{[] { return MainWindow::Services{{}, [](const QUrl&) {}, {}, {}}; }};
    app.setDirectorySources({QStringLiteral("http://%1/public/").arg(rxsimAddress)});
    MainWindow* window = app.newWindow();
    window->client().restoreTuning(Mode::am, 0, 6070);
    ReceiversWindow& receivers = receiversOf(app);
    ASSERT_TRUE(QTest::qWaitFor([&] { return receivers.model().rowCount() == 1; }, 10000));
    EXPECT_EQ(receivers.frequencyField()->text(), QStringLiteral("6070")) << "the window's frequency";
    receivers.frequencyField()->clear();
    QTest::keyClicks(receivers.frequencyField(), QStringLiteral("9500"));

    pulsetest::MonitorRecording heard(sinkName);
    ASSERT_TRUE(heard.waitUntilRecording());
    // A double click: a press and release, then the second press.
    QTest::mouseClick(receivers.table()->viewport(), Qt::LeftButton, {}, rowCentre(receivers, 0));
    QTest::mouseDClick(receivers.table()->viewport(), Qt::LeftButton, {}, rowCentre(receivers, 0));
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_EQ(app.mainWindows().size(), 1);
    EXPECT_EQ(window->client().frequencyKHz(), 9500);
    QTest::qWait(3000);
    const pulsetest::Tone tone = pulsetest::analyse(heard.finish());
    EXPECT_GE(tone.seconds, 1.5);
    EXPECT_NEAR(tone.hz, 400, 25) << "the 400 Hz tone of the AM station at 9500 kHz";
}

TEST_F(ReceiversWindowTest, FiltersTheListsShowsThemOnTheMapAndKeepsOrOpensAReceiver)
{
    Preferences::instance().setListenerLocation(QStringLiteral("JO62qm"));
    RxSimServer owrx(rxsimOptions([](RxSimOptions& o) {
        o.kind = RxSimKind::openwebrx;
        o.gps = QStringLiteral("(-33.86, 151.21)");
    }));
    const QString owrxAddress = listen(owrx);
    Application app{[] { return MainWindow::Services{silentPlayer(), [](const QUrl&) {}, {}, {}}; }};
    app.setDirectorySources({QStringLiteral("http://127.0.0.1:%1/public/").arg(listsPort),
        QStringLiteral("http://127.0.0.1:%1/map").arg(listsPort), QStringLiteral("http://%1/map").arg(owrxAddress)});
    MainWindow* first = app.newWindow();
    ReceiversWindow& receivers = receiversOf(app);
    ReceiverTableModel& model = receivers.model();
    ASSERT_TRUE(QTest::qWaitFor([&] { return model.totalCount() == 8; }, 10000));
    EXPECT_EQ(model.rowCount(), 7) << "the receiver behind a downconverter does not cover the window's frequency";

    QTest::keyClicks(receivers.searchField(), QStringLiteral("BEVERAGE"));
    EXPECT_EQ(model.rowCount(), 1);
    receivers.searchField()->clear();
    auto* kind = receivers.findChild<QComboBox*>(QStringLiteral("receiverKind"));
    kind->setCurrentIndex(kind->findText(QStringLiteral("OpenWebRX")));
    EXPECT_EQ(model.rowCount(), 4);
    kind->setCurrentIndex(0);
    receivers.frequencyField()->setText(QStringLiteral("31000"));
    emit receivers.frequencyField()->textEdited(receivers.frequencyField()->text());
    EXPECT_EQ(model.rowCount(), 5) << "the receivers known to end at 30 MHz are out";
    receivers.coversCheck()->setChecked(false);
    EXPECT_EQ(model.rowCount(), 8);

    // A click on a dot selects its row; a full receiver offers Connect When Free.
    WorldMap* map = receivers.map();
    const ReceiverRow* full = nullptr;
    for (const ReceiverRow* row : model.shownRows())
        if (row->listing.hasFreeChannel() == false)
            full = row;
    ASSERT_NE(full, nullptr);
    const QPoint dot = map->pointOf({*full->listing.latitude, *full->listing.longitude}).toPoint();
    QMouseEvent hover(QEvent::MouseMove, dot, map->mapToGlobal(dot), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(map, &hover);
    EXPECT_EQ(map->hoveredUrl(), full->listing.url);
    QTest::mouseClick(map, Qt::LeftButton, {}, dot);
    ASSERT_NE(receivers.selectedListing(), nullptr);
    EXPECT_EQ(receivers.selectedListing()->url, full->listing.url);
    EXPECT_TRUE(receivers.whenFreeButton()->isVisibleTo(&receivers));
    receivers.findChild<QPushButton*>(QStringLiteral("addToServers"))->click();
    EXPECT_TRUE(Preferences::instance().bookmarks().contains(full->listing.url));
    EXPECT_TRUE(receivers.problemLine()->isHidden());

    if (QTest::qWaitFor([&] { return map->hasCoastlines(); }, 20000)) {
        receivers.resize(1280, 640);
        saveScreenshot(receivers, QStringLiteral("receivers-window.png"));
    }

    // Ctrl and a double click on the stand-in OpenWebRX: a new window listens to it.
    const int row = model.rowOf(QStringLiteral("http://%1").arg(owrxAddress));
    ASSERT_GE(row, 0);
    const ReceiverListing owrxListing = model.rowAt(row)->listing;
    ASSERT_TRUE(owrxListing.hasPosition());
    QTest::mouseDClick(map, Qt::LeftButton, Qt::ControlModifier,
        map->pointOf({*owrxListing.latitude, *owrxListing.longitude}).toPoint());
    ASSERT_EQ(app.mainWindows().size(), 2);
    MainWindow* second = app.mainWindows().last();
    EXPECT_NE(second, first);
    EXPECT_TRUE(waitForState(second->client(), ConnectionState::Kind::connected));
    EXPECT_EQ(first->client().state().kind(), ConnectionState::Kind::disconnected);
}

// The map's coastlines come from Debian's GSHHG file through libnetcdf,
// loaded when first needed; a file that is not one gives no lines.
TEST(CoastlinesTest, TheInstalledCoastlinesAreReadAndAnythingElseGivesNone)
{
    const QString path = installedCoastlinePath();
    ASSERT_FALSE(path.isEmpty()) << "gmt-gshhg-low is one of the packages the program needs";
    const CoastlineSet lines = readCoastlines(path);
    EXPECT_GT(lines.size(), 100);
    for (const QPolygonF& line : lines) {
        for (const QPointF& point : line)
            ASSERT_TRUE(point.x() >= -180 && point.x() <= 360 && point.y() >= -90 && point.y() <= 90) << point.x();
    }
    EXPECT_TRUE(readCoastlines(QStringLiteral(DIRECTORY_SAMPLES "/kiwisdr_com.js")).isEmpty());
    EXPECT_TRUE(readCoastlines(QStringLiteral("/nonexistent/coastlines.nc")).isEmpty());
}

} // namespace
