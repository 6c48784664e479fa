#pragma once

#include <QString>

// A frequency in Hz for people: from 1 MHz up in MHz with up to three fraction
// digits, below that in kHz with up to two, in the user's locale.
QString formatFrequency(double hz);
