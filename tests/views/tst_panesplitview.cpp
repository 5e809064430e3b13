// The split between the two panes: dragged with the mouse, and the width it gives the left pane
// for any size and fraction. Hiding the right pane is a menu entry (tst_appmenus).

#include "panelayout.h"
#include "panesplitview.h"
#include "testdir.h"

#include <QApplication>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QTest>

class TestPaneSplitView : public QObject
{
    Q_OBJECT

    // The split on its own, between two blank panes.
    struct Split
    {
        QWidget *left = new QWidget;
        QWidget *right = new QWidget;
        PaneSplitView view{left, right};

        explicit Split(int width)
        {
            // The owner's part: take what the handle reports.
            QObject::connect(&view, &PaneSplitView::fractionDragged, &view, &PaneSplitView::setFraction);
            view.resize(width, 300);
            view.show();
        }

        void drag(int dx)
        {
            QWidget *handle = view.divider();
            const QPoint start = handle->rect().center();
            // The handle follows the divider, so positions are taken on the screen, from the press.
            const QPointF origin = handle->mapToGlobal(QPointF(start));
            QTest::mousePress(handle, Qt::LeftButton, {}, start);
            // Moves go in four small steps, as a real pointer does.
            for (int i = 1; i <= 4; ++i) {
                const QPointF global = origin + QPointF(dx * i / 4, 0);
                QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(global), global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(handle, &move);
            }
            QTest::mouseRelease(handle, Qt::LeftButton, {}, start);
        }
    };


    TestDir m_dir;

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    // Each drag starts from the fraction at its press; the divider keeps both panes at least 220
    // pixels wide, and a window too narrow for that splits evenly and ignores drags.
    void dragsAreClampedAndStartFromThePress_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<int>>("drags");
        QTest::addColumn<int>("leftWidth");
        QTest::newRow("far left") << 1000 << QList<int>{-2000} << 220;
        QTest::newRow("far right") << 1000 << QList<int>{2000} << 1000 - 220;
        QTest::newRow("a little right") << 1000 << QList<int>{100} << 600;
        QTest::newRow("twice a little right") << 1000 << QList<int>{100, 100} << 700;
        QTest::newRow("too narrow") << 400 << QList<int>{-150} << 200;
    }
    void dragsAreClampedAndStartFromThePress()
    {
        QFETCH(int, width);
        QFETCH(QList<int>, drags);
        QFETCH(int, leftWidth);
        Split split(width);
        QVERIFY(QTest::qWaitForWindowExposed(&split.view));
        // The handle sits on the line, with a cursor that says it drags sideways.
        QVERIFY(split.view.divider()->geometry().contains(QPoint(width / 2, 10)));
        QCOMPARE(split.view.divider()->cursor().shape(), Qt::SizeHorCursor);
        QSignalSpy dragged(&split.view, &PaneSplitView::fractionDragged);
        for (int dx : drags)
            split.drag(dx);
        QCOMPARE(dragged.isEmpty(), width < 2 * 220);
        QCOMPARE(split.left->width(), leftWidth);
        QCOMPARE(split.right->width(), width - leftWidth - 1);
        QCOMPARE(split.right->x(), leftWidth + 1);
    }

    // The left pane's width for any size and fraction, nonsense ones too.
    void leftWidth_data()
    {
        QTest::addColumn<double>("total");
        QTest::addColumn<double>("fraction");
        QTest::addColumn<double>("minPane");
        QTest::addColumn<double>("expected");
        QTest::newRow("half") << 1000.0 << 0.5 << 200.0 << 500.0;
        QTest::newRow("too small left") << 1000.0 << 0.1 << 200.0 << 200.0;
        QTest::newRow("too small right") << 1000.0 << 0.95 << 200.0 << 800.0;
        QTest::newRow("too narrow: even split") << 300.0 << 0.9 << 200.0 << 150.0;
        QTest::newRow("NaN fraction splits evenly") << 1000.0 << qQNaN() << 200.0 << 500.0;
    }

    void leftWidth()
    {
        QFETCH(double, total);
        QFETCH(double, fraction);
        QFETCH(double, minPane);
        QTEST(PaneLayout::leftWidth(total, fraction, minPane), "expected");
    }
};

QTEST_MAIN(TestPaneSplitView)
#include "tst_panesplitview.moc"
