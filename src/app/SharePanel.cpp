#include "app/SharePanel.h"

#include "audio/CaptureSource.h"
#include "settings/Preferences.h"
#include "sharing/ProgramShare.h"
#include "widgets/TextStyles.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

constexpr int fieldWidth = 260;

// A field to select from and a button that copies all of it.
QLineEdit* copyableField(const QString& name, const QString& label, QGridLayout& grid, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    field->setMinimumWidth(fieldWidth);
    field->setAccessibleName(label);
    auto* copy = new QPushButton(SharePanel::tr("Copy"), parent);
    copy->setObjectName(name + QStringLiteral("Copy"));
    copy->setToolTip(SharePanel::tr("Copy “%1” to the clipboard").arg(label));
    QObject::connect(copy, &QPushButton::clicked, field, [field] {
        if (!field->text().isEmpty())
            QGuiApplication::clipboard()->setText(field->text());
    });
    const int row = grid.rowCount();
    auto* title = new QLabel(label, parent);
    title->setBuddy(field);
    grid.addWidget(title, row, 0);
    grid.addWidget(field, row, 1);
    grid.addWidget(copy, row, 2);
    return field;
}

} // namespace

SharePanel::SharePanel(Preferences& preferences, QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("sharePanel"));
    auto* title = plainTextLabel(TextStyle::headline, this, tr("Share with other programs"));
    auto* stop = new QPushButton(tr("Stop Sharing"), this);
    stop->setObjectName(QStringLiteral("stopSharing"));
    connect(stop, &QPushButton::clicked, this, [&preferences] { preferences.setShareWithPrograms(false); });

    auto* grid = new QGridLayout;
    grid->setContentsMargins(0, 0, 0, 0);
    m_source = copyableField(QStringLiteral("shareSource"), tr("Sound source"), *grid, this);
    m_rigctl = copyableField(QStringLiteral("shareRigctl"), tr("Tuning (rigctl)"), *grid, this);
    grid->setColumnStretch(3, 1);

    auto* hint = plainTextLabel(TextStyle::caption, this,
        tr("In WSJT-X or fldigi, choose the rig \u201cHamlib NET rigctl\u201d at this address and this sound source "
           "as the input; Mute and Volume act on the speaker only."));
    hint->setWordWrap(true);
    useSecondaryText(*hint);
    m_problems = plainTextLabel(TextStyle::caption, this);
    m_problems->setObjectName(QStringLiteral("shareProblems"));
    m_problems->setWordWrap(true);

    auto* titleRow = new QHBoxLayout;
    titleRow->addWidget(title);
    titleRow->addStretch(1);
    titleRow->addWidget(stop);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(titleRow);
    column->addLayout(grid);
    column->addWidget(hint);
    column->addWidget(m_problems);
    hide();
}

void SharePanel::setShare(const ProgramShare* share)
{
    if (m_share)
        disconnect(m_share, nullptr, this, nullptr);
    m_share = share;
    if (m_share)
        connect(m_share, &ProgramShare::changed, this, &SharePanel::refresh);
    refresh();
}

void SharePanel::refresh()
{
    setVisible(m_share != nullptr);
    if (!m_share)
        return;
    QStringList problems;
    m_source->clear();
    m_source->setToolTip(QString());
    if (const CaptureSource* source = m_share->source()) {
        const CaptureSource::State& state = source->state();
        switch (state.kind) {
        case CaptureSource::State::Kind::closed:
            m_source->setPlaceholderText(tr("Appears once a receiver is connected"));
            break;
        case CaptureSource::State::Kind::opening:
            m_source->setPlaceholderText(tr("Being made\u2026"));
            break;
        case CaptureSource::State::Kind::open:
            m_source->setText(state.name.description);
            m_source->setToolTip(tr("Programs list it by this name; parec records it with: parec -d %1")
                                     .arg(QString::fromUtf8(state.name.name)));
            break;
        case CaptureSource::State::Kind::failed:
            m_source->setPlaceholderText(tr("Not available"));
            problems.append(state.problem);
            break;
        }
    }
    m_rigctl->clear();
    if (const RigctlServer* rigctl = m_share->rigctl()) {
        if (const std::optional<quint16> port = rigctl->port()) {
            m_rigctl->setText(QStringLiteral("127.0.0.1:%1").arg(*port));
        } else {
            m_rigctl->setPlaceholderText(tr("Not available"));
            problems.append(rigctl->problem());
        }
    }
    m_problems->setText(problems.join(u'\n'));
    m_problems->setVisible(!problems.isEmpty());
}
