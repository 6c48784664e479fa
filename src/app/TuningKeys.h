#pragma once
// Keyboard tuning of a main window: six keys, each a step in kHz, and the
// frequency a step leads to. The arrows move by the mode's tuning step, the
// letters by fixed ones. Pure, so the rule can be checked on its own.

#include <QList>
#include <Qt>

#include <optional>

struct TuningKeyStep {
    Qt::Key key;
    // Up (1) or down (-1).
    int direction;
    // None: the mode's tuning step.
    std::optional<double> stepKHz;
};

// Left and Right arrows, then "a", "s", "d", "f".
const QList<TuningKeyStep>& tuningKeySteps();

// The step of a key press, with the arrows' step given, or nothing when the
// key is not a tuning key or Control, Alt or Meta is held (those presses
// belong to menus and the rest of the window). Shift does not matter.
std::optional<double> tuningKeyStep(int key, Qt::KeyboardModifiers modifiers, double chosenStepKHz);

// The plain sum, rounded to hundredths (halves away from zero), or to
// thousandths for steps finer than 10 Hz.
double steppedFrequencyKHz(double currentKHz, double stepKHz);
