#pragma once
// The whole content of a main window as one focusable view. It takes the
// window's focus without drawing a focus ring and turns the six tuning keys
// into tuning steps while the session is connected (the arrows by the mode's
// step kept in the preferences); every other press, and every press with
// Control, Alt or Meta, passes on to the window and menus.

#include <QWidget>

class Preferences;
class ReceiverClient;

class MainWindowContent : public QWidget {
    Q_OBJECT
public:
    MainWindowContent(ReceiverClient& client, const Preferences& preferences, QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    ReceiverClient& m_client;
    const Preferences& m_preferences;
};
