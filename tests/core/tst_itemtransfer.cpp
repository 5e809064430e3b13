// Creating, renaming, copying and moving items, and the replace / keep both / skip resolutions.

#include "failure.h"
#include "fileerror.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

Q_DECLARE_METATYPE(ConflictResolution)

namespace {

QStringList trashed(const TestDir &dir)
{
    return dir.entries(QStringLiteral(".home/.local/share/Trash/files"));
}

} // namespace

class TestItemTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void createFile();
    void createFileRefusals_data();
    void createFileRefusals();
    void renameNeverReplaces_data();
    void renameNeverReplaces();
    void intoItselfIsRefused_data();
    void intoItselfIsRefused();
    void plainCopyAndMove();
    void resolutions_data();
    void resolutions();
    void replaceNeverTrashesTheSourceOrItsFolder();
    void replaceThenFailedCopyKeepsOccupantInTrash();
    void moveIntoOwnFolderIsSkipped();
    void duplicate();

private:
    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

void TestItemTransfer::createFile()
{
    const QUrl url = fs.createFile("new.txt", m_dir->url());
    QCOMPARE(url, m_dir->url("new.txt"));
    QVERIFY(m_dir->exists("new.txt"));
    QCOMPARE(QFileInfo(m_dir->path("new.txt")).size(), 0);
}

void TestItemTransfer::createFileRefusals_data()
{
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("code");
    QTest::newRow("taken by a file") << "" << "taken.txt" << FileError::WriteFileExists;
    QTest::newRow("taken by a dangling link") << "" << "dangling" << FileError::WriteFileExists;
    QTest::newRow("parent missing") << "missing" << "new.txt" << FileError::WriteUnknown;
    QTest::newRow("name leaves the folder") << "sub" << "../escaped" << EINVAL;
    QTest::newRow("name with a slash") << "" << "sub/inner" << EINVAL;
    QTest::newRow("dot-dot") << "sub" << ".." << EINVAL;
}

void TestItemTransfer::createFileRefusals()
{
    QFETCH(QString, parent);
    QFETCH(QString, name);
    QFETCH(int, code);
    m_dir->file("taken.txt", "keep me");
    m_dir->dir("sub");
    m_dir->link(m_dir->path("target-of-link"), "dangling");
    const QStringList before = m_dir->entries();
    const QUrl parentUrl = parent.isEmpty() ? m_dir->url() : m_dir->url(parent);
    const FileError error = failure([&] { fs.createFile(name, parentUrl); });
    QCOMPARE(error.code(), code);
    QCOMPARE(error.operation(), FileError::Operation::Create);
    QCOMPARE(m_dir->read("taken.txt"), QByteArray("keep me"));
    QVERIFY(!m_dir->exists("target-of-link")); // the link was not followed
    if (code == EINVAL) {
        QVERIFY(failure([&] { fs.createDirectory(name, parentUrl); }).code() == EINVAL);
        m_dir->file("sub/item");
        QVERIFY(failure([&] { fs.rename(m_dir->url("sub/item"), name); }).code() == EINVAL);
        QCOMPARE(m_dir->entries("sub"), QStringList{"item"});
        QCOMPARE(m_dir->entries(), before);
    }
}

void TestItemTransfer::renameNeverReplaces_data()
{
    QTest::addColumn<QString>("occupant");
    QTest::newRow("file") << "file";
    QTest::newRow("empty folder") << "folder"; // rename(2) alone would replace this one
    QTest::newRow("dangling link") << "link";
    QTest::newRow("hard link to the same file") << "hardlink";
}

void TestItemTransfer::renameNeverReplaces()
{
    QFETCH(QString, occupant);
    const bool folders = occupant == "folder";
    if (folders) {
        m_dir->dir("a");
        m_dir->dir("b");
    } else {
        m_dir->file("a", "source");
        if (occupant == "file")
            m_dir->file("b", "occupant");
        else if (occupant == "link")
            m_dir->link("nowhere", "b");
        else
            QCOMPARE(::link(QFile::encodeName(m_dir->path("a")), QFile::encodeName(m_dir->path("b"))), 0);
    }
    const FileError error = failure([&] { fs.rename(m_dir->url("a"), "b"); });
    QCOMPARE(error.code(), EEXIST);
    QCOMPARE(error.operation(), FileError::Operation::Rename);
    QCOMPARE(m_dir->entries(), QStringList({".home", "a", "b"}));
    if (occupant == "file")
        QCOMPARE(m_dir->read("b"), QByteArray("occupant"));
}

