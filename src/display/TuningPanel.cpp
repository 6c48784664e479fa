#include "display/TuningPanel.h"

#include "settings/Preferences.h"
#include "widgets/FrequencyText.h"
#include "widgets/Icons.h"
#include "widgets/SliderJump.h"
#include "display/DecoderChooser.h"
#include "display/SMeterScale.h"
#include "display/SMeterView.h"
#include "widgets/TextStyles.h"
#include "display/TuningLabels.h"
#include "model/TuningSteps.h"
#include "session/ReceiverClient.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSignalBlocker>
#include <QSlider>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace {

// The band menu is as wide as this many characters, whatever the names.
constexpr int maxProfileNameChars = 24;

// The volume slider's steps between silence and full volume.
constexpr int volumeSteps = 1000;

// "kHz" after the frequency: painted on the frequency's baseline, and not an
// element of its own for assistive technology, since the field says it.
class UnitText : public QWidget {
public:
    UnitText(const QString& text, const QFont& alignWith, QWidget* parent)
        : QWidget(parent), m_text(text), m_alignWith(alignWith)
    {
        setFont(textStyleFont(TextStyle::title3));
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    QSize sizeHint() const override
    {
        return {fontMetrics().horizontalAdvance(m_text) + 2, QFontMetrics(m_alignWith).height()};
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setPen(secondaryTextColor(palette()));
        const QFontMetrics big(m_alignWith);
        const int baseline = (height() - big.height()) / 2 + big.ascent();
        painter.drawText(0, baseline, m_text);
    }

private:
    QString m_text;
    QFont m_alignWith;
};

QToolButton* textButton(const QString& title, const QString& accessibleName, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(title);
    button->setAccessibleName(accessibleName);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setFont(textStyleFont(TextStyle::callout));
    return button;
}

QToolButton* iconButton(const QString& objectName, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setAutoRaise(true);
    button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    const int side = QFontMetrics(textStyleFont(TextStyle::title3)).height();
    button->setIconSize(QSize(side, side));
    return button;
}

} // namespace

