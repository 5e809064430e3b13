// What a copy keeps, what it refuses, and what is left behind when a copy or a move across file
// systems fails part way.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "itemlists.h"
#include "testdir.h"
#include "treeremover.h"
#include "treesnapshot.h"
#include "uniquefd.h"

#include <QDirIterator>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <functional>

#include <sys/mman.h>
#include <sys/mount.h>
#include <sys/syscall.h>
#include <sys/xattr.h>

namespace {

// An ACL as the kernel stores it: owner rw, user 65534 r, group r, mask r, others r.
const QByteArray aclForNobody = QByteArray::fromHex("0200000001000600ffffffff02000400feff000004000400ffffffff"
                                                    "10000400ffffffff20000400ffffffff");

void setAttribute(const QString &path, const char *name, const QByteArray &value)
{
    QCOMPARE(::lsetxattr(QFile::encodeName(path).constData(), name, value.constData(), size_t(value.size()), 0), 0);
}

// A tree with what a copy tends to get wrong: modes, old times, a read-only folder, links of each
// kind, attributes and ACLs on files and folders, a sparse file, and data in chunks and an odd tail.
void buildTree(const TestDir &dir, const QString &root)
{
    dir.file(root + "/file.txt", "contents");
    QByteArray data((3 << 20) + 17, Qt::Uninitialized);
    QRandomGenerator(42).fillRange(reinterpret_cast<quint32 *>(data.data()), data.size() / 4);
    dir.file(root + "/data.bin", data);
    dir.file(root + "/run.sh", "#!/bin/sh\n");
    dir.file(root + "/empty");
    dir.file(root + "/ro/inner.txt", "inner");
    dir.file("outside/big.bin", QByteArray(1000, 'x'));
    dir.link("file.txt", root + "/relative");
    dir.link(dir.path("outside"), root + "/to-outside");
    dir.link("nowhere", root + "/dangling");
    QFile sparse(dir.file(root + "/sparse.bin"));
    QVERIFY(sparse.open(QIODevice::ReadWrite) && sparse.resize(16 << 20) && sparse.seek(8 << 20));
    sparse.write(QByteArray(4096, 's'));
    sparse.close();
    setAttribute(dir.path(root + "/file.txt"), "user.xdg.origin.url", "https://example.org/file.txt");
    setAttribute(dir.path(root + "/run.sh"), "system.posix_acl_access", aclForNobody);
    setAttribute(dir.path(root + "/ro"), "user.xdg.tags", "red");
    setAttribute(dir.path(root + "/ro"), "system.posix_acl_default", aclForNobody);
    setMode(dir.path(root + "/file.txt"), 0640);
    setMode(dir.path(root + "/run.sh"), 0755);
    for (const char *item : {"/file.txt", "/run.sh", "/empty", "/ro/inner.txt", "/relative", "/dangling", "/sparse.bin"})
        setTimes(dir.path(root + item), 1'000'000'000, 1'100'000'000);
    setMode(dir.path(root + "/ro"), 0555);
    setTimes(dir.path(root + "/ro"), 1'200'000'000, 1'300'000'000);
    setTimes(dir.path(root), 1'200'000'000, 1'300'000'000);
}

// Runs once, just before the program first renames or deletes an entry of this name.
struct BeforeTouching
{
    QByteArray name;
    std::function<void()> action;

    void at(const char *touched)
    {
        if (!name.isEmpty() && name == touched)
            std::exchange(action, {})();
    }
};
BeforeTouching beforeTouching;
int syncs = 0;

} // namespace

// The core calls these; here they stop by the hook first.
extern "C" int unlinkat(int dirFd, const char *name, int flags)
{
    beforeTouching.at(name);
    return int(::syscall(SYS_unlinkat, dirFd, name, flags));
}

extern "C" int syncfs(int fd)
{
    ++syncs;
    return int(::syscall(SYS_syncfs, fd));
}

