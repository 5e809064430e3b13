// Moving items to the Trash and back: records, name clashes, refusals and per-volume Trashes.

#include "failure.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QRegularExpression>
#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString recordOf(const QUrl &trashed)
{
    const QString files = QFileInfo(trashed.toLocalFile()).path();
    return QFileInfo(files).path() + "/info/" + trashed.fileName() + ".trashinfo";
}

int modeOf(const QString &path)
{
    struct stat st;
    return ::lstat(QFile::encodeName(path), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

} // namespace

class TestTrashCan : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void roundTrip_data();
    void roundTrip();
    void sameNameTwice();
    void restoreRefusesToReplace();
    void restoreRecreatesMissingFolder();
    void failedTrashLeavesItemAndNoRecord();
    void recordCannotEscapeItsVolume();
    void perVolumeTrash();

private:
    QString trashPath(const QString &sub = {}) const { return m_dir->path(".home/.local/share/Trash" + sub); }

    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

void TestTrashCan::roundTrip_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("encodedName");
    QTest::newRow("plain file") << "a.txt" << QByteArray("a.txt");
    QTest::newRow("blank, percent and accent") << "my 100% résumé" << QByteArray("my%20100%25%20r%C3%A9sum%C3%A9");
    QTest::newRow("folder") << "Folder" << QByteArray("Folder");
}

void TestTrashCan::roundTrip()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, encodedName);
    const bool folder = name == "Folder";
    folder ? m_dir->file("in/" + name + "/inner.txt", "x") : m_dir->file("in/" + name, "x");

    const std::optional<QUrl> trashed = fs.moveToTrash(m_dir->url("in/" + name));
    QVERIFY(trashed);
    QCOMPARE(trashed->toLocalFile(), trashPath("/files/" + name));
    QVERIFY(!m_dir->exists("in/" + name));
    for (const char *sub : {"", "/files", "/info"})
        QCOMPARE(modeOf(trashPath(sub)), 0700);

    const QByteArray record = readAll(recordOf(*trashed));
    const QByteArray expectedPath = "Path=" + QFile::encodeName(m_dir->path("in/")).toPercentEncoding("/") + encodedName + "\n";
    QVERIFY2(record.startsWith(QByteArray("[Trash Info]\n" + expectedPath)), record.constData());
    QVERIFY2(QRegularExpression("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n$").match(QString::fromUtf8(record)).hasMatch(),
             record.constData());

    QCOMPARE(fs.restoreFromTrash(*trashed), m_dir->url("in/" + name));
    QCOMPARE(m_dir->read(folder ? QString("in/Folder/inner.txt") : "in/" + name), QByteArray("x"));
    QCOMPARE(m_dir->entries(".home/.local/share/Trash/files"), QStringList{});
    QCOMPARE(m_dir->entries(".home/.local/share/Trash/info"), QStringList{});
}

void TestTrashCan::sameNameTwice()
{
    m_dir->file("one/report.pdf", "1");
    m_dir->file("two/report.pdf", "2");
    const QUrl first = *fs.moveToTrash(m_dir->url("one/report.pdf"));
    const QUrl second = *fs.moveToTrash(m_dir->url("two/report.pdf"));
    QCOMPARE(first.fileName(), "report.pdf");
    QCOMPARE(second.fileName(), "report.2.pdf");
    QCOMPARE(fs.restoreFromTrash(second), m_dir->url("two/report.pdf"));
    QCOMPARE(fs.restoreFromTrash(first), m_dir->url("one/report.pdf"));
    QCOMPARE(m_dir->read("one/report.pdf"), QByteArray("1"));
    QCOMPARE(m_dir->read("two/report.pdf"), QByteArray("2"));
}

void TestTrashCan::restoreRefusesToReplace()
{
    m_dir->file("a.txt", "trashed");
    const QUrl trashed = *fs.moveToTrash(m_dir->url("a.txt"));
    m_dir->file("a.txt", "newer");
    const FileError error = failure([&] { fs.restoreFromTrash(trashed); });
    QCOMPARE(error.code(), EEXIST);
    QCOMPARE(error.operation(), FileError::Operation::Restore);
    QCOMPARE(m_dir->read("a.txt"), QByteArray("newer"));
    QCOMPARE(readAll(trashed.toLocalFile()), QByteArray("trashed"));
    QVERIFY(QFileInfo::exists(recordOf(trashed)));
}