TuningPanel::TuningPanel(ReceiverClient& client, Preferences& preferences, const QList<double>& stepsKHz,
    QWidget* parent)
    : QWidget(parent), m_client(client), m_preferences(preferences)
{
    auto* column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addLayout(makeFrequencyRow());
    column->addLayout(makeStepRow(stepsKHz));
    m_modeRow = new QHBoxLayout;
    m_modeRow->setSpacing(6);
    m_modeRow->addStretch(1);
    column->addLayout(m_modeRow);
    auto* decoders = new DecoderChooser(m_client, this);
    decoders->setObjectName(QStringLiteral("decoderChooser"));
    column->addWidget(decoders);
    column->addLayout(makePassbandRow());
    column->addWidget(makeProfileRow());
    m_sMeter = new SMeterView(sMeterFullScale, this);
    m_sMeter->setObjectName(QStringLiteral("sMeter"));
    column->addWidget(m_sMeter);
    column->addWidget(makeGainRow());
    column->addLayout(makeVolumeRow());
    column->addStretch(1);

    connect(&m_client, &ReceiverClient::stateChanged, this, &TuningPanel::refreshEnabled);
    connect(&m_client, &ReceiverClient::frequencyKHzChanged, this, &TuningPanel::frequencyChanged);
    connect(&m_client, &ReceiverClient::modeChanged, this, [this] {
        refreshModeButtons();
        refreshBookmark();
        refreshStep();
    });
    connect(&m_client, &ReceiverClient::passbandChanged, this, &TuningPanel::refreshPassband);
    connect(&m_client, &ReceiverClient::availableModesChanged, this, &TuningPanel::rebuildModeButtons);
    connect(&m_client, &ReceiverClient::profilesChanged, this, &TuningPanel::refreshProfiles);
    connect(&m_client, &ReceiverClient::currentProfileIDChanged, this, &TuningPanel::refreshProfiles);
    connect(&m_client, &ReceiverClient::sMeterChanged, this, [this] { m_sMeter->setReading(m_client.sMeter()); });
    connect(&m_client, &ReceiverClient::isADCOverloadedChanged, this,
        [this] { m_sMeter->setOverloaded(m_client.isADCOverloaded()); });
    connect(&m_client, &ReceiverClient::featuresChanged, this, &TuningPanel::refreshGain);
    connect(&m_client, &ReceiverClient::featuresChanged, this,
        [this] { m_sMeter->setCalibrated(m_client.features().calibratedSMeter); });
    connect(&m_client, &ReceiverClient::agcEnabledChanged, this, &TuningPanel::refreshGain);
    connect(&m_client, &ReceiverClient::manualGainChanged, this, &TuningPanel::refreshGain);
    connect(&m_client, &ReceiverClient::volumeChanged, this, &TuningPanel::refreshVolume);
    connect(&m_client, &ReceiverClient::isMutedChanged, this, &TuningPanel::refreshVolume);
    connect(&m_preferences, &Preferences::changed, this, [this](const QString& key) {
        if (key == PreferenceKeys::tuningSteps)
            refreshStep();
        if (key != PreferenceKeys::frequencyBookmarks)
            return;
        m_frequencyBookmarks = m_preferences.frequencyBookmarks();
        refreshBookmark();
    });
    m_frequencyBookmarks = m_preferences.frequencyBookmarks();

    m_frequencyField->setText(formattedFrequencyKHz(m_client.frequencyKHz()));
    rebuildModeButtons();
    refreshPassband();
    refreshStep();
    refreshProfiles();
    m_sMeter->setReading(m_client.sMeter());
    m_sMeter->setCalibrated(m_client.features().calibratedSMeter);
    m_sMeter->setOverloaded(m_client.isADCOverloaded());
    refreshBookmark();
    refreshGain();
    refreshVolume();
    refreshEnabled();
}

TuningPanel::~TuningPanel()
{
    // The field loses focus while the children are destroyed; its commit must
    // not reach this half-destroyed panel.
    m_frequencyField->disconnect(this);
}

QLayout* TuningPanel::makeFrequencyRow()
{
    m_frequencyField = new QLineEdit(this);
    m_frequencyField->setObjectName(QStringLiteral("frequencyField"));
    m_frequencyField->setPlaceholderText(tr("Frequency"));
    m_frequencyField->setAccessibleName(tr("Frequency in kilohertz"));
    m_frequencyField->setFrame(false);
    QPalette fieldPalette = m_frequencyField->palette();
    fieldPalette.setColor(QPalette::Base, Qt::transparent);
    m_frequencyField->setPalette(fieldPalette);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPointSizeF(textStyleFont(TextStyle::body).pointSizeF() * 34 / 13);
    font.setWeight(QFont::DemiBold);
    m_frequencyField->setFont(font);
    // The field hugs its text, so that "kHz" stays right after the number.
    const QFontMetrics metrics(font);
    m_frequencyField->setFixedHeight(metrics.height() + 4);
    const auto fitWidth = [this, metrics](const QString& text) {
        const int digits = std::clamp(static_cast<int>(text.size()), 7, 14);
        m_frequencyField->setFixedWidth(metrics.horizontalAdvance(QLatin1Char('0')) * digits + 8);
    };
    fitWidth(QString());
    connect(m_frequencyField, &QLineEdit::textChanged, this, fitWidth);
    connect(m_frequencyField, &QLineEdit::returnPressed, this, [this] {
        commitFrequencyText();
        emit frequencyEntryDone();
    });
    connect(m_frequencyField, &QLineEdit::editingFinished, this, &TuningPanel::commitFrequencyText);
    m_frequencyField->installEventFilter(this);

    auto* unit = new UnitText(QStringLiteral("kHz"), font, this);
    unit->setFixedHeight(m_frequencyField->height());

    m_bookmarkButton = iconButton(QStringLiteral("bookmarkButton"), this);
    connect(m_bookmarkButton, &QToolButton::clicked, this, &TuningPanel::addBookmark);

    m_frequencyNote = plainTextLabel(TextStyle::callout, this);
    m_frequencyNote->setObjectName(QStringLiteral("frequencyNote"));
    m_frequencyNote->setWordWrap(true);
    // Wraps within the row, however long a word, rather than widening it.
    m_frequencyNote->setMinimumWidth(1);
    m_frequencyNote->hide();
    m_bandsButton = new QToolButton(this);
    m_bandsButton->setObjectName(QStringLiteral("bandsButton"));
    m_bandsButton->setText(tr("Bands\u2026"));
    m_bandsButton->hide();
    connect(m_bandsButton, &QToolButton::clicked, this, [this] { m_profileMenu->showPopup(); });
    m_noteTimer = new QTimer(this);
    m_noteTimer->setSingleShot(true);
    m_noteTimer->setInterval(noteMilliseconds);
    connect(m_noteTimer, &QTimer::timeout, this, [this] {
        m_frequencyNote->hide();
        m_bandsButton->hide();
    });

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(m_frequencyField);
    row->addWidget(unit);
    row->addWidget(m_bookmarkButton);
    row->addWidget(m_frequencyNote, 1);
    row->addWidget(m_bandsButton);
    row->addStretch(0);
    return row;
}

