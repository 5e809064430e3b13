// Reading typed or pasted paths: quoting, white space, "~", file URLs, relative paths and
// links, on a real folder layout; and escaped paths of awkward names resolving to themselves.

#include "pathclipboardservice.h"
#include "pathformatter.h"
#include "testdir.h"

#include <QTest>

#include <pwd.h>
#include <unistd.h>

using Resolution = PathClipboardService::Resolution;

char *toString(const Resolution &r)
{
    static const char *kinds[] = {"directory", "file", "notFound"};
    const QString text = QString("%1(%2%3)").arg(kinds[int(r.kind())],
                                                r.parent().isEmpty() ? QString() : r.parent().toLocalFile() + " | ",
                                                r.url().toLocalFile());
    return qstrdup(qPrintable(text));
}

Q_DECLARE_METATYPE(std::optional<Resolution>)

namespace {

QUrl fileUrl(const QString &path)
{
    return QUrl::fromLocalFile(path);
}

Resolution directory(const QString &path)
{
    return Resolution::directory(fileUrl(path));
}

Resolution file(const QString &parent, const QString &name)
{
    return Resolution::file(fileUrl(parent), fileUrl(parent + "/" + name));
}

Resolution notFound(const QString &path)
{
    return Resolution::notFound(fileUrl(path));
}

struct Passwd
{
    QString name, home;
};

Passwd currentUser()
{
    const passwd *entry = ::getpwuid(::getuid());
    return entry ? Passwd{entry->pw_name, entry->pw_dir} : Passwd{};
}

} // namespace

class TestPathClipboardService : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void resolve_data();
    void resolve();
    void processWorkingFolder();
    void tilde_data();
    void tilde();
    void homeFromUserDatabase();
    void escapedNamesResolveToThemselves_data();
    void escapedNamesResolveToThemselves();

private:
    TestDir m_dir;
    QString m_root;
};

void TestPathClipboardService::initTestCase()
{
    m_dir.isolateHome();
    m_root = m_dir.dir("root");
    m_dir.file("root/dir/file.txt");
    m_dir.file("root/a b/inner");
    m_dir.file("root/ab");
    m_dir.file("root/100A");
    m_dir.file("root/dir/'");
    m_dir.link(m_root + "/dir", "root/link-to-dir");
    m_dir.link("dir/file.txt", "root/link-to-file");
    m_dir.link("nowhere", "root/dangling");
    m_dir.dir(".home/Documents");
}

// Relative rows are taken relative to root/dir.
void TestPathClipboardService::resolve_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<std::optional<Resolution>>("expected");
    const QString r = m_root;
    const QString dir = r + "/dir";
    const auto row = [](const char *name, const QString &text, std::optional<Resolution> expected) {
        QTest::newRow(name) << text << expected;
    };

    row("folder", r + "/dir", directory(dir));
    row("file", r + "/dir/file.txt", file(dir, "file.txt"));
    row("missing", r + "/nope", notFound(r + "/nope"));
    row("root", "/", directory("/"));
    row("folder with trailing slash", r + "/dir/", directory(dir));
    row("leading doubled slash", "/" + r + "/dir", directory(dir));

    row("surrounding spaces", "  " + r + "/dir  ", directory(dir));
    row("trailing newline", r + "/dir\n", directory(dir));
    row("only white space", " \t\n ", std::nullopt);
    row("empty", "", std::nullopt);

    row("single quotes", "'" + r + "/a b'", directory(r + "/a b"));
    row("double quotes", "\"" + r + "/a b\"", directory(r + "/a b"));
    row("backslash before space", r + "/a\\ b/inner", file(r + "/a b", "inner"));
    row("other backslashes kept", r + "/a\\b", notFound(r + "/a\\b"));
    row("escaped quote inside single quotes", "'" + dir + "/'\\'''", file(dir, "'"));
    row("lone quote is a name", "'", file(dir, "'"));
    row("quoted nothing", "''", Resolution::notFound(QUrl()));
    row("percent in plain text stays", r + "/100%41", notFound(r + "/100%41"));
    row("NUL cuts nothing short", r + "/dir" + QChar(0) + "x", notFound(r + "/dir" + QChar(0) + "x"));

    row("dot-dot", r + "/dir/../a b", directory(r + "/a b"));
    row("dot", r + "/./dir/.", directory(dir));
    row("dot-dot through a missing folder", r + "/missing/../dir", directory(dir));
    row("missing, standardised", r + "/nope/x/../y", notFound(r + "/nope/y"));
    row("relative file", "file.txt", file(dir, "file.txt"));
    row("relative dot", ".", directory(dir));
    row("relative dot-dot", "..", directory(r));
    row("relative missing", "nope", notFound(dir + "/nope"));

    row("link to folder", r + "/link-to-dir", directory(r + "/link-to-dir"));
    row("link to file", r + "/link-to-file", file(r, "link-to-file"));
    row("dangling link", r + "/dangling", notFound(r + "/dangling"));
    row("dot-dot after a link is textual", r + "/link-to-dir/..", directory(r));

    row("file URL (localhost)", "file://localhost" + QUrl::fromLocalFile(dir).path(QUrl::FullyEncoded),
        directory(dir));
    row("file URL of another machine", "file://elsewhere" + dir, notFound(dir + "/file:/elsewhere" + dir));
}

