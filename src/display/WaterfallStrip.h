#pragma once
// One of the stacked strips of the waterfall panel: a black band that places
// frequencies across its width, rounds the corners of the stack it belongs to
// (its parent), and may carry the passband of the tuned signal on top.

#include <QRectF>
#include <QWidget>

#include <optional>

class QPainter;

// Which frequencies a strip shows: `leftHz` at its left edge, `spanHz` across.
// Its content was drawn for `contentStartHz` at the left edge; while the two
// differ (a pan the server has not caught up with) the content is moved to
// where that frequency falls.
struct StripFrequencies {
    double leftHz = 0;
    double spanHz = 0;
    double contentStartHz = 0;

    // Where `hz` falls in a strip `width` wide; 0 without a positive span.
    double xPosition(double hz, double width) const;
};

// The tuned signal: its audio filter edges and the tuned frequency, in Hz.
struct PassbandMarks {
    double lowHz = 0;
    double highHz = 0;
    double tunedHz = 0;
};

class WaterfallStrip : public QWidget {
public:
    explicit WaterfallStrip(QWidget* parent = nullptr);

    void setFrequencies(StripFrequencies frequencies);
    const StripFrequencies& frequencies() const { return m_frequencies; }
    void setPassband(std::optional<PassbandMarks> marks);
    // How far the content is moved sideways, in points; the passband stays.
    double contentOffset() const;
    // A picture that is no longer live (the connection ended or the server
    // refused the waterfall) is drawn dimmed.
    void setDimmed(bool dimmed);
    bool isDimmed() const { return m_dimmed; }

protected:
    void paintEvent(QPaintEvent* event) final;
    // Draws the strip's own content on black, already moved by the offset.
    virtual void paintContent(QPainter& painter) = 0;
    // Whether what is on screen may be moved down by copying it: not while
    // the content is moved sideways, nor where the strip holds a corner.
    bool canScroll() const;
    // Draws over the dimmed strip; nothing by default.
    virtual void paintOverDimmed(QPainter&) {}

private:
    QRectF stackRect() const;
    bool holdsCorner(const QRectF& stack) const;
    void paintPassband(QPainter& painter);

    StripFrequencies m_frequencies;
    std::optional<PassbandMarks> m_passband;
    bool m_dimmed = false;
};
