#include "display/ListeningToolsPanel.h"

#include "audio/ListeningChain.h"
#include "widgets/TextStyles.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSpinBox>

#include <cmath>

namespace {

QCheckBox* toggle(const QString& objectName, const QString& title, const QString& toolTip, QWidget* parent)
{
    auto* box = new QCheckBox(title, parent);
    box->setFocusPolicy(Qt::TabFocus);
    box->setObjectName(objectName);
    box->setToolTip(toolTip);
    return box;
}

QSpinBox* numberBox(const QString& objectName, const QString& accessibleName, const QString& toolTip,
    ListeningSettings::Range range, const QString& suffix, QWidget* parent)
{
    auto* box = new QSpinBox(parent);
    box->setObjectName(objectName);
    box->setAccessibleName(accessibleName);
    box->setToolTip(toolTip);
    box->setRange(int(range.low), int(range.high));
    box->setSuffix(suffix);
    box->setKeyboardTracking(false);
    box->setFont(textStyleFont(TextStyle::callout));
    return box;
}

int rounded(double value)
{
    return int(std::lround(value));
}

} // namespace

ListeningToolsPanel::ListeningToolsPanel(ListeningChain& chain, QWidget* parent)
    : QWidget(parent), m_chain(chain)
{
    const QString dB = tr(" dB");
    const QString hz = tr(" Hz");
    m_squelch = toggle(QStringLiteral("squelchToggle"), tr("Squelch"),
        tr("Mutes the sound until a signal rises above the noise"), this);
    m_squelchLevel = numberBox(QStringLiteral("squelchLevel"), tr("Squelch level"),
        tr("How far above the measured noise floor a signal must be to open the squelch"),
        ListeningSettings::squelchLevelRange, dB, this);
    m_squelchLight = new QLabel(this);
    m_squelchLight->setObjectName(QStringLiteral("squelchLight"));
    m_squelchLight->setTextFormat(Qt::PlainText);

    m_noiseReduction = toggle(QStringLiteral("noiseReductionToggle"), tr("Noise reduction"),
        tr("Pushes down steady noise between and around signals"), this);
    m_noiseReductionStrength = numberBox(QStringLiteral("noiseReductionStrength"), tr("Noise reduction strength"),
        tr("How far noise may be pushed down; more is quieter but may sound watery"),
        ListeningSettings::noiseReductionRange, dB, this);

    m_notch = toggle(QStringLiteral("notchToggle"), tr("Notch"),
        tr("Removes one interfering tone. Ctrl+click a line on the waterfall or spectrum to place it there"),
        this);
    m_notchFrequency = numberBox(QStringLiteral("notchFrequency"), tr("Notch frequency"),
        tr("The audio frequency of the tone to remove"), ListeningSettings::notchRange, hz, this);
    m_notchFrequency->setSingleStep(10);
    m_notchWidth = numberBox(QStringLiteral("notchWidth"), tr("Notch width"),
        tr("How wide a band around the notch frequency is removed"), ListeningSettings::notchWidthRange, hz,
        this);
    m_notchWidth->setSingleStep(10);

    m_blanker = toggle(QStringLiteral("blankerToggle"), tr("Noise blanker"),
        tr("Silences short clicks and crashes such as ignition or power-line noise"), this);
    m_blankerThreshold = numberBox(QStringLiteral("blankerThreshold"), tr("Noise blanker threshold"),
        tr("How far above the average level a click must be to be silenced; lower catches more"),
        ListeningSettings::blankerThresholdRange, dB, this);

    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(6);
    grid->addWidget(plainTextLabel(TextStyle::headline, this, tr("Listening")), 0, 0, 1, 3);
    grid->addWidget(m_squelch, 1, 0);
    grid->addWidget(m_squelchLevel, 1, 1);
    grid->addWidget(m_squelchLight, 1, 2);
    grid->addWidget(m_noiseReduction, 2, 0);
    grid->addWidget(m_noiseReductionStrength, 2, 1);
    grid->addWidget(m_notch, 3, 0);
    grid->addWidget(m_notchFrequency, 3, 1);
    grid->addWidget(m_notchWidth, 3, 2);
    grid->addWidget(m_blanker, 4, 0);
    grid->addWidget(m_blankerThreshold, 4, 1);
    grid->setColumnStretch(3, 1);
    grid->setRowStretch(5, 1);

    connect(m_squelch, &QCheckBox::toggled, this, [this](bool on) { change([=](auto& s) { s.squelchOn = on; }); });
    connect(m_squelchLevel, &QSpinBox::valueChanged, this,
        [this](int value) { change([=](auto& s) { s.squelchLevelDb = value; }); });
    connect(m_noiseReduction, &QCheckBox::toggled, this,
        [this](bool on) { change([=](auto& s) { s.noiseReductionOn = on; }); });
    connect(m_noiseReductionStrength, &QSpinBox::valueChanged, this,
        [this](int value) { change([=](auto& s) { s.noiseReductionDb = value; }); });
    connect(m_notch, &QCheckBox::toggled, this, [this](bool on) { change([=](auto& s) { s.notchOn = on; }); });
    connect(m_notchFrequency, &QSpinBox::valueChanged, this,
        [this](int value) { change([=](auto& s) { s.notchHz = value; }); });
    connect(m_notchWidth, &QSpinBox::valueChanged, this,
        [this](int value) { change([=](auto& s) { s.notchWidthHz = value; }); });
    connect(m_blanker, &QCheckBox::toggled, this, [this](bool on) { change([=](auto& s) { s.blankerOn = on; }); });
    connect(m_blankerThreshold, &QSpinBox::valueChanged, this,
        [this](int value) { change([=](auto& s) { s.blankerThresholdDb = value; }); });

    m_squelchPoll.setInterval(squelchPollMs);
    connect(&m_squelchPoll, &QTimer::timeout, this, &ListeningToolsPanel::refreshSquelchLight);
    apply(m_chain.settings());
}

