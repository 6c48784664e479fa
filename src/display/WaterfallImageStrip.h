#pragma once
// The waterfall picture, stretched to the strip; a line of text in its place
// while there is no picture, or over the dimmed picture when it is no longer
// live. A picture that only gained rows at the top scrolls what is on screen
// down by their height and paints just the new strip above it, instead of
// scaling the whole picture again.

#include "display/WaterfallStrip.h"

#include <QImage>
#include <QString>

#include <optional>

class WaterfallImageStrip : public WaterfallStrip {
public:
    explicit WaterfallImageStrip(QWidget* parent = nullptr);

    void setImage(QImage image);
    // The same picture as before with `rows` new lines at the top.
    void addRows(QImage image, int rows);
    void clearImage();
    const std::optional<QImage>& image() const { return m_image; }
    // Shown, as plain text, while there is no picture or over a dimmed one.
    void setPlaceholderText(const QString& text);
    const QString& placeholderText() const { return m_placeholder; }

protected:
    void paintContent(QPainter& painter) override;
    void paintOverDimmed(QPainter& painter) override;

private:
    std::optional<QImage> m_image;
    // Scrolls move whole pixels; the picture is drawn this far below its
    // place, so that what is painted anew meets what was scrolled (within
    // half a pixel either way).
    double m_phase = 0;
    QString m_placeholder;
};
