#include "app/SettingsWindow.h"

#include "app/PressAndHoldButton.h"
#include "app/RecordingController.h"
#include "settings/Preferences.h"
#include "bookmarks/ui/MenuText.h"
#include "directory/Geo.h"
#include "widgets/CloseButtons.h"
#include "widgets/TextStyles.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int formWidth = 420;

} // namespace

SettingsWindow::SettingsWindow(AudioOutputSettings& settings, Preferences& preferences, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , settings(settings)
    , preferences(preferences)
{
    setWindowTitle(tr("Settings"));

    auto* form = new QFrame(this);
    form->setFrameShape(QFrame::StyledPanel);
    form->setFixedWidth(formWidth);
    auto* formLayout = new QFormLayout(form);
    formLayout->setLabelAlignment(Qt::AlignRight | Qt::AlignTop);
    formLayout->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    auto* options = new QWidget(form);
    optionList = new QVBoxLayout(options);
    optionList->setContentsMargins(0, 0, 0, 0);
    optionGroup = new QButtonGroup(this);
    optionGroup->setExclusive(true);
    auto* label = new QLabel(tr("Audio Output"), form);
    label->setBuddy(options);
    formLayout->addRow(label, options);

    auto* testButton = new PressAndHoldButton(tr("Test"), form);
    testButton->setToolTip(tr("Hold to play a 1 kHz tone through the selected output"));
    // Says that the tone plays, for as long as it does.
    tonePlaying = new QLabel(tr("Playing a 1 kHz tone\u2026"), form);
    tonePlaying->setObjectName(QStringLiteral("tonePlaying"));
    QSizePolicy keepRoom = tonePlaying->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    tonePlaying->setSizePolicy(keepRoom);
    tonePlaying->hide();
    connect(testButton, &PressAndHoldButton::pressChanged, this, [this](bool pressed) {
        if (pressed)
            testTone.start(this->settings.selectedDeviceID());
        else
            testTone.stop();
        showToneState();
    });
    auto* testRow = new QHBoxLayout;
    testRow->addStretch();
    testRow->addWidget(tonePlaying);
    testRow->addWidget(testButton);
    formLayout->addRow(testRow);
    addRecordingRows(*formLayout);

    auto* reconnect = new QCheckBox(tr("Reconnect automatically"), form);
    reconnect->setObjectName(QStringLiteral("reconnectAutomatically"));
    reconnect->setToolTip(tr("When a connection drops, connect again after a growing wait; never after the "
                             "receiver refused or ended it"));
    reconnect->setChecked(preferences.reconnectAutomatically());
    connect(reconnect, &QCheckBox::toggled, this,
        [this](bool on) { this->preferences.setReconnectAutomatically(on); });
    formLayout->addRow(reconnect);

    auto* region = new QComboBox(form);
    region->setObjectName(QStringLiteral("bandPlanRegion"));
    region->addItem(tr("Region 1: Europe, Africa, Middle East"), 1);
    region->addItem(tr("Region 2: the Americas"), 2);
    region->addItem(tr("Region 3: Asia, Pacific"), 3);
    region->setCurrentIndex(region->findData(preferences.bandPlanRegion()));
    connect(region, &QComboBox::currentIndexChanged, this,
        [this, region] { this->preferences.setBandPlanRegion(region->currentData().toInt()); });
    formLayout->addRow(tr("Band plan:"), region);
    auto* receiverBands = new QCheckBox(tr("Show the receiver's own bands"), form);
    receiverBands->setObjectName(QStringLiteral("receiverBands"));
    receiverBands->setToolTip(tr("Where a receiver sends its operator's band bars, the scale shows them instead of "
                                 "the band plan"));
    receiverBands->setChecked(preferences.receiverBands());
    connect(receiverBands, &QCheckBox::toggled, this,
        [this](bool on) { this->preferences.setReceiverBands(on); });
    formLayout->addRow(receiverBands);
    addSharingRows(*formLayout);

    auto* location = new QLineEdit(preferences.listenerLocation(), form);
    location->setObjectName(QStringLiteral("listenerLocation"));
    location->setPlaceholderText(tr("Locator or latitude, longitude"));
    location->setToolTip(tr("Where you are, for the distance and bearing of each receiver: a Maidenhead "
                            "locator such as JO62qm, or degrees such as 52.52, 13.40"));
    auto* locationProblem = new QLabel(form);
    locationProblem->setObjectName(QStringLiteral("listenerLocationProblem"));
    locationProblem->setTextFormat(Qt::PlainText);
    const auto checkLocation = [location, locationProblem] {
        const QString text = location->text().trimmed();
        locationProblem->setText(text.isEmpty() || readListenerPosition(text)
                ? QString()
                : tr("This is neither a locator nor a latitude and longitude."));
        locationProblem->setVisible(!locationProblem->text().isEmpty());
    };
    connect(location, &QLineEdit::textChanged, this, checkLocation);
    connect(location, &QLineEdit::editingFinished, this,
        [this, location] { this->preferences.setListenerLocation(location->text()); });
    checkLocation();
    auto* locationLabel = new QLabel(tr("Your Location"), form);
    locationLabel->setBuddy(location);
    formLayout->addRow(locationLabel, location);
    formLayout->addRow(locationProblem);
    QDialogButtonBox* buttons = addCloseButtons(*this);

    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(form);
    layout->addWidget(buttons);

    connect(&settings, &AudioOutputSettings::devicesChanged, this, &SettingsWindow::refreshOptions);
    connect(&settings, &AudioOutputSettings::selectedUIDChanged, this, [this] {
        testTone.stop();
        showToneState();
        refreshOptions();
    });
    refreshOptions();
}

void SettingsWindow::addRecordingRows(QFormLayout& form)
{
    auto* formats = new QComboBox(form.parentWidget());
    formats->setObjectName(QStringLiteral("recordingFormat"));
    formats->addItem(tr("WAV"), QVariant::fromValue(RecordingFormat::wav));
    formats->addItem(tr("FLAC (about half the size)"), QVariant::fromValue(RecordingFormat::flac));
    formats->setCurrentIndex(formats->findData(QVariant::fromValue(preferences.recordingFormat())));
    connect(formats, &QComboBox::currentIndexChanged, this, [this, formats] {
        preferences.setRecordingFormat(formats->currentData().value<RecordingFormat>());
    });
    auto* formatLabel = new QLabel(tr("Recording Format"), form.parentWidget());
    formatLabel->setBuddy(formats);
    form.addRow(formatLabel, formats);

    auto* folder = new QWidget(form.parentWidget());
    auto* folderRow = new QHBoxLayout(folder);
    folderRow->setContentsMargins(0, 0, 0, 0);
    // The folder in use is the value, the music folder too when none was chosen.
    const QString musicFolder = QDir::toNativeSeparators(RecordingController::defaultFolder());
    recordingFolder = new QLineEdit(
        preferences.recordingFolder().isEmpty() ? musicFolder : preferences.recordingFolder(), folder);
    recordingFolder->setObjectName(QStringLiteral("recordingFolder"));
    recordingFolder->setPlaceholderText(musicFolder);
    recordingFolder->setToolTip(tr("Where recordings go; left empty, your music folder"));
    connect(recordingFolder, &QLineEdit::editingFinished, this, [this, musicFolder] {
        const QString chosen = recordingFolder->text().trimmed();
        // The music folder stays the default, wherever it moves.
        preferences.setRecordingFolder(chosen == musicFolder ? QString() : chosen);
        showFolderNote();
    });
    auto* choose = new QPushButton(tr("Choose…"), folder);
    choose->setObjectName(QStringLiteral("chooseRecordingFolder"));
    connect(choose, &QPushButton::clicked, this, &SettingsWindow::chooseRecordingFolder);
    folderRow->addWidget(recordingFolder, 1);
    folderRow->addWidget(choose);
    auto* folderLabel = new QLabel(tr("Recording Folder"), form.parentWidget());
    folderLabel->setBuddy(recordingFolder);
    form.addRow(folderLabel, folder);
    folderNote = new QLabel(tr("Farlisten makes this folder when it first records."), form.parentWidget());
    folderNote->setObjectName(QStringLiteral("recordingFolderNote"));
    QSizePolicy keepRoom = folderNote->sizePolicy();
    keepRoom.setRetainSizeWhenHidden(true);
    folderNote->setSizePolicy(keepRoom);
    form.addRow(QString(), folderNote);
    showFolderNote();
}

void SettingsWindow::showFolderNote()
{
    const QString chosen = recordingFolder->text().trimmed();
    folderNote->setVisible(!QDir(chosen.isEmpty() ? RecordingController::defaultFolder() : chosen).exists());
}

void SettingsWindow::addSharingRows(QFormLayout& form)
{
    QWidget* parent = form.parentWidget();
    const auto checkBox = [this, parent, &form](const QString& name, const QString& text, const QString& tip, bool on,
                              void (Preferences::*set)(bool)) {
        auto* box = new QCheckBox(text, parent);
        box->setObjectName(name);
        box->setToolTip(tip);
        box->setChecked(on);
        connect(box, &QCheckBox::toggled, &preferences, set);
        form.addRow(box);
        return box;
    };
    QCheckBox* share = checkBox(QStringLiteral("shareWithPrograms"), tr("Share with other programs"),
        tr("Each main window offers its sound as a capture source and its tuning over rigctl, for WSJT-X, fldigi "
           "and other radio programs"),
        preferences.shareWithPrograms(), &Preferences::setShareWithPrograms);
    QCheckBox* tools = checkBox(QStringLiteral("shareListeningTools"), tr("The shared sound passes the listening tools"),
        tr("Unticked, other programs hear the receiver's sound as it arrives, which suits decoders best"),
        preferences.shareListeningTools(), &Preferences::setShareListeningTools);
    QCheckBox* network = checkBox(QStringLiteral("rigctlFromOtherComputers"),
        tr("Let other computers tune over rigctl"),
        tr("Unticked, only programs on this computer reach the rigctl ports"), preferences.rigctlFromOtherComputers(),
        &Preferences::setRigctlFromOtherComputers);
    auto* warning = plainTextLabel(TextStyle::caption, parent,
        tr("Anyone who can reach this computer's rigctl ports can retune the receiver."));
    warning->setObjectName(QStringLiteral("rigctlWarning"));
    warning->setWordWrap(true);
    form.addRow(warning);
    const auto refresh = [share, tools, network, warning, this] {
        share->setChecked(preferences.shareWithPrograms());
        tools->setEnabled(share->isChecked());
        network->setEnabled(share->isChecked());
        warning->setVisible(network->isChecked());
    };
    connect(&preferences, &Preferences::changed, this, refresh);
    refresh();
}

void SettingsWindow::chooseRecordingFolder()
{
    const QString start = recordingFolder->text().trimmed().isEmpty() ? recordingFolder->placeholderText()
                                                                      : recordingFolder->text().trimmed();
    const QString chosen = QFileDialog::getExistingDirectory(this, tr("Recording Folder"), start);
    if (chosen.isEmpty())
        return;
    recordingFolder->setText(QDir::toNativeSeparators(chosen));
    preferences.setRecordingFolder(chosen);
    showFolderNote();
}

void SettingsWindow::showToneState()
{
    tonePlaying->setVisible(testTone.isPlaying());
}

void SettingsWindow::hideEvent(QHideEvent* event)
{
    testTone.stop();
    showToneState();
    QWidget::hideEvent(event);
}

QList<SettingsWindow::Option> SettingsWindow::currentOptions() const
{
    QList<Option> options{{tr("System Default"), QString()}};
    const QList<AudioOutputDevice> devices = settings.devices();
    for (const AudioOutputDevice& device : devices)
        options.append({device.name, device.uid});
    // A chosen device that went away while the program runs stays chosen.
    const QString selected = settings.selectedUID();
    const bool present = std::any_of(devices.cbegin(), devices.cend(),
                                     [&](const AudioOutputDevice& device) { return device.uid == selected; });
    if (!selected.isEmpty() && !present)
        options.append({tr("Unavailable Device"), selected});
    return options;
}

// The buttons are kept and relabelled rather than made anew; only surplus
// ones at the end are removed. A clicked button is never among those: the
// choice it makes is always still on offer.
void SettingsWindow::refreshOptions()
{
    const QList<Option> options = currentOptions();
    if (options != shownOptions) {
        while (optionButtons.size() > options.size()) {
            QRadioButton* surplus = optionButtons.takeLast();
            optionGroup->removeButton(surplus);
            delete surplus;
        }
        while (optionButtons.size() < options.size()) {
            auto* button = new QRadioButton(optionList->parentWidget());
            const qsizetype place = optionButtons.size();
            connect(button, &QRadioButton::toggled, this, [this, place](bool checked) {
                if (checked && place < shownOptions.size())
                    settings.setSelectedUID(shownOptions[place].uid);
            });
            optionGroup->addButton(button);
            optionList->addWidget(button);
            optionButtons.append(button);
        }
        shownOptions = options;
        for (qsizetype place = 0; place < options.size(); ++place)
            optionButtons[place]->setText(verbatimActionText(options[place].label));
    }
    const QString selected = settings.selectedUID();
    for (qsizetype place = 0; place < shownOptions.size(); ++place) {
        if (shownOptions[place].uid == selected) {
            optionButtons[place]->setChecked(true);
            break;
        }
    }
}
