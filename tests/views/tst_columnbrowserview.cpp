// The column browser driven by keys and the mouse over real folders: moving between and within
// columns, the preview column, Space, drops by what they land on, changes made by another
// program, and the title line following the selection.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "columnbrowserview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "iconcache.h"
#include "itemlists.h"
#include "paneactions.h"
#include "panecommands.h"
#include "panemodel.h"
#include "previewcolumnview.h"
#include "tabmodel.h"
#include "testdir.h"
#include "titlelineview.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QKeySequence>
#include <QMimeData>
#include <QRegularExpression>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// A browser over the left pane's tab, shown in a window of its own, with the window's commands
// acting on its selection.
struct Browser
{
    Browser(const TestDir &dir, const FilePath &folder)
        : settings(dir.path(QStringLiteral("settings.ini"))), workspace(false),
          actions(&workspace, workspace.leftPane(), &settings, &dialogs, &jobs), commands(&workspace, &settings)
    {
        settings.setLanguage(AppLanguage::english);
        tab()->navigate(folder);
        tab()->setViewMode(ViewMode::column);
        view = std::make_unique<ColumnBrowserView>(ViewEnvironment{&workspace, &settings, nullptr, &icons, nullptr, &commands},
                                                   workspace.leftPane(), tab(), &actions);
        commands.setTargetSource([this] { return view->commandTarget(); });
        QObject::connect(view.get(), &ColumnBrowserView::commandTargetChanged, &commands, &PaneCommands::refresh);
        view->addActions(commands.actions());
        view->setFileOpener([this](const FilePath &url) { opened.append(url); });
        view->resize(900, 400);
        view->show();
        QApplication::setActiveWindow(view.get());
        waitLoaded();
    }
    ~Browser() { commands.setTargetSource({}); }

    TabModel *tab() const { return workspace.leftPane()->activeTab(); }
    ColumnBrowserModel *model() const { return view->model(); }
    void waitLoaded() const
    {
        QTRY_VERIFY(!model()->columns().isEmpty());
        for (int i = 0; i < model()->columns().size(); ++i)
            QTRY_VERIFY(!model()->columns().at(i).isLoading);
    }
    QModelIndex index(int column, const QString &name) const
    {
        const FileTableModel *rows = static_cast<FileTableModel *>(view->columnList(column)->model());
        for (int r = 0; r < rows->rowCount(); ++r) {
            if (rows->item(r).name == name)
                return rows->index(r, 0);
        }
        return {};
    }
    void click(int column, const QString &name, Qt::KeyboardModifiers modifiers = {}) const
    {
        FileTableView *list = view->columnList(column);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, list->visualRect(index(column, name)).center());
        waitLoaded();
    }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) const
    {
        FileTableView *list = view->columnList(model()->activeColumnIndex());
        list->setFocus();
        QTest::keyClick(list, Qt::Key(key), modifiers);
        waitLoaded();
    }
    QStringList selectedNames(int column) const { return namesOf(model()->selectedItems(column)); }
    QStringList names(int column) const { return namesOf(model()->columns().at(column).items); }
    // Drops `url` at `pos` of column `column`'s rows; whether the drop was taken.
    bool drop(int column, QPoint pos, const FilePath &url) const
    {
        QWidget *viewport = view->columnList(column)->viewport();
        QMimeData mime;
        mime.setUrls({url.toUrl()});
        QDragEnterEvent enter(pos, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &enter);
        QDragMoveEvent move(pos, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &move);
        if (!move.isAccepted())
            return false;
        QDropEvent drop(pos, Qt::MoveAction, &mime, Qt::LeftButton, {});
        QApplication::sendEvent(viewport, &drop);
        return drop.isAccepted();
    }

    AppSettings settings;
    WorkspaceModel workspace;
    AnsweringPresenter dialogs;
    FileJobQueue jobs;
    PaneActions actions;
    PaneCommands commands;
    IconCache icons;
    std::unique_ptr<ColumnBrowserView> view;
    QList<FilePath> opened;
};

// "0:A" clicks A in column 0, "^0:B" with Ctrl; other words are keys ("Down", "Shift+Home").
void play(Browser &browser, const QString &script)
{
    for (const QString &word : script.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (word.contains(QLatin1Char(':'))) {
            const bool ctrl = word.startsWith(QLatin1Char('^'));
            const QStringList parts = word.mid(ctrl ? 1 : 0).split(QLatin1Char(':'));
            browser.click(parts.at(0).toInt(), parts.at(1), ctrl ? Qt::ControlModifier : Qt::NoModifier);
        } else {
            const QKeyCombination key = QKeySequence(word)[0];
            browser.key(key.key(), key.keyboardModifiers());
        }
    }
}

} // namespace

