#pragma once
// What an editor shows over its list while the list is empty: an icon, a
// title and a line on how to fill the list.

#include <QWidget>

class EmptyStatePanel : public QWidget {
    Q_OBJECT
public:
    EmptyStatePanel(const QString& title, const QString& iconName, const QString& description,
                    QWidget* parent = nullptr);
};
