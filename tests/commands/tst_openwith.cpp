// Open With: Exec lines split and filled as the desktop entry rules say, and the applications for
// a type in the user's order (mimeapps.list defaults, added and removed associations, entries in
// the user's folder hiding the system's). The launch from the context menu is in tst_paneactions.

#include "applicationregistry.h"
#include "testdir.h"

#include <QTest>

using Commands = QList<QStringList>;

namespace {

Commands flatten(const QList<Launcher::Command> &commands)
{
    Commands result;
    for (const Launcher::Command &command : commands)
        result << (QStringList{command.program} + command.arguments);
    return result;
}

QStringList idsOf(const QList<DesktopEntry> &entries)
{
    QStringList ids;
    for (const DesktopEntry &entry : entries)
        ids << entry.id;
    return ids;
}

QByteArray application(const QByteArray &name, const QByteArray &keys, const QByteArray &exec = "true %F")
{
    return "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=" + exec + "\n" + keys + "\n";
}

} // namespace

class TestOpenWith : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fieldCodes_data()
    {
        QTest::addColumn<QByteArray>("exec"); // as written in the file
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<Commands>("expected");
        const auto row = [](const char *name, const char *exec, const QStringList &files, const Commands &expected) {
            QTest::newRow(name) << QByteArray(exec) << files << expected;
        };
        const QStringList two{"/d/a b.txt", "/d/c.txt"}, one{"/x"};
        row("one run per file", "viewer %f", two, {{"viewer", "/d/a b.txt"}, {"viewer", "/d/c.txt"}});
        row("one run for all", "editor --new %F", two, {{"editor", "--new", "/d/a b.txt", "/d/c.txt"}});
        row("URLs get local paths", "player %U", two, {{"player", "/d/a b.txt", "/d/c.txt"}});
        row("quoted program and argument", "\"/opt/My App/run\" \"--title=a b\" %f", one,
            {{"/opt/My App/run", "--title=a b", "/x"}});
        row("escapes inside quotes", "tool \"say \\\\\"hi\\\\\" \\\\$HOME\" %f", one, {{"tool", "say \"hi\" $HOME", "/x"}});
        row("percent, deprecated and unknown codes", "tool 100%% %d %m %f", one, {{"tool", "100%", "/x"}});
        row("icon, name and entry file", "tool %i %c %k", {}, {{"tool", "--icon", "tool-icon", "Tool", "/apps/tool.desktop"}});
        row("no code takes no file", "tool --fresh", one, {{"tool", "--fresh"}});
        row("file code without a file", "tool %f", {}, {{"tool"}});
        row("shell words stay words", "tool ;rm -rf ~ %f", {"/x;y"}, {{"tool", ";rm", "-rf", "~", "/x;y"}});
        row("unclosed quote runs nothing", "tool \"oops %f", one, {});
    }
    void fieldCodes()
    {
        QFETCH(QByteArray, exec);
        QFETCH(QStringList, files);
        QFETCH(Commands, expected);
        std::optional<DesktopEntry> entry = DesktopEntry::parse(
            "[Desktop Entry]\nType=Application\nName=Tool\nIcon=tool-icon\nExec=" + exec + "\n", "tool.desktop", {});
        QVERIFY(entry);
        entry->filePath = "/apps/tool.desktop";
        QList<FilePath> paths;
        for (const QString &file : files)
            paths.append(FilePath::fromString(file));
        QCOMPARE(flatten(entry->commands(paths)), expected);
    }

    void applicationsInTheUsersOrder()
    {
        TestDir dir;
        dir.isolateHome();
        const QString user = dir.path(".home/.local/share");
        const QString system = dir.dir("system");
        dir.file(".home/.local/share/applications/alpha.desktop", application("Alpha", "MimeType=text/plain;"));
        dir.file(".home/.local/share/applications/beta.desktop",
                 application("Beta", "Name[ja]=ベータ\nMimeType=text/plain;"));
        dir.file(".home/.local/share/applications/quiet.desktop", application("Quiet", "NoDisplay=true\nMimeType=text/plain;"));
        dir.file(".home/.local/share/applications/gone.desktop", application("Gone", "Hidden=true\nMimeType=text/plain;"));
        dir.file(".home/.local/share/applications/unwanted.desktop", application("Unwanted", "MimeType=text/plain;"));
        dir.file(".home/.local/share/applications/extra.desktop", application("Extra", ""));
        dir.file("system/applications/alpha.desktop", application("System Alpha", "MimeType=text/plain;"));
        dir.file("system/applications/gone.desktop", application("System Gone", "MimeType=text/plain;"));
        dir.file("system/applications/kde/viewer.desktop", application("Viewer", "MimeType=text/plain;"));
        dir.file("system/applications/sheet.desktop", application("Sheet", "MimeType=text/csv;"));
        dir.file("system/applications/broken.desktop", "[Desktop Entry]\nType=Application\nName=Broken\nMimeType=text/plain;\n");
        dir.file(".home/.config/mimeapps.list", "[Default Applications]\ntext/plain=missing.desktop;beta.desktop;\n"
                                                "[Added Associations]\ntext/plain=extra.desktop;\n"
                                                "[Removed Associations]\ntext/plain=unwanted.desktop;\n");
        // A less important list can't bring back what the user's own list removed.
        dir.file("system/applications/mimeapps.list", "[Added Associations]\ntext/plain=unwanted.desktop;\n");
        const QStringList config{dir.path(".home/.config")};

        const ApplicationRegistry english({user, system}, config, {}, {"en_US"});
        QCOMPARE(english.defaultFor("text/plain"), "beta.desktop");
        QCOMPARE(idsOf(english.applicationsFor("text/plain")),
                 (QStringList{"beta.desktop", "extra.desktop", "alpha.desktop", "quiet.desktop", "kde-viewer.desktop"}));
        // CSV is a kind of plain text: its own application first among the registered ones.
        QCOMPARE(idsOf(english.applicationsFor("text/csv")),
                 (QStringList{"beta.desktop", "sheet.desktop", "extra.desktop", "alpha.desktop", "quiet.desktop",
                              "kde-viewer.desktop"}));
        QCOMPARE(idsOf(english.applicationsFor(QStringList{"text/plain", "text/csv"})),
                 idsOf(english.applicationsFor("text/plain")));
        QCOMPARE(english.applicationsFor("text/plain").value(2).name, "Alpha"); // the user's copy
        QCOMPARE(idsOf(english.allApplications()),
                 (QStringList{"alpha.desktop", "beta.desktop", "extra.desktop", "sheet.desktop", "unwanted.desktop",
                              "kde-viewer.desktop"}));

        const ApplicationRegistry japanese({user, system}, config, {}, {"ja_JP.UTF-8"});
        QCOMPARE(japanese.applicationsFor("text/plain").first().name, "ベータ");
    }
};

QTEST_GUILESS_MAIN(TestOpenWith)
#include "tst_openwith.moc"
