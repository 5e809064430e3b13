// Path bar segments: standardisation of the input, and names and URLs of every segment.

#include "pathcomponentsbuilder.h"
#include "urls.h"

#include <QTest>

class TestPathComponents : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void components_data();
    void components();
};

void TestPathComponents::components_data()
{
    QTest::addColumn<QUrl>("url");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("paths");

    const QStringList documents{"/", "/Users", "/Users/me", "/Users/me/Documents"};
    const QStringList documentNames{"/", "Users", "me", "Documents"};

    QTest::newRow("root") << QUrl("file:///") << QStringList{"/"} << QStringList{"/"};
    QTest::newRow("plain") << QUrl::fromLocalFile("/Users/me/Documents") << documentNames << documents;
    QTest::newRow("trailing slash") << QUrl("file:///Users/me/Documents/") << documentNames << documents;
    QTest::newRow("doubled slashes") << QUrl("file:///Users//me///Documents//") << documentNames << documents;
    // QUrl alone takes "//Users/…" for a (lower-cased) host; on Linux it is the folder "/Users/…".
    QTest::newRow("leading doubled slash") << Urls::fromPath("//Users/me/Documents") << documentNames << documents;
    QTest::newRow("leading tripled slash") << Urls::fromPath("///Users/me/Documents") << documentNames << documents;
    QTest::newRow("dot and dot-dot") << QUrl::fromLocalFile("/Users/./me/x/../Documents/.") << documentNames << documents;
    QTest::newRow("dot-dot above the root") << QUrl::fromLocalFile("/../../Users") << QStringList{"/", "Users"}
                                            << QStringList{"/", "/Users"};
    QTest::newRow("root written oddly") << QUrl::fromLocalFile("/tmp/..") << QStringList{"/"} << QStringList{"/"};
    QTest::newRow("spaces and non-ASCII kept") << QUrl::fromLocalFile("/tmp/a b/日本語/Ünï") << QStringList{"/", "tmp", "a b", "日本語", "Ünï"}
                                               << QStringList{"/", "/tmp", "/tmp/a b", "/tmp/a b/日本語", "/tmp/a b/日本語/Ünï"};
    // Decomposed accents stay decomposed: the segment must name the folder byte for byte.
    QTest::newRow("decomposed accent kept") << QUrl::fromLocalFile(QString::fromUtf8("/cafe\xcc\x81"))
                                            << QStringList{"/", QString::fromUtf8("cafe\xcc\x81")}
                                            << QStringList{"/", QString::fromUtf8("/cafe\xcc\x81")};
    QTest::newRow("characters special in URLs") << QUrl::fromLocalFile("/100%/#tag/?q=1/%41")
                                                << QStringList{"/", "100%", "#tag", "?q=1", "%41"}
                                                << QStringList{"/", "/100%", "/100%/#tag", "/100%/#tag/?q=1", "/100%/#tag/?q=1/%41"};
}

void TestPathComponents::components()
{
    QFETCH(QUrl, url);
    QFETCH(QStringList, names);
    QFETCH(QStringList, paths);
    const QList<PathComponentItem> items = PathComponentsBuilder::components(url);
    QStringList gotNames, gotPaths;
    for (const PathComponentItem &item : items) {
        gotNames << item.name;
        gotPaths << item.url.toLocalFile();
        QVERIFY2(item.url.isLocalFile() && item.url.host().isEmpty(), qPrintable(item.url.toString()));
        QCOMPARE(item.url, QUrl::fromLocalFile(item.url.toLocalFile())); // same form a listing produces
    }
    QCOMPARE(gotNames, names);
    QCOMPARE(gotPaths, paths);
}

QTEST_GUILESS_MAIN(TestPathComponents)
#include "tst_pathcomponents.moc"
