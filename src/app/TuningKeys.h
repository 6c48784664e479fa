#pragma once
// Keyboard tuning of a main window: six keys, each a fixed step in kHz, and
// the frequency a step leads to. Pure, so the rule can be checked on its own.

#include <QList>
#include <Qt>

#include <optional>

struct TuningKeyStep {
    Qt::Key key;
    double stepKHz;
};

// Left and Right arrows, then "a", "s", "d", "f".
const QList<TuningKeyStep>& tuningKeySteps();

// The step of a key press, or nothing when the key is not a tuning key or
// Control, Alt or Meta is held (those presses belong to menus and the rest of
// the window). Shift does not matter.
std::optional<double> tuningKeyStep(int key, Qt::KeyboardModifiers modifiers);

// round((step + current) * 100) / 100, halves away from zero.
double steppedFrequencyKHz(double currentKHz, double stepKHz);
