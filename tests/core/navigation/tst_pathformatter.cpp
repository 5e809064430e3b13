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
    void shellReadsItBack_data()
    {
        QTest::addColumn<QString>("text");
        for (const QString &text : QStringList{"/a b", "it's", "'", "''", "/x/'quoted'", "$HOME", "${PATH}", "$(id)", "`id`",
                                               "back\\slash", "ends\\", "new\nline", "tab\there", "*", "/tmp/*", "?[a]", "~",
                                               "~root", "!!", "a;b", "a&b", "a|b", "a>b", "<a", "(x)", "{a,b}", "#hash", "%41",
                                               "a=b", "\"dq\"", " leading", "trailing ", "café/日本語", "🦉",
                                               QString::fromUtf8("e\xcc\x81"), "-n", ""})
            QTest::newRow(qPrintable(QString(text).replace('\n', "\\n").replace('\t', "\\t"))) << text;
    }

    void shellReadsItBack()
    {
        QFETCH(QString, text);
        for (const QString &shell : shells)
            QCOMPARE(shellWords(shell, PathFormatter::escape(text)), QStringList{text});
    }

    // Bare only when every character is harmless; quoted as a whole otherwise.
    void writtenForms()
    {
        QCOMPARE(PathFormatter::escape("/tmp/Az09/._-/x"), "/tmp/Az09/._-/x");
        QCOMPARE(PathFormatter::escape("~/café"), "'~/café'");
        QCOMPARE(PathFormatter::escape("it's"), "'it'\\''s'");
        QCOMPARE(PathFormatter::joinForShell({}), QString());
        QCOMPARE(PathFormatter::joinForShell({FilePath()}), "''");
        // A folder URL's trailing slash is not part of the path text.
        QCOMPARE(PathFormatter::joinForShell({FilePath::fromString("/tmp/dir/"), FilePath::fromString("/b c")}), "/tmp/dir '/b c'");
        const QStringList paths{"/a b", "/it's", "/new\nline", "/$x", "/plain"};
        QList<FilePath> urls;
        for (const QString &path : paths)
            urls << FilePath::fromString(path);
        for (const QString &shell : shells)
            QCOMPARE(shellWords(shell, PathFormatter::joinForShell(urls)), paths);
    }
};

QTEST_GUILESS_MAIN(TestPathFormatter)
#include "tst_pathformatter.moc"
