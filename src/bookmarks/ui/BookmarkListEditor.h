#pragma once
// What the two editor windows share: the list of rows under column headers
// over a stored bookmark list, the empty-state panel over it, the toolbar
// with "Delete" (also the Delete key) and "Undo Delete" (Ctrl+Z), a line for
// plain messages, and "Close" (also Escape and Ctrl+W).

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
protected:
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

    EmptyStatePanel* emptyPanel;
    QLabel* message;
    QList<std::function<void()>> undoDeletes;
};
