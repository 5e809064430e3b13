// The pane's commands over real files: transfers with their progress, failures and cancels;
// paste and drops; rename, trash, duplicate with undo; archives; bulk rename. The prompts'
// dialogs are answered by keys and clicks in the view tests.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "midfilehold.h"
#include "paneactions.h"
#include "panemodel.h"
#include "tabmodel.h"
#include "testdir.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QTest>
#include <QTimer>

#include <sys/stat.h>

using Op = PaneActions::TransferOperation;

class TestPaneActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void transferPublishesProgressAndReloads();
    void failureStopsAtTheFailingItem_data();
    void failureStopsAtTheFailingItem();
    void largeCopyKeepsTheWindowResponsiveAndStopsCleanly();
    void paste_data();
    void paste();
    void drops_data();
    void drops();
    void renameUndoRedo();
    void trashUndoRestoresWhatWasTrashed();
    void duplicateUndo();
    void compressNames_data();
    void compressNames();
    void bulkRenameUndoRedo();

private:
    TabModel *tab(int pane) const { return m_workspace->panes().at(pane)->activeTab(); }
    QList<FilePath> urls(const QStringList &names) const
    {
        QList<FilePath> urls;
        for (const QString &name : names)
            urls << m_dir->url("left/" + name);
        return urls;
    }
    QList<FileItem> items(const QStringList &names) const { return m_actions->fileItems(urls(names)); }
    void settle() const { QTRY_VERIFY_WITH_TIMEOUT(!m_actions->isBusy(), 30000); }
    // 200 MB of data, no holes: the copy has to move every byte.
    void bigFile() const { m_dir->file("left/big", QByteArray(200 << 20, 'x')); }

    std::unique_ptr<TestDir> m_dir;
    AnsweringPresenter m_dialogs;
    AppSettings *m_settings = nullptr;
    WorkspaceModel *m_workspace = nullptr;
    PaneActions *m_actions = nullptr;
};

void TestPaneActions::init()
{
    m_dir.reset(new TestDir);
    m_dir->isolateHome();
    for (const char *name : {"a", "b", "c", "d"})
        m_dir->file(QString("left/") + name, name);
    m_dir->dir("right");
    m_settings = new AppSettings(m_dir->path("settings.conf"));
    m_settings->setLanguage(AppLanguage::english);
    m_workspace = new WorkspaceModel(false);
    tab(0)->navigate(m_dir->url("left"));
    tab(1)->navigate(m_dir->url("right"));
    QTRY_VERIFY(!tab(0)->isLoading() && !tab(1)->isLoading());
    m_dialogs = AnsweringPresenter();
    m_actions = new PaneActions(m_workspace, m_workspace->leftPane(), m_settings, &m_dialogs);
}

void TestPaneActions::cleanup()
{
    delete m_actions;
    delete m_workspace;
    delete m_settings;
}

void TestPaneActions::transferPublishesProgressAndReloads()
{
    QList<std::pair<int, int>> steps;
    connect(m_actions, &PaneActions::transferProgressChanged, this, [&] {
        const auto p = m_actions->transferProgress();
        if (const auto step = p ? std::pair(p->done, p->total) : std::pair(-1, -1); steps.isEmpty() || steps.last() != step)
            steps << step;
    });
    const int leftLoads = tab(0)->reloadCount(), rightLoads = tab(1)->reloadCount();
    // Two transfers asked for back to back: the second runs after the first, both to the end.
    m_actions->copyToOtherPane(items({"a", "b", "c"}));
    m_actions->copyToOtherPane(items({"d"}));
    settle();
    QCOMPARE(steps, (QList<std::pair<int, int>>{{0, 3}, {1, 3}, {2, 3}, {3, 3}, {0, 1}, {1, 1}, {-1, -1}}));
    QCOMPARE(m_dir->entries("right"), m_dir->entries("left"));
    // A copy leaves its source as it was: only the destination's pane reads its folder again.
    QCOMPARE(tab(0)->reloadCount(), leftLoads);
    QVERIFY(tab(1)->reloadCount() > rightLoads);
}

