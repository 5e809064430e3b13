// The pane's commands over real files: transfers, paste and drops, undoable trash, duplicate and
// renames, archives, which commands the menus offer, odd names through every command, and Open
// With. The prompts' dialogs are answered by keys and clicks in the view tests.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "bulkrename.h"
#include "clipboardmime.h"
#include "filenames.h"
#include "itemlists.h"
#include "midfilehold.h"
#include "paneactions.h"
#include "panecommands.h"
#include "panemodel.h"
#include "pathclipboardservice.h"
#include "pathformatter.h"
#include "tabmodel.h"
#include "testdir.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScopeGuard>
#include <QSemaphore>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using Op = PaneActions::TransferOperation;
using Command = ContextMenuEntry::Command;
using Names = QList<QByteArray>;

Names sortedNames(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class TestPaneActions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
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
        m_jobs = std::make_unique<FileJobQueue>();
        m_actions = new PaneActions(m_workspace, m_workspace->leftPane(), m_settings, &m_dialogs, m_jobs.get());
        QGuiApplication::clipboard()->clear(); // nothing to paste from the tests before
        m_selected.clear();
    }

    void cleanup()
    {
        delete std::exchange(m_commands, nullptr);
        m_jobs.reset(); // as in the window: the queue goes first
        delete m_actions;
        delete m_workspace;
        delete m_settings;
    }

    void transferPublishesProgressAndReloads()
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

    void failureStopsAtTheFailingItem_data()
    {
        QTest::addColumn<Op>("operation");
        QTest::addColumn<QString>("failing"); // "pipe": a pipe the core won't read; else gone since the listing
        QTest::addColumn<QString>("message");
        QTest::newRow("copy of a pipe") << Op::copy << "pipe" << "“b” couldn't be copied: ";
        QTest::newRow("copy of an item gone") << Op::copy << "gone" << "“b” couldn't be copied: ";
        QTest::newRow("move of an item gone") << Op::move << "gone" << "“b” couldn't be moved: ";
    }

    void failureStopsAtTheFailingItem()
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

    void largeCopyKeepsTheWindowResponsiveAndStopsCleanly()
    {
        // 200 MB of data, no holes: the copy has to move every byte.
        m_dir->file("left/big", QByteArray(200 << 20, 'x'));
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
        m_actions->jobs()->cancelAll();
        settle();
        QCOMPARE(m_dir->entries("right/sub"), QStringList({"a"}));
        QVERIFY(!m_dialogs.lastError() && !m_actions->transferProgress());

        // Cancelled while replacing, the name taken meanwhile: the alert tells of the Trash.
        MidFileHold replacing;
        m_actions->setPauseMidFile(replacing.hook());
        m_actions->requestTransfer(items({"big"}), m_dir->url("right"), Op::copy);
        QTRY_VERIFY(m_dialogs.collision);
        std::exchange(m_dialogs.collision, {})(ConflictResolution::replace);
        QVERIFY(replacing.waitUntilHeld());
        m_dir->file("right/big", "theirs");
        m_actions->jobs()->cancelAll();
        settle();
        QVERIFY(m_dialogs.lastError() && m_dialogs.lastError()->contains("Trash"));

        // A window closed in the middle of a copy (its queue goes first) stops it the same way.
        MidFileHold closed;
        m_actions->setPauseMidFile(closed.hook());
        m_actions->requestTransfer(items({"big"}), m_dir->url("right/sub"), Op::copy);
        QVERIFY(closed.waitUntilHeld());
        m_jobs.reset();
        QCOMPARE(m_dir->entries("right/sub"), QStringList({"a"}));
        QCOMPARE(QFileInfo(m_dir->path("left/big")).size(), 200 << 20);
    }

    // A pasted cut moves the items and empties the clipboard; a pasted copy is in the odd-name walk.
    void pasteAfterACut()
    {
        m_workspace->writeClipboard({m_dir->url("left/a"), m_dir->url("left/b")}, ClipboardOperation::move);
        m_actions->paste(m_dir->url("right"));
        settle();
        QCOMPARE(m_dir->entries("right"), QStringList({"a", "b"}));
        QCOMPARE(m_dir->entries("left"), QStringList({"c", "d"}));
        QVERIFY(!m_workspace->clipboard());
    }

    void drops_data()
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

    void drops()
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
        // A link to a folder is not the folder: it may go into a folder reached through itself.
        m_dir->link(QStringLiteral("f"), QStringLiteral("left/toF"));
        tab(0)->reload();
        QTRY_VERIFY(items({"toF"}).first().isSymbolicLink);
        m_actions->handleDrop(urls({"toF"}), m_dir->url("left/toF/sub"), {});
        settle();
        QCOMPARE(m_dir->entries("left/f/sub"), QStringList({"toF"}));
    }

    void trashUndoRestoresWhatWasTrashed()
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
        undoStep(); // b, d back; c stays in the Trash, its place being taken
        QCOMPARE(m_dir->entries("left"), QStringList({"b", "c", "d"}));
        QCOMPARE(m_dir->read("left/c"), "taken meanwhile");
        undoStep();
        QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d"}));
        QVERIFY(!m_workspace->undo()->canRedo());
    }

    // Undo pressed while a command still waits in the queue takes back nothing: it would take
    // back the step before (here the new folder, with all that was put in it since).
    void undoWaitsForAStepStillQueued()
    {
        m_actions->createItem(PaneActions::NewItem::folder, "made", m_dir->url("left"));
        settle();
        // Shared with the job, so that a failed check lets it go and the queue can end.
        const auto release = std::make_shared<QSemaphore>();
        const auto unblock = qScopeGuard([release] { release->release(); });
        m_actions->jobs()->enqueue(new FileJob([release](FileJob::Context &) { release->acquire(); }));
        m_actions->trash(items({"a"}), tab(0));
        QVERIFY(!m_workspace->undo()->canUndo());
        m_workspace->undo()->undo();
        release->release();
        settle();
        QCOMPARE(m_dir->entries("left"), QStringList({"b", "c", "d", "made"}));
        undoStep();
        QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d", "made"}));
    }

    // Stopped by an item gone since the listing: the copies made before it still go on undo.
    void duplicateUndo()
    {
        m_actions->duplicate(items({"a", "b", "gone", "c"}), tab(0));
        settle();
        QVERIFY(m_dialogs.lastError() && m_dialogs.lastError()->contains("“gone”"));
        QCOMPARE(m_dir->entries("left"), QStringList({"a", "a copy", "b", "b copy", "c", "d"}));
        undoStep();
        QCOMPARE(m_dir->entries("left"), QStringList({"a", "b", "c", "d"}));
    }

    void bulkRenameUndoRedo()
    {
        m_actions->applyBulkRename({{m_dir->url("left/a"), "x"}, {m_dir->url("left/b"), "a"}});
        settle();
        QCOMPARE(m_dir->read("left/x") + m_dir->read("left/a"), "ab");
        undoStep();
        QCOMPARE(m_dir->read("left/a") + m_dir->read("left/b"), "ab");
        QVERIFY(!m_dir->exists("left/x"));
        redoStep();
        QCOMPARE(m_dir->read("left/x") + m_dir->read("left/a"), "ab");
    }

    void contextMenu_data()
    {
        using L = QStringList;
        using Cs = QList<Command>;
        QTest::addColumn<L>("chosen");
        QTest::addColumn<bool>("clipboard");
        QTest::addColumn<Cs>("expected");
        // The zips aren't on disk: the menus go by the name alone.
        const Cs head{Command::openWith, Command::divider, Command::copyPath, Command::divider, Command::copy, Command::cut,
                      Command::divider, Command::copyToOtherPane, Command::moveToOtherPane, Command::divider,
                      Command::duplicate, Command::bulkRename};
        const Cs single{Command::getInfo, Command::preview, Command::rename};
        const Cs tail{Command::moveToTrash, Command::divider, Command::compress};
        const Cs reveal{Command::revealInFileManager}, extract{Command::extract};
        QTest::newRow("empty space") << L{} << false << Cs{Command::newFolder, Command::newFile};
        QTest::newRow("empty space, something to paste")
            << L{} << true << Cs{Command::newFolder, Command::newFile, Command::divider, Command::paste};
        QTest::newRow("one item") << L{"a"} << false << head + single + tail + reveal;
        QTest::newRow("one item, something to paste")
            << L{"a"} << true << head.mid(0, 6) + Cs{Command::paste} + head.mid(6) + single + tail + reveal;
        QTest::newRow("two items, even zips") << L{"Data.ZIP", "data.zip"} << false << head + tail + reveal;
        QTest::newRow("Data.ZIP") << L{"Data.ZIP"} << false << head + single + tail + extract + reveal;
        QTest::newRow("data.tar.gz") << L{"data.tar.gz"} << false << head + single + tail + reveal;
    }

    void contextMenu()
    {
        QFETCH(QStringList, chosen);
        QFETCH(bool, clipboard);
        QFETCH(QList<Command>, expected);
        if (clipboard)
            m_workspace->writeClipboard({m_dir->url("left/b")}, ClipboardOperation::copy);
        const CommandTarget menuTarget = target(chosen);
        const QList<ContextMenuEntry> menu = commands()->contextMenu(menuTarget);
        QList<Command> shown;
        for (const ContextMenuEntry &entry : menu)
            shown << entry.command;
        QCOMPARE(shown, expected);
        // While the menu is open every entry it shows can run.
        m_commands->setMenuTarget(menuTarget);
        for (const ContextMenuEntry &entry : menu) {
            if (QAction *action = m_commands->action(entry.command))
                QVERIFY2(action->isEnabled(), qPrintable(action->text()));
        }
    }

    // The selection is "a"; a menu opened on "b" duplicates "b" and, once closed, the keys act on
    // the selection again.
    void aMenuActsOnItsOwnItems()
    {
        m_settings->setConfirmBeforeTrash(false);
        m_selected = items({"a"});
        commands()->refresh();
        m_commands->setMenuTarget(target({"b"}));
        m_commands->action(Command::duplicate)->trigger();
        m_commands->setMenuTarget(std::nullopt);
        m_commands->action(Command::moveToTrash)->trigger();
        QTRY_VERIFY(!m_actions->isBusy());
        QCOMPARE(m_dir->entries("left"), QStringList({"b", "b copy", "c", "d"}));
    }

    // Names that text handling likes to break walked through every command that touches a name;
    // each step reads the folders' raw entries, as the bytes on disk are the proof.
    void oddNamesThroughEveryCommand_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::addColumn<QByteArray>("duplicate");
        QTest::addColumn<QString>("find");
        QTest::addColumn<QString>("replace");
        QTest::addColumn<QByteArray>("bulkRenamed");
        QTest::addColumn<QByteArray>("archive"); // empty: can't be archived
        // A ZIP archive marks its names as UTF-8, so such a name is refused, and nothing is written.
        QTest::newRow("not UTF-8") << QByteArray("caf\xe9.txt") << QByteArray("caf\xe9 copy.txt") << "caf" << "tea"
                                   << QByteArray("tea\xe9.txt") << QByteArray();
        QTest::newRow("line break") << QByteArray("line\nbreak.txt") << QByteArray("line\nbreak copy.txt") << "break"
                                    << "feed" << QByteArray("line\nfeed.txt") << QByteArray("line\nbreak.zip");
        QTest::newRow("255 bytes") << QByteArray(251, 'n') + ".txt" << QByteArray(246, 'n') + " copy.txt" << "txt" << "dat"
                                   << QByteArray(251, 'n') + ".dat" << QByteArray(251, 'n') + ".zip";
        QTest::newRow("leading dash") << QByteArray("-rf") << QByteArray("-rf copy") << "r" << "R" << QByteArray("-Rf")
                                      << QByteArray("-rf.zip");
    }

    void oddNamesThroughEveryCommand()
    {
        QFETCH(QByteArray, name);
        QFETCH(QByteArray, duplicate);
        QFETCH(QString, find);
        QFETCH(QString, replace);
        QFETCH(QByteArray, bulkRenamed);
        QFETCH(QByteArray, archive);
        m_dir->dir("odd/sub");
        const int fd = ::open(bytes("odd/" + name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0);
        tab(0)->navigate(native("odd"));
        QTRY_VERIFY(!tab(0)->isLoading());
        const Names alone = sortedNames({name, "sub"});

        // Renamed: Return on the untouched field changes nothing, the copy's name is taken so the
        // prompt stays open, an edit loses its outer white space and undoes to the original bytes.
        m_actions->duplicate({listed(0, "odd/" + name)}, tab(0));
        settle();
        const Names withCopy = sortedNames({duplicate, name, "sub"}), edited = sortedNames({duplicate, "edited", "sub"});
        QCOMPARE(onDisk("odd"), withCopy);
        m_actions->requestRename(listed(0, "odd/" + name), tab(0));
        QCOMPARE(m_dialogs.renaming->url, native("odd/" + name));
        QVERIFY(m_dialogs.rename(m_dialogs.renaming->name) && !m_dialogs.lastError());
        QCOMPARE(onDisk("odd"), withCopy);
        m_actions->requestRename(listed(0, "odd/" + name), tab(0));
        QVERIFY(!m_dialogs.rename(FileNames::decode(duplicate)));
        QVERIFY(m_dialogs.lastError() && m_dialogs.renaming);
        QVERIFY(m_dialogs.rename(" \tedited  "));
        QCOMPARE(onDisk("odd"), edited);
        undoStep();
        QCOMPARE(onDisk("odd"), withCopy);
        redoStep();
        QCOMPARE(onDisk("odd"), edited);
        undoStep();
        QVERIFY(m_workspace->undo()->canRedo());
        // The duplicate's step comes next, the prompts having recorded none: the copy goes to the Trash.
        undoStep();
        QCOMPARE(onDisk("odd"), alone);
        m_dialogs.errors.clear();

        m_actions->applyBulkRename(BulkRename::changes(BulkRename::plan({listed(0, "odd/" + name)},
                                                                        BulkRename::Mode::findReplace(find, replace))));
        settle();
        QCOMPARE(onDisk("odd"), sortedNames({bulkRenamed, "sub"}));
        undoStep();
        QCOMPARE(onDisk("odd"), alone);

        m_actions->copyToOtherPane({listed(0, "odd/" + name)});
        settle();
        QCOMPARE(onDisk("right"), Names{name});
        m_actions->requestPermanentDelete({listed(1, "right/" + name)}, tab(1));
        m_dialogs.answer(true);
        settle();
        QCOMPARE(onDisk("right"), Names());

        m_actions->trash({listed(0, "odd/" + name)}, tab(0));
        settle();
        QCOMPARE(onDisk("odd"), Names{"sub"});
        undoStep();
        QCOMPARE(onDisk("odd"), alone);

        m_actions->moveToOtherPane({listed(0, "odd/" + name)});
        settle();
        QCOMPARE(onDisk("odd"), Names{"sub"});
        QCOMPARE(onDisk("right"), Names{name});

        // Clipboard: through the system clipboard's forms and back, then pasted.
        std::unique_ptr<QMimeData> mime(ClipboardMime::encode({native("right/" + name)}, ClipboardOperation::copy));
        const std::optional<FileClipboard> decoded = ClipboardMime::decode(mime.get());
        QVERIFY(decoded && decoded->urls == QList<FilePath>{native("right/" + name)});
        m_workspace->writeClipboard(decoded->urls, ClipboardOperation::copy);
        m_actions->paste(native("odd"));
        settle();
        QCOMPARE(onDisk("odd"), alone);
        QVERIFY(m_workspace->clipboard()); // a copy can be pasted again

        m_actions->handleDrop({native("right/" + name)}, native("odd/sub"), Qt::ControlModifier);
        settle();
        QCOMPARE(onDisk("odd/sub"), Names{name});

        QVERIFY(::unlink(bytes("right/" + name).constData()) == 0);
        m_actions->compress({listed(0, "odd/" + name)}, tab(0));
        settle();
        if (archive.isEmpty()) {
            QVERIFY(m_dialogs.lastError());
            QCOMPARE(onDisk("odd"), alone);
        } else {
            QCOMPARE(onDisk("odd"), sortedNames({name, archive, "sub"}));
            m_actions->extract(listed(0, "odd/" + archive), tab(1));
            settle();
            QCOMPARE(onDisk("right"), Names{name});
            QCOMPARE(m_dir->read(FileNames::decode("right/" + name)), "x");
        }

        // Copy path: the text a shell turns back into the very bytes, and the path bar, given the
        // path's text as typed, the same file.
        const QString copied = PathFormatter::joinForShell({native("odd/" + name)});
        QProcess shell;
        shell.start("bash", {"-c", "printf %s " + copied});
        QVERIFY(shell.waitForFinished());
        QCOMPARE(shell.readAllStandardOutput(), bytes("odd/" + name));
        for (const QString &typed : {copied, FileNames::decode(bytes("odd/" + name))}) {
            const auto resolution = PathClipboardService::resolve(typed);
            QVERIFY(resolution && resolution->kind() == PathClipboardService::Resolution::Kind::file);
            QCOMPARE(resolution->url(), native("odd/" + name));
        }
    }

    // Open With from the context menu: the applications for the type, the default first, and a
    // program handed a name with a space and a byte that isn't UTF-8, byte for byte.
    void openWithHandsTheNameIntact()
    {
        // Records its arguments NUL-terminated, so every byte of each shows.
        const QString recorder = m_dir->program("bin/record args", "#!/bin/sh\nprintf '%s\\0' \"$@\" > \"$0.part\"\n"
                                                                  "mv \"$0.part\" \"$0.out\"\n");
        const QByteArray entry = "[Desktop Entry]\nType=Application\nMimeType=text/plain;\nName=";
        m_dir->file(".home/.local/share/applications/recorder.desktop",
                    entry + "Recorder\nExec=\"" + QFile::encodeName(recorder) + "\" --open %F\n");
        m_dir->file(".home/.local/share/applications/ghost.desktop", entry + "Ghost\nExec=/nonexistent/ghost %f\n");
        m_dir->file(".home/.config/mimeapps.list", "[Default Applications]\ntext/plain=recorder.desktop;\n");
        // The system's types but none of its applications.
        const QByteArray dataDirs = qgetenv("XDG_DATA_DIRS");
        qputenv("XDG_DATA_DIRS", QFile::encodeName(m_dir->dir("system")));
        m_dir->link("/usr/share/mime", "system/mime");
        const QByteArray name = "left/a b\xe9.txt";
        QVERIFY(::close(::open(bytes(name).constData(), O_CREAT | O_WRONLY, 0644)) == 0);
        QList<FileItem> chosenForOther;
        m_actions->setOnChooseApplication([&](const QList<FileItem> &items) { chosenForOther = items; });

        const ContextMenuEntry openWith = m_actions->openWithMenu({listed(0, name)});
        qputenv("XDG_DATA_DIRS", dataDirs);
        QStringList texts;
        for (const ContextMenuEntry &entry : openWith.submenu)
            texts << entry.text;
        QCOMPARE(texts, (QStringList{"Recorder (Default)", "Ghost", QString(), "Other Application…"}));

        openWith.submenu.at(0).action();
        QTRY_VERIFY(QFile::exists(recorder + ".out"));
        QCOMPARE(m_dir->read("bin/record args.out"), QByteArray("--open\0", 7) + bytes(name) + '\0');

        openWith.submenu.at(1).action();
        QTRY_COMPARE(m_dialogs.lastError().value_or(QString()), "“Ghost” couldn't be started");

        openWith.submenu.at(3).action();
        QCOMPARE(chosenForOther.size(), 1);
        ::unlink(bytes(name).constData()); // Qt's own clean-up can't name it
    }

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
    void undoStep() const
    {
        m_workspace->undo()->undo();
        settle();
    }
    void redoStep() const
    {
        m_workspace->undo()->redo();
        settle();
    }
    CommandTarget target(const QStringList &names) const
    {
        return {m_actions, tab(0), items(names), m_dir->url("left"), [] {}, {}, {}};
    }
    // The commands of the menus and keys, acting on m_selected unless a menu is open.
    PaneCommands *commands()
    {
        m_commands = new PaneCommands(m_workspace, m_settings);
        m_commands->setTargetSource([this] {
            CommandTarget current = target({});
            current.items = m_selected;
            return current;
        });
        return m_commands;
    }

    // Paths as raw bytes, for names that aren't text.
    QByteArray bytes(const QByteArray &relative) const { return QFile::encodeName(m_dir->path()) + '/' + relative; }
    FilePath native(const QByteArray &relative) const { return FilePath::fromNative(bytes(relative)); }
    Names onDisk(const QByteArray &folder) const
    {
        Names names;
        if (DIR *dir = ::opendir(bytes(folder).constData())) {
            while (const dirent *entry = ::readdir(dir))
                if (qstrcmp(entry->d_name, ".") != 0 && qstrcmp(entry->d_name, "..") != 0)
                    names << QByteArray(entry->d_name);
            ::closedir(dir);
        }
        return sortedNames(names);
    }
    // The item as the pane's listing, read again, holds it.
    FileItem listed(int pane, const QByteArray &relative) const
    {
        tab(pane)->reload();
        if (!QTest::qWaitFor([&] { return !tab(pane)->isLoading(); }))
            qFatal("still loading: %s", relative.constData());
        for (const FileItem &item : tab(pane)->items())
            if (item.url == native(relative))
                return item;
        qFatal("not listed: %s", relative.constData());
    }

    std::unique_ptr<TestDir> m_dir;
    AnsweringPresenter m_dialogs;
    AppSettings *m_settings = nullptr;
    WorkspaceModel *m_workspace = nullptr;
    std::unique_ptr<FileJobQueue> m_jobs;
    PaneActions *m_actions = nullptr;
    PaneCommands *m_commands = nullptr;
    QList<FileItem> m_selected; // what the commands' target source says is chosen
};

QTEST_MAIN(TestPaneActions)
#include "tst_paneactions.moc"
