#include "widgets/SliderJump.h"
#include "widgets/FocusFrameStyle.h"

#include <QSlider>

namespace {

// On top of the focus frame, which the slider would otherwise lose with the
// application's style.
class JumpToClickStyle : public FocusFrameStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
        QStyleHintReturn* returnData) const override
    {
        if (hint == SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return FocusFrameStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

void jumpToClick(QSlider& slider)
{
    // The slider owns its style; the proxy draws with the desktop's.
    auto* style = new JumpToClickStyle;
    style->setParent(&slider);
    slider.setStyle(style);
}