QLayout* TuningPanel::makeStepRow(const QList<double>& stepsKHz)
{
    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    for (const double step : stepsKHz) {
        QToolButton* button = textButton(stepTitle(step), stepAccessibleName(step), this);
        // The plain sum: stepping from 7199.95 by 0.1 lands on 7200.05, not
        // on a 10 Hz grid.
        connect(button, &QToolButton::clicked, this, [this, step] { m_client.tune(m_client.frequencyKHz() + step); });
        row->addWidget(button);
    }
    row->addStretch(1);
    return row;
}

QLayout* TuningPanel::makePassbandRow()
{
    m_passbandEdges = plainTextLabel(TextStyle::body, this);
    m_passbandEdges->setObjectName(QStringLiteral("passbandEdges"));
    m_passbandEdges->setToolTip(tr("The passband's edges, relative to the carrier"));
    m_stepMenu = new QComboBox(this);
    m_stepMenu->setObjectName(QStringLiteral("tuningStep"));
    m_stepMenu->setAccessibleName(tr("Tuning step"));
    m_stepMenu->setToolTip(tr("How far the arrow keys and the wheel tune, kept for each mode"));
    m_stepMenu->setFocusPolicy(Qt::TabFocus);
    for (const int hz : tuningStepChoicesHz)
        m_stepMenu->addItem(tuningStepText(hz), hz);
    connect(m_stepMenu, &QComboBox::activated, this,
        [this](int index) { m_preferences.setTuningStepHz(m_client.mode(), m_stepMenu->itemData(index).toInt()); });

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(plainTextLabel(TextStyle::body, this, tr("Passband")));
    row->addWidget(m_passbandEdges);
    row->addSpacing(18);
    row->addWidget(plainTextLabel(TextStyle::body, this, tr("Step")));
    row->addWidget(m_stepMenu);
    row->addStretch(1);
    return row;
}

