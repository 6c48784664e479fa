#include "display/WaterfallHeader.h"

#include "display/ColourMaps.h"
#include "display/FrequencyFormat.h"
#include "widgets/Icons.h"
#include "display/LevelStepper.h"
#include "widgets/TextStyles.h"

#include <QActionGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

#include <algorithm>

namespace {

QToolButton* iconButton(const QString& label, const QString& themeName, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    const QIcon icon = themedIcon(themeName);
    if (icon.isNull())
        button->setText(label);
    else
        button->setIcon(icon);
    button->setToolTip(label);
    button->setAccessibleName(label);
    return button;
}

QToolButton* menuButton(const QString& label, const QString& toolTip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(label);
    button->setToolTip(toolTip);
    button->setAccessibleName(label);
    button->setPopupMode(QToolButton::InstantPopup);
    button->setMenu(new QMenu(button));
    return button;
}

// One checkable item a value in the button's menu, exclusive of each other;
// `chosen` is told the value of the item triggered.
template <typename Value, typename Values, typename Title, typename Chosen>
void addChoices(QToolButton& button, const Values& values, Title title, std::map<Value, QAction*>& actions,
    Chosen chosen)
{
    auto* group = new QActionGroup(&button);
    for (const Value value : values) {
        QAction* action = button.menu()->addAction(title(value));
        action->setCheckable(true);
        group->addAction(action);
        actions[value] = action;
        QObject::connect(action, &QAction::triggered, &button, [chosen, value] { chosen(value); });
    }
}

QString averagingTitle(SpectrumAveraging averaging)
{
    switch (averaging) {
    case SpectrumAveraging::off:
        break;
    case SpectrumAveraging::light:
        return WaterfallHeader::tr("Light Averaging");
    case SpectrumAveraging::heavy:
        return WaterfallHeader::tr("Heavy Averaging");
    }
    return WaterfallHeader::tr("No Averaging");
}

QString speedTitle(WaterfallSpeed speed)
{
    switch (speed) {
    case WaterfallSpeed::off:
        return WaterfallHeader::tr("Off (Spectrum Only)");
    case WaterfallSpeed::slow:
        return WaterfallHeader::tr("Slow");
    case WaterfallSpeed::medium:
        return WaterfallHeader::tr("Medium");
    case WaterfallSpeed::fast:
        break;
    }
    return WaterfallHeader::tr("Fast");
}

} // namespace

