#pragma once
// What the frequency scale names besides its numbers: band bars (the shipped
// band plan or a receiver's own) and single frequencies with a name (a
// receiver's labels, the listener's bookmarks). Both come from untrusted
// servers too, so the readers here bound them: at most maxScaleLabels
// entries, names plain text of at most maxLabelNameLength characters, and
// entries with a frequency no receiver tunes to dropped.

#include "model/Mode.h"

#include <QJsonObject>
#include <QString>

#include <optional>
#include <vector>

inline constexpr qsizetype maxScaleLabels = 10'000;
inline constexpr qsizetype maxLabelNameLength = 64;
// The highest frequency a label may stand at: far above any receiver here.
inline constexpr double highestLabelHz = 100e9;

struct BandBar {
    double lowHz = 0;
    double highHz = 0;
    QString name;
    QString colour;     // "#rrggbb" or a colour name; the view checks it
    int region = 0;     // ITU region 1, 2 or 3; 0 for all
    QString service;    // what the band is for ("Broadcast", "Amateur"), plain text; may be empty
    friend bool operator==(const BandBar&, const BandBar&) = default;
};

struct FrequencyLabel {
    double hz = 0;
    QString name;
    std::optional<Mode> mode;
    // A decoder of the receiver's to run there, by the receiver's name for it.
    std::optional<QString> decoder;
    friend bool operator==(const FrequencyLabel&, const FrequencyLabel&) = default;
};

// Control characters become spaces, the ends are trimmed, the rest is cut to
// maxLabelNameLength characters (never inside a surrogate pair).
QString plainLabelName(const QString& text);
// Finite, not below 0 Hz, not above highestLabelHz.
bool isLabelFrequency(double hz);

// The "bands" of a band list in kHz ("min", "max", "name", "svc", "itu"),
// coloured and named by the "band_svc" entry with the same "key" (a "color"
// and a "name"), or by the "services" object of the shipped plan. Bars whose edges are not labelled
// frequencies, or whose low edge is not below the high one, are dropped.
std::vector<BandBar> readBandBars(const QJsonObject& document);
