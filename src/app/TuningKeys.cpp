#include "app/TuningKeys.h"

#include <cmath>

const QList<TuningKeyStep>& tuningKeySteps()
{
    static const QList<TuningKeyStep> steps{
        {Qt::Key_Left, -0.1},
        {Qt::Key_Right, 0.1},
        {Qt::Key_A, -0.1},
        {Qt::Key_S, -0.01},
        {Qt::Key_D, 0.01},
        {Qt::Key_F, 0.1},
    };
    return steps;
}

std::optional<double> tuningKeyStep(int key, Qt::KeyboardModifiers modifiers)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    for (const TuningKeyStep& step : tuningKeySteps()) {
        if (step.key == key)
            return step.stepKHz;
    }
    return std::nullopt;
}

double steppedFrequencyKHz(double currentKHz, double stepKHz)
{
    // std::round rounds halves away from zero.
    return std::round((stepKHz + currentKHz) * 100) / 100;
}
