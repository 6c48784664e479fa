#pragma once
// The frequency scale under the waterfall: a tick and a label at every round
// frequency of a step chosen so that about eight fit across; under them the
// bands as narrow coloured bars, named where the name fits, with the name and
// service in a tooltip; under those the named frequencies (the receiver's
// labels and the listener's bookmarks) as markers, their names beside them,
// or in a second row under them, shortened where neither has room: never one
// over another.

#include "display/WaterfallStrip.h"
#include "model/ScaleLabels.h"

#include <QRectF>

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
    // The band bar under `x`, if any.
    std::optional<BandBar> bandAt(double x) const;

    // Where a marker and its name are drawn.
    struct MarkPlacement {
        double x = 0;
        bool isBookmark = false;
        // As drawn: whole, or shortened with "…"; empty for none.
        QString name;
        QRectF nameRect;
        // 0 beside the markers, 1 in the row under them.
        int row = 0;
    };
    std::vector<MarkPlacement> markPlacements() const;

    // Where the rows of the strip begin.
    static constexpr int bandRowTop = 23;
    static constexpr int markRowTop = 42;

protected:
    void paintContent(QPainter& painter) override;
    bool event(QEvent* event) override;

private:
    void paintBands(QPainter& painter);
    void paintMarks(QPainter& painter);

    std::vector<BandBar> m_bands;
    std::vector<FrequencyLabel> m_receiverLabels;
    std::vector<FrequencyLabel> m_bookmarks;
};
