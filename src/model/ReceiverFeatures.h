#pragma once
// What a receiver offers, as the connection of its kind reports it. The
// session and the windows ask this value, never which kind of server it is.
// The defaults are what a window offers before any receiver has answered.

#include "model/Mode.h"

#include <QList>

struct ReceiverFeatures {
    // The modes it can be tuned to until the receiver names its own.
    QList<Mode> modes{
        Mode::am, Mode::amn, Mode::amw, Mode::sam, Mode::lsb, Mode::usb, Mode::cw, Mode::cwn, Mode::nbfm};
    // AGC and a manual RF gain.
    bool gainControls = true;
    // Band profiles to switch between; the tuning range is the selected
    // profile's band.
    bool bandProfiles = false;
    // The receiver slows its own waterfall when asked; otherwise the views
    // average its rows down to the chosen speed.
    bool waterfallSpeed = true;
    // S-meter levels are absolute (dBm); otherwise dB relative to an unknown
    // reference.
    bool calibratedSMeter = true;
    // Decoders that run on the receiver and send what they decode; which
    // ones, the receiver says once connected.
    bool decoders = false;

    friend bool operator==(const ReceiverFeatures&, const ReceiverFeatures&) = default;
};
