// The icon of one item: the stand-in until the cache answers, the item's own icon after, an
// icon the cache already holds shown at once, and an answer for an earlier item ignored.

#include "fileiconview.h"
#include "iconcache.h"
#include "testdir.h"

#include <QAtomicInt>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

class TestFileIconView : public QObject
{
    Q_OBJECT

    TestDir m_dir;

private Q_SLOTS:
    // The stand-in until the cache answers; then the item's icon, which another view of the
    // same item shows at once, without a second fetch.
    void placeholderUntilTheIconArrivesThenCached()
    {
        QSemaphore answer;
        QAtomicInt fetches = 0;
        IconCache cache([&](const FilePath &) {
            answer.acquire();
            fetches.ref();
            return QStringList{"text-plain"};
        });
        const auto answerAnyway = qScopeGuard([&answer] { answer.release(); });
        FileIconView view(&cache, 64);
        QSignalSpy arrived(&view, &FileIconView::iconChanged);
        view.setUrl(m_dir.url("a.txt"));
        QVERIFY(!view.hasIcon());
        answer.release();
        QVERIFY(arrived.wait());
        QVERIFY(view.hasIcon());
        FileIconView second(&cache, 16);
        second.setUrl(m_dir.url("a.txt"));
        QVERIFY(second.hasIcon());
        QCOMPARE(fetches.loadRelaxed(), 1);
    }

    void answerForAnEarlierItemIsIgnored()
    {
        IconCache cache([](const FilePath &) { return QStringList{"text-plain"}; });
        FileIconView view(&cache, 32);
        QSignalSpy arrived(&view, &FileIconView::iconChanged);
        view.setUrl(m_dir.url("earlier.txt"));
        view.setUrl(m_dir.url("later.txt"));
        QTRY_COMPARE(cache.count(), 2); // both answers are in
        QCOMPARE(arrived.count(), 1);
        QVERIFY(view.hasIcon());
        QCOMPARE(view.url(), m_dir.url("later.txt"));
    }
};

QTEST_MAIN(TestFileIconView)
#include "tst_fileiconview.moc"