extern "C" int renameat2(int fromDir, const char *from, int toDir, const char *to, unsigned int flags)
{
    beforeTouching.at(from);
    return int(::syscall(SYS_renameat2, fromDir, from, toDir, to, flags));
}

enum class Writer { openBefore, mappedBefore, opensDuring, newFileDuring };

class TestFileCopier : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void faithfulTransfer_data()
    {
        QTest::addColumn<bool>("move"); // across file systems; a copy stays on one
        QTest::newRow("copy") << false;
        QTest::newRow("move across file systems") << true;
    }

    void faithfulTransfer()
    {
        QFETCH(bool, move);
        TestDir here;
        TestDir there(move ? QStringLiteral("/dev/shm") : QDir::tempPath());
        if (move && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
            QSKIP("/dev/shm is not a separate file system here");
        buildTree(there, "Tree");
        const TreeSnapshot before(there.path("Tree"));
        int syncedBeforeDeleting = 0; // the original goes only once its copy is on the disk
        beforeTouching = {"file.txt", [&] { syncedBeforeDeleting = syncs; }};
        const auto disarm = qScopeGuard([] { beforeTouching = {}; });
        QList<std::pair<qint64, qint64>> reports;
        CopyControl control;
        control.onProgress = [&](qint64 done, qint64 total) { reports.append({done, total}); };
        QCOMPARE(move ? fs.move(there.url("Tree"), here.url(), control) : fs.copy(there.url("Tree"), here.url(), control), here.url("Tree"));
        QVERIFY(before.matches(here.path("Tree")));
        // Progress goes forward against a total known from the start, and ends there.
        QVERIFY(!reports.isEmpty());
        QCOMPARE(reports.last().first, reports.first().second);
        for (qsizetype i = 1; i < reports.size(); ++i)
            QVERIFY(reports[i].first >= reports[i - 1].first && reports[i].second == reports.first().second);
        struct stat sparse;
        QVERIFY(::stat(QFile::encodeName(here.path("Tree/sparse.bin")).constData(), &sparse) == 0);
        QVERIFY2(sparse.st_blocks * 512 <= 256 * 1024, "the holes were filled");
        QCOMPARE(here.entries(), QStringList{"Tree"});
        QCOMPARE(there.exists("Tree"), !move);
        QCOMPARE(syncedBeforeDeleting > 0, move);
    }

    void sizeMisreportedIsReadWhole_data()
    {
        QTest::addColumn<QString>("source");
        // Reports a size of 0, and unlike /proc/self/status a search for its data finds none.
        QTest::newRow("size 0") << "/proc/sys/kernel/ostype";
        // Reports a page, holds a few bytes, and its data search claims the page wherever it starts.
        QTest::newRow("size larger than the contents") << "/sys/class/net/lo/address";
    }

    // Only reading finds the contents, and the copy ends where they do.
    void sizeMisreportedIsReadWhole()
    {
        QFETCH(QString, source);
        TestDir dir;
        QElapsedTimer clock;
        clock.start();
        CopyControl control; // a copy that never ends fails rather than hangs
        control.shouldContinue = [&] { return !clock.hasExpired(10000); };
        const FilePath copy = fs.copy(FilePath::fromString(source), FilePath::fromString(dir.dir("dst")), control);
        const QByteArray copied = dir.read("dst/" + copy.fileName());
        QVERIFY2(!copied.isEmpty() && copied == readFile(source), copied.constData());
    }

    void failureMidwayLosesNothing_data()
    {
        QTest::addColumn<bool>("acrossFileSystems");
        // An "unreadable" file, a "pipe", a "locked" folder it can't empty, or a cancel at the first
        // progress report, "inside" a large file or "between" files.
        QTest::addColumn<QString>("blocker");
        for (const bool across : {false, true}) {
            const char *how = across ? "move across file systems" : "copy";
            QTest::addRow("%s, unreadable file", how) << across << "unreadable";
            QTest::addRow("%s, pipe", how) << across << "pipe";
            QTest::addRow("%s, cancelled inside a large file", how) << across << "inside";
            QTest::addRow("%s, cancelled between the files of a folder", how) << across << "between";
        }
        QTest::newRow("move across file systems, the original can't be deleted") << true << "locked";
    }

    // The item that fails lies deep, after others were copied: nothing is left of the copy. A move
    // whose original holds a folder it can't empty stops before copying it, the original whole.
    void failureMidwayLosesNothing()
    {
        QFETCH(bool, acrossFileSystems);
        QFETCH(QString, blocker);
        TestDir here;
        TestDir there(acrossFileSystems ? QStringLiteral("/dev/shm") : QDir::tempPath());
        if (acrossFileSystems && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
            QSKIP("/dev/shm is not a separate file system here");
        here.openToOthers();
        const bool cancel = blocker == "inside" || blocker == "between";
        if (cancel) { // several chunks of kernel copy and a tail, or five small files
            for (int i = 0; i < (blocker == "between" ? 5 : 1); ++i)
                there.file(QStringLiteral("Tree/part%1.bin").arg(i), QByteArray(blocker == "between" ? 1000 : (24 << 20) + 5, char('a' + i)));
        } else {
            there.file("Tree/a.txt", "a");
            if (blocker == "pipe")
                QCOMPARE(::mkfifo(QFile::encodeName(there.dir("Tree/z") + "/blocker"), 0600), 0);
            else
                there.file("Tree/z/blocker", "no");
        }
        giveAway(there.path());
        giveAway(here.dir("dst"));
        if (blocker == "unreadable" || blocker == "locked")
            setMode(there.path(blocker == "locked" ? "Tree/z" : "Tree/z/blocker"), blocker == "locked" ? 0555 : 0);
        const TreeSnapshot before(there.path("Tree"));
        QList<qint64> reports;
        CopyControl control;
        control.onProgress = [&](qint64 done, qint64 total) { reports << done << total; };
        control.shouldContinue = [&] { return !cancel || reports.isEmpty(); };
        {
            AsUnprivileged unprivileged;
            const FileError error = failure([&] {
                acrossFileSystems ? fs.move(there.url("Tree"), here.url("dst"), ConflictResolution::keepBoth, control)
                                  : TransferOutcome::completed(fs.copy(there.url("Tree"), here.url("dst"), control));
            });
            QCOMPARE(error.code(), cancel ? ECANCELED : blocker == "pipe" ? EOPNOTSUPP : EACCES);
            if (!cancel)
                QCOMPARE(error.path(), there.path(blocker == "locked" ? "Tree/z" : "Tree/z/blocker"));
            QCOMPARE(error.operation(), acrossFileSystems ? FileError::Operation::Move : FileError::Operation::Copy);
            QCOMPARE(error.notes().contains(ErrorNote(ErrorNote::Kind::cantBeEmptied)), blocker == "locked");
        }
        if (cancel) // stopped midway, at once
            QVERIFY(reports.value(0) > 0 && reports.value(0) < reports.value(1));
        QVERIFY(before.matches(there.path("Tree")));
        QCOMPARE(here.entries("dst"), QStringList{});
    }

    // A failed copy's temporary may hold folders that already got their read-only mode; discarding
    // it must still leave nothing behind, while deleting a user's item respects the modes.
    void ownLeftoversGoEvenWhenReadOnly()
    {
        TestDir dir;
        dir.openToOthers();
        dir.file("mine/ours/ro/deeper/f.txt", "x");
        dir.file("mine/users/ro/f.txt", "x");
        giveAway(dir.path("mine"));
        setMode(dir.path("mine/ours/ro"), 0555);
        setMode(dir.path("mine/users/ro"), 0555);
        AsUnprivileged unprivileged;
        TreeRemover::discard(AT_FDCWD, QFile::encodeName(dir.path("mine/ours")).constData());
        QVERIFY(!dir.exists("mine/ours"));
        const FileError error = failure([&] { TreeRemover::removeItem(dir.path("mine/users"), FileError::Operation::Delete); });
        QCOMPARE(error.code(), EACCES);
        QVERIFY(dir.exists("mine/users/ro/f.txt"));
    }

    // A volume mounted inside the item is no part of it: nothing on it goes.
    void deletionStopsAtAMountPoint()
    {
        TestDir dir;
        const QByteArray volume = QFile::encodeName(dir.dir("mine/volume"));
        if (::mount("tmpfs", volume.constData(), "tmpfs", 0, "size=1m") != 0)
            QSKIP("a file system can't be mounted here");
        const auto unmount = qScopeGuard([&] { ::umount2(volume.constData(), MNT_DETACH); });
        dir.file("mine/volume/precious.txt", "x");
        QCOMPARE(failure([&] { TreeRemover::removeItem(dir.path("mine"), FileError::Operation::Delete); }).path(), dir.path("mine/volume"));
        QVERIFY(dir.exists("mine/volume/precious.txt"));
    }

    // After a move across file systems only what was copied may go from the original: a file
    // written to or created while the copy ran stays, with the folders that hold it.
    void moveKeepsWhatChangedWhileCopying()
    {
        TestDir dir;
        dir.file("Tree/same.txt", "same");
        dir.file("Tree/sub/grows.log", "old");
        dir.file("Tree/gone/x.txt", "x");
        dir.file("Tree/linked/a", "one file, two names");
        QCOMPARE(::link(QFile::encodeName(dir.path("Tree/linked/a")), QFile::encodeName(dir.path("Tree/linked/b"))), 0);
        TreeRemover::Snapshot copied;
        QDirIterator it(dir.path("Tree"), QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
        for (QStringList paths{dir.path("Tree")}; !paths.isEmpty() || it.hasNext();) {
            const QString path = paths.isEmpty() ? it.next() : paths.takeFirst();
            struct stat st;
            QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st), 0);
            TreeRemover::record(copied, st);
        }
        dir.file("Tree/sub/grows.log", "old and new"); // rewritten in place
        dir.file("Tree/late.txt", "arrived during the copy");
        const QStringList kept = TreeRemover::removeCopied(dir.path("Tree"), copied, FileError::Operation::Move);
        QCOMPARE(sorted(kept), sorted({dir.path("Tree/late.txt"), dir.path("Tree/sub/grows.log")}));
        QCOMPARE(dir.entries("Tree"), (QStringList{"late.txt", "sub"}));
        QCOMPARE(dir.read("Tree/sub/grows.log"), QByteArray("old and new"));
    }

    void moveKeepsWhatIsWrittenDuringIt_data()
    {
        QTest::addColumn<Writer>("writer");
        QTest::addColumn<QString>("kept");
        QTest::newRow("open for writing from before, rewritten in place") << Writer::openBefore << "big.bin";
        QTest::newRow("mapped shared and writable from before") << Writer::mappedBefore << "big.bin";
        QTest::newRow("opened for writing while it is copied") << Writer::opensDuring << "big.bin";
        QTest::newRow("a new file appears while the folder is copied") << Writer::newFileDuring << "late.txt";
    }

    // Through the real move across file systems; the writers that come during the move are
    // synchronised with it by the first progress report, which comes inside the large file.
    void moveKeepsWhatIsWrittenDuringIt()
    {
        QFETCH(Writer, writer);
        QFETCH(QString, kept);
        TestDir here;
        TestDir there(QStringLiteral("/dev/shm"));
        if (!there.isValid() || !separateFileSystems(here.path(), there.path()))
            QSKIP("/dev/shm is not a separate file system here");
        const QByteArray big = QFile::encodeName(there.file("Tree/big.bin", QByteArray(24 << 20, 'o')));
        UniqueFd writing;
        void *mapping = MAP_FAILED;
        if (writer == Writer::openBefore) {
            writing = UniqueFd(::open(big.constData(), O_RDWR | O_CLOEXEC));
            QCOMPARE(::pwrite(writing.get(), "O", 1, 0), 1); // the same size, so no trace but the times
        } else if (writer == Writer::mappedBefore) {
            const UniqueFd fd(::open(big.constData(), O_RDWR | O_CLOEXEC));
            mapping = ::mmap(nullptr, 4096, PROT_READ | PROT_WRITE, MAP_SHARED, fd.get(), 0);
            QVERIFY(mapping != MAP_FAILED);
            static_cast<char *>(mapping)[0] = 'M'; // later stores to this dirty page leave no trace
        }
        CopyControl control;
        bool reported = false;
        control.onProgress = [&](qint64, qint64) {
            if (std::exchange(reported, true))
                return;
            if (writer == Writer::opensDuring) // must not wait for the lease: the mover runs this
                writing = UniqueFd(::open(big.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC));
            else if (writer == Writer::newFileDuring)
                there.file("Tree/late.txt", "late");
        };
        const FileError error = failure([&] { fs.move(there.url("Tree"), FilePath::fromString(here.dir("dst")), control); });
        if (mapping != MAP_FAILED)
            ::munmap(mapping, 4096);
        QCOMPARE(error.code(), EBUSY);
        QVERIFY2(error.message().contains(there.path("Tree/" + kept)), qPrintable(error.message()));
        QCOMPARE(there.entries("Tree"), QStringList{kept});
        QCOMPARE(here.read("dst/Tree/big.bin").size(), 24 << 20);
    }

    // The mover checks a file, then stalls before deleting it for longer than the kernel keeps a
    // writer waiting for the lease (shortened here to a second). The writer that gets in then must
    // find its data where it wrote it, and the move must say so.
    void aWriterLetInJustBeforeTheDeletionKeepsItsData()
    {
        QFile breakTime(QStringLiteral("/proc/sys/fs/lease-break-time"));
        if (!breakTime.open(QIODevice::ReadWrite))
            QSKIP("the lease-break time can only be shortened by the administrator");
        const QByteArray usual = breakTime.readAll();
        QVERIFY(breakTime.seek(0) && breakTime.write("1\n") > 0 && breakTime.flush());
        const auto restore = qScopeGuard([&] {
            breakTime.seek(0);
            breakTime.write(usual);
        });
        TestDir dir;
        const QByteArray file = QFile::encodeName(dir.file("Tree/victim.txt", "as copied"));
        TreeRemover::Snapshot copied;
        const UniqueFd reading(::open(file.constData(), O_RDONLY | O_CLOEXEC));
        auto lease = std::make_shared<ReadLease>(ReadLease::take(reading.get()));
        if (lease->outcome() != ReadLease::Outcome::held)
            QSKIP("this file system grants no leases here");
        struct stat st;
        QCOMPARE(::stat(QFile::encodeName(dir.path("Tree")).constData(), &st), 0);
        TreeRemover::record(copied, st);
        QCOMPARE(::stat(file.constData(), &st), 0);
        TreeRemover::record(copied, st, lease);
        bool written = false;
        beforeTouching = {"victim.txt", [&] {
            // Blocks until the kernel gives up on the lease holder.
            const UniqueFd writer(::open(file.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC));
            written = writer.valid() && ::write(writer.get(), "written late", 12) == 12;
        }};
        const QStringList kept = TreeRemover::removeCopied(dir.path("Tree"), copied, FileError::Operation::Move);
        QVERIFY(written);
        QCOMPARE(kept, QStringList{dir.path("Tree/victim.txt")});
        QCOMPARE(dir.read("Tree/victim.txt"), QByteArray("written late"));
    }

private:
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestFileCopier)
#include "tst_filecopier.moc"
