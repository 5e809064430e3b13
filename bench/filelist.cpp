// Times the file list offscreen, as the window shows it: the left pane (a real FileListView)
// opens FOLDER, and the time from asking to the first screenful of its entries painted (names
// first, in their final order; sizes and dates may follow), and to the whole folder listed and
// sorted with every detail, is printed; the right pane then opens FOLDER2 when given, and the resident
// memory of the process is printed with both panes at their folders.
// With --walk-through it also times, over FOLDER: a full scroll page by page with a paint per
// page, Ctrl+A, a plain arrow key that replaces that selection, finding the entry then selected
// (as the status bar does), a re-sort by size from the header; the icons asked of the icon
// cache; the memory once the second pane has been scrolled through too; and last the left tab in
// column view, its first column (the same folder) scrolled through page by page the same way.
//   filelist [--walk-through] FOLDER [FOLDER2]      (make folders with `listing make`)

#include "appsettings.h"
#include "benchclock.h"
#include "columnbrowserview.h"
#include "dialoghost.h"
#include "filelistview.h"
#include "filetablemodel.h"
#include "filetableview.h"
#include "iconcache.h"
#include "paneactions.h"
#include "workspacemodel.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>


#include <cstdio>
#include <functional>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

// Wall-clock and main-thread CPU milliseconds of `work`; on a busy machine the CPU time is the
// steadier of the two.
struct Timing
{
    double wall = 0;
    double cpu = 0;
};

Timing timed(const std::function<void()> &work)
{
    QElapsedTimer clock;
    const double cpu = threadCpuMillis();
    clock.start();
    work();
    return {clock.nsecsElapsed() / 1e6, threadCpuMillis() - cpu};
}

