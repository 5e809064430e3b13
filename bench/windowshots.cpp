// Pictures of the window and each of its dialogs, in English and Japanese, over a small home
// folder made for the purpose: `windowshots OUTPUT_DIR`. Run with QT_QPA_PLATFORM=offscreen.
// The window is shown at the size of a first run, with a long file name, nine tabs in the left
// pane and a drag from it hovering over a folder of the right pane.

#include "appsettings.h"
#include "contentview.h"
#include "dialoghost.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "paneactions.h"
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
}

void shoot(QWidget *widget, const QString &file)
{
    settle();
    widget->grab().save(file);
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
    window->resize(1320, 780); // a first run's size on a screen that has room for it
    window->show();
    PaneModel *left = env.workspace->panes().at(0);
    PaneModel *right = env.workspace->panes().at(1);
    for (const char *folder : {"Desktop", "Documents", "Downloads", "Music", "Projects", "Projects/tallow",
                               "Projects/tallow/src", "Documents/Invoices 2026"})
        left->addTab(QUrl::fromLocalFile(home + QLatin1Char('/') + QLatin1String(folder)), false);
    left->setActiveTabID(left->tabs().constLast()->id());
    left->activeTab()->navigate(QUrl::fromLocalFile(home));
    waitFor([&] { return !left->activeTab()->isLoading() && !right->activeTab()->isLoading(); });
    settle(2000); // the badge plays to its last frame

    for (const auto &[language, suffix] : {std::pair{AppLanguage::english, "en"}, std::pair{AppLanguage::japanese, "ja"}}) {
        env.settings->setLanguage(language);
        const QString tag = QLatin1String(suffix);
        right->activeTab()->setSelection({QUrl::fromLocalFile(home + QStringLiteral("/Documents/report.pdf"))});
        // Dragged from the left pane, hovering over "photos" in the right one: Ctrl held in
        // English (a copy), nothing in Japanese (a move).
        FileTableView *target = window->workspaceView()->paneView(1)->list()->table();
        const FileTableModel *rows = window->workspaceView()->paneView(1)->list()->tableModel();
        const QPoint over = target->visualRect(rows->index(rows->rowOf(QUrl::fromLocalFile(home + QStringLiteral("/Documents/photos"))), 0)).center();
        QMimeData dragged;
        dragged.setUrls({QUrl::fromLocalFile(home + QStringLiteral("/todo.txt"))});
        const Qt::KeyboardModifiers held = language == AppLanguage::english ? Qt::ControlModifier : Qt::NoModifier;
        QDragEnterEvent enter(over, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, held);
        QApplication::sendEvent(target->viewport(), &enter);
        QDragMoveEvent move(over, Qt::CopyAction | Qt::MoveAction, &dragged, Qt::LeftButton, held);
        QApplication::sendEvent(target->viewport(), &move);
        shoot(window, out + QStringLiteral("/window-") + tag + QStringLiteral(".png"));
        QDragLeaveEvent leave;
        QApplication::sendEvent(target->viewport(), &leave);
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

        actions->requestRename(report);
        settle();
        shoot(pane->dialogs()->renameDialog(), out + QStringLiteral("/rename-") + tag + QStringLiteral(".png"));
        actions->cancelRename();

        actions->requestTrash(tab->items().mid(0, 3), tab);
        settle();
        shoot(pane->dialogs()->trashConfirmation(), out + QStringLiteral("/trash-") + tag + QStringLiteral(".png"));
        actions->cancelTrash();

        actions->requestPermanentDelete(tab->items().mid(0, 2));
        settle();
        shoot(pane->dialogs()->deleteConfirmation(), out + QStringLiteral("/delete-") + tag + QStringLiteral(".png"));
        actions->cancelPermanentDelete();

        actions->requestTransfer({report}, tab->history().current(), PaneActions::TransferOperation::copy);
        settle();
        if (pane->dialogs()->collisionPrompt())
            shoot(pane->dialogs()->collisionPrompt(), out + QStringLiteral("/collision-") + tag + QStringLiteral(".png"));
        actions->dismissPendingTransfer();

        pane->dialogs()->showError(QStringLiteral("“report.pdf” couldn't be moved: Permission denied"));
        settle();
        shoot(pane->dialogs()->errorAlert(), out + QStringLiteral("/error-") + tag + QStringLiteral(".png"));
        pane->dialogs()->errorAlert()->close();

        actions->requestPreview(report);
        settle();
        shoot(pane->dialogs()->previewDialog(), out + QStringLiteral("/preview-") + tag + QStringLiteral(".png"));
        actions->closePreview();
        settle();

        // The list itself: a cut item drawn faded, the selection, and the filter bar open.
        const QUrl notes = QUrl::fromLocalFile(home + QStringLiteral("/Documents/notes.md"));
        env.workspace->writeClipboard({notes}, ClipboardOperation::move);
        tab->setFilterActive(true);
        tab->setFilterQuery(QStringLiteral("o"));
        tab->setSelection({QUrl::fromLocalFile(home + QStringLiteral("/Documents/photos"))});
        shoot(pane, out + QStringLiteral("/list-") + tag + QStringLiteral(".png"));
        tab->setFilterQuery(QString());
        tab->setFilterActive(false);
        tab->setSelection({});
        env.workspace->setClipboard(std::nullopt);
    }
    return 0;
}
