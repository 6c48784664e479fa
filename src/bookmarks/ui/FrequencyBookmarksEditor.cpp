#include "bookmarks/ui/FrequencyBookmarksEditor.h"

#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/FieldDelegates.h"
#include "bookmarks/ui/FrequencyListModel.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>

#include <algorithm>

namespace {

constexpr int frequencyWidth = 90;

} // namespace

FrequencyBookmarksEditor::FrequencyBookmarksEditor(Preferences& preferences, QWidget* parent)
    : BookmarkListEditor(new FrequencyListModel(preferences), tr("Bookmarks"),
                         {tr("No Bookmarks"), tr("Use the bookmark button next to the frequency to save it.")},
                         QSize(460, 240), parent)
{
    using Column = FrequencyListModel::Column;
    view->setItemDelegateForColumn(
        Column::titleColumn, new TextFieldDelegate(tr("Title"), TextFieldDelegate::Commit::everyKeystroke, view));
    view->setItemDelegateForColumn(
        Column::frequencyColumn,
        new TextFieldDelegate(tr("Frequency"), TextFieldDelegate::Commit::whenFinished, view));
    view->setItemDelegateForColumn(Column::modeColumn, new ModeChoiceDelegate(view));

    QHeaderView* header = view->horizontalHeader();
    header->setSectionResizeMode(Column::titleColumn, QHeaderView::Stretch);
    header->setSectionResizeMode(Column::frequencyColumn, QHeaderView::Fixed);
    header->resizeSection(Column::frequencyColumn, frequencyWidth);
    header->setSectionResizeMode(Column::unitColumn, QHeaderView::ResizeToContents);
    header->setSectionResizeMode(Column::modeColumn, QHeaderView::Fixed);
    QComboBox sample;
    for (const Mode mode : allModes)
        sample.addItem(rawValue(mode).toUpper());
    header->resizeSection(Column::modeColumn, sample.sizeHint().width());
    // Rows tall enough for the mode choice and the text fields.
    view->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    const int rowHeight = std::max(sample.sizeHint().height(), QLineEdit().sizeHint().height());
    view->verticalHeader()->setDefaultSectionSize(rowHeight);

    // The mode choice is always shown as a pop-up, not only while editing.
    connect(model, &QAbstractItemModel::modelReset, this, &FrequencyBookmarksEditor::openModeChoices);
    connect(model, &QAbstractItemModel::rowsInserted, this, &FrequencyBookmarksEditor::openModeChoices);
    openModeChoices();
}

void FrequencyBookmarksEditor::openModeChoices()
{
    for (int row = 0; row < model->rowCount(); ++row) {
        const QModelIndex index = model->index(row, FrequencyListModel::modeColumn);
        if (!view->isPersistentEditorOpen(index))
            view->openPersistentEditor(index);
    }
}

QByteArray FrequencyBookmarksEditor::fileText(BookmarkFileFormat format) const
{
    return BookmarkFiles::write(static_cast<const FrequencyListModel*>(model)->current(), format);
}

BookmarkListEditor::ImportOffer FrequencyBookmarksEditor::offerImport(const QByteArray& data) const
{
    return offerFor(static_cast<FrequencyListModel*>(model), data, &BookmarkFiles::readFrequencies);
}
