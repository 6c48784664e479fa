#pragma once
// The editing fields of the bookmark rows: text fields with a placeholder
// while they are being edited (the column header names them otherwise), and
// the mode choice.

#include <QStyledItemDelegate>

class TextFieldDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    enum class Commit { everyKeystroke, whenFinished };

    TextFieldDelegate(QString placeholder, Commit commit, QObject* parent = nullptr);

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;

private:
    QString placeholder;
    Commit commit;
};

// A pop-up of the ten modes by their upper-case names; a choice is stored as
// soon as it is made.
class ModeChoiceDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model, const QModelIndex& index) const override;
};
