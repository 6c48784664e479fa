#include "model/TuningSteps.h"

#include <algorithm>

int defaultTuningStepHz(Mode mode)
{
    switch (mode) {
    case Mode::am:
    case Mode::amn:
    case Mode::amw:
    case Mode::sam:
    case Mode::nbfm:
        return 5000;
    case Mode::lsb:
    case Mode::usb:
        return 100;
    case Mode::cw:
        return 50;
    case Mode::cwn:
        return 10;
    case Mode::wfm:
        return 100000;
    }
    return 1000;
}

int validTuningStepHz(int hz, Mode mode)
{
    return std::ranges::find(tuningStepChoicesHz, hz) != tuningStepChoicesHz.end() ? hz : defaultTuningStepHz(mode);
}
