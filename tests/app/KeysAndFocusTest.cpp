#include "AppTestSupport.h"
#include "app/AddressBar.h"
#include "app/TuningArea.h"
#include "display/TuningPanel.h"
#include "display/WaterfallImageStrip.h"
#include "display/WaterfallView.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QWheelEvent>

namespace {

class KeysAndFocusTest : public AppTest {
protected:
    std::unique_ptr<MainWindow> activeWindow()
    {
        auto window = makeWindow();
        window->show();
        window->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.get()));
        return window;
    }

    static QLineEdit& frequencyField(MainWindow& window)
    {
        return *window.tuningArea()->tuningPanel()->findChild<QLineEdit*>(QStringLiteral("frequencyField"));
    }

    // A click into the field, the text typed over what the click selected, Return.
    static void enterFrequency(MainWindow& window, const QString& text)
    {
        QLineEdit& field = frequencyField(window);
        QTest::mouseClick(&field, Qt::LeftButton, {}, QPoint(field.width() / 3, field.height() / 2));
        QTest::keyClicks(&field, text);
        QTest::keyClick(&field, Qt::Key_Return);
    }

    static void pressRight(MainWindow& window)
    {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &window, Qt::Key_Right);
    }
};

TEST_F(KeysAndFocusTest, TheFrequencyFieldTakesWholeValuesAndAlwaysHandsTheKeysBack)
{
    RxSimServer openWebRX(rxsimOptions([](RxSimOptions& options) {
        options.kind = RxSimKind::openwebrx;
        options.openWebRXVersion = RxSimOpenWebRXVersion::v1_1;
    }));
    const auto window = activeWindow();
    ReceiverClient& client = window->client();
    ASSERT_TRUE(connectWindow(*window, listen(openWebRX)));

    enterFrequency(*window, QStringLiteral("7100"));
    EXPECT_EQ(client.frequencyKHz(), 7100.0);
    // The same value again changes nothing, yet the keys tune afterwards.
    enterFrequency(*window, QStringLiteral("7100"));
    EXPECT_TRUE(window->hasTuningKeyFocus());
    pressRight(*window);
    EXPECT_DOUBLE_EQ(client.frequencyKHz(), 7100.1);
    // Every click selects the whole value: the new one replaces it.
    enterFrequency(*window, QStringLiteral("7050"));
    EXPECT_EQ(client.frequencyKHz(), 7050.0);

    // A slip of the keys far beyond the receiver is refused with a word.
    enterFrequency(*window, QStringLiteral("71070500"));
    EXPECT_EQ(client.frequencyKHz(), 7050.0);
    EXPECT_EQ(frequencyField(*window).text(), QStringLiteral("7050.00"));
    auto* note = window->findChild<QLabel*>(QStringLiteral("frequencyNote"));
    EXPECT_TRUE(note->isVisible() && note->text().contains(QStringLiteral("the frequency stays")))
        << note->text().toStdString();
    EXPECT_TRUE(window->hasTuningKeyFocus());
}

TEST_F(KeysAndFocusTest, AfterConnectingFromTheAddressFieldTheKeysTune)
{
    const auto window = activeWindow();
    QLineEdit* address = window->addressBar()->field();
    QTest::mouseClick(address, Qt::LeftButton);
    address->selectAll();
    QTest::keyClicks(address, rxsimAddress);
    QTest::keyClick(address, Qt::Key_Return);
    ASSERT_TRUE(waitForState(window->client(), ConnectionState::Kind::connected));
    EXPECT_TRUE(window->hasTuningKeyFocus());
    pressRight(*window);
    EXPECT_DOUBLE_EQ(window->client().frequencyKHz(), 7200.1);
}

TEST_F(KeysAndFocusTest, TheArrowsAndTheWheelTuneByTheModesStep)
{
    const auto window = activeWindow();
    ReceiverClient& client = window->client();
    ASSERT_TRUE(connectWindow(*window, rxsimAddress));
    auto* step = window->findChild<QComboBox*>(QStringLiteral("tuningStep"));
    emit step->activated(step->findData(1000));
    pressRight(*window);
    EXPECT_DOUBLE_EQ(client.frequencyKHz(), 7201);
    QWidget* strip = window->waterfall()->waterfallStrip();
    const QPointF at(strip->width() / 2.0, strip->height() / 2.0);
    QWheelEvent wheel(at, strip->mapToGlobal(at), {}, {0, 120}, Qt::NoButton, {}, Qt::NoScrollPhase, false);
    QApplication::sendEvent(strip, &wheel);
    EXPECT_DOUBLE_EQ(client.frequencyKHz(), 7202);
    // Another mode keeps its own.
    client.setMode(Mode::usb);
    pressRight(*window);
    EXPECT_DOUBLE_EQ(client.frequencyKHz(), 7202.1);
}

} // namespace
