#pragma once
// The words and small decisions of the tuning panel's controls, apart from
// the widgets so that they can be checked on their own.

#include "model/Mode.h"
#include "model/ReceiverProfile.h"

#include <QList>

#include <QString>

#include <optional>

// "-5", "-0.1", "+0.1", "+1" in the user's locale.
QString stepTitle(double stepKHz);
// "Tune down 0.1 kilohertz", "Tune up 5 kilohertz".
QString stepAccessibleName(double stepKHz);

// The passband's edges relative to the carrier, "150 – 2750 Hz", in the
// user's locale.
QString passbandEdgesText(const Passband& passband);
// A tuning step: "50 Hz", "5 kHz".
QString tuningStepText(int hz);

// "USB", "NBFM".
QString modeTitle(Mode mode);
// "Mode USB".
QString modeAccessibleName(Mode mode);

// What the bookmark button shows for the tuned frequency and mode.
struct BookmarkButtonLook {
    QString label;
    QString iconName; // freedesktop theme name
    QString help;
    bool enabled = true;
};
BookmarkButtonLook bookmarkButtonLook(bool isBookmarked);

// What the mute button shows.
struct MuteButtonLook {
    QString label;
    QString iconName;
};
MuteButtonLook muteButtonLook(bool isMuted);

// The manual gain a slider position asks for: truncated toward zero, within
// 0..120.
int manualGainForSliderValue(double value);

// Which entry of the "Band" menu shows as chosen: the current profile's
// index, or -1 (an empty selection) when there is none or it is not listed.
int currentProfileIndex(const QList<ReceiverProfile>& profiles, const std::optional<QString>& currentID);
