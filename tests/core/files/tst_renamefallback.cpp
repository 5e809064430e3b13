// Renaming, moving, copying, duplicating and trashing without no-replace renames, hard links or
// extended attributes: the checks run in a second run of the program with plainfs.cpp preloaded.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QProcess>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/xattr.h>

class TestRenameFallback : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        if (qgetenv("LD_PRELOAD") != PLAINFS_SHIM) {
            QProcess again;
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert("LD_PRELOAD", PLAINFS_SHIM);
            again.setProcessEnvironment(env);
            again.setProcessChannelMode(QProcess::MergedChannels);
            again.start(QCoreApplication::applicationFilePath(), {});
            QVERIFY(again.waitForFinished(120000));
            QVERIFY2(again.exitStatus() == QProcess::NormalExit && again.exitCode() == 0, again.readAll().constData());
            QSKIP("the checks ran with the library preloaded, and passed");
        }
        // The stand-in must be in place (else this fails with ENOENT), or the checks prove nothing.
        QCOMPARE(::renameat2(AT_FDCWD, "/no-such-item", AT_FDCWD, "/no-such-place", RENAME_NOREPLACE), -1);
        QCOMPARE(errno, EINVAL);
        QCOMPARE(::linkat(AT_FDCWD, "/no-such-item", AT_FDCWD, "/no-such-place", 0), -1);
        QCOMPARE(errno, EPERM);
        QCOMPARE(::fsetxattr(-1, "user.x", "", 0, 0), -1);
        QCOMPARE(errno, EOPNOTSUPP);
    }

    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void transfers_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("item");   // "Folder", holding inner.txt, or the file inner.txt itself
        QTest::addColumn<QString>("taken");  // what lies at "Renamed" beforehand, if anything
        QTest::addColumn<QString>("result"); // where inner.txt is afterwards; empty: in the Trash
        QTest::newRow("rename a folder") << "rename" << "Folder" << "" << "Renamed/inner.txt";
        QTest::newRow("move a folder") << "move" << "Folder" << "" << "dst/Folder/inner.txt";
        QTest::newRow("copy a folder") << "copy" << "Folder" << "" << "dst/Folder/inner.txt";
        QTest::newRow("duplicate a folder") << "duplicate" << "Folder" << "" << "Folder copy/inner.txt";
        QTest::newRow("trash a folder") << "trash" << "Folder" << "" << "";
        QTest::newRow("rename a file") << "rename" << "inner.txt" << "" << "Renamed";
        QTest::newRow("copy a file") << "copy" << "inner.txt" << "" << "dst/inner.txt";
        QTest::newRow("trash a file") << "trash" << "inner.txt" << "" << "";
        QTest::newRow("never onto a file") << "rename" << "Folder" << "file" << "Folder/inner.txt";
        QTest::newRow("never onto an empty folder") << "rename" << "Folder" << "empty folder" << "Folder/inner.txt";
        QTest::newRow("never onto a full folder") << "rename" << "Folder" << "full folder" << "Folder/inner.txt";
        QTest::newRow("a file never onto a file") << "rename" << "inner.txt" << "file" << "inner.txt";
    }

    void transfers()
    {
        QFETCH(QString, action);
        QFETCH(QString, item);
        QFETCH(QString, taken);
        QFETCH(QString, result);
        const TestDir &dir = *m_dir;
        // Tags the destination can't hold are left behind; the copy stands.
        const QString original = item == "Folder" ? "Folder/inner.txt" : "inner.txt";
        for (const QString &tagged : {dir.dir("Folder"), dir.file(original, "inner")})
            QCOMPARE(::lsetxattr(QFile::encodeName(tagged).constData(), "user.xdg.tags", "red", 3, 0), 0);
        if (!taken.isEmpty())
            taken == "file" ? dir.file("Renamed", "occupant") : dir.dir(taken == "full folder" ? "Renamed/kept" : "Renamed");
        const QStringList before = dir.entries("Renamed");
        const FilePath source = dir.url(item), dst = FilePath::fromString(dir.dir("dst"));
        QString inner = result.isEmpty() ? QString() : dir.path(result);
        const auto act = [&] {
            if (action == "rename")
                fs.rename(source, "Renamed");
            else if (action == "move" || action == "copy")
                action == "move" ? fs.move(source, dst) : fs.copy(source, dst);
            else if (action == "duplicate")
                fs.duplicate(source);
            else
                inner = fs.moveToTrash(source).value_or(FilePath()).path() + (item == "Folder" ? "/inner.txt" : "");
        };
        if (taken.isEmpty()) {
            act();
        } else {
            QCOMPARE(failure(act).code(), EEXIST);
            QCOMPARE(dir.entries("Renamed"), before);
        }
        QCOMPARE(readFile(inner), QByteArray("inner"));
        QCOMPARE(dir.exists(original), action == "copy" || action == "duplicate" || !taken.isEmpty());
    }

private:
    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestRenameFallback)
#include "tst_renamefallback.moc"
