// Ranking items under a root: name matches before path matches, the relative path, the order of
// equal scores, the cap, and an index grown in chunks ranking like the whole list at once.

#include "fuzzyindex.h"
#include "fuzzyranking.h"

#include <QTest>

namespace {

const QString root = QStringLiteral("/r");

// An item at an absolute path, or at a path below /r when not starting with "/".
FileItem item(const QString &path)
{
    const QString full = path.startsWith(QLatin1Char('/')) ? path : root + QLatin1Char('/') + path;
    FileItem result;
    result.url = QUrl::fromLocalFile(full);
    result.name = full.mid(full.lastIndexOf(QLatin1Char('/')) + 1);
    return result;
}

QList<FileItem> items(const QStringList &paths)
{
    QList<FileItem> result;
    for (const QString &path : paths)
        result.append(item(path));
    return result;
}

QStringList pathsOf(const QList<FileItem> &ranked)
{
    QStringList result;
    for (const FileItem &found : ranked) {
        const QString path = found.url.toLocalFile();
        result << (path.startsWith(root + QLatin1Char('/')) ? path.mid(root.size() + 1) : path);
    }
    return result;
}

} // namespace

class TestFuzzyRanking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rank_data();
    void rank();
    void cap_data();
    void cap();
    void rootWithTrailingSlash();
    void chunkedIndexRanksLikeWholeList();
};

void TestFuzzyRanking::rank_data()
{
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<QString>("query");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("empty query lists nothing") << QStringList{"a", "b"} << "" << QStringList{};
    QTest::newRow("no match") << QStringList{"abc"} << "z" << QStringList{};
    QTest::newRow("higher score first")
        << QStringList{"xaxb", "ab"} << "ab" << QStringList{"ab", "xaxb"};
    // "zq" lacks the s, so "src/zq" matches on its path: 9 + 9 = 18; "sqz" on its name: 10 + 20.
    QTest::newRow("name match lifted above path match")
        << QStringList{"src/zq", "sqz"} << "sz" << QStringList{"sqz", "src/zq"};
    // Path "c/d/e/zz" scores 27 against the name match 3 + 20.
    QTest::newRow("path match beating a name match by more than the bonus")
        << QStringList{"xcxdxe", "c/d/e/zz"} << "cde" << QStringList{"c/d/e/zz", "xcxdxe"};
    // The first item's name scores 4 + 20 although its path would score 36; the second scores
    // 33 on its path.
    QTest::newRow("a name match is scored on the name only")
        << QStringList{"a_b_c_d/xaxbxcxd", "a_b_cd/zz"} << "abcd" << QStringList{"a_b_cd/zz", "a_b_c_d/xaxbxcxd"};
    QTest::newRow("relative path ends with the name")
        << QStringList{"docs/notes/plan.txt"} << "dnp" << QStringList{"docs/notes/plan.txt"};
    QTest::newRow("item outside the root scored on its full path")
        << QStringList{"/elsewhere/x", "ex"} << "/e" << QStringList{"/elsewhere/x"};
    QTest::newRow("prefix test needs the separator after the root")
        << QStringList{"/rx/ab"} << "rxa" << QStringList{"/rx/ab"};
    QTest::newRow("equal scores: shorter name first")
        << QStringList{"abcd", "abc"} << "ab" << QStringList{"abc", "abcd"};
    QTest::newRow("equal scores and names: shorter path first")
        << QStringList{"deep/er/ab", "deep/ab", "ab"} << "ab" << QStringList{"ab", "deep/ab", "deep/er/ab"};
    QTest::newRow("all equal: input order kept")
        << QStringList{"k/ab", "j/ab", "i/ab"} << "ab" << QStringList{"k/ab", "j/ab", "i/ab"};
    // "éx" (é decomposed) is two characters in three code units, "abx" three in three.
    QTest::newRow("lengths count characters, not code units")
        << QStringList{"deeper/folder/e\u0301x", "abx"} << "x" << QStringList{"deeper/folder/e\u0301x", "abx"};
}

void TestFuzzyRanking::rank()
{
    QFETCH(QStringList, paths);
    QFETCH(QString, query);
    QFETCH(QStringList, expected);
    QCOMPARE(pathsOf(FuzzyRanking::rank(items(paths), query, QUrl::fromLocalFile(root), 100)), expected);
}

void TestFuzzyRanking::cap_data()
{
    QTest::addColumn<int>("maxResults");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("zero") << 0 << QStringList{};
    QTest::newRow("fewer than the matches") << 2 << QStringList{"a", "ab"};
    QTest::newRow("more than the matches") << 10 << QStringList{"a", "ab", "abc"};
}

void TestFuzzyRanking::cap()
{
    QFETCH(int, maxResults);
    QFETCH(QStringList, expected);
    const QList<FileItem> ranked = FuzzyRanking::rank(items({"abc", "zzz", "ab", "a"}), "a",
                                                      QUrl::fromLocalFile(root), maxResults);
    QCOMPARE(pathsOf(ranked), expected);
}

void TestFuzzyRanking::rootWithTrailingSlash()
{
    const QList<FileItem> list = items({"dir/file", "other"});
    const QList<FileItem> plain = FuzzyRanking::rank(list, "df", QUrl::fromLocalFile("/r"), 100);
    QCOMPARE(pathsOf(plain), QStringList{"dir/file"});
    QCOMPARE(FuzzyRanking::rank(list, "df", QUrl::fromLocalFile("/r/"), 100), plain);
    // The file-system root: every path lies below it.
    QCOMPARE(pathsOf(FuzzyRanking::rank(list, "rd", QUrl::fromLocalFile("/"), 100)), QStringList{"dir/file"});
}

void TestFuzzyRanking::chunkedIndexRanksLikeWholeList()
{
    QStringList paths;
    for (int i = 0; i < 300; ++i)
        paths << QStringLiteral("d%1/sub_%2/File%3.txt").arg(i % 7).arg(i % 13).arg(i);
    const QList<FileItem> list = items(paths);
    FuzzyIndex index(QUrl::fromLocalFile(root));
    for (qsizetype start = 0; start < list.size(); start += 64)
        index.append(list.mid(start, 64));
    QCOMPARE(index.size(), list.size());
    for (const QString query : {"f1", "d3s", "txt", "sub_1", "F"}) {
        const QList<FileItem> whole = FuzzyRanking::rank(list, query, QUrl::fromLocalFile(root), 100);
        QVERIFY(!whole.isEmpty());
        QCOMPARE(FuzzyRanking::rank(index, query, 100), whole);
    }
}

QTEST_GUILESS_MAIN(TestFuzzyRanking)
#include "tst_fuzzyranking.moc"
