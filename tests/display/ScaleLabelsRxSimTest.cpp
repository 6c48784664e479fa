// The receiver's labels from the stand-in receiver to the scale: a KiwiSDR's
// band bars replace the band plan (until the setting says otherwise), an
// OpenWebRX server's bookmarks and dial frequencies become markers, and a
// click on one tunes to it.
#include "DisplayTestSupport.h"
#include "settings/Preferences.h"
#include "display/FrequencyScale.h"
#include "display/WaterfallView.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QToolTip>

#include <utility>

namespace {

TEST(ScaleLabelsRxSimTest, ReceiverLabelsReachTheScale)
{
    Preferences::instance().setReceiverBands(true);
    for (const RxSimKind kind : {RxSimKind::kiwisdr, RxSimKind::openwebrx}) {
        SCOPED_TRACE(int(kind));
        RxSimOptions options;
        options.kind = kind;
        RxSimSession session(options);
        WaterfallView view(&session.client, Preferences::instance());
        view.resize(1000, 400);
        view.show();
        ASSERT_TRUE(session.connect());
        const ReceiverLabels& sent = session.client.receiverLabels();
        FrequencyScale& scale = *view.scaleStrip();
        if (kind == RxSimKind::kiwisdr) {
            ASSERT_TRUE(QTest::qWaitFor([&] { return !sent.bands.empty(); }, 10000));
            EXPECT_EQ(sent.bands.front(), (BandBar{5'900'000, 6'200'000, "49m Broadcast", "#ff6347", 0, "Broadcast"}));
            EXPECT_EQ(scale.bands(), sent.bands);
            // The bar's tooltip names it and its service.
            ASSERT_TRUE(QTest::qWaitFor([&] { return view.spanHz() == 30'000'000; }, 10000));
            const QPoint onBar(int(scale.frequencies().xPosition(7'100'000, scale.width())), FrequencyScale::bandRowTop + 1);
            QHelpEvent help(QEvent::ToolTip, onBar, scale.mapToGlobal(onBar));
            QCoreApplication::sendEvent(&scale, &help);
            EXPECT_EQ(QToolTip::text(), QStringLiteral("<p>40m Ham (Amateur)</p>"));
            Preferences::instance().setReceiverBands(false);
            EXPECT_NE(scale.bands(), sent.bands);
            Preferences::instance().setReceiverBands(true);
            continue;
        }
        ASSERT_TRUE(QTest::qWaitFor([&] { return !sent.dialFrequencies.empty(); }, 10000));
        EXPECT_EQ(sent.bookmarks.size(), 6u);
        EXPECT_EQ(sent.dialFrequencies.front(), (FrequencyLabel{7'074'000, "FT8", Mode::usb, "ft8"}));
        EXPECT_EQ(scale.receiverLabels().size(), 9u);

        // The 40 m profile shows 6975-7225 kHz: a click on the CW label tunes
        // there in CW.
        ASSERT_TRUE(QTest::qWaitFor([&] { return view.spanHz() == 250'000; }, 10000));
        const QPointF at(scale.frequencies().xPosition(7'030'000, scale.width()) + 2, FrequencyScale::markRowTop + 4);
        QMouseEvent release(QEvent::MouseButtonRelease, at, scale.mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(&scale, &release);
        EXPECT_EQ(std::pair(session.client.mode(), session.client.frequencyKHz()), std::pair(Mode::cw, 7030.0));
        // The FT8 dial names a decoder, which this receiver lacks the
        // software for: it tunes there and says why it cannot decode.
        const QPointF ft8(scale.frequencies().xPosition(7'074'000, scale.width()) + 2, FrequencyScale::markRowTop + 4);
        QMouseEvent onFT8(QEvent::MouseButtonRelease, ft8, scale.mapToGlobal(ft8), Qt::LeftButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(&scale, &onFT8);
        EXPECT_EQ(std::pair(session.client.mode(), session.client.frequencyKHz()), std::pair(Mode::usb, 7074.0));
        EXPECT_EQ(session.client.decoderError(), "\u201cFT8\u201d cannot run here. The receiver lacks wsjt-x.");
        // Some lines of picture above the scale.
        QTest::qWait(2000);
        saveScreenshot(view, QStringLiteral("scale-bands-and-labels.png"));
    }
}

} // namespace
