// The whole window driven as a user would, with key presses and clicks on the real widgets,
// over real files in a temporary home: focus between panes, the path field, the folder given on
// the command line, the language, closing the window while a transfer runs or right after one,
// and names that look like markup or shortcut keys.

#include "appmenus.h"
#include "appsettings.h"
#include "appwindow.h"
#include "breadcrumbbar.h"
#include "contextmenubuilder.h"
#include "dialoghost.h"
#include "diskfacts.h"
#include "favoritesstore.h"
#include "filejob.h"
#include "filejobqueue.h"
#include "filelistview.h"
#include "filetableview.h"
#include "iconcache.h"
#include "paneactions.h"
#include "pathbarview.h"
#include "settingsview.h"
#include "statusbarview.h"
#include "theme.h"
#include "titlelineview.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSemaphore>
#include <QSettings>
#include <QSignalSpy>
#include <QSplitter>
#include <QTest>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QToolButton>

#include <memory>

class TestContentView : public QObject
{
    Q_OBJECT

    QString home() const { return m_dir.path(QStringLiteral(".home")); }
    FilePath homeUrl(const QString &relative = {}) const
    {
        return FilePath::fromString(relative.isEmpty() ? home() : home() + QLatin1Char('/') + relative);
    }

    // Selects `name` in the left pane and presses `key` in its list; true once the transfer
    // has ended (its reloads only just started).
    static bool transfer(TallowmereApp *app, const QString &name, Qt::Key key)
    {
        TabModel *left = tabOf(app, 0);
        left->setSelection({left->currentUrl().pathAppended(name)});
        if (!QTest::qWaitFor([left] { return left->selectedItems().size() == 1; }))
            return false;
        FileTableView *table = paneOf(app, 0)->list()->table();
        table->setFocus();
        QTest::keyClick(table, key);
        PaneActions *actions = paneOf(app, 0)->actions();
        return QTest::qWaitFor([actions] { return !actions->isBusy(); }, 20000);
    }

    // The window over the home laid out in initTestCase(); false when it never showed.
    bool open()
    {
        m_app = openWindow();
        return m_app != nullptr;
    }
    PaneView *pane(int index) const { return paneOf(m_app.get(), index); }
    TabModel *tab(int index) const { return tabOf(m_app.get(), index); }
    WorkspaceModel *workspace() const { return m_app->environment().workspace; }
    AppSettings *settings() const { return m_app->environment().settings; }

private Q_SLOTS:
    void initTestCase()
    {
        prepareProgramIn(m_dir);
        m_dir.file(QStringLiteral(".home/Documents/report.txt"), QByteArray(1000, 'r'));
        m_dir.file(QStringLiteral(".home/Documents/notes.md"), QByteArray(2500, 'n'));
        m_dir.dir(QStringLiteral(".home/Documents/photos"));
        QVERIFY(QFile::link(QStringLiteral("Documents"), m_dir.path(QStringLiteral(".home/Notes"))));
        m_dir.dir(QStringLiteral(".home/Projects/tallow"));
        m_dir.file(QStringLiteral(".home/Projects/tallow/") + longName, "x");
        m_dir.file(QStringLiteral(".home/.hidden"), "h");
    }

    void init()
    {
        // Each test starts from default settings and no bookmarks.
        QSettings().clear();
    }

    void cleanup() { m_app.reset(); }

