// The undo history: reversible pairs alternating without end, undo-only steps leaving nothing to
// redo, mixed histories undone newest first, failing actions, and the menu state signals.

#include "fileerror.h"
#include "testdir.h"
#include "undocoordinator.h"

#include <QSignalSpy>
#include <QTest>

namespace {

// A rename the way the commands record it: plain file operations that throw when they fail.
UndoCoordinator::Action renaming(const QString &from, const QString &to)
{
    return [from, to] {
        if (!QFile::rename(from, to))
            throw FileError(FileError::Operation::Rename, ENOENT, from);
    };
}

} // namespace

class TestUndoCoordinator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { home.isolateHome(); }
    void renameUndoneAndRedoneRepeatedly();
    void undoOnlyStepLeavesNothingToRedo();
    void mixedHistoryUndoneNewestFirst();
    void failedActionStillConsumesTheStep();
    void actionsThatRecordThemselvesDontDisturbTheHistory();
    void menuStateSignalsOnlyOnChange();

private:
    TestDir home;
};

void TestUndoCoordinator::renameUndoneAndRedoneRepeatedly()
{
    TestDir dir;
    dir.file(QStringLiteral("b"), "contents");
    UndoCoordinator undo;
    undo.registerReversible(renaming(dir.path("a"), dir.path("b")), renaming(dir.path("b"), dir.path("a")));
    QVERIFY(dir.exists("b")); // registering doesn't run the forward action again

    for (int round = 0; round < 3; ++round) {
        undo.undo();
        QCOMPARE(dir.entries(), QStringList{"a"});
        QVERIFY(undo.canRedo());
        QVERIFY(!undo.canUndo());
        undo.redo();
        QCOMPARE(dir.entries(), QStringList{"b"});
        QVERIFY(undo.canUndo());
        QVERIFY(!undo.canRedo());
    }
}

void TestUndoCoordinator::undoOnlyStepLeavesNothingToRedo()
{
    TestDir dir;
    dir.dir(QStringLiteral("New Folder"));
    UndoCoordinator undo;
    int runs = 0;
    undo.registerUndoOnly([&] {
        ++runs;
        QDir(dir.path("New Folder")).removeRecursively();
    });

    undo.undo();
    QCOMPARE(runs, 1);
    QVERIFY(!dir.exists("New Folder"));
    QVERIFY(!undo.canRedo());
    QVERIFY(!undo.canUndo());
    undo.redo();
    undo.undo();
    QCOMPARE(runs, 1);
}

void TestUndoCoordinator::mixedHistoryUndoneNewestFirst()
{
    QStringList log;
    const auto note = [&log](const char *what) { return [&log, what] { log << QString::fromLatin1(what); }; };
    UndoCoordinator undo;
    undo.registerReversible(note("redo 1"), note("undo 1"));
    undo.registerUndoOnly(note("undo 2"));
    undo.registerReversible(note("redo 3"), note("undo 3"));

    undo.undo();
    undo.undo();
    undo.undo();
    QCOMPARE(log, (QStringList{"undo 3", "undo 2", "undo 1"}));

    // The one-way step is gone: redo brings back the pairs only, oldest first.
    undo.redo();
    undo.redo();
    QVERIFY(!undo.canRedo());
    QCOMPARE(log.mid(3), (QStringList{"redo 1", "redo 3"}));

    // A new step after an undo drops what could have been redone.
    undo.undo();
    undo.registerUndoOnly(note("undo 4"));
    QVERIFY(!undo.canRedo());
    undo.undo();
    undo.undo();
    QCOMPARE(log.mid(5), (QStringList{"undo 3", "undo 4", "undo 1"}));
}

void TestUndoCoordinator::failedActionStillConsumesTheStep()
{
    TestDir dir;
    dir.file(QStringLiteral("b"));
    UndoCoordinator undo;
    undo.registerReversible(renaming(dir.path("a"), dir.path("b")), renaming(dir.path("b"), dir.path("a")));
    QFile::remove(dir.path("b")); // deleted elsewhere meanwhile

    undo.undo();
    QVERIFY(!undo.canUndo());
    QVERIFY(undo.canRedo());
    QCOMPARE(dir.entries(), QStringList());

    // Once the item is back where the redo expects it, the pair works again.
    dir.file(QStringLiteral("a"));
    undo.redo();
    QCOMPARE(dir.entries(), QStringList{"b"});

    bool undoOnlyRan = false;
    undo.registerUndoOnly([&] {
        undoOnlyRan = true;
        throw std::runtime_error("restore failed");
    });
    undo.undo();
    QVERIFY(undoOnlyRan);
    QVERIFY(undo.canUndo()); // the rename below it
    QVERIFY(!undo.canRedo());
}

void TestUndoCoordinator::actionsThatRecordThemselvesDontDisturbTheHistory()
{
    // Undo and redo reuse the rename command, which records an undo step of its own each time.
    UndoCoordinator undo;
    QStringList log;
    std::function<void(const QString &)> renameCommand = [&](const QString &to) {
        log << to;
        undo.registerReversible([&, to] { renameCommand(to); }, [&] { renameCommand(QStringLiteral("old")); });
    };
    undo.registerReversible([] {}, [] {}); // an earlier step
    renameCommand(QStringLiteral("new"));

    undo.undo();
    QVERIFY(undo.canRedo());
    undo.redo();
    undo.undo();
    undo.undo();
    QVERIFY(!undo.canUndo());
    QCOMPARE(log, (QStringList{"new", "old", "new", "old"}));
    undo.redo();
    undo.redo();
    QVERIFY(!undo.canRedo());
    QCOMPARE(log.last(), QStringLiteral("new"));
}

void TestUndoCoordinator::menuStateSignalsOnlyOnChange()
{
    UndoCoordinator undo;
    QSignalSpy undoSpy(&undo, &UndoCoordinator::canUndoChanged);
    QSignalSpy redoSpy(&undo, &UndoCoordinator::canRedoChanged);
    undo.registerReversible([] {}, [] {});
    undo.registerReversible([] {}, [] {});
    QCOMPARE(undoSpy.count(), 1);
    QCOMPARE(redoSpy.count(), 0);

    undo.undo();
    QCOMPARE(undoSpy.count(), 1);
    QCOMPARE(redoSpy.count(), 1);
    undo.undo();
    QCOMPARE(undoSpy.count(), 2);
    QCOMPARE(undoSpy.last().at(0).toBool(), false);
    QCOMPARE(redoSpy.count(), 1);
}

QTEST_GUILESS_MAIN(TestUndoCoordinator)
#include "tst_undocoordinator.moc"
