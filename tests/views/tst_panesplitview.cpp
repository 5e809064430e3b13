// The split between the two panes: the divider keeps both panes at least 220 pixels wide, a
// window too narrow for that splits evenly and ignores drags, and nonsense sizes or fractions
// give a sane width. Hiding the right pane is driven through the window (tst_contentview).

#include "panelayout.h"
#include "panesplitview.h"
#include "testdir.h"

#include <QSignalSpy>
#include <QTest>

class TestPaneSplitView : public QObject
{
    Q_OBJECT

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
            // Moves go in small steps, as a real pointer does.
            const int steps = 4;
            for (int i = 1; i <= steps; ++i) {
                const QPointF global = origin + QPointF(dx * i / steps, 0);
                QMouseEvent move(QEvent::MouseMove, handle->mapFromGlobal(global), global, Qt::LeftButton,
                                 Qt::LeftButton, Qt::NoModifier);
                QApplication::sendEvent(handle, &move);
            }
            QTest::mouseRelease(handle, Qt::LeftButton, {}, start);
        }
    };

private Q_SLOTS:
    void initTestCase() { m_dir.isolateHome(); }

    void dragIsClampedAtMinimumPaneWidth_data()
    {
        QTest::addColumn<int>("dx");
        QTest::addColumn<int>("leftWidth");
        QTest::addColumn<int>("rightWidth");
        QTest::newRow("far left") << -2000 << 220 << 1000 - 220 - 1;
        QTest::newRow("far right") << 2000 << 1000 - 220 << 220 - 1;
        QTest::newRow("a little right") << 100 << 600 << 399;
    }
    void dragIsClampedAtMinimumPaneWidth()
    {
        QFETCH(int, dx);
        QFETCH(int, leftWidth);
        QFETCH(int, rightWidth);
        Split split(1000);
        QVERIFY(QTest::qWaitForWindowExposed(&split.view));
        QCOMPARE(split.left->width(), 500);
        split.drag(dx);
        QCOMPARE(split.left->width(), leftWidth);
        QCOMPARE(split.right->width(), rightWidth);
        QCOMPARE(split.right->x(), leftWidth + 1);
    }

    void dragStartsFromTheFractionAtPress()
    {
        Split split(1000);
        split.drag(100);
        split.drag(100);
        QCOMPARE(split.left->width(), 700);
        QCOMPARE(split.view.fraction(), 0.7);
    }

    void narrowWindowSplitsEvenlyAndIgnoresDrags()
    {
        Split split(400);
        split.view.setFraction(0.8);
        QCOMPARE(split.left->width(), 200);
        QSignalSpy dragged(&split.view, &PaneSplitView::fractionDragged);
        split.drag(-150);
        QCOMPARE(dragged.count(), 0);
        QCOMPARE(split.left->width(), 200);
    }

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
        QTest::newRow("negative total") << -10.0 << 0.5 << 0.0 << 0.0;
        QTest::newRow("NaN total") << qQNaN() << 0.5 << 0.0 << 0.0;
        QTest::newRow("infinite total") << qInf() << 0.5 << 0.0 << 0.0;
        QTest::newRow("NaN fraction splits evenly") << 1000.0 << qQNaN() << 200.0 << 500.0;
        QTest::newRow("NaN minimum is none") << 1000.0 << 1.5 << qQNaN() << 1000.0;
    }

    void leftWidth()
    {
        QFETCH(double, total);
        QFETCH(double, fraction);
        QFETCH(double, minPane);
        QFETCH(double, expected);
        QCOMPARE(PaneLayout::leftWidth(total, fraction, minPane), expected);
    }

    void handleSitsOnTheLineWithAResizeCursor()
    {
        Split split(1000);
        QWidget *handle = split.view.divider();
        QCOMPARE(handle->width(), 8);
        QVERIFY(handle->geometry().contains(QPoint(500, 10)));
        QCOMPARE(handle->cursor().shape(), Qt::SizeHorCursor);
    }

private:
    TestDir m_dir;
};

QTEST_MAIN(TestPaneSplitView)
#include "tst_panesplitview.moc"
