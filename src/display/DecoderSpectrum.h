#pragma once
// The chosen decoder's own spectrum as a narrow waterfall across the
// passband, newest line on top, with a mark where the decoder listens, as
// wide as the signal it takes. A click moves the decoder there, on a 10 Hz
// grid. Takes the session's decoder rows while shown.

#include "display/WaterfallRenderer.h"
#include "session/ReceiverClient.h"

#include <QImage>
#include <QWidget>

#include <cstdint>
#include <optional>

class DecoderSpectrum : public QWidget {
    Q_OBJECT
public:
    static constexpr double gridHz = 10;

    explicit DecoderSpectrum(ReceiverClient& client, QWidget* parent = nullptr);

    bool hasPicture() const { return m_image.has_value(); }
    // Where from the carrier the decoder would listen after a click at `x`.
    std::int64_t offsetAt(double x) const;
    // Back to no picture, as for a new decoder.
    void clear();

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void handleRow(const WaterfallRow& row);
    // The frequencies across the widget: the picture's, else the passband.
    std::pair<double, double> shownSpan() const;
    double xOf(double hz) const;

    ReceiverClient& m_client;
    std::optional<WaterfallRenderer> m_renderer;
    std::optional<QImage> m_image;
    double m_pictureStartHz = 0;
    double m_pictureSpanHz = 0;
    std::optional<ReceiverClient::RowBroadcaster::Subscription> m_subscription;
};
