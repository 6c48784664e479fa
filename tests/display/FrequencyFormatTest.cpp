#include "bookmarks/Bookmarks.h"
#include "display/FrequencyFormat.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace {

// Makes one locale the default for a test and puts the previous one back.
class DefaultLocale {
public:
    explicit DefaultLocale(const QLocale& locale) { QLocale::setDefault(locale); }
    ~DefaultLocale() { QLocale::setDefault(previous); }
    DefaultLocale(const DefaultLocale&) = delete;
    DefaultLocale& operator=(const DefaultLocale&) = delete;

private:
    QLocale previous;
};

struct FormatCase {
    double hz;
    const char* point;
    const char* comma;
};

const FormatCase formatCases[] = {
    {7200000.0, "7.2 MHz", "7,2 MHz"},
    {30000000.0, "30 MHz", "30 MHz"},
    {7012345.0, "7.012 MHz", "7,012 MHz"},
    {7012600.0, "7.013 MHz", "7,013 MHz"},
    {1000000.0, "1 MHz", "1 MHz"},
    {999990.0, "999.99 kHz", "999,99 kHz"},
    {500000.0, "500 kHz", "500 kHz"},
    {14074500.0, "14.075 MHz", "14,075 MHz"},
    {10000.0, "10 kHz", "10 kHz"},
    {12340.0, "12.34 kHz", "12,34 kHz"},
    {0.0, "0 kHz", "0 kHz"},
};

TEST(FormatFrequency, PointLocale)
{
    const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    for (const FormatCase& c : formatCases)
        EXPECT_EQ(formatFrequency(c.hz), QString::fromUtf8(c.point)) << c.hz;
}

TEST(FormatFrequency, CommaLocale)
{
    const DefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
    for (const FormatCase& c : formatCases)
        EXPECT_EQ(formatFrequency(c.hz), QString::fromUtf8(c.comma)) << c.hz;
}

TEST(FrequencyBookmarkTitle, TwoFractionDigitsWithoutGrouping)
{
    const FrequencyBookmark plain{QUuid(), 7200.0, KiwiMode::lsb, std::nullopt};
    const FrequencyBookmark large{QUuid(), 12345.678, KiwiMode::nbfm, std::nullopt};
    {
        const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
        EXPECT_EQ(plain.title(), QStringLiteral("7200.00 kHz LSB"));
        EXPECT_EQ(large.title(), QStringLiteral("12345.68 kHz NBFM"));
    }
    {
        const DefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(plain.title(), QStringLiteral("7200,00 kHz LSB"));
        EXPECT_EQ(large.title(), QStringLiteral("12345,68 kHz NBFM"));
    }
}

TEST(FrequencyBookmarkTitle, LedByTheTrimmedNameUnlessBlank)
{
    const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    FrequencyBookmark bookmark{QUuid(), 9420.0, KiwiMode::am, QStringLiteral(" \tRadio Two\t ")};
    EXPECT_EQ(bookmark.title(), QString::fromUtf8("Radio Two \u2014 9420.00 kHz AM"));
    for (const QString& blank : {QStringLiteral("   "), QStringLiteral("\t"), QString()}) {
        bookmark.name = blank;
        EXPECT_EQ(bookmark.title(), QStringLiteral("9420.00 kHz AM")) << blank.size();
    }
}

} // namespace
