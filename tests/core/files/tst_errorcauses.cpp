// Failures that name their real cause: the destination that can't be written, the item in the
// way of a restore, and a keep-both copy whose name was taken while it ran, which takes the
// next free name instead of failing.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <cerrno>

class TestErrorCauses : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void readOnlyDestinationIsNamed_data();
    void readOnlyDestinationIsNamed();
    void restoreNamesWhatIsInTheWay();
    void keepBothTakesTheNextNameWhenRaced();

private:
    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

void TestErrorCauses::readOnlyDestinationIsNamed_data()
{
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("move");
    QTest::newRow("copy a file") << false << false;
    QTest::newRow("copy a folder") << true << false;
    QTest::newRow("move a file") << false << true;
}

void TestErrorCauses::readOnlyDestinationIsNamed()
{
    QFETCH(bool, folder);
    QFETCH(bool, move);
    const TestDir &dir = *m_dir;
    dir.openToOthers();
    const QString source = folder ? dir.file("src/Folder/a.txt", "a").chopped(6) : dir.file("src/a.txt", "a");
    giveAway(dir.path("src"));
    dir.dir("locked");
    setMode(dir.path("locked"), 0755); // root's, and closed to the user below
    AsUnprivileged unprivileged;
    const FileError error = failure([&] {
        move ? fs.move(QUrl::fromLocalFile(source), dir.url("locked")) : fs.copy(QUrl::fromLocalFile(source), dir.url("locked"));
    });
    QCOMPARE(error.code(), EACCES);
    QVERIFY2(error.message().contains(dir.path("locked")), qPrintable(error.message()));
    QCOMPARE(dir.entries("locked"), QStringList{});
}

void TestErrorCauses::restoreNamesWhatIsInTheWay()
{
    const TestDir &dir = *m_dir;
    dir.file("Projects/notes.txt", "notes");
    const std::optional<QUrl> trashed = fs.moveToTrash(dir.url("Projects/notes.txt"));
    QVERIFY(trashed);
    QVERIFY(QDir(dir.path("Projects")).removeRecursively());
    dir.file("Projects", "a file now");
    const FileError error = failure([&] { fs.restoreFromTrash(*trashed); });
    QCOMPARE(error.code(), ENOTDIR);
    QVERIFY2(error.message().contains(dir.path("Projects")) && error.message().contains("in the way"),
             qPrintable(error.message()));
    QCOMPARE(dir.read("Projects"), QByteArray("a file now"));
    QCOMPARE(readFile(trashed->toLocalFile()), QByteArray("notes"));
}

// Another copy takes "a copy.txt" while ours runs (synchronised by our first progress report).
void TestErrorCauses::keepBothTakesTheNextNameWhenRaced()
{
    const TestDir &dir = *m_dir;
    dir.file("src/a.txt", "ours");
    dir.file("dst/a.txt", "theirs");
    CopyControl control;
    control.onProgress = [&](qint64, qint64) {
        if (!dir.exists("dst/a copy.txt"))
            dir.file("dst/a copy.txt", "the other copy");
    };
    const TransferOutcome outcome = fs.copy(dir.url("src/a.txt"), dir.url("dst"), ConflictResolution::keepBoth, control);
    QCOMPARE(outcome, TransferOutcome::completed(dir.url("dst/a copy 2.txt")));
    QCOMPARE(dir.read("dst/a copy 2.txt"), QByteArray("ours"));
    QCOMPARE(dir.read("dst/a copy.txt"), QByteArray("the other copy"));
    QCOMPARE(dir.entries("dst"), (QStringList{"a copy 2.txt", "a copy.txt", "a.txt"}));
}

QTEST_GUILESS_MAIN(TestErrorCauses)
#include "tst_errorcauses.moc"
