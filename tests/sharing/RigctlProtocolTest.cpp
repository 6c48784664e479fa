// The rigctl protocol on its own: what a line holds and how each command is
// answered, as hamlib's clients and other programs send them.
#include "sharing/RigctlModes.h"
#include "sharing/RigctlProtocol.h"

#include <gtest/gtest.h>

namespace {

RigView usbView()
{
    RigView view;
    view.frequencyHz = 14'074'000;
    view.mode = Mode::usb;
    view.passband = defaultPassband(Mode::usb);
    view.modes = {Mode::am, Mode::amw, Mode::lsb, Mode::usb, Mode::cw, Mode::nbfm};
    view.lowestHz = 10'000;
    view.highestHz = 30'000'000;
    return view;
}

// The replies to a whole line, and the sets it asked for, each applied
// before the next command reads.
struct Exchange {
    QByteArray replies;
    std::vector<RigAction> actions;
    bool closed = false;
};

Exchange exchange(const QByteArray& line, RigView view = usbView())
{
    Exchange result;
    for (const RigctlCommand& command : parseRigctlLine(line)) {
        const RigctlAnswer answer = answerRigctl(command, view);
        result.replies += answer.reply;
        result.closed = result.closed || answer.closes;
        if (!answer.action)
            continue;
        result.actions.push_back(*answer.action);
        if (const auto* tune = std::get_if<RigTune>(&*answer.action)) {
            view.frequencyHz = tune->frequencyHz;
        } else {
            const auto& set = std::get<RigSetMode>(*answer.action);
            view.mode = set.mode;
            view.passband = set.passband.value_or(defaultPassband(set.mode));
            view.packet = set.packet;
        }
    }
    return result;
}

TEST(RigctlProtocol, GetsAndSetsInBothFormsSeveralToALine)
{
    EXPECT_EQ(exchange("f").replies, "14074000\n");
    EXPECT_EQ(exchange("\\get_mode").replies, "USB\n2400\n");
    // hamlib 4.5 sends decimals; the read-back follows the set on the same line.
    const Exchange tuned = exchange("F 7074000.000000 f \\set_freq 7.0745e6 \\get_freq");
    EXPECT_EQ(tuned.replies, "RPRT 0\n7074000\nRPRT 0\n7074500\n");
    ASSERT_EQ(tuned.actions.size(), 2u);
    EXPECT_EQ(std::get<RigTune>(tuned.actions[0]).frequencyHz, 7'074'000);
    EXPECT_EQ(exchange("v s t \\chk_vfo \\get_powerstat \\get_lock_mode").replies, "VFOA\n0\nVFOA\n0\n0\n1\n0\n");
    EXPECT_TRUE(exchange("q").closed);
    EXPECT_TRUE(exchange("\\quit").replies.isEmpty());
    // Blanks of any kind between words, a carriage return at the end.
    EXPECT_EQ(exchange("  f\t m\r").replies, "14074000\nUSB\n2400\n");
}

TEST(RigctlProtocol, ModesMapToTheReceiversAndPassbandsStayWithinTheWindowsLimits)
{
    // A data mode is its sideband, told back as set.
    const Exchange packet = exchange("M PKTUSB 0 m");
    EXPECT_EQ(packet.replies, "RPRT 0\nPKTUSB\n2400\n");
    EXPECT_EQ(std::get<RigSetMode>(packet.actions.at(0)).mode, Mode::usb);
    EXPECT_EQ(exchange("M PKTLSB 0 m").replies, "RPRT 0\nPKTLSB\n2400\n");
    EXPECT_EQ(exchange("M CWR 500 m").replies, "RPRT 0\nCW\n500\n");
    EXPECT_EQ(exchange("M fm 0 m").replies, "RPRT 0\nFM\n12000\n");

    // -1 keeps the passband, 0 gives the mode's own, a width its edges.
    RigView wide = usbView();
    wide.mode = Mode::amw;
    wide.passband = {-4000, 4000};
    EXPECT_EQ(exchange("M AM -1 m", wide).replies, "RPRT 0\nAM\n8000\n");
    EXPECT_EQ(std::get<RigSetMode>(exchange("M AM -1", wide).actions.at(0)).mode, Mode::amw);
    EXPECT_EQ(exchange("M AM 0 m", wide).replies, "RPRT 0\nAM\n12000\n");
    EXPECT_EQ(passbandOfWidth(Mode::usb, 3000), (Passband{300, 3300}));
    EXPECT_EQ(passbandOfWidth(Mode::lsb, 1e9), (Passband{-6000, -300}));
    EXPECT_EQ(passbandOfWidth(Mode::cw, 1), (Passband{475, 525}));
    EXPECT_EQ(passbandOfWidth(Mode::am, 99999), (Passband{-6000, 6000}));

    // A mode this receiver does not have, or no mode at all.
    EXPECT_EQ(exchange("M WFM 0").replies, "RPRT -11\n");
    EXPECT_EQ(exchange("M SSB 0").replies, "RPRT -1\n");
    EXPECT_EQ(exchange("M USB -7").replies, "RPRT -1\n");
    EXPECT_TRUE(exchange("M WFM 0").actions.empty());
}

TEST(RigctlProtocol, ARefusalForWhatAReceiverCannotAndForWhatNobodyCouldAsk)
{
    EXPECT_EQ(exchange("T 1 T 0 T x").replies, "RPRT -11\nRPRT 0\nRPRT -1\n");
    EXPECT_EQ(exchange("V VFOB V VFOA V currVFO").replies, "RPRT -11\nRPRT 0\nRPRT 0\n");
    EXPECT_EQ(exchange("S 1 VFOB S 0 VFOA").replies, "RPRT -11\nRPRT 0\n");
    for (const char* line : {"F -1", "F nan", "F inf", "F 1e300", "F 7,074"})
        EXPECT_EQ(exchange(line).replies, "RPRT -1\n") << line;
    // An unknown command ends the line; an argument the line lacks is refused.
    EXPECT_EQ(exchange("f \\set_level AF 0.5 f").replies, "14074000\nRPRT -4\n");
    EXPECT_EQ(exchange("X").replies, "RPRT -4\n");
    EXPECT_EQ(exchange("f M USB").replies, "14074000\nRPRT -1\n");
    EXPECT_TRUE(exchange("").replies.isEmpty());
}

TEST(RigctlProtocol, StateDumpListsTheRangeAndModesAndEndsAsHamlibWaitsFor)
{
    const QByteArray dump = exchange("\\dump_state").replies;
    const QList<QByteArray> lines = dump.split('\n');
    ASSERT_GT(lines.size(), 20);
    EXPECT_EQ(lines.at(0), "1");
    EXPECT_EQ(lines.at(1), "2");
    // 10 kHz to 30 MHz in AM, CW, USB, LSB, FM and their kin, on VFO A.
    EXPECT_EQ(lines.at(3), "10000.000000 30000000.000000 0x1caf -1 -1 0x1 0x0");
    EXPECT_TRUE(dump.contains("\nhas_set_vfo=0\n"));
    EXPECT_TRUE(dump.endsWith("\ndone\n"));
}

} // namespace
