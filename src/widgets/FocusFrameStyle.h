#pragma once
// The keyboard focus drawn so that it is seen: a 2 px frame in the palette's
// highlight colour around a focused button, check box, slider, combo box,
// spin box or text field, over whatever the desktop's style draws there.
// Installed as the application's style; the colours come from the palette,
// so a dark theme gets its own highlight.

#include <QProxyStyle>

class FocusFrameStyle : public QProxyStyle {
public:
    using QProxyStyle::QProxyStyle;

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option, QPainter* painter,
        const QWidget* widget = nullptr) const override;
};
