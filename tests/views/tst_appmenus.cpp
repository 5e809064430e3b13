// Every entry of the window's menus chosen once through its action with the list focused, over
// real files in a temporary home, each checked for what it says it does; and the keys of a few
// of them pressed while the column view or the sidebar has the keyboard.

#include "appmenus.h"
#include "appsettings.h"
#include "appwindow.h"
#include "bulkrenamesheet.h"
#include "columnbrowserview.h"
#include "fakeprograms.h"
#include "filelistview.h"
#include "filetableview.h"
#include "infosheet.h"
#include "namedialog.h"
#include "paneactions.h"
#include "pathbarview.h"
#include "previewdialog.h"
#include "settingsview.h"
#include "sidebarview.h"
#include "undocoordinator.h"
#include "ziparchiver.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QTest>

#include <functional>
#include <memory>

using Step = std::function<void()>;
Q_DECLARE_METATYPE(Step)

class TestAppMenus : public QObject
{
    Q_OBJECT

    QString path(const QString &relative) const
    {
        return relative.isEmpty() ? m_dir.path(QStringLiteral(".home")) : m_dir.path(QStringLiteral(".home/") + relative);
    }
    FilePath url(const QString &relative) const { return FilePath::fromString(path(relative)); }
    bool exists(const QString &relative) const { return QFileInfo::exists(path(relative)); }
    QStringList names(const QString &folder) const { return m_dir.entries(QStringLiteral(".home/") + folder); }
    PaneView *pane(int index) const { return paneOf(m_app.get(), index); }
    TabModel *tab(int index) const { return tabOf(m_app.get(), index); }
    WorkspaceModel *workspace() const { return m_app->environment().workspace; }
    AppSettings *settings() const { return m_app->environment().settings; }

    // The entries of the menu bar, submenus' too.
    QList<QAction *> entries() const
    {
        QList<QAction *> all;
        for (QAction *top : m_app->window()->menuBar()->actions()) {
            for (QAction *action : top->menu()->actions()) {
                if (!action->isSeparator())
                    all.append(action);
            }
        }
        return all;
    }
    void trigger(const QString &name) const
    {
        for (QAction *action : entries()) {
            if (action->objectName() == name) {
                QVERIFY2(action->isEnabled(), qPrintable(name));
                action->trigger();
                return;
            }
        }
        QFAIL(qPrintable("no entry " + name));
    }

