#pragma once
// The list of an editor window: whole rows selected, several at a time,
// reordered by dragging them between other rows.

#include <QTableView>

class BookmarkTableView : public QTableView {
    Q_OBJECT
public:
    explicit BookmarkTableView(QWidget* parent = nullptr);

protected:
    void startDrag(Qt::DropActions supportedActions) override;
};