void TestPaneActions::failureStopsAtTheFailingItem_data()
{
    QTest::addColumn<Op>("operation");
    QTest::addColumn<QString>("failing"); // "pipe": a pipe the core won't read; else gone since the listing
    QTest::addColumn<QString>("message");
    QTest::newRow("copy of a pipe") << Op::copy << "pipe" << "“b” couldn't be copied: ";
    QTest::newRow("copy of an item gone") << Op::copy << "gone" << "“b” couldn't be copied: ";
    QTest::newRow("move of an item gone") << Op::move << "gone" << "“b” couldn't be moved: ";
}

void TestPaneActions::failureStopsAtTheFailingItem()
{
    QFETCH(Op, operation);
    QFETCH(QString, failing);
    QFETCH(QString, message);
    const QList<FileItem> chosen = items({"a", "b", "c", "d"});
    QVERIFY(QFile::remove(m_dir->path("left/b")));
    if (failing == "pipe")
        QCOMPARE(::mkfifo(qPrintable(m_dir->path("left/b")), 0644), 0);
    const int rightLoads = tab(1)->reloadCount();
    m_actions->requestTransfer(chosen, m_dir->url("right"), operation);
    settle();
    QCOMPARE(m_dir->entries("right"), QStringList({"a"}));
    QVERIFY2(m_dialogs.lastError() && m_dialogs.lastError()->startsWith(message),
             qPrintable(m_dialogs.lastError().value_or("no message")));
    QVERIFY(!m_actions->transferProgress());
    QVERIFY(tab(1)->reloadCount() > rightLoads);
}

void TestPaneActions::largeCopyKeepsTheWindowResponsiveAndStopsCleanly()
{
    bigFile();
    int ticks = 0, byteReports = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] { ++ticks; });
    timer.start(10);
    connect(m_actions, &PaneActions::transferProgressChanged, this, [&] {
        if (m_actions->transferProgress() && m_actions->transferProgress()->bytesDone > 0)
            ++byteReports;
    });
    m_actions->copyToOtherPane(items({"big"}));
    settle();
    QCOMPARE(QFileInfo(m_dir->path("right/big")).size(), 200 << 20);
    QVERIFY2(byteReports > 1 && ticks > 1, qPrintable(QString("%1 %2").arg(byteReports).arg(ticks)));

    // Cancelled inside the large item: the first item stays done, nothing is left half-written.
    MidFileHold cancelled;
    m_actions->setPauseMidFile(cancelled.hook());
    m_dir->dir("right/sub");
    m_actions->requestTransfer(items({"a", "big", "c"}), m_dir->url("right/sub"), Op::copy);
    QVERIFY(cancelled.waitUntilHeld());
    QCOMPARE(cancelled.heldPath(), m_dir->path("left/big"));
    m_actions->cancelTransfer();
    settle();
    QCOMPARE(m_dir->entries("right/sub"), QStringList({"a"}));
    QVERIFY(!m_dialogs.lastError() && !m_actions->transferProgress());

    // A pane closed in the middle of a copy stops it the same way.
    MidFileHold closed;
    m_actions->setPauseMidFile(closed.hook());
    m_actions->requestTransfer(items({"big"}), m_dir->url("right/sub"), Op::copy);
    QVERIFY(closed.waitUntilHeld());
    delete std::exchange(m_actions, nullptr);
    QCOMPARE(m_dir->entries("right/sub"), QStringList({"a"}));
    QCOMPARE(QFileInfo(m_dir->path("left/big")).size(), 200 << 20);
}

void TestPaneActions::paste_data()
{
    QTest::addColumn<ClipboardOperation>("operation");
    QTest::newRow("after a copy") << ClipboardOperation::copy;
    QTest::newRow("after a cut") << ClipboardOperation::move;
}

