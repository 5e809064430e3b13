// The whole window driven as a user would, with key presses and clicks on the real widgets,
// over real files in a temporary home: focus between panes, the split and the right pane, tab
// chips, the path field, the status bar, new folders with undo, bookmarks, the language,
// closing the window while a transfer runs, and names that look like markup or shortcut keys.

#include "appmenus.h"
#include "appwindow.h"
#include "appsettings.h"
#include "breadcrumbbar.h"
#include "columnbrowserview.h"
#include "contextmenubuilder.h"
#include "datetext.h"
#include "dialoghost.h"
#include "diskfacts.h"
#include "favoritesstore.h"
#include "filejob.h"
#include "filejobqueue.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "namedialog.h"
#include "paneactions.h"
#include "panesplitview.h"
#include "pathbarview.h"
#include "settingsview.h"
#include "sidebarview.h"
#include "statusbarview.h"
#include "tabchip.h"
#include "tabstripview.h"
#include "theme.h"
#include "titlelineview.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QHeaderView>
#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
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
#include <QWheelEvent>

#include <memory>

class TestContentView : public QObject
{
    Q_OBJECT

    QString home() const { return m_dir.path(QStringLiteral(".home")); }
    FilePath homeUrl(const QString &relative = {}) const
    {
        return FilePath::fromString(relative.isEmpty() ? home() : home() + QLatin1Char('/') + relative);
    }

    static WorkspaceModel *workspace(TallowmereApp *app) { return app->environment().workspace; }
    static AppSettings *settings(TallowmereApp *app) { return app->environment().settings; }

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

    // Keys and clicks move the active pane, which is told by the accent line along its top; the
    // other has none.
    void focusKeysAndClicksMoveTheActivePane()
    {
        auto app = openWindow();
        QVERIFY(app);
        const QRgb accent = Theme::daziduvEdiv().accent.rgb();
        const auto activeIs = [&](int active) {
            QCOMPARE(workspace(app.get())->activePaneID(), workspace(app.get())->panes().at(active)->id());
            for (int side : {0, 1}) {
                const QImage shot = paneOf(app.get(), side)->grab().toImage();
                for (int y = 0; y < PaneView::activeLineWidth * shot.devicePixelRatio(); ++y)
                    QCOMPARE(shot.pixel(shot.width() / 2, y) == accent, side == active);
            }
        };
        paneOf(app.get(), 0)->focusContent();
        activeIs(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Left, Qt::ControlModifier);
        activeIs(0);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right, Qt::ControlModifier);
        activeIs(1);
        QTRY_VERIFY(paneOf(app.get(), 1)->isAncestorOf(QApplication::focusWidget()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        activeIs(0);
        // A click anywhere in a pane makes it active.
        QTest::mouseClick(paneOf(app.get(), 1)->statusBar(), Qt::LeftButton);
        activeIs(1);
        // A filter closed by going to another folder, or by the funnel button (here with the
        // left pane alone), hands the keyboard back to its own list, not to the other pane nor
        // to the hidden field.
        for (int side : {1, 0}) {
            FileListView *list = paneOf(app.get(), side)->list();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_F, Qt::ControlModifier);
            QTRY_VERIFY(list->filterField()->hasFocus());
            QTest::keyClicks(list->filterField(), QStringLiteral("no"));
            if (side == 1)
                tabOf(app.get(), 1)->navigate(homeUrl(QStringLiteral("Documents")));
            else
                paneOf(app.get(), 0)->findChild<QToolButton *>(QStringLiteral("filterButton"))->click();
            QCOMPARE(QApplication::focusWidget(), list->table());
            QCOMPARE(workspace(app.get())->activePaneID(), workspace(app.get())->panes().at(side)->id());
            settings(app.get())->setRightPaneHidden(true);
        }
    }

