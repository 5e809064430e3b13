#pragma once
// The program's one window. The panes, sidebar and status bars are placed in it as they arrive.

#include <QMainWindow>

class MainWindow : public QMainWindow
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);

    static constexpr QSize minimumWindowSize{900, 500};
};
