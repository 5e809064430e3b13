// Trees deeper than the usual 1,024 descriptors: a copy, a move across file systems and a deletion
// go to the bottom and back, and a walk whose folder is swapped above it stops there.

#include "diskfacts.h"
#include "filesystemservice.h"
#include "folderchain.h"
#include "testdir.h"
#include "treeremover.h"
#include "uniquefd.h"

#include <QScopeGuard>
#include <QTest>

#include <cerrno>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

constexpr int Depth = 4096;
const QByteArray Leaf = "at the bottom";

// `depth` folders named "d" one inside the other under `top`, a file beside every 512th of them
// and one at the bottom. Built through descriptors: the paths are far longer than PATH_MAX.
void buildDeep(const QString &top, int depth)
{
    QVERIFY(::mkdir(QFile::encodeName(top).constData(), 0755) == 0);
    UniqueFd folder(::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    for (int level = 0; level < depth; ++level) {
        QVERIFY(::mkdirat(folder.get(), "d", 0755) == 0);
        if (level % 512 == 0)
            QVERIFY(UniqueFd(::openat(folder.get(), "mark", O_WRONLY | O_CREAT | O_CLOEXEC, 0644)).valid());
        folder = UniqueFd(::openat(folder.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        QVERIFY(folder.valid());
    }
    const UniqueFd leaf(::openat(folder.get(), "leaf.txt", O_WRONLY | O_CREAT | O_CLOEXEC, 0644));
    QCOMPARE(::write(leaf.get(), Leaf.constData(), size_t(Leaf.size())), ssize_t(Leaf.size()));
}

// The levels of folders "d" below `top` and what the file at the bottom holds.
std::pair<int, QByteArray> readDeep(const QString &top)
{
    UniqueFd folder(::open(QFile::encodeName(top).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    int levels = 0;
    for (UniqueFd next; (next = UniqueFd(::openat(folder.get(), "d", O_RDONLY | O_DIRECTORY | O_CLOEXEC))).valid();) {
        folder = std::move(next);
        ++levels;
    }
    QFile leaf;
    const UniqueFd fd(::openat(folder.get(), "leaf.txt", O_RDONLY | O_CLOEXEC));
    if (!fd.valid() || !leaf.open(fd.get(), QIODevice::ReadOnly))
        return {levels, {}};
    return {levels, leaf.readAll()};
}

} // namespace

class TestDeepTrees : public QObject
{
    Q_OBJECT

    FileSystemService fs;

private Q_SLOTS:
    // For good: the program raises its own soft limit to the hard one where it needs more.
    void initTestCase()
    {
        const struct rlimit limit{1024, 1024};
        QCOMPARE(::setrlimit(RLIMIT_NOFILE, &limit), 0);
    }

    void travelsToTheBottomAndBack_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::newRow("copy") << "copy";
        QTest::newRow("move across file systems") << "move";
        QTest::newRow("delete") << "delete";
    }

    void travelsToTheBottomAndBack()
    {
        QFETCH(QString, operation);
        TestDir here;
        TestDir there(QStringLiteral("/dev/shm"));
        if (operation == "move" && (!there.isValid() || !separateFileSystems(here.path(), there.path())))
            QSKIP("/dev/shm is not a separate file system here");
        const QString source = (operation == "move" ? there : here).path("Deep");
        buildDeep(source, Depth);
        if (QTest::currentTestFailed())
            return;
        const QString copied = here.dir("dst") + "/Deep";
        // Paths this long are beyond QDir's reach.
        const auto cleanUp = qScopeGuard([&] {
            for (const QString &left : {source, copied})
                if (modeOf(left) >= 0)
                    TreeRemover::discard(AT_FDCWD, QFile::encodeName(left).constData());
        });
        const auto travel = [&] {
            if (operation == "copy")
                fs.copy(FilePath::fromString(source), here.url("dst"));
            else if (operation == "move")
                fs.move(FilePath::fromString(source), here.url("dst"));
            else
                TreeRemover::removeItem(source, FileError::Operation::Delete);
        };
        QVERIFY_THROWS_NO_EXCEPTION(travel()); // names the error's message when one is thrown
        if (operation != "copy")
            QCOMPARE(modeOf(source), -1);
        if (operation != "delete")
            QCOMPARE(readDeep(copied), std::make_pair(Depth, Leaf));
        if (operation == "copy")
            QCOMPARE(readDeep(source), std::make_pair(Depth, Leaf));
    }

    // A folder far above the walk, closed meanwhile, is moved elsewhere: climbing back, the walk
    // follows it as long as it is the same folder, and stops where ".." leads somewhere else.
    void aFolderSwappedAboveIsNotFollowed()
    {
        TestDir dir;
        buildDeep(dir.path("Deep"), 40);
        FolderChain chain(AT_FDCWD, 4);
        chain.enter(UniqueFd(::open(QFile::encodeName(dir.path("Deep")).constData(), O_RDONLY | O_DIRECTORY)));
        for (int level = 0; level < 10; ++level)
            chain.enter(UniqueFd(::openat(chain.top(), "d", O_RDONLY | O_DIRECTORY)));
        QVERIFY(::rename(QFile::encodeName(dir.path("Deep/d/d")).constData(),
                         QFile::encodeName(dir.path("moved")).constData()) == 0);
        for (int level = 10; level > 2; --level) {
            chain.leave();
            QVERIFY(chain.top() >= 0); // still inside the moved folder, which is whole
        }
        chain.leave(); // out of the moved folder, whose parent is not the one it had
        QCOMPARE(chain.top(), -1);
        QCOMPARE(errno, ENOENT);
    }
};

QTEST_GUILESS_MAIN(TestDeepTrees)
#include "tst_deeptrees.moc"
