// What a window shows between receivers: the last one's picture and
// description while the next connects or after a drop, and nothing of it
// once the next one speaks; the footer and the listener count.
#include "AppTestSupport.h"
#include "app/TuningArea.h"
#include "app/WindowFooter.h"
#include "display/ReceiverInfoView.h"
#include "display/FrequencyScale.h"
#include "display/SMeterView.h"
#include "display/WaterfallImageStrip.h"
#include "display/WaterfallView.h"

#include <QLabel>
#include <QPointer>
#include <QRegularExpression>

namespace {

using namespace std::chrono_literals;

QLabel* infoLabel(MainWindow& window, const char* name)
{
    return window.findChild<QLabel*>(QString::fromLatin1(name));
}

// The values of the receiver information, row by row.
QStringList infoValues(MainWindow& window)
{
    QStringList values;
    if (auto* grid = window.findChild<QWidget*>(QStringLiteral("receiverInfoGrid")))
        for (QLabel* label : grid->findChildren<QLabel*>())
            values.append(label->text());
    return values;
}

class ReceiverSwitchTest : public AppTest {
protected:
    std::unique_ptr<MainWindow> shownWindow(ReconnectPolicy policy = {})
    {
        auto window = makeWindow(silentPlayer(), {}, std::move(policy));
        window->resize(1200, 860);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    static bool drawing(MainWindow& window)
    {
        return QTest::qWaitFor([&] { return window.waterfall()->waterfallStrip()->image().has_value(); }, 10000);
    }
};

TEST_F(ReceiverSwitchTest, TheNextReceiverReplacesEverythingTheLastOneSet)
{
    RxSimServer openWebRX(rxsimOptions([](RxSimOptions& options) { options.kind = RxSimKind::openwebrx; }));
    openWebRX.receiver().name = QStringLiteral("Second receiver");
    const auto window = shownWindow();
    ReceiverClient& client = window->client();
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    ASSERT_TRUE(drawing(*window));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !client.receiverLabels().bands.empty(); }, 10000));
    const std::vector<BandBar> kiwiBands = window->waterfall()->scaleStrip()->bands();
    // The listener's own connection is counted at once.
    EXPECT_TRUE(infoValues(*window).contains(QStringLiteral("1 of 4"))) << infoValues(*window).join('|').toStdString();

    window->addressBar()->setAddress(listen(openWebRX));
    window->addressBar()->connectToAddress();
    // While it connects, the last receiver's picture, scale and description stay together.
    WaterfallView& view = *window->waterfall();
    EXPECT_TRUE(view.waterfallStrip()->isDimmed());
    EXPECT_EQ(view.scaleStrip()->bands(), kiwiBands);
    EXPECT_EQ(window->tuningArea()->receiverInfo()->findChild<QLabel*>()->text(), QStringLiteral("Farlisten rxsim test receiver"));
    EXPECT_TRUE(infoLabel(*window, "receiverInfoAsOf")->isVisible());

    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::connected));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !view.waterfallStrip()->isDimmed(); }, 10000));
    EXPECT_NE(view.scaleStrip()->bands(), kiwiBands);
    EXPECT_EQ(view.spanHz(), 250'000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return client.info().name == QStringLiteral("Second receiver"); }, 10000));
    EXPECT_FALSE(infoLabel(*window, "receiverInfoAsOf")->isVisible());
    // An OpenWebRX meter reads in dB from the start.
    auto* meter = window->findChild<SMeterView*>(QStringLiteral("sMeter"));
    EXPECT_TRUE(meter->findChild<QLabel*>()->text().endsWith(QStringLiteral(" dB")));
}

TEST_F(ReceiverSwitchTest, AfterADropThePictureAndDescriptionStayUntilTheReconnectionDraws)
{
    RxSimServer dropping(rxsimOptions([](RxSimOptions& options) { options.dropAfter = 1500ms; }));
    ReconnectPolicy policy;
    policy.delays = {2s};
    policy.jitter = 0;
    const auto window = shownWindow(policy);
    ReceiverClient& client = window->client();
    ASSERT_TRUE(connectWindow(*window, listen(dropping)));
    ASSERT_TRUE(drawing(*window));
    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::failed));
    WaterfallImageStrip& strip = *window->waterfall()->waterfallStrip();
    EXPECT_TRUE(strip.image() && strip.isDimmed());
    EXPECT_EQ(window->tuningArea()->receiverInfo()->findChild<QLabel*>()->text(), QStringLiteral("Farlisten rxsim test receiver"));
    EXPECT_TRUE(infoValues(*window).contains(QStringLiteral("Simulated 20 m dipole")));
    EXPECT_TRUE(infoLabel(*window, "receiverInfoAsOf")->text().startsWith(QStringLiteral("As of ")));
    // A try changes nothing in the description, which is not built again.
    const QPointer<QWidget> grid = window->findChild<QWidget*>(QStringLiteral("receiverInfoGrid"));

    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::connecting));
    EXPECT_TRUE(strip.image() && strip.isDimmed());
    EXPECT_TRUE(grid);
    ASSERT_TRUE(waitForState(client, ConnectionState::Kind::connected));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !strip.isDimmed(); }, 10000));
    EXPECT_FALSE(infoLabel(*window, "receiverInfoAsOf")->isVisible());
}

TEST_F(ReceiverSwitchTest, TheFooterTellsTheTimeTheSoundAndNetworkAndTheReceiversLoad)
{
    RxSimServer openWebRX(rxsimOptions([](RxSimOptions& options) { options.kind = RxSimKind::openwebrx; }));
    const auto window = shownWindow();
    const FooterTexts& texts = window->footer()->texts();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d UTC$")).match(texts.clock).hasMatch());
    EXPECT_TRUE(texts.rate.isEmpty() && texts.users.isEmpty());

    ASSERT_TRUE(connectWindow(*window, listen(openWebRX)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !texts.load.isEmpty() && !texts.rate.isEmpty(); }, 10000));
    EXPECT_EQ(texts.users, QStringLiteral("Users 1 of 4"));
    EXPECT_EQ(texts.load, QStringLiteral("CPU 23 %, 47.5 °C"));
    EXPECT_TRUE(texts.rate.startsWith(QStringLiteral("Network ")) && texts.rate != QStringLiteral("Network 0.0 kB/s"))
        << texts.rate.toStdString();
    EXPECT_TRUE(texts.buffer.startsWith(QStringLiteral("Sound buffer "))) << texts.buffer.toStdString();
    saveScreenshot(*window->footer(), QStringLiteral("footer.png"));
    window->client().disconnect();
    EXPECT_TRUE(texts.load.isEmpty() && texts.users.isEmpty());
}

} // namespace