QWidget* TuningPanel::makeProfileRow()
{
    m_profileRow = new QWidget(this);
    m_profileMenu = new QComboBox(m_profileRow);
    m_profileMenu->setFocusPolicy(Qt::TabFocus);
    m_profileMenu->setObjectName(QStringLiteral("profileMenu"));
    m_profileMenu->setAccessibleName(tr("Band"));
    // Profile names come from the server: the menu's width does not follow
    // them, and a long one is elided.
    m_profileMenu->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_profileMenu->setMinimumContentsLength(maxProfileNameChars);
    connect(m_profileMenu, &QComboBox::activated, this,
        [this](int index) { m_client.selectProfile(m_profileMenu->itemData(index).toString()); });

    auto* row = new QHBoxLayout(m_profileRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(plainTextLabel(TextStyle::body, m_profileRow, tr("Band")));
    row->addWidget(m_profileMenu);
    row->addStretch(1);
    return m_profileRow;
}

QWidget* TuningPanel::makeGainRow()
{
    m_gainRow = new QWidget(this);
    m_agcToggle = new QCheckBox(tr("AGC"), m_gainRow);
    m_agcToggle->setFocusPolicy(Qt::TabFocus);
    m_agcToggle->setObjectName(QStringLiteral("agcToggle"));
    connect(m_agcToggle, &QCheckBox::toggled, this, [this](bool on) { m_client.setAGC(on); });

    m_manualGain = new QWidget(m_gainRow);
    m_gainSlider = new QSlider(Qt::Horizontal, m_manualGain);
    m_gainSlider->setFocusPolicy(Qt::TabFocus);
    jumpToClick(*m_gainSlider);
    m_gainSlider->setObjectName(QStringLiteral("gainSlider"));
    m_gainSlider->setAccessibleName(tr("RF Gain"));
    m_gainSlider->setRange(0, 120);
    m_gainSlider->setSingleStep(1);
    m_gainSlider->setPageStep(10);
    m_gainSlider->setMinimumWidth(160);
    connect(m_gainSlider, &QSlider::valueChanged, this,
        [this](int value) { m_client.setAGC(false, manualGainForSliderValue(value)); });
    m_gainValue = plainTextLabel(TextStyle::body, m_manualGain);
    m_gainValue->setObjectName(QStringLiteral("gainValue"));
    m_gainValue->setFont(textStyleFont(TextStyle::caption));
    m_gainValue->setMinimumWidth(QFontMetrics(m_gainValue->font()).horizontalAdvance(QStringLiteral("120 dB")));

    auto* manual = new QHBoxLayout(m_manualGain);
    manual->setContentsMargins(0, 0, 0, 0);
    manual->setSpacing(6);
    manual->addWidget(plainTextLabel(TextStyle::body, m_manualGain, tr("RF Gain")));
    manual->addWidget(m_gainSlider, 1);
    manual->addWidget(m_gainValue);

    auto* row = new QHBoxLayout(m_gainRow);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(m_agcToggle);
    row->addWidget(m_manualGain, 1);
    return m_gainRow;
}

QLayout* TuningPanel::makeVolumeRow()
{
    m_muteButton = iconButton(QStringLiteral("muteButton"), this);
    connect(m_muteButton, &QToolButton::clicked, this, [this] { m_client.setMuted(!m_client.isMuted()); });

    m_volumeSlider = new QSlider(Qt::Horizontal, this);
    m_volumeSlider->setFocusPolicy(Qt::TabFocus);
    jumpToClick(*m_volumeSlider);
    m_volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    m_volumeSlider->setAccessibleName(tr("Volume"));
    m_volumeSlider->setRange(0, volumeSteps);
    m_volumeSlider->setPageStep(volumeSteps / 10);
    m_volumeSlider->setMinimumWidth(160);
    connect(m_volumeSlider, &QSlider::valueChanged, this,
        [this](int value) { m_client.setVolume(static_cast<float>(value) / volumeSteps); });

    auto* row = new QHBoxLayout;
    row->setSpacing(6);
    row->addWidget(m_muteButton);
    row->addWidget(plainTextLabel(TextStyle::body, this, tr("Volume")));
    row->addWidget(m_volumeSlider, 1);
    return row;
}

void TuningPanel::showEvent(QShowEvent* event)
{
    m_frequencyField->setText(formattedFrequencyKHz(m_client.frequencyKHz()));
    QWidget::showEvent(event);
}

void TuningPanel::commitFrequencyText()
{
    const QString text = m_frequencyField->text();
    if (text == formattedFrequencyKHz(m_client.frequencyKHz()))
        return;
    if (const std::optional<double> kHz = frequencyToCommit(text, m_client.frequencyKHz())) {
        const ReceiverInfo& info = m_client.info();
        const double topKHz = (info.baseHz + info.bandwidthHz) / 1000;
        if (topKHz > 0 && *kHz > topKHz * implausibleFactor) {
            showNote(tr("%1 kHz is far beyond this receiver, which reaches %2 kHz; the frequency stays.")
                         .arg(formattedFrequencyKHz(*kHz), formattedFrequencyKHz(topKHz)),
                false);
        } else {
            m_client.tune(*kHz);
            noteOutOfRange(*kHz);
        }
    }
    // The frequency actually set: the clamped one, or the old one again.
    m_frequencyField->setText(formattedFrequencyKHz(m_client.frequencyKHz()));
}

void TuningPanel::noteOutOfRange(double requestedKHz)
{
    const double tunedKHz = m_client.frequencyKHz();
    if (std::abs(requestedKHz - tunedKHz) < 0.005)
        return;
    const QString requested = formattedFrequencyKHz(requestedKHz);
    const QString tuned = formattedFrequencyKHz(tunedKHz);
    const QList<ReceiverProfile>& profiles = m_client.profiles();
    const int band = currentProfileIndex(profiles, m_client.currentProfileID());
    const bool inBand = m_client.features().bandProfiles && band >= 0;
    if (inBand) {
        // The band's name is the server's: only its start is quoted.
        constexpr qsizetype longestBandName = 80;
        QString name = profiles.at(band).name.simplified();
        if (name.size() > longestBandName)
            name = name.left(longestBandName - 1) + QChar(0x2026);
        showNote(tr("%1 kHz is outside the band \u201c%2\u201d; tuned to its nearest edge, %3 kHz. "
                    "Another band may have it.")
                     .arg(requested, name, tuned),
            true);
    } else {
        showNote(tr("%1 kHz is outside this receiver's range; tuned to the nearest edge, %2 kHz.").arg(requested, tuned),
            false);
    }
}

void TuningPanel::showNote(const QString& text, bool offerBands)
{
    m_frequencyNote->setText(text);
    m_frequencyNote->show();
    m_bandsButton->setVisible(offerBands);
    m_noteTimer->start();
}

bool TuningPanel::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_frequencyField)
        return QWidget::eventFilter(watched, event);
    // A click into the field selects the whole value, as an address field
    // does, so that typing replaces it: on the release, after the press and
    // any jitter of the pointer have placed the cursor.
    switch (event->type()) {
    case QEvent::FocusIn: {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        if (reason == Qt::MouseFocusReason)
            m_selectOnRelease = true;
        else if (reason != Qt::PopupFocusReason)
            QTimer::singleShot(0, m_frequencyField, &QLineEdit::selectAll);
        break;
    }
    case QEvent::MouseButtonRelease:
        if (std::exchange(m_selectOnRelease, false))
            m_frequencyField->selectAll();
        break;
    case QEvent::KeyPress:
        // Escape gives up the typing and hands the keys back.
        if (static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
            m_frequencyField->setText(formattedFrequencyKHz(m_client.frequencyKHz()));
            emit frequencyEntryDone();
            return true;
        }
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TuningPanel::frequencyChanged()
{
    // A change from elsewhere wins over whatever is being typed.
    m_frequencyField->setText(formattedFrequencyKHz(m_client.frequencyKHz()));
    m_frequencyField->clearFocus();
    refreshBookmark();
}

void TuningPanel::rebuildModeButtons()
{
    qDeleteAll(m_modeButtons);
    m_modeButtons.clear();
    const QList<Mode> modes = m_client.availableModes();
    for (const Mode mode : modes) {
        QToolButton* button = textButton(modeTitle(mode), modeAccessibleName(mode), this);
        button->setCheckable(true);
        button->setProperty("mode", static_cast<int>(mode));
        connect(button, &QToolButton::clicked, this, [this, mode] {
            m_client.setMode(mode);
            // Clicking the current mode's button must not leave it unchecked.
            refreshModeButtons();
        });
        m_modeRow->insertWidget(m_modeButtons.size(), button);
        m_modeButtons.append(button);
    }
    refreshModeButtons();
}

void TuningPanel::refreshModeButtons()
{
    for (QToolButton* button : std::as_const(m_modeButtons)) {
        const bool current = button->property("mode").toInt() == static_cast<int>(m_client.mode());
        button->setChecked(current);
        // The current mode is filled with the accent colour.
        QPalette palette = this->palette();
        if (current) {
            // Not while disabled: there it looks like every other button.
            for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
                palette.setColor(group, QPalette::Button, palette.color(group, QPalette::Highlight));
                palette.setColor(group, QPalette::ButtonText, palette.color(group, QPalette::HighlightedText));
            }
        }
        button->setPalette(palette);
    }
}

