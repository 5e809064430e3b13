// The main window opens at its minimum size with the program's title, and closing it ends the
// event loop.

#include "mainwindow.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensAtMinimumSize()
    {
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QCOMPARE(window.windowTitle(), QStringLiteral("Tallowmere"));
        QCOMPARE(window.minimumSize(), QSize(900, 500));
        window.resize(400, 300);
        QVERIFY(window.width() >= 900 && window.height() >= 500);
    }

    void closingQuitsTheLoop()
    {
        auto *window = new MainWindow;
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        QTimer::singleShot(0, window, &QWidget::close);
        QCOMPARE(QApplication::exec(), 0);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
