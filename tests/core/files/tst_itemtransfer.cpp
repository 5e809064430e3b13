// Creating, renaming, copying and moving items, and the replace / keep both / skip resolutions.

#include "diskfacts.h"
#include "failure.h"
#include "filesystemservice.h"
#include "testdir.h"

#include <QTest>

#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

using Resolution = std::optional<ConflictResolution>;
Q_DECLARE_METATYPE(Resolution)

class TestItemTransfer : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); m_dir->isolateHome(); }
    void cleanup() { m_dir.reset(); }

    void refusedNames_data()
    {
        QTest::addColumn<QString>("renamed");
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("code"); // of the new file; a rename reports a taken name as EEXIST
        QTest::newRow("taken by a file") << "a" << "taken" << FileError::WriteFileExists;
        QTest::newRow("taken by an empty folder") << "sub" << "empty" << FileError::WriteFileExists; // rename(2) would replace it
        QTest::newRow("taken by a dangling link") << "a" << "dangling" << FileError::WriteFileExists;
        QTest::newRow("hard link to the same file") << "a" << "hard" << FileError::WriteFileExists; // rename(2) would do nothing
        QTest::newRow("name leaves the folder") << "sub/item" << "../escaped" << EINVAL;
    }

    // New file, new folder and rename never replace an item, follow a link, or leave the folder.
    void refusedNames()
    {
        QFETCH(QString, renamed);
        QFETCH(QString, name);
        QFETCH(int, code);
        m_dir->file("a", "source");
        m_dir->file("taken", "keep me");
        m_dir->dir("empty");
        m_dir->link(m_dir->path("target-of-link"), "dangling");
        QCOMPARE(::link(QFile::encodeName(m_dir->path("a")), QFile::encodeName(m_dir->path("hard"))), 0);
        m_dir->file("sub/item");
        const QStringList before = m_dir->entries();
        const FilePath folderUrl = m_dir->url(renamed).parentDir();
        QCOMPARE(failure([&] { fs.createFile(name, folderUrl); }).code(), code);
        if (code == EINVAL)
            QCOMPARE(failure([&] { fs.createDirectory(name, folderUrl); }).code(), EINVAL);
        QCOMPARE(failure([&] { fs.rename(m_dir->url(renamed), name); }).code(), code == EINVAL ? EINVAL : EEXIST);
        QCOMPARE(m_dir->entries(), before);
        QCOMPARE(m_dir->read("taken"), QByteArray("keep me"));
    }

    void resolutions_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<Resolution>("resolution"); // none: the plain copy or move
        QTest::addColumn<QString>("completedName");         // empty: skipped, or refused by the plain one
        QTest::addColumn<QStringList>("destination");
        const Resolution replace = ConflictResolution::replace, keepBoth = ConflictResolution::keepBoth,
                         skip = ConflictResolution::skip, none;
        for (bool move : {false, true}) {
            const char *verb = move ? "move" : "copy";
            QTest::addRow("%s, none", verb) << move << none << "" << QStringList{"a.txt"};
            QTest::addRow("%s, replace", verb) << move << replace << "a.txt" << QStringList{"a.txt"};
            QTest::addRow("%s, keep both", verb) << move << keepBoth << "a copy.txt" << QStringList{"a copy.txt", "a.txt"};
            QTest::addRow("%s, skip", verb) << move << skip << "" << QStringList{"a.txt"};
        }
    }

    void resolutions()
    {
        QFETCH(bool, move);
        QFETCH(Resolution, resolution);
        QFETCH(QString, completedName);
        QFETCH(QStringList, destination);
        m_dir->file("src/a.txt", "new");
        m_dir->file("dst/a.txt", "old");
        const FilePath source = m_dir->url("src/a.txt"), dst = m_dir->url("dst");
        if (!resolution)
            QCOMPARE(failure([&] { transfer(move, source, dst, resolution); }).code(), EEXIST);
        else
            QCOMPARE(transfer(move, source, dst, resolution),
                     completedName.isEmpty() ? TransferOutcome::skipped() : TransferOutcome::completed(m_dir->url("dst/" + completedName)));
        QCOMPARE(m_dir->entries("dst"), destination);
        QCOMPARE(m_dir->read("dst/a.txt"), QByteArray(completedName == "a.txt" ? "new" : "old"));
        QCOMPARE(m_dir->read("dst/a copy.txt"), QByteArray(completedName == "a copy.txt" ? "new" : ""));
        QCOMPARE(m_dir->exists("src/a.txt"), completedName.isEmpty() || !move);
        QCOMPARE(trashed(), resolution == ConflictResolution::replace ? QStringList{"a.txt"} : QStringList{});
    }

    void ontoItself_data()
    {
        QTest::addColumn<bool>("move");
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("destination");
        QTest::addColumn<QString>("expected");
        QTest::newRow("copy into itself") << false << "P" << "P" << "refused";
        QTest::newRow("copy into a descendant") << false << "P" << "P/P" << "refused";
        QTest::newRow("copy through a link to a descendant") << false << "P" << "toP/P" << "refused";
        QTest::newRow("copy onto the folder that holds it") << false << "P/P" << "" << "refused on replace";
        QTest::newRow("move onto the folder that holds it") << true << "P/P" << "" << "refused on replace";
        QTest::newRow("copy into its own folder through a link") << false << "P/a.txt" << "toP" << "skipped on replace";
        QTest::newRow("move into its own folder, spelt with a dot") << true << "P/a.txt" << "P/." << "skipped on replace";
        QTest::newRow("copy into a sibling whose name begins with its own") << false << "P" << "P2" << "completes";
    }

    // Into itself: refused with any resolution. Replace never trashes the item or the folder holding it.
    void ontoItself()
    {
        QFETCH(bool, move);
        QFETCH(QString, source);
        QFETCH(QString, destination);
        QFETCH(QString, expected);
        m_dir->file("P/a.txt", "mine");
        m_dir->file("P/P/inner.txt", "inner");
        m_dir->link(m_dir->path("P"), "toP");
        m_dir->dir("P2");
        const FilePath from = m_dir->url(source), to = destination.isEmpty() ? m_dir->url() : m_dir->url(destination);
        if (expected == "completes")
            QCOMPARE(fs.copy(from, to), m_dir->url("P2/P"));
        else if (expected == "skipped on replace")
            QCOMPARE(transfer(move, from, to, ConflictResolution::replace), TransferOutcome::skipped());
        else if (expected == "refused on replace")
            QCOMPARE(failure([&] { transfer(move, from, to, ConflictResolution::replace); }).code(), EINVAL);
        else
            for (Resolution r : {Resolution(ConflictResolution::keepBoth), Resolution(ConflictResolution::replace), Resolution()})
                QCOMPARE(failure([&] { transfer(move, from, to, r); }).code(), EINVAL);
        QCOMPARE(m_dir->read("P/a.txt"), QByteArray("mine"));
        QCOMPARE(m_dir->entries("P"), (QStringList{"P", "a.txt"}));
        QVERIFY(trashed().isEmpty());
    }

    void replaceThenFailedCopyKeepsOccupantInTrash()
    {
        QCOMPARE(::mkfifo(QFile::encodeName(m_dir->dir("src/Folder") + "/pipe"), 0600), 0);
        m_dir->file("dst/Folder/old.txt", "old");
        const FileError error = failure([&] { fs.copy(m_dir->url("src/Folder"), m_dir->url("dst"), ConflictResolution::replace); });
        QVERIFY2(error.message().contains("Trash"), qPrintable(error.message()));
        QCOMPARE(m_dir->entries("dst"), QStringList{}); // no half copy, not even a hidden one
        QCOMPARE(m_dir->read(TestDir::homeTrash("/files/Folder/old.txt")), QByteArray("old"));
    }

    // Cancelled, a replacing copy puts the occupant back (see tst_paneactions for one that can't).
    void cancelledReplacePutsOccupantBack()
    {
        m_dir->file("src/a.txt", "new");
        m_dir->file("dst/a.txt", "old");
        CopyControl cancelled;
        cancelled.shouldContinue = [] { return false; };
        QCOMPARE(failure([&] { fs.copy(m_dir->url("src/a.txt"), m_dir->url("dst"), ConflictResolution::replace, cancelled); }).code(), ECANCELED);
        QCOMPARE(m_dir->read("dst/a.txt"), QByteArray("old"));
    }

    void copyNames_data()
    {
        QTest::addColumn<QString>("name"); // taken by a file, or by a dangling link when it starts with "@"
        QTest::addColumn<QString>("expected");
        const QString e = QString(128, 'e'), smiley = QStringLiteral("😀");
        const QString accented = QStringLiteral("e\u0301"); // two code points, three bytes, one character
        QTest::newRow("a dangling link takes the name") << "@a" << "a copy";
        QTest::newRow("a dot-file has no extension") << ".profile" << ".profile copy";
        QTest::newRow("an extension over 127 bytes stays whole") << "a." + e << "a copy." + e;
        QTest::newRow("a full-length name loses base, not extension") << QString(251, 'x') + ".txt" << QString(246, 'x') + " copy.txt";
        QTest::newRow("shortened by whole characters") << accented.repeated(85) << accented.repeated(83) + " copy";
        QTest::newRow("two bytes a character") << QString(125, u'ä') + ".txt" << QString(123, u'ä') + " copy.txt";
        QTest::newRow("surrogate pairs") << "abc" + smiley.repeated(61) + ".txt" << "abc" + smiley.repeated(60) + " copy.txt";
        QTest::newRow("an extension too long to keep: the whole name is cut") << "a." + QString(252, 'e') << "a." + QString(248, 'e') + " copy";
    }

    void copyNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, expected);
        name.startsWith('@') ? m_dir->link("nowhere", name.remove(0, 1)) : m_dir->file(name);
        QCOMPARE(fs.uniqueDestinationName(name, m_dir->url()), expected);
        QVERIFY(QFile::encodeName(expected).size() <= NAME_MAX);
    }

    // The source is blameless: the message must name the destination folder.
    void readOnlyDestinationIsNamed()
    {
        m_dir->openToOthers();
        m_dir->file("src/Folder/a.txt");
        giveAway(m_dir->path("src"));
        const FilePath source = m_dir->url("src/Folder"), locked = FilePath::fromString(m_dir->dir("locked")); // root's
        AsUnprivileged unprivileged;
        for (const bool move : {false, true}) {
            const FileError error = failure([&] { move ? fs.move(source, locked) : fs.copy(source, locked); });
            QCOMPARE(error.code(), EACCES);
            QVERIFY2(error.message().contains(m_dir->path("locked")), qPrintable(error.message()));
        }
        QCOMPARE(m_dir->entries("locked"), QStringList{});
    }

    // Another copy takes "a copy.txt" while ours runs (synchronised by our first progress report).
    void keepBothTakesTheNextNameWhenRaced()
    {
        m_dir->file("src/a.txt", "ours");
        m_dir->file("dst/a.txt", "theirs");
        CopyControl control;
        control.onProgress = [&](qint64, qint64) { m_dir->file("dst/a copy.txt", "the other copy"); };
        QCOMPARE(fs.copy(m_dir->url("src/a.txt"), m_dir->url("dst"), ConflictResolution::keepBoth, control),
                 TransferOutcome::completed(m_dir->url("dst/a copy 2.txt")));
        QCOMPARE(m_dir->read("dst/a copy 2.txt"), QByteArray("ours"));
        QCOMPARE(m_dir->read("dst/a copy.txt"), QByteArray("the other copy"));
    }

private:
    QStringList trashed() const { return m_dir->entries(TestDir::homeTrash("/files")); }
    TransferOutcome transfer(bool move, const FilePath &from, const FilePath &to, Resolution r) const
    {
        if (!r)
            return TransferOutcome::completed(move ? fs.move(from, to) : fs.copy(from, to));
        return move ? fs.move(from, to, *r) : fs.copy(from, to, *r);
    }

    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestItemTransfer)
#include "tst_itemtransfer.moc"
