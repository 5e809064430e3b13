// Pictures of the window, made offscreen over a made-up home folder so that they show the same
// files on every machine:
//   screenshots OUTPUT_DIR
//     the pictures of the README and the AppStream data: main-window.png and sidebar.png, and
//     their Japanese twins (-ja);
//   screenshots --every-view OUTPUT_DIR
//     the window and each of its menus, dialogs and sheets in English and Japanese, for looking
//     over them: the window at the size of a first run on a 1920×1080 screen, with a long file
//     name, nine tabs in the left pane and a drag from it hovering over a folder of the right one.

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
#include "sidebarview.h"
#include "tabmodel.h"
#include "tallowmereapp.h"
#include "workspacemodel.h"
#include "workspaceview.h"

#include <QAnyStringView>
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

#include <cstdio>

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

// The README's pictures: the window as it first opens on a 1920×1080 screen, then its sidebar,
// in each language.
bool readmePictures(TallowmereApp &tallowmere, const QString &out)
{
    ContentView *window = tallowmere.window();
    window->resize(ContentView::firstRunSize(QSize(1920, 1080)));
    window->show();
    bool saved = true;
    for (const auto &[language, suffix] : {std::pair{AppLanguage::english, ""}, std::pair{AppLanguage::japanese, "-ja"}}) {
        tallowmere.environment().settings->setLanguage(language);
        settle(1500); // listings, icons and free space arrive from background work
        saved = window->grab().save(out + QStringLiteral("/main-window%1.png").arg(QLatin1String(suffix))) && saved;
        if (auto *sidebar = window->findChild<SidebarView *>())
            saved = sidebar->grab().save(out + QStringLiteral("/sidebar%1.png").arg(QLatin1String(suffix))) && saved;
    }
    return saved;
}

// Where the pictures of one language go, and what they show.
struct Shots
{
    TallowmereApp &app;
    QString home;
    QString out;
    QString tag;
    QString file(QAnyStringView name) const { return out + QLatin1Char('/') + name.toString() + QLatin1Char('-') + tag + QStringLiteral(".png"); }
};

// Dragged from the left pane, hovering over "photos" in the right one: Ctrl held in English (a
// copy), nothing in Japanese (a move).
void shootDragOver(const Shots &at, AppLanguage language)
{
    ContentView *window = at.app.window();
    const ViewEnvironment &env = at.app.environment();
    const QString &home = at.home;
    PaneModel *right = env.workspace->panes().at(1);
    right->activeTab()->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/report.pdf"))});
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
    shoot(window, at.file("window"));
    QDragLeaveEvent leave;
    QApplication::sendEvent(target->viewport(), &leave);
    right->activeTab()->setSelection({});
}

// The prompts of the right pane, over its last item.
void shootPrompts(const Shots &at)
{
    PaneView *pane = at.app.window()->workspaceView()->paneView(1);
    PaneActions *actions = pane->actions();
    TabModel *tab = pane->pane()->activeTab();
    const FileItem report = tab->items().value(tab->items().size() - 1);

    pane->openNewFolderDialog();
    shoot(pane->newFolderDialog(), at.file("newfolder"));
    pane->newFolderDialog()->reject();

    actions->requestRename(report, tab);
    settle();
    shoot(pane->dialogs()->renameDialog(), at.file("rename"));
    pane->dialogs()->renameDialog()->reject();

    actions->requestTrash(tab->items().mid(0, 3), tab);
    settle();
    shoot(pane->dialogs()->trashConfirmation(), at.file("trash"));
    pane->dialogs()->trashConfirmation()->reject();

    actions->requestPermanentDelete(tab->items().mid(0, 2), tab);
    settle();
    shoot(pane->dialogs()->deleteConfirmation(), at.file("delete"));
    pane->dialogs()->deleteConfirmation()->reject();

    actions->requestTransfer({report}, tab->history().current(), PaneActions::TransferOperation::copy);
    settle();
    if (QMessageBox *prompt = pane->dialogs()->collisionPrompt()) {
        shoot(prompt, at.file("collision"));
        prompt->reject();
    }

    pane->dialogs()->showError(QStringLiteral("“report.pdf” couldn't be moved: Permission denied"));
    settle();
    shoot(pane->dialogs()->errorAlert(), at.file("error"));
    pane->dialogs()->errorAlert()->close();
}

