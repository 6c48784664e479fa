#include "DisplayTestSupport.h"
#include "bookmarks/Bookmarks.h"
#include "display/FrequencyFormat.h"

#include <tuple>

namespace {

TEST(FormatFrequency, PointAndCommaLocale)
{
    const std::tuple<double, const char*, const char*> cases[] = {
        {7200000.0, "7.2 MHz", "7,2 MHz"}, {30000000.0, "30 MHz", "30 MHz"}, {7012600.0, "7.013 MHz", "7,013 MHz"},
        {1000000.0, "1 MHz", "1 MHz"}, {999990.0, "999.99 kHz", "999,99 kHz"}, {0.0, "0 kHz", "0 kHz"},
    };
    for (const auto& [hz, point, comma] : cases) {
        {
            const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
            EXPECT_EQ(formatFrequency(hz), QString::fromUtf8(point)) << hz;
        }
        const DefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(formatFrequency(hz), QString::fromUtf8(comma)) << hz;
    }
}

TEST(FrequencyBookmarkTitle, LocaleDigitsAndTrimmedName)
{
    FrequencyBookmark bookmark{QUuid(), 12345.678, Mode::nbfm, std::nullopt};
    {
        const DefaultLocale locale(QLocale(QLocale::German, QLocale::Germany));
        EXPECT_EQ(bookmark.title(), QStringLiteral("12345,68 kHz NBFM"));
    }
    const DefaultLocale locale(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(bookmark.title(), QStringLiteral("12345.68 kHz NBFM"));
    bookmark = {QUuid(), 9420.0, Mode::am, QStringLiteral(" \tRadio Two\t ")};
    EXPECT_EQ(bookmark.title(), QString::fromUtf8("Radio Two \u2014 9420.00 kHz AM"));
    for (const QString& blank : {QStringLiteral("   "), QString()}) {
        bookmark.name = blank;
        EXPECT_EQ(bookmark.title(), QStringLiteral("9420.00 kHz AM")) << blank.size();
    }
}

} // namespace
