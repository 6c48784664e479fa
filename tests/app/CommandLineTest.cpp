#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

struct Opened {
    QString server;
    std::optional<double> kHz = {};
    std::optional<Mode> mode = {};
    std::optional<int> zoom = {};
};

struct Case {
    const char* name;
    QStringList arguments;
    QList<Opened> opened;
    int warnings = 0;
    bool exits = false;
};

const QString longAddress = QStringLiteral("http://k.example/?f=7200lsb&x=") + QString(3000, u'x');
const QString longDigits = QStringLiteral("http://k.example/?f=") + QString(400, u'9') + QStringLiteral("usb");

TEST(CommandLineTest, AddressesOptionsAndWebPageTuning)
{
    using enum Mode;
    const Case cases[] = {
        // Good.
        {"none", {}, {}},
        {"plain address", {"host:8073"}, {{"host:8073"}}},
        {"KiwiSDR page", {"http://kiwi.example:8073/?f=7200.00lsbz3"}, {{"http://kiwi.example:8073/", 7200, lsb, 3}}},
        {"KiwiSDR, no decimals, capitals", {"kiwi.example/?f=14070USB"}, {{"kiwi.example/", 14070, usb}}},
        {"KiwiSDR, zoom item", {"kiwi.example/?f=9500am&zoom=2"}, {{"kiwi.example/", 9500, am, 2}}},
        {"KiwiSDR, frequency alone", {"kiwi.example/?f=7030"}, {{"kiwi.example/", 7030}}},
        {"OpenWebRX page", {"http://owrx.example:8073/#freq=7200000,mod=lsb"},
            {{"http://owrx.example:8073/", 7200, lsb}}},
        {"OpenWebRX names", {"https://owrx.example/#freq=145500000,mod=nfm"}, {{"https://owrx.example/", 145500, nbfm}}},
        {"options tune every window", {"a.example", "b.example", "--frequency", "9500", "--mode", "AM"},
            {{"a.example", 9500, am}, {"b.example", 9500, am}}},
        {"option wins over the page", {"-f", "7100", "http://k.example/?f=7200.00lsbz3"},
            {{"http://k.example/", 7100, lsb, 3}}},
        {"help", {"--help"}, {}, 0, true},
        {"version", {"--version", "k.example"}, {}, 0, true},
        // Partly usable.
        {"unknown page items", {"k.example/?f=7200.00lsbz3&ext=fax&sp"}, {{"k.example/", 7200, lsb, 3}}, 2},
        {"unknown mode", {"k.example/?f=7200xyz"}, {{"k.example/", 7200}}, 1},
        {"zoom out of range", {"k.example/?f=7200lsbz99"}, {{"k.example/", 7200, lsb}}, 1},
        {"passband", {"k.example/?f=7200.00lsb/300,2700"}, {{"k.example/", 7200, lsb}}, 1},
        {"OpenWebRX extras", {"o.example/#freq=abc,mod=usb,secondary_mod=ft8"}, {{"o.example/", std::nullopt, usb}}, 2},
        {"bad options", {"--bogus", "--frequency", "lots", "--mode", "fm", "h.example"}, {{"h.example"}}, 3},
        {"missing option value", {"h.example", "--mode"}, {{"h.example"}}, 1},
        // Hostile.
        {"negative frequency", {"k.example/?f=-7200lsb"}, {{"k.example/"}}, 1},
        {"frequency past 10 GHz", {"k.example/?f=10000001"}, {{"k.example/"}}, 1},
        {"points alone", {"k.example/?f=..usb"}, {{"k.example/", std::nullopt, usb}}, 1},
        {"encoded control characters", {"k.example/?f=7200%00%0Alsb"}, {{"k.example/", 7200}}, 1},
        {"no server", {"?f=7200lsb", "#freq=1"}, {}, 2},
        {"both forms: the fragment is read last", {"k.example/?f=7200lsb#freq=9999000,mod=am"},
            {{"k.example/", 9999, am}}},
        // Over-long.
        {"address past the length bound", {longAddress}, {{longAddress}}, 1},
        {"four hundred digits", {longDigits}, {{"http://k.example/", std::nullopt, usb}}, 1},
        {"more addresses than windows", QStringList(25, QStringLiteral("r.example")), {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const LaunchRequest request = readCommandLine(QStringList{"farlisten"} + c.arguments);
        EXPECT_EQ(request.warnings.size(), c.warnings) << request.warnings.join(u'\n').toStdString();
        EXPECT_EQ(request.exitText.has_value(), c.exits);
        if (c.arguments.size() == 25) {
            EXPECT_EQ(request.addresses.size(), 20);
            continue;
        }
        ASSERT_EQ(request.addresses.size(), c.opened.size());
        for (qsizetype i = 0; i < c.opened.size(); ++i) {
            const ReceiverAddress& got = request.addresses.at(i);
            const Opened& want = c.opened.at(i);
            EXPECT_EQ(std::tie(got.server, got.frequencyKHz, got.mode, got.zoom),
                std::tie(want.server, want.kHz, want.mode, want.zoom));
        }
    }
}

TEST(CommandLineTest, OptionsWithoutAddressTuneTheOneWindow)
{
    const LaunchRequest request = readCommandLine({"farlisten", "--frequency", "6070.5", "-m", "sam"});
    EXPECT_EQ(std::tuple(request.addresses.size(), request.frequencyKHz, request.mode),
        std::tuple(0, 6070.5, Mode::sam));
}

} // namespace
