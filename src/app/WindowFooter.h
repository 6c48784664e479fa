#pragma once
// The line at the foot of a main window, for a glance: the time in UTC, how
// much sound waits to be played, how fast the receiver's data arrives, and,
// where the server tells them, its listeners and its load. Read once a second.

#include <QElapsedTimer>
#include <QTimer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

class AudioPlayer;
class QDateTime;
class QLabel;
class ReceiverClient;
struct ReceiverInfo;
struct ReceiverLoad;

// The footer's texts; each empty when there is nothing to say.
struct FooterTexts {
    QString clock;
    QString buffer;
    QString rate;
    QString users;
    QString load;
};
// `bufferMs` none while nothing plays; `bytesPerSecond` none while not connected.
FooterTexts footerTexts(const QDateTime& utc, std::optional<double> bufferMs, std::optional<double> bytesPerSecond,
    const ReceiverInfo& info, const ReceiverLoad& load);

class WindowFooter : public QWidget {
    Q_OBJECT
public:
    WindowFooter(ReceiverClient& client, std::shared_ptr<AudioPlayer> player, QWidget* parent = nullptr);

    const FooterTexts& texts() const { return m_texts; }

private:
    void refresh();

    ReceiverClient& m_client;
    const std::shared_ptr<AudioPlayer> m_player;
    QTimer m_timer;
    // The bytes counted at the last refresh, and since when.
    std::uint64_t m_lastBytes = 0;
    QElapsedTimer m_sinceLast;
    std::optional<double> m_bytesPerSecond;
    FooterTexts m_texts;
    QLabel* m_clock;
    QLabel* m_buffer;
    QLabel* m_rate;
    QLabel* m_users;
    QLabel* m_load;
};
