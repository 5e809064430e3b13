// The file list driven by keys and the mouse over real folders: opening, going up, trashing and deleting,
// click ranges, the filter bar, drops, the file jobs' row and its Cancel, the finder.

#include "answeringpresenter.h"
#include "appsettings.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "fuzzyfinderpalette.h"
#include "fuzzyfindermodel.h"
#include "iconcache.h"
#include "itemlists.h"
#include "listoverlay.h"
#include "paneactions.h"
#include "panecommands.h"
#include "midfilehold.h"
#include "transferprogressrow.h"
#include "testdir.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

#include <memory>

namespace {

// One pane of a window around a list, with the left pane's tab shown in it (at `folder` of
// the test folder, if given) and the window's commands acting on its selection.
struct Pane
{
    explicit Pane(const TestDir &dir, const QString &folder = QString())
        : settings(dir.path(QStringLiteral("settings.ini"))), workspace(false), actions(&workspace, workspace.leftPane(), &settings, &dialogs, &jobs),
          commands(&workspace, &settings),
          view({&workspace, &settings, nullptr, &icons, nullptr, &commands}, workspace.leftPane(), &actions)
    {
        settings.setLanguage(AppLanguage::english);
        commands.setTargetSource([this] { return view.commandTarget(); });
        QObject::connect(&view, &FileListView::commandTargetChanged, &commands, &PaneCommands::refresh);
        view.addActions(commands.actions());
        view.setFileOpener([this](const FilePath &url) { opened.append(url); });
        view.setTab(tab());
        view.resize(700, 420);
        view.show();
        QApplication::setActiveWindow(&view);
        if (!folder.isEmpty())
            show(dir.url(folder));
    }
    ~Pane() { commands.setTargetSource({}); }

    TabModel *tab() const { return workspace.leftPane()->activeTab(); }
    FileTableView *table() const { return view.table(); }
    FileTableModel *rows() const { return view.tableModel(); }

    void show(const FilePath &folder) const
    {
        tab()->navigate(folder);
        QTRY_VERIFY(!tab()->isLoading());
    }
    int row(const QString &name) const
    {
        for (int r = 0; r < rows()->rowCount(); ++r) {
            if (rows()->item(r).name == name)
                return r;
        }
        return -1;
    }
    void select(const QStringList &names) const
    {
        QSet<FilePath> urls;
        for (const QString &name : names)
            urls.insert(rows()->item(row(name)).url);
        tab()->setSelection(urls);
    }
    QStringList selectedNames() const { return sorted(namesOf(tab()->selectedItems())); }
    void key(int key, Qt::KeyboardModifiers modifiers = {}) const
    {
        table()->setFocus();
        QTest::keyClick(table(), Qt::Key(key), modifiers);
    }
    void click(const QString &name, Qt::KeyboardModifiers modifiers = {}) const
    {
        const QRect rect = table()->visualRect(rows()->index(row(name), 0));
        QTest::mouseClick(table()->viewport(), Qt::LeftButton, modifiers, rect.center());
    }
    bool idle() { return actions.jobs()->pendingCount() == 0; }

    AppSettings settings;
    WorkspaceModel workspace;
    AnsweringPresenter dialogs;
    FileJobQueue jobs;
    PaneActions actions;
    PaneCommands commands;
    IconCache icons;
    FileListView view;
    QList<FilePath> opened;
};

QStringList names(const QString &spaced) { return spaced.split(QLatin1Char(' '), Qt::SkipEmptyParts); }

} // namespace

