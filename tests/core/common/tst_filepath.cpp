// The path value: its arithmetic on bytes, and that bytes survive text and URLs unchanged.

#include "filenames.h"
#include "filepath.h"

#include <QSet>
#include <QTest>
#include <QUrl>

#include "testdir.h"

class TestFilePath : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The form every path is kept in (slashes folded, dots kept), and the form cleaned of dots.
    void normalisedAndCleanForms_data()
    {
        QTest::addColumn<QByteArray>("input");
        QTest::addColumn<QByteArray>("normalised");
        QTest::addColumn<QByteArray>("cleaned");
        const auto row = [](const char *name, const QByteArray &input, const QByteArray &normalised, const QByteArray &cleaned) {
            QTest::newRow(name) << input << normalised << cleaned;
        };
        row("plain", "/a/b", "/a/b", "/a/b");
        row("root", "/", "/", "/");
        row("doubled leading slash is still the root", "//a", "/a", "/a");
        row("trailing and inner slashes", "/a//b///", "/a/b", "/a/b");
        row("dot and dot-dot", "/a/./b/../c", "/a/./b/../c", "/a/c");
        row("never above root", "/../../a", "/../../a", "/a");
        row("dots inside a name stay", "/..hidden/a..", "/..hidden/a..", "/..hidden/a..");
        row("everything removed", "/a/..", "/a/..", "/");
        row("empty", "", "", "");
    }

    void normalisedAndCleanForms()
    {
        QFETCH(QByteArray, input);
        QFETCH(QByteArray, normalised);
        QFETCH(QByteArray, cleaned);
        QCOMPARE(FilePath::fromNative(input).nativePath(), normalised);
        QCOMPARE(FilePath::fromNative(input).cleanPath().nativePath(), cleaned);
    }

    void components_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("fileName");
        QTest::addColumn<QByteArray>("parent");
        QTest::newRow("file") << QByteArray("/tmp/a.txt") << QByteArray("a.txt") << QByteArray("/tmp");
        QTest::newRow("top level") << QByteArray("/tmp") << QByteArray("tmp") << QByteArray("/");
        QTest::newRow("root") << QByteArray("/") << QByteArray("/") << QByteArray("/");
        QTest::newRow("raw byte") << QByteArray("/x/caf\xe9.txt") << QByteArray("caf\xe9.txt") << QByteArray("/x");
        QTest::newRow("newline") << QByteArray("/x/a\nb") << QByteArray("a\nb") << QByteArray("/x");
    }

    void components()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, fileName);
        QFETCH(QByteArray, parent);
        const FilePath p = FilePath::fromNative(path);
        QCOMPARE(p.fileNameBytes().toByteArray(), fileName);
        QCOMPARE(p.parentDir().nativePath(), parent);
        if (!p.isRoot()) {
            QCOMPARE(p.parentDir().pathAppended(p.fileName()), p);
            QCOMPARE(p.parentDir().pathAppended(p.fileNameBytes()), p);
        }
    }

    void childRelations_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::addColumn<QByteArray>("folder");
        QTest::addColumn<QByteArray>("relative"); // empty: not a child
        QTest::newRow("direct child") << QByteArray("/a/b") << QByteArray("/a") << QByteArray("b");
        QTest::newRow("deep child") << QByteArray("/a/b/c") << QByteArray("/a") << QByteArray("b/c");
        QTest::newRow("below root") << QByteArray("/a/b") << QByteArray("/") << QByteArray("a/b");
        QTest::newRow("itself") << QByteArray("/a") << QByteArray("/a") << QByteArray();
        QTest::newRow("same prefix, other name") << QByteArray("/ab/c") << QByteArray("/a") << QByteArray();
        QTest::newRow("parent of folder") << QByteArray("/a") << QByteArray("/a/b") << QByteArray();
    }

    void childRelations()
    {
        QFETCH(QByteArray, path);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, relative);
        const FilePath p = FilePath::fromNative(path);
        const FilePath f = FilePath::fromNative(folder);
        QCOMPARE(p.isChildOf(f), !relative.isEmpty());
        QCOMPARE(p.relativeChildPath(f), relative);
    }

    void bytesSurviveTextAndUrl_data()
    {
        QTest::addColumn<QByteArray>("path");
        QTest::newRow("ascii with space and percent") << QByteArray("/tmp/a b%20c");
        QTest::newRow("utf-8") << QByteArray("/tmp/caf\xc3\xa9/\xe6\x97\xa5\xe6\x9c\xac");
        QTest::newRow("latin-1 byte") << QByteArray("/tmp/caf\xe9.txt");
        QTest::newRow("lone continuation and 0xff") << QByteArray("/tmp/\x80\xff");
        QTest::newRow("newline and hash") << QByteArray("/tmp/a\nb#c?d");
        QTest::newRow("255-byte name") << QByteArray("/tmp/") + QByteArray(255, 'n');
    }

    void bytesSurviveTextAndUrl()
    {
        QFETCH(QByteArray, path);
        const FilePath p = FilePath::fromNative(path);
        QCOMPARE(FilePath::fromString(p.path()).nativePath(), path);
        QCOMPARE(FilePath::fromUrl(p.toUrl()).nativePath(), path);
        QCOMPARE(FilePath::fromUrlText(p.toUrl().toString(QUrl::FullyEncoded)).nativePath(), path);
        QCOMPARE(p.displayName().contains(QChar::ReplacementCharacter), FileNames::hasRawBytes(p.fileName()));
    }

    // Texts that name no local path: another machine, another scheme, no URL, a relative URL, a NUL.
    void foreignUrlsAreNoPath()
    {
        for (const char *text : {"file://server/a", "https://example.org/a", "/tmp/a", "file:a", "file:///tmp/a%00b"})
            QVERIFY2(FilePath::fromUrlText(QString::fromLatin1(text)).isEmpty(), text);
    }

    void resolvesLinksAsFarAsThePathExists()
    {
        TestDir dir;
        dir.dir(QStringLiteral("real"));
        dir.link(dir.path(QStringLiteral("real")), QStringLiteral("link"));
        const FilePath real = FilePath::fromString(dir.path(QStringLiteral("real"))).resolvingSymlinks();
        const FilePath viaLink = FilePath::fromString(dir.path(QStringLiteral("link/missing/x")));
        QCOMPARE(viaLink.resolvingSymlinks(), real.pathAppended(QByteArrayView("missing/x")));
    }

    void hashesAndOrdersByBytes()
    {
        const FilePath a = FilePath::fromNative("/x/caf\xe9");
        const FilePath b = FilePath::fromNative("/x/caf\xc3\xa9");
        QVERIFY(a != b); // alike on screen, different names on disk
        QCOMPARE(a.displayName(), QStringLiteral("caf\uFFFD"));
        QCOMPARE(QSet<FilePath>({a, b, FilePath::fromNative("/x/caf\xe9/")}).size(), 2);
        QVERIFY(FilePath::fromNative("/x/a") < FilePath::fromNative("/x/b"));
    }
};

QTEST_GUILESS_MAIN(TestFilePath)
#include "tst_filepath.moc"
