// The workspace: where the panes start, the tab closing rules, focus moves, and the clipboard
// against the system clipboard written by this and by other programs.

#include "clipboardmime.h"
#include "filenames.h"
#include "testdir.h"
#include "urls.h"
#include "workspacemodel.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QTest>

#include <fcntl.h>

using Urls_ = QList<QUrl>;

namespace {

// What another program may put on the clipboard.
void writeForeign(const QByteArray &format, const QByteArray &data, const QByteArray &uriList = {})
{
    auto *mime = new QMimeData;
    if (!format.isEmpty())
        mime->setData(QString::fromLatin1(format), data);
    if (!uriList.isEmpty())
        mime->setData(QStringLiteral("text/uri-list"), uriList);
    QGuiApplication::clipboard()->setMimeData(mime);
}

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
        m_dir->file("a.txt");
        m_dir->file("b.txt");
        m_dir->file("c.txt");
    }

    void panesStartAtHomeAndDocuments_data()
    {
        QTest::addColumn<bool>("hasDocuments");
        QTest::newRow("Documents exists") << true;
        QTest::newRow("no Documents folder") << false;
    }

    void panesStartAtHomeAndDocuments()
    {
        QFETCH(bool, hasDocuments);
        const QString home = m_dir->path(".home");
        if (hasDocuments)
            QDir().mkpath(home + "/Documents");
        WorkspaceModel workspace(false);
        QCOMPARE(workspace.panes().size(), 2);
        QCOMPARE(workspace.activePane(), workspace.leftPane());
        QCOMPARE(workspace.leftPane()->tabs().size(), 1);
        QCOMPARE(workspace.leftPane()->activeTab()->currentUrl(), QUrl::fromLocalFile(home));
        QCOMPARE(workspace.rightPane()->activeTab()->currentUrl(),
                 QUrl::fromLocalFile(hasDocuments ? home + "/Documents" : home));
    }

    void closingTabs_data()
    {
        QTest::addColumn<int>("tabs");
        QTest::addColumn<int>("active");
        QTest::addColumn<int>("closed"); // -1: an id no tab has
        QTest::addColumn<int>("remaining");
        QTest::addColumn<int>("activeAfter"); // index into the tabs before closing
        QTest::newRow("the only tab stays") << 1 << 0 << 0 << 1 << 0;
        QTest::newRow("active last: its left neighbour") << 3 << 2 << 2 << 2 << 1;
        QTest::newRow("active first: the new first") << 3 << 0 << 0 << 2 << 1;
        QTest::newRow("active in the middle") << 3 << 1 << 1 << 2 << 0;
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
        for (int i = 1; i < tabs; ++i) {
            TabModel *added = pane.addTab(m_dir->url(), false);
            QCOMPARE(pane.activeTab(), added); // a new tab goes last and becomes active
            QCOMPARE(pane.tabs().last(), added);
        }
        const QList<TabModel *> before = pane.tabs();
        pane.setActiveTabIndex(active);
        QPointer<TabModel> closedTab = closed >= 0 ? before.at(closed) : nullptr;
        pane.closeTab(closed >= 0 ? before.at(closed)->id() : QUuid::createUuid());
        QCOMPARE(pane.tabs().size(), remaining);
        QCOMPARE(pane.activeTab(), before.at(activeAfter));
        if (remaining < tabs)
            QTRY_VERIFY(closedTab.isNull()); // released, and its watcher with it
    }

    void focusMoves_data()
    {
        QTest::addColumn<bool>("fromRight");
        QTest::addColumn<int>("offset");
        QTest::addColumn<bool>("rightAfter");
        QTest::newRow("left, -1") << false << -1 << false;
        QTest::newRow("left, +1") << false << 1 << true;
        QTest::newRow("right, +1") << true << 1 << true;
        QTest::newRow("right, -1") << true << -1 << false;
        QTest::newRow("left, +2") << false << 2 << false;
    }

    void focusMoves()
    {
        QFETCH(bool, fromRight);
        QFETCH(int, offset);
        QFETCH(bool, rightAfter);
        WorkspaceModel workspace(false);
        workspace.setActivePaneID((fromRight ? workspace.rightPane() : workspace.leftPane())->id());
        workspace.focusAdjacentPane(offset);
        QCOMPARE(workspace.activePane(), rightAfter ? workspace.rightPane() : workspace.leftPane());
    }

    void pasteSource_data()
    {
        QTest::addColumn<bool>("cut");
        QTest::addColumn<QString>("meanwhile");
        QTest::addColumn<QStringList>("expectedNames");
        QTest::addColumn<int>("expectedOperation"); // -1: nothing to paste
        const QStringList ours{"a.txt", "b.txt"}, theirs{"c.txt"};
        const int copy = int(ClipboardOperation::copy), move = int(ClipboardOperation::move);
        QTest::newRow("copy") << false << "" << ours << copy;
        QTest::newRow("cut") << true << "" << ours << move;
        QTest::newRow("cut, the same files written again") << true << "same files" << ours << move;
        QTest::newRow("cut, other files copied elsewhere") << true << "other files" << theirs << copy;
        QTest::newRow("cut, another manager's cut (GNOME)") << true << "gnome cut" << theirs << move;
        QTest::newRow("copy, another manager's cut (KDE)") << false << "kde cut" << theirs << move;
        QTest::newRow("cut, then text copied") << true << "text" << QStringList{} << -1;
        QTest::newRow("cut, then a web link") << true << "web link" << QStringList{} << -1;
    }

    void pasteSource()
    {
        QFETCH(bool, cut);
        QFETCH(QString, meanwhile);
        QFETCH(QStringList, expectedNames);
        QFETCH(int, expectedOperation);
        WorkspaceModel workspace(false);
        selectInLeftPane(workspace, {"b.txt", "a.txt"}); // listing order counts, not the set's
        cut ? workspace.cutSelection() : workspace.copySelection();
        QCOMPARE(workspace.isCut(url("a.txt")), cut);
        QVERIFY(!workspace.isCut(url("c.txt")));
        // Other file managers must see a cut as a cut.
        QCOMPARE(systemFormat("application/x-kde-cutselection"), cut ? "1" : "0");
        QVERIFY(systemFormat("x-special/gnome-copied-files").startsWith(cut ? "cut\n" : "copy\n"));
        const QByteArray c = ClipboardMime::uri(url("c.txt"));
        if (meanwhile == "same files")
            writeForeign({}, {}, systemFormat("text/uri-list"));
        else if (meanwhile == "other files")
            writeForeign({}, {}, c + "\r\n");
        else if (meanwhile == "gnome cut")
            writeForeign("x-special/gnome-copied-files", "cut\n" + c, c + "\r\n");
        else if (meanwhile == "kde cut")
            writeForeign("application/x-kde-cutselection", "1", c + "\r\n");
        else if (meanwhile == "text")
            QGuiApplication::clipboard()->setText("hello");
        else if (meanwhile == "web link")
            writeForeign({}, {}, c + "\r\nhttps://example.org/x\r\n");
        const std::optional<FileClipboard> source = workspace.effectivePasteSource();
        QCOMPARE(source.has_value(), expectedOperation >= 0);
        if (source) {
            Urls_ expectedUrls;
            for (const QString &name : expectedNames)
                expectedUrls << m_dir->url(name);
            QCOMPARE(source->urls, expectedUrls);
            QCOMPARE(int(source->operation), expectedOperation);
        }
    }

    void copyingPathsLeavesTheFileClipboard()
    {
        WorkspaceModel workspace(false);
        selectInLeftPane(workspace, {"a.txt"});
        workspace.cutSelection();
        const auto clipboard = workspace.clipboard();
        const int count = workspace.clipboardChangeCount();
        selectInLeftPane(workspace, {"c.txt"});
        workspace.copyActiveSelectionPaths();
        QCOMPARE(QGuiApplication::clipboard()->text(), m_dir->path("c.txt"));
        QCOMPARE(workspace.clipboard(), clipboard);
        QCOMPARE(workspace.clipboardChangeCount(), count);
        QVERIFY(!workspace.effectivePasteSource()); // the system clipboard now holds text only
        // Copying with nothing selected keeps what was there.
        workspace.leftPane()->activeTab()->setSelection({});
        workspace.copySelection();
        QCOMPARE(workspace.clipboard(), clipboard);
    }

    void nonUtf8NameSurvivesTheClipboard()
    {
        const QByteArray raw = QFile::encodeName(m_dir->path()) + "/caf\xe9-\xff.txt";
        const int fd = ::open(raw.constData(), O_CREAT | O_WRONLY, 0644);
        QVERIFY(fd >= 0);
        ::close(fd);
        WorkspaceModel workspace(false);
        TabModel *tab = workspace.leftPane()->activeTab();
        tab->navigate(m_dir->url());
        QTRY_COMPARE(tab->items().size(), 4);
        const QUrl odd = tab->items().last().url;
        QCOMPARE(Urls::encodedPath(odd), raw);
        tab->setSelection({odd});
        workspace.cutSelection();
        QVERIFY(systemFormat("text/uri-list").contains("caf%E9-%FF.txt"));
        // Another program takes the same data over: still our cut, with the very same bytes.
        writeForeign({}, {}, systemFormat("text/uri-list"));
        const auto source = workspace.effectivePasteSource();
        QVERIFY(source);
        QCOMPARE(source->operation, ClipboardOperation::move);
        QCOMPARE(Urls::encodedPath(ClipboardMime::urlFromUri(ClipboardMime::uri(odd))), raw);
    }

private:
    QUrl url(const char *name) const { return m_dir->url(QString::fromLatin1(name)); }

    // Shows the test folder in the left pane's tab and selects `names` there.
    TabModel *selectInLeftPane(WorkspaceModel &workspace, const QStringList &names)
    {
        TabModel *tab = workspace.leftPane()->activeTab();
        if (tab->currentUrl() != m_dir->url()) {
            tab->navigate(m_dir->url());
            if (!QTest::qWaitFor([&] { return !tab->isLoading(); }, 20000))
                return tab;
        }
        QSet<QUrl> selection;
        for (const QString &name : names)
            selection << m_dir->url(name);
        tab->setSelection(selection);
        return tab;
    }

    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestWorkspaceModel)
#include "tst_workspacemodel.moc"