class TestFileListView : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<TestDir>();
        m_dir->isolateHome();
        m_dir->dir(QStringLiteral(".home/Documents"));
        m_dir->dir(QStringLiteral("work/photos"));
        for (const char *name : {"a.txt", "b.txt", "c.txt", "d.txt", "e.txt"})
            m_dir->file(QStringLiteral("work/") + QLatin1String(name), "data");
    }

    // A list whose window closes just as new rows come in lays them out once more while it is
    // torn down, asking for their icons; by then it must not reach its own members (it once
    // wrote into them after they were freed, corrupting the heap).
    void closingAsNewRowsArriveLeavesNothingBehind()
    {
        Pane pane(*m_dir, QStringLiteral("work"));
        auto *second = new FileListView({&pane.workspace, &pane.settings, nullptr, &pane.icons},
                                        pane.workspace.leftPane(), &pane.actions);
        second->setTab(pane.tab());
        second->resize(500, 300);
        second->show();
        QVERIFY(QTest::qWaitForWindowExposed(second));
        const QPointer<FileListView> alive(second);
        connect(pane.tab(), &TabModel::visibleItemsChanged, second, [second] { delete second; });
        m_dir->dir(QStringLiteral("work/0 new")); // the first row, its icon not yet known
        QTRY_VERIFY(alive.isNull());
        QTRY_COMPARE(pane.rows()->rowCount(), 7);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QStringList>("clicked"); // in turn, all but the first with Ctrl
        QTest::addColumn<int>("key");             // with its modifiers
        QTest::addColumn<QString>("folderAfter");
        QTest::addColumn<QStringList>("selectedAfter");
        QTest::addColumn<QStringList>("asked"); // of the window: a file opened, a new folder
        const auto row = [](const char *name, const char *folder, const char *clicked, QKeyCombination key,
                            const char *after, const char *selected, const char *asked = "") {
            QTest::newRow(name) << QString(folder) << names(clicked) << key.toCombined() << QString(after)
                                << names(selected) << names(asked);
        };
        row("Return enters a folder", "work", "photos", Qt::Key_Return, "work/photos", "");
        row("Return opens a file", "work", "b.txt", Qt::Key_Return, "work", "b.txt", "work/b.txt");
        row("Return on two items: nothing", "work", "photos b.txt", Qt::Key_Return, "work", "b.txt photos");
        row("Backspace goes up", "work/photos", "", Qt::Key_Backspace, "work", "");
        row("Alt+Up goes up", "work/photos", "", Qt::AltModifier | Qt::Key_Up, "work", "");
        row("Up alone only moves the selection", "work", "c.txt", Qt::Key_Up, "work", "b.txt");
        row("Down in a fresh list selects the first row", "work", "", Qt::Key_Down, "work", "photos");
        row("End in a fresh list selects the last row", "work", "", Qt::Key_End, "work", "e.txt");
        row("F7 asks for a new folder", "work", "", Qt::Key_F7, "work", "", "newFolder");
    }
    void keys()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, clicked);
        QFETCH(int, key);
        QFETCH(QString, folderAfter);
        Pane pane(*m_dir, folder);
        QStringList done;
        pane.actions.setOnNewFolder([&done] { done << QStringLiteral("newFolder"); });
        for (const QString &name : clicked)
            pane.click(name, name == clicked.first() ? Qt::NoModifier : Qt::ControlModifier);
        const QKeyCombination combination = QKeyCombination::fromCombined(key);
        pane.key(combination.key(), combination.keyboardModifiers());
        QCOMPARE(pane.tab()->currentUrl(), m_dir->url(folderAfter));
        QTEST(pane.selectedNames(), "selectedAfter");
        for (const FilePath &url : std::as_const(pane.opened))
            done << QDir(m_dir->path()).relativeFilePath(url.path());
        QTEST(done, "asked");
    }

    void deleteKeys_data()
    {
        QTest::addColumn<bool>("confirmSetting");
        QTest::addColumn<QStringList>("selected");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("asked"); // the confirmation shown, which is then confirmed
        QTest::addColumn<QString>("fate");  // of the selected items: "stay", "trash" or "gone"
        QTest::newRow("Delete, confirmation on: asks first") << true << names("a.txt") << 0 << "trash" << "trash";
        QTest::newRow("Delete, confirmation off: trashes at once") << false << names("a.txt") << 0 << "" << "trash";
        QTest::newRow("Delete, nothing selected: nothing") << false << QStringList() << 0 << "" << "stay";
        QTest::newRow("Shift+Delete: asks even so, then deletes") << false << names("a.txt photos") << int(Qt::ShiftModifier)
                                                                   << "delete" << "gone";
    }
    void deleteKeys()
    {
        QFETCH(bool, confirmSetting);
        QFETCH(QStringList, selected);
        QFETCH(int, modifiers);
        QFETCH(QString, asked);
        QFETCH(QString, fate);
        m_dir->file(QStringLiteral("work/photos/p.jpg"));
        Pane pane(*m_dir, QStringLiteral("work"));
        pane.settings.setConfirmBeforeTrash(confirmSetting);
        pane.select(selected);
        pane.key(Qt::Key_Delete, Qt::KeyboardModifiers(modifiers));
        const auto confirming = pane.dialogs.confirming;
        QCOMPARE(confirming && confirming->kind == DialogPresenter::Confirmation::trash, asked == "trash");
        QCOMPARE(confirming && confirming->kind == DialogPresenter::Confirmation::permanentDelete ? confirming->count : 0,
                 asked == "delete" ? 2 : 0);
        QTRY_VERIFY(pane.idle());
        QCOMPARE(m_dir->exists(QStringLiteral("work/a.txt")), !asked.isEmpty() || fate == "stay"); // nothing before the answer
        if (confirming)
            pane.dialogs.answer(true);
        QTRY_VERIFY(pane.idle());
        for (const QString &name : selected.isEmpty() ? names("a.txt") : selected) {
            QCOMPARE(m_dir->exists("work/" + name), fate == "stay");
            QCOMPARE(m_dir->exists(TestDir::homeTrash("/files/") + name), fate == "trash");
        }
        QVERIFY(m_dir->exists(QStringLiteral("work/c.txt")));
    }

    void ctrlClickThenShiftClickSelectsARange()
    {
        Pane pane(*m_dir, QStringLiteral("work"));
        pane.click(QStringLiteral("a.txt"));
        pane.click(QStringLiteral("c.txt"), Qt::ControlModifier);
        QCOMPARE(pane.selectedNames(), names("a.txt c.txt"));
        pane.click(QStringLiteral("a.txt"), Qt::ControlModifier); // toggles a off, anchor on a
        QCOMPARE(pane.selectedNames(), names("c.txt"));
        pane.click(QStringLiteral("c.txt"), Qt::ControlModifier);
        pane.click(QStringLiteral("e.txt"), Qt::ShiftModifier);
        QCOMPARE(pane.selectedNames(), names("c.txt d.txt e.txt"));
        pane.click(QStringLiteral("photos"), Qt::ShiftModifier); // the anchor stays on c
        QCOMPARE(pane.selectedNames(), names("a.txt b.txt c.txt photos"));
        // With the anchor gone from the list, Shift+click acts as a plain click.
        QFile::remove(m_dir->path(QStringLiteral("work/c.txt")));
        pane.tab()->reload();
        QTRY_COMPARE(pane.row(QStringLiteral("c.txt")), -1);
        pane.click(QStringLiteral("e.txt"), Qt::ShiftModifier);
        QCOMPARE(pane.selectedNames(), names("e.txt"));
    }

    void filterFieldKeys()
    {
        Pane pane(*m_dir, QStringLiteral("work"));
        pane.key(Qt::Key_F, Qt::ControlModifier);
        QVERIFY(pane.tab()->filterActive());
        QTRY_VERIFY(pane.view.filterField()->hasFocus());
        // Select All takes only what the filter shows.
        QTest::keyClicks(pane.view.filterField(), QStringLiteral("TXT"));
        pane.key(Qt::Key_A, Qt::ControlModifier);
        QCOMPARE(pane.selectedNames(), names("a.txt b.txt c.txt d.txt e.txt"));
        pane.tab()->setSelection({});
        pane.view.filterField()->setFocus();
        pane.view.filterField()->selectAll();
        QTest::keyClicks(pane.view.filterField(), QStringLiteral("c.t"));
        QCOMPARE(pane.rows()->rowCount(), 1);

        // Return keeps the filter, and the table takes the keys on the first entry shown; Return
        // again from the filter opens that entry.
        QTest::keyClick(pane.view.filterField(), Qt::Key_Return);
        QCOMPARE(pane.tab()->filterQuery(), QStringLiteral("c.t"));
        QVERIFY(pane.view.filterBar()->isVisible());
        QTRY_VERIFY(pane.table()->hasFocus());
        QCOMPARE(pane.selectedNames(), names("c.txt"));
        pane.view.filterField()->setFocus();
        QTest::keyClick(pane.view.filterField(), Qt::Key_Return);
        QCOMPARE(pane.opened, QList<FilePath>{m_dir->url(QStringLiteral("work/c.txt"))});

        // Down goes to the list too.
        pane.view.filterField()->setFocus();
        QTest::keyClicks(pane.view.filterField(), QStringLiteral("x"));
        QCOMPARE(pane.tab()->filterQuery(), QStringLiteral("c.tx"));
        QTest::keyClick(pane.view.filterField(), Qt::Key_Down);
        QTRY_VERIFY(pane.table()->hasFocus());
        QCOMPARE(pane.selectedNames(), names("c.txt"));

        pane.key(Qt::Key_F, Qt::ControlModifier);
        QTest::keyClick(pane.view.filterField(), Qt::Key_Escape);
        QCOMPARE(pane.tab()->filterQuery(), QString());
        QVERIFY(!pane.tab()->filterActive());
        QVERIFY(!pane.view.filterBar()->isVisible());
        QCOMPARE(pane.rows()->rowCount(), 6);
        QTRY_VERIFY(pane.table()->hasFocus());
    }

    void dropOnAFolderRow_data()
    {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("sourceKept");
        QTest::newRow("plain drop moves") << int(Qt::NoModifier) << false;
        QTest::newRow("Ctrl copies") << int(Qt::ControlModifier) << true;
    }
    void dropOnAFolderRow()
    {
        QFETCH(int, modifiers);
        QFETCH(bool, sourceKept);
        m_dir->file(QStringLiteral("elsewhere/dropped.txt"), "payload");
        Pane pane(*m_dir, QStringLiteral("work"));
        pane.select(names("a.txt"));
        const QPoint at = pane.table()->visualRect(pane.rows()->index(pane.row(QStringLiteral("photos")), 0)).center();
        QMimeData mime;
        mime.setUrls({m_dir->url(QStringLiteral("elsewhere/dropped.txt")).toUrl()});
        const auto mods = Qt::KeyboardModifiers(modifiers);
        QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(pane.table()->viewport(), &enter);
        // While it hovers, the pointer and the hint say what the drop will do.
        QDragMoveEvent move(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(pane.table()->viewport(), &move);
        QCOMPARE(move.dropAction(), sourceKept ? Qt::CopyAction : Qt::MoveAction);
        QVERIFY(pane.view.dropHint()->isVisible());
        QCOMPARE(pane.view.dropHint()->text(), sourceKept ? QStringLiteral("Copy to “photos”") : QStringLiteral("Move to “photos”"));
        QCOMPARE(pane.table()->dropTargetRow(), pane.row(QStringLiteral("photos")));
        QCOMPARE(pane.selectedNames(), names("a.txt")); // the folder is marked, not selected
        QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &mime, Qt::LeftButton, mods);
        QApplication::sendEvent(pane.table()->viewport(), &drop);
        QVERIFY(drop.isAccepted());
        QVERIFY(!pane.view.dropHint()->isVisible());
        QTRY_VERIFY(m_dir->exists(QStringLiteral("work/photos/dropped.txt")));
        QTRY_VERIFY(pane.idle());
        QCOMPARE(m_dir->exists(QStringLiteral("elsewhere/dropped.txt")), sourceKept);
        QVERIFY(!m_dir->exists(QStringLiteral("work/dropped.txt")));
    }

    void jobRowFollowsAndCancelStops_data()
    {
        QTest::addColumn<QString>("job");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("heldIn");
        QTest::addColumn<QString>("text"); // while held
        QTest::addColumn<QString>("gone"); // what the cancelled job had already done
        QTest::newRow("compress") << "compress" << "photos tree" << "work/tree/big" << "^Compressing 2 of 2 — .+ of .+$" << "";
        QTest::newRow("extract") << "extract" << "tree.zip" << "work/tree.zip" << "^Extracting 1 of 1 — .+ of .+$" << "";
        QTest::newRow("duplicate") << "duplicate" << "tree" << "work/tree/big" << "^Duplicating 1 of 1 — .+ of .+$" << "";
        QTest::newRow("trash") << "trash" << "a.txt b.txt c.txt" << "work/b.txt" << "^Moving to Trash 1 / 3$" << "a.txt";
        QTest::newRow("delete") << "delete" << "tree" << "work/tree/" << "^Deleting 0 / 1$" << "";
    }

    // The row comes up for every long job after a moment, says what it does and how far it is, and
    // its Cancel stops the job inside the item it holds: an archive or a copy leaves nothing
    // half-written; a trash or a deletion keeps what it had done, and the list shows it. (That the
    // source stays whole is tst_archives' progressAndCancellation.)
    void jobRowFollowsAndCancelStops()
    {
        QFETCH(QString, job);
        QFETCH(QString, chosen);
        QFETCH(QString, heldIn);
        QFETCH(QString, text);
        QFETCH(QString, gone);
        // Larger than one step of a copy, so a copy is held inside it too.
        QByteArray noise(20 << 20, Qt::Uninitialized);
        for (qsizetype i = 0; i < noise.size(); ++i)
            noise[i] = char((i * 7919) >> 5);
        m_dir->file(QStringLiteral("work/tree/big"), noise);
        for (int i = 0; i < 20; ++i)
            m_dir->file(QStringLiteral("work/tree/small %1").arg(i), "small");
        if (job == QLatin1String("extract")) {
            FileSystemService().compress({m_dir->url(QStringLiteral("work/tree"))}, m_dir->url(QStringLiteral("work/tree.zip")));
            QDir(m_dir->path(QStringLiteral("work/tree"))).removeRecursively();
        }
        const QStringList before = m_dir->entries(QStringLiteral("work"));
        Pane pane(*m_dir, QStringLiteral("work"));
        MidFileHold hold;
        pane.actions.setPauseMidFile(hold.hook());
        pane.select(names(chosen));
        const QList<FileItem> items = pane.tab()->selectedItems();
        if (job == QLatin1String("compress"))
            pane.actions.compress(items, pane.tab());
        else if (job == QLatin1String("extract"))
            pane.actions.extract(items.first(), pane.tab());
        else if (job == QLatin1String("duplicate"))
            pane.actions.duplicate(items, pane.tab());
        else if (job == QLatin1String("trash"))
            pane.actions.trash(items, pane.tab());
        else {
            pane.actions.requestPermanentDelete(items, pane.tab());
            pane.dialogs.answer(true);
        }
        TransferProgressRow *row = pane.view.progressRow();
        // Not at once: a job that ends in a moment never shows it.
        QVERIFY(pane.actions.transferProgress() && !row->isVisible());
        QVERIFY(hold.waitUntilHeld());
        QVERIFY2(hold.heldPath().startsWith(m_dir->path(heldIn)), qPrintable(hold.heldPath()));
        QTRY_VERIFY(row->isVisible());
        QTRY_VERIFY2(QRegularExpression(text).match(row->text()).hasMatch(), qPrintable(row->text()));

        QTest::mouseClick(row->cancelButton(), Qt::LeftButton);
        QTRY_VERIFY(pane.idle());
        QVERIFY(!row->isVisible());
        QVERIFY2(!pane.dialogs.lastError(), qPrintable(pane.dialogs.lastError().value_or(QString())));
        QStringList left = before;
        left.removeAll(gone);
        QCOMPARE(m_dir->entries(QStringLiteral("work")), left);
        QTRY_COMPARE(sorted(namesOf(pane.tab()->items())), left);
        if (job == QLatin1String("delete")) {
            const qsizetype kept = m_dir->entries(QStringLiteral("work/tree")).size();
            QVERIFY2(kept > 0 && kept < 21, qPrintable(QString::number(kept)));
        }
    }

    void finderChoiceSelectsTheFileInItsFolder()
    {
        m_dir->file(QStringLiteral("work/photos/deep/needle.jpg"));
        m_dir->file(QStringLiteral("work/photos/deep/other.jpg"));
        Pane pane(*m_dir, QStringLiteral("work"));
        const auto find = [&](const QString &folder) {
            pane.key(Qt::Key_P, Qt::ControlModifier);
            FuzzyFinderPalette *palette = pane.view.fuzzyFinder();
            QVERIFY(palette && palette->isVisible());
            QTRY_VERIFY(!palette->model()->isScanning());
            QTest::keyClicks(palette->findChild<QLineEdit *>(), QStringLiteral("needle"));
            QTRY_COMPARE(palette->model()->results().size(), 1);
            QTest::keyClick(palette->findChild<QLineEdit *>(), Qt::Key_Return);
            QVERIFY(!pane.view.fuzzyFinder());
            QTRY_COMPARE(pane.tab()->currentUrl(), m_dir->url(folder));
            QTRY_COMPARE(pane.selectedNames(), names("needle.jpg"));
            QVERIFY(pane.table()->selectionModel()->isRowSelected(pane.row(QStringLiteral("needle.jpg")), {}));
        };
        find(QStringLiteral("work/photos/deep"));
        // Found right inside a linked folder, whose entries carry the folder's resolved place.
        QVERIFY(QFile::link(QStringLiteral("deep"), m_dir->path(QStringLiteral("work/photos/linked"))));
        pane.show(m_dir->url(QStringLiteral("work/photos/linked")));
        QApplication::setActiveWindow(&pane.view);
        find(QStringLiteral("work/photos/linked"));
    }

private:
    std::unique_ptr<TestDir> m_dir;
};

QTEST_MAIN(TestFileListView)
#include "tst_filelistview.moc"
