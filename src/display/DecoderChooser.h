#pragma once
// The receiver's decoders beside the modes: a button whose menu lists them
// by name ("Off" first), those the receiver cannot run disabled with the
// reason, and the chosen one checked and named on the button. Why a decoder
// could not be chosen shows beside it for a while. Shown while the receiver
// offers decoders.

#include <QWidget>

class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class ReceiverClient;

class DecoderChooser : public QWidget {
    Q_OBJECT
public:
    static constexpr int noteMilliseconds = 6000;

    explicit DecoderChooser(ReceiverClient& client, QWidget* parent = nullptr);

    QToolButton* button() const { return m_button; }
    QMenu* menu() const { return m_menu; }
    QLabel* note() const { return m_note; }

private:
    void rebuildMenu();
    void refreshButton();
    void showError();

    ReceiverClient& m_client;
    QToolButton* m_button;
    QMenu* m_menu;
    QLabel* m_note;
    QTimer* m_noteTimer;
};