void TuningPanel::refreshProfiles()
{
    const QList<ReceiverProfile>& profiles = m_client.profiles();
    m_profileRow->setVisible(!profiles.isEmpty());
    const QSignalBlocker blocker(m_profileMenu);
    m_profileMenu->clear();
    for (const ReceiverProfile& profile : profiles)
        m_profileMenu->addItem(profile.name, profile.id);
    m_profileMenu->setCurrentIndex(currentProfileIndex(profiles, m_client.currentProfileID()));
}

void TuningPanel::refreshBookmark()
{
    const bool bookmarked = m_frequencyBookmarks.contains(m_client.mode(), m_client.frequencyKHz());
    const BookmarkButtonLook look = bookmarkButtonLook(bookmarked);
    m_bookmarkButton->setIcon(themedIcon(look.iconName));
    m_bookmarkButton->setText(look.label);
    m_bookmarkButton->setAccessibleName(look.label);
    m_bookmarkButton->setAccessibleDescription(look.help);
    m_bookmarkButton->setToolTip(look.help);
    m_bookmarkButton->setEnabled(look.enabled);
}

void TuningPanel::addBookmark()
{
    m_preferences.addFrequencyBookmark(m_client.mode(), m_client.frequencyKHz());
}

void TuningPanel::refreshPassband()
{
    m_passbandEdges->setText(passbandEdgesText(m_client.passband()));
}

