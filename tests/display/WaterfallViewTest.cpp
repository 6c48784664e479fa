#include "display/WaterfallView.h"

#include "DisplayTestSupport.h"
#include "display/FrequencyFormat.h"
#include "display/FrequencyScale.h"
#include "display/PassbandDrag.h"
#include "display/LevelStepper.h"
#include "display/SpectrumLevels.h"
#include "display/SpectrumTrace.h"
#include "display/WaterfallHeader.h"
#include "display/WaterfallImageStrip.h"
#include "settings/Preferences.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QWheelEvent>

#include <cmath>
#include <functional>
#include <tuple>

namespace {

constexpr int stripWidth = 1000;

// The server's own waterfall sends no rows, so every row is one the test feeds.
RxSimOptions quietOptions()
{
    RxSimOptions options;
    options.waterfallFPS = 0;
    return options;
}

// Levels as a KiwiSDR sends them: a byte b is b - 255 dB.
WaterfallRow flatRow(double startHz, double spanHz, std::uint8_t bin = 150)
{
    WaterfallRow row;
    row.bins.assign(1024, bin - 255.0f);
    row.startHz = startHz;
    row.spanHz = spanHz;
    return row;
}

// Noise with a few steady carriers and one that drifts, different each row.
WaterfallRow bandRow(std::uint32_t n)
{
    WaterfallRow row = flatRow(7'000'000, 100'000);
    std::uint32_t noise = 2463534242u + n * 7919u;
    for (std::size_t i = 0; i < row.bins.size(); ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        const bool carrier = i % 181 == 40 || (i > 500 && i < 530) || i == 200 + n % 300;
        row.bins[i] = static_cast<float>(140 + noise % 14 + (carrier ? 45 + noise % 10 : 0)) - 255.0f;
    }
    return row;
}

// Hands everything the broadcaster holds for the view over to it.
void deliver(WaterfallView& view)
{
    QCoreApplication::sendPostedEvents(&view, QEvent::MetaCall);
}

// Sends one row through the session and lets the view take it.
bool feed(ReceiverClient& client, WaterfallView& view, const WaterfallRow& row)
{
    client.rows().yield(row);
    deliver(view);
    return view.startHz() == row.startHz && view.spanHz() == row.spanHz;
}

void sendMouse(QWidget* target, QEvent::Type type, QPointF position, Qt::MouseButtons held)
{
    QMouseEvent event(type, position, target->mapToGlobal(position), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// Presses at `from`, moves through `path` and lets go at its last point.
void drag(QWidget* target, QPointF from, const std::vector<QPointF>& path)
{
    sendMouse(target, QEvent::MouseButtonPress, from, Qt::LeftButton);
    for (const QPointF& point : path)
        sendMouse(target, QEvent::MouseMove, point, Qt::LeftButton);
    sendMouse(target, QEvent::MouseButtonRelease, path.empty() ? from : path.back(), Qt::NoButton);
}

void turnWheel(QWidget* target, int angleDelta, Qt::KeyboardModifiers modifiers = Qt::NoModifier, double x = 500)
{
    const QPointF position(x, 40);
    QWheelEvent event(position, target->mapToGlobal(position), QPoint(), QPoint(0, angleDelta), Qt::NoButton,
        modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &event);
}

class WaterfallViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(session.connect());
        view.resize(stripWidth, 420);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
        ASSERT_EQ(view.waterfallStrip()->width(), stripWidth);
    }

    RxSimSession session{quietOptions()};
    ReceiverClient& client = session.client;
    WaterfallView view{&session.client, Preferences::instance()};
};

// A click tunes to the clicked frequency, the wheel by the mode's step; both
// onto the mode's grid, on either strip, and only while connected.
TEST_F(WaterfallViewTest, ClickAndWheelTuneOntoTheModesGrid)
{
    const auto onBothStrips = [&](double fromKHz, const std::function<void(QWidget*)>& act, double expectedKHz) {
        for (QWidget* strip : {static_cast<QWidget*>(view.waterfallStrip()), static_cast<QWidget*>(view.spectrumStrip())}) {
            client.tune(fromKHz);
            act(strip);
            EXPECT_DOUBLE_EQ(client.frequencyKHz(), expectedKHz) << rawValue(client.mode()).toStdString() << " " << fromKHz;
        }
    };
    // Without rows a click has no frequency to tune to.
    client.setMode(Mode::am);
    onBothStrips(15000, [](QWidget* strip) { QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(500, 40)); }, 15000);

    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000)));
    const std::tuple<Mode, int, double> clicks[] = {
        {Mode::usb, 500, 7050}, {Mode::am, 105, 7011}, {Mode::cw, 457, 7045.7},
        {Mode::wfm, 733, 7100}, {Mode::wfm, 20, 7000},
    };
    for (const auto& [mode, x, expectedKHz] : clicks) {
        client.setMode(mode);
        onBothStrips(15000, [&](QWidget* strip) { QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(x, 40)); },
            expectedKHz);
    }
    // Mode, from, wheel steps, to.
    const std::tuple<Mode, double, std::vector<int>, double> wheels[] = {
        {Mode::am, 7000, {120}, 7005}, {Mode::am, 7003, {120}, 7005}, {Mode::am, 7003, {-120}, 7000},
        {Mode::usb, 14200.04, {120}, 14200.1}, {Mode::lsb, 7200, {-240}, 7199.8},
        {Mode::cwn, 7030, {60, 30, 30}, 7030.01}, {Mode::cwn, 7030, {60, -30}, 7030},
        {Mode::wfm, 15000, {120}, 15100},
    };
    for (const auto& [mode, fromKHz, deltas, expectedKHz] : wheels) {
        client.setMode(mode);
        onBothStrips(fromKHz, [&](QWidget* strip) {
            for (const int delta : deltas)
                turnWheel(strip, delta);
        }, expectedKHz);
    }

    client.disconnect();
    onBothStrips(9000, [](QWidget* strip) {
        QTest::mouseClick(strip, Qt::LeftButton, {}, QPoint(500, 40));
        turnWheel(strip, 120);
    }, 9000);
}

