#pragma once

#include <QMainWindow>

// One receiver window. It grows the address bar, tuning panel and waterfall
// in later steps; for now it is the empty frame they will live in.
class MainWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit MainWindow(QWidget* parent = nullptr);
};
