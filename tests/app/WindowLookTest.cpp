#include "AppTestSupport.h"
#include "app/TuningArea.h"
#include "display/TuningPanel.h"
#include "widgets/FocusFrameStyle.h"
#include "widgets/SliderJump.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

namespace {

// Where the tuning panel and its frequency field sit in a window connected to
// a stand-in receiver of one kind.
class TuningAreaTest : public AppTest {
protected:
    std::pair<QPoint, QPoint> panelAndField(RxSimKind kind, int windowWidth)
    {
        RxSimServer server(rxsimOptions([kind](RxSimOptions& options) { options.kind = kind; }));
        const auto window = makeWindow();
        window->resize(windowWidth, 800);
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        EXPECT_TRUE(connectWindow(*window, listen(server)));
        // An OpenWebRX server's band row is shown once its profiles arrive.
        const bool bands = kind == RxSimKind::openwebrx;
        EXPECT_TRUE(QTest::qWaitFor([&] { return window->client().profiles().isEmpty() != bands; }, 10000));
        QCoreApplication::processEvents();
        const TuningPanel& panel = *window->tuningArea()->tuningPanel();
        const auto* field = panel.findChild<QWidget*>(QStringLiteral("frequencyField"));
        return {panel.mapTo(window.get(), QPoint()), field->mapTo(window.get(), QPoint())};
    }
};

TEST_F(TuningAreaTest, ThePanelSitsInTheSamePlaceForBothKindsOfServer)
{
    // Wide enough for the receiver information beside it, and not.
    for (const int width : {1200, 900})
        EXPECT_EQ(panelAndField(RxSimKind::openwebrx, width), panelAndField(RxSimKind::kiwisdr, width)) << width;
}

TEST(FocusFrameTest, AFocusedControlIsFramedInTheHighlightColour)
{
    FocusFrameStyle style;
    QWidget window;
    auto* column = new QVBoxLayout(&window);
    auto* slider = new QSlider(Qt::Horizontal);
    // A slider that jumps to a click keeps the frame under its own style.
    jumpToClick(*slider);
    const QList<QWidget*> controls{new QPushButton(QStringLiteral("Connect")), new QCheckBox(QStringLiteral("AGC")),
        slider, new QComboBox, new QLineEdit(QStringLiteral("7200.00"))};
    for (QWidget* control : controls) {
        if (control != slider)
            control->setStyle(&style);
        column->addWidget(control);
    }
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QColor highlight = window.palette().color(QPalette::Highlight);
    for (QWidget* control : controls) {
        const auto edgeColour = [control] { return control->grab().toImage().pixelColor(0, control->height() / 2); };
        control->clearFocus();
        EXPECT_NE(edgeColour(), highlight) << control->metaObject()->className();
        control->setFocus(Qt::TabFocusReason);
        ASSERT_TRUE(control->hasFocus());
        EXPECT_EQ(edgeColour(), highlight) << control->metaObject()->className();
    }
}

} // namespace
