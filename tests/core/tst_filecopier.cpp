// What a copy keeps, what it refuses, and what is left behind when a copy or a move across file
// systems fails part way.

#include "failure.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QDirIterator>
#include <QRandomGenerator>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

void setTimes(const QString &path, qint64 atimeSec, qint64 mtimeSec)
{
    const struct timespec times[2] = {{atimeSec, 123456789}, {mtimeSec, 987654321}};
    QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(path), times, AT_SYMLINK_NOFOLLOW), 0);
}

// Paths of everything under `root` (root itself as ""), sorted.
QStringList treeOf(const QString &root)
{
    QStringList paths{QString()};
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext())
        paths << it.next().mid(root.size());
    paths.sort();
    return paths;
}

// One line per item: name, type, mode, times to the nanosecond, and contents or link target.
// Equal descriptions mean a faithful copy. Every item is examined before anything is read,
// because reading a fresh copy advances its access time once (relatime).
QStringList describe(const QString &root, const QStringList &paths)
{
    QList<struct stat> stats;
    for (const QString &path : paths) {
        struct stat st;
        if (::lstat(QFile::encodeName(root + path), &st) != 0)
            return {"missing " + path};
        stats << st;
    }
    QStringList lines;
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const struct stat &st = stats[i];
        const QByteArray path = QFile::encodeName(root + paths[i]);
        QString what = "dir";
        if (S_ISLNK(st.st_mode)) { // the target as written, not resolved
            char target[4096];
            const ssize_t n = ::readlink(path, target, sizeof target);
            what = "link " + QString::fromLocal8Bit(target, n);
        } else if (S_ISREG(st.st_mode)) {
            QFile file(QFile::decodeName(path));
            what = "file " + QString::number(qHash(file.open(QIODevice::ReadOnly) ? file.readAll() : "?"));
        }
        lines << QStringLiteral("%1 %2 %3 %4.%5 %6.%7")
                     .arg(paths[i], what, QString::number(st.st_mode & 07777, 8))
                     .arg(st.st_mtim.tv_sec).arg(st.st_mtim.tv_nsec)
                     .arg(st.st_atim.tv_sec).arg(st.st_atim.tv_nsec);
    }
    return lines;
}

// Checks that a copy is faithful to the tree `source` was before it was copied.
class TreeSnapshot
{
public:
    // Reads everything once first: the copy reads the source, and that must not move its
    // access times any more.
    explicit TreeSnapshot(const QString &source) : m_paths(treeOf(source))
    {
        describe(source, m_paths);
        m_description = describe(source, m_paths);
    }
    bool matches(const QString &copy) const
    {
        const QStringList found = describe(copy, m_paths);
        if (found != m_description)
            qWarning() << "differs:" << found << "\nexpected:" << m_description;
        return found == m_description && treeOf(copy) == m_paths;
    }

private:
    QStringList m_paths;
    QStringList m_description;
};

// A tree with the things a copy tends to get wrong: modes, old times, a read-only folder,
// links relative, absolute and dangling, and a link to a folder outside it.
void buildTree(const TestDir &dir, const QString &root)
{
    dir.file(root + "/file.txt", "contents");
    dir.file(root + "/run.sh", "#!/bin/sh\n");
    dir.file(root + "/empty");
    dir.file(root + "/ro/inner.txt", "inner");
    dir.file("outside/big.bin", QByteArray(1000, 'x'));
    dir.link("file.txt", root + "/relative");
    dir.link(dir.path("outside"), root + "/to-outside");
    dir.link("nowhere", root + "/dangling");
    QFile::setPermissions(dir.path(root + "/file.txt"), QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    ::chmod(QFile::encodeName(dir.path(root + "/run.sh")), 0755);
    for (const char *item : {"/file.txt", "/run.sh", "/empty", "/ro/inner.txt", "/relative", "/dangling"})
        setTimes(dir.path(root + item), 1'000'000'000, 1'100'000'000);
    ::chmod(QFile::encodeName(dir.path(root + "/ro")), 0555);
    setTimes(dir.path(root + "/ro"), 1'200'000'000, 1'300'000'000);
    setTimes(dir.path(root), 1'200'000'000, 1'300'000'000);
}

// Hands a tree to the unprivileged user, so permission failures can be staged while root.
void giveAway(const QString &root)
{
    if (::geteuid() != 0)
        return;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    QStringList paths{root};
    while (it.hasNext())
        paths << it.next();
    for (const QString &path : paths)
        QCOMPARE(::lchown(QFile::encodeName(path), 65534, 65534), 0);
}

bool separateFileSystems(const QString &a, const QString &b)
{
    struct stat first, second;
    return ::stat(QFile::encodeName(a), &first) == 0 && ::stat(QFile::encodeName(b), &second) == 0
           && first.st_dev != second.st_dev;
}

} // namespace

class TestFileCopier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void copyKeepsWhatMatters();
    void contentsArriveWhole_data();
    void contentsArriveWhole();
    void specialFilesAreRefused_data();
    void specialFilesAreRefused();
    void failureMidwayLeavesNothing_data();
    void failureMidwayLeavesNothing();
    void crossDeviceMove();
    void crossDeviceMoveThatCannotDeleteSaysSo();

private:
    FileSystemService fs;
};

void TestFileCopier::copyKeepsWhatMatters()
{
    TestDir dir;
    buildTree(dir, "Tree");
    dir.dir("dst");
    const TreeSnapshot before(dir.path("Tree"));
    QCOMPARE(fs.copy(dir.url("Tree"), dir.url("dst")), dir.url("dst/Tree"));
    QVERIFY(before.matches(dir.path("dst/Tree")));
    QCOMPARE(dir.entries("dst"), QStringList{"Tree"});
}

