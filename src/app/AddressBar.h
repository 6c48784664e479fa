#pragma once
// The top row of a main window: the server address (kept in the preferences
// as the user types), a button that bookmarks it, Connect or Disconnect, the
// connection status and, after the receiver's limit on app listeners ended a
// session, "Open in Browser". While the session waits to reconnect, Cancel
// stops the waiting; after any failure, "Try Again" connects again; after
// every channel was busy, "Connect When Free" waits for one.

#include <QUrl>
#include <QWidget>

#include <functional>

class Preferences;
class ReceiverClient;
class QLineEdit;
class QPushButton;
class QToolButton;
class StatusLine;
struct ReceiverAddress;

// What the server bookmark button shows for the address in the field.
struct ServerBookmarkLook {
    QString label;
    QString iconName; // freedesktop theme name
    QString help;
    bool enabled = true;
};
ServerBookmarkLook serverBookmarkLook(bool isBookmarked, bool isAddressBlank);

class AddressBar : public QWidget {
    Q_OBJECT
public:
    using URLOpener = std::function<void(const QUrl&)>;

    AddressBar(ReceiverClient& client, Preferences& preferences, URLOpener openURL, QWidget* parent = nullptr);

    QString address() const;
    // Shows and stores the address.
    void setAddress(const QString& address);
    // Connects to the address with the password. A receiver's web-page
    // address leaves its server in the field and tunes to the page's
    // frequency, mode and zoom; otherwise the session keeps its tuning.
    void connectToAddress(const QString& password = QString());
    // The same for an address already read.
    void connectTo(const ReceiverAddress& target, const QString& password = QString());
    // Disconnect while connecting or connected, else connect.
    void toggleConnection();
    // While the password prompt asks, it offers the way to try again.
    void setPasswordAsked(bool asked);

    QLineEdit* field() const { return m_field; }
    QToolButton* bookmarkButton() const { return m_bookmarkButton; }
    QPushButton* connectButton() const { return m_connectButton; }
    StatusLine* statusLine() const { return m_status; }
    QPushButton* browserButton() const { return m_browserButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    QPushButton* tryAgainButton() const { return m_tryAgainButton; }
    QPushButton* whenFreeButton() const { return m_whenFreeButton; }

private:
    void refreshState();
    void refreshBookmark();
    void refreshBrowserButton();
    void addBookmark();

    ReceiverClient& m_client;
    Preferences& m_preferences;
    URLOpener m_openURL;
    bool m_passwordAsked = false;
    QLineEdit* m_field;
    QToolButton* m_bookmarkButton;
    QPushButton* m_connectButton;
    StatusLine* m_status;
    QPushButton* m_browserButton;
    QPushButton* m_cancelButton;
    QPushButton* m_tryAgainButton;
    QPushButton* m_whenFreeButton;
};
