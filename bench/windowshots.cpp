// Pictures of the window and each of its dialogs, in English and Japanese, over a small home
// folder made for the purpose: `windowshots OUTPUT_DIR`. Run with QT_QPA_PLATFORM=offscreen.
// The window is shown at the size of a first run, with a long file name, nine tabs in the left
// pane and a drag from it hovering over a folder of the right pane.

#include "appsettings.h"
#include "bulkrenamesheet.h"
#include "columnbrowserview.h"
#include "contentview.h"
#include "contextmenubuilder.h"
#include "dialoghost.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "fuzzyfindermodel.h"
#include "fuzzyfinderpalette.h"
#include "infosheet.h"
#include "paneactions.h"
#include "panecommands.h"
#include "panemodel.h"
#include "paneview.h"
#include "settingsview.h"
#include "tabmodel.h"
#include "tallowmereapp.h"
#include "workspacemodel.h"
#include "workspaceview.h"

#include <QApplication>
#include <QDir>
#include <QDragMoveEvent>
#include <QMimeData>
#include <QElapsedTimer>
#include <QFile>
#include <QLinearGradient>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QTemporaryDir>
#include <QTimer>

namespace {

void settle(int ms = 150)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
}

template <typename Done>
bool waitFor(Done done, int ms = 5000)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

void write(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

void makeHome(const QString &home)
{
    for (const char *folder : {"Desktop", "Documents/Invoices 2026", "Documents/photos", "Downloads", "Music", "Projects/tallow/src"})
        QDir().mkpath(home + QLatin1Char('/') + QLatin1String(folder));
    write(home + QStringLiteral("/Documents/report.pdf"), QByteArray(182000, 'p'));
    write(home + QStringLiteral("/Documents/notes.md"), "# Notes\n");
    write(home + QStringLiteral("/Documents/budget.ods"), QByteArray(23000, 'b'));
    write(home + QStringLiteral("/Documents/写真メモ.txt"), "memo");
    write(home + QStringLiteral("/todo.txt"), "milk\n");
    write(home + QStringLiteral("/Quarterly summary and projections for the board meeting, final revised version (3).pdf"),
          QByteArray(1250000, 'q'));
    write(home + QStringLiteral("/archive.zip"), QByteArray(5300000, 'z'));
    write(home + QStringLiteral("/Projects/tallow/CMakeLists.txt"), "project(tallow)\n");
    write(home + QStringLiteral("/Documents/photos/notes on the harbour.txt"),
          "Harbour, early morning\n\n- the boats come in at six\n- light from the east until nine\n"
          "- the second pier is closed for repairs\n\nTry again on Saturday with the long lens.\n");
    write(home + QStringLiteral("/Documents/photos/camera.bin"), QByteArray("\x7f" "ELF\x02\x01\x01\0\0\0", 10) + QByteArray(4000, '\0'));
    QImage picture(1600, 1000, QImage::Format_RGB32);
    QPainter painter(&picture);
    QLinearGradient sky(0, 0, 0, 1000);
    sky.setColorAt(0, QColor(0x24, 0x4e, 0x7a));
    sky.setColorAt(0.6, QColor(0xf2, 0xa6, 0x5a));
    sky.setColorAt(0.61, QColor(0x1d, 0x3b, 0x52));
    sky.setColorAt(1, QColor(0x0c, 0x1c, 0x2a));
    painter.fillRect(picture.rect(), sky);
    painter.setBrush(QColor(0xff, 0xd8, 0x8a));
    painter.setPen(Qt::NoPen);
    painter.drawEllipse(QPoint(1100, 560), 120, 120);
    painter.end();
    picture.save(home + QStringLiteral("/Documents/photos/harbour.png"));
}

void shoot(QWidget *widget, const QString &file)
{
    settle();
    widget->grab().save(file);
}


// The left pane's tab in column view, three folders deep with a picture selected.
void shootColumns(ContentView *window, PaneModel *pane, const QString &home, const QString &file)
{
    TabModel *tab = pane->activeTab();
    tab->navigate(FilePath::fromString(home));
    tab->setViewMode(ViewMode::column);
    PaneView *view = window->workspaceView()->paneView(0);
    waitFor([&] { return view->columnBrowser() && !view->columnBrowser()->model()->columns().isEmpty(); });
    ColumnBrowserModel *model = view->columnBrowser()->model();
    const auto loaded = [model] { return !model->columns().last().isLoading; };
    waitFor(loaded);
    model->select(FilePath::fromString(home + QStringLiteral("/Documents")), 0, SelectMode::single);
    waitFor(loaded);
    model->select(FilePath::fromString(home + QStringLiteral("/Documents/photos")), 1, SelectMode::single);
    waitFor(loaded);
    model->select(FilePath::fromString(home + QStringLiteral("/Documents/photos/harbour.png")), 2, SelectMode::single);
    settle(600);
    shoot(view, file);
    tab->setViewMode(ViewMode::list);
}

// Each menu of the menu bar and the item context menu, with a file of the right pane chosen.
void shootMenus(ContentView *window, PaneCommands *commands, const QString &out, const QString &tag)
{
    window->workspaceView()->paneView(1)->focusContent();
    int number = 0;
    for (QAction *top : window->menuBar()->actions()) {
        QMenu *menu = top->menu();
        menu->popup(window->mapToGlobal(QPoint(0, 0)));
        shoot(menu, out + QStringLiteral("/menu-%1-").arg(++number) + tag + QStringLiteral(".png"));
        menu->hide();
    }
    CommandTarget target = window->workspaceView()->paneView(1)->commandTarget();
    QMenu context;
    ContextMenuBuilder::fill(&context, commands->contextMenu(target), commands, window);
    commands->setMenuTarget(target);
    context.popup(window->mapToGlobal(QPoint(40, 40)));
    shoot(&context, out + QStringLiteral("/menu-context-") + tag + QStringLiteral(".png"));
    context.hide();
    commands->setMenuTarget(std::nullopt);
}

} // namespace

