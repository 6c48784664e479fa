#pragma once
// The connection status beside the address: "Disconnected", a spinner with
// "Connecting…", "Connected", the failure message (at most three lines), or
// while the session waits to reconnect, the countdown to its next try, or
// how long it has waited for a free channel.

#include "app/StatusSymbols.h"
#include "model/ReceiverModel.h"
#include "session/ReconnectSchedule.h"

#include <QColor>
#include <QString>
#include <QWidget>

#include <optional>

class BusyIndicator;
class QLabel;
class StatusText;

// What the status line shows for a session state.
struct StatusLook {
    enum class Tint { secondary, green, orange };

    QString text;
    // A spinner instead of a symbol while busy.
    std::optional<StatusSymbol> symbol;
    Tint tint = Tint::secondary;
    bool busy = false;
};
// `freeChannelSeconds`: how long the session has waited for a free channel.
StatusLook statusLook(const ConnectionState& state, const std::optional<ReconnectWait>& wait = std::nullopt,
    std::optional<int> freeChannelSeconds = std::nullopt);

class StatusLine : public QWidget {
    Q_OBJECT
public:
    static constexpr int maximumLines = 3;

    explicit StatusLine(QWidget* parent = nullptr);

    void setState(const ConnectionState& state, const std::optional<ReconnectWait>& wait = std::nullopt,
        std::optional<int> freeChannelSeconds = std::nullopt);
    // A line of our own under the state (trouble with the settings file);
    // empty for none.
    void setNotice(const QString& notice);
    // Lines under that one: the programs tuning or recording the window.
    void setSharingNotice(const QString& notice);
    QString text() const;
    bool isBusy() const;

protected:
    void changeEvent(QEvent* event) override;

private:
    void refreshSymbol();

    void refreshText();

    // What the symbol's picture was drawn from.
    struct DrawnSymbol {
        StatusSymbol symbol;
        QColor color;
        int side;
        qreal pixelRatio;
        friend bool operator==(const DrawnSymbol&, const DrawnSymbol&) = default;
    };

    StatusLook m_look;
    std::optional<DrawnSymbol> m_drawnSymbol;
    QString m_failureTip;
    QString m_notice;
    QString m_sharingNotice;
    QLabel* m_symbol;
    BusyIndicator* m_busy;
    StatusText* m_text;
};
