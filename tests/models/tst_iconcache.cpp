// The icon cache: one fetch per path, one shared icon per kind, and a cache destroyed while it
// fetches.

#include "iconcache.h"
#include "iconprovider.h"
#include "testdir.h"

#include <QSemaphore>
#include <QThread>
#include <QSignalSpy>
#include <QTest>

#include <atomic>

class TestIconCache : public QObject
{
    Q_OBJECT

    TestDir home;
    std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);
    // Counts its calls; names the icon after the extension, so three kinds give three icons.
    IconCache::Provider countingProvider()
    {
        *calls = 0;
        return [calls = calls](const FilePath &path) {
            ++*calls;
            return QStringList{path.fileName().section(QLatin1Char('.'), -1)};
        };
    }
    static FilePath url(const QString &path) { return FilePath::fromString(path); }

private Q_SLOTS:
    void initTestCase()
    {
        home.isolateHome();
        IconProvider::setUpTheme();
    }

    void fetchedOncePerPathAndSharedPerKind()
    {
        IconCache cache(countingProvider());
        QSignalSpy ready(&cache, &IconCache::iconReady);
        QVERIFY(!cache.icon(url("/data/f0.txt")));
        QVERIFY(!cache.icon(url("/data/f0.txt"))); // asked again before it came: still one fetch
        QCOMPARE(ready.count(), 0); // never on the caller's stack when it has to be fetched
        QTRY_COMPARE(ready.count(), 1);
        QCOMPARE(ready.first().first().value<FilePath>(), url(QStringLiteral("/data/f0.txt")));
        QVERIFY(cache.icon(url("/data/f0.txt"))); // at once, from the cache

        const QStringList kinds{"txt", "png", "zip"};
        for (int i = 1; i < 1000; ++i)
            (void)cache.icon(url(QStringLiteral("/data/f%1.%2").arg(i).arg(kinds.at(i % 3))));
        QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1000, 30000);
        QCOMPARE(calls->load(), 1000);
        QCOMPARE(cache.count(), 1000);
        QCOMPARE(cache.distinctIcons(), 3);
        QCOMPARE(cache.cachedIcon(url("/data/f0.txt"))->cacheKey(), cache.cachedIcon(url("/data/f3.txt"))->cacheKey());
    }

    // A cache that goes while it fetches waits for the fetches running and starts no more.
    void destroyedWhileFetchingStopsAndWaits()
    {
        QSemaphore started;
        std::atomic<int> fetches = 0;
        auto cache = std::make_unique<IconCache>([&](const FilePath &) {
            ++fetches;
            started.release();
            QThread::msleep(5); // all of them would take seconds
            return QStringList{QStringLiteral("text-plain")};
        });
        QSignalSpy ready(cache.get(), &IconCache::iconReady);
        for (int i = 0; i < 3 * IconCache::batchSize; ++i)
            (void)cache->icon(url(QStringLiteral("/data/%1.txt").arg(i)));
        QTRY_VERIFY(started.available() > 0); // the batches go out from the event loop
        cache.reset();
        QCoreApplication::processEvents();
        QCOMPARE(ready.count(), 0);
        QVERIFY2(fetches < 3 * IconCache::batchSize, qPrintable(QString::number(fetches)));
    }
};

QTEST_MAIN(TestIconCache)
#include "tst_iconcache.moc"
