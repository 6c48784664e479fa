#pragma once
// The waterfall picture, stretched to the strip; a line of text in its place
// while there is no picture, or over the dimmed picture when it is no longer
// live.

#include "display/WaterfallStrip.h"

#include <QImage>
#include <QString>

#include <optional>

class WaterfallImageStrip : public WaterfallStrip {
public:
    explicit WaterfallImageStrip(QWidget* parent = nullptr);

    void setImage(QImage image);
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
    QString m_placeholder;
};