void TestItemTransfer::intoItselfIsRefused_data()
{
    QTest::addColumn<bool>("move");
    QTest::addColumn<QString>("destination");
    QTest::newRow("copy into itself") << false << "A";
    QTest::newRow("copy into a descendant") << false << "A/B/C";
    QTest::newRow("copy through a link to a descendant") << false << "toB";
    QTest::newRow("move into a descendant") << true << "A/B";
    QTest::newRow("move through a link to itself") << true << "toA";
}

void TestItemTransfer::intoItselfIsRefused()
{
    QFETCH(bool, move);
    QFETCH(QString, destination);
    m_dir->file("A/B/C/f.txt", "x");
    m_dir->link(m_dir->path("A/B"), "toB");
    m_dir->link(m_dir->path("A"), "toA");
    const QStringList before = m_dir->entries("A/B/C");
    for (ConflictResolution resolution : {ConflictResolution::keepBoth, ConflictResolution::replace}) {
        const FileError error = failure([&] {
            if (move)
                fs.move(m_dir->url("A"), m_dir->url(destination), resolution);
            else
                fs.copy(m_dir->url("A"), m_dir->url(destination), resolution);
        });
        QCOMPARE(error.code(), EINVAL);
    }
    QCOMPARE(failure([&] { move ? fs.move(m_dir->url("A"), m_dir->url(destination)) : fs.copy(m_dir->url("A"), m_dir->url(destination)); }).code(), EINVAL);
    QCOMPARE(m_dir->entries("A"), QStringList{"B"});
    QCOMPARE(m_dir->entries("A/B"), QStringList{"C"});
    QCOMPARE(m_dir->entries("A/B/C"), before);
    QVERIFY(trashed(*m_dir).isEmpty());
}

void TestItemTransfer::plainCopyAndMove()
{
    m_dir->file("src/a.txt", "new");
    m_dir->file("dst/a.txt", "old");
    QCOMPARE(failure([&] { fs.copy(m_dir->url("src/a.txt"), m_dir->url("dst")); }).code(), EEXIST);
    QCOMPARE(failure([&] { fs.move(m_dir->url("src/a.txt"), m_dir->url("dst")); }).code(), EEXIST);
    QCOMPARE(m_dir->read("dst/a.txt"), QByteArray("old"));
    QCOMPARE(fs.move(m_dir->url("src"), m_dir->url("dst")), m_dir->url("dst/src"));
    QCOMPARE(m_dir->entries("dst/src"), QStringList{"a.txt"});
}

void TestItemTransfer::resolutions_data()
{
    QTest::addColumn<bool>("move");
    QTest::addColumn<ConflictResolution>("resolution");
    QTest::addColumn<QString>("completedName"); // empty: skipped
    QTest::addColumn<QStringList>("destination");
    QTest::addColumn<int>("trashedCount");

    const auto replace = ConflictResolution::replace, keepBoth = ConflictResolution::keepBoth,
               skip = ConflictResolution::skip;
    QTest::newRow("copy, free name") << false << skip << "b.txt" << QStringList{"a.txt", "b.txt"} << 0;
    QTest::newRow("copy, replace") << false << replace << "a.txt" << QStringList{"a.txt"} << 1;
    QTest::newRow("copy, keep both") << false << keepBoth << "a copy.txt" << QStringList{"a copy.txt", "a.txt"} << 0;
    QTest::newRow("copy, skip") << false << skip << "" << QStringList{"a.txt"} << 0;
    QTest::newRow("move, replace") << true << replace << "a.txt" << QStringList{"a.txt"} << 1;
    QTest::newRow("move, keep both") << true << keepBoth << "a copy.txt" << QStringList{"a copy.txt", "a.txt"} << 0;
    QTest::newRow("move, skip") << true << skip << "" << QStringList{"a.txt"} << 0;
}

