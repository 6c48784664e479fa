#include "widgets/FocusFrameStyle.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPainter>
#include <QStyleOption>

namespace {

void drawFocusFrame(const QStyleOption& option, QPainter& painter)
{
    if (!(option.state & QStyle::State_HasFocus) || !(option.state & QStyle::State_Enabled))
        return;
    const QPalette& palette = option.palette;
    // A button already filled with the highlight (the current mode) is framed
    // in the text colour instead, or the frame would vanish into it.
    const QColor colour = palette.color(QPalette::Button) == palette.color(QPalette::Highlight)
        ? palette.color(QPalette::WindowText)
        : palette.color(QPalette::Highlight);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(colour, 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(option.rect).adjusted(1, 1, -1, -1));
    painter.restore();
}

} // namespace

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
    const QWidget* widget) const
{
    QProxyStyle::drawPrimitive(element, option, painter, widget);
    // The text field inside a spin box or combo box is framed with its owner.
    const QWidget* owner = widget ? widget->parentWidget() : nullptr;
    if (element == PE_PanelLineEdit && qobject_cast<const QLineEdit*>(widget)
        && !qobject_cast<const QAbstractSpinBox*>(owner) && !qobject_cast<const QComboBox*>(owner))
        drawFocusFrame(*option, *painter);
}

void FocusFrameStyle::drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
    const QWidget* widget) const
{
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton || element == CE_CheckBox || element == CE_RadioButton)
        drawFocusFrame(*option, *painter);
}

void FocusFrameStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
    QPainter* painter, const QWidget* widget) const
{
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ToolButton || control == CC_Slider || control == CC_ComboBox || control == CC_SpinBox)
        drawFocusFrame(*option, *painter);
}
