// Renaming, moving, copying, duplicating and trashing where the file system has no no-replace
// rename. The program runs itself again with a library preloaded that makes the flag fail as
// such file systems do (norenameflag.cpp); the checks run in that second run.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"
#include "urls.h"

#include <QProcess>
#include <QTest>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>

namespace {

const QByteArray shim = NORENAMEFLAG_SHIM;

bool preloaded()
{
    return qgetenv("LD_PRELOAD") == shim;
}

} // namespace

enum class Action { renameFolder, moveFolder, copyFolder, duplicateFolder, trashFolder, renameFile };

class TestRenameFallback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void transfersWork_data();
    void transfersWork();
    void folderNeverReplaces_data();
    void folderNeverReplaces();

private:
    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

void TestRenameFallback::initTestCase()
{
    if (!preloaded()) {
        QProcess again;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LD_PRELOAD"), QString::fromLocal8Bit(shim));
        again.setProcessEnvironment(env);
        again.setProcessChannelMode(QProcess::MergedChannels);
        again.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(again.waitForFinished(120000));
        const QByteArray output = again.readAll();
        QVERIFY2(again.exitStatus() == QProcess::NormalExit && again.exitCode() == 0, output.constData());
        QSKIP("the checks ran with the library preloaded, and passed");
    }
    // The stand-in must really be in place, or every check below would pass for nothing.
    TestDir dir;
    dir.file("a");
    errno = 0;
    QCOMPARE(::renameat2(AT_FDCWD, QFile::encodeName(dir.path("a")).constData(), AT_FDCWD,
                         QFile::encodeName(dir.path("b")).constData(), RENAME_NOREPLACE),
             -1);
    QCOMPARE(errno, EINVAL);
}

void TestRenameFallback::transfersWork_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("result"); // where the item is afterwards; empty: in the Trash
    QTest::newRow("rename a folder") << Action::renameFolder << "Renamed";
    QTest::newRow("move a folder") << Action::moveFolder << "dst/Folder";
    QTest::newRow("copy a folder") << Action::copyFolder << "dst/Folder";
    QTest::newRow("duplicate a folder") << Action::duplicateFolder << "Folder copy";
    QTest::newRow("trash a folder") << Action::trashFolder << QString();
    QTest::newRow("rename a file") << Action::renameFile << "Folder/renamed.txt";
}

void TestRenameFallback::transfersWork()
{
    QFETCH(Action, action);
    QFETCH(QString, result);
    const TestDir &dir = *m_dir;
    dir.file("Folder/inner.txt", "inner");
    dir.dir("dst");
    QUrl placed;
    switch (action) {
    case Action::renameFolder: placed = fs.rename(dir.url("Folder"), "Renamed"); break;
    case Action::moveFolder: placed = fs.move(dir.url("Folder"), dir.url("dst")); break;
    case Action::copyFolder: placed = fs.copy(dir.url("Folder"), dir.url("dst")); break;
    case Action::duplicateFolder: placed = fs.duplicate(dir.url("Folder")); break;
    case Action::trashFolder: placed = fs.moveToTrash(dir.url("Folder")).value_or(QUrl()); break;
    case Action::renameFile: placed = fs.rename(dir.url("Folder/inner.txt"), "renamed.txt"); break;
    }
    if (!result.isEmpty())
        QCOMPARE(placed, dir.url(result));
    const QString inner = action == Action::renameFile ? QString() : QStringLiteral("/inner.txt");
    QCOMPARE(readFile(Urls::path(placed) + inner), QByteArray("inner"));
    const bool sourceStays = action == Action::copyFolder || action == Action::duplicateFolder;
    QCOMPARE(dir.exists("Folder/inner.txt"), sourceStays);
}

void TestRenameFallback::folderNeverReplaces_data()
{
    QTest::addColumn<QString>("occupant"); // what lies at "taken"
    QTest::newRow("a folder with something in it") << "full folder";
    QTest::newRow("an empty folder") << "empty folder";
    QTest::newRow("a file") << "file";
    QTest::newRow("a dangling link") << "dangling link";
}

void TestRenameFallback::folderNeverReplaces()
{
    QFETCH(QString, occupant);
    const TestDir &dir = *m_dir;
    dir.file("Folder/inner.txt", "inner");
    if (occupant == "full folder")
        dir.file("taken/kept.txt", "occupant");
    else if (occupant == "empty folder")
        dir.dir("taken");
    else if (occupant == "file")
        dir.file("taken", "occupant");
    else
        dir.link("nowhere", "taken");
    const QStringList before = dir.entries("taken");
    const FileError error = failure([&] { fs.rename(dir.url("Folder"), "taken"); });
    QCOMPARE(error.code(), EEXIST);
    QCOMPARE(dir.read("Folder/inner.txt"), QByteArray("inner"));
    QVERIFY(dir.exists("taken"));
    QCOMPARE(dir.entries("taken"), before);
}

QTEST_GUILESS_MAIN(TestRenameFallback)
#include "tst_renamefallback.moc"
