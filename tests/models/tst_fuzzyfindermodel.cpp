// The finder's state: scanning into the index, ranking after batches and after typing,
// superseded and cancelled work, the highlighted row, and being destroyed with work in flight.

#include "fuzzyfindermodel.h"
#include "testdir.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QThreadPool>

using namespace std::chrono_literals;

namespace {

constexpr auto debounce = 60ms;

QStringList namesOf(const QList<FileItem> &items)
{
    QStringList names;
    for (const FileItem &item : items)
        names << item.name;
    return names;
}

// Lets every piece of background work end and every result it queued arrive.
void drainBackgroundWork()
{
    for (int round = 0; round < 3; ++round) {
        QThreadPool::globalInstance()->waitForDone();
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

// Starts the scan and waits for the ranking that follows its end.
bool scanToEnd(FuzzyFinderModel &model)
{
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
    qsizetype publishedAtEnd = -1;
    QObject::connect(&model, &FuzzyFinderModel::isScanningChanged, &model, [&] {
        if (!model.isScanning())
            publishedAtEnd = published.count();
    });
    model.start();
    const bool ended = QTest::qWaitFor(
        [&] { return publishedAtEnd >= 0 && published.count() > publishedAtEnd; }, 20000);
    model.disconnect(&model);
    return ended;
}

// Sets the query as the palette does and waits for the ranking it causes.
bool typeAndRank(FuzzyFinderModel &model, const QString &query)
{
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
    model.setQuery(query);
    model.rank(false);
    return published.wait();
}

} // namespace

class TestFuzzyFinderModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void scanIndexesTheTree_data();
    void scanIndexesTheTree();
    void resultsAfterTheScan();
    void bigTreeIsTruncatedAtTheLimit();
    void burstOfKeystrokesRanksOnce();
    void batchReplacesWaitingDebouncedRanking();
    void selectionKeptAcrossRankings_data();
    void selectionKeptAcrossRankings();
    void moveSelection_data();
    void moveSelection();
    void cancelDropsQueuedBatches();
    void cancelDropsRunningRanking();
    void destroyedWithWorkInFlight_data();
    void destroyedWithWorkInFlight();

private:
    TestDir home;
    TestDir small;
    TestDir big;
    static constexpr int bigTreeFiles = 20500;
};

void TestFuzzyFinderModel::initTestCase()
{
    home.isolateHome();
    for (const char *name : {"alpha.txt", "alps.md", "album.txt", "alto.txt", "also.txt", "zeta"})
        small.file(QStringLiteral("notes/%1").arg(QLatin1String(name)));
    small.file("src/main.cpp");
    small.file("node_modules/pkg/index.js");
    small.file(".git/config");
    small.file("README.md");

    for (int i = 0; i < bigTreeFiles; ++i)
        big.file(QStringLiteral("d%1/file%2.txt").arg(i / 500).arg(i));
}

void TestFuzzyFinderModel::scanIndexesTheTree_data()
{
    QTest::addColumn<bool>("showHidden");
    QTest::addColumn<QStringList>("expected");
    const QStringList visible{"README.md", "alpha.txt", "album.txt", "also.txt", "alps.md", "alto.txt",
                              "main.cpp", "notes", "src", "zeta"};
    QTest::newRow("hidden skipped, ignored folders left out") << false << visible;
    QTest::newRow("hidden shown, ignored folders still left out")
        << true << (visible + QStringList{".git", "config"});
}

void TestFuzzyFinderModel::scanIndexesTheTree()
{
    QFETCH(bool, showHidden);
    QFETCH(QStringList, expected);
    FuzzyFinderModel model(small.url(), showHidden, debounce);
    QSignalSpy scanning(&model, &FuzzyFinderModel::isScanningChanged);
    QVERIFY(!model.isScanning()); // created, not started
    model.start();
    QVERIFY(scanToEnd(model)); // a second start() while scanning
    model.start();             // and a third after the end
    drainBackgroundWork();
    QCOMPARE(scanning.count(), 2); // one scan: on, then off
    QVERIFY(!model.truncated());
    QStringList names = namesOf(model.indexed());
    names.sort();
    expected.sort();
    QCOMPARE(names, expected);
    // No query typed yet: nothing is listed.
    QVERIFY(model.results().isEmpty());
    QCOMPARE(model.selectedIndex(), 0);
}

void TestFuzzyFinderModel::resultsAfterTheScan()
{
    FuzzyFinderModel model(small.url(), false, debounce);
    model.setQuery("alp"); // typed before the scan: the batches rank it
    QVERIFY(scanToEnd(model));
    QCOMPARE(namesOf(model.results()), (QStringList{"alps.md", "alpha.txt"}));
    QCOMPARE(model.selectedItem()->url, small.url("notes/alps.md"));

    QVERIFY(typeAndRank(model, "srm")); // only the path src/main.cpp holds these
    QCOMPARE(namesOf(model.results()), QStringList{"main.cpp"});
}

void TestFuzzyFinderModel::bigTreeIsTruncatedAtTheLimit()
{
    FuzzyFinderModel model(big.url(), false, debounce);
    QSignalSpy indexedChanges(&model, &FuzzyFinderModel::indexedChanged);
    QVERIFY(scanToEnd(model));
    QVERIFY(model.truncated());
    QCOMPARE(model.indexed().size(), FuzzyFinderModel::scanLimit);
    QVERIFY(indexedChanges.count() >= 2); // delivered in batches, not at the end only

    QVERIFY(typeAndRank(model, "file123"));
    QCOMPARE(model.results().size(), 100);
    QCOMPARE(model.results().first().name, "file123.txt");
}

void TestFuzzyFinderModel::burstOfKeystrokesRanksOnce()
{
    FuzzyFinderModel model(small.url(), false, debounce);
    QVERIFY(scanToEnd(model));
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
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

// A batch arriving while a typed query waits ranks at once, for the query typed by then.
void TestFuzzyFinderModel::batchReplacesWaitingDebouncedRanking()
{
    FuzzyFinderModel model(small.url(), false, 1h);
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
    model.setQuery("zeta");
    model.rank(true); // would wait an hour
    model.start();
    QTRY_VERIFY(!model.isScanning());
    QTRY_COMPARE(namesOf(model.results()), QStringList{"zeta"});
}

void TestFuzzyFinderModel::selectionKeptAcrossRankings_data()
{
    QTest::addColumn<QString>("nextQuery");
    QTest::addColumn<int>("expectedCount");
    QTest::addColumn<int>("expectedIndex");
    QTest::newRow("more results keep the row") << "a" << 8 << 2;
    QTest::newRow("fewer results clamp to the last") << "alp" << 2 << 1;
    QTest::newRow("no results reset to zero") << "qqq" << 0 << 0;
}

void TestFuzzyFinderModel::selectionKeptAcrossRankings()
{
    QFETCH(QString, nextQuery);
    QFETCH(int, expectedCount);
    QFETCH(int, expectedIndex);
    FuzzyFinderModel model(small.url(), false, debounce);
    QVERIFY(scanToEnd(model));
    QVERIFY(typeAndRank(model, "al"));
    QCOMPARE(model.results().size(), 5);
    model.moveSelection(2);
    QCOMPARE(model.selectedIndex(), 2);

    QVERIFY(typeAndRank(model, nextQuery));
    QCOMPARE(model.results().size(), expectedCount);
    QCOMPARE(model.selectedIndex(), expectedIndex);
    QCOMPARE(model.selectedItem().has_value(), expectedCount > 0);
}

void TestFuzzyFinderModel::moveSelection_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<int>("expected");
    QTest::addColumn<int>("changes");
    QTest::newRow("down twice") << "al" << QList<int>{1, 1} << 2 << 2;
    QTest::newRow("up on the first row stays") << "al" << QList<int>{-1} << 0 << 0;
    QTest::newRow("down past the last row stays") << "al" << QList<int>{4, 1, 1} << 4 << 1;
    QTest::newRow("large steps clamp") << "al" << QList<int>{1000000, -2147483647} << 0 << 2;
    QTest::newRow("no results: nothing moves") << "qqq" << QList<int>{1, -1} << 0 << 0;
}

void TestFuzzyFinderModel::moveSelection()
{
    QFETCH(QString, query);
    QFETCH(QList<int>, steps);
    QFETCH(int, expected);
    QFETCH(int, changes);
    FuzzyFinderModel model(small.url(), false, debounce);
    QVERIFY(scanToEnd(model));
    QVERIFY(typeAndRank(model, query));
    QSignalSpy changed(&model, &FuzzyFinderModel::selectedIndexChanged);
    for (int step : steps)
        model.moveSelection(step);
    QCOMPARE(model.selectedIndex(), expected);
    QCOMPARE(changed.count(), changes);
}

void TestFuzzyFinderModel::cancelDropsQueuedBatches()
{
    FuzzyFinderModel model(big.url(), false, debounce);
    model.setQuery("file");
    QSignalSpy indexedChanges(&model, &FuzzyFinderModel::indexedChanged);
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
    model.start();
    // The whole walk ends while this thread is busy, so all its batches are queued here.
    QThreadPool::globalInstance()->waitForDone();
    model.cancel();
    drainBackgroundWork();
    QCOMPARE(indexedChanges.count(), 0);
    QVERIFY(model.indexed().isEmpty());
    QCOMPARE(published.count(), 0);
    QVERIFY(model.isScanning()); // left as it was

    // The handle was forgotten, so the model may scan again.
    QVERIFY(scanToEnd(model));
    QCOMPARE(model.indexed().size(), FuzzyFinderModel::scanLimit);
}

void TestFuzzyFinderModel::cancelDropsRunningRanking()
{
    FuzzyFinderModel model(big.url(), false, debounce);
    QVERIFY(scanToEnd(model));
    QSignalSpy published(&model, &FuzzyFinderModel::rankingPublished);
    QSignalSpy resultsChanges(&model, &FuzzyFinderModel::resultsChanged);
    model.setQuery("file1");
    model.rank(false);
    QCoreApplication::processEvents(); // lets the ranking start
    QThreadPool::globalInstance()->waitForDone();
    model.cancel();
    drainBackgroundWork();
    QCOMPARE(published.count(), 0);
    QCOMPARE(resultsChanges.count(), 0);
}

void TestFuzzyFinderModel::destroyedWithWorkInFlight_data()
{
    QTest::addColumn<bool>("whileRanking");
    QTest::newRow("mid-scan") << false;
    QTest::newRow("while ranking") << true;
}

// Nothing may call back into the dead model, and deleting it must not wait for the walk.
void TestFuzzyFinderModel::destroyedWithWorkInFlight()
{
    QFETCH(bool, whileRanking);
    auto *model = new FuzzyFinderModel(big.url(), false, debounce);
    model->setQuery("f");
    if (whileRanking) {
        QVERIFY(scanToEnd(*model));
        model->rank(false);
        QCoreApplication::processEvents();
    } else {
        QSignalSpy indexedChanges(model, &FuzzyFinderModel::indexedChanged);
        model->start();
        QVERIFY(indexedChanges.wait(20000)); // the walk is under way
    }
    QElapsedTimer destroying;
    destroying.start();
    delete model;
    QVERIFY(destroying.elapsed() < 1000);
    drainBackgroundWork();
}

QTEST_GUILESS_MAIN(TestFuzzyFinderModel)
#include "tst_fuzzyfindermodel.moc"
