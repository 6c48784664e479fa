#include "bookmarks/ui/BookmarkNamePopup.h"

#include "settings/Preferences.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

constexpr int fieldWidth = 260;
// Names longer than this are no titles a menu could show.
constexpr int maxNameLength = 200;

} // namespace

BookmarkNamePopup::BookmarkNamePopup(Preferences& preferences, const QUuid& bookmarkID, const QString& defaultTitle,
                                     QWidget* parent)
    : QFrame(parent, Qt::Popup)
    , m_preferences(preferences)
    , m_bookmarkID(bookmarkID)
{
    setObjectName(QStringLiteral("bookmarkNamePopup"));
    setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(this);
    auto* label = new QLabel(tr("Bookmark added. Name it:"), this);
    label->setTextFormat(Qt::PlainText);
    m_field = new QLineEdit(this);
    m_field->setPlaceholderText(defaultTitle);
    m_field->setMaxLength(maxNameLength);
    m_field->setMinimumWidth(fieldWidth);
    auto* hint = new QLabel(tr("Return keeps the name, Escape keeps \"%1\".").arg(defaultTitle), this);
    hint->setTextFormat(Qt::PlainText);
    hint->setEnabled(false);
    column->addWidget(label);
    column->addWidget(m_field);
    column->addWidget(hint);
    connect(m_field, &QLineEdit::returnPressed, this, &BookmarkNamePopup::keepName);
}

BookmarkNamePopup* BookmarkNamePopup::open(Preferences& preferences, const QUuid& bookmarkID,
                                           const QString& defaultTitle, QWidget* anchor)
{
    auto* popup = new BookmarkNamePopup(preferences, bookmarkID, defaultTitle, anchor);
    popup->setAttribute(Qt::WA_DeleteOnClose);
    popup->adjustSize();
    popup->move(anchor->mapToGlobal(QPoint(0, anchor->height())));
    popup->show();
    popup->m_field->setFocus(Qt::PopupFocusReason);
    return popup;
}

void BookmarkNamePopup::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape) {
        close();
        return;
    }
    QFrame::keyPressEvent(event);
}

void BookmarkNamePopup::keepName()
{
    const QString name = m_field->text();
    m_preferences.setFrequencyBookmarkName(m_bookmarkID, name.trimmed().isEmpty() ? QString() : name);
    close();
}
