#pragma once
// The frequency scale under the waterfall: a tick and a label at every round
// frequency of a step chosen so that about eight fit across.

#include "display/WaterfallStrip.h"

#include <vector>

class FrequencyScale : public WaterfallStrip {
public:
    explicit FrequencyScale(QWidget* parent = nullptr);

    struct Ticks {
        double stepHz = 0;
        std::vector<double> frequenciesHz;
    };
    // The ticks from `startHz` over `spanHz`; none without a positive finite
    // span.
    static Ticks ticks(double startHz, double spanHz);

protected:
    void paintContent(QPainter& painter) override;
};
