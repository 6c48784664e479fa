#pragma once
// The whole content of a main window as one focusable view. It takes the
// window's focus without drawing a focus ring and turns the six tuning keys
// into tuning steps while the session is connected; every other press, and
// every press with Control, Alt or Meta, passes on to the window and menus.

#include <QWidget>

class ReceiverClient;

class MainWindowContent : public QWidget {
    Q_OBJECT
public:
    explicit MainWindowContent(ReceiverClient& client, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ReceiverClient& m_client;
};