void TestItemTransfer::resolutions()
{
    QFETCH(bool, move);
    QFETCH(ConflictResolution, resolution);
    QFETCH(QString, completedName);
    QFETCH(QStringList, destination);
    QFETCH(int, trashedCount);
    const QString sourceName = QTest::currentDataTag() == QByteArray("copy, free name") ? "b.txt" : "a.txt";
    m_dir->file("src/" + sourceName, "new");
    m_dir->file("dst/a.txt", "old");

    const QUrl source = m_dir->url("src/" + sourceName);
    const TransferOutcome outcome = move ? fs.move(source, m_dir->url("dst"), resolution)
                                         : fs.copy(source, m_dir->url("dst"), resolution);
    const bool skipped = completedName.isEmpty();
    QCOMPARE(outcome, skipped ? TransferOutcome::skipped() : TransferOutcome::completed(m_dir->url("dst/" + completedName)));
    QCOMPARE(m_dir->entries("dst"), destination);
    QCOMPARE(m_dir->exists("src/" + sourceName), skipped || !move);
    if (!skipped)
        QCOMPARE(m_dir->read("dst/" + completedName), QByteArray("new"));
    if (destination.contains("a.txt") && completedName != "a.txt")
        QCOMPARE(m_dir->read("dst/a.txt"), QByteArray("old"));
    QCOMPARE(trashed(*m_dir).size(), trashedCount);
}

void TestItemTransfer::replaceNeverTrashesTheSourceOrItsFolder()
{
    // The occupant is the source itself: nothing to do.
    m_dir->file("a.txt", "mine");
    QCOMPARE(fs.copy(m_dir->url("a.txt"), m_dir->url(), ConflictResolution::replace), TransferOutcome::skipped());
    m_dir->link(m_dir->path(), "here");
    QCOMPARE(fs.copy(m_dir->url("a.txt"), m_dir->url("here"), ConflictResolution::replace), TransferOutcome::skipped());
    QCOMPARE(m_dir->read("a.txt"), QByteArray("mine"));

    // The occupant is the folder that holds the source.
    m_dir->file("P/P/inner.txt", "inner");
    for (bool move : {false, true}) {
        const FileError error = failure([&] {
            move ? fs.move(m_dir->url("P/P"), m_dir->url(), ConflictResolution::replace)
                 : fs.copy(m_dir->url("P/P"), m_dir->url(), ConflictResolution::replace);
        });
        QCOMPARE(error.code(), EINVAL);
    }
    QCOMPARE(m_dir->read("P/P/inner.txt"), QByteArray("inner"));
    QVERIFY(trashed(*m_dir).isEmpty());
}

void TestItemTransfer::replaceThenFailedCopyKeepsOccupantInTrash()
{
    m_dir->dir("src/Folder");
    QCOMPARE(::mkfifo(QFile::encodeName(m_dir->path("src/Folder/pipe")), 0600), 0);
    m_dir->file("dst/Folder/old.txt", "old");
    const FileError error = failure([&] { fs.copy(m_dir->url("src/Folder"), m_dir->url("dst"), ConflictResolution::replace); });
    QVERIFY2(error.message().contains("Trash"), qPrintable(error.message()));
    QCOMPARE(m_dir->entries("dst"), QStringList{}); // no half copy, not even a hidden one
    QCOMPARE(trashed(*m_dir), QStringList{"Folder"});
    QCOMPARE(m_dir->read(".home/.local/share/Trash/files/Folder/old.txt"), QByteArray("old"));
    QVERIFY(m_dir->exists("src/Folder/pipe"));
}

void TestItemTransfer::moveIntoOwnFolderIsSkipped()
{
    m_dir->file("dir/a.txt", "x");
    m_dir->link(m_dir->path("dir"), "alias");
    for (const char *destination : {"dir", "alias", "dir/."})
        QCOMPARE(fs.move(m_dir->url("dir/a.txt"), m_dir->url(destination), ConflictResolution::replace),
                 TransferOutcome::skipped());
    QCOMPARE(m_dir->entries("dir"), QStringList{"a.txt"});
    QVERIFY(trashed(*m_dir).isEmpty());
}

void TestItemTransfer::duplicate()
{
    m_dir->file("Photos/one.jpg", "1");
    m_dir->file("Photos/sub/two.jpg", "2");
    QCOMPARE(fs.duplicate(m_dir->url("Photos")), m_dir->url("Photos copy"));
    QCOMPARE(fs.duplicate(m_dir->url("Photos")), m_dir->url("Photos copy 2"));
    QCOMPARE(m_dir->read("Photos copy 2/sub/two.jpg"), QByteArray("2"));
    QCOMPARE(m_dir->entries("Photos copy"), QStringList({"one.jpg", "sub"}));
}

QTEST_GUILESS_MAIN(TestItemTransfer)
#include "tst_itemtransfer.moc"
