#pragma once
// Between the program's modes and hamlib's: the names rigctl sends and
// reads, the mode bits \dump_state lists, and passbands given as a width.

#include "model/Mode.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <cstdint>
#include <optional>

// hamlib's name of what is heard: "USB", or "PKTUSB" for its data flavour.
QByteArray rigModeName(Mode mode, bool packet);

struct RigModeChoice {
    Mode mode;
    bool packet = false;
};
// USB, LSB, CW, CWR, AM, SAM, AMS, FM, WFM, PKTUSB (as USB), PKTLSB (as
// LSB), PKTFM (as FM), in any case. A name of the family heard now keeps it
// (AM while wide AM is heard keeps wide AM). None for another name.
std::optional<RigModeChoice> rigModeFromName(QByteArrayView name, Mode current);

// hamlib's mode bits of the names these modes are told and set by.
std::uint64_t rigModeBits(const QList<Mode>& modes);

// A passband `widthHz` wide for the mode, within the limits the window keeps:
// single sideband keeps the edge nearest the carrier, the others their centre.
Passband passbandOfWidth(Mode mode, double widthHz);
