#pragma once
// What the receiver says about itself: its name as a title over a table of
// labels and values, redrawn whenever the session's description changes.
// When the connection ends, the last description stays, marked with the time
// it ended, until another connection is up.

#include <QDateTime>
#include <QWidget>

#include "display/ReceiverInfoRows.h"
#include "model/ReceiverModel.h"

#include <optional>

class ReceiverClient;
class QLabel;

class ReceiverInfoView : public QWidget {
    Q_OBJECT
public:
    explicit ReceiverInfoView(ReceiverClient& client, QWidget* parent = nullptr);

private:
    void stateChanged();
    void refresh();

    ReceiverClient& m_client;
    QLabel* m_title;
    QLabel* m_asOf;
    QWidget* m_grid;
    // The description while connected; that of the connection that ended,
    // and when.
    ReceiverInfo m_lastConnected;
    std::optional<ReceiverInfo> m_kept;
    QDateTime m_endedAt;
    bool m_wasConnected = false;
    // What the view shows now.
    struct Shown {
        QString title;
        std::optional<QString> asOf;
        QList<ReceiverInfoRow> rows;
        friend bool operator==(const Shown&, const Shown&) = default;
    };
    Shown m_shown;
};
