// Path bar segments: standardisation of the input, and names and URLs of every segment.

#include "pathcomponentsbuilder.h"

#include <QTest>

class TestPathComponents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void components_data()
    {
        QTest::addColumn<FilePath>("url");
        QTest::addColumn<QStringList>("paths"); // of every segment; each is named after its last part
        const QStringList documents{"/", "/Users", "/Users/me", "/Users/me/Documents"};
        QTest::newRow("root") << FilePath::fromNative("/") << QStringList{"/"};
        QTest::newRow("doubled, leading and trailing slashes") << FilePath::fromString("//Users//me///Documents//") << documents;
        QTest::newRow("dot, dot-dot, above the root") << FilePath::fromString("/../../Users/./me/x/../Documents/.") << documents;
        QTest::newRow("decomposed accent kept") << FilePath::fromString("/cafe\u0301") << QStringList{"/", "/cafe\u0301"};
        QTest::newRow("names that begin with dots") << FilePath::fromString("/..hidden/...x") << QStringList{"/", "/..hidden", "/..hidden/...x"};
        QTest::newRow("spaces and characters special in URLs") << FilePath::fromString("/a b/100%/#?q=1")
                                                               << QStringList{"/", "/a b", "/a b/100%", "/a b/100%/#?q=1"};
    }

    void components()
    {
        QFETCH(FilePath, url);
        QFETCH(QStringList, paths);
        QStringList got, expected; // "name URL", each URL in the form a listing produces
        for (const PathComponentItem &item : PathComponentsBuilder::components(url))
            got << item.name + " " + item.url.path();
        for (const QString &path : paths)
            expected << (path == "/" ? "/" : path.section('/', -1)) + " " + FilePath::fromString(path).path();
        QCOMPARE(got, expected);
    }
};

QTEST_GUILESS_MAIN(TestPathComponents)
#include "tst_pathcomponents.moc"