WaterfallHeader::WaterfallHeader(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    auto* title = plainTextLabel(TextStyle::headline, this, tr("Waterfall"));
    m_span = plainTextLabel(TextStyle::caption, this);
    useSecondaryText(*m_span);
    m_zoomOut = iconButton(tr("Zoom Out"), QStringLiteral("zoom-out"), this);
    m_zoom = plainTextLabel(TextStyle::caption, this);
    m_zoomIn = iconButton(tr("Zoom In"), QStringLiteral("zoom-in"), this);
    m_autoRange = new QPushButton(tr("Auto Range"), this);
    m_autoRange->setFocusPolicy(Qt::TabFocus);
    m_autoRange->setCheckable(true);
    m_autoRange->setChecked(true);
    m_autoRange->setToolTip(tr("Follows the levels of the band with the colours"));
    m_autoRange->setAccessibleName(tr("Auto Range"));
    m_floor = new LevelStepper(tr("Floor "), [this](double value) { emit floorChanged(value); }, this);
    m_ceiling = new LevelStepper(tr("Ceiling "), [this](double value) { emit ceilingChanged(value); }, this);
    m_floor->setToolTip(tr("The level shown darkest; changing it turns Auto Range off"));
    m_floor->setAccessibleName(tr("Floor"));
    m_ceiling->setToolTip(tr("The level shown brightest; changing it turns Auto Range off"));
    m_ceiling->setAccessibleName(tr("Ceiling"));

    m_colours = menuButton(tr("Colours"), tr("The colour map of the waterfall"), this);
    addChoices(*m_colours, allColourMaps, colourMapTitle, m_colourMapActions,
        [this](ColourMap map) { emit colourMapChosen(map); });

    m_spectrum = menuButton(tr("Spectrum"), tr("Averaging and peak hold of the spectrum"), this);
    addChoices(*m_spectrum, allSpectrumAveragings, averagingTitle, m_averagingActions,
        [this](SpectrumAveraging averaging) { emit averagingChosen(averaging); });
    m_spectrum->menu()->addSeparator();
    m_peakHold = m_spectrum->menu()->addAction(tr("Peak Hold"));
    m_peakHold->setCheckable(true);
    m_peakHold->setToolTip(tr("Keeps the highest levels as a fainter line that sinks slowly"));
    m_clearPeaks = m_spectrum->menu()->addAction(tr("Clear Peaks"));
    m_clearPeaks->setEnabled(false);
    connect(m_peakHold, &QAction::toggled, this, [this](bool on) {
        m_clearPeaks->setEnabled(on);
        emit peakHoldToggled(on);
    });
    connect(m_clearPeaks, &QAction::triggered, this, &WaterfallHeader::clearPeaksRequested);

    m_speed = menuButton(tr("Speed"), tr("How fast the waterfall moves; the spectrum keeps going when it is off"), this);
    addChoices(*m_speed, allWaterfallSpeeds, speedTitle, m_speedActions,
        [this](WaterfallSpeed speed) { emit speedChosen(speed); });

    // The span and zoom texts are as wide as their widest values, so the zoom
    // buttons never move under the pointer while the texts change.
    const QFontMetrics spanMetrics(m_span->font());
    int spanWidth = 0;
    for (const double widestHz : {888'888'888.0, 888'880.0})
        spanWidth = std::max(spanWidth, spanMetrics.horizontalAdvance(tr("Span %1").arg(formatFrequency(widestHz))));
    m_span->setFixedWidth(spanWidth);
    m_zoom->setFixedWidth(QFontMetrics(m_zoom->font()).horizontalAdvance(tr("Zoom %1").arg(88)));

    layout->addWidget(title);
    layout->addWidget(m_span);
    layout->addWidget(m_zoomOut);
    layout->addWidget(m_zoom);
    layout->addWidget(m_zoomIn);
    layout->addWidget(m_autoRange);
    layout->addWidget(m_floor);
    layout->addWidget(m_ceiling);
    layout->addWidget(m_colours);
    layout->addWidget(m_spectrum);
    layout->addWidget(m_speed);
    layout->addStretch(1);

    connect(m_zoomOut, &QToolButton::clicked, this, &WaterfallHeader::zoomOutRequested);
    connect(m_zoomIn, &QToolButton::clicked, this, &WaterfallHeader::zoomInRequested);
    connect(m_autoRange, &QPushButton::toggled, this, &WaterfallHeader::autoRangeToggled);

    setSpanHz(30'000'000);
    setZoom(0, 0);
    setAutoRange(true);
    setLevels(-110, -40);
    setLook(WaterfallLook{});
}

void WaterfallHeader::setSpanHz(double spanHz)
{
    m_span->setText(tr("Span %1").arg(formatFrequency(spanHz)));
}

void WaterfallHeader::setZoom(int zoom, int highestZoom)
{
    m_zoom->setText(tr("Zoom %1").arg(zoom));
    m_zoomOut->setEnabled(zoom >= 1);
    m_zoomIn->setEnabled(zoom < highestZoom);
}

void WaterfallHeader::setAutoRange(bool on)
{
    if (m_autoRange->isChecked() != on)
        m_autoRange->setChecked(on);
}

void WaterfallHeader::setLevels(double minDB, double maxDB)
{
    m_floor->setValue(minDB, lowestFloorDB, maxDB - minimumRangeDB);
    m_ceiling->setValue(maxDB, minDB + minimumRangeDB, highestCeilingDB);
}

void WaterfallHeader::setLook(const WaterfallLook& look)
{
    setAutoRange(look.autoRange);
    m_colourMapActions.at(look.colourMap)->setChecked(true);
    m_averagingActions.at(look.averaging)->setChecked(true);
    m_speedActions.at(look.speed)->setChecked(true);
    if (m_peakHold->isChecked() != look.peakHold)
        m_peakHold->setChecked(look.peakHold);
}