// One strong line at `lineHz`, placed on a bin of a row over `spanHz`.
WaterfallRow rowWithLine(double spanHz, double lineHz)
{
    WaterfallRow row = flatRow(0, spanHz, 120);
    constexpr std::size_t bin = 500;
    row.startHz = lineHz - double(bin) * spanHz / double(row.bins.size() - 1);
    row.bins[bin] = -60;
    row.bins[bin - 1] = row.bins[bin + 1] = -80;
    return row;
}

// A click on a carrier lands on the mode's grid, on an AM station's channel
// in a broadcast band: 5 kHz on short wave, 9 kHz (10 in region 2) below.
TEST_F(WaterfallViewTest, AClickOnALineLandsOnTheModesGridOrTheStationsChannel)
{
    const struct {
        double spanHz, lineHz;
        Mode mode;
        int region;
        double expectedKHz;
    } cases[] = {
        {30'000'000, 9'501'660, Mode::am, 1, 9500},
        {468'750, 9'499'930, Mode::am, 1, 9500},
        {468'750, 9'499'930, Mode::am, 2, 9500},
        {468'750, 7'050'020, Mode::usb, 1, 7050},
        {468'750, 7'050'020, Mode::cw, 1, 7050.02},
        {468'750, 999'600, Mode::am, 1, 999},
        {468'750, 999'600, Mode::sam, 2, 1000},
        {468'750, 7'050'600, Mode::am, 1, 7051},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.lineHz);
        Preferences::instance().setBandPlanRegion(c.region);
        client.setMode(c.mode);
        ASSERT_TRUE(feed(client, view, rowWithLine(c.spanHz, c.lineHz)));
        const double x = view.waterfallStrip()->frequencies().xPosition(c.lineHz, stripWidth);
        QTest::mouseClick(view.waterfallStrip(), Qt::LeftButton, {}, QPoint(int(x) + 2, 40));
        EXPECT_DOUBLE_EQ(client.frequencyKHz(), c.expectedKHz);
    }
    Preferences::instance().setBandPlanRegion(1);
}

// Dragging the scale looks around without losing the station.
TEST_F(WaterfallViewTest, DraggingTheScalePansWithoutRetuning)
{
    client.setWaterfallZoom(1);
    client.tune(7050);
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000)));
    drag(view.scaleStrip(), {300, 10}, {{320, 10}, {400, 10}});
    EXPECT_EQ(client.frequencyKHz(), 7050.0);
    EXPECT_DOUBLE_EQ(view.displayedStartHz(), 6'990'000);
    EXPECT_EQ(client.waterfallStartHz(), view.displayedStartHz());
}

TEST_F(WaterfallViewTest, DragsPanAndRetuneOnATenHertzGridWithinTheBand)
{
    const struct {
        const char* name;
        int zoom;
        double kHz, rowStartHz, rowSpanHz, fromX;
        std::vector<double> path;
        double expectedKHz, expectedStartHz;
    } cases[] = {
        {"zoom 0 does not pan", 0, 7050, 7'000'000, 100'000, 300, {310, 400, 550}, 7050, 7'000'000},
        {"stops at the bottom", 1, 50, 10'000, 100'000, 300, {320, 550}, 40, 0},
        {"odd span", 2, 7123.45, 7'012'345.6, 123'457, 500, {493, 471, 388, 617, 733}, 7094.68, 6'983'575.6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        client.setWaterfallZoom(c.zoom);
        client.tune(c.kHz);
        ASSERT_TRUE(feed(client, view, flatRow(c.rowStartHz, c.rowSpanHz)));
        std::vector<double> tuned;
        const QMetaObject::Connection watch = QObject::connect(&client, &ReceiverClient::frequencyKHzChanged, &view,
            [&] { tuned.push_back(client.frequencyKHz()); });
        std::vector<QPointF> path;
        for (const double x : c.path)
            path.emplace_back(x, 40);
        drag(view.waterfallStrip(), {c.fromX, 40}, path);
        QObject::disconnect(watch);
        EXPECT_NEAR(client.frequencyKHz(), c.expectedKHz, 1e-6);
        EXPECT_NEAR(view.displayedStartHz(), c.expectedStartHz, 1e-3);
        for (const double kHz : tuned)
            EXPECT_NEAR(kHz * 100, std::round(kHz * 100), 1e-6) << "off the 10 Hz grid: " << kHz;
        if (c.zoom > 0) {
            EXPECT_EQ(client.waterfallStartHz(), view.displayedStartHz());
        }
    }

    // A pan waits for a row at its start; a row at another span (a zoom) drops it.
    client.setWaterfallZoom(1);
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000)));
    drag(view.waterfallStrip(), {300, 40}, {{320, 40}, {400, 40}});
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 151)));
    EXPECT_TRUE(view.pan().panStartHz());
    ASSERT_TRUE(feed(client, view, flatRow(6'950'000, 200'000)));
    EXPECT_FALSE(view.pan().panStartHz());
    EXPECT_EQ(view.displayedStartHz(), 6'950'000);
    EXPECT_DOUBLE_EQ(view.waterfallStrip()->contentOffset(), 0);
}

TEST_F(WaterfallViewTest, ControlWheelAndHeaderZoomAndTheHeaderShowsSpanAndZoom)
{
    ASSERT_TRUE(feed(client, view, flatRow(0, 30'000'000)));
    client.tune(10000);
    // A quarter of the way across: 7.5 MHz stays a quarter of the way across.
    turnWheel(view.waterfallStrip(), 120, Qt::ControlModifier, 250);
    EXPECT_EQ(std::tuple(client.waterfallZoom(), client.waterfallStartHz(), client.frequencyKHz()),
        std::tuple(1, 3'750'000.0, 10000.0));

    ASSERT_TRUE(feed(client, view, flatRow(3'750'000, 15'000'000)));
    turnWheel(view.spectrumStrip(), -120, Qt::ControlModifier, 250);
    EXPECT_EQ(std::pair(client.waterfallZoom(), client.waterfallStartHz()), std::pair(0, 0.0));

    const DefaultLocale point(QLocale(QLocale::English, QLocale::UnitedStates));
    ASSERT_TRUE(feed(client, view, flatRow(0, 1'500'000)));
    EXPECT_EQ(view.header()->spanLabel()->text(), QStringLiteral("Span 1.5 MHz"));
    const QPoint zoomInAt = view.header()->zoomInButton()->pos();
    ASSERT_TRUE(feed(client, view, flatRow(0, 937'500)));
    EXPECT_EQ(view.header()->spanLabel()->text(), QStringLiteral("Span 937.5 kHz"));
    QCoreApplication::processEvents();
    EXPECT_EQ(view.header()->zoomInButton()->pos(), zoomInAt) << "the zoom buttons stay put";

    client.setWaterfallZoom(0);
    EXPECT_FALSE(view.header()->zoomOutButton()->isEnabled());
    QTest::mouseClick(view.header()->zoomInButton(), Qt::LeftButton);
    EXPECT_EQ(client.waterfallZoom(), 1);
    EXPECT_EQ(view.header()->zoomLabel()->text(), QStringLiteral("Zoom 1"));
    const int top = std::min(client.info().maxZoom, client.info().zoomCap);
    client.setWaterfallZoom(top);
    EXPECT_FALSE(view.header()->zoomInButton()->isEnabled());
    QTest::mouseClick(view.header()->zoomOutButton(), Qt::LeftButton);
    EXPECT_EQ(client.waterfallZoom(), top - 1);

    client.disconnect();
    EXPECT_FALSE(view.header()->isEnabled());
}

TEST_F(WaterfallViewTest, FloorAndCeilingSteppersKeepTheirBoundsAndTurnAutoRangeOff)
{
    std::vector<WaterfallLook> reported;
    QObject::connect(&view, &WaterfallView::lookChanged, [&](const WaterfallLook& look) { reported.push_back(look); });
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 155)));
    LevelStepper* floor = view.header()->floorStepper();
    LevelStepper* ceiling = view.header()->ceilingStepper();
    EXPECT_EQ(floor->text(), QStringLiteral("Floor -105 dBm"));
    EXPECT_EQ(ceiling->text(), QStringLiteral("Ceiling -70 dBm"));

    // Moving either level sets the range by hand.
    QTest::mouseClick(floor->incrementButton(), Qt::LeftButton);
    EXPECT_FALSE(view.header()->autoRangeButton()->isChecked());
    EXPECT_EQ(reported, std::vector<WaterfallLook>({{.autoRange = false, .floorDB = -100, .ceilingDB = -70}}));
    QTest::mouseClick(view.header()->autoRangeButton(), Qt::LeftButton);
    EXPECT_TRUE(reported.back().autoRange);
    QTest::mouseClick(ceiling->decrementButton(), Qt::LeftButton);
    EXPECT_EQ(reported.back(), (WaterfallLook{.autoRange = false, .floorDB = -100, .ceilingDB = -75}));

    for (int i = 0; i < 10 && floor->incrementButton()->isEnabled(); ++i)
        QTest::mouseClick(floor->incrementButton(), Qt::LeftButton);
    EXPECT_EQ(view.minDB(), -85); // the ceiling less 10
    EXPECT_FALSE(floor->incrementButton()->isEnabled());
    for (int i = 0; i < 30 && ceiling->incrementButton()->isEnabled(); ++i)
        QTest::mouseClick(ceiling->incrementButton(), Qt::LeftButton);
    EXPECT_EQ(view.maxDB(), 0);
    for (int i = 0; i < 30 && floor->decrementButton()->isEnabled(); ++i)
        QTest::mouseClick(floor->decrementButton(), Qt::LeftButton);
    EXPECT_EQ(floor->text(), QStringLiteral("Floor -160 dBm"));

    // The hand-set range now colours the rows.
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 255)));
    // The picture is redrawn at the screen's pace, not at once.
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto& image = view.waterfallStrip()->image();
            return image && image->pixelColor(10, 0) == QColor(255, 255, 255);
        },
        1000));
}

