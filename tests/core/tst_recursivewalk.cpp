// The deep walk behind the finder: batch sequences, limits, cancellation, skipped folders,
// links, order and deep trees.

#include "filesystemservice.h"
#include "testdir.h"

#include <QDir>
#include <QTest>

#include <sys/stat.h>

namespace {

// "2 false" for a batch of two items delivered with the flag off.
using Calls = QStringList;

struct Recorder
{
    Calls calls;
    QList<FileItem> items;
    FileSystemService::OnBatch onBatch()
    {
        return [this](const QList<FileItem> &batch, bool truncated) {
            calls << QStringLiteral("%1 %2").arg(batch.size()).arg(truncated ? "true" : "false");
            items += batch;
        };
    }
};

// Paths of the items relative to the walked root.
QStringList relativePaths(const TestDir &dir, const QList<FileItem> &items)
{
    QStringList paths;
    for (const FileItem &item : items)
        paths << QDir(dir.path()).relativeFilePath(item.url.toLocalFile());
    return paths;
}

QStringList sorted(QStringList list)
{
    list.sort();
    return list;
}

int openDescriptors()
{
    return int(QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size());
}

} // namespace

class TestRecursiveWalk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void batchSequence_data();
    void batchSequence();
    void collectedForm_data();
    void collectedForm();
    void recordsAndPreorder();
    void ignoredFolderNames();
    void hiddenEntries_data();
    void hiddenEntries();
    void linksAreNotFollowed();
    void unreadableFolderIsPassedOver();
    void rootThatCannotBeWalked_data();
    void rootThatCannotBeWalked();
    void deepTreeKeepsFewFoldersOpen();

private:
    FileSystemService fs;
};

void TestRecursiveWalk::batchSequence_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("limit");
    QTest::addColumn<int>("batchSize");
    QTest::addColumn<int>("continueFor"); // entries answered with "go on"; -1 for all
    QTest::addColumn<Calls>("expected");

    QTest::newRow("limit 3, five files") << 5 << 3 << 3 << -1 << Calls{"3 false", "0 true"};
    QTest::newRow("limit 3, exactly three files") << 3 << 3 << 3 << -1 << Calls{"3 false", "0 false"};
    QTest::newRow("limit 3 in batches of 2") << 5 << 3 << 2 << -1 << Calls{"2 false", "1 true"};
    QTest::newRow("batches of 2, five items") << 5 << 100 << 2 << -1 << Calls{"2 false", "2 false", "1 false"};
    QTest::newRow("batches of 2, four items") << 4 << 100 << 2 << -1 << Calls{"2 false", "2 false", "0 false"};
    QTest::newRow("batch size 1") << 2 << 100 << 1 << -1 << Calls{"1 false", "1 false", "0 false"};
    QTest::newRow("batch size 0 acts as 1") << 2 << 100 << 0 << -1 << Calls{"1 false", "1 false", "0 false"};
    QTest::newRow("negative batch size acts as 1") << 1 << 100 << -5 << -1 << Calls{"1 false", "0 false"};
    QTest::newRow("cancelled on the first entry") << 5 << 100 << 2 << 0 << Calls{"0 true"};
    QTest::newRow("cancelled after three entries") << 5 << 100 << 2 << 3 << Calls{"2 false", "1 true"};
    QTest::newRow("cancelled after the last entry") << 2 << 100 << 10 << 2 << Calls{"2 false"};
    QTest::newRow("limit 0") << 2 << 0 << 10 << -1 << Calls{"0 true"};
    QTest::newRow("limit 0 in an empty folder") << 0 << 0 << 10 << -1 << Calls{"0 false"};
    QTest::newRow("empty folder") << 0 << 100 << 10 << -1 << Calls{"0 false"};
}

void TestRecursiveWalk::batchSequence()
{
    QFETCH(int, files);
    QFETCH(int, limit);
    QFETCH(int, batchSize);
    QFETCH(int, continueFor);
    QFETCH(Calls, expected);
    TestDir dir;
    for (int i = 0; i < files; ++i)
        dir.file(QStringLiteral("file%1").arg(i));
    int asked = 0;
    Recorder recorder;
    fs.enumerateRecursively(dir.url(), false, limit, batchSize, {},
                            [&] { return continueFor < 0 || asked++ < continueFor; }, recorder.onBatch());
    QCOMPARE(recorder.calls, expected);
}