void TestPaneActions::paste()
{
    QFETCH(ClipboardOperation, operation);
    m_workspace->writeClipboard({m_dir->url("left/a"), m_dir->url("left/b")}, operation);
    m_actions->paste(m_dir->url("right"));
    settle();
    QCOMPARE(m_dir->entries("right"), QStringList({"a", "b"}));
    const bool cut = operation == ClipboardOperation::move;
    QCOMPARE(m_dir->exists("left/a"), !cut);
    QCOMPARE(m_workspace->clipboard().has_value(), !cut);
}

void TestPaneActions::drops_data()
{
    using L = QStringList;
    QTest::addColumn<L>("dragged");
    QTest::addColumn<L>("dropped");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<L>("right");
    QTest::addColumn<L>("left");
    const L all{"a", "b", "c", "d"};
    QTest::newRow("subset of our drag moves the whole drag") << L{"a", "b", "c"} << L{"b"} << 0 << L{"a", "b", "c"} << L{"d"};
    QTest::newRow("Ctrl copies") << L{"a", "b"} << L{"./b"} << int(Qt::ControlModifier) << L{"a", "b"} << all;
    QTest::newRow("Shift forces a move") << L{} << L{"a"} << int(Qt::ControlModifier | Qt::ShiftModifier) << L{"a"}
                                         << L{"b", "c", "d"};
    QTest::newRow("foreign drop moves only what was dropped") << L{"a", "b"} << L{"c", "d"} << 0 << L{"c", "d"} << L{"a", "b"};
}

void TestPaneActions::drops()
{
    QFETCH(QStringList, dragged);
    QFETCH(QStringList, dropped);
    QFETCH(int, modifiers);
    QFETCH(QStringList, right);
    QFETCH(QStringList, left);
    m_workspace->setDraggingURLs(urls(dragged));
    m_actions->handleDrop(urls(dropped), m_dir->url("right"), Qt::KeyboardModifiers(modifiers));
    QVERIFY(m_workspace->draggingURLs().isEmpty());
    settle();
    QCOMPARE(m_dir->entries("right"), right);
    QCOMPARE(m_dir->entries("left"), left);
    // Onto the folder that holds it or onto its own row: nothing; into its own subfolder: refused
    // (by the transfer itself, as "f" is not listed yet and the main thread doesn't ask the disk).
    m_dir->dir("left/f/sub");
    m_actions->handleDrop(urls({"f"}), m_dir->url("left"), {});
    m_actions->handleDropIntoFolder(urls({"f"}), items({"f"}).first(), tab(0), {});
    QVERIFY(!m_actions->isBusy() && !m_dialogs.collision && !m_dialogs.lastError());
    m_actions->handleDrop(urls({"f"}), m_dir->url("left/f/sub"), {});
    settle();
    QVERIFY(m_dialogs.lastError() && m_dialogs.lastError()->contains("“f”"));
    QCOMPARE(m_dir->entries("left/f"), QStringList({"sub"}));
}

void TestPaneActions::renameUndoRedo()
{
    UndoCoordinator *undo = m_workspace->undo();
    m_actions->requestRename(items({"a"}).first(), tab(0));
    QCOMPARE(m_dialogs.renaming->name, "a");
    QVERIFY(!m_dialogs.rename("c"));
    QVERIFY(m_dialogs.lastError() && m_dialogs.renaming && !undo->canUndo()); // taken: stays open
    QVERIFY(m_dialogs.rename(" \tz.txt  "));
    QCOMPARE(m_dir->read("left/z.txt"), "a");
    undo->undo();
    settle();
    QVERIFY(m_dir->exists("left/a") && !m_dir->exists("left/z.txt"));
    undo->redo();
    settle();
    QVERIFY(!m_dir->exists("left/a") && m_dir->exists("left/z.txt"));
    undo->undo();
    settle();
    QVERIFY(m_dir->exists("left/a") && !m_dir->exists("left/z.txt") && undo->canRedo());
}

