// Ranking items under a root: name matches before path matches, the relative path, the order of
// equal scores and the cap, each checked on a whole list and on an index grown item by item.

#include "fuzzyindex.h"
#include "fuzzyranking.h"

#include <QRegularExpression>
#include <QTest>

namespace {

// Items at absolute paths, or below /r for paths not starting with "/"; "path=Name" gives the
// item a display name of its own.
QList<FileItem> items(const QStringList &paths)
{
    QList<FileItem> result;
    for (const QString &entry : paths) {
        const QString path = entry.section('=', 0, 0);
        const FilePath url = FilePath::fromString(path.startsWith('/') ? path : "/r/" + path);
        result.append(FileItem(url, entry.contains('=') ? entry.section('=', 1) : url.fileName(), false, 0, {}, false));
    }
    return result;
}

QStringList pathsOf(const QList<FileItem> &ranked)
{
    QStringList result;
    for (const FileItem &found : ranked)
        result << found.url.path().remove(QRegularExpression("^/r/"));
    return result;
}

// Paths and expected paths are written space-separated.
void row(const char *name, const QByteArray &paths, const QString &query, const QByteArray &expected,
         const QString &rankRoot = "/r", int maxResults = 100)
{
    const auto list = [](const QByteArray &text) { return QString::fromUtf8(text).split(' ', Qt::SkipEmptyParts); };
    QTest::newRow(name) << list(paths) << query << list(expected) << rankRoot << maxResults;
}

} // namespace