void TestRecursiveWalk::collectedForm_data()
{
    QTest::addColumn<int>("files");
    QTest::addColumn<int>("limit");
    QTest::addColumn<bool>("truncated");
    QTest::newRow("limit 3, five files") << 5 << 3 << true;
    QTest::newRow("limit 3, exactly three files") << 3 << 3 << false;
    QTest::newRow("limit above the count") << 2 << 3 << false;
}

void TestRecursiveWalk::collectedForm()
{
    QFETCH(int, files);
    QFETCH(int, limit);
    QFETCH(bool, truncated);
    TestDir dir;
    for (int i = 0; i < files; ++i)
        dir.file(QStringLiteral("file%1").arg(i));
    const auto full = fs.enumerateRecursively(dir.url(), false, 1000, {}, {});
    QCOMPARE(full.items.size(), files);
    QVERIFY(!full.truncated);

    const auto result = fs.enumerateRecursively(dir.url(), false, limit, {}, [] { return true; });
    QCOMPARE(result.truncated, truncated);
    QCOMPARE(result.items, full.items.first(qMin(limit, full.items.size())));
}

void TestRecursiveWalk::recordsAndPreorder()
{
    TestDir dir;
    dir.file("top.txt");
    dir.file("a/b/c/deep.txt");
    dir.file("a/b/mid.txt");
    dir.file("a/b2/other.txt");
    dir.file("with space/na%me#1.txt");
    const auto result = fs.enumerateRecursively(dir.url(), false, 1000, {}, {});
    const QStringList paths = relativePaths(dir, result.items);
    QCOMPARE(sorted(paths), sorted({"top.txt", "a", "a/b", "a/b/c", "a/b/c/deep.txt", "a/b/mid.txt", "a/b2",
                                    "a/b2/other.txt", "with space", "with space/na%me#1.txt"}));

    const QDateTime epoch = QDateTime::fromSecsSinceEpoch(0, Qt::UTC);
    for (qsizetype i = 0; i < result.items.size(); ++i) {
        const FileItem &item = result.items[i];
        const QString path = paths[i];
        QCOMPARE(item.url, dir.url(path));
        QCOMPARE(item.name, path.section('/', -1));
        QCOMPARE(item.isDirectory, QFileInfo(dir.path(path)).isDir());
        QCOMPARE(item.size, 0);
        QCOMPARE(item.modificationDate, epoch);
        QVERIFY(!item.isSymbolicLink);
        // A folder comes before everything in it, and its contents follow it without a gap
        // that holds a sibling's contents.
        const QString parent = path.section('/', 0, -2);
        if (!parent.isEmpty()) {
            const qsizetype parentIndex = paths.indexOf(parent);
            QVERIFY2(parentIndex >= 0 && parentIndex < i, qPrintable(path));
            for (qsizetype between = parentIndex + 1; between < i; ++between)
                QVERIFY2(paths[between].startsWith(parent + '/'), qPrintable(paths[between]));
        }
    }
}

void TestRecursiveWalk::ignoredFolderNames()
{
    TestDir dir;
    dir.file("node_modules/pkg/index.js");
    dir.file("src/node_modules/lib.js");
    dir.file("src/Node_Modules/kept.js");   // names compare case-sensitively
    dir.file("docs/node_modules");           // a file of that name is reported
    dir.file("docs/Library.txt");
    dir.file("__pycache__/x.pyc");
    const QStringList expected = {"src", "src/Node_Modules", "src/Node_Modules/kept.js", "docs",
                                  "docs/node_modules", "docs/Library.txt"};

    const auto defaults = fs.enumerateRecursively(dir.url(), false, 1000,
                                                  FileSystemService::defaultIgnoredDirectoryNames(), {});
    QCOMPARE(sorted(relativePaths(dir, defaults.items)), sorted(expected));
    QVERIFY(!defaults.truncated);

    const auto none = fs.enumerateRecursively(dir.url(), false, 1000, {}, {});
    QCOMPARE(none.items.size(), expected.size() + 7);

    QCOMPARE(sorted(FileSystemService::defaultIgnoredDirectoryNames().values()),
             sorted({"Library", "node_modules", "Pods", "DerivedData", "Caches", "__pycache__"}));
}

void TestRecursiveWalk::hiddenEntries_data()
{
    QTest::addColumn<bool>("showHidden");
    QTest::addColumn<QStringList>("ignored");
    QTest::addColumn<QStringList>("expected");
    const QStringList visible = {"src", "src/main.cpp"};
    QTest::newRow("hidden off") << false << QStringList{} << visible;
    QTest::newRow("hidden on") << true << QStringList{}
                               << visible + QStringList{".git", ".git/HEAD", ".git/refs", ".git/refs/main",
                                                        "src/.env"};
    QTest::newRow("hidden on, .git ignored") << true << QStringList{".git"} << visible + QStringList{"src/.env"};
}

