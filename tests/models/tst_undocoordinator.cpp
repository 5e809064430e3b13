// The undo history: undo-only steps leaving nothing to redo, mixed histories, failing actions,
// and actions that record themselves. Undo over real files is tst_paneactions'.

#include "undocoordinator.h"

#include <QSignalSpy>
#include <QTest>

class TestUndoCoordinator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mixedHistoryUndoneNewestFirst()
    {
        QStringList log;
        const auto note = [&log](const char *what) { return [&log, what] { log << QString::fromLatin1(what); }; };
        UndoCoordinator undo;
        QSignalSpy redoable(&undo, &UndoCoordinator::canRedoChanged);
        undo.registerReversible(note("redo 1"), note("undo 1"));
        undo.registerUndoOnly(note("undo 2"));
        // A step whose undo fails is spent all the same, and can still be redone.
        undo.registerReversible(note("redo 3"), [] { throw std::runtime_error("restore failed"); });
        for (int i = 0; i < 3; ++i)
            undo.undo();
        QCOMPARE(log, (QStringList{"undo 2", "undo 1"}));
        undo.redo(); // the undo-only step is gone: redo brings back the pairs only
        undo.redo();
        QVERIFY(!undo.canRedo());
        QCOMPARE(log.mid(2), (QStringList{"redo 1", "redo 3"}));

        undo.undo(); // a new step after an undo drops what could have been redone
        undo.registerUndoOnly(note("undo 4"));
        QVERIFY(!undo.canRedo());
        undo.undo();
        undo.undo();
        QCOMPARE(log.mid(4), (QStringList{"undo 4", "undo 1"}));
        // Heard only when it changes, not on every step taken.
        QCOMPARE(redoable.count(), 5);
    }

    void actionsThatRecordThemselvesDontDisturbTheHistory()
    {
        // Undo and redo reuse the rename command, which records a step of its own each time.
        UndoCoordinator undo;
        QStringList log;
        std::function<void(const QString &)> renameCommand = [&](const QString &to) {
            log << to;
            undo.registerReversible([&, to] { renameCommand(to); }, [&] { renameCommand(QStringLiteral("old")); });
        };
        undo.registerReversible([] {}, [] {});
        renameCommand(QStringLiteral("new"));
        for (auto step : {&UndoCoordinator::undo, &UndoCoordinator::redo, &UndoCoordinator::undo,
                          &UndoCoordinator::undo, &UndoCoordinator::redo, &UndoCoordinator::redo})
            (undo.*step)();
        QVERIFY(!undo.canRedo() && undo.canUndo());
        QCOMPARE(log, (QStringList{"new", "old", "new", "old", "new"}));
    }
};

QTEST_GUILESS_MAIN(TestUndoCoordinator)
#include "tst_undocoordinator.moc"
