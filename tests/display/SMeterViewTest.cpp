#include "DisplayTestSupport.h"
#include "common/LayoutRequests.h"
#include "display/SMeterBar.h"
#include "display/SMeterScale.h"
#include "display/SMeterView.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>

#include <cmath>
#include <limits>
#include <tuple>
#include <utility>

namespace {

const QLocale pointLocale(QLocale::English, QLocale::UnitedStates);

TEST(SMeterScaleTest, TextsAndUnitsOfReadings)
{
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const std::tuple<std::optional<SMeterReading>, const char*, const char*, double, const char*> cases[] = {
        {std::nullopt, "S\u2013", "\u2014 dBm", 0, "No signal"},
        {SMeterReading{-73.0, true}, "S9", "-73.0 dBm", 9, "S9, -73 dBm"},
        {SMeterReading{-60.4, true}, "S9+13", "-60.4 dBm", 66.6 / 6, "S9+13, -60 dBm"},
        {SMeterReading{-140, true}, "S0", "-140.0 dBm", 0, "S0, -140 dBm"},
        {SMeterReading{-30, false}, "-30 dB", "relative", 90.0 / 100 * 19, "-30 dB, relative"},
        {SMeterReading{-12.5, false}, "-13 dB", "relative", 107.5 / 100 * 19, "-12 dB, relative"},
        {SMeterReading{-130, false}, "-130 dB", "relative", 0, "-130 dB, relative"},
        {SMeterReading{nan, true}, "S0", "-1,000,000.0 dBm", 0, "S0, -1000000 dBm"},
        {SMeterReading{1e308, true}, "S9+1000073", "1,000,000.0 dBm", 1000127.0 / 6, "S9+1000073, 1000000 dBm"},
        {SMeterReading{-inf, false}, "-1000000 dB", "relative", 0, "-1000000 dB, relative"},
    };
    const DefaultLocale locale(pointLocale);
    for (const auto& [reading, mainText, detailText, units, accessibleValue] : cases) {
        SCOPED_TRACE(reading ? std::to_string(reading->dBm) : "none");
        EXPECT_EQ(std::tuple(sMeterMainText(reading), sMeterDetailText(reading), sMeterAccessibleValue(reading)),
            std::tuple(QString::fromUtf8(mainText), QString::fromUtf8(detailText), QString::fromUtf8(accessibleValue)));
        EXPECT_DOUBLE_EQ(sMeterUnits(reading), units);
    }
    // A relative meter without a reading says so in its own units.
    EXPECT_EQ(std::pair(sMeterMainText(std::nullopt, false), sMeterDetailText(std::nullopt, false)),
        std::pair(QStringLiteral("\u2013 dB"), QStringLiteral("relative")));
    const DefaultLocale comma(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_EQ(sMeterDetailText(SMeterReading{-73.0, true}), "-73,0 dBm");
}

enum class Hue { green, red, other };

Hue hueAt(const QImage& image, double fraction)
{
    const int x = std::clamp(static_cast<int>(fraction * image.width()), 0, image.width() - 1);
    const QColor c = image.pixelColor(x, image.height() / 2);
    if (c.green() > 150 && c.red() < 120)
        return Hue::green;
    if (c.red() > 200 && c.green() < 120)
        return Hue::red;
    return Hue::other;
}

bool hasRedPixels(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (const QColor c = image.pixelColor(x, y); c.red() > 200 && c.green() < 120 && c.alpha() > 100)
                return true;
    return false;
}

class SMeterViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.setFixedWidth(380);
        view.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    }

    // Shows the reading and waits out the bar's animation.
    void show(std::optional<SMeterReading> reading, bool overloaded = false)
    {
        view.setReading(reading);
        view.setOverloaded(overloaded);
        QTest::qWait(250);
    }

    QImage barImage() { return view.findChild<SMeterBar*>()->grab().toImage(); }
    QImage scaleImage() { return view.findChild<SMeterScaleMarks*>()->grab().toImage(); }
    QString labelText(int index) { return view.findChildren<QLabel*>().at(index)->text(); }
    QLabel* badge() { return view.findChildren<QLabel*>().at(2); }

    DefaultLocale locale{pointLocale};
    SMeterView view{19};
};