void ListeningToolsPanel::setSettings(const ListeningSettings& settings)
{
    apply(settings);
}

void ListeningToolsPanel::notchAt(double hz)
{
    change([=](ListeningSettings& s) {
        s.notchOn = true;
        s.notchHz = hz;
    });
}

void ListeningToolsPanel::change(const std::function<void(ListeningSettings&)>& edit)
{
    ListeningSettings settings = m_settings;
    edit(settings);
    if (settings.clamped() == m_settings)
        return;
    apply(settings);
    emit settingsChanged(m_settings);
}

void ListeningToolsPanel::apply(const ListeningSettings& settings)
{
    m_settings = m_chain.setSettings(settings);
    showSettings();
    if (m_settings.squelchOn)
        m_squelchPoll.start();
    else
        m_squelchPoll.stop();
    refreshSquelchLight();
}

void ListeningToolsPanel::showSettings()
{
    const ListeningSettings& s = m_settings;
    const auto show = [](auto* control, auto value) {
        const QSignalBlocker blocker(control);
        if constexpr (std::is_same_v<decltype(value), bool>)
            control->setChecked(value);
        else
            control->setValue(rounded(value));
    };
    show(m_squelch, s.squelchOn);
    show(m_squelchLevel, s.squelchLevelDb);
    show(m_noiseReduction, s.noiseReductionOn);
    show(m_noiseReductionStrength, s.noiseReductionDb);
    show(m_notch, s.notchOn);
    show(m_notchFrequency, s.notchHz);
    show(m_notchWidth, s.notchWidthHz);
    show(m_blanker, s.blankerOn);
    show(m_blankerThreshold, s.blankerThresholdDb);
}

void ListeningToolsPanel::refreshSquelchLight()
{
    // A dot: green while the squelch lets sound through, dim while it mutes;
    // nothing while the squelch is off.
    const bool on = m_settings.squelchOn;
    const bool open = on && m_chain.isSquelchOpen();
    m_squelchLight->setText(on ? QStringLiteral("\u25CF") : QString());
    QPalette palette = m_squelchLight->palette();
    palette.setColor(QPalette::WindowText, open ? QColor(0x2e, 0xa0, 0x43) : secondaryTextColor(this->palette()));
    m_squelchLight->setPalette(palette);
    const QString state = !on ? tr("Squelch off") : open ? tr("Squelch open") : tr("Squelch closed");
    m_squelchLight->setAccessibleName(state);
    m_squelchLight->setToolTip(state);
}
