#include "bookmarks/ui/BookmarkListEditor.h"

#include "bookmarks/ui/BookmarkListModel.h"
#include "bookmarks/ui/BookmarkTableView.h"
#include "bookmarks/ui/EmptyStatePanel.h"
#include "widgets/Icons.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
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
    toolBar->addSeparator();

    auto* importAction = new QAction(themedIcon(QStringLiteral("document-open")), tr("Import\u2026"), this);
    importAction->setObjectName(QStringLiteral("importAction"));
    importAction->setToolTip(tr("Add the entries of a JSON or CSV file"));
    connect(importAction, &QAction::triggered, this, &BookmarkListEditor::chooseImport);
    toolBar->addAction(importAction);
    auto* exportAction = new QAction(themedIcon(QStringLiteral("document-save-as")), tr("Export\u2026"), this);
    exportAction->setObjectName(QStringLiteral("exportAction"));
    exportAction->setToolTip(tr("Save the list as a JSON or CSV file"));
    connect(exportAction, &QAction::triggered, this, &BookmarkListEditor::chooseExport);
    toolBar->addAction(exportAction);

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

void BookmarkListEditor::chooseImport()
{
    const QString path = QFileDialog::getOpenFileName(this, tr("Import"), QString(),
                                                      tr("Bookmark files (*.json *.csv);;All files (*)"));
    if (!path.isEmpty())
        importFrom(path);
}

void BookmarkListEditor::chooseExport()
{
    const QString jsonFilter = tr("Farlisten bookmarks (*.json)");
    QString filter = jsonFilter;
    QString path = QFileDialog::getSaveFileName(this, tr("Export"), QString(),
                                                jsonFilter + QStringLiteral(";;") + tr("CSV (*.csv)"), &filter);
    if (path.isEmpty())
        return;
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QStringLiteral("json") && suffix != QStringLiteral("csv"))
        path += filter == jsonFilter ? QStringLiteral(".json") : QStringLiteral(".csv");
    exportTo(path);
}

void BookmarkListEditor::exportTo(const QString& path)
{
    QSaveFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::WriteOnly) || file.write(fileText(BookmarkFiles::formatForPath(path))) < 0
        || !file.commit()) {
        showMessage(tr("Could not write %1: %2").arg(name, file.errorString()));
        return;
    }
    showMessage(tr("Entries saved to %2: %1.").arg(model->rowCount()).arg(name));
}

void BookmarkListEditor::importFrom(const QString& path)
{
    QFile file(path);
    const QString name = QFileInfo(path).fileName();
    if (!file.open(QIODevice::ReadOnly)) {
        showMessage(tr("Could not read %1: %2").arg(name, file.errorString()));
        return;
    }
    // One byte past the limit is enough to refuse a larger file.
    const ImportOffer offer = offerImport(file.read(BookmarkFiles::maxFileBytes + 1));
    if (!offer.problem.isEmpty()) {
        showMessage(tr("Nothing imported from %1. %2").arg(name, offer.problem));
        return;
    }
    if (offer.added == 0) {
        showMessage(tr("Nothing new in %1: every entry is in the list already.").arg(name));
        return;
    }
    auto* box = new QMessageBox(QMessageBox::Question, tr("Import"),
                                tr("New in %1: %2. Merged as already listed or repeated: %3.")
                                    .arg(name, QString::number(offer.added), QString::number(offer.merged)),
                                QMessageBox::Cancel, this);
    box->setObjectName(QStringLiteral("importConfirmation"));
    box->setTextFormat(Qt::PlainText);
    box->setAttribute(Qt::WA_DeleteOnClose);
    QPushButton* add = box->addButton(tr("Add"), QMessageBox::AcceptRole);
    box->setDefaultButton(add);
    connect(add, &QPushButton::clicked, this, [this, apply = offer.apply] {
        showMessage(tr("Entries added: %1.").arg(apply()));
    });
    box->open();
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