    // The stored split, the right pane hidden and shown again, and a drag stored back.
    void rightPaneHidesAndComesBackWithItsSplit()
    {
        auto app = openWindow();
        QVERIFY(app);
        settings(app.get())->setPaneSplitFraction(0.3);
        PaneSplitView *split = app->window()->workspaceView()->split();
        const int leftBefore = paneOf(app.get(), 0)->width();
        QCOMPARE(leftBefore, qRound(split->width() * 0.3));
        QAction *toggle = app->menus()->rightPaneAction();
        QCOMPARE(toggle->text(), QStringLiteral("Hide Right Pane"));
        QTest::keyClick(app->window(), Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
        QVERIFY(settings(app.get())->rightPaneHidden());
        QCOMPARE(paneOf(app.get(), 0)->width(), split->width());
        QVERIFY(!paneOf(app.get(), 1)->isVisible());
        QCOMPARE(toggle->text(), QStringLiteral("Show Right Pane"));
        QCOMPARE(app->window()->rightPaneButton()->toolTip(), QStringLiteral("Show Right Pane"));
        app->window()->rightPaneButton()->click();
        QVERIFY(!settings(app.get())->rightPaneHidden());
        QCOMPARE(paneOf(app.get(), 0)->width(), leftBefore);
        // Where the divider is dragged to is stored once it is let go; the drag itself is checked
        // on the split alone.
        Q_EMIT split->fractionDragged(0.25);
        QCOMPARE(paneOf(app.get(), 0)->width(), qRound(split->width() * 0.25));
        QCOMPARE(QSettings().value("paneSplitFraction").toDouble(), 0.3);
        Q_EMIT split->dragEnded();
        QCOMPARE(QSettings().value("paneSplitFraction").toDouble(), 0.25);
    }

    void tabChipsTheirCloseButtonsAndOverflow()
    {
        auto app = openWindow();
        QVERIFY(app);
        TabStripView *strip = paneOf(app.get(), 0)->tabStrip();
        QCOMPARE(strip->chips().size(), 1);
        QVERIFY(!strip->chips().first()->closeButton());
        QCOMPARE(strip->chips().first()->title(), QStringLiteral(".home"));
        strip->addButton()->click();
        PaneModel *model = paneOf(app.get(), 0)->pane();
        QCOMPARE(model->tabs().size(), 2);
        QTRY_COMPARE(strip->chips().size(), 2);
        for (TabChip *chip : strip->chips())
            QVERIFY(chip->closeButton());
        QVERIFY(strip->chips().at(1)->isActive());
        model->activeTab()->navigate(homeUrl(QStringLiteral("Projects")));
        QTRY_COMPARE(strip->chips().at(1)->title(), QStringLiteral("Projects"));
        QTRY_COMPARE(strip->height(), paneOf(app.get(), 1)->tabStrip()->height()); // the header keeps its height
        QTest::mouseClick(strip->chips().at(0), Qt::LeftButton);
        QCOMPARE(model->activeTab(), model->tabs().at(0));
        strip->chips().at(1)->closeButton()->click();
        QTRY_COMPARE(model->tabs().size(), 1);
        QTRY_COMPARE(strip->chips().size(), 1);
        QVERIFY(!strip->chips().first()->closeButton());
        // Nine tabs don't fit a 1,200-pixel window: the active one is scrolled into view, "+"
        // stays reachable, and the wheel scrolls the strip.
        for (int i = 0; i < 8; ++i)
            model->addTab(homeUrl(QStringLiteral("Projects/tallow")), false);
        const auto shown = [strip](QWidget *widget) {
            const QRect where(widget->mapTo(strip, QPoint(0, 0)), widget->size());
            return strip->rect().contains(where) && widget->isVisible();
        };
        QTRY_COMPARE(strip->chips().size(), 9);
        QTRY_VERIFY(shown(strip->chips().last()));
        QVERIFY(shown(strip->addButton()));
        QVERIFY(!shown(strip->chips().first()));
        QWheelEvent up(QPointF(10, 10), strip->mapToGlobal(QPointF(10, 10)), {}, QPoint(0, 120 * 20), Qt::NoButton, {},
                       Qt::NoScrollPhase, false);
        QApplication::sendEvent(strip->viewport(), &up);
        QVERIFY(shown(strip->chips().first()));
        model->setActiveTabID(model->tabs().at(7)->id());
        QTRY_VERIFY(shown(strip->chips().at(7)));
        // A new font reaches the chips.
        settings(app.get())->setFontSize(settings(app.get())->fontSize() + 3);
        QTRY_COMPARE(strip->chips().first()->font(), settings(app.get())->uiFont());
    }

    void pathFieldFollowsWhatIsTyped_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("selected");
        QTest::newRow("folder") << QStringLiteral("~/Projects") << QStringLiteral("Projects") << QString();
        QTest::newRow("file") << QStringLiteral("~/Documents/notes.md") << QStringLiteral("Documents")
                              << QStringLiteral("Documents/notes.md");
        QTest::newRow("file in a linked folder") << QStringLiteral("~/Notes/notes.md") << QStringLiteral("Notes")
                                                 << QStringLiteral("Documents/notes.md");
        QTest::newRow("missing") << QStringLiteral("~/nowhere") << QString() << QString();
        QTest::newRow("blank") << QStringLiteral("   ") << QString() << QString();
    }
    void pathFieldFollowsWhatIsTyped()
    {
        QFETCH(QString, typed);
        QFETCH(QString, folder);
        QFETCH(QString, selected);
        auto app = openWindow();
        QVERIFY(app);
        TabModel *left = tabOf(app.get(), 0);
        PathBarView *bar = paneOf(app.get(), 0)->pathBar();
        bar->modeButton()->click();
        QCOMPARE(left->pathBarMode(), PathBarMode::text);
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
        auto app = openWindow();
        QVERIFY(app);
        TabModel *left = tabOf(app.get(), 0);
        QSignalSpy answered(left, &TabModel::typedPathAnswered);
        app->openArgument(argument);
        QVERIFY(answered.wait());
        QCOMPARE(left->history().current(), folderPath);
        if (!selected.isEmpty())
            QCOMPARE(left->selection(), QSet<FilePath>{FilePath::fromNative(QByteArray(base + selected))});
    }

