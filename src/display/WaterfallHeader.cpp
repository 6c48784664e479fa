#include "display/WaterfallHeader.h"

#include "display/FrequencyFormat.h"
#include "widgets/Icons.h"
#include "display/LevelStepper.h"
#include "widgets/TextStyles.h"

#include <QHBoxLayout>
#include <QLabel>
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

} // namespace

WaterfallHeader::WaterfallHeader(QWidget* parent)
    : QWidget(parent)
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);

    auto* title = plainTextLabel(TextStyle::headline, this, QStringLiteral("Waterfall"));
    m_span = plainTextLabel(TextStyle::caption, this);
    useSecondaryText(*m_span);
    m_zoomOut = iconButton(QStringLiteral("Zoom Out"), QStringLiteral("zoom-out"), this);
    m_zoom = plainTextLabel(TextStyle::caption, this);
    m_zoomIn = iconButton(QStringLiteral("Zoom In"), QStringLiteral("zoom-in"), this);
    m_autoRange = new QPushButton(QStringLiteral("Auto Range"), this);
    m_autoRange->setFocusPolicy(Qt::TabFocus);
    m_autoRange->setCheckable(true);
    m_autoRange->setChecked(true);
    m_floor = new LevelStepper(QStringLiteral("Floor "), [this](double value) { emit floorChanged(value); }, this);
    m_ceiling = new LevelStepper(QStringLiteral("Ceiling "), [this](double value) { emit ceilingChanged(value); }, this);

    // The span and zoom texts are as wide as their widest values, so the zoom
    // buttons never move under the pointer while the texts change.
    const QFontMetrics spanMetrics(m_span->font());
    int spanWidth = 0;
    for (const double widestHz : {888'888'888.0, 888'880.0})
        spanWidth = std::max(spanWidth, spanMetrics.horizontalAdvance(QStringLiteral("Span ") + formatFrequency(widestHz)));
    m_span->setFixedWidth(spanWidth);
    m_zoom->setFixedWidth(QFontMetrics(m_zoom->font()).horizontalAdvance(QStringLiteral("Zoom 88")));

    layout->addWidget(title);
    layout->addWidget(m_span);
    layout->addWidget(m_zoomOut);
    layout->addWidget(m_zoom);
    layout->addWidget(m_zoomIn);
    layout->addWidget(m_autoRange);
    layout->addWidget(m_floor);
    layout->addWidget(m_ceiling);
    layout->addStretch(1);

    connect(m_zoomOut, &QToolButton::clicked, this, &WaterfallHeader::zoomOutRequested);
    connect(m_zoomIn, &QToolButton::clicked, this, &WaterfallHeader::zoomInRequested);
    connect(m_autoRange, &QPushButton::toggled, this, &WaterfallHeader::autoRangeToggled);

    setSpanHz(30'000'000);
    setZoom(0, 0);
    setAutoRange(true);
    setLevels(-110, -40);
}

void WaterfallHeader::setSpanHz(double spanHz)
{
    m_span->setText(QStringLiteral("Span ") + formatFrequency(spanHz));
}

void WaterfallHeader::setZoom(int zoom, int highestZoom)
{
    m_zoom->setText(QStringLiteral("Zoom ") + QString::number(zoom));
    m_zoomOut->setEnabled(zoom >= 1);
    m_zoomIn->setEnabled(zoom < highestZoom);
}

void WaterfallHeader::setAutoRange(bool on)
{
    if (m_autoRange->isChecked() != on)
        m_autoRange->setChecked(on);
    m_floor->setVisible(!on);
    m_ceiling->setVisible(!on);
}

void WaterfallHeader::setLevels(double minDB, double maxDB)
{
    m_floor->setValue(minDB, lowestFloorDB, maxDB - minimumRangeDB);
    m_ceiling->setValue(maxDB, minDB + minimumRangeDB, highestCeilingDB);
}
