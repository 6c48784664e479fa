#include "app/TuningKeys.h"

#include <cmath>

const QList<TuningKeyStep>& tuningKeySteps()
{
    static const QList<TuningKeyStep> steps{
        {Qt::Key_Left, -1, std::nullopt},
        {Qt::Key_Right, 1, std::nullopt},
        {Qt::Key_A, -1, 0.1},
        {Qt::Key_S, -1, 0.01},
        {Qt::Key_D, 1, 0.01},
        {Qt::Key_F, 1, 0.1},
    };
    return steps;
}

std::optional<double> tuningKeyStep(int key, Qt::KeyboardModifiers modifiers, double chosenStepKHz)
{
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return std::nullopt;
    for (const TuningKeyStep& step : tuningKeySteps()) {
        if (step.key == key)
            return step.direction * step.stepKHz.value_or(chosenStepKHz);
    }
    return std::nullopt;
}

double steppedFrequencyKHz(double currentKHz, double stepKHz)
{
    // std::round rounds halves away from zero.
    const double perKHz = std::abs(stepKHz) < 0.01 ? 1000 : 100;
    return std::round((stepKHz + currentKHz) * perKHz) / perKHz;
}
