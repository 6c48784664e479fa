#include "bookmarks/ui/BookmarkListEditor.h"

#include "bookmarks/ui/BookmarkListModel.h"
#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/EmptyStatePanel.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QSet>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// Deletes that can be undone, newest last; older ones are forgotten.
constexpr int maxUndoDeletes = 50;

} // namespace

BookmarkListEditor::BookmarkListEditor(BookmarkListModel* model, const QString& title, const EmptyState& empty,
                                       QSize minimumContentSize, QWidget* parent)
    : QMainWindow(parent)
    , model(model)
{
    setWindowTitle(title);
    model->setParent(this);

    auto* content = new QWidget(this);
    content->setMinimumSize(minimumContentSize);
    auto* column = new QVBoxLayout(content);
    contentLayout = new QGridLayout;
    contentLayout->setContentsMargins(0, 0, 0, 0);
    column->addLayout(contentLayout, 1);
    view = new BookmarkTableView(content);
    view->setModel(model);
    // The panel lies over the list, in the same cell of the grid.
    emptyPanel = new EmptyStatePanel(empty.title, QStringLiteral("bookmark-new"), empty.description, content);
    emptyPanel->setObjectName(QStringLiteral("emptyState"));
    contentLayout->addWidget(view, 0, 0);
    contentLayout->addWidget(emptyPanel, 0, 0, Qt::AlignCenter);

    message = new QLabel(content);
    message->setObjectName(QStringLiteral("editorMessage"));
    message->setTextFormat(Qt::PlainText);
    message->setWordWrap(true);
    message->hide();
    column->addWidget(message);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, content);
    connect(buttons, &QDialogButtonBox::rejected, this, &QWidget::close);
    column->addWidget(buttons);
    setCentralWidget(content);

    auto* closeAction = new QAction(tr("Close"), this);
    closeAction->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    connect(closeAction, &QAction::triggered, this, &QWidget::close);
    addAction(closeAction);

    deleteAction = new QAction(themedIcon(QStringLiteral("list-remove")), tr("Delete"), this);
    deleteAction->setObjectName(QStringLiteral("deleteAction"));
    deleteAction->setShortcut(QKeySequence::Delete);
    deleteAction->setToolTip(tr("Delete the selected rows"));
    connect(deleteAction, &QAction::triggered, this, &BookmarkListEditor::deleteSelected);
    view->addAction(deleteAction);
    view->setContextMenuPolicy(Qt::ActionsContextMenu);

    undoAction = new QAction(themedIcon(QStringLiteral("edit-undo")), tr("Undo Delete"), this);
    undoAction->setObjectName(QStringLiteral("undoAction"));
    undoAction->setShortcut(QKeySequence::Undo);
    undoAction->setToolTip(tr("Put back the rows deleted last"));
    connect(undoAction, &QAction::triggered, this, &BookmarkListEditor::undoDelete);
    addAction(undoAction);

    toolBar = addToolBar(tr("Edit"));
    toolBar->setMovable(false);
    toolBar->setFloatable(false);
    toolBar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    toolBar->toggleViewAction()->setVisible(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    toolBar->addAction(deleteAction);
    toolBar->addAction(undoAction);

    connect(view->selectionModel(), &QItemSelectionModel::selectionChanged, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::modelReset, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::rowsInserted, this, &BookmarkListEditor::refresh);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &BookmarkListEditor::refresh);
    refresh();
}

void BookmarkListEditor::deleteSelected()
{
    QSet<QUuid> ids;
    for (const QModelIndex& index : view->selectionModel()->selectedIndexes())
        ids.insert(model->idAt(index.row()));
    view->clearSelection();
    if (!ids.isEmpty()) {
        if (std::function<void()> undo = model->removeIds(ids)) {
            undoDeletes.append(std::move(undo));
            if (undoDeletes.size() > maxUndoDeletes)
                undoDeletes.removeFirst();
        }
    }
    // A row left current would look chosen while Delete is off.
    view->selectionModel()->setCurrentIndex({}, QItemSelectionModel::NoUpdate);
    refresh();
}

void BookmarkListEditor::undoDelete()
{
    if (undoDeletes.isEmpty())
        return;
    undoDeletes.takeLast()();
    refresh();
}

void BookmarkListEditor::showMessage(const QString& text)
{
    message->setText(text);
    message->setVisible(!text.isEmpty());
}

void BookmarkListEditor::keyPressEvent(QKeyEvent* event)
{
    // A field being edited takes Escape itself to cancel the edit.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void BookmarkListEditor::refresh()
{
    deleteAction->setEnabled(view->selectionModel()->hasSelection());
    undoAction->setEnabled(!undoDeletes.isEmpty());
    emptyPanel->setVisible(model->rowCount() == 0);
}