class TestFuzzyRanking : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void rank_data()
    {
        QTest::addColumn<QStringList>("paths");
        QTest::addColumn<QString>("query");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("rankRoot");
        QTest::addColumn<int>("maxResults");

        row("empty query lists nothing", "a b", "", "");
        row("higher score first", "xaxb ab", "ab", "ab xaxb");
        // The first item's name scores 4 + 20 although its path would score 36; the second 33 on its path.
        row("a name match is scored on the name only", "a_b_c_d/xaxbxcxd a_b_cd/zz", "abcd", "a_b_cd/zz a_b_c_d/xaxbxcxd");
        row("a name the path doesn't hold still matches", "cfg=Settings", "set", "cfg");
        row("item outside the root scored on its full path", "/elsewhere/x ex", "/e", "/elsewhere/x");
        row("prefix test needs the separator after the root", "/rx/ab", "rxa", "/rx/ab");
        // Once /r/ is dropped, "dir/file" holds no r before a d.
        row("root with trailing slash", "dir/file rd", "rd", "rd", "/r/");
        row("file-system root", "dir/file other", "rd", "dir/file", "/");
        // Name matches 10 + 20 and 5 + 20 around path matches 29 and 25 ("za/b/c/dxe" needs its
        // name): with no bonus, or one of 19 or 21, the order changes.
        row("name matches lifted by exactly 20 over path matches", "xaxbxcxdxe zabcde/x xabxcxdxe za/b/c/dxe", "abcde",
            "xabxcxdxe za/b/c/dxe zabcde/x xaxbxcxdxe");
        row("equal scores: shorter name first", "abcd abc", "ab", "abc abcd");
        row("equal scores and names: shorter path first", "deep/er/ab deep/ab ab", "ab", "ab deep/ab deep/er/ab");
        row("all equal: input order kept", "k/ab j/ab i/ab h/ab", "ab", "k/ab j/ab i/ab h/ab");
        row("path lengths count characters", "xy/ab e\u0301/ab", "ab", "e\u0301/ab xy/ab");
        row("a character outside ASCII in the query passes over ASCII paths", "cafe\u0301/x cafe/x caf\u00e9",
            u"caf\u00e9"_qs, "caf\u00e9 cafe\u0301/x");
        row("a CR LF query is one character, not a CR and an LF apart", "a\rb\n", "\r\n", "");
        row("a query character that lowers to ASCII finds ASCII paths", "xk kit", u"\u212a"_qs, "kit xk");
        row("ASCII and other paths tie on equal lengths in input order", "e\u0301/ab x/ab y/ab e\u0301/ab", "ab",
            "e\u0301/ab x/ab y/ab e\u0301/ab");
        // The name "xaz" scores 7 + 20 on a path over 64 characters long.
        const QByteArray longFolder(70, 'a');
        row("long path", longFolder + "/xaz azq/q b/ya_z", "az", "b/ya_z " + longFolder + "/xaz azq/q");
        row("cap of zero", "abc zzz ab a", "a", "", "/r", 0);
        row("cap below the matches", "abc zzz ab a", "a", "a ab", "/r", 2);
    }

    // The finder grows its index batch by batch; one item per chunk must rank like the whole list.
    void rank()
    {
        QFETCH(QStringList, paths);
        QFETCH(QString, query);
        QFETCH(QStringList, expected);
        QFETCH(QString, rankRoot);
        QFETCH(int, maxResults);
        const QList<FileItem> list = items(paths);
        QCOMPARE(pathsOf(FuzzyRanking::rank(list, query, FilePath::fromString(rankRoot), maxResults)), expected);
        FuzzyIndex index(FilePath::fromString(rankRoot));
        for (const FileItem &item : list)
            index.append({item});
        QCOMPARE(pathsOf(FuzzyRanking::rank(index, query, maxResults)), expected);
    }

    // Each query in turn ranks the index grown by one more batch, narrowed by the matches of the
    // one before: it must rank as the same query does from scratch.
    void narrowing_data()
    {
        QTest::addColumn<QStringList>("queries");
        QTest::newRow("typing on") << QStringList{"a", "ab", "abc", "abcd"};
        QTest::newRow("a character put in the middle") << QStringList{"ac", "abc"};
        QTest::newRow("a character changed in the middle") << QStringList{"abc", "axc"};
        QTest::newRow("shortened") << QStringList{"abc", "ab", "a"};
        QTest::newRow("cleared and typed again") << QStringList{"ab", "", "b"};
        QTest::newRow("the same query on a grown index") << QStringList{"bc", "bc", "bc"};
        QTest::newRow("outside ASCII") << QStringList{"a", u"a\u00e9"_qs, u"\u00e9"_qs};
    }

    void narrowing()
    {
        QFETCH(QStringList, queries);
        const QList<QStringList> batches{{"ab", "xaxbxc", "bc", "abc/d"},
                                         {"axc", "cab", u"a\u00e9b"_qs, "b/a"},
                                         {"zabc", "abcd", "ba"},
                                         {u"\u00e9"_qs, "c", "x/abc"}};
        FuzzyIndex index(FilePath::fromString(QStringLiteral("/r")));
        FuzzyRanking::Matches previous;
        for (qsizetype step = 0; step < queries.size(); ++step) {
            index.append(items(batches.value(step)));
            const FuzzyRanking::Ranked ranked = FuzzyRanking::rank(index, queries[step], 100, previous);
            QCOMPARE(pathsOf(ranked.items), pathsOf(FuzzyRanking::rank(index, queries[step], 100)));
            previous = ranked.matches;
        }
    }

    // Positions mean nothing in another index, even one as large.
    void narrowingNeedsTheSameIndex()
    {
        FuzzyIndex first(FilePath::fromString(QStringLiteral("/r")));
        first.append(items({"zz", "ab"}));
        FuzzyIndex second(FilePath::fromString(QStringLiteral("/r")));
        second.append(items({"ab", "zz"}));
        const FuzzyRanking::Matches matches = FuzzyRanking::rank(first, "a", 100, {}).matches;
        QCOMPARE(pathsOf(FuzzyRanking::rank(second, "ab", 100, matches).items), QStringList{"ab"});
    }
};

QTEST_GUILESS_MAIN(TestFuzzyRanking)
#include "tst_fuzzyranking.moc"