// New rows scroll what is on screen and paint only the lines they uncover;
// the result must be what painting the whole picture anew gives.
TEST_F(WaterfallViewTest, ScrolledPictureMatchesAFreshPaint)
{
    WaterfallImageStrip* strip = view.waterfallStrip();
    const auto onScreen = [&] {
        QCoreApplication::processEvents();
        const QPoint topLeft = strip->mapTo(strip->window(), QPoint(0, 0));
        return strip->screen()->grabWindow(0).toImage().copy(QRect(topLeft, strip->size()));
    };
    // Bands of six rows, each a level of its own, so a line out of place shows.
    for (int i = 0; i < 60; ++i) {
        client.rows().yield(flatRow(7'000'000, 100'000, std::uint8_t(40 + (i / 6 * 67) % 200)));
        deliver(view);
        if (i % 3 == 2)
            QTest::qWait(WaterfallView::redrawIntervalMs + 5);
    }
    QTest::qWait(WaterfallView::redrawIntervalMs + 5);
    const QImage scrolled = onScreen();
    strip->repaint();
    const QImage fresh = onScreen();
    ASSERT_EQ(scrolled.size(), fresh.size());
    ASSERT_FALSE(scrolled.isNull());
    // Lines may differ only where a scroll met the lines painted above it
    // (the scaling blends the neighbouring row there).
    int differingLines = 0;
    for (int y = 0; y < fresh.height(); ++y) {
        for (int x = 0; x < fresh.width(); x += 7) {
            const QColor a = scrolled.pixelColor(x, y), b = fresh.pixelColor(x, y);
            if (std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue()) > 24) {
                ++differingLines;
                break;
            }
        }
    }
    EXPECT_LE(differingLines, 25) << "of " << fresh.height();
}

TEST_F(WaterfallViewTest, MenusSetTheColoursAndTheSpectrum)
{
    std::vector<WaterfallLook> reported;
    QObject::connect(&view, &WaterfallView::lookChanged, [&](const WaterfallLook& look) { reported.push_back(look); });
    WaterfallHeader& header = *view.header();
    for (std::uint32_t n = 0; n < 200; ++n)
        ASSERT_TRUE(feed(client, view, bandRow(n)));
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 200)));

    // A new map colours the picture already shown.
    header.colourMapAction(ColourMap::grey)->trigger();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported.back().colourMap, ColourMap::grey);
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            const auto& image = view.waterfallStrip()->image();
            if (!image)
                return false;
            const QColor colour = image->pixelColor(10, 0);
            return colour.red() == colour.green() && colour.green() == colour.blue() && colour.red() > 0;
        },
        1000));
    saveScreenshot(view, QStringLiteral("waterfall-grey.png"));
    header.colourMapAction(ColourMap::uniform)->trigger();
    QTest::qWait(2 * WaterfallView::redrawIntervalMs);
    saveScreenshot(view, QStringLiteral("waterfall-even-colours.png"));

    header.averagingAction(SpectrumAveraging::heavy)->trigger();
    EXPECT_EQ(reported.back().averaging, SpectrumAveraging::heavy);
    EXPECT_FALSE(header.clearPeaksAction()->isEnabled());
    header.peakHoldAction()->trigger();
    EXPECT_TRUE(reported.back().peakHold);
    EXPECT_TRUE(header.clearPeaksAction()->isEnabled());
    ASSERT_EQ(view.spectrum().size(), 1024u);
    const double before = view.spectrum()[0];
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 100)));
    // Heavy averaging: the trace falls slowly, the peaks stay high.
    EXPECT_NEAR(view.spectrum()[0], before + 0.04 * (-155 - before), 1e-9);
    EXPECT_TRUE(QTest::qWaitFor([&] { return view.spectrumStrip()->peaks().size() == 1024u; }, 1000));
    EXPECT_NEAR(view.spectrumStrip()->peaks()[0], before - SpectrumLevels::peakDecayDB, 1e-9);
    for (std::uint32_t n = 0; n < 40; ++n)
        ASSERT_TRUE(feed(client, view, bandRow(n)));
    QTest::qWait(2 * WaterfallView::redrawIntervalMs);
    saveScreenshot(view, QStringLiteral("waterfall-peak-hold.png"));
    EXPECT_EQ(reported.size(), 4u);

    // Off: the spectrum goes on, the picture stands; the receiver keeps its
    // rate, a slower speed is asked of it.
    header.speedAction(WaterfallSpeed::off)->trigger();
    EXPECT_EQ(reported.back().speed, WaterfallSpeed::off);
    EXPECT_EQ(client.waterfallSpeed(), WaterfallSpeed::off);
    const QImage still = view.waterfallStrip()->image().value_or(QImage());
    const double last = view.spectrum()[0];
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000, 250)));
    EXPECT_GT(view.spectrum()[0], last);
    QTest::qWait(2 * WaterfallView::redrawIntervalMs);
    EXPECT_EQ(view.waterfallStrip()->image().value_or(QImage()), still);
    header.speedAction(WaterfallSpeed::slow)->trigger();
    EXPECT_EQ(client.waterfallSpeed(), WaterfallSpeed::slow);
    EXPECT_EQ(reported.size(), 6u);

    // A kept look comes back without being reported again.
    WaterfallView other(&session.client, Preferences::instance());
    other.setLook({.colourMap = ColourMap::heat, .autoRange = false, .floorDB = -130, .speed = WaterfallSpeed::medium});
    EXPECT_TRUE(other.header()->colourMapAction(ColourMap::heat)->isChecked());
    EXPECT_EQ(other.header()->floorStepper()->text(), QStringLiteral("Floor -130 dBm"));
    EXPECT_EQ(reported.size(), 6u);
    EXPECT_EQ(client.waterfallSpeed(), WaterfallSpeed::medium);
}

