// Paths written for a shell and read back. Written: which texts stay bare, and that a real POSIX
// shell reads every escaped text back as the original, whatever characters it holds. Read, as
// typed or pasted: quoting, white space, "~", file URLs, relative paths and links, on a real
// folder layout; and escaped paths of awkward names resolving to themselves.

#include "pathclipboardservice.h"
#include "pathformatter.h"
#include "testdir.h"

#include <QProcess>
#include <QTest>
#include <QUrl>

#include <pwd.h>
#include <unistd.h>

using Resolution = PathClipboardService::Resolution;
Q_DECLARE_METATYPE(Resolution)

char *toString(const Resolution &r)
{
    const char *kinds[] = {"directory", "file", "notFound"};
    return qstrdup(qPrintable(QString("%1(%2 | %3)").arg(kinds[int(r.kind())], r.parent().path(), r.url().path())));
}

namespace {

// Each is the name of a folder and of a file inside it, reached back through every written form.
const QStringList awkwardNames{"a b", "it's", "'\\''", "$HOME", "back\\slash", "a\\ b", "new\nline", "tab\there", "日本語",
                               QString::fromUtf8("e\xcc\x81"), "~", "~root", "-n", " leading", "trailing ", "\"dq\"",
                               "*?[", "100%41", "#x", "file:"};

FilePath local(const QString &path) { return FilePath::fromString(path); }
Resolution directory(const QString &path) { return Resolution::directory(local(path)); }
Resolution notFound(const QString &path) { return Resolution::notFound(local(path)); }
Resolution file(const QString &dir, const QString &name) { return Resolution::file(local(dir), local(dir + "/" + name)); }

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

class TestPathClipboardService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_dir.isolateHome();
        m_dir.dir(".home/Documents");
        for (const char *path : {"root/dir/file.txt", "root/a b/inner", "root/dir/'"})
            m_dir.file(path);
        m_dir.link(m_dir.path("root/dir"), "root/link-to-dir");
        m_dir.link("dir/file.txt", "root/link-to-file");
        for (const QString &name : awkwardNames)
            m_dir.file("root/names/" + name + "/" + name);
    }

    void shellReadsItBack_data()
    {
        QTest::addColumn<QString>("text");
        // The awkward names, and what else a shell makes something of.
        for (const QString &text : awkwardNames + QStringList{"/a b", "'", "''", "/x/'quoted'", "${PATH}", "$(id)", "`id`",
                                                              "ends\\", "*", "/tmp/*", "?[a]", "!!", "a;b", "a&b", "a|b",
                                                              "a>b", "<a", "(x)", "{a,b}", "#hash", "a=b", "café/日本語", "🦉", ""})
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
        QCOMPARE(PathFormatter::joinForShell({}), QString());
        // A folder URL's trailing slash is not part of the path text.
        QCOMPARE(PathFormatter::joinForShell({FilePath::fromString("/tmp/dir/"), FilePath::fromString("/b c")}), "/tmp/dir '/b c'");
        const QStringList paths{"/a b", "/it's", "/new\nline", "/$x", "/plain"};
        QList<FilePath> urls;
        for (const QString &path : paths)
            urls << FilePath::fromString(path);
        for (const QString &shell : shells)
            QCOMPARE(shellWords(shell, PathFormatter::joinForShell(urls)), paths);
    }

    void resolve_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<Resolution>("expected");
        const QString r = m_dir.path("root"), dir = r + "/dir", home = m_dir.path(".home");
        const auto row = [](const char *name, const QString &text, const Resolution &expected) {
            QTest::newRow(name) << text << expected;
        };
        row("folder", r + "/dir", directory(dir));
        row("trailing and doubled slashes", "/" + r + "//dir/", directory(dir));
        row("surrounding white space", "  " + r + "/dir \n", directory(dir));

        row("double quotes", "\"" + r + "/a b\"", directory(r + "/a b"));
        row("backslash before space", r + "/a\\ b/inner", file(r + "/a b", "inner"));
        row("other backslashes kept", r + "/a\\b", notFound(r + "/a\\b"));
        row("lone quote is a name", "'", file(dir, "'"));

        row("dot and dot-dot", r + "/./dir/../a b/.", directory(r + "/a b"));
        row("dot-dot through a missing folder", r + "/missing/../dir", directory(dir));
        row("missing, standardised", r + "/nope/x/../y", notFound(r + "/nope/y"));
        row("relative file", "file.txt", file(dir, "file.txt"));

        row("link to folder", r + "/link-to-dir", directory(r + "/link-to-dir"));
        row("link to file", r + "/link-to-file", file(r, "link-to-file"));
        row("dot-dot after a link is textual", r + "/link-to-dir/..", directory(r));

        row("file URL (localhost)", "file://localhost" + local(dir).toUrl().path(QUrl::FullyEncoded), directory(dir));
        row("file URL of another machine", "file://elsewhere" + dir, notFound(dir + "/file:/elsewhere" + dir));

        row("tilde alone", "~", directory(home));
        row("under home", "~/Documents", directory(home + "/Documents"));
        row("user", QString("~") + ::getpwuid(::getuid())->pw_name, directory(QDir::cleanPath(::getpwuid(::getuid())->pw_dir)));
        for (const QString &name : awkwardNames) {
            const QString folder = r + "/names/" + name, label = QString(name).replace('\n', "\\n").replace('\t', "\\t");
            const FilePath inside = local(folder + "/" + name);
            QTest::addRow("escaped %s", qPrintable(label)) << PathFormatter::escape(folder) << directory(folder);
            QTest::addRow("copied %s", qPrintable(label)) << PathClipboardService::copyString({inside}) << file(folder, name);
            QTest::addRow("file URL %s", qPrintable(label)) << inside.toUrl().toString(QUrl::FullyEncoded) << file(folder, name);
        }
    }

    void resolve()
    {
        QFETCH(QString, text);
        QFETCH(Resolution, expected);
        QCOMPARE(PathClipboardService::resolve(text, local(m_dir.path("root/dir"))).value(), expected); // relative to root/dir
    }

    void defaults()
    {
        QVERIFY(!PathClipboardService::resolve(" \t\n "));
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(m_dir.path("root/a b")));
        const auto got = PathClipboardService::resolve("inner");
        QDir::setCurrent(before);
        QCOMPARE(*got, file(m_dir.path("root/a b"), "inner"));

        const QByteArray home = qgetenv("HOME");
        qunsetenv("HOME");
        const QString expanded = PathClipboardService::expandingTilde("~/x");
        qputenv("HOME", home);
        QCOMPARE(expanded, QString(::getpwuid(::getuid())->pw_dir) + "/x");
    }

private:
    TestDir m_dir;
};

QTEST_GUILESS_MAIN(TestPathClipboardService)
#include "tst_pathclipboardservice.moc"
