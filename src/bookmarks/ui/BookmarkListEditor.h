#pragma once
// What the two editor windows share: the list of rows under column headers
// over a stored bookmark list, the empty-state panel over it, the toolbar
// with "Delete" (also the Delete key) and "Undo Delete" (Ctrl+Z), a line for
// plain messages, and "Close" (also Escape and Ctrl+W). "Import…" and
// "Export…" read and write the list as a file (JSON or CSV); an import says
// what it adds and waits for "Add" before the list changes.

#include "bookmarks/BookmarkFiles.h"

#include <QByteArray>
#include <QMainWindow>
#include <QSize>
#include <QString>

#include <functional>

class BookmarkListModel;
class BookmarkTableView;
class EmptyStatePanel;
class QGridLayout;
class QLabel;
class QToolBar;

struct EmptyState {
    QString title;
    QString description;
};

class BookmarkListEditor : public QMainWindow {
    Q_OBJECT
public:
    // Writes the whole list, as JSON when the name ends in ".json" and as CSV
    // otherwise; the message line says how it went.
    void exportTo(const QString& path);
    // Reads the file (no more than the largest file taken) and opens the
    // window-modal "importConfirmation" box, or says plainly why not.
    void importFrom(const QString& path);

protected:
    struct ImportOffer {
        qsizetype added = 0;
        qsizetype merged = 0;
        QString problem;
        // Adds what the file holds that the list lacks by then; gives how many.
        std::function<qsizetype()> apply;
    };

    virtual QByteArray fileText(BookmarkFileFormat format) const = 0;
    virtual ImportOffer offerImport(const QByteArray& data) const = 0;

    // The offer for a persisted list model and a reader of BookmarkFiles.
    template <typename Model, typename Read>
    static ImportOffer offerFor(Model* model, const QByteArray& data, Read read)
    {
        const auto result = read(data, model->current());
        return {result.added.items.size(), result.merged, result.problem, [model, data, read] {
                    const auto again = read(data, model->current());
                    if (!again.problem.isEmpty())
                        return qsizetype(0);
                    model->appendAll(again.added);
                    return again.added.items.size();
                }};
    }

    BookmarkListEditor(BookmarkListModel* model, const QString& title, const EmptyState& empty,
                       QSize minimumContentSize, QWidget* parent);

    // Removes the selected rows; with nothing selected nothing changes.
    // Afterwards no row is selected or current.
    void deleteSelected();
    // Puts back the rows of the latest delete not yet undone.
    void undoDelete();
    // Shows the text plainly under the list; empty text hides the line.
    void showMessage(const QString& text);

    void keyPressEvent(QKeyEvent* event) override;

    BookmarkListModel* model;
    BookmarkTableView* view;
    QToolBar* toolBar;
    QAction* deleteAction;
    QAction* undoAction;
    // Rows under the list (row 1 on) are the subclass's.
    QGridLayout* contentLayout;

private:
    void refresh();
    void chooseImport();
    void chooseExport();

    EmptyStatePanel* emptyPanel;
    QLabel* message;
    QList<std::function<void()>> undoDeletes;
};
