#include "app/RecordingControl.h"

#include "app/RecordingController.h"
#include "widgets/TextStyles.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QToolButton>

#include <cmath>
#include <utility>

namespace {

const QColor recordingRed(0xd7, 0x26, 0x26);
const QColor warningOrange(0xd9, 0x6c, 0x00);

QPixmap redDot(int side, qreal devicePixelRatio)
{
    QPixmap pixmap(QSize(side, side) * devicePixelRatio);
    pixmap.setDevicePixelRatio(devicePixelRatio);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(recordingRed);
    painter.drawEllipse(QRectF(side * 0.15, side * 0.15, side * 0.7, side * 0.7));
    return pixmap;
}

} // namespace

QString recordingTimeText(double seconds)
{
    const auto whole = std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(seconds) : 0LL;
    return QStringLiteral("%1:%2:%3")
        .arg(whole / 3600)
        .arg(whole / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(whole % 60, 2, 10, QLatin1Char('0'));
}

QString shownPath(const QString& path)
{
    const QString home = QDir::homePath();
    if (path.startsWith(home + u'/'))
        return QStringLiteral("~") + path.mid(home.size());
    return path;
}

RecordingControl::RecordingControl(RecordingController& recording, QAction* recordAction, FolderOpener openFolder,
    QWidget* parent)
    : QWidget(parent)
    , m_recording(recording)
    , m_action(recordAction)
    , m_button(new QToolButton(this))
    , m_indicator(new QLabel(this))
    , m_time(plainTextLabel(TextStyle::body, this))
    , m_size(plainTextLabel(TextStyle::body, this))
    , m_message(plainTextLabel(TextStyle::callout, this))
    , m_recorded(new QToolButton(this))
    , m_openFolder(std::move(openFolder))
{
    const int side = fontMetrics().height();
    m_action->setIcon(QIcon(redDot(side, devicePixelRatioF())));
    m_button->setObjectName(QStringLiteral("recordButton"));
    m_button->setDefaultAction(m_action);
    m_button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_button->setFocusPolicy(Qt::TabFocus);

    m_indicator->setObjectName(QStringLiteral("recordingIndicator"));
    m_indicator->setPixmap(redDot(side, devicePixelRatioF()));
    m_indicator->setAccessibleName(tr("Recording"));
    m_time->setObjectName(QStringLiteral("recordingTime"));
    m_size->setObjectName(QStringLiteral("recordingSize"));
    useSecondaryText(*m_size);
    m_message->setObjectName(QStringLiteral("recordingMessage"));
    // One line, the middle left out when long: the row never grows.
    m_messageWidth = fontMetrics().horizontalAdvance(QLatin1Char('x')) * 48;
    m_message->setMaximumWidth(m_messageWidth);
    m_recorded->setObjectName(QStringLiteral("recordedFile"));
    m_recorded->setAutoRaise(true);
    m_recorded->setToolButtonStyle(Qt::ToolButtonTextOnly);
    m_recorded->setFocusPolicy(Qt::TabFocus);
    m_recorded->setFont(textStyleFont(TextStyle::callout));
    connect(m_recorded, &QToolButton::clicked, this, [this] {
        if (m_openFolder && !m_recording.path().isEmpty())
            m_openFolder(QUrl::fromLocalFile(QFileInfo(m_recording.path()).absolutePath()));
    });

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(6);
    row->addWidget(m_button, 0, Qt::AlignVCenter);
    row->addWidget(m_indicator, 0, Qt::AlignVCenter);
    row->addWidget(m_time, 0, Qt::AlignVCenter);
    row->addWidget(m_size, 0, Qt::AlignVCenter);
    row->addWidget(m_message, 0, Qt::AlignVCenter);
    row->addWidget(m_recorded, 0, Qt::AlignVCenter);

    connect(&m_recording, &RecordingController::changed, this, &RecordingControl::refresh);
    refresh();
}

void RecordingControl::refresh()
{
    const bool recording = m_recording.isRecording();
    m_action->setEnabled(recording || m_recording.canRecord());
    m_action->setChecked(recording);
    m_action->setText(recording ? tr("Stop &Recording") : tr("&Record"));
    m_action->setToolTip(recording ? tr("Stop recording (Ctrl+R)") : tr("Record what you hear (Ctrl+R)"));

    m_indicator->setVisible(recording);
    m_time->setVisible(recording);
    m_size->setVisible(recording);
    const SoundRecorder::Status& status = m_recording.status();
    m_time->setText(recordingTimeText(status.seconds));
    m_size->setText(QLocale().formattedDataSize(qint64(std::min<std::uint64_t>(status.bytes, INT64_MAX)), 1,
        QLocale::DataSizeSIFormat));

    const QString& problem = m_recording.problem();
    const QFontMetrics metrics(m_message->font());
    m_message->setText(metrics.elidedText(problem, Qt::ElideRight, m_messageWidth));
    m_message->setToolTip(problem.isEmpty() ? QString() : QStringLiteral("<p>%1</p>").arg(problem.toHtmlEscaped()));
    m_message->setVisible(!problem.isEmpty());
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, warningOrange);
    m_message->setPalette(palette);

    const bool recorded = problem.isEmpty() && !recording && status.finished && status.bytes > 0;
    const QString where = tr("Recorded to %1").arg(shownPath(m_recording.path()));
    m_recorded->setText(QFontMetrics(m_recorded->font()).elidedText(where, Qt::ElideMiddle, m_messageWidth));
    m_recorded->setToolTip(QStringLiteral("<p>%1</p>")
            .arg(tr("%1. Click to open the folder.").arg(shownPath(m_recording.path())).toHtmlEscaped()));
    m_recorded->setAccessibleName(where);
    m_recorded->setVisible(recorded);
}
