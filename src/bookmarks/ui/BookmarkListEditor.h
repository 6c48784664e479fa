#pragma once
// What the two editor windows share: the list of rows over a stored bookmark
// list, the empty-state panel over it, and the toolbar with "Delete", which
// the Delete key also triggers.

#include <QMainWindow>
#include <QSize>
#include <QString>

class BookmarkListModel;
class BookmarkTableView;
class EmptyStatePanel;
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
    void deleteSelected();

    BookmarkListModel* model;
    BookmarkTableView* view;
    QToolBar* toolBar;
    QAction* deleteAction;

private:
    void refresh();

    EmptyStatePanel* emptyPanel;
};
