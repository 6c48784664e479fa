#pragma once
// The "Share with other programs" control of a main window, shown while the
// window shares: the capture source's name and the rigctl address, each
// selectable and with a Copy button, a one-line hint for WSJT-X and fldigi,
// what went wrong if anything did, and Stop Sharing.

#include <QWidget>

class Preferences;
class ProgramShare;
class QLabel;
class QLineEdit;
class QPushButton;

class SharePanel : public QWidget {
    Q_OBJECT
public:
    SharePanel(Preferences& preferences, QWidget* parent = nullptr);

    // What it shows; null hides it.
    void setShare(const ProgramShare* share);

    QLineEdit* sourceField() const { return m_source; }
    QLineEdit* rigctlField() const { return m_rigctl; }
    QLabel* problems() const { return m_problems; }

private:
    void refresh();

    const ProgramShare* m_share = nullptr;
    QLineEdit* m_source;
    QLineEdit* m_rigctl;
    QLabel* m_problems;
};
