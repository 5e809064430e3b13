// The deep walk behind the finder: batch sequences, limits, cancellation, skipped entries,
// links, order, unreadable folders and deep trees.

#include "diskfacts.h"
#include "filesystemservice.h"
#include "itemlists.h"
#include "testdir.h"

#include <QTest>

namespace {

using Calls = QStringList; // "2 false": a batch of two items delivered with the flag off

struct Walked { Calls calls; QList<FileItem> items; };

Walked walk(const QUrl &url, bool showHidden, int limit, int batchSize, const QSet<QString> &ignored = {},
            const FileSystemService::ShouldContinue &shouldContinue = {}, const std::function<void()> &onEachBatch = [] {})
{
    Walked walked;
    FileSystemService().enumerateRecursively(url, showHidden, limit, batchSize, ignored, shouldContinue,
                                             [&](const QList<FileItem> &batch, bool truncated) {
        walked.calls << QString::number(batch.size()) + (truncated ? " true" : " false");
        walked.items += batch;
        onEachBatch();
    });
    return walked;
}

} // namespace

class TestRecursiveWalk : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void batchSequence_data()
    {
        QTest::addColumn<int>("files");
        QTest::addColumn<int>("limit");
        QTest::addColumn<int>("batchSize");
        QTest::addColumn<int>("continueFor"); // entries answered with "go on"; -1 for all
        QTest::addColumn<Calls>("expected");
        QTest::newRow("limit 3, five files") << 5 << 3 << 3 << -1 << Calls{"3 false", "0 true"};
        QTest::newRow("limit 3, exactly three files") << 3 << 3 << 3 << -1 << Calls{"3 false", "0 false"};
        QTest::newRow("limit 3 in batches of 2") << 5 << 3 << 2 << -1 << Calls{"2 false", "1 true"};
        QTest::newRow("batches of 2, four items") << 4 << 100 << 2 << -1 << Calls{"2 false", "2 false", "0 false"};
        QTest::newRow("batch size 0 acts as 1") << 2 << 100 << 0 << -1 << Calls{"1 false", "1 false", "0 false"};
        QTest::newRow("cancelled on the first entry") << 5 << 100 << 2 << 0 << Calls{"0 true"};
        QTest::newRow("cancelled after three entries") << 5 << 100 << 2 << 3 << Calls{"2 false", "1 true"};
        QTest::newRow("cancelled after the last entry") << 2 << 100 << 10 << 2 << Calls{"2 false"};
        QTest::newRow("limit 0") << 2 << 0 << 10 << -1 << Calls{"0 true"};
    }

    // The collected form must agree with the batches: same items, truncated as the last call says.
    void batchSequence()
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
        const auto shouldContinue = [&] { return continueFor < 0 || asked++ < continueFor; };
        const Walked walked = walk(dir.url(), false, limit, batchSize, {}, shouldContinue);
        QCOMPARE(walked.calls, expected);
        asked = 0;
        const auto collected = FileSystemService().enumerateRecursively(dir.url(), false, limit, {}, shouldContinue);
        QCOMPARE(collected.items, walked.items);
        QCOMPARE(collected.truncated, expected.last().endsWith("true"));
    }

    void walkedTree_data()
    {
        QTest::addColumn<bool>("showHidden");
        QTest::addColumn<QSet<QString>>("ignored");
        QTest::addColumn<QStringList>("expected");
        const QStringList kept = {"locked", "docs", "docs/node_modules", "links", "links/dangling", "links/loop",
                                  "links/to-folder", "src", "src/Node_Modules", "src/Node_Modules/kept.js", "src/a b",
                                  "src/a b/na%me #2?;[Ä].cpp"};
        const QStringList visible = kept + QStringList{"src/node_modules", "src/node_modules/lib.js"};
        const QStringList hidden = {".git", ".git/HEAD", ".git/refs", ".git/refs/main", "src/.env"};
        QTest::newRow("hidden off, links listed but not followed") << false << QSet<QString>{} << sorted(visible);
        QTest::newRow("hidden on") << true << QSet<QString>{} << sorted(visible + hidden);
        QTest::newRow("hidden on, .git ignored") << true << QSet<QString>{".git"} << sorted(visible + QStringList{"src/.env"});
        // Only folders are skipped, by exact name: docs/node_modules is a file, Node_Modules differs in case.
        QTest::newRow("default ignored names") << false << FileSystemService::defaultIgnoredDirectoryNames() << sorted(kept);
    }

    void walkedTree()
    {
        QFETCH(bool, showHidden);
        QFETCH(QSet<QString>, ignored);
        QFETCH(QStringList, expected);
        TestDir dir;
        dir.openToOthers();
        for (const char *path : {"locked/secret.txt", ".git/HEAD", ".git/refs/main", "src/a b/na%me #2?;[Ä].cpp", "src/.env",
                                 "src/node_modules/lib.js", "src/Node_Modules/kept.js", "docs/node_modules"})
            dir.file(path);
        dir.link(dir.path("src"), "links/to-folder");
        dir.link("..", "links/loop");
        dir.link("nowhere", "links/dangling");
        setMode(dir.path("locked"), 0);
        AsUnprivileged unprivileged; // an unreadable folder is listed and passed over
        const auto [calls, items] = walk(dir.url(), showHidden, 1000, 1000, ignored);
        QCOMPARE(calls, Calls{QString::number(expected.size()) + " false"});
        const QStringList paths = relativePathsOf(items, dir.path());
        QCOMPARE(sorted(paths), expected);
        for (qsizetype i = 0; i < items.size(); ++i) {
            QCOMPARE(items[i].url, dir.url(paths[i]));
            QCOMPARE(items[i].isDirectory, QFileInfo(dir.path(paths[i])).isDir() && !paths[i].startsWith("links/"));
            // A folder comes before everything in it, and nothing but its contents lies in between.
            const QString parent = paths[i].section('/', 0, -2);
            if (parent.isEmpty())
                continue;
            const qsizetype parentIndex = paths.indexOf(parent);
            QVERIFY2(parentIndex >= 0 && parentIndex < i, qPrintable(paths[i]));
            for (qsizetype between = parentIndex + 1; between < i; ++between)
                QVERIFY2(paths[between].startsWith(parent + '/'), qPrintable(paths[between]));
        }
    }

    void rootThatCannotBeWalked()
    {
        TestDir dir;
        dir.file("plain.txt");
        dir.link("nowhere", "dangling");
        for (const QUrl &root : {dir.url("missing"), dir.url("plain.txt"), dir.url("dangling"), QUrl()})
            QVERIFY2(walk(root, true, 10, 10).calls == Calls{"0 false"}, qPrintable(root.toString()));
    }

    void deepTreeKeepsFewFoldersOpen()
    {
        TestDir dir; // entries after each descent make the walk resume folders it has closed

        QString path;
        QStringList expected;
        for (int level = 0; level < 100; ++level) {
            path += (level ? "/" : "") + QStringLiteral("d%1").arg(level);
            expected << path << dir.file(path + "/f0").mid(dir.path().size() + 1)
                     << dir.file(path + "/f1").mid(dir.path().size() + 1);
        }
        const auto openNow = [] { return QDir("/proc/self/fd").entryList(QDir::AllEntries | QDir::System).size(); };
        const qsizetype before = openNow();
        qsizetype mostOpen = 0;
        const auto items = walk(dir.url(), false, 1000, 1, {}, {}, [&] { mostOpen = qMax(mostOpen, openNow() - before); }).items;
        QCOMPARE(sorted(relativePathsOf(items, dir.path())), sorted(expected));
        QVERIFY2(mostOpen <= 40, qPrintable(QString::number(mostOpen)));
        QCOMPARE(openNow(), before);
    }
};

QTEST_GUILESS_MAIN(TestRecursiveWalk)
#include "tst_recursivewalk.moc"
