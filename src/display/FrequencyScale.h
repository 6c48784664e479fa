#pragma once
// The frequency scale under the waterfall: a tick and a label at every round
// frequency of a step chosen so that about eight fit across; under them the
// bands as narrow coloured bars, named where the name fits; under those the
// named frequencies (the receiver's labels and the listener's bookmarks) as
// markers, named where there is room.

#include "display/WaterfallStrip.h"
#include "model/ScaleLabels.h"

#include <optional>
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

    void setBands(std::vector<BandBar> bands);
    const std::vector<BandBar>& bands() const { return m_bands; }
    // The receiver's labels and the listener's bookmarks, drawn alike in
    // two colours.
    void setMarks(std::vector<FrequencyLabel> receiverLabels, std::vector<FrequencyLabel> bookmarks);
    const std::vector<FrequencyLabel>& receiverLabels() const { return m_receiverLabels; }
    const std::vector<FrequencyLabel>& bookmarkMarks() const { return m_bookmarks; }
    // The marker nearest to `x` within a few points, if any.
    std::optional<FrequencyLabel> markAt(double x) const;

    // Where the rows of the strip begin.
    static constexpr int bandRowTop = 23;
    static constexpr int markRowTop = 42;

protected:
    void paintContent(QPainter& painter) override;

private:
    void paintBands(QPainter& painter);
    void paintMarks(QPainter& painter, const std::vector<FrequencyLabel>& marks, const QColor& colour);

    std::vector<BandBar> m_bands;
    std::vector<FrequencyLabel> m_receiverLabels;
    std::vector<FrequencyLabel> m_bookmarks;
};
