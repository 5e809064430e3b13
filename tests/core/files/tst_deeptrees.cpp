// Trees deeper than the usual 1,024 descriptors: a walk whose folder is swapped above it stops
// there rather than following it somewhere else.

#include "diskfacts.h"
#include "filesystemservice.h"
#include "folderchain.h"
#include "testdir.h"
#include "uniquefd.h"

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