void waitFor(TabModel *tab)
{
    while (tab->isLoading())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

// Lets background icon fetches come back, so the cache's count says what was asked for.
void settle(int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

void press(QWidget *target, int key, Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent event(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(target, &event);
}

int scrollThrough(FileTableView *view)
{
    int pages = 0;
    QScrollBar *bar = view->verticalScrollBar();
    for (int at = 0; at <= bar->maximum(); at += bar->pageStep(), ++pages) {
        bar->setValue(at);
        view->viewport()->repaint();
        QCoreApplication::processEvents(); // as between two steps of a real scroll
    }
    return pages;
}

// The keys and clicks that touch every entry, over the folder the pane shows.
void walkThrough(TabModel *tab, FileTableView *table, const IconCache &icons)
{
    const qsizetype iconsAfterFirstPaint = icons.fetches();
    int pages = 0;
    const Timing scroll = timed([&] { pages = scrollThrough(table); });
    settle(500);
    const qsizetype iconsAfterScroll = icons.fetches();
    table->scrollToTop();
    table->setFocus();
    const Timing selectAll = timed([&] { press(table, Qt::Key_A, Qt::ControlModifier); });
    const qsizetype selected = tab->selection().size();
    const Timing arrow = timed([&] { press(table, Qt::Key_Down); });
    // What the status bar and the title line ask for after each such key press.
    qsizetype found = 0;
    const Timing selectedEntries = timed([&] { found = tab->selectedItems().size(); });
    const Timing resort = timed([&] {
        QHeaderView *header = table->header();
        Q_EMIT header->sectionClicked(FileTableModel::SizeColumn);
        table->viewport()->repaint();
    });
    std::printf("                        wall ms   main-thread CPU ms\n");
    std::printf("full scroll, %4d pages %8.1f   %8.1f\n", pages, scroll.wall, scroll.cpu);
    std::printf("  a page                %8.2f   %8.2f\n", pages ? scroll.wall / pages : 0.0, pages ? scroll.cpu / pages : 0.0);
    std::printf("Ctrl+A (%6lld chosen)  %8.1f   %8.1f\n", qlonglong(selected), selectAll.wall, selectAll.cpu);
    std::printf("Down after Ctrl+A       %8.1f   %8.1f\n", arrow.wall, arrow.cpu);
    std::printf("its selected entry (%lld)  %8.2f   %8.2f\n", qlonglong(found), selectedEntries.wall, selectedEntries.cpu);
    std::printf("sort by size            %8.1f   %8.1f\n", resort.wall, resort.cpu);
    std::printf("icons asked, 1st screen %lld\n", qlonglong(iconsAfterFirstPaint));
    std::printf("icons asked, all pages  %lld\n", qlonglong(iconsAfterScroll));
}

// The left tab switched to column view: its first column scrolled through as the list was.
void columnWalk(const ViewEnvironment &env, WorkspaceModel &workspace, PaneActions &actions, QWidget *list)
{
    TabModel *tab = workspace.leftPane()->activeTab();
    tab->setViewMode(ViewMode::column);
    auto *columns = new ColumnBrowserView(env, workspace.leftPane(), tab, &actions);
    list->parentWidget()->layout()->replaceWidget(list, columns);
    list->hide();
    columns->show();
    while (columns->model()->columns().isEmpty() || columns->model()->columns().first().isLoading)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    columns->columnList(0)->viewport()->repaint();
    int pages = 0;
    const Timing scroll = timed([&] { pages = scrollThrough(columns->columnList(0)); });
    settle(500);
    std::printf("column view, %4d pages %8.1f   %8.1f\n", pages, scroll.wall, scroll.cpu);
    std::printf("  a page                %8.2f   %8.2f\n", pages ? scroll.wall / pages : 0.0, pages ? scroll.cpu / pages : 0.0);
    std::printf("rss_mb, column view scrolled %.1f\n", residentKiB() / 1024.0);
}

} // namespace

int main(int argc, char *argv[])
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir scratch;
    const QString home = scratch.path() + QStringLiteral("/home");
    qputenv("HOME", QFile::encodeName(home));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(home + QStringLiteral("/.config")));
    qputenv("XDG_DATA_HOME", QFile::encodeName(home + QStringLiteral("/.local/share")));
    QApplication app(argc, argv);
    QStringList folders = app.arguments().mid(1);
    const bool walk = folders.removeAll(QStringLiteral("--walk-through")) > 0;
    if (folders.isEmpty() || folders.size() > 2 || !QDir().mkpath(home + QStringLiteral("/Documents"))) {
        std::fprintf(stderr, "usage: filelist [--walk-through] FOLDER [FOLDER2]\n");
        return 2;
    }

    AppSettings settings(scratch.path() + QStringLiteral("/settings.ini"));
    WorkspaceModel workspace(false);
    IconCache icons;
    const ViewEnvironment env{&workspace, &settings, nullptr, &icons};
    QWidget window;
    DialogHost dialogs(env, &window);
    PaneActions leftActions(&workspace, workspace.leftPane(), &settings, &dialogs);
    PaneActions rightActions(&workspace, workspace.rightPane(), &settings, &dialogs);
    auto *left = new FileListView(env, workspace.leftPane(), &leftActions);
    auto *right = new FileListView(env, workspace.rightPane(), &rightActions);
    auto *layout = new QHBoxLayout(&window);
    layout->addWidget(left);
    layout->addWidget(right);
    left->setTab(workspace.leftPane()->activeTab());
    right->setTab(workspace.rightPane()->activeTab());
    window.resize(1400, 800);
    window.show();
    waitFor(workspace.leftPane()->activeTab());
    waitFor(workspace.rightPane()->activeTab());
    QCoreApplication::processEvents();

    TabModel *tab = workspace.leftPane()->activeTab();
    FileTableView *table = left->table();
    QElapsedTimer clock;
    double sorted = 0, firstPaint = 0;
    // The list takes new rows on this signal before the bench does (it connected first).
    const FilePath opened = FilePath::fromString(folders[0]);
    QObject::connect(tab, &TabModel::visibleItemsChanged, tab, [&] {
        if (firstPaint > 0 || !tab->visibleItems().value(0).url.isChildOf(opened))
            return;
        table->viewport()->repaint();
        firstPaint = clock.nsecsElapsed() / 1e6;
    });
    QObject::connect(tab, &TabModel::itemsChanged, tab, [&] {
        if (!tab->listing()->detailsPending())
            sorted = clock.nsecsElapsed() / 1e6;
    });
    clock.start();
    tab->navigate(opened);
    waitFor(tab);
    std::printf("entries %lld\n", qlonglong(tab->visibleItems().size()));
    std::printf("sorted_ms %.1f\n", sorted);
    std::printf("first_screen_ms %.1f\n", firstPaint);
    if (walk)
        walkThrough(tab, table, icons);

    if (folders.size() == 2) {
        workspace.rightPane()->activeTab()->navigate(FilePath::fromString(folders[1]));
        waitFor(workspace.rightPane()->activeTab());
        right->table()->viewport()->repaint();
    }
    QCoreApplication::processEvents();
    std::printf("rss_mb %.1f\n", residentKiB() / 1024.0);
    if (walk && folders.size() == 2) {
        scrollThrough(right->table());
        settle(500);
        std::printf("rss_mb, both scrolled through %.1f\n", residentKiB() / 1024.0);
    }
    if (walk)
        columnWalk(env, workspace, leftActions, left);
    return 0;
}
