#include "app/WindowFooter.h"

#include "audio/AudioPlayer.h"
#include "model/ReceiverModel.h"
#include "session/ReceiverClient.h"
#include "widgets/SteadyLabel.h"
#include "widgets/TextStyles.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>

#include <cmath>

FooterTexts footerTexts(const QDateTime& utc, std::optional<double> bufferMs, std::optional<double> bytesPerSecond,
    const ReceiverInfo& info, const ReceiverLoad& load)
{
    const QLocale locale;
    FooterTexts texts;
    texts.clock = QCoreApplication::translate("WindowFooter", "%1 UTC").arg(utc.toString(QStringLiteral("HH:mm:ss")));
    if (bufferMs)
        texts.buffer = QCoreApplication::translate("WindowFooter", "Sound buffer %1 ms")
                           .arg(locale.toString(std::lround(*bufferMs)));
    if (bytesPerSecond)
        texts.rate = QCoreApplication::translate("WindowFooter", "Network %1 kB/s")
                         .arg(locale.toString(*bytesPerSecond / 1000, 'f', 1));
    if (info.users && info.maxUsers)
        texts.users = QCoreApplication::translate("WindowFooter", "Users %1 of %2").arg(*info.users).arg(*info.maxUsers);
    else if (info.users)
        texts.users = QCoreApplication::translate("WindowFooter", "Users %1").arg(*info.users);
    QStringList loads;
    if (load.cpuPercent)
        loads.append(QCoreApplication::translate("WindowFooter", "CPU %1 %").arg(std::lround(*load.cpuPercent)));
    if (load.temperatureC)
        loads.append(QCoreApplication::translate("WindowFooter", "%1 °C").arg(locale.toString(*load.temperatureC, 'f', 1)));
    texts.load = loads.join(QStringLiteral(", "));
    return texts;
}

WindowFooter::WindowFooter(ReceiverClient& client, std::shared_ptr<AudioPlayer> player, QWidget* parent)
    : QWidget(parent)
    , m_client(client)
    , m_player(std::move(player))
    , m_clock(plainTextLabel(TextStyle::caption, this))
    , m_buffer(plainTextLabel(TextStyle::caption, this))
    , m_rate(plainTextLabel(TextStyle::caption, this))
    , m_users(plainTextLabel(TextStyle::caption, this))
    , m_load(plainTextLabel(TextStyle::caption, this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(18);
    for (QLabel* label : {m_clock, m_buffer, m_rate})
        row->addWidget(label);
    row->addStretch(1);
    row->addWidget(m_users);
    row->addWidget(m_load);
    for (QLabel* label : {m_clock, m_buffer, m_rate, m_users, m_load})
        useSecondaryText(*label);
    m_buffer->setToolTip(tr("Sound received and not yet played"));
    m_rate->setToolTip(tr("What the receiver's sound and waterfall take of the network"));
    m_load->setToolTip(tr("The receiver's own load, as it reports it"));

    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &WindowFooter::refresh);
    m_timer.start();
    connect(&m_client, &ReceiverClient::infoChanged, this, &WindowFooter::refresh);
    connect(&m_client, &ReceiverClient::receiverLoadChanged, this, &WindowFooter::refresh);
    connect(&m_client, &ReceiverClient::stateChanged, this, &WindowFooter::refresh);
    refresh();
}

void WindowFooter::refresh()
{
    const bool connected = m_client.state().isConnected();
    std::optional<double> bufferMs;
    const AudioPlayer::QueueState queue = m_player->queueState();
    if (connected && queue.sampleRate && *queue.sampleRate > 0)
        bufferMs = queue.queuedFrames * 1000.0 / *queue.sampleRate;

    // The rate over the last second or more, so that a refresh out of turn
    // (a new description) does not measure a burst.
    const std::uint64_t bytes = m_client.receivedBytes();
    if (!connected) {
        m_bytesPerSecond.reset();
        m_sinceLast.invalidate();
    } else if (!m_sinceLast.isValid() || m_sinceLast.elapsed() >= 900) {
        if (m_sinceLast.isValid())
            m_bytesPerSecond = double(bytes - m_lastBytes) * 1000.0 / double(m_sinceLast.elapsed());
        m_lastBytes = bytes;
        m_sinceLast.start();
    }

    m_texts = footerTexts(QDateTime::currentDateTimeUtc(), bufferMs, m_bytesPerSecond,
        connected ? m_client.info() : ReceiverInfo(), connected ? m_client.receiverLoad() : ReceiverLoad());
    const std::pair<QLabel*, const QString*> shown[] = {{m_clock, &m_texts.clock}, {m_buffer, &m_texts.buffer},
        {m_rate, &m_texts.rate}, {m_users, &m_texts.users}, {m_load, &m_texts.load}};
    for (const auto& [label, text] : shown) {
        setSteadyText(*label, *text);
        label->setVisible(!text->isEmpty());
    }
}
