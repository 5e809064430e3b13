// Path bar segments: standardisation of the input, and names and URLs of every segment.

#include "pathcomponentsbuilder.h"
#include "urls.h"

#include <QTest>

class TestPathComponents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void components_data()
    {
        QTest::addColumn<QUrl>("url");
        QTest::addColumn<QStringList>("paths"); // of every segment; each is named after its last part
        const QStringList documents{"/", "/Users", "/Users/me", "/Users/me/Documents"};
        QTest::newRow("root") << QUrl("file:///") << QStringList{"/"};
        // QUrl alone takes "//Users/…" for a (lower-cased) host; on Linux it is the folder "/Users/…".
        QTest::newRow("doubled, leading and trailing slashes") << Urls::fromPath("//Users//me///Documents//") << documents;
        QTest::newRow("dot, dot-dot, above the root") << QUrl::fromLocalFile("/../../Users/./me/x/../Documents/.") << documents;
        QTest::newRow("decomposed accent kept") << QUrl::fromLocalFile("/cafe\u0301") << QStringList{"/", "/cafe\u0301"};
        QTest::newRow("names that begin with dots") << QUrl::fromLocalFile("/..hidden/...x") << QStringList{"/", "/..hidden", "/..hidden/...x"};
        QTest::newRow("spaces and characters special in URLs") << QUrl::fromLocalFile("/a b/100%/#?q=1")
                                                               << QStringList{"/", "/a b", "/a b/100%", "/a b/100%/#?q=1"};
    }

    void components()
    {
        QFETCH(QUrl, url);
        QFETCH(QStringList, paths);
        QStringList got, expected; // "name URL", each URL in the form a listing produces (no host)
        for (const PathComponentItem &item : PathComponentsBuilder::components(url))
            got << item.name + " " + item.url.toString();
        for (const QString &path : paths)
            expected << (path == "/" ? "/" : path.section('/', -1)) + " " + QUrl::fromLocalFile(path).toString();
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestPathComponents)
#include "tst_pathcomponents.moc"