int main(int argc, char *argv[])
{
    QTemporaryDir sandbox;
    const QString home = sandbox.path() + QStringLiteral("/home/pell");
    makeHome(home);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral(".");
    QDir().mkpath(out);
    TallowmereApp::prepareApplication();

    TallowmereApp tallowmere;
    const ViewEnvironment &env = tallowmere.environment();
    ContentView *window = tallowmere.window();
    window->resize(ContentView::firstRunSize(QSize(1920, 1080)));
    window->show();
    PaneModel *left = env.workspace->panes().at(0);
    PaneModel *right = env.workspace->panes().at(1);
    for (const char *folder : {"Desktop", "Documents", "Downloads", "Music", "Projects", "Projects/tallow",
                               "Projects/tallow/src", "Documents/Invoices 2026"})
        left->addTab(FilePath::fromString(home + QLatin1Char('/') + QLatin1String(folder)), false);
    left->setActiveTabID(left->tabs().constLast()->id());
    left->activeTab()->navigate(FilePath::fromString(home));
    waitFor([&] { return !left->activeTab()->isLoading() && !right->activeTab()->isLoading(); });
    settle(2000); // the badge plays to its last frame

    for (const auto &[language, suffix] : {std::pair{AppLanguage::english, "en"}, std::pair{AppLanguage::japanese, "ja"}}) {
        env.settings->setLanguage(language);
        const QString tag = QLatin1String(suffix);
        right->activeTab()->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/report.pdf"))});
        // Dragged from the left pane, hovering over "photos" in the right one: Ctrl held in
        // English (a copy), nothing in Japanese (a move).
        FileTableView *target = window->workspaceView()->paneView(1)->list()->table();
        const FileTableModel *rows = window->workspaceView()->paneView(1)->list()->tableModel();
        const QPoint over = target->visualRect(rows->index(rows->rowOf(FilePath::fromString(home + QStringLiteral("/Documents/photos"))), 0)).center();
        QMimeData dragged;
        dragged.setUrls({FilePath::fromString(home + QStringLiteral("/todo.txt")).toUrl()});
        const Qt::KeyboardModifiers held = language == AppLanguage::english ? Qt::ControlModifier : Qt::NoModifier;
        QDragEnterEvent enter(over, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, held);
        QApplication::sendEvent(target->viewport(), &enter);
        QDragMoveEvent move(over, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, held);
        QApplication::sendEvent(target->viewport(), &move);
        shoot(window, out + QStringLiteral("/window-") + tag + QStringLiteral(".png"));
        QDragLeaveEvent leave;
        QApplication::sendEvent(target->viewport(), &leave);
        right->activeTab()->setSelection({});

        env.workspace->setActivePaneID(right->id());
        right->activeTab()->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/report.pdf"))});
        shootMenus(window, env.commands, out, tag);
        right->activeTab()->setSelection({});

        tallowmere.showSettings();
        shoot(tallowmere.settingsWindow(), out + QStringLiteral("/settings-") + tag + QStringLiteral(".png"));
        tallowmere.settingsWindow()->close();

        PaneView *pane = window->workspaceView()->paneView(1);
        PaneActions *actions = pane->actions();
        TabModel *tab = right->activeTab();
        const FileItem report = tab->items().value(tab->items().size() - 1);

        pane->openNewFolderDialog();
        shoot(pane->newFolderDialog(), out + QStringLiteral("/newfolder-") + tag + QStringLiteral(".png"));
        pane->newFolderDialog()->reject();

        actions->requestRename(report, tab);
        settle();
        shoot(pane->dialogs()->renameDialog(), out + QStringLiteral("/rename-") + tag + QStringLiteral(".png"));
        pane->dialogs()->renameDialog()->reject();

        actions->requestTrash(tab->items().mid(0, 3), tab);
        settle();
        shoot(pane->dialogs()->trashConfirmation(), out + QStringLiteral("/trash-") + tag + QStringLiteral(".png"));
        pane->dialogs()->trashConfirmation()->reject();

        actions->requestPermanentDelete(tab->items().mid(0, 2), tab);
        settle();
        shoot(pane->dialogs()->deleteConfirmation(), out + QStringLiteral("/delete-") + tag + QStringLiteral(".png"));
        pane->dialogs()->deleteConfirmation()->reject();

        actions->requestTransfer({report}, tab->history().current(), PaneActions::TransferOperation::copy);
        settle();
        if (QMessageBox *prompt = pane->dialogs()->collisionPrompt()) {
            shoot(prompt, out + QStringLiteral("/collision-") + tag + QStringLiteral(".png"));
            prompt->reject();
        }

        pane->dialogs()->showError(QStringLiteral("“report.pdf” couldn't be moved: Permission denied"));
        settle();
        shoot(pane->dialogs()->errorAlert(), out + QStringLiteral("/error-") + tag + QStringLiteral(".png"));
        pane->dialogs()->errorAlert()->close();

        for (const char *name : {"harbour.png", "notes on the harbour.txt", "camera.bin"}) {
            FileItem item;
            item.url = FilePath::fromString(home + QStringLiteral("/Documents/photos/") + QLatin1String(name));
            actions->requestPreview(item);
            settle(400);
            const QString kind = QString::fromLatin1(name).section(QLatin1Char('.'), -1);
            shoot(pane->dialogs()->previewDialog(), out + QStringLiteral("/preview-") + kind + QLatin1Char('-') + tag + QStringLiteral(".png"));
            pane->dialogs()->previewDialog()->reject();
            settle();
        }

        env.settings->setRightPaneHidden(true);
        shootColumns(window, left, home, out + QStringLiteral("/columns-") + tag + QStringLiteral(".png"));
        env.settings->setRightPaneHidden(false);

        actions->requestBulkRename(tab->items());
        settle();
        BulkRenameSheet *bulk = pane->dialogs()->bulkRenameSheet();
        bulk->findField()->setText(QStringLiteral("o"));
        bulk->replaceField()->setText(QStringLiteral("0"));
        shoot(bulk, out + QStringLiteral("/bulkrename-") + tag + QStringLiteral(".png"));
        bulk->setSheetMode(BulkRenameSheet::Mode::sequence);
        bulk->baseField()->setText(QStringLiteral("Scan"));
        shoot(bulk, out + QStringLiteral("/bulkrename-sequence-") + tag + QStringLiteral(".png"));
        bulk->reject();
        settle();

        for (const auto &[name, shot] : {std::pair{"report.pdf", "info-file-"}, std::pair{"photos", "info-folder-"}}) {
            actions->requestInfo(FileItem(FilePath::fromString(home + QStringLiteral("/Documents/") + QLatin1String(name)),
                                          QLatin1String(name), false, 0, {}, false));
            settle(400);
            shoot(pane->dialogs()->infoSheet(), out + QLatin1Char('/') + QLatin1String(shot) + tag + QStringLiteral(".png"));
            pane->dialogs()->infoSheet()->reject();
            settle();
        }

        pane->list()->openFuzzyFinder();
        FuzzyFinderPalette *finder = pane->list()->fuzzyFinder();
        waitFor([&] { return !finder->model()->isScanning(); });
        shoot(finder, out + QStringLiteral("/finder-empty-") + tag + QStringLiteral(".png"));
        finder->field()->setText(QStringLiteral("o"));
        finder->model()->setQuery(QStringLiteral("o"));
        finder->model()->rank(false);
        waitFor([&] { return !finder->model()->results().isEmpty(); });
        finder->model()->moveSelection(1);
        shoot(finder, out + QStringLiteral("/finder-") + tag + QStringLiteral(".png"));
        Q_EMIT finder->closed();
        settle();

        // The list itself: a cut item drawn faded, the selection, and the filter bar open.
        const FilePath notes = FilePath::fromString(home + QStringLiteral("/Documents/notes.md"));
        env.workspace->writeClipboard({notes}, ClipboardOperation::move);
        tab->setFilterActive(true);
        tab->setFilterQuery(QStringLiteral("o"));
        tab->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/photos"))});
        shoot(pane, out + QStringLiteral("/list-") + tag + QStringLiteral(".png"));
        tab->setFilterQuery(QString());
        tab->setFilterActive(false);
        tab->setSelection({});
        env.workspace->setClipboard(std::nullopt);
    }
    return 0;
}