TEST_F(WaterfallViewTest, DraggingAPassbandEdgeSendsTheClampedPassbandAFewTimesASecond)
{
    QStringList tuneCommands;
    QObject::connect(&session.server, &RxSimServer::commandReceived, [&](const QString& channel, const QString& text) {
        if (channel == QStringLiteral("SND") && text.startsWith(QStringLiteral("SET mod=")))
            tuneCommands.append(text);
    });
    client.setMode(Mode::usb);
    client.tune(7050);
    // 100 Hz a point: the edges of 300..2700 Hz lie at x 503 and 527.
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000)));
    // Drawn: the yellow marker at the tuned frequency, the band beside it.
    view.grab();
    const QImage usb = view.waterfallStrip()->grab().toImage();
    const QColor marker = usb.pixelColor(500, 100);
    EXPECT_TRUE(marker.red() > 200 && marker.green() > 150 && marker.blue() < 100);
    EXPECT_GT(usb.pixelColor(515, 100).red(), usb.pixelColor(540, 100).red());
    SpectrumTrace* strip = view.spectrumStrip();
    const auto hover = [&](double x) {
        sendMouse(strip, QEvent::MouseMove, QPointF(x, 40), Qt::NoButton);
        return strip->cursor().shape();
    };
    EXPECT_EQ(hover(527), Qt::SizeHorCursor);
    EXPECT_EQ(hover(505), Qt::SizeHorCursor);
    EXPECT_EQ(hover(515), Qt::CrossCursor);

    // The first move goes out at once, the next waits its turn, the last
    // goes out on letting go.
    sendMouse(strip, QEvent::MouseButtonPress, QPointF(527, 40), Qt::LeftButton);
    sendMouse(strip, QEvent::MouseMove, QPointF(530, 40), Qt::LeftButton);
    EXPECT_EQ(client.passband(), (Passband{300, 3000}));
    sendMouse(strip, QEvent::MouseMove, QPointF(540, 40), Qt::LeftButton);
    EXPECT_EQ(view.shownPassband(), (Passband{300, 4000}));
    EXPECT_EQ(client.passband(), (Passband{300, 3000}));
    sendMouse(strip, QEvent::MouseButtonRelease, QPointF(547, 40), Qt::NoButton);
    EXPECT_EQ(client.passband(), (Passband{300, 4700}));
    EXPECT_DOUBLE_EQ(client.frequencyKHz(), 7050) << "a drag of an edge does not tune";

    // Beyond the mode's limit, and the low edge past the high one.
    drag(strip, QPointF(547, 40), {QPointF(700, 40)});
    EXPECT_EQ(client.passband(), (Passband{300, 6000}));
    drag(strip, QPointF(503, 40), {QPointF(600, 40), QPointF(800, 40)});
    EXPECT_EQ(client.passband(), (Passband{5950, 6000}));

    const QString tail = QStringLiteral(" freq=7050.000");
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return tuneCommands.endsWith(QStringLiteral("SET mod=usb low_cut=5950 high_cut=6000") + tail); }, 5000));
    EXPECT_TRUE(tuneCommands.contains(QStringLiteral("SET mod=usb low_cut=300 high_cut=3000") + tail));
    EXPECT_TRUE(tuneCommands.contains(QStringLiteral("SET mod=usb low_cut=300 high_cut=4700") + tail));
    EXPECT_FALSE(tuneCommands.contains(QStringLiteral("SET mod=usb low_cut=300 high_cut=4000") + tail));
}