    void openWindow()
    {
        m_app = ::openWindow();
        QVERIFY(m_app);
        show(0, QStringLiteral("work"));
        show(1, QStringLiteral("Documents"));
    }
    void show(int index, const QString &folder) const
    {
        tab(index)->navigate(url(folder));
        QTRY_VERIFY(!tab(index)->isLoading());
    }
    void select(const QStringList &chosen) const
    {
        QSet<FilePath> urls;
        for (const QString &name : chosen)
            urls.insert(url(QStringLiteral("work/") + name));
        tab(0)->setSelection(urls);
        QTRY_COMPARE(tab(0)->selectedItems().size(), chosen.size());
    }
    template<typename Dialog>
    Dialog *opened(const char *name) const
    {
        Dialog *dialog = nullptr;
        [&] { QTRY_VERIFY((dialog = pane(0)->findChild<Dialog *>(QLatin1String(name))) && dialog->isVisible()); }();
        return dialog;
    }
    void answerName(const char *dialog, const QString &typed) const
    {
        if (NameDialog *prompt = opened<NameDialog>(dialog)) {
            prompt->setName(typed);
            prompt->confirmButton()->click();
        }
    }
    void confirm(const char *box) const
    {
        if (QMessageBox *question = opened<QMessageBox>(box))
            answerBox(question, QStringLiteral("confirm"));
    }

private Q_SLOTS:
    void initTestCase()
    {
        prepareProgramIn(m_dir);
        // No file manager answers on this bus: an item is shown by opening its folder.
        qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + QFile::encodeName(m_dir.path(QStringLiteral("no-bus"))));
    }

    void init()
    {
        QSettings().clear();
        for (const char *folder : {".home/work", ".home/Documents", ".home/.local/share/Trash"})
            QDir(m_dir.path(QLatin1String(folder))).removeRecursively();
        m_dir.file(QStringLiteral(".home/work/a.txt"), "a");
        m_dir.file(QStringLiteral(".home/work/b.txt"), "b");
        m_dir.dir(QStringLiteral(".home/work/sub"));
        m_dir.file(QStringLiteral(".home/Documents/report.txt"), "r");
        m_dir.file(QStringLiteral(".home/Documents/inner.txt"), "i");
        ZipArchiver::compress({url(QStringLiteral("Documents/inner.txt"))}, url(QStringLiteral("work/archive.zip")));
        QFile::remove(path(QStringLiteral("Documents/inner.txt")));
        m_programs.forget(QStringLiteral("xdg-open"));
    }

    void cleanup() { m_app.reset(); }

    void everyEntryDoesWhatItSays_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<Step>("before");
        QTest::addColumn<Step>("check");
        const QStringList a{QStringLiteral("a.txt")};
        const auto row = [](const char *entry, const QStringList &selected, const Step &before, const Step &check) {
            QTest::newRow(entry) << QString::fromLatin1(entry) << selected << before << check;
        };
        const Step nothing = [] {};
        const Step secondTab = [this] { pane(0)->pane()->addTab(url("work/sub"), false); };
        // File
        row("newTab", {}, nothing, [this] {
            QCOMPARE(pane(0)->pane()->tabs().size(), 2);
            QCOMPARE(tab(0), pane(0)->pane()->tabs().last());
            QCOMPARE(tab(0)->currentUrl(), url("work"));
        });
        row("closeTab", {}, secondTab, [this] {
            QCOMPARE(pane(0)->pane()->tabs().size(), 1);
            QCOMPARE(tab(0)->currentUrl(), url("work"));
        });
        row("newFolder", {}, nothing, [this] {
            answerName("newFolderDialog", QStringLiteral("made"));
            QTRY_VERIFY(QFileInfo(path("work/made")).isDir());
            QTRY_COMPARE(tab(0)->selection(), QSet<FilePath>{url("work/made")}); // selected, ready for Return
        });
        row("newFile", {}, nothing, [this] {
            answerName("newFileDialog", QStringLiteral("made.txt"));
            QTRY_VERIFY(QFileInfo(path("work/made.txt")).isFile());
            QTRY_COMPARE(tab(0)->selection(), QSet<FilePath>{url("work/made.txt")});
        });
        row("getInfo", a, nothing, [this] { QCOMPARE(opened<InfoSheet>("infoSheet")->title(), QStringLiteral("a.txt")); });
        row("preview", a, nothing, [this] {
            auto *preview = opened<PreviewDialog>("previewDialog");
            QCOMPARE(preview->url(), url("work/a.txt"));
            QApplication::setActiveWindow(preview);
            QTest::keyClick(preview, Qt::Key_Space); // Space again closes it
            QTRY_VERIFY(!preview->isVisible());
        });
        row("rename", a, nothing, [this] {
            answerName("renameDialog", QStringLiteral("renamed.txt"));
            QTRY_VERIFY(exists("work/renamed.txt") && !exists("work/a.txt"));
        });
        row("bulkRename", {"a.txt", "b.txt"}, nothing, [this] { QCOMPARE(opened<BulkRenameSheet>("bulkRenameSheet")->plan().size(), 2); });
        row("duplicate", a, nothing, [this] { QTRY_COMPARE(names("work").size(), 5); });
        row("compress", a, nothing, [this] { QTRY_VERIFY(exists("work/a.zip")); });
        row("extract", {"archive.zip"}, nothing, [this] { QTRY_COMPARE(m_dir.read(".home/work/inner.txt"), QByteArray("i")); });
        row("revealInFileManager", a, nothing, [this] {
            QTRY_VERIFY(!m_programs.recorded(QStringLiteral("xdg-open")).isEmpty());
            QCOMPARE(QDir::cleanPath(m_programs.recorded(QStringLiteral("xdg-open")).value(1)), path("work"));
        });
        row("moveToTrash", a, nothing, [this] {
            confirm("trashConfirmation");
            QTRY_VERIFY(!exists("work/a.txt") && exists(".local/share/Trash/files/a.txt"));
        });
        row("deletePermanently", {"a.txt", "sub"}, nothing, [this] {
            confirm("deleteConfirmation");
            QTRY_COMPARE(names("work"), QStringList({"archive.zip", "b.txt"}));
            QVERIFY(!exists(".local/share/Trash/files/a.txt"));
        });
        row("settings", {}, nothing, [this] { QTRY_VERIFY(m_app->settingsWindow() && m_app->settingsWindow()->isVisible()); });
        row("quit", {}, nothing, [this] { QTRY_VERIFY(!m_app->window()->isVisible()); });
        // Edit
        row("undo", a, [this] { trigger("duplicate"); QTRY_VERIFY(workspace()->undo()->canUndo()); },
            [this] { QTRY_COMPARE(names("work").size(), 4); });
        row("redo", a, [this] {
            trigger("rename");
            answerName("renameDialog", QStringLiteral("z.txt"));
            QTRY_VERIFY(workspace()->undo()->canUndo());
            workspace()->undo()->undo();
            QTRY_VERIFY(exists("work/a.txt"));
        }, [this] { QTRY_VERIFY(exists("work/z.txt") && !exists("work/a.txt")); });
        row("cut", a, nothing, [this] { QVERIFY(workspace()->clipboard() == (FileClipboard{{url("work/a.txt")}, ClipboardOperation::move})); });
        row("copy", a, nothing, [this] { QVERIFY(workspace()->clipboard() == (FileClipboard{{url("work/a.txt")}, ClipboardOperation::copy})); });
        row("paste", {}, [this] { workspace()->writeClipboard({url("Documents/report.txt")}, ClipboardOperation::copy); },
            [this] { QTRY_VERIFY(exists("work/report.txt") && exists("Documents/report.txt")); });
        row("selectAll", {}, nothing, [this] { QCOMPARE(tab(0)->selection().size(), 4); });
        row("copyToOtherPane", a, nothing, [this] { QTRY_VERIFY(exists("Documents/a.txt")); QVERIFY(exists("work/a.txt")); });
        row("moveToOtherPane", a, nothing, [this] { QTRY_VERIFY(exists("Documents/a.txt")); QTRY_VERIFY(!exists("work/a.txt")); });
        row("copyPath", a, nothing, [this] { QCOMPARE(QGuiApplication::clipboard()->text(), path("work/a.txt")); });
        // View
        row("floatOnTop", {}, nothing, [this] { QVERIFY(settings()->floatOnTop()); });
        row("rightPane", {}, nothing, [this] { QVERIFY(settings()->rightPaneHidden()); QTRY_VERIFY(!pane(1)->isVisible()); });
        // Go
        row("back", {}, [this] { show(0, "work/sub"); }, [this] { QCOMPARE(tab(0)->currentUrl(), url("work")); });
        row("forward", {}, [this] { show(0, "work/sub"); tab(0)->goBack(); }, [this] { QCOMPARE(tab(0)->currentUrl(), url("work/sub")); });
        row("up", {}, nothing, [this] { QCOMPARE(tab(0)->currentUrl(), url(QString())); });
        row("home", {}, nothing, [this] { QCOMPARE(tab(0)->currentUrl(), FilePath::fromString(path(QString()))); });
        row("editLocation", {}, nothing, [this] { QTRY_VERIFY(pane(0)->pathBar()->field()->hasFocus()); });
        row("nextTab", {}, [this, secondTab] { secondTab(); pane(0)->pane()->setActiveTabID(pane(0)->pane()->tabs().first()->id()); },
            [this] { QCOMPARE(tab(0)->currentUrl(), url("work/sub")); });
        row("previousTab", {}, secondTab, [this] { QCOMPARE(tab(0)->currentUrl(), url("work")); });
    }

    void everyEntryDoesWhatItSays()
    {
        QFETCH(QString, entry);
        QFETCH(QStringList, selected);
        QFETCH(Step, before);
        QFETCH(Step, check);
        openWindow();
        select(selected);
        before();
        QVERIFY(reactivate(m_app.get())); // a prompt of before() may have closed
        pane(0)->focusContent();
        QVERIFY(pane(0)->list()->table()->hasFocus());
        trigger(entry);
        check();
        QTRY_VERIFY(!pane(0)->actions()->isBusy());
    }

    // The keys of a few entries pressed where the keyboard is. The window's keys reach it from the
    // list, which keeps its own, and from a column of the column view, where they act on the
    // column's selection; they work from the sidebar too, but the plain keys of a list act on the
    // pane's selection only from the pane. The left tab went to work/sub and back to work.
    void keysWhereTheKeyboardIs_data()
    {
        QTest::addColumn<QString>("where"); // "list", "columns" or "sidebar", as the row's name begins
        QTest::addColumn<int>("key"); // or a mouse button
        QTest::addColumn<Step>("check");
        const auto row = [](const char *name, QKeyCombination key, const Step &check) {
            QTest::newRow(name) << QString::fromLatin1(name).section(QLatin1Char(':'), 0, 0) << key.toCombined() << check;
        };
        const Step wentHome = [this] { QCOMPARE(tab(0)->currentUrl(), url(QString())); };
        const Step showsHidden = [this] { QVERIFY(settings()->showHidden()); };
        // Alt+Left, Alt+Right, Ctrl+Tab, Ctrl+L and Ctrl+Q from the list are pressed by the
        // end-to-end run (tests/e2e/filecommands.sh).
        row("list: Alt+Home", Qt::ALT | Qt::Key_Home, wentHome);
        row("list: Ctrl+Shift+. as typed", Qt::CTRL | Qt::SHIFT | Qt::Key_Greater, showsHidden);
        row("list: Ctrl+Shift+.", Qt::CTRL | Qt::SHIFT | Qt::Key_Period, showsHidden);
        row("list: Ctrl+A stays the list's", Qt::CTRL | Qt::Key_A, [this] { QCOMPARE(tab(0)->selection().size(), 4); });
        row("list: mouse back button", Qt::Key(Qt::BackButton), wentHome);
        row("list: mouse forward button", Qt::Key(Qt::ForwardButton), [this] { QCOMPARE(tab(0)->currentUrl(), url("work/sub")); });
        row("columns: Alt+Left", Qt::ALT | Qt::Key_Left, wentHome);
        row("columns: Ctrl+Q", Qt::CTRL | Qt::Key_Q, [this] { QTRY_VERIFY(!m_app->window()->isVisible()); });
        row("columns: Ctrl+L edits the location once", Qt::CTRL | Qt::Key_L, [this] {
            // Typing a path and Return goes there, and the breadcrumb and the list take over again.
            QLineEdit *field = pane(0)->pathBar()->field();
            QTRY_VERIFY(field->hasFocus());
            QCOMPARE(field->selectedText(), path("work"));
            QTest::keyClicks(field, QStringLiteral("~/Documents"));
            QTest::keyClick(field, Qt::Key_Return);
            QTRY_COMPARE(tab(0)->currentUrl(), url("Documents"));
            QCOMPARE(tab(0)->pathBarMode(), PathBarMode::breadcrumb);
            QTRY_VERIFY(qobject_cast<FileTableView *>(QApplication::focusWidget()));
        });
        row("columns: F2 renames", Qt::Key_F2, [this] { opened<NameDialog>("renameDialog"); });
        row("columns: Delete asks to trash", Qt::Key_Delete, [this] { opened<QMessageBox>("trashConfirmation"); });
        row("columns: F5 copies across", Qt::Key_F5, [this] { QTRY_VERIFY(exists("Documents/a.txt")); });
        row("columns: F7 asks for a folder", Qt::Key_F7, [this] { opened<NameDialog>("newFolderDialog"); });
        row("columns: Ctrl+D duplicates", Qt::CTRL | Qt::Key_D, [this] { QTRY_COMPARE(names("work").size(), 5); });
        row("sidebar: Ctrl+T opens a tab", Qt::CTRL | Qt::Key_T, [this] { QCOMPARE(pane(0)->pane()->tabs().size(), 2); });
        row("sidebar: Ctrl+P opens the finder", Qt::CTRL | Qt::Key_P, [this] { QTRY_VERIFY(pane(0)->list()->fuzzyFinder()); });
        row("sidebar: Ctrl+F opens the filter", Qt::CTRL | Qt::Key_F, [this] { QVERIFY(pane(0)->list()->filterField()->hasFocus()); });
        row("sidebar: Delete trashes nothing", Qt::Key_Delete, [this] { QVERIFY(!pane(0)->findChild<QMessageBox *>() && exists("work/a.txt")); });
        row("sidebar: Shift+Delete deletes nothing", Qt::SHIFT | Qt::Key_Delete, [this] { QVERIFY(!pane(0)->findChild<QMessageBox *>()); });
        row("sidebar: Space previews nothing", Qt::Key_Space, [this] { QVERIFY(!pane(0)->findChild<PreviewDialog *>()); });
        row("sidebar: F2 renames nothing", Qt::Key_F2, [this] { QVERIFY(!pane(0)->findChild<NameDialog *>()); });
    }
    void keysWhereTheKeyboardIs()
    {
        QFETCH(QString, where);
        QFETCH(int, key);
        QFETCH(Step, check);
        openWindow();
        show(0, QStringLiteral("work/sub"));
        tab(0)->goBack();
        QTRY_VERIFY(!tab(0)->isLoading());
        QWidget *target = m_app->window()->sidebar()->places();
        if (where == QLatin1String("columns")) {
            tab(0)->setViewMode(ViewMode::column);
            ColumnBrowserView *browser = nullptr;
            QTRY_VERIFY((browser = pane(0)->columnBrowser()) && !browser->model()->columns().isEmpty()
                        && !browser->model()->columns().first().isLoading);
            browser->model()->select(url(QStringLiteral("work/a.txt")), 0, SelectMode::single);
            browser->focusActiveColumn();
            target = browser->columnList(0);
        } else {
            select({QStringLiteral("a.txt")});
            if (where == QLatin1String("list"))
                target = pane(0)->list()->table();
            target->setFocus();
        }
        QTRY_VERIFY(target->hasFocus());
        const QKeyCombination pressed = QKeyCombination::fromCombined(key);
        if (key == Qt::BackButton || key == Qt::ForwardButton)
            QTest::mouseClick(pane(0)->list()->table()->viewport(), Qt::MouseButton(key));
        else
            QTest::keyClick(target, pressed.key(), pressed.keyboardModifiers());
        check();
        QTRY_VERIFY(!pane(0)->actions()->isBusy());
    }

private:
    TestDir m_dir;
    FakePrograms m_programs{m_dir, {QStringLiteral("xdg-open")}};
    std::unique_ptr<TallowmereApp> m_app;
};

QTEST_MAIN(TestAppMenus)
#include "tst_appmenus.moc"
