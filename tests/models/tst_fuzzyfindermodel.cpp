// The finder's state: scanning into the index, ranking after batches and after typing,
// superseded and cancelled work, the highlighted row, and being destroyed with work in flight.

#include "fuzzyfindermodel.h"
#include "itemlists.h"
#include "testdir.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

namespace {

constexpr std::chrono::milliseconds debounce{25};

// Lets every piece of background work end and every result it queued arrive.
void drainBackgroundWork()
{
    for (int round = 0; round < 3; ++round) {
        FutureOwner::pool()->waitForDone();
        QCoreApplication::processEvents();
    }
}

// Starts the scan and waits for its end and the ranking that follows it.
bool scanToEnd(FuzzyFinderModel &model)
{
    model.start();
    const bool ended = QTest::qWaitFor([&] { return !model.isScanning(); }, 20000);
    drainBackgroundWork();
    return ended;
}

// Sets the query as the palette does; returns once the ranking has run, its result still queued.
void rankToQueuedResult(FuzzyFinderModel &model, const QString &query)
{
    model.setQuery(query);
    model.rank(false);
    QCoreApplication::processEvents(); // starts the ranking
    FutureOwner::pool()->waitForDone();
}

bool typeAndRank(FuzzyFinderModel &model, const QString &query)
{
    rankToQueuedResult(model, query);
    return QSignalSpy(&model, &FuzzyFinderModel::rankingPublished).wait();
}

} // namespace

class TestFuzzyFinderModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        home.isolateHome();
        for (const char *path : {"notes/alpha.txt", "notes/alps.md", "notes/album.txt", "notes/alto.txt", "notes/also.txt",
                                 "notes/zeta", "src/main.cpp", "node_modules/pkg/index.js", ".git/config", "README.md"})
            small.file(path);
    }

    // Hidden entries shown, ignored folders left out; a query waiting an hour is ranked by the batches.
    void scanIndexesTheTree()
    {
        FuzzyFinderModel model(small.url(), true, std::chrono::hours(1));
        QSignalSpy scanning(&model, &FuzzyFinderModel::isScanningChanged);
        model.setQuery("alp");
        model.rank(true);
        model.start();
        QVERIFY(scanToEnd(model)); // a second start() while scanning
        model.start();             // and a third after the end
        QCOMPARE(scanning.count(), 2); // one scan: on, then off
        QVERIFY(!model.truncated());
        QStringList names = namesOf(model.indexed());
        names.sort();
        QCOMPARE(names, (QStringList{".git", "README.md", "album.txt", "alpha.txt", "alps.md", "also.txt",
                                     "alto.txt", "config", "main.cpp", "notes", "src", "zeta"}));
        QCOMPARE(namesOf(model.results()), (QStringList{"alps.md", "alpha.txt"}));
        QCOMPARE(model.selectedItem()->url, small.url("notes/alps.md"));
    }

    // A model dropped mid-scan with a ranking running must get no call back; a full scan stops at the limit.
    void bigTreeTruncatedOrDroppedMidScan()
    {
        // Filling a disk folder with thousands of files is slow; a memory file system is not.
        TestDir big(QFileInfo("/dev/shm").isWritable() ? "/dev/shm" : QDir::tempPath());
        for (int i = 0; i < FuzzyFinderModel::scanLimit + 50; ++i)
            big.file(QStringLiteral("d%1/file%2.txt").arg(i / 1000).arg(i));
        auto *dropped = new FuzzyFinderModel(big.url(), false, debounce);
        dropped->setQuery("f");
        dropped->start();
        QVERIFY(QSignalSpy(dropped, &FuzzyFinderModel::indexedChanged).wait()); // the walk is under way
        QCoreApplication::processEvents(); // and the first batch's ranking starts
        delete dropped;

        FuzzyFinderModel model(big.url(), false, debounce);
        QSignalSpy indexedChanges(&model, &FuzzyFinderModel::indexedChanged);
        QVERIFY(scanToEnd(model));
        QVERIFY(model.truncated());
        QCOMPARE(model.indexed().size(), FuzzyFinderModel::scanLimit);
        QVERIFY(indexedChanges.count() >= 2); // delivered in batches, not at the end only
        QVERIFY(typeAndRank(model, "file"));
        QCOMPARE(model.results().size(), model.maxResults());
    }

    // The keys also supersede a ranking that has already run but not been published.
    void burstOfKeystrokesRanksOnce()
    {
        FuzzyFinderModel model(small.url(), false, debounce);
        QVERIFY(scanToEnd(model));
        QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
        rankToQueuedResult(model, "zeta");
        QElapsedTimer sinceLastKey;
        for (const QString query : {"a", "al", "alp"}) {
            model.setQuery(query);
            model.rank(true);
            sinceLastKey.start();
        }
        QVERIFY(published.wait());
        QVERIFY(sinceLastKey.elapsed() >= debounce.count());
        QCOMPARE(namesOf(model.results()), (QStringList{"alps.md", "alpha.txt"}));
        QVERIFY(!published.wait(int(3 * debounce.count())));
        QCOMPARE(published.count(), 1);
    }

    void selectionMovesAndIsClamped()
    {
        FuzzyFinderModel model(small.url(), false, debounce);
        QVERIFY(scanToEnd(model));
        QVERIFY(typeAndRank(model, "al")); // five results
        QSignalSpy changed(&model, &FuzzyFinderModel::selectedIndexChanged);
        model.moveSelection(-1); // up on the first row stays, silently
        model.moveSelection(1000000);
        model.moveSelection(2147483647); // down past the last row stays, without overflowing
        QCOMPARE(model.selectedIndex(), 4);
        QCOMPARE(changed.count(), 1);
        model.moveSelection(-2);
        QVERIFY(typeAndRank(model, "a")); // more results keep the row
        QCOMPARE(model.selectedIndex(), 2);
        QVERIFY(typeAndRank(model, "alp")); // fewer clamp it to the last
        QCOMPARE(model.selectedIndex(), 1);
        QVERIFY(typeAndRank(model, "qqq")); // none reset it to zero, and it no longer moves
        model.moveSelection(1);
        QCOMPARE(model.selectedIndex(), 0);
    }

    void cancelDropsQueuedWork()
    {
        FuzzyFinderModel model(small.url(), false, debounce);
        QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
        model.start();
        // The whole walk ends while this thread is busy, so its batch and its end are queued here.
        FutureOwner::pool()->waitForDone();
        model.cancel();
        drainBackgroundWork();
        QVERIFY(model.indexed().isEmpty());
        QCOMPARE(published.count(), 0);

        // The handle was forgotten, so the model may scan again; a ranking cancelled after it ran is dropped.
        QVERIFY(scanToEnd(model));
        QCOMPARE(model.indexed().size(), 10);
        published.clear();
        rankToQueuedResult(model, "zeta");
        model.cancel();
        drainBackgroundWork();
        QCOMPARE(published.count(), 0);
    }

private:
    TestDir home;
    TestDir small;
};

QTEST_GUILESS_MAIN(TestFuzzyFinderModel)
#include "tst_fuzzyfindermodel.moc"
