// Bulk rename on disk: rotations, failures that must put every item back, unsafe names. Each file
// holds its original name, which tells afterwards which item ended under which name.

#include "bulkrenamer.h"
#include "failure.h"
#include "filesystemservice.h"
#include "posixfs.h"
#include "testdir.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QTest>

#include <cerrno>

class TestBulkRename : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { m_dir.reset(new TestDir); for (const char *name : {"a", "b", "c", "taken"}) m_dir->file(name, name); }
    void plans_data()
    {
        using L = QStringList;
        QTest::addColumn<L>("from");
        QTest::addColumn<L>("to");
        QTest::addColumn<int>("code");   // of the failure; 0 when it succeeds
        QTest::addColumn<L>("expected"); // after a failure: every file as it was
        QTest::newRow("rotation") << L{"a", "b", "c"} << L{"b", "c", "a"} << 0 << L{"a=c", "b=a", "c=b", "taken=taken"};
        QTest::newRow("shift onto a name it frees") << L{"a", "b", "c"} << L{"b", "c", "d"} << 0 << L{"b=a", "c=b", "d=c", "taken=taken"};
        QTest::newRow("unchanged, empty, only case") << L{"a", "b", "c"} << L{"a", "", "C"} << 0 << L{"C=c", "a=a", "b=b", "taken=taken"};
        QTest::newRow("two folders") << L{"one/x", "two/x"} << L{"y", "z"} << 0
                                     << L{"a=a", "b=b", "c=c", "one/y=one/x", "taken=taken", "two/z=two/x"};
        QTest::newRow("name held outside the plan, last") << L{"a", "b", "c"} << L{"b", "c", "taken"} << EEXIST << L{};
        QTest::newRow("name held outside the plan, first") << L{"a", "b", "c"} << L{"taken", "a", "b"} << EEXIST << L{};
        QTest::newRow("same new name twice") << L{"a", "b"} << L{"n", "n"} << EEXIST << L{};
        QTest::newRow("item vanished before the run") << L{"a", "gone", "c"} << L{"c", "x", "a"} << ENOENT << L{};
        QTest::newRow("name leaves the folder") << L{"a", "sub/b"} << L{"fine", "../escaped"} << EINVAL << L{};
        QTest::newRow("NUL") << L{"a", "b"} << L{"fine", QString("a") + QChar(u'\0') + "b"} << EINVAL << L{};
    }

    void plans()
    {
        QFETCH(QStringList, from);
        QFETCH(QStringList, to);
        QFETCH(int, code);
        QFETCH(QStringList, expected);
        const QList<RenamePair> pairs = plan(from, to);
        const QStringList before = files();
        if (code)
            QCOMPARE(failure([&] { fs.applyBulkRename(pairs); }).code(), code);
        else
            fs.applyBulkRename(pairs);
        expected.sort();
        QCOMPARE(files(), code ? before : expected);
    }

    void failedRestoreNamesWhatIsLeft()
    {
        // Phase two fails on "c", and the way back for "a" (its first move) fails as well.
        int moves = 0;
        const BulkRenamer::Mover failing = [&](const QString &from, const QString &to, const QString &errorPath) {
            if (to.endsWith("/z") || (++moves > 6 && to.endsWith("/a")))
                throw FileError::fromErrno(FileError::Operation::Rename, EIO, errorPath);
            PosixFs::renameNoReplace(from, to, FileError::Operation::Rename, errorPath);
        };
        const FileError error = failure([&] { BulkRenamer::apply(plan({"a", "b", "c"}, {"x", "y", "z"}), failing); });
        QCOMPARE(error.code(), EIO);
        QCOMPARE(error.path(), m_dir->path("c"));
        const QString hidden = m_dir->entries().filter(QString::fromLatin1(BulkRenamer::temporaryPrefix)).value(0);
        QVERIFY2(QRegularExpression("^\\.kvrename-[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}$").match(hidden).hasMatch(),
                 qPrintable(hidden));
        QCOMPARE(files(), (QStringList{hidden + "=a", "b=b", "c=c", "taken=taken"}));
        QVERIFY2(error.detail().contains(m_dir->path(hidden)) && error.detail().contains(m_dir->path("a")), qPrintable(error.detail()));
        QVERIFY(error.message().contains(hidden));
    }

private:
    // Renames each of `from` (made when missing, but for "gone") to the name at its place in `to`.
    QList<RenamePair> plan(const QStringList &from, const QStringList &to) const
    {
        QList<RenamePair> pairs;
        for (qsizetype i = 0; i < from.size(); ++i) {
            if (!m_dir->exists(from[i]) && from[i] != "gone")
                m_dir->file(from[i], from[i].toUtf8());
            pairs.append({m_dir->url(from[i]), to[i]});
        }
        return pairs;
    }

    // Every file below the test folder as "path=contents", sorted.
    QStringList files() const
    {
        QStringList found;
        QDirIterator it(m_dir->path(), QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next().mid(m_dir->path().size() + 1);
            found << path + '=' + m_dir->read(path);
        }
        found.sort();
        return found;
    }

    std::unique_ptr<TestDir> m_dir;
    FileSystemService fs;
};

QTEST_GUILESS_MAIN(TestBulkRename)
#include "tst_bulkrename.moc"
