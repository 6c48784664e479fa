#include "DisplayTestSupport.h"
#include "display/SMeterBar.h"
#include "display/SMeterScale.h"
#include "display/SMeterView.h"

#include <QAccessible>
#include <QImage>
#include <QLabel>

#include <cmath>
#include <limits>

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
        {SMeterReading{-30, false}, "-30 dB", "relative", 80.0 / 90 * 19, "-30 dB, relative"},
        {SMeterReading{-12.5, false}, "-13 dB", "relative", 97.5 / 90 * 19, "-12 dB, relative"},
        {SMeterReading{-120, false}, "-120 dB", "relative", 0, "-120 dB, relative"},
        {SMeterReading{nan, true}, "S0", "-1,000,000.0 dBm", 0, "S0, -1000000 dBm"},
        {SMeterReading{1e308, true}, "S9+1000073", "1,000,000.0 dBm", 1000127.0 / 6, "S9+1000073, 1000000 dBm"},
        {SMeterReading{-inf, false}, "-1000000 dB", "relative", 0, "-1000000 dB, relative"},
    };
    const DefaultLocale locale(pointLocale);
    for (const auto& [reading, mainText, detailText, units, accessibleValue] : cases) {
        SCOPED_TRACE(reading ? std::to_string(reading->dBm) : "none");
        EXPECT_EQ(sMeterMainText(reading), QString::fromUtf8(mainText));
        EXPECT_EQ(sMeterDetailText(reading), QString::fromUtf8(detailText));
        EXPECT_DOUBLE_EQ(sMeterUnits(reading), units);
        EXPECT_EQ(sMeterAccessibleValue(reading), QString::fromUtf8(accessibleValue));
    }
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
    QLabel* badge()
    {
        const auto labels = view.findChildren<QLabel*>();
        const auto found = std::find_if(labels.begin(), labels.end(), [](QLabel* l) { return l->text() == "OVL"; });
        return found == labels.end() ? nullptr : *found;
    }

    DefaultLocale locale{pointLocale};
    SMeterView view{19};
};

TEST_F(SMeterViewTest, BarIsGreenUpToS9AndRedBeyond)
{
    const struct {
        std::optional<SMeterReading> reading;
        const char* label;
        std::vector<std::pair<double, Hue>> hues;
    } cases[] = {
        {std::nullopt, "S\u2013", {{0.02, Hue::other}, {0.5, Hue::other}}},
        {SMeterReading{-73.0, true}, "S9", {{0.05, Hue::green}, {0.45, Hue::green}, {0.50, Hue::other}}},
        {SMeterReading{-53, true}, "S9+20",
            {{0.45, Hue::green}, {0.50, Hue::red}, {0.62, Hue::red}, {0.68, Hue::other}}},
    };
    for (const auto& c : cases) {
        show(c.reading);
        EXPECT_EQ(labelText(0), QString::fromUtf8(c.label));
        const QImage bar = barImage();
        for (const auto& [fraction, hue] : c.hues)
            EXPECT_EQ(hueAt(bar, fraction), hue) << c.label << " at " << fraction;
        EXPECT_TRUE(hasRedPixels(scaleImage()));
        EXPECT_EQ(QAccessible::queryAccessibleInterface(&view)->text(QAccessible::Value), sMeterAccessibleValue(c.reading));
    }
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&view);
    EXPECT_EQ(element->text(QAccessible::Name), "Signal strength");
    EXPECT_EQ(element->childCount(), 0);
}

TEST_F(SMeterViewTest, UncalibratedHasNoMarksButTheSameHeight)
{
    show(SMeterReading{-73.0, true});
    const int calibratedHeight = view.height();
    show(SMeterReading{-30, false});
    EXPECT_EQ(labelText(0), "-30 dB");
    EXPECT_EQ(labelText(1), "relative");
    EXPECT_EQ(view.height(), calibratedHeight);
    EXPECT_EQ(view.sizeHint().height(), calibratedHeight);
    EXPECT_FALSE(hasRedPixels(scaleImage()));
    const QImage bar = barImage();
    EXPECT_EQ(hueAt(bar, 0.86), Hue::red);
    EXPECT_EQ(hueAt(bar, 0.92), Hue::other);
}

TEST_F(SMeterViewTest, OverloadBadgeAppearsOnlyWhenOverloaded)
{
    EXPECT_TRUE(badge()->isHidden());
    show(SMeterReading{-40, true}, true);
    ASSERT_TRUE(badge() && badge()->isVisible());
    EXPECT_EQ(badge()->accessibleName(), "ADC overload");
    show(SMeterReading{-40, true}, false);
    EXPECT_FALSE(badge()->isVisible());
}

TEST_F(SMeterViewTest, HostileLevelsDrawWithoutHarm)
{
    for (const double level : {std::numeric_limits<double>::quiet_NaN(), -1e308, 1e308}) {
        show(SMeterReading{level, true});
        EXPECT_FALSE(barImage().isNull());
    }
    EXPECT_EQ(hueAt(barImage(), 0.98), Hue::red);
}

} // namespace