TEST(PassbandDragTest, EdgesStayOnTheGridWithinTheLimitsAndApart)
{
    const std::tuple<Mode, Passband, PassbandEdge, double, Passband> cases[] = {
        {Mode::usb, {300, 2700}, PassbandEdge::high, 404, {300, 3100}},
        {Mode::usb, {300, 2700}, PassbandEdge::low, -296, {0, 2700}},
        {Mode::am, {-4900, 4900}, PassbandEdge::low, -5000, {-6000, 4900}},
        {Mode::cwn, {470, 530}, PassbandEdge::low, 100, {480, 530}},
        {Mode::cwn, {470, 530}, PassbandEdge::high, -1000, {470, 520}},
        {Mode::wfm, {-75000, 75000}, PassbandEdge::high, 10000, {-75000, 75000}},
        {Mode::lsb, {-2700, -300}, PassbandEdge::high, std::nan(""), {-2700, -300}},
        // A server's passband beyond the limits still gives one in order.
        {Mode::usb, {-9000, -8000}, PassbandEdge::low, 0, {-6000, -8000}},
    };
    for (const auto& [mode, start, edge, deltaHz, expected] : cases) {
        const Passband result = draggedPassband(mode, start, edge, deltaHz);
        EXPECT_EQ(result, expected) << rawValue(mode).toStdString() << " " << deltaHz << " -> " << result.low << ".."
                                    << result.high;
    }
}

