// Shell-ready paths: which texts stay bare, and that a real POSIX shell reads every escaped
// text back as the original, whatever characters it holds.

#include "pathformatter.h"

#include <QProcess>
#include <QTest>

namespace {

// What `shell` makes of `words` on a command line: the arguments printf receives.
QStringList shellWords(const QString &shell, const QString &words)
{
    QProcess process;
    process.start(shell, {"-c", "printf '%s\\0' " + words});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return {"<shell failed: " + QString::fromUtf8(process.readAllStandardError()) + ">"};
    QStringList result = QString::fromUtf8(process.readAllStandardOutput()).split(QChar(0));
    result.removeLast(); // after the last NUL
    return result;
}

const QStringList shells{"/bin/sh", "/bin/bash"};

} // namespace

class TestPathFormatter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void escape_data();
    void escape();
    void shellReadsItBack_data();
    void shellReadsItBack();
    void joinForShell();
};

void TestPathFormatter::escape_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("harmless path bare") << "/tmp/notes/file.txt" << "/tmp/notes/file.txt";
    QTest::newRow("every safe kind bare") << "/Az09/._-/x" << "/Az09/._-/x";
    QTest::newRow("space") << "/tmp/a b" << "'/tmp/a b'";
    QTest::newRow("single quote") << "it's" << "'it'\\''s'";
    QTest::newRow("empty") << "" << "''";
    QTest::newRow("non-ASCII letter") << "/tmp/café" << "'/tmp/café'";
    QTest::newRow("tilde") << "~/x" << "'~/x'";
}

void TestPathFormatter::escape()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(PathFormatter::escape(text), expected);
}

void TestPathFormatter::shellReadsItBack_data()
{
    QTest::addColumn<QString>("text");
    const QStringList texts{
        "/plain/path", "/a b", "it's", "'", "''", "/x/'quoted'", "$HOME", "${PATH}", "$(id)", "`id`",
        "back\\slash", "ends\\", "new\nline", "tab\there", "*", "/tmp/*", "?[a]", "~", "~root",
        "!!", "a;b", "a&b", "a|b", "a>b", "<a", "(x)", "{a,b}", "#hash", "%41", "a=b",
        "\"dq\"", " leading", "trailing ", "café/日本語", "🦉", QString::fromUtf8("e\xcc\x81"),
        "-n", "",
    };
    for (const QString &text : texts)
        QTest::newRow(qPrintable(QString(text).replace('\n', "\\n").replace('\t', "\\t"))) << text;
}

void TestPathFormatter::shellReadsItBack()
{
    QFETCH(QString, text);
    for (const QString &shell : shells)
        QCOMPARE(shellWords(shell, PathFormatter::escape(text)), QStringList{text});
}

void TestPathFormatter::joinForShell()
{
    QCOMPARE(PathFormatter::joinForShell({}), QString());
    QCOMPARE(PathFormatter::joinForShell({QUrl::fromLocalFile("/a"), QUrl::fromLocalFile("/b c")}), "/a '/b c'");
    QCOMPARE(PathFormatter::joinForShell({QUrl()}), "''");
    // A folder URL's trailing slash is not part of the path text.
    QCOMPARE(PathFormatter::joinForShell({QUrl("file:///tmp/dir/")}), "/tmp/dir");

    const QStringList paths{"/a b", "/it's", "/new\nline", "/$x", "/plain"};
    QList<QUrl> urls;
    for (const QString &path : paths)
        urls << QUrl::fromLocalFile(path);
    for (const QString &shell : shells)
        QCOMPARE(shellWords(shell, PathFormatter::joinForShell(urls)), paths);
}

QTEST_GUILESS_MAIN(TestPathFormatter)
#include "tst_pathformatter.moc"