    // Keys and clicks move the active pane, which is told by the accent line along its top; the
    // other has none.
    void focusKeysAndClicksMoveTheActivePane()
    {
        QVERIFY(open());
        const QRgb accent = Theme::daziduvEdiv().accent.rgb();
        const auto activeIs = [&](int active) {
            QCOMPARE(workspace()->activePaneID(), workspace()->panes().at(active)->id());
            for (int side : {0, 1}) {
                const QImage shot = pane(side)->grab().toImage();
                for (int y = 0; y < PaneView::activeLineWidth * shot.devicePixelRatio(); ++y)
                    QCOMPARE(shot.pixel(shot.width() / 2, y) == accent, side == active);
            }
        };
        pane(0)->focusContent();
        activeIs(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::ControlModifier);
        activeIs(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
        activeIs(1);
        QTRY_VERIFY(pane(1)->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        activeIs(0);
        // A click anywhere in a pane makes it active.
        QTest::mouseClick(pane(1)->statusBar(), Qt::LeftButton);
        activeIs(1);
        // A filter closed by going to another folder, or by the funnel button (here with the
        // left pane alone), hands the keyboard back to its own list, not to the other pane nor
        // to the hidden field.
        for (int side : {1, 0}) {
            FileListView *list = pane(side)->list();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            QTRY_VERIFY(list->filterField()->hasFocus());
            QTest::keyClicks(list->filterField(), QStringLiteral("no"));
            if (side == 1)
                tab(1)->navigate(homeUrl("Documents"));
            else
                pane(0)->findChild<QToolButton *>(QStringLiteral("filterButton"))->click();
            QCOMPARE(QApplication::focusWidget(), list->table());
            QCOMPARE(workspace()->activePaneID(), workspace()->panes().at(side)->id());
            settings()->setRightPaneHidden(true);
        }
    }

    void pathFieldFollowsWhatIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        QTest::newRow("folder") << "~/Projects" << "Projects" << "";
        QTest::newRow("file") << "~/Documents/notes.md" << "Documents" << "Documents/notes.md";
        QTest::newRow("file in a linked folder") << "~/Notes/notes.md" << "Notes" << "Documents/notes.md";
        QTest::newRow("missing") << "~/nowhere" << "" << "";
        QTest::newRow("blank") << "   " << "" << "";
    }
    void pathFieldFollowsWhatIsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        QVERIFY(open());
        TabModel *left = tab(0);
        PathBarView *bar = pane(0)->pathBar();
        bar->modeButton()->click();
        QLineEdit *field = bar->field();
        QTRY_VERIFY(field->isVisible());
        QCOMPARE(field->text(), home());
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, typed);
        QSignalSpy answered(left, &TabModel::typedPathAnswered);
        QTest::keyClick(field, Qt::Key_Return);
        QVERIFY(answered.wait());
        const QString expected = folder.isEmpty() ? home() : home() + QLatin1Char('/') + folder;
        QCOMPARE(left->history().current(), FilePath::fromString(expected));
        QCOMPARE(field->text(), expected);
        QCOMPARE(left->pathBarMode(), PathBarMode::text);
        if (!selected.isEmpty()) {
            QCOMPARE(left->selection(), QSet<FilePath>{homeUrl(selected)});
            QTRY_COMPARE(left->selectedItems().size(), 1);
        }
    }

    // The folder given on the command line is its bytes, as the shell left them: nothing is
    // decoded, trimmed or unquoted. A relative one is found from the working folder.
    void commandLineArgumentIsTakenAsIs_data()
    {
        QTest::addColumn<QByteArray>("argument");
        QTest::addColumn<QByteArray>("folder"); // below home, made first
        QTest::addColumn<QByteArray>("selected");
        const QByteArray odd = " 'caf\xe9\\ x' ";
        QTest::newRow("name not UTF-8, outer space, quotes, backslashes") << odd << odd << QByteArray();
        QTest::newRow("file URL") << "file://" + QFile::encodeName(home()).toPercentEncoding("/") + "/caf%E9"
                                  << QByteArray("caf\xe9") << QByteArray();
        QTest::newRow("a file: its folder, the file selected") << QByteArray("Documents/notes.md")
                                                              << QByteArray("Documents") << QByteArray("Documents/notes.md");
    }
    void commandLineArgumentIsTakenAsIs()
    {
        QFETCH(QByteArray, argument);
        QFETCH(QByteArray, folder);
        QFETCH(QByteArray, selected);
        const QByteArray base = QFile::encodeName(home()) + '/';
        const FilePath folderPath = FilePath::fromNative(QByteArray(base + folder));
        ::mkdir(folderPath.c_str(), 0755);
        const QString workingFolder = QDir::currentPath();
        QDir::setCurrent(home());
        const auto back = qScopeGuard([&] { QDir::setCurrent(workingFolder); });
        QVERIFY(open());
        TabModel *left = tab(0);
        QSignalSpy answered(left, &TabModel::typedPathAnswered);
        m_app->openArgument(argument);
        QVERIFY(answered.wait());
        QCOMPARE(left->history().current(), folderPath);
        if (!selected.isEmpty())
            QCOMPARE(left->selection(), QSet<FilePath>{FilePath::fromNative(QByteArray(base + selected))});
    }

    void languageSwitchChangesTheMenus()
    {
        QVERIFY(open());
        AppMenus *menus = m_app->menus();
        // Open windows and dialogs follow as well. The settings open over the window.
        m_app->showSettings();
        QVERIFY(QTest::qWaitForWindowExposed(m_app->settingsWindow()));
        QVERIFY(m_app->window()->frameGeometry().contains(m_app->settingsWindow()->frameGeometry().center()));
        QVERIFY(m_app->settingsWindow()->preview()->text().endsWith(home() + "/Documents"));
        pane(0)->openNewFolderDialog();
        // Qt's own menus too, here a text field's.
        const auto fieldMenu = [] {
            QLineEdit field;
            const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
            return menu->actions().constFirst()->text().section(QLatin1Char('\t'), 0, 0);
        };
        const auto shown = [&] {
            return QStringList{fieldMenu(), menus->undoAction()->text(), menus->hiddenFilesAction()->text(), menus->floatOnTopAction()->text(),
                               pane(1)->statusBar()->leadingText(),
                               pane(0)->newFolderDialog()->confirmButton()->text(),
                               m_app->settingsWindow()->windowTitle(), m_app->settingsWindow()->languagePicker()->currentText()};
        };
        settings()->setLanguage(AppLanguage::english);
        QTRY_COMPARE(shown().mid(0, 7), (QStringList{"&Undo", "Undo", "Show Hidden Files", "Float on Top", "3 items", "Create", "Settings"}));
        settings()->setLanguage(AppLanguage::japanese);
        QCOMPARE(shown(), (QStringList{"元に戻す(&U)", "取り消す", "隠しファイルを表示", "最前面に表示", "3 項目", "作成", "設定", "日本語"}));
        QTest::keyClick(m_app->settingsWindow(), Qt::Key_Escape); // the settings close with Escape
        QVERIFY(!m_app->settingsWindow()->isVisible());
        pane(0)->newFolderDialog()->reject();
        // Dates and kinds are written in the language too.
        const QAbstractItemModel *rows = pane(1)->findChild<FileTableView *>()->model();
        QTRY_VERIFY(rows->index(0, 2).data().toString().contains(QStringLiteral("年")));
        workspace()->setActivePaneID(workspace()->panes().at(1)->id());
        tab(1)->setSelection({homeUrl("Documents/report.txt")});
        QTRY_VERIFY(m_app->window()->titleLine()->titleText().contains(QStringLiteral("年")));
        QVERIFY(!m_app->window()->titleLine()->titleText().contains(QStringLiteral("document")));
        QApplication::setActiveWindow(m_app->window()); // the closed dialog had it
        QTest::keyClick(m_app->window(), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(settings()->showHidden());
        QCOMPARE(menus->hiddenFilesAction()->text(), QStringLiteral("隠しファイルを隠す"));
        // The hidden-entry switch reaches every tab.
        QVERIFY(tab(0)->showHidden() && tab(1)->showHidden());
        settings()->setLanguage(AppLanguage::english);
        QCOMPARE(fieldMenu(), "&Undo");
    }

    // A name is shown as it is spelt: its "&" marks no shortcut key and its tags are no markup.
    void namesShowAsSpelt()
    {
        const QString name = QStringLiteral("R&D <b>x");
        const auto cleanUp = qScopeGuard([&] { QDir(home() + QLatin1Char('/') + name).removeRecursively(); });
        const QString folder = QFileInfo(m_dir.file(QStringLiteral(".home/%1/%1/%1").arg(name), "x")).path();
        QVERIFY(open());
        PaneView *left = pane(0);
        tab(0)->navigate(FilePath::fromString(folder));
        QTRY_VERIFY(m_app->window()->titleLine()->titleText().startsWith(name) && left->list()->table()->model()->rowCount());
        left->dialogs()->showError(name);
        QMenu menu;
        ContextMenuBuilder::fill(&menu, {{ContextMenuEntry::Command::openWithApplication, name, [] {}, {}, {}}},
                                 m_app->environment().commands, &menu);
        // What a reader sees of a text given to a tooltip, a label or a button.
        const auto tip = [](const QString &text) {
            return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
        };
        const auto label = [&](const QLabel *l) { return l->textFormat() == Qt::PlainText ? l->text() : tip(l->text()); };
        const auto button = [](QString text) {
            return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
        };
        const auto *alert = left->findChild<QMessageBox *>(QStringLiteral("errorAlert"));
        const std::pair<const char *, QString> places[] = {
            {"crumb", button(left->pathBar()->breadcrumb()->findChildren<QToolButton *>().last()->text())},
            {"title line", label(m_app->window()->titleLine()->findChild<QLabel *>(QStringLiteral("titleLine")))},
            {"list tooltip", tip(left->list()->table()->model()->index(0, 0).data(Qt::ToolTipRole).toString())},
            {"error alert", label(alert->findChild<QLabel *>(QStringLiteral("qt_msgbox_label")))},
            {"Open With entry", button(menu.actions().first()->text())},
        };
        QStringList misread;
        for (const auto &[place, shown] : places) {
            if (!shown.startsWith(name))
                misread << QLatin1String(place);
        }
        QCOMPARE(misread.join(QStringLiteral(", ")), QString());
    }

    void closeDuringATransferAsks_data()
    {
        QTest::addColumn<QString>("answer"); // a button's text, or the key pressed
        QTest::addColumn<bool>("closes");
        QTest::newRow("Keep Working") << "Keep Working" << false;
        QTest::newRow("Stop and Close") << "Stop and Close" << true;
        QTest::newRow("Return keeps working") << "Return" << false;
        QTest::newRow("Escape keeps working") << "Escape" << false;
    }
    void closeDuringATransferAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        const QString incoming = m_dir.dir(QStringLiteral(".home/Incoming"));
        const auto cleanUp = qScopeGuard([&] { QDir(incoming).removeRecursively(); });
        QVERIFY(open());
        PaneActions *actions = pane(0)->actions();
        // A job of the other pane holds the window's one queue, so the copy waits behind it. The
        // latch is shared with the job, so that a failed check lets it go and the window can close.
        const auto release = std::make_shared<QSemaphore>();
        const auto unblock = qScopeGuard([release] { release->release(); });
        pane(1)->actions()->jobs()->enqueue(new FileJob([release](FileJob::Context &) { release->acquire(); }));
        actions->requestTransfer(actions->fileItems({homeUrl("Projects")}), FilePath::fromString(incoming), PaneActions::TransferOperation::copy);
        QTest::qWait(100);
        QVERIFY(!QFileInfo::exists(incoming + QStringLiteral("/Projects")));
        // The prompt runs its own event loop inside close(); it is answered from there.
        bool asked = false;
        QTimer answering;
        connect(&answering, &QTimer::timeout, this, [&] {
            auto *box = m_app->window()->findChild<QMessageBox *>(QStringLiteral("closeWhileWorking"));
            if (box && box->isVisible() && !std::exchange(asked, true))
                answerBox(box, answer);
        });
        answering.start(10);
        QCOMPARE(m_app->window()->close(), closes);
        QVERIFY(asked);
        QCOMPARE(m_app->window()->isVisible(), !closes);
        release->release();
        QTRY_VERIFY(!actions->isBusy());
        QCOMPARE(QFileInfo::exists(incoming + QStringLiteral("/Projects/tallow/") + longName), !closes);
    }

    // A window closed right after a transfer, while the reloads the transfer started and the
    // icon fetches of the new rows are still under way, over and over: under the address
    // sanitizer any view reached once its members are gone fails the run. Each round copies (F5)
    // and moves (F6) a file no earlier round has seen, so its icon is never cached yet. A handful
    // of rounds by default; TEARDOWN_ROUNDS asks for more (the sanitized build runs 200).
    void closedAfterTransfersWithWorkInFlight()
    {
        const int asked = qEnvironmentVariableIntValue("TEARDOWN_ROUNDS");
        const int rounds = asked > 0 ? asked : 5;
        const FilePath from = FilePath::fromString(m_dir.dir(QStringLiteral("from")));
        const FilePath to = FilePath::fromString(m_dir.dir(QStringLiteral("to")));
        for (int round = 0; round < rounds; ++round) {
            const QString copied = QStringLiteral("copied %1.txt").arg(round);
            const QString moved = QStringLiteral("moved %1.dat").arg(round);
            m_dir.file(QStringLiteral("from/") + copied, "c");
            m_dir.file(QStringLiteral("from/") + moved, "m");
            auto app = openWindow({900, 500});
            QVERIFY(app);
            tabOf(app.get(), 0)->navigate(from);
            tabOf(app.get(), 1)->navigate(to);
            QVERIFY(panesListed(app.get()));
            QVERIFY(transfer(app.get(), copied, Qt::Key_F5));
            QVERIFY(transfer(app.get(), moved, Qt::Key_F6));
            // One more turn of the event loop: the reloads run, the new rows ask for icons.
            QTimer::singleShot(0, this, [&app] { app.reset(); });
            QTRY_VERIFY(!app);
            QVERIFY(m_dir.exists(QStringLiteral("to/") + copied) && m_dir.exists(QStringLiteral("to/") + moved));
            QVERIFY(m_dir.exists(QStringLiteral("from/") + copied) && !m_dir.exists(QStringLiteral("from/") + moved));
        }
    }

private:
    TestDir m_dir;
    std::unique_ptr<TallowmereApp> m_app;
    const QString longName = QStringLiteral("minutes of the tallow committee, spring meeting, with every amendment "
                                            "and every objection raised by the members, final.txt");
};

QTEST_MAIN(TestContentView)
#include "tst_contentview.moc"
