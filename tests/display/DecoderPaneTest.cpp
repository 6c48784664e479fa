// The decoder chooser and pane against the stand-in OpenWebRX server, which
// decodes its own keyed CW station as text (CW Decoder) and as messages (CW
// Skimmer): the list from the server, text and table filled, a click in the
// narrow waterfall moving the decoder, and a flood of decodes.
#include "DisplayTestSupport.h"
#include "common/GuiLoad.h"
#include "display/DecoderChooser.h"
#include "display/DecoderPane.h"
#include "display/DecoderSpectrum.h"
#include "display/DecoderTableModel.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTableView>
#include <QTemporaryDir>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

RxSimOptions openWebRX(std::optional<RxSimHostile> hostile = std::nullopt)
{
    RxSimOptions options;
    options.kind = RxSimKind::openwebrx;
    options.hostile = hostile;
    return options;
}

// The chooser over the pane, as a main window stacks them.
struct DecoderWindow {
    explicit DecoderWindow(ReceiverClient& client)
        : chooser(new DecoderChooser(client, &window))
        , pane(new DecoderPane(client, &window))
    {
        auto* column = new QVBoxLayout(&window);
        column->addWidget(chooser);
        column->addWidget(pane, 1);
        window.resize(760, 420);
        window.show();
    }

    QStringList menuTexts() const
    {
        QStringList texts;
        for (const QAction* action : chooser->menu()->actions())
            if (!action->isSeparator())
                texts.append(action->text() + (action->isEnabled() ? QString() : QStringLiteral(" [disabled]")));
        return texts;
    }

    QWidget window;
    DecoderChooser* chooser;
    DecoderPane* pane;
};

// Connected at 7029 kHz USB, the keyed station at 1000 Hz of audio.
bool connectBelowTheStation(RxSimSession& session)
{
    session.client.restoreTuning(Mode::usb, 0, 7029);
    return session.connect() && QTest::qWaitFor([&] { return session.client.decoders().size() == 3; }, 10000);
}

TEST(DecoderPaneTest, TextDecoderFillsThePaneAndAClickInItsWaterfallMovesIt)
{
    RxSimSession session(openWebRX());
    QStringList received;
    QObject::connect(&session.server, &RxSimServer::commandReceived,
        [&](const QString&, const QString& text, const QString&) { received.append(text); });
    DecoderWindow w(session.client);
    ASSERT_TRUE(connectBelowTheStation(session));
    EXPECT_TRUE(w.chooser->isVisible());
    EXPECT_FALSE(w.pane->isVisible());
    EXPECT_EQ(w.menuTexts(),
        (QStringList{"Off", "CW Decoder", "CW Skimmer", "FT8 (The receiver lacks wsjt-x.) [disabled]"}));

    w.chooser->menu()->actions().at(2)->trigger();
    EXPECT_EQ(session.client.decoder(), (DecoderChoice{"cwdecoder", 1000}));
    EXPECT_EQ(w.chooser->button()->text(), "CW Decoder");
    EXPECT_TRUE(w.pane->isVisible());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w.pane->textView()->toPlainText().contains(QStringLiteral("FARLISTEN")) && w.pane->spectrum()->hasPicture(); },
        40000));
    EXPECT_FALSE(w.pane->showsTable());
    saveScreenshot(w.window, QStringLiteral("decoder-cw.png"));

    // A click lands on the 10 Hz grid inside the passband, and the server
    // hears of it.
    DecoderSpectrum& spectrum = *w.pane->spectrum();
    const int x = spectrum.width() * 3 / 4;
    const std::int64_t offset = spectrum.offsetAt(x);
    EXPECT_EQ(offset % 10, 0);
    EXPECT_GT(offset, 1000);
    EXPECT_LE(offset, session.client.passband().high);
    QTest::mouseClick(&spectrum, Qt::LeftButton, {}, QPoint(x, spectrum.height() / 2));
    EXPECT_EQ(session.client.decoder()->offsetHz, offset);
    const QString moved = QStringLiteral(R"({"params":{"secondary_offset_freq":%1},"type":"dspcontrol"})").arg(offset);
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.contains(moved); }, 10000));

    // Saved text has each line's UTC time; Clear empties the pane.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cw.txt"));
    EXPECT_EQ(w.pane->saveTo(path), std::nullopt);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_TRUE(QString::fromUtf8(saved.readAll()).contains(QRegularExpression("^\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\dZ  [A-Z ]")));
    QTest::mouseClick(w.pane->findChild<QWidget*>(QStringLiteral("decoderClear")), Qt::LeftButton);
    EXPECT_TRUE(w.pane->textView()->toPlainText().isEmpty());

    w.chooser->menu()->actions().at(0)->trigger();
    EXPECT_EQ(session.client.decoder(), std::nullopt);
    EXPECT_FALSE(w.pane->isVisible());
}

