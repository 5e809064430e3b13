// The title badge plays its frames once, each change a fade, and stays on the last; hidden,
// it stops where it is.

#include "owlbadgeview.h"

#include <QSignalSpy>
#include <QTest>

class TestOwlBadgeView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void playsOnceWithAFadeStopsWhileHiddenAndStaysOnTheLast()
    {
        using namespace std::chrono_literals;
        OwlBadgeView badge({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}, 40ms);
        QSignalSpy changes(&badge, &OwlBadgeView::indexChanged);
        badge.show();
        QVERIFY(changes.wait());
        QVERIFY(badge.progress() < 1.0); // the new frame is still fading in
        badge.hide();
        QCOMPARE(badge.progress(), 1.0);
        QVERIFY(!changes.wait(150));
        QCOMPARE(badge.index(), 1);
        badge.show();
        QTRY_COMPARE(badge.text(), QStringLiteral("c"));
        QTRY_COMPARE(badge.progress(), 1.0);
        QCOMPARE(changes.count(), 2);
        QVERIFY(!changes.wait(200));
        QCOMPARE(badge.index(), 2);
    }
};

QTEST_MAIN(TestOwlBadgeView)
#include "tst_owlbadgeview.moc"
