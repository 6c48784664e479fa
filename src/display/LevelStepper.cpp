#include "display/LevelStepper.h"

#include "widgets/TextStyles.h"

#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

#include <algorithm>
#include <cmath>

LevelStepper::LevelStepper(QString label, std::function<void(double)> changed, QWidget* parent)
    : QWidget(parent)
    , m_label(std::move(label))
    , m_changed(std::move(changed))
    , m_text(new QLabel(this))
    , m_minus(new QToolButton(this))
    , m_plus(new QToolButton(this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(4);
    m_text->setFont(textStyleFont(TextStyle::caption));
    m_text->setTextFormat(Qt::PlainText);
    m_minus->setText(QStringLiteral("\u2212"));
    m_plus->setText(QStringLiteral("+"));
    m_minus->setAccessibleName(QCoreApplication::translate("LevelStepper", "Decrement"));
    m_plus->setAccessibleName(QCoreApplication::translate("LevelStepper", "Increment"));
    m_minus->setAutoRaise(false);
    m_plus->setAutoRaise(false);
    layout->addWidget(m_text);
    layout->addWidget(m_minus);
    layout->addWidget(m_plus);
    connect(m_minus, &QToolButton::clicked, this, [this] { stepBy(-step); });
    connect(m_plus, &QToolButton::clicked, this, [this] { stepBy(step); });
}

void LevelStepper::setValue(double value, double lowest, double highest)
{
    m_value = value;
    m_lowest = lowest;
    m_highest = highest;
    m_text->setText(text());
    m_minus->setEnabled(m_value > m_lowest);
    m_plus->setEnabled(m_value < m_highest);
}

QString LevelStepper::text() const
{
    // The whole part of the level, as the label promises.
    const double whole = std::isfinite(m_value) ? std::trunc(std::clamp(m_value, -1e6, 1e6)) : 0;
    return m_label + QString::number(static_cast<long long>(whole)) + QStringLiteral(" dBm");
}

void LevelStepper::stepBy(double delta)
{
    const double next = delta < 0 ? std::max(m_value + delta, m_lowest) : std::min(m_value + delta, m_highest);
    if (next == m_value || !std::isfinite(next))
        return;
    m_changed(next);
}