TEST_F(WaterfallViewTest, TakesRowsWithAPlaceOnlyWhileShown)
{
    EXPECT_EQ(client.rows().subscriberCount(), 1u);
    view.hide();
    EXPECT_EQ(client.rows().subscriberCount(), 0u);
    client.rows().yield(flatRow(3'000'000, 50'000));
    deliver(view);
    EXPECT_EQ(view.startHz(), 0);
    view.show();
    ASSERT_TRUE(feed(client, view, flatRow(7'000'000, 100'000)));

    // Rows without a place are ignored.
    for (const double span : {0.0, -5.0, std::nan(""), HUGE_VAL})
        client.rows().yield(flatRow(7'000'000, span));
    client.rows().yield(flatRow(std::nan(""), 100'000));
    deliver(view);
    EXPECT_EQ(std::pair(view.startHz(), view.spanHz()), std::pair(7'000'000.0, 100'000.0));
    // A huge but finite span still draws.
    ASSERT_TRUE(feed(client, view, flatRow(-1e308, 1e308)));
    view.grab();
}

TEST(WaterfallViewPlaceholderTest, FollowsTheSessionAndDimsAPictureNoLongerLive)
{
    RxSimOptions refusing = quietOptions();
    refusing.refuseWaterfall = true;
    RxSimSession session{refusing};
    WaterfallView view(&session.client, Preferences::instance());
    view.resize(stripWidth, 420);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    WaterfallImageStrip& strip = *view.waterfallStrip();
    EXPECT_EQ(strip.placeholderText(), QStringLiteral("Not connected"));
    EXPECT_FALSE(view.header()->isEnabled());
    // A kept zoom shows with the span it gives, and the scale with it.
    session.client.restoreTuning(session.client.mode(), 8, 7200);
    EXPECT_EQ(view.header()->zoomLabel()->text(), QStringLiteral("Zoom 8"));
    EXPECT_EQ(view.header()->spanLabel()->text(), QStringLiteral("Span ") + formatFrequency(30'000'000 / 256.0));
    EXPECT_EQ(std::pair(view.displayedStartHz(), view.spanHz()),
        std::pair(7'200'000 - 30'000'000 / 512.0, 30'000'000 / 256.0));
    const quint16 port = session.server.listen();
    session.client.connect(QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_EQ(strip.placeholderText(), QStringLiteral("Waiting for waterfall\u2026"));
    // A picture, then the server refuses the waterfall: the picture stays,
    // dimmed under the reason, and the zoom controls are off.
    for (int row = 0; row < 300; ++row)
        ASSERT_TRUE(feed(session.client, view, flatRow(0, 30'000'000, static_cast<std::uint8_t>(120 + row % 90))));
    ASSERT_TRUE(QTest::qWaitFor([&] { return strip.image().has_value(); }, 1000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.client.waterfallError().has_value(); }, 10000));
    EXPECT_EQ(strip.placeholderText(), *session.client.waterfallError());
    EXPECT_TRUE(strip.image() && strip.isDimmed() && view.spectrumStrip()->isDimmed());
    EXPECT_FALSE(view.header()->isEnabled());
    saveScreenshot(view, QStringLiteral("waterfall-refused.png"));

    // The connection ends: still dimmed, and so while the next one connects,
    // with its own scale and span, until that one draws.
    session.client.disconnect();
    EXPECT_TRUE(strip.image() && strip.isDimmed());
    session.client.setWaterfallZoom(3);
    session.client.connect(QStringLiteral("127.0.0.1:%1").arg(port));
    EXPECT_TRUE(strip.image() && strip.isDimmed());
    EXPECT_EQ(std::tuple(view.spanHz(), view.header()->spanLabel()->text(), view.header()->zoomLabel()->text()),
        std::tuple(30'000'000.0, QStringLiteral("Span ") + formatFrequency(30'000'000), QStringLiteral("Zoom 0")));
    // A row still on its way from the last connection leaves it; the first
    // of the new one replaces it.
    EXPECT_FALSE(feed(session.client, view, flatRow(7'000'000, 100'000)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return session.client.state().isConnected(); }, 10000));
    ASSERT_TRUE(feed(session.client, view, flatRow(7'000'000, 100'000)));
    EXPECT_EQ(view.header()->spanLabel()->text(), QStringLiteral("Span ") + formatFrequency(100'000));
}

TEST(FrequencyScaleTest, StepsAndTicks)
{
    // Start, span; the step, the first tick and how many there are.
    const std::tuple<double, double, double, double, std::size_t> cases[] = {
        {1'000'000, 30'000'000, 5'000'000, 5'000'000, 6},
        {7'000'000, 100'000, 20'000, 7'000'000, 6},
        {7'012'345, 937'500, 200'000, 7'200'000, 4},
        {0, 10, 2, 0, 6},
    };
    for (const auto& [startHz, spanHz, stepHz, firstHz, count] : cases) {
        const FrequencyScale::Ticks ticks = FrequencyScale::ticks(startHz, spanHz);
        ASSERT_FALSE(ticks.frequenciesHz.empty()) << spanHz;
        EXPECT_EQ(std::tuple(ticks.stepHz, ticks.frequenciesHz.front(), ticks.frequenciesHz.size()),
            std::tuple(stepHz, firstHz, count)) << spanHz;
    }
    EXPECT_TRUE(FrequencyScale::ticks(0, 0).frequenciesHz.empty());
    EXPECT_TRUE(FrequencyScale::ticks(0, std::nan("")).frequenciesHz.empty());
    // Steps too small to move a huge start still end.
    EXPECT_LE(FrequencyScale::ticks(1e300, 1e-3).frequenciesHz.size(), 10u);
}

// A listener's bookmark beside the receiver's labels: each name whole,
// stacked under the markers or shortened, never one over another.
TEST(FrequencyScaleTest, MarkerNamesNeverOverlap)
{
    FrequencyScale scale;
    scale.resize(stripWidth, scale.height());
    scale.setFrequencies({6'975'000, 250'000, 6'975'000});
    scale.setMarks({{7'040'000, "BPSK31", Mode::usb, {}}, {7'030'000, "CW test", Mode::cw, {}},
                       {7'038'600, "WSPR", Mode::usb, {}}, {7'074'000, "FT8", Mode::usb, {}}},
        {{7'030'000, "CW beacon", Mode::cw, {}}});
    const std::vector<FrequencyScale::MarkPlacement> placements = scale.markPlacements();
    ASSERT_EQ(placements.size(), 5u);
    QStringList names;
    for (std::size_t i = 0; i < placements.size(); ++i) {
        const auto& a = placements[i];
        names.append(a.name);
        EXPECT_LE(a.nameRect.right(), stripWidth);
        for (std::size_t j = 0; j < placements.size(); ++j) {
            const auto& b = placements[j];
            if (i == j || a.name.isEmpty())
                continue;
            EXPECT_FALSE(!b.name.isEmpty() && a.nameRect.intersects(b.nameRect))
                << a.name.toStdString() << " over " << b.name.toStdString();
            // A name beside the markers runs into no other marker.
            EXPECT_FALSE(a.row == 0 && b.x > a.nameRect.left() && b.x < a.nameRect.right()) << a.name.toStdString();
        }
    }
    // Where markers crowd (WSPR) a name may go; the listener's own stays
    // whole, and so do those with room.
    for (const char* name : {"CW beacon", "BPSK31", "FT8"})
        EXPECT_TRUE(names.contains(QString::fromUtf8(name))) << names.join(u'|').toStdString();
    EXPECT_TRUE(std::any_of(names.cbegin(), names.cend(), [](const QString& n) { return n.startsWith("CW"); }))
        << names.join(u'|').toStdString();
    scale.grab();
}

TEST(SpectrumTraceTest, PointsSpanTheStrip)
{
    const QSizeF size(100, 90);
    EXPECT_TRUE(SpectrumTrace::tracePoints({}, -110, -40, size).isEmpty());
    EXPECT_TRUE(SpectrumTrace::tracePoints({-80}, -110, -40, size).isEmpty());
    // lo -120, hi -30: a range of 90 dB over 90 points. Above the top is
    // clamped; not a number lies on the bottom.
    EXPECT_EQ(SpectrumTrace::tracePoints({-120, -75, -30, 0, std::nan("")}, -110, -40, size),
        QPolygonF({{0, 90}, {25, 45}, {50, 0}, {75, 0}, {100, 90}}));
}

// The area under the trace is what the gradient-filled polygon drew before
// it: the same colours, each column's edge at most a pixel apart, and few
// columns differing at all.
TEST(SpectrumTraceTest, TheFilledAreaIsThePolygonFillItStandsFor)
{
    const QSize size(397, 90);
    std::vector<double> noise(1024);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = -100 + 30 * std::sin(static_cast<double>(i) * 0.37) * std::sin(static_cast<double>(i) * 0.011);
    noise[300] = std::nan("");
    noise[301] = 20;
    const std::vector<std::vector<double>> traces = {noise, {-120, -75, -30}, std::vector<double>(2048, -70)};
    for (const auto& values : traces) {
        const QPolygonF line = SpectrumTrace::tracePoints(values, -110, -40, QSizeF(size));
        QImage drawn(size, QImage::Format_RGB32);
        drawn.fill(Qt::black);
        {
            QPolygonF area = line;
            area << QPointF(size.width(), size.height()) << QPointF(0, size.height());
            QPainter painter(&drawn);
            painter.setPen(Qt::NoPen);
            painter.setBrush(SpectrumTrace::fillGradient(size.height()));
            painter.drawPolygon(area);
        }
        const QImage filled = SpectrumTrace::filledArea(line, size);
        ASSERT_EQ(filled.size(), size);
        int columnsDiffering = 0;
        int most = 0;
        for (int x = 0; x < size.width(); ++x) {
            int differing = 0;
            for (int y = 0; y < size.height(); ++y)
                differing += filled.pixel(x, y) != drawn.pixel(x, y) ? 1 : 0;
            columnsDiffering += differing > 0 ? 1 : 0;
            most = std::max(most, differing);
        }
        EXPECT_LE(most, 1) << values.size() << " values";
        EXPECT_LE(columnsDiffering, size.width() / 20) << values.size() << " values";
    }
}

} // namespace
