#include "widgets/SliderJump.h"

#include <QProxyStyle>
#include <QSlider>

namespace {

class JumpToClickStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void jumpToClick(QSlider& slider)
{
    // The slider owns its style; the proxy draws with the application's.
    auto* style = new JumpToClickStyle;
    style->setParent(&slider);
    slider.setStyle(style);
}
