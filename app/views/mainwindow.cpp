#include "mainwindow.h"

MainWindow::MainWindow(QWidget *parent) : QMainWindow(parent)
{
    setWindowTitle(QStringLiteral("Tallowmere"));
    setMinimumSize(minimumWindowSize);
    resize(minimumWindowSize);
}
