// Names that text handling likes to break (bytes that aren't UTF-8, a line break, the longest
// name a folder takes, a leading dash) walked through every command that touches a name. Each
// step ends by reading the folders' raw entries: the bytes on disk are the proof.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "bulkrename.h"
#include "clipboardmime.h"
#include "filenames.h"
#include "desktopentry.h"
#include "openwithmenu.h"
#include "paneactions.h"
#include "panemodel.h"
#include "pathclipboardservice.h"
#include "pathformatter.h"
#include "tabmodel.h"
#include "testdir.h"
#include "undocoordinator.h"
#include "workspacemodel.h"

#include <QMimeData>
#include <QProcess>
#include <QTest>

#include <algorithm>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

using Names = QList<QByteArray>;

Names sortedNames(Names names)
{
    std::sort(names.begin(), names.end());
    return names;
}

class TestOddNames : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void walksEveryCommand_data();
    void walksEveryCommand();

private:
    QByteArray bytes(const QByteArray &relative) const { return QFile::encodeName(m_dir->path()) + '/' + relative; }
    FilePath url(const QByteArray &relative) const { return FilePath::fromNative(bytes(relative)); }
    Names onDisk(const QByteArray &folder) const;
    FileItem listed(int pane, const QByteArray &name) const;
    TabModel *tab(int pane) const { return m_workspace->panes().at(pane)->activeTab(); }
    void reload(int pane) const;
    void settle() const { QTRY_VERIFY_WITH_TIMEOUT(!m_actions->isBusy(), 30000); }

    std::unique_ptr<TestDir> m_dir;
    std::unique_ptr<AppSettings> m_settings;
    std::unique_ptr<WorkspaceModel> m_workspace;
    AnsweringPresenter m_dialogs;
    std::unique_ptr<PaneActions> m_actions;
};

Names TestOddNames::onDisk(const QByteArray &folder) const
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

void TestOddNames::reload(int pane) const
{
    tab(pane)->reload();
    QTRY_VERIFY(!tab(pane)->isLoading());
}

FileItem TestOddNames::listed(int pane, const QByteArray &name) const
{
    reload(pane);
    const FilePath wanted = url((pane == 0 ? "left/" : "right/") + name);
    for (const FileItem &item : tab(pane)->items())
        if (item.url == wanted)
            return item;
    qFatal("not listed: %s", name.constData());
}

void TestOddNames::walksEveryCommand_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QByteArray>("duplicate");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QString>("replace");
    QTest::addColumn<QByteArray>("bulkRenamed");
    QTest::addColumn<QByteArray>("archive"); // empty: can't be archived
    const QByteArray longest = QByteArray(251, 'n') + ".txt";
    // A ZIP archive marks its names as UTF-8, so such a name is refused, and nothing is written.
    QTest::newRow("not UTF-8") << QByteArray("caf\xe9.txt") << QByteArray("caf\xe9 copy.txt") << "caf" << "tea"
                               << QByteArray("tea\xe9.txt") << QByteArray();
    QTest::newRow("line break") << QByteArray("line\nbreak.txt") << QByteArray("line\nbreak copy.txt") << "break"
                                << "feed" << QByteArray("line\nfeed.txt") << QByteArray("line\nbreak.zip");
    QTest::newRow("255 bytes") << longest << QByteArray(246, 'n') + " copy.txt" << "txt" << "dat"
                               << QByteArray(251, 'n') + ".dat" << QByteArray(251, 'n') + ".zip";
    QTest::newRow("leading dash") << QByteArray("-rf") << QByteArray("-rf copy") << "r" << "R" << QByteArray("-Rf")
                                  << QByteArray("-rf.zip");
}

