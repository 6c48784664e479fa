#pragma once
// Help > Keys and Mouse: every key and mouse action of a main window, the
// table the README and the manual page give, in the user's language; and
// where Help > First Steps finds the README.

#include <QList>
#include <QString>
#include <QUrl>
#include <QWidget>

struct KeyAction {
    QString keyOrMouse;
    QString does;
};
// In the user's language.
QList<KeyAction> keysAndMouse();

// The README installed beside the program, else the one of the source tree
// it was built from; empty when neither is there.
QUrl firstStepsURL();

class KeysAndMouseWindow : public QWidget {
    Q_OBJECT
public:
    explicit KeysAndMouseWindow(QWidget* parent = nullptr);
};
