#pragma once
// The smoothed spectrum as a cyan line over a filled area, scaled so that the
// waterfall's floor and ceiling sit 10 dB inside the strip; held peaks, when
// there are any, as a fainter line above it.

#include "display/WaterfallStrip.h"

#include <QImage>
#include <QLinearGradient>
#include <QPolygonF>

#include <vector>

class SpectrumTrace : public WaterfallStrip {
public:
    explicit SpectrumTrace(QWidget* parent = nullptr);

    void setValues(std::vector<double> values, double minDB, double maxDB);
    const std::vector<double>& values() const { return m_values; }
    // Drawn on the same scale as the values; empty draws none.
    void setPeaks(std::vector<double> peaks);
    const std::vector<double>& peaks() const { return m_peaks; }

    // The points of the line in a strip of the size; none for fewer than two
    // values. A value that is not a number lies on the bottom.
    static QPolygonF tracePoints(const std::vector<double>& values, double minDB, double maxDB, QSizeF size);
    // The area's fill, from half-transparent cyan at the top of a strip of
    // the height to faint blue at its bottom.
    static QLinearGradient fillGradient(int height);
    // The area under the line filled, on black, in a picture of the size:
    // what a polygon fill would draw, for far less than the rasteriser
    // takes for a polygon of a thousand edges.
    static QImage filledArea(const QPolygonF& line, QSize size);

protected:
    void paintContent(QPainter& painter) override;

private:
    void paintPeaks(QPainter& painter);

    std::vector<double> m_values;
    std::vector<double> m_peaks;
    double m_minDB = -110;
    double m_maxDB = -40;
};
