// The icon of one item: the stand-in until the cache answers, the item's own icon after, an
// answer for an earlier item ignored, and an icon the cache already holds shown at once (that
// it takes no second fetch is tst_iconcache's).

#include "fileiconview.h"
#include "iconcache.h"
#include "testdir.h"

#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

class TestFileIconView : public QObject
{
    Q_OBJECT

    TestDir m_dir;

private Q_SLOTS:
    void placeholderUntilTheLastItemsIconArrives()
    {
        QSemaphore answer;
        IconCache cache([&](const FilePath &) {
            answer.acquire();
            return QStringList{"text-plain"};
        });
        const auto answerAnyway = qScopeGuard([&answer] { answer.release(2); });
        FileIconView view(&cache, 64);
        QSignalSpy arrived(&view, &FileIconView::iconChanged);
        view.setUrl(m_dir.url("earlier.txt"));
        view.setUrl(m_dir.url("later.txt"));
        QVERIFY(!view.hasIcon());
        answer.release(2);
        QTRY_COMPARE(cache.count(), 2); // both answers are in
        QCOMPARE(arrived.count(), 1);
        QVERIFY(view.hasIcon());
        QCOMPARE(view.url(), m_dir.url("later.txt"));
        FileIconView second(&cache, 16);
        second.setUrl(m_dir.url("later.txt"));
        QVERIFY(second.hasIcon());
    }
};

QTEST_MAIN(TestFileIconView)
#include "tst_fileiconview.moc"
