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
    void placeholderUntilTheIconArrives()
    {
        QSemaphore answer;
        IconCache cache([&answer](const FilePath &) {
            answer.acquire();
            return QStringList{QStringLiteral("text-plain")};
        });
        const auto answerAnyway = qScopeGuard([&answer] { answer.release(); });
        FileIconView view(&cache, 64);
        QSignalSpy arrived(&view, &FileIconView::iconChanged);
        view.setUrl(m_dir.url(QStringLiteral("a.txt")));
        QVERIFY(!view.hasIcon());
        answer.release();
        QVERIFY(arrived.wait());
        QVERIFY(view.hasIcon());
    }

    void cachedIconShownAtOnce()
    {
        QAtomicInt fetches = 0;
        IconCache cache([&fetches](const FilePath &) {
            fetches.ref();
            return QStringList{QStringLiteral("text-plain")};
        });
        FileIconView first(&cache, 16);
        QSignalSpy arrived(&first, &FileIconView::iconChanged);
        first.setUrl(m_dir.url(QStringLiteral("a.txt")));
        QVERIFY(arrived.wait());
        FileIconView second(&cache, 64);
        second.setUrl(m_dir.url(QStringLiteral("a.txt")));
        QVERIFY(second.hasIcon());
        QCOMPARE(fetches.loadRelaxed(), 1);
    }

    void answerForAnEarlierItemIsIgnored()
    {
        IconCache cache([](const FilePath &) { return QStringList{QStringLiteral("text-plain")}; });
        FileIconView view(&cache, 32);
        QSignalSpy arrived(&view, &FileIconView::iconChanged);
        view.setUrl(m_dir.url(QStringLiteral("earlier.txt")));
        view.setUrl(m_dir.url(QStringLiteral("later.txt")));
        QTRY_COMPARE(cache.count(), 2); // both answers are in
        QCOMPARE(arrived.count(), 1);
        QVERIFY(view.hasIcon());
        QCOMPARE(view.url(), m_dir.url(QStringLiteral("later.txt")));
    }
};

QTEST_MAIN(TestFileIconView)
#include "tst_fileiconview.moc"