void TestTrashCan::restoreRecreatesMissingFolder()
{
    m_dir->file("gone/deeper/a.txt", "x");
    const QUrl trashed = *fs.moveToTrash(m_dir->url("gone/deeper/a.txt"));
    QVERIFY(QDir(m_dir->path("gone")).removeRecursively());
    QCOMPARE(fs.restoreFromTrash(trashed), m_dir->url("gone/deeper/a.txt"));
    QCOMPARE(m_dir->read("gone/deeper/a.txt"), QByteArray("x"));
}

void TestTrashCan::failedTrashLeavesItemAndNoRecord()
{
    // The Trash lies inside this folder, so moving it there must fail after the record is written.
    const QString data = m_dir->path(".home/.local/share");
    m_dir->file(".home/.local/share/keep.txt", "x");
    const FileError error = failure([&] { fs.moveToTrash(QUrl::fromLocalFile(data)); });
    QCOMPARE(error.operation(), FileError::Operation::Trash);
    QCOMPARE(m_dir->read(".home/.local/share/keep.txt"), QByteArray("x"));
    QCOMPARE(m_dir->entries(".home/.local/share/Trash/info"), QStringList{});

    QCOMPARE(failure([&] { fs.moveToTrash(m_dir->url("missing")); }).code(), ENOENT);
}

void TestTrashCan::recordCannotEscapeItsVolume()
{
    // A volume's Trash may come from anywhere; its records must not place items outside it.
    const QString trash = m_dir->path("volume/.Trash-1234");
    m_dir->file("volume/.Trash-1234/files/x", "x");
    m_dir->file("volume/.Trash-1234/info/x.trashinfo", "[Trash Info]\nPath=../outside/x\nDeletionDate=2024-01-01T00:00:00\n");
    QCOMPARE(failure([&] { fs.restoreFromTrash(QUrl::fromLocalFile(trash + "/files/x")); }).code(), EINVAL);
    QVERIFY(!m_dir->exists("outside"));
    QVERIFY(m_dir->exists("volume/.Trash-1234/files/x"));

    m_dir->file("volume/.Trash-1234/info/x.trashinfo", "[Trash Info]\nPath=sub%20dir/x\n");
    QCOMPARE(fs.restoreFromTrash(QUrl::fromLocalFile(trash + "/files/x")), m_dir->url("volume/sub dir/x"));
}

void TestTrashCan::perVolumeTrash()
{
    struct stat shm, here;
    if (::stat("/dev/shm", &shm) != 0 || ::stat(QFile::encodeName(m_dir->path()), &here) != 0 || shm.st_dev == here.st_dev)
        QSKIP("/dev/shm is not a separate file system here");
    const QString trash = "/dev/shm/.Trash-" + QString::number(::geteuid());
    const bool trashExisted = QFileInfo::exists(trash);
    TestDir volume(QStringLiteral("/dev/shm"));
    volume.file("item.txt", "x");

    const QUrl trashed = *fs.moveToTrash(volume.url("item.txt"));
    QCOMPARE(QFileInfo(trashed.toLocalFile()).path(), trash + "/files");
    const QByteArray record = readAll(recordOf(trashed));
    const QByteArray relative = QFile::encodeName(volume.path("item.txt").mid(QStringLiteral("/dev/shm/").size()));
    QVERIFY2(record.contains(QByteArray("\nPath=" + relative.toPercentEncoding("/") + "\n")), record.constData());
    QVERIFY(QDir(trashPath("/files")).isEmpty()); // the home Trash wasn't used

    QCOMPARE(fs.restoreFromTrash(trashed), volume.url("item.txt"));
    QVERIFY(!QFileInfo::exists(recordOf(trashed)));
    if (!trashExisted)
        QDir(trash).removeRecursively();
}

QTEST_GUILESS_MAIN(TestTrashCan)
#include "tst_trashcan.moc"
