#pragma once
// What a main window offers when a receiver answers "Bad password": first
// the password kept in the desktop keyring for that receiver, if any; then a
// password field and Send Password, which stay while a password is tried. A password the receiver accepted is kept in the
// keyring; without a keyring the prompt says why it will ask each time. Over
// plain http it says that the password travels unencrypted.

#include <QString>
#include <QWidget>

#include <memory>

class AddressBar;
class ReceiverClient;
class PasswordStore;
class QLabel;
class QLineEdit;
class QPushButton;

class PasswordPrompt : public QWidget {
    Q_OBJECT
public:
    PasswordPrompt(ReceiverClient& client, AddressBar& addressBar, std::shared_ptr<PasswordStore> passwords,
                   QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }
    QPushButton* connectButton() const { return m_connectButton; }
    QLabel* note() const { return m_note; }

private:
    enum class Source { none, keyring, typed };

    void stateChanged();
    // Shown, and the address bar's Try Again left to the prompt, or neither.
    void setAsking(bool asking);
    // While a password is being tried, neither field nor button takes another.
    void setTrying(bool trying);
    void refused();
    void ask(const QString& keyringProblem);
    void connectWith(const QString& password, Source source);

    ReceiverClient& m_client;
    AddressBar& m_addressBar;
    std::shared_ptr<PasswordStore> m_passwords;
    QLabel* m_note;
    QLineEdit* m_field;
    QPushButton* m_connectButton;
    // The password of the connection under way and where it came from.
    QString m_password;
    Source m_source = Source::none;
    bool m_connectingOurselves = false;
    // Whether the keyring was tried for the address of this attempt.
    bool m_keyringTried = false;
};