void TestRecursiveWalk::hiddenEntries()
{
    QFETCH(bool, showHidden);
    QFETCH(QStringList, ignored);
    QFETCH(QStringList, expected);
    TestDir dir;
    dir.file(".git/HEAD");
    dir.file(".git/refs/main");
    dir.file("src/main.cpp");
    dir.file("src/.env");
    const QSet<QString> ignoredSet(ignored.begin(), ignored.end());
    const auto result = fs.enumerateRecursively(dir.url(), showHidden, 1000, ignoredSet, {});
    QCOMPARE(sorted(relativePaths(dir, result.items)), sorted(expected));
}

void TestRecursiveWalk::linksAreNotFollowed()
{
    TestDir dir;
    dir.file("real/inside.txt");
    dir.link(dir.path("real"), "links/to-folder");
    dir.link("..", "links/loop");
    dir.link("nowhere", "links/dangling");
    const auto result = fs.enumerateRecursively(dir.url(), false, 1000, {}, {});
    QCOMPARE(sorted(relativePaths(dir, result.items)),
             sorted({"real", "real/inside.txt", "links", "links/to-folder", "links/loop", "links/dangling"}));
    for (const FileItem &item : result.items) {
        if (item.url.toLocalFile().contains("/links/")) {
            QVERIFY2(!item.isDirectory, qPrintable(item.name));
            QVERIFY(!item.isSymbolicLink);
        }
    }
}

void TestRecursiveWalk::unreadableFolderIsPassedOver()
{
    TestDir dir;
    dir.openToOthers();
    dir.file("locked/secret.txt");
    dir.file("open/visible.txt");
    QVERIFY(::chmod(QFile::encodeName(dir.path("locked")).constData(), 0) == 0);
    Recorder recorder;
    {
        AsUnprivileged unprivileged;
        fs.enumerateRecursively(dir.url(), false, 1000, 1000, {}, {}, recorder.onBatch());
    }
    QCOMPARE(recorder.calls, Calls{"3 false"});
    QCOMPARE(sorted(relativePaths(dir, recorder.items)), sorted({"locked", "open", "open/visible.txt"}));
}

void TestRecursiveWalk::rootThatCannotBeWalked_data()
{
    QTest::addColumn<QString>("relative");
    QTest::newRow("missing") << "missing";
    QTest::newRow("a file") << "plain.txt";
    QTest::newRow("a dangling link") << "dangling";
}

void TestRecursiveWalk::rootThatCannotBeWalked()
{
    QFETCH(QString, relative);
    TestDir dir;
    dir.file("plain.txt");
    dir.link("nowhere", "dangling");
    Recorder recorder;
    fs.enumerateRecursively(dir.url(relative), true, 10, 10, {}, {}, recorder.onBatch());
    QCOMPARE(recorder.calls, Calls{"0 false"});

    recorder.calls.clear();
    fs.enumerateRecursively(QUrl(), true, 10, 10, {}, {}, recorder.onBatch());
    QCOMPARE(recorder.calls, Calls{"0 false"});
}

void TestRecursiveWalk::deepTreeKeepsFewFoldersOpen()
{
    // A chain far deeper than the walk keeps open, with entries on every level that come after
    // the descent, so the walk has to resume folders it has already closed.
    TestDir dir;
    const int depth = 100;
    QString path;
    QStringList expected;
    for (int level = 0; level < depth; ++level) {
        path += (level ? "/" : "") + QStringLiteral("d%1").arg(level);
        expected << path;
        for (int i = 0; i < 3; ++i)
            expected << dir.file(path + QStringLiteral("/f%1").arg(i)).mid(dir.path().size() + 1);
    }
    const int before = openDescriptors();
    int mostOpen = 0;
    QList<FileItem> items;
    fs.enumerateRecursively(dir.url(), false, 100000, 1, {}, {}, [&](const QList<FileItem> &batch, bool) {
        mostOpen = qMax(mostOpen, openDescriptors() - before);
        items += batch;
    });
    QCOMPARE(sorted(relativePaths(dir, items)), sorted(expected));
    QVERIFY2(mostOpen <= 40, qPrintable(QString::number(mostOpen)));
    QCOMPARE(openDescriptors(), before);
}

QTEST_GUILESS_MAIN(TestRecursiveWalk)
#include "tst_recursivewalk.moc"