void TestFileCopier::contentsArriveWhole_data()
{
    QTest::addColumn<QString>("source"); // empty: a file of `size` random bytes
    QTest::addColumn<int>("size");
    QTest::newRow("empty") << QString() << 0;
    QTest::newRow("several chunks and an odd tail") << QString() << (3 << 20) + 17;
    QTest::newRow("size reported as 0 (/proc)") << "/proc/self/status" << -1;
}

void TestFileCopier::contentsArriveWhole()
{
    QFETCH(QString, source);
    QFETCH(int, size);
    TestDir dir;
    QByteArray expected;
    if (source.isEmpty()) {
        expected.resize(size);
        QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(expected.data()), size / 4);
        source = dir.file("data.bin", expected);
    }
    const QUrl copy = fs.copy(QUrl::fromLocalFile(source), QUrl::fromLocalFile(dir.dir("dst")));
    const QByteArray copied = dir.read("dst/" + copy.fileName());
    if (size < 0)
        QVERIFY2(copied.startsWith("Name:"), copied.constData());
    else
        QCOMPARE(copied, expected);
}

void TestFileCopier::specialFilesAreRefused_data()
{
    QTest::addColumn<QString>("special"); // relative to the test folder
    QTest::addColumn<QString>("item");    // what is copied
    QTest::newRow("pipe") << "pipe" << "pipe";
    QTest::newRow("pipe deep in a folder") << "Folder/sub/pipe" << "Folder";
}

void TestFileCopier::specialFilesAreRefused()
{
    QFETCH(QString, special);
    QFETCH(QString, item);
    TestDir dir;
    dir.file("Folder/a.txt", "a");
    dir.dir("Folder/sub");
    dir.dir("dst");
    const QByteArray path = QFile::encodeName(dir.path(special));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.path(special)), 0600), 0);
    const FileError error = failure([&] { fs.copy(dir.url(item), dir.url("dst")); });
    QCOMPARE(error.code(), EOPNOTSUPP);
    QCOMPARE(error.path(), dir.path(special));
    QCOMPARE(dir.entries("dst"), QStringList{});
}

void TestFileCopier::failureMidwayLeavesNothing_data()
{
    QTest::addColumn<bool>("acrossFileSystems");
    QTest::newRow("copy") << false;
    QTest::newRow("move across file systems") << true;
}

void TestFileCopier::failureMidwayLeavesNothing()
{
    QFETCH(bool, acrossFileSystems);
    TestDir here;
    TestDir there(acrossFileSystems ? QStringLiteral("/dev/shm") : QDir::tempPath());
    if (acrossFileSystems && !separateFileSystems(here.path(), there.path()))
        QSKIP("/dev/shm is not a separate file system here");
    here.openToOthers();
    there.openToOthers();
    there.file("Tree/a.txt", "a");
    there.file("Tree/z/secret.txt", "no");
    ::chmod(QFile::encodeName(there.path("Tree/z/secret.txt")), 0);
    here.dir("dst");
    giveAway(there.path());
    giveAway(here.path("dst"));
    const TreeSnapshot before(there.path("Tree"));
    {
        AsUnprivileged unprivileged;
        const FileError error = failure([&] {
            acrossFileSystems ? fs.move(there.url("Tree"), here.url("dst"), ConflictResolution::keepBoth)
                              : TransferOutcome::completed(fs.copy(there.url("Tree"), here.url("dst")));
        });
        QCOMPARE(error.code(), EACCES);
        QCOMPARE(error.path(), there.path("Tree/z/secret.txt"));
    }
    QVERIFY(before.matches(there.path("Tree")));
    QCOMPARE(here.entries("dst"), QStringList{});
}

void TestFileCopier::crossDeviceMove()
{
    TestDir here;
    TestDir there(QStringLiteral("/dev/shm"));
    if (!there.isValid() || !separateFileSystems(here.path(), there.path()))
        QSKIP("/dev/shm is not a separate file system here");
    buildTree(there, "Tree");
    const TreeSnapshot before(there.path("Tree"));
    QCOMPARE(fs.move(there.url("Tree"), here.url()), here.url("Tree"));
    QVERIFY(!there.exists("Tree"));
    QVERIFY(before.matches(here.path("Tree")));
    QCOMPARE(here.entries(), QStringList{"Tree"});
}

void TestFileCopier::crossDeviceMoveThatCannotDeleteSaysSo()
{
    TestDir here;
    TestDir there(QStringLiteral("/dev/shm"));
    if (!there.isValid() || !separateFileSystems(here.path(), there.path()))
        QSKIP("/dev/shm is not a separate file system here");
    here.openToOthers();
    there.openToOthers();
    there.file("Tree/a.txt", "a");
    there.file("Tree/locked/b.txt", "b");
    here.dir("dst");
    giveAway(there.path());
    giveAway(here.path("dst"));
    ::chmod(QFile::encodeName(there.path("Tree/locked")), 0555);
    {
        AsUnprivileged unprivileged;
        const FileError error = failure([&] { fs.move(there.url("Tree"), here.url("dst")); });
        QVERIFY2(error.message().contains("both copies exist"), qPrintable(error.message()));
    }
    QCOMPARE(here.entries("dst"), QStringList{"Tree"});
    QCOMPARE(here.read("dst/Tree/locked/b.txt"), QByteArray("b"));
    QCOMPARE(there.read("Tree/locked/b.txt"), QByteArray("b"));
}

QTEST_GUILESS_MAIN(TestFileCopier)
#include "tst_filecopier.moc"