    // The window's keys reach it while the list has the keyboard; the list keeps its own.
    void windowKeysWorkFromTheList_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("folder"); // where the left tab is afterwards, under home
        QTest::addColumn<QString>("effect");
        const auto row = [](const char *name, QKeyCombination key, const char *folder, const char *effect = "") {
            QTest::newRow(name) << int(key.key()) << key.keyboardModifiers() << QString(folder) << QString(effect);
        };
        const Qt::KeyboardModifiers alt = Qt::AltModifier, ctrl = Qt::ControlModifier;
        // The left tab was at home, Projects and Projects/tallow, and went back to Projects.
        // Alt+Left, Alt+Right, Ctrl+Tab, Ctrl+L and Ctrl+Q from the list are pressed by the
        // end-to-end run (tests/e2e/filecommands.sh).
        row("Alt+Home", alt | Qt::Key_Home, "");
        row("Ctrl+Shift+. as typed", ctrl | Qt::ShiftModifier | Qt::Key_Greater, "Projects", "hidden");
        row("Ctrl+Shift+.", ctrl | Qt::ShiftModifier | Qt::Key_Period, "Projects", "hidden");
        row("Ctrl+A stays the list's", ctrl | Qt::Key_A, "Projects", "all selected");
        row("mouse back button", Qt::Key(Qt::BackButton), "", "mouse");
        row("mouse forward button", Qt::Key(Qt::ForwardButton), "Projects/tallow", "mouse");
        // The same from a column of the column view.
        row("columns: Alt+Left", alt | Qt::Key_Left, "", "columns");
        row("columns: Ctrl+Q", ctrl | Qt::Key_Q, "Projects", "columns quit");
        row("columns: Ctrl+L", ctrl | Qt::Key_L, "Projects", "columns location");
    }
    void windowKeysWorkFromTheList()
    {
        QFETCH(int, key);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, folder);
        QFETCH(QString, effect);
        auto app = openWindow();
        QVERIFY(app);
        TabModel *left = tabOf(app.get(), 0);
        left->navigate(homeUrl(QStringLiteral("Projects")));
        left->navigate(homeUrl(QStringLiteral("Projects/tallow")));
        left->goBack();
        QTRY_VERIFY(!left->isLoading());
        if (effect.startsWith(QLatin1String("columns"))) {
            left->setViewMode(ViewMode::column);
            QTRY_VERIFY(paneOf(app.get(), 0)->columnBrowser() && paneOf(app.get(), 0)->columnBrowser()->columnCount() > 0);
            QTRY_VERIFY(paneOf(app.get(), 0)->columnBrowser()->columnList(0)->isVisible());
            effect = effect.mid(QStringLiteral("columns ").size());
        }
        paneOf(app.get(), 0)->focusContent();
        QWidget *list = QApplication::focusWidget();
        QVERIFY(qobject_cast<FileTableView *>(list));
        if (effect == QLatin1String("mouse"))
            QTest::mouseClick(static_cast<FileTableView *>(list)->viewport(), Qt::MouseButton(key));
        else
            QTest::keyClick(list, Qt::Key(key), modifiers);
        QCOMPARE(left->currentUrl(), homeUrl(folder));
        if (effect == QLatin1String("hidden"))
            QVERIFY(settings(app.get())->showHidden());
        if (effect == QLatin1String("quit"))
            QTRY_VERIFY(!app->window()->isVisible());
        if (effect == QLatin1String("all selected"))
            QCOMPARE(left->selection().size(), 1);
        if (effect != QLatin1String("location"))
            return;
        // The field opens for this one edit: typing a path and Return goes there, and the
        // breadcrumb and the list take over again.
        QLineEdit *field = paneOf(app.get(), 0)->pathBar()->field();
        QTRY_VERIFY(field->hasFocus());
        QCOMPARE(field->selectedText(), home() + QStringLiteral("/Projects"));
        QTest::keyClicks(field, QStringLiteral("~/Documents"));
        QTest::keyClick(field, Qt::Key_Return);
        QTRY_COMPARE(left->currentUrl(), homeUrl(QStringLiteral("Documents")));
        QCOMPARE(left->pathBarMode(), PathBarMode::breadcrumb);
        QTRY_VERIFY(qobject_cast<FileTableView *>(QApplication::focusWidget()));
    }

    // At its first size on a full-HD screen the window shows each pane's dates whole, in either
    // language.
    void datesAreWholeAtTheFirstSize_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QSize>("screen");
        QTest::newRow("English, large screen") << int(AppLanguage::english) << QSize(1920, 1080);
        QTest::newRow("English, small laptop") << int(AppLanguage::english) << QSize(1366, 768);
        QTest::newRow("Japanese, small laptop") << int(AppLanguage::japanese) << QSize(1366, 768);
    }
    void datesAreWholeAtTheFirstSize()
    {
        QFETCH(int, language);
        QFETCH(QSize, screen);
        // A date as wide as dates come: a two-digit day and an hour past ten, whatever the clock says now.
        const qint64 wide = QDateTime(QDate(2024, 9, 28), QTime(22, 59)).toSecsSinceEpoch();
        setTimes(m_dir.path(QStringLiteral(".home/Projects")), wide, wide);
        auto app = openWindow();
        QVERIFY(app);
        settings(app.get())->setLanguage(AppLanguage(language));
        app->window()->resize(ContentView::firstRunSize(screen));
        for (int side : {0, 1}) {
            FileTableView *table = paneOf(app.get(), side)->list()->table();
            QTRY_VERIFY(table->model()->rowCount() > 0);
            QHeaderView *header = table->header();
            const int needed = std::max(header->sectionSizeHint(FileTableModel::ModifiedColumn),
                                        static_cast<QAbstractItemView *>(table)->sizeHintForColumn(FileTableModel::ModifiedColumn));
            QTRY_VERIFY2(header->sectionSize(FileTableModel::ModifiedColumn) >= needed,
                         qPrintable(QStringLiteral("%1 < %2").arg(header->sectionSize(FileTableModel::ModifiedColumn)).arg(needed)));
        }
    }

    void statusBarCountsAndSums()
    {
        auto app = openWindow();
        QVERIFY(app);
        TabModel *right = tabOf(app.get(), 1);
        StatusBarView *status = paneOf(app.get(), 1)->statusBar();
        QTRY_COMPARE(status->leadingText(), QStringLiteral("3 items"));
        QTRY_VERIFY(status->freeText().endsWith(QStringLiteral(" free")));
        right->setSelection({homeUrl(QStringLiteral("Documents/report.txt")), homeUrl(QStringLiteral("Documents/notes.md")),
                             homeUrl(QStringLiteral("Documents/photos"))});
        QCOMPARE(status->leadingText(), QStringLiteral("3 selected \u30FB 3.5 kB total"));
        right->setSelection({homeUrl(QStringLiteral("Documents/photos"))});
        QCOMPARE(status->leadingText(), QStringLiteral("1 selected \u30FB 0 bytes total"));
        // In the column view it sums what the columns have selected.
        right->setViewMode(ViewMode::column);
        QList<FileItem> files = right->items();
        files.removeIf([](const FileItem &item) { return item.isDirectory; });
        right->setColumnSelection(files);
        QCOMPARE(status->leadingText(), QStringLiteral("2 selected \u30FB 3.5 kB total"));
        right->setViewMode(ViewMode::list);
        // The filter hides entries but the count is of all of them.
        right->setFilterQuery(QStringLiteral("notes"));
        right->setSelection({});
        QCOMPARE(status->leadingText(), QStringLiteral("3 items"));
        right->navigate(homeUrl(QStringLiteral("Projects/tallow")));
        QTRY_COMPARE(status->leadingText(), QStringLiteral("1 item"));
    }

    void newFolderIsCreatedUndoneOrRefused()
    {
        auto app = openWindow();
        QVERIFY(app);
        PaneView *left = paneOf(app.get(), 0);
        left->findChild<QToolButton *>(QStringLiteral("newFolderButton"))->click();
        NameDialog *dialog = left->newFolderDialog();
        QVERIFY(dialog);
        QTRY_VERIFY(dialog->isVisible());
        QVERIFY(!dialog->confirmButton()->isEnabled());
        QTest::keyClicks(dialog->field(), QStringLiteral("  fresh  "));
        QTest::keyClick(dialog->field(), Qt::Key_Return);
        QTRY_VERIFY(m_dir.exists(QStringLiteral(".home/fresh")));
        QTRY_VERIFY(!left->newFolderDialog());
        QAction *undo = app->menus()->undoAction();
        QTRY_VERIFY(undo->isEnabled());
        undo->trigger();
        QTRY_VERIFY(!m_dir.exists(QStringLiteral(".home/fresh")));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!app->menus()->redoAction()->isEnabled());
        // A name already taken is refused, and offered again for another try.
        left->openNewFolderDialog();
        dialog = left->newFolderDialog();
        dialog->setName(QStringLiteral("Documents"));
        dialog->confirmButton()->click();
        QTRY_VERIFY(!left->newFolderDialog());
        QTRY_VERIFY(left->findChild<QMessageBox *>(QStringLiteral("errorAlert")));
        left->openNewFolderDialog();
        QCOMPARE(left->newFolderDialog()->name(), QStringLiteral("Documents"));
    }

    // The sidebar marks the place the active tab shows, and nothing once it shows another
    // folder; bookmarks are added, opened, removed and kept for the next run.
    void sidebarMarksThePlaceAndKeepsBookmarks()
    {
        auto app = openWindow();
        QVERIFY(app);
        SidebarView *sidebar = app->window()->sidebar();
        QListWidget *places = sidebar->places();
        QCOMPARE(places->selectedItems().size(), 1);
        QCOMPARE(places->selectedItems().first()->text(), QStringLiteral("Home"));
        sidebar->addBookmarkButton()->click();
        tabOf(app.get(), 0)->navigate(homeUrl(QStringLiteral("Projects")));
        QVERIFY(places->selectedItems().isEmpty());
        sidebar->addBookmarkButton()->click();
        sidebar->addBookmarkButton()->click(); // already there: no second row
        QListWidget *list = sidebar->bookmarks();
        QCOMPARE(list->count(), 2);
        app->environment().favorites->move({1}, 0);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Projects"));
        // A click on a bookmark opens it in the active pane, here the right one.
        workspace(app.get())->setActivePaneID(workspace(app.get())->panes().at(1)->id());
        QCOMPARE(places->selectedItems().size(), 1);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(0)).center());
        QCOMPARE(tabOf(app.get(), 1)->history().current(), homeUrl(QStringLiteral("Projects")));
        sidebar->removeBookmarkAt(0);
        QCOMPARE(list->count(), 1);
        app.reset();
        app = openWindow(); // the next run shows what was stored
        QVERIFY(app);
        QCOMPARE(app->window()->sidebar()->bookmarks()->item(0)->text(), QStringLiteral(".home"));
    }

    void languageSwitchChangesTheMenus()
    {
        auto app = openWindow();
        QVERIFY(app);
        AppMenus *menus = app->menus();
        // Open windows and dialogs follow as well. The settings open over the window.
        app->showSettings();
        QVERIFY(QTest::qWaitForWindowExposed(app->settingsWindow()));
        QVERIFY(app->window()->frameGeometry().contains(app->settingsWindow()->frameGeometry().center()));
        QVERIFY(app->settingsWindow()->preview()->text().endsWith(home() + "/Documents"));
        paneOf(app.get(), 0)->openNewFolderDialog();
        // Qt's own menus too, here a text field's.
        const auto fieldMenu = [] {
            QLineEdit field;
            const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
            return menu->actions().constFirst()->text().section(QLatin1Char('\t'), 0, 0);
        };
        const auto shown = [&] {
            return QStringList{fieldMenu(), menus->undoAction()->text(), menus->hiddenFilesAction()->text(), menus->floatOnTopAction()->text(),
                               paneOf(app.get(), 1)->statusBar()->leadingText(),
                               paneOf(app.get(), 0)->newFolderDialog()->confirmButton()->text(),
                               app->settingsWindow()->windowTitle(), app->settingsWindow()->languagePicker()->currentText()};
        };
        settings(app.get())->setLanguage(AppLanguage::english);
        QTRY_COMPARE(shown().mid(0, 7), (QStringList{"&Undo", "Undo", "Show Hidden Files", "Float on Top", "3 items", "Create", "Settings"}));
        settings(app.get())->setLanguage(AppLanguage::japanese);
        QCOMPARE(shown(), (QStringList{"元に戻す(&U)", "取り消す", "隠しファイルを表示", "最前面に表示", "3 項目", "作成", "設定", "日本語"}));
        QTest::keyClick(app->settingsWindow(), Qt::Key_Escape); // the settings close with Escape
        QVERIFY(!app->settingsWindow()->isVisible());
        paneOf(app.get(), 0)->newFolderDialog()->reject();
        // Dates and kinds are written in the language too.
        const QAbstractItemModel *rows = paneOf(app.get(), 1)->findChild<FileTableView *>()->model();
        QTRY_VERIFY(rows->index(0, 2).data().toString().contains(QStringLiteral("年")));
        workspace(app.get())->setActivePaneID(workspace(app.get())->panes().at(1)->id());
        tabOf(app.get(), 1)->setSelection({homeUrl(QStringLiteral("Documents/report.txt"))});
        QTRY_VERIFY(app->window()->titleLine()->titleText().contains(QStringLiteral("年")));
        QVERIFY(!app->window()->titleLine()->titleText().contains(QStringLiteral("document")));
        QApplication::setActiveWindow(app->window()); // the closed dialog had it
        QTest::keyClick(app->window(), Qt::Key_H, Qt::ControlModifier);
        QVERIFY(settings(app.get())->showHidden());
        QCOMPARE(menus->hiddenFilesAction()->text(), QStringLiteral("隠しファイルを隠す"));
        // The hidden-entry switch reaches every tab.
        QVERIFY(tabOf(app.get(), 0)->showHidden());
        QVERIFY(tabOf(app.get(), 1)->showHidden());
        settings(app.get())->setLanguage(AppLanguage::english);
        QCOMPARE(fieldMenu(), "&Undo");
    }

    // Floating on top keeps the window where it is; its size and the sidebar's width survive a
    // restart.
    void floatOnTopAndTheWindowsPlace()
    {
        {
            auto app = openWindow();
            QVERIFY(app);
            ContentView *window = app->window();
            const QRect before = window->geometry();
            window->sidebar()->pinButton()->click();
            QVERIFY(app->menus()->floatOnTopAction()->isChecked());
            QTRY_VERIFY(window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            QTRY_VERIFY(window->isVisible());
            QCOMPARE(window->geometry(), before);
            app->menus()->floatOnTopAction()->trigger();
            QVERIFY(!settings(app.get())->floatOnTop());
            QTRY_VERIFY(!window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
            window->resize(1000, 640);
            window->splitter()->setSizes({250, 750});
            window->close();
        }
        auto app = std::make_unique<TallowmereApp>();
        app->window()->restoreWindowState();
        app->window()->show();
        QVERIFY(QTest::qWaitForWindowExposed(app->window()));
        QCOMPARE(app->window()->size(), QSize(1000, 640));
        QCOMPARE(app->window()->splitter()->sizes().first(), 250);
    }

    void titleLineSummarisesTheSelection()
    {
        auto app = openWindow();
        QVERIFY(app);
        settings(app.get())->setLanguage(AppLanguage::english);
        WorkspaceModel *ws = workspace(app.get());
        ws->setActivePaneID(ws->panes().at(1)->id());
        TitleLineView *title = app->window()->titleLine();
        QTRY_VERIFY(title->titleText().startsWith(QStringLiteral("Documents \u00B7 Folder \u00B7 ")));
        tabOf(app.get(), 1)->setSelection({homeUrl(QStringLiteral("Documents/report.txt"))});
        QTRY_VERIFY(title->titleText().startsWith(QStringLiteral("report.txt \u00B7 ")));
        QVERIFY(title->titleText().contains(QStringLiteral("1.0 kB")));
        // The date as the list writes it, without the time.
        const QDateTime modified = QFileInfo(home() + QStringLiteral("/Documents/report.txt")).lastModified();
        QVERIFY(title->titleText().endsWith(QStringLiteral("Modified ") + DateText::date(modified)));
        // In full while the window has room, else shortened in the middle to the room there is,
        // and longer again once the window widens.
        QTRY_COMPARE(title->shownText(), title->titleText());
        tabOf(app.get(), 1)->navigate(homeUrl(QStringLiteral("Projects/tallow")));
        QTRY_VERIFY(!tabOf(app.get(), 1)->isLoading());
        tabOf(app.get(), 1)->setSelection({homeUrl(QStringLiteral("Projects/tallow/") + longName)});
        QTRY_VERIFY(title->titleText().startsWith(longName));
        const QLabel *line = title->findChild<QLabel *>(QStringLiteral("titleLine"));
        QTRY_VERIFY(title->shownText() != title->titleText());
        QVERIFY(title->shownText().startsWith(longName.left(20)));
        QVERIFY(title->shownText().endsWith(
            DateText::date(QFileInfo(home() + QStringLiteral("/Projects/tallow/") + longName).lastModified())));
        QVERIFY(line->fontMetrics().horizontalAdvance(title->shownText()) <= line->width());
        const qsizetype narrow = title->shownText().size();
        app->window()->resize(1800, 700);
        QTRY_VERIFY(title->shownText().size() > narrow + 40);
        tabOf(app.get(), 1)->navigate(homeUrl(QStringLiteral("Documents")));
        QTRY_VERIFY(!tabOf(app.get(), 1)->isLoading());
        tabOf(app.get(), 1)->setSelection({homeUrl(QStringLiteral("Documents/report.txt")), homeUrl(QStringLiteral("Documents/notes.md")),
                                         homeUrl(QStringLiteral("Documents/photos"))});
        QTRY_COMPARE(title->titleText(), QStringLiteral("3 items selected"));
    }

    // A name is shown as it is spelt: its "&" marks no shortcut key and its tags are no markup.
    void namesShowAsSpelt()
    {
        const QString name = QStringLiteral("R&D <b>x");
        const auto cleanUp = qScopeGuard([&] { QDir(home() + QLatin1Char('/') + name).removeRecursively(); });
        const QString folder = QFileInfo(m_dir.file(QStringLiteral(".home/%1/%1/%1").arg(name), "x")).path();
        auto app = openWindow();
        QVERIFY(app);
        PaneView *pane = paneOf(app.get(), 0);
        tabOf(app.get(), 0)->navigate(FilePath::fromString(folder));
        QTRY_VERIFY(app->window()->titleLine()->titleText().startsWith(name) && pane->list()->table()->model()->rowCount());
        pane->dialogs()->showError(name);
        QMenu menu;
        ContextMenuBuilder::fill(&menu, {{ContextMenuEntry::Command::openWithApplication, name, [] {}}},
                                 app->environment().commands, &menu);
        // What a reader sees of a text given to a tooltip, a label or a button.
        const auto tip = [](const QString &text) {
            return Qt::mightBeRichText(text) ? QTextDocumentFragment::fromHtml(text).toPlainText() : text;
        };
        const auto label = [&](const QLabel *l) { return l->textFormat() == Qt::PlainText ? l->text() : tip(l->text()); };
        const auto button = [](QString text) {
            return text.replace(QRegularExpression(QStringLiteral("&(.)")), QStringLiteral("\\1"));
        };
        const auto *alert = pane->findChild<QMessageBox *>(QStringLiteral("errorAlert"));
        const std::pair<const char *, QString> places[] = {
            {"crumb", button(pane->pathBar()->breadcrumb()->findChildren<QToolButton *>().last()->text())},
            {"title line", label(app->window()->titleLine()->findChild<QLabel *>(QStringLiteral("titleLine")))},
            {"list tooltip", tip(pane->list()->table()->model()->index(0, 0).data(Qt::ToolTipRole).toString())},
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
        QTest::newRow("Keep Working") << QStringLiteral("Keep Working") << false;
        QTest::newRow("Stop and Close") << QStringLiteral("Stop and Close") << true;
        QTest::newRow("Return keeps working") << QStringLiteral("Return") << false;
        QTest::newRow("Escape keeps working") << QStringLiteral("Escape") << false;
    }
    void closeDuringATransferAsks()
    {
        QFETCH(QString, answer);
        QFETCH(bool, closes);
        const QString incoming = m_dir.dir(QStringLiteral(".home/Incoming"));
        const auto cleanUp = qScopeGuard([&] { QDir(incoming).removeRecursively(); });
        auto app = openWindow();
        QVERIFY(app);
        PaneActions *actions = paneOf(app.get(), 0)->actions();
        QSemaphore release;
        actions->jobs()->enqueue(new FileJob([&release](FileJob::Context &) {
            release.acquire(); // holds the queue, so the copy waits behind it
        }));
        actions->requestTransfer(actions->fileItems({homeUrl(QStringLiteral("Projects"))}), FilePath::fromString(incoming),
                                 PaneActions::TransferOperation::copy);
        // The prompt runs its own event loop inside close(); it is answered from there.
        bool asked = false;
        QTimer answering;
        connect(&answering, &QTimer::timeout, this, [&] {
            auto *box = app->window()->findChild<QMessageBox *>(QStringLiteral("closeWhileWorking"));
            if (box && box->isVisible() && !std::exchange(asked, true))
                answerBox(box, answer);
        });
        answering.start(10);
        QCOMPARE(app->window()->close(), closes);
        QVERIFY(asked);
        QCOMPARE(app->window()->isVisible(), !closes);
        release.release();
        QTRY_VERIFY(!actions->isBusy());
        QCOMPARE(QFileInfo::exists(incoming + QStringLiteral("/Projects/tallow/") + longName), !closes);
    }

private:
    TestDir m_dir;
    const QString longName = QStringLiteral("minutes of the tallow committee, spring meeting, with every amendment "
                                            "and every objection raised by the members, final.txt");
};

QTEST_MAIN(TestContentView)
#include "tst_contentview.moc"