// The preview of a picture, a text and a file of neither kind; the bulk rename and info sheets.
void shootPreviewsAndSheets(const Shots &at)
{
    PaneView *pane = at.app.window()->workspaceView()->paneView(1);
    PaneActions *actions = pane->actions();
    TabModel *tab = pane->pane()->activeTab();
    const QString &home = at.home;

    for (const char *name : {"harbour.png", "notes on the harbour.txt", "camera.bin"}) {
        FileItem item;
        item.url = FilePath::fromString(home + QStringLiteral("/Documents/photos/") + QLatin1String(name));
        actions->requestPreview(item);
        settle(400);
        const QString kind = QString::fromLatin1(name).section(QLatin1Char('.'), -1);
        shoot(pane->dialogs()->previewDialog(), at.file(QStringLiteral("preview-") + kind));
        pane->dialogs()->previewDialog()->reject();
        settle();
    }

    actions->requestBulkRename(tab->items());
    settle();
    BulkRenameSheet *bulk = pane->dialogs()->bulkRenameSheet();
    bulk->findField()->setText(QStringLiteral("o"));
    bulk->replaceField()->setText(QStringLiteral("0"));
    shoot(bulk, at.file("bulkrename"));
    bulk->setSheetMode(BulkRenameSheet::Mode::sequence);
    bulk->baseField()->setText(QStringLiteral("Scan"));
    shoot(bulk, at.file("bulkrename-sequence"));
    bulk->reject();
    settle();

    for (const auto &[name, shot] : {std::pair{"report.pdf", "info-file"}, std::pair{"photos", "info-folder"}}) {
        actions->requestInfo(FileItem(FilePath::fromString(home + QStringLiteral("/Documents/") + QLatin1String(name)),
                                      QLatin1String(name), false, 0, {}, false));
        settle(400);
        shoot(pane->dialogs()->infoSheet(), at.file(shot));
        pane->dialogs()->infoSheet()->reject();
        settle();
    }
}

// The finder, before and after a query; then the list itself: a cut item drawn faded, the
// selection, and the filter bar open.
void shootFinderAndList(const Shots &at)
{
    const ViewEnvironment &env = at.app.environment();
    PaneView *pane = at.app.window()->workspaceView()->paneView(1);
    TabModel *tab = pane->pane()->activeTab();
    const QString &home = at.home;
    pane->list()->openFuzzyFinder();
    FuzzyFinderPalette *finder = pane->list()->fuzzyFinder();
    waitFor([&] { return !finder->model()->isScanning(); });
    shoot(finder, at.file("finder-empty"));
    finder->field()->setText(QStringLiteral("o"));
    finder->model()->setQuery(QStringLiteral("o"));
    finder->model()->rank(false);
    waitFor([&] { return !finder->model()->results().isEmpty(); });
    finder->model()->moveSelection(1);
    shoot(finder, at.file("finder"));
    Q_EMIT finder->closed();
    settle();

    const FilePath notes = FilePath::fromString(home + QStringLiteral("/Documents/notes.md"));
    env.workspace->writeClipboard({notes}, ClipboardOperation::move);
    tab->setFilterActive(true);
    tab->setFilterQuery(QStringLiteral("o"));
    tab->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/photos"))});
    shoot(pane, at.file("list"));
    tab->setFilterQuery(QString());
    tab->setFilterActive(false);
    tab->setSelection({});
    env.workspace->setClipboard(std::nullopt);
}

bool everyView(TallowmereApp &tallowmere, const QString &home, const QString &out)
{
    ContentView *window = tallowmere.window();
    const ViewEnvironment &env = tallowmere.environment();
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
        const Shots at{tallowmere, home, out, QLatin1String(suffix)};
        shootDragOver(at, language);

        env.workspace->setActivePaneID(right->id());
        right->activeTab()->setSelection({FilePath::fromString(home + QStringLiteral("/Documents/report.pdf"))});
        shootMenus(window, env.commands, out, at.tag);
        right->activeTab()->setSelection({});

        tallowmere.showSettings();
        shoot(tallowmere.settingsWindow(), at.file("settings"));
        tallowmere.settingsWindow()->close();

        shootPrompts(at);
        shootPreviewsAndSheets(at);
        env.settings->setRightPaneHidden(true);
        shootColumns(window, left, home, at.file("columns"));
        env.settings->setRightPaneHidden(false);
        shootFinderAndList(at);
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool all = argc == 3 && qstrcmp(argv[1], "--every-view") == 0;
    if (argc != 2 && !all) {
        std::fputs("usage: screenshots [--every-view] OUTPUT_DIR\n", stderr);
        return 2;
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir sandbox;
    const QString home = sandbox.path() + QStringLiteral("/home/pell");
    makeHome(home);
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(home + QStringLiteral("/.cache")));

    QApplication app(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Tallowmere"));
    QApplication::setApplicationName(QStringLiteral("Tallowmere"));
    const QString out = QString::fromLocal8Bit(argv[argc - 1]);
    QDir().mkpath(out);
    TallowmereApp::prepareApplication();
    TallowmereApp tallowmere;
    return (all ? everyView(tallowmere, home, out) : readmePictures(tallowmere, out)) ? 0 : 1;
}