TEST(DecoderPaneTest, StructuredDecodesFillASortableTable)
{
    RxSimSession session(openWebRX());
    DecoderWindow w(session.client);
    ASSERT_TRUE(connectBelowTheStation(session));
    session.client.chooseDecoder(QStringLiteral("CW Skimmer"));
    QTableView& table = *w.pane->tableView();
    ASSERT_TRUE(QTest::qWaitFor([&] { return table.model()->rowCount() > 0; }, 40000));
    EXPECT_TRUE(w.pane->showsTable());
    const auto cell = [&](int row, int column) { return table.model()->index(row, column).data().toString(); };
    EXPECT_EQ(cell(0, DecoderTableModel::audioHz), QLocale().toString(1000.0, 'f', 0));
    EXPECT_TRUE(cell(0, DecoderTableModel::message).endsWith(QStringLiteral("TEST K"))) << cell(0, 4).toStdString();
    EXPECT_TRUE(cell(0, DecoderTableModel::details).contains(QStringLiteral("wpm = ")));

    // Newer rows go on top; sorting by a column sorts its numbers; a click on
    // a callsign copies it.
    const QDateTime now = QDateTime::currentDateTimeUtc();
    DecodedRow weak{now.addSecs(1), -21, 0.3, 1520, "CQ DL1ABC JO62", "DL1ABC", "JO62", {}};
    DecodedRow strong{now.addSecs(2), 7, -0.1, 730, "CQ <b>F5XYZ</b> JN18", "<b>F5XYZ</b>", "JN18", {}};
    w.pane->tableModel()->add({weak, strong});
    EXPECT_EQ(cell(0, DecoderTableModel::callsign), "<b>F5XYZ</b>");
    table.sortByColumn(DecoderTableModel::db, Qt::AscendingOrder);
    EXPECT_EQ(cell(0, DecoderTableModel::db), "-21");
    const QRect callsign = table.visualRect(table.model()->index(0, DecoderTableModel::callsign));
    QTest::mouseClick(table.viewport(), Qt::LeftButton, {}, callsign.center());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "DL1ABC");
    table.sortByColumn(DecoderTableModel::time, Qt::DescendingOrder);
    saveScreenshot(w.window, QStringLiteral("decoder-table.png"));

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("skimmer.csv"));
    EXPECT_EQ(w.pane->saveTo(path), std::nullopt);
    QFile saved(path);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(saved.readAll()).split(u'\n', Qt::SkipEmptyParts);
    EXPECT_EQ(lines.first(), decodedCsvHeader());
    EXPECT_EQ(lines.last(), decodedCsvLine(strong));
}

// 10,000 decodes a second, text with markup and escape sequences and
// messages with absurd fields, while the pane shows them: the GUI thread
// stays free, memory and what is kept stay bounded, and all of it is text.
TEST(DecoderPaneTest, AFloodOfDecodesKeepsTheWindowFreeAndBounded)
{
    ServerThread server(openWebRX(RxSimHostile::decoderFlood));
    ASSERT_NE(server.port, 0);
    ReceiverClient client(QStringLiteral("Farlisten test"), silentPlayer());
    DecoderWindow w(client);
    client.restoreTuning(Mode::usb, 0, 7029);
    client.connect(QStringLiteral("127.0.0.1:%1").arg(server.port));
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.decoders().size() == 3; }, 10000));
    client.chooseDecoder(QStringLiteral("cwdecoder"));

    const qint64 baseline = memoryInUse();
    qint64 maxBusyMs = 0;
    qint64 peakGrowth = 0;
    std::uint64_t outputs = 0;
    QObject::connect(&client, &ReceiverClient::decoderOutputChanged, &w.window, [&] { ++outputs; });
    QElapsedTimer clock;
    clock.start();
    qint64 cpuAtTick = threadCpuMs();
    while (clock.elapsed() < 4000) {
        QTest::qWait(20);
        const qint64 cpu = threadCpuMs();
        maxBusyMs = std::max(maxBusyMs, cpu - cpuAtTick);
        cpuAtTick = cpu;
        peakGrowth = std::max(peakGrowth, memoryInUse() - baseline);
    }
    EXPECT_TRUE(client.state().isConnected());
    EXPECT_GT(outputs, 10u);
    EXPECT_LT(maxBusyMs, 100);
    EXPECT_LT(peakGrowth, 64LL * 1024 * 1024);
    const QString text = w.pane->textView()->toPlainText();
    EXPECT_LE(text.size(), maxKeptDecodedText);
    EXPECT_TRUE(text.contains(QStringLiteral("CQ <b>")));
    EXPECT_FALSE(text.contains(QChar(0x1b)));
    EXPECT_LE(w.pane->tableModel()->rowCount(), maxKeptDecodedMessages);
    EXPECT_GT(w.pane->tableModel()->rowCount(), 0);
    client.disconnect();
}

} // namespace
