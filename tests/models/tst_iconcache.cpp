// The icon cache: one fetch per path, overlapping fetches, callbacks whose requester is gone,
// one shared icon per kind; and the icon names the provider finds for real files.

#include "iconcache.h"
#include "iconprovider.h"
#include "testdir.h"

#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>

#include <atomic>

namespace {

// Counts its calls; names the icon after the file's extension.
struct CountingProvider
{
    std::shared_ptr<std::atomic<int>> calls = std::make_shared<std::atomic<int>>(0);

    IconCache::Provider function() const
    {
        return [calls = calls](const QString &path) {
            ++*calls;
            return QStringList{path.section(QLatin1Char('.'), -1) + QStringLiteral("-icon")};
        };
    }
};

QUrl fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

} // namespace

class TestIconCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void fetchedOncePerPath();
    void overlappingRequestsBothFetch();
    void manyPathsShareFewIcons();
    void callbackDroppedWhenRequesterIsGone();
    void iconNamesFor_data();
    void iconNamesFor();

private:
    TestDir home;
};

void TestIconCache::initTestCase()
{
    home.isolateHome();
    IconProvider::setUpTheme();
}

void TestIconCache::fetchedOncePerPath()
{
    CountingProvider provider;
    IconCache cache(provider.function());
    QObject requester;
    QList<QIcon> delivered;
    const auto collect = [&](const QIcon &icon) { delivered << icon; };

    cache.icon(fileUrl("/data/a.txt"), &requester, collect);
    QVERIFY(delivered.isEmpty()); // never on the caller's stack when it has to be fetched
    QTRY_COMPARE(delivered.size(), 1);
    QCOMPARE(provider.calls->load(), 1);

    cache.icon(fileUrl("/data/a.txt"), &requester, collect);
    QCOMPARE(delivered.size(), 2); // at once, from the cache
    QCOMPARE(provider.calls->load(), 1);
    QCOMPARE(delivered.at(1).cacheKey(), delivered.at(0).cacheKey());
    QVERIFY(cache.cachedIcon(QUrl(QStringLiteral("file:///data/a.txt"))).has_value());
    QVERIFY(!cache.cachedIcon(fileUrl("/data/b.txt")).has_value());
}

void TestIconCache::overlappingRequestsBothFetch()
{
    // The provider holds the first fetch until the second request has been made.
    auto started = std::make_shared<QSemaphore>();
    auto release = std::make_shared<QSemaphore>();
    auto calls = std::make_shared<std::atomic<int>>(0);
    IconCache cache([=](const QString &) {
        ++*calls;
        started->release();
        release->acquire();
        return QStringList{QStringLiteral("text-plain")};
    });
    QSignalSpy ready(&cache, &IconCache::iconReady);

    cache.icon(fileUrl("/data/same.txt"), nullptr, {});
    QTRY_COMPARE(started->available(), 1);
    cache.icon(fileUrl("/data/same.txt"), nullptr, {});
    release->release(2);
    QTRY_COMPARE(ready.count(), 2);
    QCOMPARE(calls->load(), 2);
    QCOMPARE(cache.count(), 1);
}

void TestIconCache::manyPathsShareFewIcons()
{
    CountingProvider provider;
    IconCache cache(provider.function());
    QSignalSpy ready(&cache, &IconCache::iconReady);
    const QStringList extensions{"txt", "png", "zip"};
    for (int i = 0; i < 1000; ++i)
        cache.icon(fileUrl(QStringLiteral("/data/f%1.%2").arg(i).arg(extensions.at(i % 3))), nullptr, {});
    QTRY_COMPARE_WITH_TIMEOUT(ready.count(), 1000, 30000);

    QCOMPARE(provider.calls->load(), 1000);
    QCOMPARE(cache.count(), 1000);
    QCOMPARE(cache.distinctIcons(), 3);
    const auto first = cache.cachedIcon(fileUrl("/data/f0.txt"));
    const auto fourth = cache.cachedIcon(fileUrl("/data/f3.txt"));
    QVERIFY(first && fourth);
    QCOMPARE(first->cacheKey(), fourth->cacheKey());
}

void TestIconCache::callbackDroppedWhenRequesterIsGone()
{
    CountingProvider provider;
    IconCache cache(provider.function());
    QSignalSpy ready(&cache, &IconCache::iconReady);
    bool called = false;
    {
        QObject requester;
        cache.icon(fileUrl("/data/gone.txt"), &requester, [&](const QIcon &) { called = true; });
    }
    QVERIFY(ready.wait());
    QVERIFY(!called);
    QCOMPARE(cache.count(), 1); // fetched all the same, for the next asker
}

void TestIconCache::iconNamesFor_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<QString>("icon");

    const QByteArray png("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
    QTest::newRow("folder") << "Projects/" << QByteArray() << "folder";
    QTest::newRow("text by name") << "notes.txt" << QByteArray("hello") << "text-plain";
    QTest::newRow("name wins over contents") << "photo.png" << QByteArray("not a picture") << "image-png";
    QTest::newRow("archive") << "backup.zip" << QByteArray("PK\x03\x04") << "application-zip";
    QTest::newRow("no extension, script inside") << "configure" << QByteArray("#!/bin/sh\necho\n")
                                                 << "application-x-shellscript";
    QTest::newRow("no extension, picture inside") << "scan" << png << "image-png";
    QTest::newRow("missing file") << "gone.txt" << QByteArray() << "text-plain";
}

void TestIconCache::iconNamesFor()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, contents);
    QFETCH(QString, icon);
    TestDir dir;
    QString path = dir.path(name);
    if (name.endsWith(QLatin1Char('/')))
        path = dir.dir(name.chopped(1));
    else if (!contents.isEmpty())
        dir.file(name, contents);

    const QStringList names = IconProvider::iconNamesFor(path);
    QCOMPARE(names.value(0), icon);
    QVERIFY(!IconProvider::iconFor(names).isNull());
}

QTEST_MAIN(TestIconCache)
#include "tst_iconcache.moc"