void TestOddNames::walksEveryCommand()
{
    QFETCH(QByteArray, name);
    QFETCH(QByteArray, duplicate);
    QFETCH(QString, find);
    QFETCH(QString, replace);
    QFETCH(QByteArray, bulkRenamed);
    QFETCH(QByteArray, archive);

    m_dir.reset(new TestDir);
    m_dir->isolateHome();
    m_dir->dir("left/sub");
    m_dir->dir("right");
    const int fd = ::open(bytes("left/" + name).constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
    QVERIFY(fd >= 0 && ::write(fd, "x", 1) == 1 && ::close(fd) == 0);
    m_settings.reset(new AppSettings(m_dir->path("settings.conf")));
    m_workspace.reset(new WorkspaceModel(false));
    tab(0)->navigate(url("left"));
    tab(1)->navigate(url("right"));
    QTRY_VERIFY(!tab(0)->isLoading() && !tab(1)->isLoading());
    m_dialogs = AnsweringPresenter();
    m_actions.reset(new PaneActions(m_workspace.get(), m_workspace->leftPane(), m_settings.get(), &m_dialogs));
    UndoCoordinator *undo = m_workspace->undo();
    const Names alone = sortedNames({name, "sub"});

    // Rename: Return on the untouched field changes nothing; an edit is written as typed and
    // undone back to the original bytes.
    m_actions->requestRename(listed(0, name), tab(0));
    QVERIFY(m_dialogs.rename(m_dialogs.renaming->name) && !m_dialogs.lastError() && !undo->canUndo());
    QCOMPARE(onDisk("left"), alone);
    m_actions->requestRename(listed(0, name), tab(0));
    QVERIFY(m_dialogs.rename("edited"));
    QCOMPARE(onDisk("left"), Names({"edited", "sub"}));
    undo->undo();
    settle();
    QCOMPARE(onDisk("left"), alone);

    m_actions->duplicate({listed(0, name)}, tab(0));
    settle();
    QCOMPARE(onDisk("left"), sortedNames({duplicate, name, "sub"}));
    undo->undo(); // the copy goes to the Trash
    settle();
    QCOMPARE(onDisk("left"), alone);

    m_actions->applyBulkRename(BulkRename::changes(BulkRename::plan({listed(0, name)},
                                                                    BulkRename::Mode::findReplace(find, replace))));
    settle();
    QCOMPARE(onDisk("left"), sortedNames({bulkRenamed, "sub"}));
    undo->undo();
    settle();
    QCOMPARE(onDisk("left"), alone);

    m_actions->copyToOtherPane({listed(0, name)});
    settle();
    QCOMPARE(onDisk("right"), Names{name});
    m_actions->requestPermanentDelete({listed(1, name)}, tab(1));
    m_dialogs.answer(true);
    settle();
    QCOMPARE(onDisk("right"), Names());

    m_actions->trash({listed(0, name)}, tab(0));
    settle();
    QCOMPARE(onDisk("left"), Names{"sub"});
    undo->undo();
    settle();
    QCOMPARE(onDisk("left"), alone);

    m_actions->moveToOtherPane({listed(0, name)});
    settle();
    QCOMPARE(onDisk("left"), Names{"sub"});
    QCOMPARE(onDisk("right"), Names{name});

    // Clipboard: through the system clipboard's forms and back, then pasted.
    std::unique_ptr<QMimeData> mime(ClipboardMime::encode({url("right/" + name)}, ClipboardOperation::copy));
    const std::optional<FileClipboard> decoded = ClipboardMime::decode(mime.get());
    QVERIFY(decoded && decoded->urls == QList<FilePath>{url("right/" + name)});
    m_workspace->writeClipboard(decoded->urls, ClipboardOperation::copy);
    m_actions->paste(url("left"));
    settle();
    QCOMPARE(onDisk("left"), alone);

    m_actions->handleDrop({url("right/" + name)}, url("left/sub"), Qt::ControlModifier);
    settle();
    QCOMPARE(onDisk("left/sub"), Names{name});

    QVERIFY(::unlink(bytes("right/" + name).constData()) == 0);
    m_actions->compress({listed(0, name)}, tab(0));
    settle();
    if (archive.isEmpty()) {
        QVERIFY(m_dialogs.lastError());
        QCOMPARE(onDisk("left"), alone);
    } else {
        QCOMPARE(onDisk("left"), sortedNames({name, archive, "sub"}));
        m_actions->extract(listed(0, archive), tab(1));
        settle();
        QCOMPARE(onDisk("right"), Names{name});
        QCOMPARE(m_dir->read(FileNames::decode("right/" + name)), "x");
    }

    // Copy path: the text a shell turns back into the very bytes.
    QProcess shell;
    shell.start("bash", {"-c", "printf %s " + PathFormatter::joinForShell({url("left/" + name)})});
    QVERIFY(shell.waitForFinished());
    QCOMPARE(shell.readAllStandardOutput(), bytes("left/" + name));
    const auto pasted = PathClipboardService::resolve(PathFormatter::joinForShell({url("left/" + name)}));
    QVERIFY(pasted && pasted->url() == url("left/" + name));

    // The path bar: the path's text, typed back, names the same file.
    const auto resolution = PathClipboardService::resolve(FileNames::decode(bytes("left/" + name)));
    QVERIFY(resolution && resolution->kind() == PathClipboardService::Resolution::Kind::file);
    QCOMPARE(resolution->url(), url("left/" + name));

    // Opening hands the path's bytes to xdg-open, and Open With to the application chosen.
    const QByteArray recorder = "#!/bin/sh\nprintf %s \"$1\" > \"$0.part\" && mv \"$0.part\" \"$0.arg\"\n";
    m_dir->program("bin/xdg-open", recorder);
    m_dir->program("bin/viewer", recorder);
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bytes("bin") + ":/usr/bin:/bin");
    m_actions->openFile(url("left/" + name));
    const auto viewer = DesktopEntry::parse("[Desktop Entry]\nType=Application\nName=Viewer\nExec=viewer %f\n", "viewer.desktop", {});
    QVERIFY(viewer && OpenWithMenu::open({listed(0, name)}, *viewer));
    qputenv("PATH", path);
    QTRY_VERIFY(m_dir->exists("bin/xdg-open.arg") && m_dir->exists("bin/viewer.arg"));
    QCOMPARE(m_dir->read("bin/xdg-open.arg"), bytes("left/" + name));
    QCOMPARE(m_dir->read("bin/viewer.arg"), bytes("left/" + name));

    m_actions.reset();
    m_workspace.reset();
}

QTEST_GUILESS_MAIN(TestOddNames)
#include "tst_oddnames.moc"
