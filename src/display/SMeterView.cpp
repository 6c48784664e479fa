#include "display/SMeterView.h"

#include "display/SMeterBar.h"
#include "display/SMeterScale.h"
#include "widgets/SteadyLabel.h"
#include "widgets/TextStyles.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The meter is one element for assistive technology: "Signal strength" with
// the reading as its value; its texts and bar are not read on their own.
class SMeterAccessible : public QAccessibleWidget {
public:
    explicit SMeterAccessible(SMeterView* view) : QAccessibleWidget(view, QAccessible::Indicator) {}

    QString text(QAccessible::Text kind) const override
    {
        const auto* view = static_cast<const SMeterView*>(widget());
        switch (kind) {
        case QAccessible::Name: return SMeterView::tr("Signal strength");
        case QAccessible::Value: return view->accessibleValue();
        default: return QAccessibleWidget::text(kind);
        }
    }
    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};

QAccessibleInterface* sMeterAccessibleFactory(const QString& className, QObject* object)
{
    if (className == QLatin1String("SMeterView") && object && object->isWidgetType())
        return new SMeterAccessible(static_cast<SMeterView*>(object));
    return nullptr;
}

} // namespace

SMeterView::SMeterView(double fullScale, QWidget* parent)
    : QWidget(parent),
      m_fullScale(fullScale),
      m_mainText(plainTextLabel(TextStyle::title2, this)),
      m_detailText(plainTextLabel(TextStyle::callout, this)),
      m_overloadBadge(plainTextLabel(TextStyle::caption, this)),
      m_bar(new SMeterBar(fullScale, this)),
      m_scale(new SMeterScaleMarks(fullScale, this))
{
    static const bool factoryInstalled = (QAccessible::installFactory(sMeterAccessibleFactory), true);
    Q_UNUSED(factoryInstalled);

    QFont mainFont = m_mainText->font();
    mainFont.setBold(true);
    m_mainText->setFont(mainFont);
    useSecondaryText(*m_detailText);
    // Room for the longest usual texts, so that the header does not jump
    // with every reading.
    m_mainText->setMinimumWidth(QFontMetrics(mainFont).horizontalAdvance(QStringLiteral("S9+60")));
    m_detailText->setMinimumWidth(
        QFontMetrics(m_detailText->font()).horizontalAdvance(QStringLiteral("-100.0 dBm")));
    // The smaller text sits on the big one's baseline.
    const int descentGap = QFontMetrics(mainFont).descent() - QFontMetrics(m_detailText->font()).descent();
    m_detailText->setContentsMargins(0, 0, 0, std::max(descentGap, 0));

    m_overloadBadge->setText(tr("OVL"));
    m_overloadBadge->setAccessibleName(tr("ADC overload"));
    QFont badgeFont = m_overloadBadge->font();
    badgeFont.setBold(true);
    m_overloadBadge->setFont(badgeFont);
    const int badgeHeight = QFontMetrics(badgeFont).height() + 2;
    m_overloadBadge->setFixedHeight(badgeHeight);
    m_overloadBadge->setStyleSheet(QStringLiteral("QLabel { color: white; background: %1; border-radius: %2px;"
                                                  " padding: 0px 6px; }")
                                       .arg(sMeterRed().name())
                                       .arg(badgeHeight / 2));
    m_overloadBadge->hide();

    auto* header = new QHBoxLayout;
    header->setSpacing(8);
    header->addWidget(m_mainText, 0, Qt::AlignBottom);
    header->addWidget(m_detailText, 0, Qt::AlignBottom);
    header->addWidget(m_overloadBadge, 0, Qt::AlignVCenter);
    header->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);
    column->addLayout(header);
    column->addWidget(m_bar);
    column->addWidget(m_scale);

    setAccessibleName(tr("Signal strength"));
    refresh();
}

void SMeterView::setReading(const std::optional<SMeterReading>& reading)
{
    if (reading == m_reading)
        return;
    m_reading = reading;
    refresh();
}

void SMeterView::setOverloaded(bool isOverloaded)
{
    if (isOverloaded == m_isOverloaded)
        return;
    m_isOverloaded = isOverloaded;
    m_overloadBadge->setVisible(isOverloaded);
}

void SMeterView::setCalibrated(bool calibrated)
{
    if (calibrated == m_calibrated)
        return;
    m_calibrated = calibrated;
    refresh();
}

QString SMeterView::accessibleValue() const
{
    return sMeterAccessibleValue(m_reading);
}

void SMeterView::refresh()
{
    const bool calibrated = m_reading ? m_reading->isCalibrated : m_calibrated;
    setSteadyText(*m_mainText, sMeterMainText(m_reading, calibrated));
    setSteadyText(*m_detailText, sMeterDetailText(m_reading, calibrated));
    m_bar->setRedFrom(sMeterRedFrom(calibrated));
    m_bar->setFraction(sMeterFraction(sMeterUnits(m_reading), m_fullScale));
    m_scale->setCalibrated(calibrated);
    if (QAccessible::isActive()) {
        QAccessibleValueChangeEvent event(this, accessibleValue());
        QAccessible::updateAccessibility(&event);
    }
}