void TuningPanel::refreshStep()
{
    const QSignalBlocker blocker(m_stepMenu);
    m_stepMenu->setCurrentIndex(m_stepMenu->findData(m_preferences.tuningStepHz(m_client.mode())));
}

void TuningPanel::refreshGain()
{
    m_gainRow->setVisible(m_client.features().gainControls);
    {
        const QSignalBlocker blocker(m_agcToggle);
        m_agcToggle->setChecked(m_client.agcEnabled());
    }
    m_manualGain->setVisible(!m_client.agcEnabled());
    {
        const QSignalBlocker blocker(m_gainSlider);
        m_gainSlider->setValue(m_client.manualGain());
    }
    m_gainValue->setText(QString::number(m_client.manualGain()) + QStringLiteral(" dB"));
}

void TuningPanel::refreshVolume()
{
    const MuteButtonLook look = muteButtonLook(m_client.isMuted());
    m_muteButton->setIcon(themedIcon(look.iconName));
    m_muteButton->setText(look.label);
    m_muteButton->setAccessibleName(look.label);
    m_muteButton->setToolTip(look.label);
    const QSignalBlocker blocker(m_volumeSlider);
    const float volume = m_client.volume();
    m_volumeSlider->setValue(std::isnan(volume) ? 0 : static_cast<int>(std::lround(std::clamp(volume, 0.0f, 1.0f) * volumeSteps)));
}

void TuningPanel::refreshEnabled()
{
    setEnabled(m_client.state().isConnected());
}