class TestColumnBrowserView : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestDir> m_dir;
    FilePath root() const { return m_dir->url(QStringLiteral("root")); }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        m_dir->isolateHome();
        m_dir->dir(QStringLiteral(".home/Documents"));
        m_dir->dir(QStringLiteral("root/A/sub"));
        m_dir->dir(QStringLiteral("root/B"));
        m_dir->file(QStringLiteral("root/A/a1.txt"), "one");
        m_dir->file(QStringLiteral("root/A/a2.txt"), "two");
        m_dir->file(QStringLiteral("root/f.txt"), "four");
        m_dir->file(QStringLiteral("root/g.txt"), "g");
    }

    void keys_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<int>("active");
        QTest::addColumn<QString>("selected"); // in the active column
        QTest::addColumn<int>("columns");
        QTest::newRow("Right selects the next column's first entry") << "0:A Right" << 1 << "sub" << 3;
        QTest::newRow("Right keeps a selection already made there") << "0:A 1:a2.txt Left Right" << 1 << "a2.txt" << 2;
        QTest::newRow("Right in the last column does nothing") << "0:f.txt Right" << 0 << "f.txt" << 1;
        QTest::newRow("Left keeps the selections to the right") << "0:A 1:a1.txt Left" << 0 << "A" << 2;
        QTest::newRow("Down with nothing selected takes the first") << "Down" << 0 << "A" << 2;
        QTest::newRow("Down moves from the clicked entry") << "0:B Down" << 0 << "f.txt" << 1;
        QTest::newRow("Shift+Down extends from the anchor") << "0:B Shift+Down Shift+Down" << 0 << "B f.txt g.txt" << 1;
        QTest::newRow("Shift+Up shrinks back towards it") << "0:B Shift+Down Shift+Down Shift+Up" << 0 << "B f.txt" << 1;
        QTest::newRow("Down after Left moves in the left column") << "0:A 1:a1.txt Left Down" << 0 << "B" << 2;
        QTest::newRow("End with nothing selected takes the last") << "End" << 0 << "g.txt" << 1;
        QTest::newRow("Home takes the first") << "0:g.txt Home" << 0 << "A" << 2;
    }
    void keys()
    {
        QFETCH(QString, script);
        QFETCH(int, active);
        Browser browser(*m_dir, root());
        play(browser, script);
        QCOMPARE(browser.model()->activeColumnIndex(), active);
        QTEST(browser.selectedNames(active).join(QLatin1Char(' ')), "selected");
        QTEST(browser.view->columnCount(), "columns");
        QVERIFY(browser.view->columnList(active)->hasFocus());
    }

    void returnOpens()
    {
        Browser browser(*m_dir, root());
        play(browser, QStringLiteral("0:A 1:a1.txt Return"));
        QCOMPARE(browser.opened, QList<FilePath>{m_dir->url(QStringLiteral("root/A/a1.txt"))});
        play(browser, QStringLiteral("Left Return"));
        QCOMPARE(browser.tab()->currentUrl(), m_dir->url(QStringLiteral("root/A")));
    }

    // The preview column shows a single selected file; Space previews the focused column's
    // single selection, a folder too.
    void previewColumnAndSpace_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("previewed"); // in the column; empty: no preview column
        QTest::addColumn<QString>("spaced");    // by Space; empty: nothing
        QTest::newRow("one file") << "0:f.txt" << "f.txt" << "root/f.txt";
        QTest::newRow("one file in a deeper column") << "0:A 1:a2.txt" << "a2.txt" << "root/A/a2.txt";
        QTest::newRow("a folder") << "0:A" << "" << "root/A";
        QTest::newRow("two files") << "0:f.txt ^0:g.txt" << "" << "";
        QTest::newRow("back to one of them") << "0:f.txt ^0:g.txt ^0:f.txt" << "g.txt" << "root/g.txt";
        QTest::newRow("the focused column's entry, not the deeper one") << "0:A 1:a1.txt Left" << "a1.txt" << "root/A";
    }
    void previewColumnAndSpace()
    {
        QFETCH(QString, script);
        QFETCH(QString, spaced);
        Browser browser(*m_dir, root());
        browser.view->resize(500, 400); // narrower than two columns and the preview
        play(browser, script);
        PreviewColumnView *preview = browser.view->previewColumn();
        QTEST(preview ? preview->nameText() : QString(), "previewed");
        if (preview) {
            QWidget *viewport = browser.view->viewport(); // the preview slides into view
            QTRY_VERIFY(viewport->rect().contains(QRect(preview->mapTo(viewport, QPoint()), preview->size())));
            QVERIFY2(preview->sizeText().contains(QRegularExpression("^Size: \\d")), qPrintable(preview->sizeText()));
            QVERIFY(preview->modifiedText().contains(QString::number(QDate::currentDate().year())));
        }
        browser.key(Qt::Key_Space);
        QCOMPARE(browser.dialogs.previewed, spaced.isEmpty() ? std::nullopt : std::optional(m_dir->url(spaced)));
    }

    void dropsByRowKind_data()
    {
        QTest::addColumn<QString>("target"); // a row of column 0, or "" for its background
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QString>("landsIn");
        QTest::newRow("folder row") << "B" << true << "root/B";
        QTest::newRow("file row is refused") << "f.txt" << false << "";
        QTest::newRow("background goes to the deepest folder") << "" << true << "root/A";
    }
    void dropsByRowKind()
    {
        QFETCH(QString, target);
        QFETCH(bool, accepted);
        QFETCH(QString, landsIn);
        m_dir->file(QStringLiteral("elsewhere/dropped.txt"), "payload");
        Browser browser(*m_dir, root());
        play(browser, QStringLiteral("0:A"));
        FileTableView *list = browser.view->columnList(0);
        const QPoint at = target.isEmpty() ? QPoint(20, list->viewport()->height() - 5)
                                           : list->visualRect(browser.index(0, target)).center();
        QCOMPARE(browser.drop(0, at, m_dir->url(QStringLiteral("elsewhere/dropped.txt"))), accepted);
        if (accepted)
            QTRY_VERIFY(m_dir->exists(landsIn + QStringLiteral("/dropped.txt")));
        QTRY_COMPARE(browser.actions.jobs()->pendingCount(), 0);
        QCOMPARE(m_dir->exists(QStringLiteral("elsewhere/dropped.txt")), !accepted);
    }

    // Every column is reloaded when any of its folders changes, and keeps its selection.
    void changesByAnotherProgramAppearInEveryColumn()
    {
        Browser browser(*m_dir, root());
        play(browser, QStringLiteral("0:A 1:sub"));
        QCOMPARE(browser.view->columnCount(), 3);
        m_dir->file(QStringLiteral("root/A/sub/deep.txt"), "x");
        QTRY_VERIFY(browser.names(2).contains(QStringLiteral("deep.txt")));
        m_dir->file(QStringLiteral("root/h.txt"), "x");
        QVERIFY(QDir().rmdir(m_dir->path(QStringLiteral("root/B"))));
        QTRY_VERIFY(browser.names(0).contains(QStringLiteral("h.txt")));
        QTRY_VERIFY(!browser.names(0).contains(QStringLiteral("B")));
        QCOMPARE(browser.selectedNames(1), QStringList{QStringLiteral("sub")});
        QCOMPARE(browser.view->columnList(0)->selectionModel()->selectedRows().size(), 1);
    }

    // The title line and the window's commands take the focused column's selection.
    void titleLineAndCommandsFollowTheFocusedColumn()
    {
        Browser browser(*m_dir, root());
        TitleLineView title({&browser.workspace, &browser.settings, nullptr, &browser.icons});
        browser.key(Qt::Key_C, Qt::ControlModifier);
        QVERIFY(!browser.workspace.clipboard().has_value());
        play(browser, QStringLiteral("0:A 1:a1.txt"));
        QCOMPARE(browser.tab()->columnFocusDirectory(), m_dir->url(QStringLiteral("root/A")));
        QTRY_VERIFY(title.titleText().startsWith(QStringLiteral("a1.txt")));
        play(browser, QStringLiteral("^1:a2.txt"));
        QTRY_VERIFY(title.titleText().startsWith(QStringLiteral("2 ")));
        browser.key(Qt::Key_X, Qt::ControlModifier);
        QCOMPARE(browser.workspace.clipboard()->urls,
                 (QList<FilePath>{m_dir->url(QStringLiteral("root/A/a1.txt")), m_dir->url(QStringLiteral("root/A/a2.txt"))}));
        QCOMPARE(browser.workspace.clipboard()->operation, ClipboardOperation::move);
        play(browser, QStringLiteral("0:g.txt"));
        QTRY_VERIFY(title.titleText().startsWith(QStringLiteral("g.txt")));
        QCOMPARE(browser.tab()->columnFocusDirectory(), root());
    }
};

QTEST_MAIN(TestColumnBrowserView)
#include "tst_columnbrowserview.moc"
