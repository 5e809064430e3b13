// Moving items to the Trash and back: records, name clashes, refusals and per-volume Trashes.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QRegularExpression>
#include <QScopeGuard>
#include <QTest>

#include <fcntl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

static QString recordOf(const FilePath &trashed)
{
    return QFileInfo(QFileInfo(trashed.path()).path()).path() + "/info/" + trashed.fileName() + ".trashinfo";
}

class TestTrashCan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void roundTrip_data()
    {
        QTest::addColumn<bool>("otherVolume"); // a file system of its own, with a Trash of its own and records relative to it
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("encodedName");
        QTest::addColumn<int>("sharedTrash"); // the mode of a shared ".Trash" at the volume's top; 0: none
        QTest::newRow("blank, percent and accent") << false << "my 100% résumé" << QByteArray("my%20100%25%20r%C3%A9sum%C3%A9") << 0;
        QTest::newRow("folder, whose parent is gone when it comes back") << false << "Folder" << QByteArray("Folder") << 0;
        QTest::newRow("on another volume") << true << "a.txt" << QByteArray("a.txt") << 0;
        QTest::newRow("on another volume, whose shared Trash isn't sticky") << true << "a.txt" << QByteArray("a.txt") << 0777;
    }

    void roundTrip()
    {
        QFETCH(bool, otherVolume);
        QFETCH(QString, name);
        QFETCH(QByteArray, encodedName);
        QFETCH(int, sharedTrash);
        const QByteArray top = QFile::encodeName(m_dir->dir("volume"));
        if (otherVolume && ::mount("tmpfs", top.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("a file system can't be mounted here");
        const auto unmount = qScopeGuard([&] { if (otherVolume) ::umount2(top.constData(), MNT_DETACH); });
        if (sharedTrash)
            setMode(m_dir->dir("volume/.Trash"), sharedTrash);
        const TestDir volume(otherVolume ? m_dir->path("volume") : m_dir->path());
        const QString trash = m_dir->path(otherVolume ? "volume/.Trash-" + QString::number(::geteuid()) : TestDir::homeTrash());
        const QString item = "in/deeper/" + name, inner = name == "Folder" ? "/inner.txt" : "";
        volume.file(item + inner, "x");

        const FilePath trashed = fs.moveToTrash(volume.url(item)).value();
        QCOMPARE(QFileInfo(trashed.path()).path(), trash + "/files"); // the volume's Trash may be shared
        QVERIFY(!volume.exists(item));
        QCOMPARE(m_dir->entries("volume/.Trash"), QStringList{}); // one that isn't sticky is left alone
        for (const char *sub : {"", "/files", "/info"})
            QCOMPARE(modeOf(trash + sub), 0700);
        QByteArray path = QFile::encodeName(volume.path("in/deeper/")).toPercentEncoding("/") + encodedName;
        if (otherVolume)
            path = path.mid(top.size() + 1);
        const QByteArray record = readFile(recordOf(trashed));
        QVERIFY2(QRegularExpression("^\\[Trash Info\\]\nPath=" + QRegularExpression::escape(QString::fromLatin1(path))
                                    + "\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$")
                     .match(QString::fromUtf8(record)).hasMatch(), record.constData());

        if (!inner.isEmpty())
            QVERIFY(QDir(volume.path("in")).removeRecursively());
        QCOMPARE(fs.restoreFromTrash(trashed), volume.url(item));
        QCOMPARE(volume.read(item + inner), QByteArray("x"));
        QVERIFY(!QFileInfo::exists(trashed.path()) && !QFileInfo::exists(recordOf(trashed)));
    }

    // A second item of the same name gets a name of its own. Restoring never replaces, and names
    // a file that now sits where the item's folder was.
    void nameClashes()
    {
        m_dir->file("one/report.pdf", "1");
        m_dir->file("two/report.pdf", "2");
        const FilePath first = *fs.moveToTrash(m_dir->url("one/report.pdf"));
        const FilePath second = *fs.moveToTrash(m_dir->url("two/report.pdf"));
        m_dir->file("two/report.pdf", "newer");
        QCOMPARE(failure([&] { fs.restoreFromTrash(second); }).code(), EEXIST);
        QCOMPARE(m_dir->read("two/report.pdf"), QByteArray("newer"));
        QCOMPARE(readFile(second.path()), QByteArray("2"));
        QVERIFY(QFileInfo::exists(recordOf(second)));
        QVERIFY(QDir(m_dir->path("one")).removeRecursively());
        m_dir->file("one", "a file now");
        const FileError error = failure([&] { fs.restoreFromTrash(first); });
        QCOMPARE(error.code(), ENOTDIR);
        QVERIFY2(error.message().contains(m_dir->path("one") + "” is in the way"), qPrintable(error.message()));
        QCOMPARE(m_dir->read("one"), QByteArray("a file now"));
        QCOMPARE(readFile(first.path()), QByteArray("1"));
    }

    void refusalsLeaveEverythingInPlace()
    {
        // The Trash lies inside this folder, so moving it there fails after the record was written.
        m_dir->file(".home/.local/share/keep.txt", "x");
        QCOMPARE(failure([&] { fs.moveToTrash(m_dir->url(".home/.local/share")); }).operation(), FileError::Operation::Trash);
        QCOMPARE(m_dir->read(".home/.local/share/keep.txt"), QByteArray("x"));
        QCOMPARE(m_dir->entries(TestDir::homeTrash("/info")), QStringList{});
        QCOMPARE(failure([&] { fs.moveToTrash(m_dir->url("missing")); }).code(), ENOENT);

        // A volume's Trash may come from anywhere; its records must not place items outside it:
        // not by "..", not by an absolute path, not through a link on the volume; nor hang on a
        // record that is a pipe.
        m_dir->link(m_dir->dir("outside"), "volume/escape");
        const QList<std::pair<QByteArray, int>> records = {{"../outside/x", EINVAL},
                                                           {QFile::encodeName(m_dir->path("outside/new/x")), EINVAL},
                                                           {"escape/x", EXDEV},
                                                           {"escape/new/x", EXDEV}};
        const FilePath item = FilePath::fromString(m_dir->file("volume/.Trash-1234/files/x", "x"));
        for (const auto &[path, code] : records) {
            m_dir->file("volume/.Trash-1234/info/x.trashinfo", "[Trash Info]\nPath=" + path + "\nDeletionDate=2024-01-01T00:00:00\n");
            QCOMPARE(failure([&] { fs.restoreFromTrash(item); }).code(), code);
            QCOMPARE(m_dir->entries("outside"), QStringList{});
            QVERIFY(m_dir->exists("volume/.Trash-1234/files/x"));
        }
        QFile::remove(m_dir->path("volume/.Trash-1234/info/x.trashinfo"));
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir->path("volume/.Trash-1234/info/x.trashinfo")).constData(), 0600), 0);
        QCOMPARE(failure([&] { fs.restoreFromTrash(item); }).code(), EINVAL);
    }

    // A folder name that isn't UTF-8 keeps its bytes through the Trash record and back, and is made
    // anew under those very bytes when it was deleted meanwhile.
    void nameNotValidUtf8()
    {
        const QByteArray folder = QFile::encodeName(m_dir->path()) + "/caf\xe9";
        const QByteArray file = folder + "/x";
        QCOMPARE(::mkdir(folder.constData(), 0755), 0);
        QCOMPARE(::close(::open(file.constData(), O_CREAT | O_WRONLY, 0644)), 0);
        const FilePath item = FilePath::fromNative(file);
        const FilePath trashed = fs.moveToTrash(item).value();
        QVERIFY(readFile(recordOf(trashed)).contains("/caf%E9/x\n"));
        QCOMPARE(::rmdir(folder.constData()), 0);
        QCOMPARE(fs.restoreFromTrash(trashed), item);
        QCOMPARE(::access(file.constData(), F_OK), 0);
        QCOMPARE(::unlink(file.constData()), 0); // the temporary folder can't remove what it can't name
        QCOMPARE(::rmdir(folder.constData()), 0);
    }

private:
    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestTrashCan)
#include "tst_trashcan.moc"
