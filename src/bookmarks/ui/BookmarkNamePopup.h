#pragma once
// The small popup after a frequency bookmark was added: a field for its
// name. Return keeps the typed name (blank text keeps the default title);
// Escape or a click elsewhere keeps the default title.

#include <QFrame>
#include <QUuid>

class Preferences;
class QLineEdit;

class BookmarkNamePopup : public QFrame {
    Q_OBJECT
public:
    // `defaultTitle` is what the bookmark is called without a name; the name
    // goes to the bookmark kept in `preferences`.
    BookmarkNamePopup(Preferences& preferences, const QUuid& bookmarkID, const QString& defaultTitle,
                      QWidget* parent = nullptr);

    QLineEdit* field() const { return m_field; }

    // Opens a popup for the bookmark below the anchor, deleted once closed.
    static BookmarkNamePopup* open(Preferences& preferences, const QUuid& bookmarkID, const QString& defaultTitle,
                                   QWidget* anchor);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void keepName();

    Preferences& m_preferences;
    QUuid m_bookmarkID;
    QLineEdit* m_field;
};