void TestPathClipboardService::resolve()
{
    QFETCH(QString, text);
    QFETCH(std::optional<Resolution>, expected);
    const auto got = PathClipboardService::resolve(text, fileUrl(m_root + "/dir"));
    QCOMPARE(got.has_value(), expected.has_value());
    if (expected)
        QCOMPARE(*got, *expected);
}

void TestPathClipboardService::processWorkingFolder()
{
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_root + "/a b"));
    const auto got = PathClipboardService::resolve("inner");
    const auto parent = PathClipboardService::resolve("../dir");
    QDir::setCurrent(before);
    QCOMPARE(*got, file(m_root + "/a b", "inner"));
    QCOMPARE(*parent, directory(m_root + "/dir"));
}

void TestPathClipboardService::tilde_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path"); // expected URL's path
    const QString home = m_dir.path(".home");
    const Passwd me = currentUser();

    QTest::newRow("tilde alone") << "~" << home;
    QTest::newRow("under home") << "~/Documents" << home + "/Documents";
    QTest::newRow("backslash-escaped") << "~/a\\ b" << home + "/a b";
    QTest::newRow("user") << "~" + me.name << QDir::cleanPath(me.home);
    QTest::newRow("user, below") << "~" + me.name + "/sub" << QDir::cleanPath(me.home + "/sub");
    QTest::newRow("unknown user left alone") << "~no-such-user-x1/a" << m_root + "/dir/~no-such-user-x1/a";
    QTest::newRow("tilde elsewhere") << "a/~/b" << m_root + "/dir/a/~/b";
}

void TestPathClipboardService::tilde()
{
    QFETCH(QString, text);
    QFETCH(QString, path);
    const auto got = PathClipboardService::resolve(text, fileUrl(m_root + "/dir"));
    QVERIFY(got);
    QCOMPARE(got->url(), fileUrl(path));
}

void TestPathClipboardService::homeFromUserDatabase()
{
    const QByteArray saved = qgetenv("HOME");
    qunsetenv("HOME");
    const QString expanded = PathClipboardService::expandingTilde("~/x");
    qputenv("HOME", saved);
    QCOMPARE(expanded, currentUser().home + "/x");
}

void TestPathClipboardService::escapedNamesResolveToThemselves_data()
{
    QTest::addColumn<QString>("name");
    const QStringList names{
        "a b", "it's", "'quoted'", "'\\''", "$HOME", "back\\slash", "a\\ b", "new\nline", "tab\there",
        "café", "日本語", QString::fromUtf8("e\xcc\x81"), "~", "~root", "-n", " leading", "trailing ",
        "\"dq\"", "*?[", "100%41", "#x", "file:", "..."};
    for (const QString &name : names)
        QTest::newRow(qPrintable(QString(name).replace('\n', "\\n").replace('\t', "\\t"))) << name;
}

// The folder and a file inside it both carry the awkward name.
void TestPathClipboardService::escapedNamesResolveToThemselves()
{
    QFETCH(QString, name);
    TestDir dir;
    const QString folder = dir.dir(name);
    dir.file(name + "/" + name);
    const QString filePath = folder + "/" + name;

    const auto asFolder = PathClipboardService::resolve(PathFormatter::escape(folder));
    QVERIFY(asFolder);
    QCOMPARE(*asFolder, directory(folder));
    const auto asFile = PathClipboardService::resolve(PathClipboardService::copyString({fileUrl(filePath)}));
    QVERIFY(asFile);
    QCOMPARE(*asFile, file(folder, name));
    const auto asUrl = PathClipboardService::resolve(fileUrl(filePath).toString(QUrl::FullyEncoded));
    QVERIFY(asUrl);
    QCOMPARE(*asUrl, file(folder, name));
}

QTEST_GUILESS_MAIN(TestPathClipboardService)
#include "tst_pathclipboardservice.moc"
