#pragma once
// What the receiver says about itself: its name as a title over a table of
// labels and values, redrawn whenever the session's description changes.

#include <QWidget>

class KiwiSDRClient;
class QLabel;

class ReceiverInfoView : public QWidget {
    Q_OBJECT
public:
    explicit ReceiverInfoView(KiwiSDRClient& client, QWidget* parent = nullptr);

private:
    void refresh();

    KiwiSDRClient& m_client;
    QLabel* m_title;
    QWidget* m_grid;
};
