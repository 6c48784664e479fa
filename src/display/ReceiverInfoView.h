#pragma once
// What the receiver says about itself: its name as a title over a table of
// labels and values, redrawn whenever the session's description changes.

#include <QWidget>

class ReceiverClient;
class QLabel;

class ReceiverInfoView : public QWidget {
    Q_OBJECT
public:
    explicit ReceiverInfoView(ReceiverClient& client, QWidget* parent = nullptr);

private:
    void refresh();

    ReceiverClient& m_client;
    QLabel* m_title;
    QWidget* m_grid;
};