void TestPaneActions::trashUndoRestoresWhatWasTrashed()
{
    // "gone" vanished after the listing: trashing stops there; the first item is still undoable.
    m_actions->trash(items({"a", "gone", "c"}), tab(0));
    settle();
    QVERIFY(m_dialogs.lastError() && m_dialogs.lastError()->contains("“gone”"));
    QCOMPARE(m_dir->entries("left"), QStringList({"b", "c", "d"}));
    m_actions->trash(items({"b", "c", "d"}), tab(0));
    settle();
    QVERIFY(m_dir->entries("left").isEmpty());
    m_dir->file("left/c", "taken meanwhile");
    m_workspace->undo()->undo(); // b, d back; c stays in the Trash, its place being taken
    settle();
    QCOMPARE(m_dir->entries("left"), QStringList({"b", "c", "d"}));
    QCOMPARE(m_dir->read("left/c"), "taken meanwhile");
    m_workspace->undo()->undo();
    settle();
    QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d"}));
    QVERIFY(!m_workspace->undo()->canRedo());
}

void TestPaneActions::duplicateUndo()
{
    m_actions->duplicate(items({"a", "b"}), tab(0));
    settle();
    QCOMPARE(m_dir->entries("left"), QStringList({"a", "a copy", "b", "b copy", "c", "d"}));
    m_workspace->undo()->undo();
    settle();
    QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d"}));
    // Stopped by an item gone since the listing: the copies made before it still go on undo.
    m_actions->duplicate(items({"a", "gone", "c"}), tab(0));
    settle();
    QVERIFY(m_dialogs.lastError() && m_dialogs.lastError()->contains("“gone”"));
    QCOMPARE(m_dir->entries("left"), QStringList({"a", "a copy", "b", "c", "d"}));
    m_workspace->undo()->undo();
    settle();
    QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d"}));
}

void TestPaneActions::compressNames_data()
{
    QTest::addColumn<QStringList>("chosen");
    QTest::addColumn<QString>("taken");
    QTest::addColumn<QString>("archive");
    QTest::newRow("one file, name taken") << QStringList{"report.pdf"} << "report.zip" << "report copy.zip";
    QTest::newRow("two items") << QStringList{"a", "b"} << "" << "Archive.zip";
    QTest::newRow("folder") << QStringList{"photos"} << "" << "photos.zip";
    QTest::newRow("last extension only") << QStringList{"a.b.c"} << "" << "a.b.zip";
}

void TestPaneActions::compressNames()
{
    QFETCH(QStringList, chosen);
    QFETCH(QString, taken);
    QFETCH(QString, archive);
    m_dir->file("left/report.pdf", "pdf");
    m_dir->file("left/a.b.c", "abc");
    m_dir->file("left/photos/p.jpg", "jpg");
    if (!taken.isEmpty())
        m_dir->file("left/" + taken, "taken");
    m_actions->compress(items(chosen), tab(0));
    settle();
    QVERIFY(!m_dialogs.lastError());
    QVERIFY(QFileInfo(m_dir->path("left/" + archive)).size() > 0);
}

void TestPaneActions::bulkRenameUndoRedo()
{
    m_actions->applyBulkRename({{m_dir->url("left/a"), "x"}, {m_dir->url("left/b"), "a"}});
    settle();
    QCOMPARE(m_dir->read("left/x") + m_dir->read("left/a"), "ab");
    m_workspace->undo()->undo();
    settle();
    QCOMPARE(m_dir->read("left/a") + m_dir->read("left/b"), "ab");
    QVERIFY(!m_dir->exists("left/x"));
    m_workspace->undo()->redo();
    settle();
    QCOMPARE(m_dir->read("left/x") + m_dir->read("left/a"), "ab");
}

QTEST_GUILESS_MAIN(TestPaneActions)
#include "tst_paneactions.moc"