// A new reading changes the texts, not the window's layout; only a text that
// needs more room than any before grows its label.
TEST_F(SMeterViewTest, ReadingsChangeTheTextsWithoutLayingOutTheWindowAgain)
{
    show(SMeterReading{-73.0, true});
    const LayoutRequests layouts(view);
    for (const double dBm : {-74.2, -80.1, -99.9, -79.0})
        show(SMeterReading{dBm, true});
    EXPECT_EQ(std::pair(labelText(0), labelText(1)), std::pair(QStringLiteral("S8"), QStringLiteral("-79.0 dBm")));
    EXPECT_EQ(layouts.count, 0);

    show(SMeterReading{1e308, true});
    EXPECT_GT(layouts.count, 0);
    for (QLabel* label : {view.findChildren<QLabel*>().at(0), view.findChildren<QLabel*>().at(1)})
        EXPECT_GE(label->width(), label->sizeHint().width()) << label->text().toStdString();
}

// Green up to S9, red beyond; a relative meter (an OpenWebRX server) is red
// only near its top, so bare noise and a strong station read green; levels
// that are no use still draw, and the height never changes.
TEST_F(SMeterViewTest, BarIsGreenUpToWhereTheMeterWarnsAndRedBeyond)
{
    // A reading, and the hue at fractions of the bar.
    const std::pair<std::optional<SMeterReading>, std::vector<std::pair<double, Hue>>> cases[] = {
        {std::nullopt, {{0.02, Hue::other}, {0.5, Hue::other}}},
        {SMeterReading{-73.0, true}, {{0.05, Hue::green}, {0.45, Hue::green}, {0.50, Hue::other}}},
        {SMeterReading{-53, true}, {{0.45, Hue::green}, {0.50, Hue::red}, {0.62, Hue::red}, {0.68, Hue::other}}},
        {SMeterReading{-54, false}, {{0.5, Hue::green}, {0.62, Hue::green}, {0.7, Hue::other}}},
        {SMeterReading{-30, false}, {{0.5, Hue::green}, {0.86, Hue::green}, {0.92, Hue::other}}},
        {SMeterReading{-16, false}, {{0.86, Hue::green}, {0.95, Hue::red}}},
        {SMeterReading{std::numeric_limits<double>::quiet_NaN(), true}, {{0.02, Hue::other}}},
        {SMeterReading{-1e308, true}, {{0.02, Hue::other}}},
        {SMeterReading{1e308, true}, {{0.98, Hue::red}}},
    };
    const int height = view.height();
    for (const auto& [reading, hues] : cases) {
        SCOPED_TRACE(sMeterMainText(reading).toStdString());
        show(reading);
        EXPECT_EQ(labelText(0), sMeterMainText(reading));
        EXPECT_EQ(labelText(1), sMeterDetailText(reading));
        const QImage bar = barImage();
        for (const auto& [fraction, hue] : hues)
            EXPECT_EQ(hueAt(bar, fraction), hue) << fraction;
        // The marks of the meter's kind, the warning ones red.
        EXPECT_TRUE(hasRedPixels(scaleImage()));
        EXPECT_EQ(view.height(), height);
        EXPECT_EQ(view.sizeHint().height(), height);
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Value), sMeterAccessibleValue(reading));
    }
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(element->text(QAccessible::Name), "Signal strength");
    EXPECT_EQ(element->childCount(), 0);
}

// Before an OpenWebRX server's first level the meter already speaks its units.
TEST_F(SMeterViewTest, ARelativeMeterLooksSoWithoutAReading)
{
    view.setCalibrated(false);
    show(std::nullopt);
    EXPECT_EQ(std::pair(labelText(0), labelText(1)), std::pair(QStringLiteral("\u2013 dB"), QStringLiteral("relative")));
    show(SMeterReading{-54, false});
    view.resize(380, view.height());
    saveScreenshot(view, QStringLiteral("s-meter-relative.png"));
}

TEST_F(SMeterViewTest, OverloadBadgeAppearsOnlyWhenOverloaded)
{
    EXPECT_TRUE(badge()->isHidden());
    show(SMeterReading{-40, true}, true);
    EXPECT_TRUE(badge()->isVisible());
    EXPECT_EQ(badge()->text(), "OVL");
    EXPECT_EQ(badge()->accessibleName(), "ADC overload");
    show(SMeterReading{-40, true}, false);
    EXPECT_FALSE(badge()->isVisible());
}

} // namespace
