#include "bookmarks/ui/FieldDelegates.h"

#include "model/Mode.h"

#include <QComboBox>
#include <QLineEdit>

TextFieldDelegate::TextFieldDelegate(QString placeholder, Commit commit, QObject* parent)
    : QStyledItemDelegate(parent)
    , placeholder(std::move(placeholder))
    , commit(commit)
{
}

QWidget* TextFieldDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&,
                                         const QModelIndex& index) const
{
    auto* field = new QLineEdit(parent);
    field->setPlaceholderText(placeholder);
    field->setAlignment(Qt::Alignment(index.data(Qt::TextAlignmentRole).toInt()) | Qt::AlignVCenter);
    if (commit == Commit::everyKeystroke) {
        connect(field, &QLineEdit::textEdited, this, [this, field] {
            emit const_cast<TextFieldDelegate*>(this)->commitData(field);
        });
    }
    return field;
}

void TextFieldDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    // The view hands every stored keystroke back; setting the same text again
    // would move the cursor to the end.
    auto* field = static_cast<QLineEdit*>(editor);
    const QString text = index.data(Qt::EditRole).toString();
    if (field->text() != text)
        field->setText(text);
}

void TextFieldDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    model->setData(index, static_cast<QLineEdit*>(editor)->text(), Qt::EditRole);
}

QWidget* ModeChoiceDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const
{
    auto* choice = new QComboBox(parent);
    choice->setAccessibleName(tr("Mode"));
    for (const Mode mode : allModes)
        choice->addItem(rawValue(mode).toUpper());
    connect(choice, &QComboBox::activated, this, [this, choice] {
        emit const_cast<ModeChoiceDelegate*>(this)->commitData(choice);
    });
    return choice;
}

void ModeChoiceDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const
{
    auto* choice = static_cast<QComboBox*>(editor);
    const int place = index.data(Qt::EditRole).toInt();
    if (choice->currentIndex() != place)
        choice->setCurrentIndex(place);
}

void ModeChoiceDelegate::setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const
{
    model->setData(index, static_cast<QComboBox*>(editor)->currentIndex(), Qt::EditRole);
}
