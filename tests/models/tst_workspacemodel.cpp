// The workspace: where the panes start and which places the sidebar lists, the tab closing
// rules, and the clipboard against the system clipboard written by this and by other programs.

#include "clipboardmime.h"
#include "filenames.h"
#include "testdir.h"
#include "workspacemodel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include <fcntl.h>

using Formats = QMap<QString, QByteArray>;
Q_DECLARE_METATYPE(Formats)

namespace {

QByteArray systemFormat(const char *format)
{
    return QGuiApplication::clipboard()->mimeData()->data(QString::fromLatin1(format));
}

} // namespace

class TestWorkspaceModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        m_dir->isolateHome();
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            m_dir->file(name);
        const QByteArray raw = QFile::encodeName(m_dir->path()) + "/caf\xe9-\xff.txt";
        QCOMPARE(::close(::open(raw.constData(), O_CREAT | O_WRONLY, 0644)), 0);
    }

    // The left pane starts at home, the right one at Documents, or at home without one; the
    // sidebar lists the places whose folders exist, in order. Both are looked at in the background.
    void panesAndPlacesStartWhereFoldersExist()
    {
        const QString home = m_dir->path(".home");
        QStringList places{home};
        if (QFileInfo(QStringLiteral("/usr/share/applications")).isDir())
            places << QStringLiteral("/usr/share/applications");
        for (const bool documents : {false, true}) {
            if (documents) {
                // A Japanese desktop folder, and a downloads folder that is missing.
                m_dir->dir(".home/デスクトップ");
                m_dir->dir(".home/Documents");
                m_dir->file(".home/.config/user-dirs.dirs",
                            "XDG_DESKTOP_DIR=\"$HOME/デスクトップ\"\nXDG_DOWNLOAD_DIR=\"$HOME/Downloads\"\n");
                places.insert(1, home + "/デスクトップ");
                places.insert(2, home + "/Documents");
            }
            WorkspaceModel workspace(false);
            TabModel *right = workspace.rightPane()->activeTab();
            QTRY_VERIFY(!right->isLoading());
            QCOMPARE(workspace.leftPane()->activeTab()->currentUrl(), FilePath::fromString(home));
            QCOMPARE(right->currentUrl(), FilePath::fromString(documents ? home + "/Documents" : home));
            QVERIFY(!right->history().canGoBack() && !right->hasLoadError());
            const auto listed = [&workspace] {
                QStringList paths;
                for (const SidebarItem &place : workspace.sidebarItems())
                    paths << place.url.path();
                return paths;
            };
            QTRY_COMPARE(listed(), places);
            if (documents)
                QCOMPARE(workspace.sidebarItems().at(1).label, SidebarLabel::desktop);
        }
    }

    void closingTabs_data()
    {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("closed"); // -1: an id no tab has
        QTest::addColumn<int>("remaining");
        QTest::addColumn<int>("activeAfter"); // index into the tabs before closing
        QTest::newRow("the only tab stays") << 1 << 0 << 0 << 1 << 0;
        QTest::newRow("active between two: its left neighbour") << 3 << 1 << 1 << 2 << 0;
        QTest::newRow("active first: the new first") << 3 << 0 << 0 << 2 << 1;
        QTest::newRow("another tab: active stays") << 3 << 0 << 2 << 2 << 0;
        QTest::newRow("unknown id") << 3 << 1 << -1 << 3 << 1;
    }

    void closingTabs()
    {
        QFETCH(int, tabs);
        QFETCH(int, active);
        QFETCH(int, closed);
        QFETCH(int, remaining);
        QFETCH(int, activeAfter);
        PaneModel pane(m_dir->url(), false);
        for (int i = 1; i < tabs; ++i)
            pane.addTab(m_dir->url(), false); // goes last and becomes active: tst_appmenus' newTab
        const QList<TabModel *> before = pane.tabs();
        pane.setActiveTabIndex(active);
        QPointer<TabModel> closedTab = closed >= 0 ? before.at(closed) : nullptr;
        pane.closeTab(closed >= 0 ? before.at(closed)->id() : QUuid::createUuid());
        QCOMPARE(pane.tabs().size(), remaining);
        QCOMPARE(pane.activeTab(), before.at(activeAfter));
        if (remaining < tabs)
            QTRY_VERIFY(closedTab.isNull()); // released, and its watcher with it
    }

    void pasteSource_data()
    {
        // What another program writes after our copy or cut (<c>: c.txt's URI, <c path>: its path).
        QTest::addColumn<QString>("selected"); // in listing order
        QTest::addColumn<bool>("cut");
        QTest::addColumn<Formats>("meanwhile");
        QTest::addColumn<QString>("expected"); // names; empty: nothing to paste
        QTest::addColumn<int>("operation");
        const QString list = QStringLiteral("text/uri-list");
        const int copy = int(ClipboardOperation::copy), move = int(ClipboardOperation::move);
        QTest::newRow("copy") << "a.txt b.txt" << false << Formats{} << "a.txt b.txt" << copy;
        QTest::newRow("cut") << "a.txt b.txt" << true << Formats{} << "a.txt b.txt" << move;
        QTest::newRow("cut, the same files written again") << "a.txt b.txt" << true << Formats{{list, "<ours>"}} << "a.txt b.txt" << move;
        QTest::newRow("cut, other files copied") << "a.txt b.txt" << true << Formats{{list, "<c>\r\n"}} << "c.txt" << copy;
        QTest::newRow("another manager's cut (GNOME)") << "a.txt b.txt" << false << Formats{{"x-special/gnome-copied-files", "cut\n<c>"}, {list, "<c>"}} << "c.txt" << move;
        QTest::newRow("another manager's cut (KDE)") << "a.txt b.txt" << false << Formats{{"application/x-kde-cutselection", "1"}, {list, "<c>"}} << "c.txt" << move;
        QTest::newRow("cut, then another program's copy naming localhost") << "a.txt b.txt" << true << Formats{{list, "file://localhost<c path>"}} << "c.txt" << copy;
        QTest::newRow("cut, then a file of another host copied") << "a.txt b.txt" << true << Formats{{list, "file://otherhost<c path>"}} << "" << -1;
        QTest::newRow("cut, then text copied") << "a.txt b.txt" << true << Formats{{"text/plain", "hello"}} << "" << -1;
        QTest::newRow("cut, then our paths copied") << "a.txt b.txt" << true << Formats{{"paths", {}}} << "" << -1;
        QTest::newRow("a name not in UTF-8") << "<raw>" << true << Formats{{list, "<ours>"}} << "<raw>" << move;
        QTest::newRow("cut, then a file copied with a NUL after its name") << "a.txt b.txt" << true << Formats{{list, "<c>%00zzz"}} << "" << -1;
        QTest::newRow("cut, then files and a web link") << "a.txt b.txt" << true << Formats{{list, "<c>\r\nhttps://example.org/x"}} << "" << -1;
    }

    void pasteSource()
    {
        QFETCH(QString, selected);
        QFETCH(bool, cut);
        QFETCH(Formats, meanwhile);
        QFETCH(QString, expected);
        QFETCH(int, operation);
        WorkspaceModel workspace(false);
        selectInLeftPane(workspace, selected.split(' '));
        cut ? workspace.cutSelection() : workspace.copySelection();
        QCOMPARE(workspace.isCut(url(selected.split(' ').first())), cut);
        QVERIFY(!workspace.isCut(m_dir->url("c.txt")));
        // Other file managers must see a cut as a cut.
        QCOMPARE(systemFormat("application/x-kde-cutselection"), cut ? "1" : "0");
        QVERIFY(systemFormat("x-special/gnome-copied-files").startsWith(cut ? "cut\n" : "copy\n"));
        const FileClipboard ours = *workspace.clipboard();
        const int count = workspace.clipboardChangeCount();
        if (meanwhile.contains("paths")) {
            workspace.copyActiveSelectionPaths();
            QCOMPARE(QGuiApplication::clipboard()->text(), m_dir->path("a.txt") + ' ' + m_dir->path("b.txt"));
        } else if (!meanwhile.isEmpty()) {
            auto *mime = new QMimeData;
            for (auto [format, data] : meanwhile.asKeyValueRange())
                mime->setData(format, data.replace("<ours>", systemFormat("text/uri-list"))
                                          .replace("<c>", ClipboardMime::uri(m_dir->url("c.txt")))
                                          .replace("<c path>", QFile::encodeName(m_dir->path("c.txt"))));
            QGuiApplication::clipboard()->setMimeData(mime);
        }
        const std::optional<FileClipboard> source = workspace.effectivePasteSource();
        QCOMPARE(source.has_value(), operation >= 0);
        if (source) {
            QList<FilePath> urls;
            for (const QString &name : expected.split(' '))
                urls << url(name); // for the odd name: the very same bytes
            QCOMPARE(source->urls, urls);
            QCOMPARE(int(source->operation), operation);
        }
        // Whatever was written meanwhile, or an empty selection copied, our own clipboard stays.
        selectInLeftPane(workspace, {});
        workspace.copySelection();
        QCOMPARE(*workspace.clipboard(), ours);
        QCOMPARE(workspace.clipboardChangeCount(), count);
    }

private:
    // Shows the test folder in the left pane's tab and selects `names` there.
    TabModel *selectInLeftPane(WorkspaceModel &workspace, const QStringList &names)
    {
        TabModel *tab = workspace.leftPane()->activeTab();
        if (tab->currentUrl() != m_dir->url()) {
            tab->navigate(m_dir->url());
            if (!QTest::qWaitFor([&] { return !tab->isLoading(); }, 20000))
                return tab;
        }
        QSet<FilePath> selection;
        for (const QString &name : names)
            selection << url(name);
        tab->setSelection(selection);
        return tab;
    }

    FilePath url(const QString &name) const
    {
        return m_dir->url(name == "<raw>" ? FileNames::decode(QByteArray("caf\xe9-\xff.txt")) : name);
    }

    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestWorkspaceModel)
#include "tst_workspacemodel.moc"
